#include "transfer/dial_transfer.h"

#include "transfer/dial_table.h"
#include "transfer/record_codec.h"

namespace qn410 {

DialTransfer::DialTransfer(SettingDocument& doc, LinkPoster& poster, Prompt& prompt,
                           TransferHost& host, void* owner, std::function<bool()> cancelled)
    : doc_(doc),
      poster_(poster),
      prompt_(prompt),
      host_(host),
      owner_(owner),
      cancelled_(std::move(cancelled)) {}

TransferRequest DialTransfer::Header(uint8_t setMask, uint8_t clearMask) const {
    TransferRequest header;
    header.requester = owner_;
    header.setMask = setMask;
    header.clearMask = clearMask;
    header.exchange = static_cast<uint8_t>(exchange_);
    return header;
}

void DialTransfer::StartUpload(int exchange, int master) {
    uploading_ = true;
    started_ = true;
    exchange_ = exchange;
    master_ = master;
    sendTable_ = BuildSendTable(doc_.data().Dial[exchange - 1][master - 1]);
    blocks_ = DialBlockCount(static_cast<int>(sendTable_.size()));
    step_ = 0;
    outcome_ = TransferOutcome::Running;
    RestartTimeout();
    SendUploadStep();
}

void DialTransfer::SendUploadStep() {
    ++step_;
    const bool cancel = cancelled_();
    // Steps 1..blocks carry the blocks, the step after them releases the link.
    if (step_ > blocks_) {
        SendRecord(poster_, ProgressMode::Single, blocks_ + 1, step_, Header(0, kUseMulti), {},
                   cancel);
        return;
    }
    const uint8_t doorLock = ValidDoorLockTime(doc_.data().ShotT[exchange_ - 1][master_ - 1]);
    const auto record = EncodeDialBlock(exchange_, master_, doorLock, sendTable_, step_);
    SendRecord(poster_, ProgressMode::Single, blocks_ + 1, step_, Header(kUseMulti, 0),
               record ? std::string_view(*record) : std::string_view(), cancel);
}

void DialTransfer::StartDownload(int exchange, int master) {
    uploading_ = false;
    started_ = true;
    exchange_ = exchange;
    master_ = master;
    received_ = 0;
    expected_ = kDialDownloadBlocks;
    waiting_ = false;
    outcome_ = TransferOutcome::Running;
    RestartTimeout();
    RecordRequest request;
    request.exchange = static_cast<uint8_t>(exchange);
    request.station = static_cast<uint8_t>(master);
    const auto record = Encode('T', request);
    SendRecord(poster_, ProgressMode::Single, 1, 1, Header(kUseSingle, kUseSingle),
               record ? std::string_view(*record) : std::string_view(), cancelled_());
}

void DialTransfer::OnLinkResult(uint32_t code, TransferRequestPtr item) {
    if (!started_) return;  // nothing of ours is under way
    if (uploading_) {
        OnUploadResult(code);
    } else {
        OnDownloadResult(code, std::move(item));
    }
}

void DialTransfer::OnUploadResult(uint32_t code) {
    if (code == kResultReceived) return;  // an exchange's block while uploading: not ours
    // A late answer after the end (a time-out, a cancel) changes nothing.
    if (outcome_ != TransferOutcome::Running) return;
    host_.StopTimer();
    switch (code) {
        case kResultDone:
            poster_.PostProgress(UM_PROGRESS_ADVANCE, kDisplayTransmitting, {}, 0);
            if (step_ > blocks_) {
                poster_.PostProgress(UM_PROGRESS_CLOSE, 0, {}, 0);
                Finish(TransferOutcome::Uploaded);
            } else {
                RestartTimeout();
                SendUploadStep();
            }
            break;
        case kResultNotDelivered:
            Fail(TransferOutcome::FailedTransmit, kFailedToTransmit);
            break;
        case kResultOpenFailed:
            Fail(TransferOutcome::FailedOpen, kFailedToOpen);
            break;
        default:  // the slot was reset after an abandon request
            Finish(TransferOutcome::Cancelled);
            break;
    }
}

void DialTransfer::OnDownloadResult(uint32_t code, TransferRequestPtr item) {
    if (outcome_ != TransferOutcome::Running) return;
    switch (code) {
        case kResultDone:
            if (expected_ != received_) {
                // The request is out: from now on the exchange sends its blocks.
                RestartTimeout();
                waiting_ = true;
                poster_.PostProgress(UM_PROGRESS_RESTART, kDisplayReceiving, {}, expected_);
            } else {
                waiting_ = false;
                host_.StopTimer();
                poster_.PostProgress(UM_PROGRESS_CLOSE, 0, {}, 0);
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
            if (!waiting_ || !item || item->letter() != 'K') return;
            ++received_;
            if (cancelled_()) return;  // the next tick abandons the link
            host_.StopTimer();
            StoreBlock(item->body);
            if (received_ == expected_) {
                waiting_ = false;
                poster_.PostLinkRequest(kLinkSubmit, MakeCloseRequest(owner_));
            } else {
                RestartTimeout();
            }
            break;
        default:  // the slot was reset after an abandon request
            waiting_ = false;
            Finish(TransferOutcome::Cancelled);
            break;
    }
}

void DialTransfer::StoreBlock(const std::string& body) {
    poster_.PostProgress(UM_PROGRESS_STEP, kDisplayReceiving, std::string(RecordName('K')), 0);
    // The first block replaces the table: entries the exchange no longer holds go.
    const auto header = StoreDialBlock(body, doc_.data(), received_ == 1);
    if (header) doc_.modified = true;
    poster_.PostProgress(UM_PROGRESS_ADVANCE, kDisplayReceiving, {}, 0);
    if (received_ == 1 && header) {
        // The announced entry count gives the number of blocks; taken before the comparison,
        // so that a table of one block completes with it.
        expected_ = DialBlockCount(header->total);
        poster_.PostProgress(UM_PROGRESS_RESTART, kDisplayReceiving, {}, expected_);
    }
}

void DialTransfer::OnTimer() {
    if (outcome_ != TransferOutcome::Running) {
        host_.StopTimer();
        return;
    }
    ++counter_;
    if (cancelled_()) {
        host_.StopTimer();
        EndCancelled();
    } else if (counter_ >= timeoutLimit_) {
        host_.StopTimer();
        counter_ = 0;
        waiting_ = false;
        if (uploading_) {
            poster_.PostLinkRequest(kLinkAbandon, MakeCloseRequest(owner_));
            prompt_.Tell(kFailedToTransmit, PromptIcon::Exclamation);
            poster_.PostProgress(UM_PROGRESS_CLOSE, 0, {}, 0);
            Finish(TransferOutcome::FailedTransmit);
        } else {
            prompt_.Tell(kCommunicationsTimeOut, PromptIcon::Exclamation);
            poster_.PostProgress(UM_PROGRESS_CLOSE, 0, {}, 0);
            Finish(TransferOutcome::TimedOut);
        }
    }
}

void DialTransfer::OnExchangeCancel() {
    host_.StopTimer();
    // With its timer stopped nothing else would end the transfer: the download would wait
    // for blocks that never come. The exchange's report has set the cancel flag.
    if (outcome_ == TransferOutcome::Running && started_ && cancelled_()) EndCancelled();
}

void DialTransfer::EndCancelled() {
    counter_ = 0;
    waiting_ = false;
    poster_.PostLinkRequest(kLinkAbandon, MakeCloseRequest(owner_));
    poster_.PostProgress(UM_PROGRESS_CLOSE, 0, {}, 0);
    Finish(TransferOutcome::Cancelled);
}

void DialTransfer::Fail(TransferOutcome outcome, const char* text) {
    waiting_ = false;
    prompt_.Tell(text, PromptIcon::Exclamation);
    poster_.PostProgress(UM_PROGRESS_CLOSE, 0, {}, 0);
    Finish(outcome);
}

void DialTransfer::Finish(TransferOutcome outcome) {
    outcome_ = outcome;
    host_.Finished(outcome);
}

void DialTransfer::RestartTimeout() {
    counter_ = 0;
    host_.StartTimer();
}

}  // namespace qn410
