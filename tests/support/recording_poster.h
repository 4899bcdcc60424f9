// A LinkPoster that keeps everything posted, in order, for tests.
#pragma once

#include <string>
#include <vector>

#include "transfer/send_record.h"

namespace qn410::test {

class RecordingPoster : public LinkPoster {
  public:
    struct Progress {
        AppMessage message;
        int kind;
        std::string name;
        int total;
    };
    struct Posted {
        bool isRequest;  // false: a progress message
        Progress progress;
        uint32_t wParam = 0;
        TransferRequestPtr request;
    };

    void PostProgress(AppMessage message, int kind, std::string name, int total) override {
        posted.push_back({false, {message, kind, std::move(name), total}, 0, nullptr});
    }
    void PostLinkRequest(uint32_t wParam, TransferRequestPtr request) override {
        posted.push_back({true, {}, wParam, std::move(request)});
    }

    std::vector<Posted> posted;
};

}  // namespace qn410::test
