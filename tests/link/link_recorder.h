// A QObject that records the link events posted to it, as a requesting window, the view or the
// log-saving thread receives them.
#pragma once

#include <QObject>
#include <string>
#include <vector>

#include "link/link_event.h"

namespace qn410::test {

struct Recorded {
    uint16_t message;
    uint32_t wParam;
    std::string body;  // of the request or item it carries
};

class LinkRecorder : public QObject {
  public:
    std::vector<Recorded> events;

    // Those of one message; with a letter, only those whose body starts with it.
    std::vector<Recorded> Of(uint16_t message, char letter = 0) const {
        std::vector<Recorded> found;
        for (const Recorded& r : events)
            if (r.message == message && (!letter || r.body.starts_with(letter))) found.push_back(r);
        return found;
    }
    size_t Count(uint16_t message, char letter = 0) const { return Of(message, letter).size(); }

  protected:
    bool event(QEvent* e) override {
        auto* link = dynamic_cast<LinkEvent*>(e);
        if (!link) return QObject::event(e);
        events.push_back({link->message(), link->wParam, link->request ? link->request->body : ""});
        return true;
    }
};

}  // namespace qn410::test
