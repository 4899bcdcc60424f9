// A LinkPoster that keeps everything posted, in order, for tests.
#pragma once

#include <string>
#include <vector>

#include "transfer/send_record.h"

namespace qn410::test {

class RecordingPoster : public LinkPoster {
  public:
    struct Posted {
        AppMessage message{};  // of a progress message, with its category name
        std::string name;
        uint32_t wParam = 0;
        TransferRequestPtr request;  // of a link request
    };

    void PostProgress(AppMessage message, int, std::string name, int) override {
        posted.push_back({message, std::move(name)});
    }
    void PostLinkRequest(uint32_t wParam, TransferRequestPtr request) override {
        posted.push_back({{}, {}, wParam, std::move(request)});
    }

    std::vector<Posted> posted;
};

}  // namespace qn410::test
