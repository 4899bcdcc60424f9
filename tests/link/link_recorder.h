// A QObject that records the link events posted to it: the view, a requesting window, the
// log-saving thread, as a test needs.
#pragma once

#include <QObject>
#include <algorithm>
#include <string>
#include <vector>

#include "link/link_event.h"

namespace qn410::test {

struct Recorded {
    uint16_t message;
    uint32_t wParam;
    std::string body;  // of the request or item, or the bytes of a record copy
};

class LinkRecorder : public QObject {
  public:
    std::vector<Recorded> events;

    std::vector<Recorded> Of(uint16_t message) const {
        std::vector<Recorded> found;
        std::ranges::copy_if(events, std::back_inserter(found),
                             [&](const Recorded& r) { return r.message == message; });
        return found;
    }
    size_t Count(uint16_t message) const { return Of(message).size(); }

  protected:
    bool event(QEvent* e) override {
        auto* link = dynamic_cast<LinkEvent*>(e);
        if (!link) return QObject::event(e);
        Recorded r{link->message(), link->wParam, {}};
        if (link->request)
            r.body = link->request->body;
        else if (link->logLine)
            r.body.assign(reinterpret_cast<const char*>(link->logLine.get()), sizeof(LogLine));
        else if (link->monitorEntry)
            r.body.assign(reinterpret_cast<const char*>(link->monitorEntry.get()),
                          sizeof(MonitorEntry));
        events.push_back(std::move(r));
        return true;
    }
};

}  // namespace qn410::test
