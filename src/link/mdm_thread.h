// CMdmThread: the modem channel. It is the serial channel (CSioThread: the same thread, device,
// read loop and engine slot 0) on the modem's device, with TapiLine's dial step in front: the
// call is placed when the first send request opens the channel and hung up when the last user
// lets the link go.
//
// PlaceCall and HangUp are called on the user-interface thread. UM_LINK_CONNECTED follows a
// call that is up; UM_LINK_ERROR 0x8200 one that could not be made (the requester shows "Failed
// to open the device"); UM_LINK_DISCONNECTED a call that ended, from either side.
#pragma once

#include <QString>
#include <string>

#include "link/sio_thread.h"
#include "link/tapi_line.h"

namespace qn410 {

class CMdmThread : public CSioThread {
  public:
    // device: the modem's serial device (see ModemDevice()).
    CMdmThread(LinkEngine& engine, QObject* notify, std::string device,
               std::chrono::milliseconds tick = std::chrono::milliseconds(100),
               AtTiming timing = {});
    ~CMdmThread() override;

    // Connected: UM_LINK_CONNECTED at once. A call being placed: nothing more. Otherwise (also
    // while the last call is still being hung up) the number is dialled ('-' becomes the modem's
    // pause ','). Returns 1.
    int PlaceCall(const std::string& number);
    // A call being placed is abandoned; one that is up is hung up; with none,
    // UM_LINK_DISCONNECTED at once.
    void HangUp();

  private:
    QObject* notify_;
    QString device_;
    TapiLine line_;
};

}  // namespace qn410
