#include "link/mdm_thread.h"

#include "link/link_event.h"
#include "link/port_map.h"

namespace qn410 {

CMdmThread::CMdmThread(LinkEngine& engine, QObject* notify, std::string device,
                       std::chrono::milliseconds tick, AtTiming timing)
    : CSioThread(engine, notify, tick),
      notify_(notify),
      device_(QString::fromStdString(device)),
      line_(timing) {
    line_.Init(notify, !IsPseudoTerminal(device));
    SetDialStep(&line_);
}

CMdmThread::~CMdmThread() {
    // The thread hangs up on its way out and uses the line until then.
    line_.Cancel();
    Quit();
}

int CMdmThread::PlaceCall(const std::string& number) {
    if (connected() && !closing()) {
        PostLinkEvent(notify_, std::make_unique<LinkEvent>(UM_LINK_CONNECTED, 0));
        return 1;
    }
    // A call being placed goes on, even one whose hang-up was asked for and not yet acted on.
    if (opening()) return line_.MakeCall(DialString(number)), 1;
    if (!line_.MakeCall(DialString(number))) {
        PostLinkEvent(notify_,
                      std::make_unique<LinkEvent>(UM_LINK_ERROR, uint32_t{kLinkErrorOpen} << 8));
        return 1;
    }
    Open(device_);  // after a hang-up under way, if there is one
    return 1;
}

void CMdmThread::HangUp() {
    if (opening()) line_.HangUp();
    Close();
}

}  // namespace qn410
