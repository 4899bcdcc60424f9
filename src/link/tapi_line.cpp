#include "link/tapi_line.h"

#include <QSerialPort>
#include <QThread>
#include <algorithm>
#include <cstdlib>

#include "link/link_event.h"

namespace qn410 {

std::string ModemDevice() {
    if (const char* value = std::getenv("QN410_MODEM"); value && *value) return value;
#ifdef _WIN32
    return "COM3";
#else
    return "/dev/ttyACM0";
#endif
}

int TapiLine::MakeCall(const std::string& number) {
    if (number.empty()) {
        OnCallState(kTapiNotPlaced);
        return 0;
    }
    std::lock_guard lock(numberLock_);
    number_ = number;
    cancel_ = false;
    return 1;
}

void TapiLine::OnCallState(uint16_t code) {
    PostLinkEvent(window_, std::make_unique<LinkEvent>(UM_TAPI_EVENT, code));
}

void TapiLine::Flush(QSerialPort& port) {
    if (const auto dtr = dialler_.TakeDtr()) port.setDataTerminalReady(*dtr);
    const std::string out = dialler_.TakeOutput();
    if (!out.empty()) {
        port.write(out.data(), static_cast<qint64>(out.size()));
        port.waitForBytesWritten(1000);
    }
    for (const uint16_t code : dialler_.TakeNotices()) OnCallState(code);
}

void TapiLine::Drive(QSerialPort& port, bool dtrWorks) {
    while (true) {
        AtMillis now = Now();
        const bool dialling = dialler_.phase() == AtDialler::Phase::Reset ||
                              dialler_.phase() == AtDialler::Phase::NoEcho ||
                              dialler_.phase() == AtDialler::Phase::Dialling;
        if (cancel_ && dialling) {
            cancelled_ = true;
            dialler_.HangUp(now, dtrWorks);
        }
        dialler_.OnTime(now);
        Flush(port);
        if (!dialler_.busy()) return;
        const AtMillis left = dialler_.NextDeadline() ? *dialler_.NextDeadline() - now : 50;
        // Short waits, so a cancel is seen soon.
        const int wait = static_cast<int>(std::clamp<AtMillis>(left, 1, 50));
        if (port.waitForReadyRead(wait)) {
            const QByteArray bytes = port.readAll();
            dialler_.OnBytes(std::string_view(bytes.constData(), bytes.size()), Now());
        } else if (port.error() != QSerialPort::NoError &&
                   port.error() != QSerialPort::TimeoutError) {
            QThread::msleep(static_cast<unsigned long>(wait));  // a failed device: no spinning
        }
        if (dtrWorks) {
            dialler_.OnCarrier(port.pinoutSignals() & QSerialPort::DataCarrierDetectSignal);
        }
    }
}

bool TapiLine::Dial(QSerialPort& port) {
    cancelled_ = false;
    early_.clear();
    std::string number;
    {
        std::lock_guard lock(numberLock_);
        number = number_;
    }
    if (cancel_) {
        cancelled_ = true;
        return false;
    }
    dialler_.Dial(number, Now());
    Drive(port, dtrWorks_);
    if (cancel_ && dialler_.connected()) {  // the hang-up came as the call was answered
        cancelled_ = true;
        HangUp(port);
        return false;
    }
    const std::string data = dialler_.TakeData();
    early_ = QByteArray(data.data(), static_cast<qsizetype>(data.size()));
    return dialler_.connected();
}

void TapiLine::HangUp(QSerialPort& port) {
    if (!dialler_.connected()) return;
    dialler_.HangUp(Now(), dtrWorks_);
    Drive(port, dtrWorks_);
}

bool TapiLine::OnData(QByteArray& bytes) {
    dialler_.OnBytes(std::string_view(bytes.constData(), bytes.size()), Now());
    const std::string data = dialler_.TakeData();
    bytes = early_ + QByteArray(data.data(), static_cast<qsizetype>(data.size()));
    early_.clear();
    for (const uint16_t code : dialler_.TakeNotices()) OnCallState(code);
    return dialler_.connected();
}

}  // namespace qn410
