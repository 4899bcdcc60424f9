#include "transfer/transfer_session.h"

#include "setting/setting_file.h"
#include "transfer/record_codec.h"

namespace qn410 {

TransferSession::TransferSession(SettingDocument& doc, LinkPoster& poster, Prompt& prompt,
                                 TransferHost& host, void* owner, const int& cancelFlag,
                                 const Clock* clock)
    : doc_(doc),
      poster_(poster),
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
      prompt_(prompt),
      host_(host),
      owner_(owner),
      cancelled_([&cancelFlag] { return cancelFlag.load() != 0; }),
      clock_(clock) {}

void TransferSession::StartUpload(int exchange) {
    uploading_ = true;
    exchange_ = exchange;
    plan_.emplace(doc_.data(), exchange);
    step_ = 0;
    lastStepSent_ = false;
    outcome_ = TransferOutcome::Running;
    active_ = true;
    RestartTimeout();
    NextUploadStep();
}

void TransferSession::StartDownload(int exchange) {
    uploading_ = false;
    exchange_ = exchange;
    received_ = 0;
    expected_ = 0;
    waiting_ = false;
    outcome_ = TransferOutcome::Running;
    active_ = true;
    RestartTimeout();
    SendStartDownload(poster_, owner_, exchange, Cancelled());
}

void TransferSession::NextUploadStep() {
    ++step_;  // the plan opens the progress display with the first step
    lastStepSent_ = step_ >= plan_->size();
    // With the cancel flag set SendRecord abandons the link instead; the abandon comes back as
    // result 4 and ends the upload there.
    plan_->Send(poster_, owner_, step_, Cancelled(), clock_);
}

void TransferSession::OnLinkResult(uint32_t code, TransferRequestPtr item) {
    if (uploading_) {
        OnUploadResult(code);
    } else {
        OnDownloadResult(code, std::move(item));
    }
    // item (request or received record) is released here
}

void TransferSession::OnUploadResult(uint32_t code) {
    if (code == kResultReceived) return;  // an exchange's record while uploading: not ours
    host_.StopTimer();
    switch (code) {
        case kResultDone:
            if (outcome_ != TransferOutcome::Running) return;  // a late answer after an end
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
        case kResultReset:
            active_ = false;
            if (outcome_ == TransferOutcome::Running) Finish(TransferOutcome::Cancelled);
            break;
    }
}

void TransferSession::OnDownloadResult(uint32_t code, TransferRequestPtr item) {
    switch (code) {
        case kResultDone:
            expected_ = ExpectedDownloadCount(doc_.data(), exchange_);
            if (expected_ != received_) {
                // The request is out: from now on the exchanges send their records.
                counter_ = 0;
                waiting_ = true;
                poster_.PostProgress(UM_PROGRESS_RESTART, kDisplayReceiving, {}, expected_);
            } else {
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
        case kResultReceived:
            if (!waiting_ || !item) return;
            ++received_;
            if (Cancelled()) return;  // the next tick abandons the link
            host_.StopTimer();
            counter_ = 0;
            StoreRecord(item->body);
            doc_.modified = true;
            if (expected_ >= received_)
                poster_.PostProgress(UM_PROGRESS_ADVANCE, kDisplayReceiving, {}, 0);
            if (received_ != expected_) {
                host_.StartTimer();
            } else {
                waiting_ = false;
                CloseLink(kLinkSubmit);
            }
            break;
        case kResultReset:
            active_ = false;
            waiting_ = false;
            if (outcome_ == TransferOutcome::Running) Finish(TransferOutcome::Cancelled);
            break;
    }
}

void TransferSession::StoreRecord(const std::string& body) {
    if (!StoreReceivedRecord(body, doc_.data(), poster_)) return;
    // A received master or C/O line changes what the lines show of their receiving masters.
    RefreshTrunkDisplayCopies(doc_.data());
    if (body[0] == 'A') {
        // The Global Setting brings the number of exchanges, and with it the record count.
        expected_ = ExpectedDownloadCount(doc_.data(), exchange_);
        poster_.PostProgress(UM_PROGRESS_RESTART, kDisplayReceiving, {}, expected_);
    }
}

void TransferSession::OnTimer() {
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
}

void TransferSession::CloseLink(uint32_t wParam) {
    poster_.PostLinkRequest(wParam, MakeCloseRequest(owner_));
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
