// TapiLine: the telephony side of the modem channel, a Hayes AT dialler (AtDialler) on the
// modem's serial device. It places the call when the channel opens the device, hands the byte
// stream to the channel once the modem answers CONNECT, notices the loss of the call, and hangs
// up before the device is closed. Each step is reported to the notify object as UM_TAPI_EVENT
// with the notification code as wParam (0x1400 dialling, 0x1801 connected, 0x1802 call lost,
// 0x1803 idle or busy, 0x180A not placed).
//
// Init, MakeCall and HangUp run on the user-interface thread; the dial step itself on the
// channel thread, which owns the device.
#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <atomic>
#include <mutex>
#include <string>

#include "link/at_dialler.h"
#include "link/channel_dial_step.h"

namespace qn410 {

// The modem's device: QN410_MODEM, by default /dev/ttyACM0 (COM3 on Windows).
std::string ModemDevice();

class TapiLine : public ChannelDialStep {
  public:
    explicit TapiLine(AtTiming timing = {}) : dialler_(timing) { clock_.start(); }

    // Where the notifications go, and whether the modem's device has a DTR line to drop (a
    // pseudo-terminal has none: the modem behind it is hung up with "+++" and ATH).
    void Init(QObject* window, bool dtrWorks) {
        window_ = window;
        dtrWorks_ = dtrWorks;
    }
    // The number for the next call, already in the modem's form ('-' turned into ','). An empty
    // number is not placed: 0x180A, and 0 is returned.
    int MakeCall(const std::string& number);
    // Ends a dial under way; a call that is up ends when the channel closes the device.
    void HangUp() { Cancel(); }

    // ChannelDialStep, channel thread.
    bool Dial(QSerialPort& port) override;
    bool Cancelled() const override { return cancelled_; }
    void HangUp(QSerialPort& port) override;
    bool OnData(QByteArray& bytes) override;
    void Cancel() override { cancel_ = true; }

  private:
    AtMillis Now() const { return clock_.elapsed(); }
    // Drives the dialler until its dial or hang-up is over.
    void Drive(QSerialPort& port, bool dtrWorks);
    // Writes what the dialler has for the modem and reports its notices.
    void Flush(QSerialPort& port);
    void OnCallState(uint16_t code);

    QObject* window_ = nullptr;
    bool dtrWorks_ = true;
    std::mutex numberLock_;
    std::string number_;
    std::atomic<bool> cancel_{false};
    bool cancelled_ = false;
    AtDialler dialler_;
    QElapsedTimer clock_;
    QByteArray early_;  // exchange bytes that came with the modem's CONNECT
};

}  // namespace qn410
