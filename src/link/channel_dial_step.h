// A step a channel runs around its read/write loop on the same device: the modem's dialler places
// the call once the device is open, before the exchange's bytes flow, and ends it before the
// device is closed. The serial line has none. Every call runs on the channel thread, except
// Cancel, which the user-interface thread calls to end a dial under way.
#pragma once

#include <QByteArray>

class QSerialPort;

namespace qn410 {

class ChannelDialStep {
  public:
    virtual ~ChannelDialStep() = default;
    // The device is open and set up: place the call. True when the byte stream is handed over.
    virtual bool Dial(QSerialPort& port) = 0;
    // True when the last Dial ended because of Cancel.
    virtual bool Cancelled() const = 0;
    // The device is about to close: end the call, if one is up.
    virtual void HangUp(QSerialPort& port) = 0;
    // Bytes read while connected; left holding the exchange's bytes. False when the call is lost.
    virtual bool OnData(QByteArray& bytes) = 0;
    // Any thread: stop the dial under way.
    virtual void Cancel() = 0;
};

}  // namespace qn410
