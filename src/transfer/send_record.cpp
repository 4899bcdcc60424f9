#include "transfer/send_record.h"

#include "transfer/record_codec.h"

namespace qn410 {

TransferRequestPtr MakeCloseRequest(void* owner) {
    auto request = std::make_unique<TransferRequest>();
    request->requester = owner;
    request->setMask = 0;
    request->clearMask = kUseSingle | kUseMulti;
    request->exchange = 0;
    return request;
}

bool SendRecord(LinkPoster& poster, ProgressMode kind, int total, int step,
                const TransferRequest& header, std::string_view record, bool cancelRequested) {
    auto request = std::make_unique<TransferRequest>(header);
    request->body.assign(record);

    // A release request has no letter and so no name: it posts no progress.
    const std::string_view name = RecordName(request->letter());
    if (!name.empty()) {
        switch (kind) {
            case ProgressMode::Sequence:
                poster.PostProgress(UM_PROGRESS_STEP, kDisplayTransmitting, std::string(name), 0);
                break;
            case ProgressMode::Single:
                if (step == 1)
                    poster.PostProgress(UM_PROGRESS_START, kDisplayTransmitting, std::string(name),
                                        total);
                break;
            case ProgressMode::Closing:
                if (step == 1)
                    poster.PostProgress(UM_PROGRESS_RESTART, kDisplayTransmitting,
                                        std::string(name), total);
                break;
        }
    }

    if (!cancelRequested) {
        poster.PostLinkRequest(kLinkSubmit, std::move(request));
        return true;
    }
    poster.PostProgress(UM_PROGRESS_CLOSE, 0, {}, 0);
    poster.PostLinkRequest(kLinkAbandon, MakeCloseRequest(header.requester));
    return false;
}

}  // namespace qn410
