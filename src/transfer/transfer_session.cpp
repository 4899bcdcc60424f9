#include "transfer/transfer_session.h"

#include <algorithm>

#include "setting/setting_file.h"
#include "transfer/record_codec.h"

namespace qn410 {

TransferSession::TransferSession(SettingDocument& doc, LinkPoster& poster, Prompt& prompt,
                                 TransferHost& host, void* owner, const int& cancelFlag,
                                 const Clock* clock)
    : doc_(doc),
      poster_(poster),
      tagger_(poster),
      prompt_(prompt),
      host_(host),
      owner_(owner),
      cancelled_([&cancelFlag] { return cancelFlag != 0; }),
      clock_(clock) {}

TransferSession::TransferSession(SettingDocument& doc, LinkPoster& poster, Prompt& prompt,
                                 TransferHost& host, void* owner,
                                 const std::atomic<int>& cancelFlag, const Clock* clock)
    : doc_(doc),
      poster_(poster),
      tagger_(poster),
      prompt_(prompt),
      host_(host),
      owner_(owner),
      cancelled_([&cancelFlag] { return cancelFlag.load() != 0; }),
      clock_(clock) {}

void TransferSession::Begin(bool uploading, int exchange) {
    uploading_ = uploading;
    exchange_ = exchange;
    // A new number: answers to the requests of earlier transfers are recognised as late.
    tagger_.tag = static_cast<uint8_t>(tagger_.tag == 255 ? 1 : tagger_.tag + 1);
    outcome_ = TransferOutcome::Running;
    active_ = true;
    RestartTimeout();
}

void TransferSession::StartUpload(int exchange) {
    plan_.emplace(doc_.data(), exchange);
    step_ = 0;
    lastStepSent_ = false;
    Begin(true, exchange);
    NextUploadStep();
}

void TransferSession::StartDownload(int exchange) {
    tally_.Reset(exchange);
    received_ = 0;
    expected_ = 0;
    waiting_ = false;
    Begin(false, exchange);
    SendStartDownload(tagger_, owner_, exchange, Cancelled());
}

void TransferSession::NextUploadStep() {
    ++step_;  // the plan opens the progress display with the first step
    lastStepSent_ = step_ >= plan_->size();
    // With the cancel flag set SendRecord abandons the link instead; the abandon comes back as
    // result 4 and ends the upload there.
    plan_->Send(tagger_, owner_, step_, Cancelled(), clock_);
}

void TransferSession::OnLinkResult(uint32_t code, TransferRequestPtr item) {
    // item (request or received record) is released here
    if (code == kResultReceived) {
        if (!uploading_ && item) OnRecord(*item);
        return;  // an exchange's record while uploading is not ours
    }
    if (item ? item->tag != tagger_.tag : code != kResultNotDelivered) return;
    if (code == kResultReset) {  // the abandoned link has been reset
        active_ = false;
        waiting_ = false;
        if (outcome_ == TransferOutcome::Running) Finish(TransferOutcome::Cancelled);
        return;
    }
    if (outcome_ != TransferOutcome::Running) return;  // the transfer has already ended
    if (uploading_) {
        OnUploadResult(code);
    } else {
        OnDownloadResult(code);
    }
}

void TransferSession::OnUploadResult(uint32_t code) {
    host_.StopTimer();
    switch (code) {
        case kResultDone:
            if (active_) poster_.PostProgress(UM_PROGRESS_ADVANCE, kDisplayTransmitting, {}, 0);
            if (lastStepSent_) {
                poster_.PostProgress(UM_PROGRESS_CLOSE, 0, {}, 0);
                Finish(TransferOutcome::Uploaded);
            } else {
                RestartTimeout();
                NextUploadStep();
            }
            break;
        case kResultNotDelivered:
            Fail(TransferOutcome::FailedTransmit, kFailedToTransmit);
            break;
        case kResultOpenFailed:
            Fail(TransferOutcome::FailedOpen, kFailedToOpen);
            break;
    }
}

void TransferSession::OnDownloadResult(uint32_t code) {
    switch (code) {
        case kResultDone:
            expected_ = tally_.Expected(SwitchCount());
            if (!tally_.Complete(SwitchCount())) {
                // The request is out: from now on the exchanges send their records.
                counter_ = 0;
                waiting_ = true;
                poster_.PostProgress(UM_PROGRESS_RESTART, kDisplayReceiving, {}, expected_);
            } else {
                // The release that ends a complete download has been answered.
                waiting_ = false;
                poster_.PostProgress(UM_PROGRESS_CLOSE, 0, {}, 0);
                host_.StopTimer();
                Finish(TransferOutcome::Downloaded);
            }
            break;
        case kResultNotDelivered:
            host_.StopTimer();
            Fail(TransferOutcome::FailedReceive, kFailedToReceive);
            break;
        case kResultOpenFailed:
            host_.StopTimer();
            Fail(TransferOutcome::FailedOpen, kFailedToOpen);
            break;
    }
}

void TransferSession::OnRecord(const TransferRequest& item) {
    if (!waiting_ || outcome_ != TransferOutcome::Running) return;
    const std::string& body = item.body;
    // A record this download did not ask for (left over from an earlier download, or of
    // another exchange) is neither stored nor counted.
    const std::optional<int> place = tally_.PlaceOf(body, SwitchCount());
    if (!place || Cancelled()) return;  // with the flag set the next tick abandons the link
    // A malformed record is ignored whole, and the time-out runs on.
    if (!StoreReceivedRecord(body, doc_.data(), poster_)) return;
    host_.StopTimer();
    counter_ = 0;
    doc_.modified = true;
    const bool first = tally_.Fill(*place);
    const int switchCnt = SwitchCount();
    received_ = tally_.Filled(switchCnt);
    // A received master or C/O line changes what the lines show of their receiving masters.
    RefreshTrunkDisplayCopies(doc_.data());
    if (body[0] == 'A') {
        // The Global Setting brings the number of exchanges, and with it the record count.
        expected_ = tally_.Expected(switchCnt);
        poster_.PostProgress(UM_PROGRESS_RESTART, kDisplayReceiving, {}, expected_);
        for (int k = 0; k < received_; ++k)
            poster_.PostProgress(UM_PROGRESS_ADVANCE, kDisplayReceiving, {}, 0);
    } else if (first) {
        poster_.PostProgress(UM_PROGRESS_ADVANCE, kDisplayReceiving, {}, 0);
    }
    if (tally_.Complete(switchCnt)) {
        waiting_ = false;
        CloseLink(kLinkSubmit);
    } else {
        host_.StartTimer();
    }
}

int TransferSession::SwitchCount() const {
    return std::clamp<int>(doc_.data().System.SwitchCnt, 1, kExchangeCount);
}

void TransferSession::OnTimer() {
    if (outcome_ != TransferOutcome::Running) {
        host_.StopTimer();
        return;
    }
    ++counter_;
    if (Cancelled()) {
        host_.StopTimer();
        CloseLink(kLinkAbandon);
        counter_ = 0;
        poster_.PostProgress(UM_PROGRESS_CLOSE, 0, {}, 0);
        Finish(TransferOutcome::Cancelled);
    } else if (counter_ >= timeoutLimit_) {
        host_.StopTimer();
        counter_ = 0;
        if (uploading_) {
            CloseLink(kLinkAbandon);
            prompt_.Tell(kFailedToTransmit, PromptIcon::Exclamation);
            poster_.PostProgress(UM_PROGRESS_CLOSE, 0, {}, 0);
            Finish(TransferOutcome::FailedTransmit);
        } else {
            waiting_ = false;
            prompt_.Tell(kCommunicationsTimeOut, PromptIcon::Exclamation);
            poster_.PostProgress(UM_PROGRESS_CLOSE, 0, {}, 0);
            Finish(TransferOutcome::TimedOut);
        }
    }
}

void TransferSession::OnExchangeCancel() {
    host_.StopTimer();
    if (!active_ || outcome_ != TransferOutcome::Running) return;
    // The exchange's own report is shown by the view; here the link is let go, so that a modem
    // call does not stay up.
    counter_ = 0;
    waiting_ = false;
    CloseLink(kLinkAbandon);
    poster_.PostProgress(UM_PROGRESS_CLOSE, 0, {}, 0);
    Finish(TransferOutcome::Cancelled);
}

void TransferSession::CloseLink(uint32_t wParam) {
    tagger_.PostLinkRequest(wParam, MakeCloseRequest(owner_));
}

void TransferSession::Fail(TransferOutcome outcome, const char* text) {
    waiting_ = false;
    prompt_.Tell(text, PromptIcon::Exclamation);
    poster_.PostProgress(UM_PROGRESS_CLOSE, 0, {}, 0);
    Finish(outcome);
}

void TransferSession::Finish(TransferOutcome outcome) {
    outcome_ = outcome;
    host_.Finished(outcome);
}

void TransferSession::RestartTimeout() {
    counter_ = 0;
    host_.StartTimer();
}

}  // namespace qn410
