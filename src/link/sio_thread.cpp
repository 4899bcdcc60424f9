#include "link/sio_thread.h"

#include <QSerialPort>
#include <QTimer>
#ifdef Q_OS_UNIX
#include <poll.h>
#endif
#include <algorithm>

#include "link/channel_dial_step.h"
#include "link/device_access.h"
#include "link/diagnostics.h"
#include "link/line_trace.h"
#include "link/link_event.h"
#include "link/link_pacer.h"
#include "link/port_map.h"

namespace qn410 {

// The channel thread's side: the port, the tick timer and the read handler.
class CSioThread::Worker : public QObject {
  public:
    Worker(CSioThread& owner, std::chrono::milliseconds tick)
        : owner_(owner), tickInterval_(tick), pacer_(owner.engine_) {}

    // Channel thread, once the thread runs. Neither timer runs yet: the first request or byte
    // starts them.
    void Start() {
        tick_ = new QTimer(this);
        tick_->setInterval(tickInterval_);
        QObject::connect(tick_, &QTimer::timeout, this, [this] {
            if (owner_.detached_) return;
            pacer_.OnTick(Now(), InputWaiting() || !port_);  // no send into a closed device
            Arm();
        });
        quiet_ = new QTimer(this);
        quiet_->setSingleShot(true);
        quiet_->setTimerType(Qt::PreciseTimer);  // a coarse timer may fire early
        QObject::connect(quiet_, &QTimer::timeout, this, [this] { Wake(); });
    }

    bool OpenPort(const QString& device) {
        ClosePort();
        auto* port = new QSerialPort(device, this);
        const bool opened = port->open(QIODevice::ReadWrite);
        NoteOpenResult(device.toStdString(), opened);  // why not, for "Failed to open the device"
        if (!opened || !Configure(*port, device)) {
            qCInfo(lcLink) << "cannot open" << device << "as 19200 8E1:" << port->errorString();
            delete port;
            return false;
        }
        if (owner_.dial_ && !owner_.dial_->Dial(*port)) {
            qCInfo(lcLink) << "no call over" << device;
            delete port;
            return false;
        }
        qCInfo(lcLink) << "opened" << device;
        port_ = port;
        QObject::connect(port_, &QSerialPort::readyRead, this, [this] { ReadAll(); });
        // Queued: a write can fail inside the engine, which holds its lock; the error is
        // handled once that event is over.
        QObject::connect(
            port_, &QSerialPort::errorOccurred, this,
            [this, opened = ++opened_](QSerialPort::SerialPortError e) {
                if (opened == opened_) OnError(e);  // not a port closed since
            },
            Qt::QueuedConnection);
        return true;
    }

    void ClosePort() {
        ++opened_;
        if (!port_) return;
        port_->disconnect(this);
        if (owner_.dial_) owner_.dial_->HangUp(*port_);
        port_->close();
        port_->deleteLater();  // may be inside the port's own readyRead
        port_ = nullptr;
    }

    // A new request, or the end of a quiet window: the idle event runs once the line is quiet.
    void Wake() {
        if (owner_.detached_ || !tick_ || !port_) return;
        if (InputWaiting()) {
            quiet_->start(1);  // the read comes first; its bytes restart the quiet window
            return;
        }
        pacer_.OnWake(Now());
        Arm();
    }

    bool Write(const uint8_t* bytes, size_t count) {
        if (!port_) return false;
        pacer_.OnWrite(Now());  // runs inside the engine: Arm() follows when its event is over
        const qint64 written =
            port_->write(reinterpret_cast<const char*>(bytes), static_cast<qint64>(count));
        if (const auto trace = CurrentLineTrace())
            trace->Bytes(LineTrace::Direction::Tx,
                         {reinterpret_cast<const char*>(bytes), static_cast<size_t>(count)});
#ifndef Q_OS_WIN
        // Out now, not at the next turn of the event loop. (On Unix flush only writes what the
        // kernel takes; on Windows it would wait for the line, under the engine's lock.)
        port_->flush();
#endif
        return written == static_cast<qint64>(count);
    }

  private:
    // 19200 baud, 8 data bits, even parity, one stop bit, no flow control. A pseudo-terminal has
    // no line and refuses some of these: on one, what the kernel accepts is enough.
    static bool Configure(QSerialPort& port, const QString& device) {
        // Each setting on its own, so a pseudo-terminal still gets every one it accepts.
        bool applied = port.setBaudRate(QSerialPort::Baud19200);
        applied = port.setDataBits(QSerialPort::Data8) && applied;
        applied = port.setParity(QSerialPort::EvenParity) && applied;
        applied = port.setStopBits(QSerialPort::OneStop) && applied;
        applied = port.setFlowControl(QSerialPort::NoFlowControl) && applied;
        if (applied) return true;
        if (!IsPseudoTerminal(device.toStdString())) return false;
        port.clearError();
        return true;
    }

  public:
    void ReadAll() {
        if (!port_ || owner_.detached_) return;
        QByteArray bytes = port_->readAll();
        if (const auto trace = CurrentLineTrace())
            trace->Bytes(LineTrace::Direction::Rx,
                         {bytes.constData(), static_cast<size_t>(bytes.size())});
        // On a modem call the dialler watches the data for the modem's end of the call.
        const bool callUp = !owner_.dial_ || owner_.dial_->OnData(bytes);
        pacer_.OnRead(reinterpret_cast<const uint8_t*>(bytes.constData()),
                      static_cast<size_t>(bytes.size()), Now());
        Arm();
        if (!callUp) Lost();
    }

    // Before the idle event may start a send: bytes already waiting in the driver (an exchange
    // bidding at the very end of the quiet window) are read first, by the port's own read
    // notification, so that the bid is answered instead of crossed.
    bool InputWaiting() const {
        if (!port_) return false;
        if (port_->bytesAvailable() > 0) return true;
#ifdef Q_OS_UNIX
        pollfd p{static_cast<int>(port_->handle()), POLLIN, 0};
        return ::poll(&p, 1, 0) > 0 && (p.revents & POLLIN);
#else
        return false;
#endif
    }

    static LinkPacer::TimePoint Now() {
        return std::chrono::steady_clock::now();
    }

    // Sets both timers from the pacer: the quiet one-shot for its next due time, the tick while
    // the engine has something to time.
    void Arm() {
        if (const auto due = pacer_.QuietDue()) {
            if (!quiet_->isActive()) {
                const auto wait = std::chrono::ceil<std::chrono::milliseconds>(*due - Now());
                quiet_->start(std::max(wait, std::chrono::milliseconds(0)));
            }
        } else {
            quiet_->stop();
        }
        if (pacer_.TickNeeded()) {
            if (!tick_->isActive()) tick_->start();
        } else {
            tick_->stop();
        }
    }

    // The far side ended the call: the device is closed and the next request dials again.
    void Lost() {
        ClosePort();
        owner_.engine_.OnReadError(0);  // a turn under way ends now, not by its time-outs
        owner_.connected_ = 0;
        owner_.Post(UM_LINK_DISCONNECTED, 0);
    }

  private:
    // A vanished device (USB adapter pulled, the far side of a pty closed) fails every read: it
    // is reported once as a read failure and the port is closed, so nothing spins on it. The
    // next request opens it again.
    void OnError(QSerialPort::SerialPortError error) {
        if (owner_.detached_) return;
        if (error == QSerialPort::NoError || error == QSerialPort::TimeoutError) return;
        if (port_) qCInfo(lcLink) << port_->portName() << "error" << error << port_->errorString();
        if (error == QSerialPort::WriteError) return;  // the engine's time-outs cover it
        owner_.Post(UM_LINK_ERROR, uint32_t{kLinkErrorReceive} << 8);
        owner_.engine_.OnReadError(0);
        Arm();
        if (error == QSerialPort::ResourceError || error == QSerialPort::ReadError ||
            error == QSerialPort::DeviceNotFoundError) {
            ClosePort();
            owner_.connected_ = 0;
            owner_.Post(UM_LINK_DISCONNECTED, 0);
        }
    }

    CSioThread& owner_;
    std::chrono::milliseconds tickInterval_;
    LinkPacer pacer_;
    QTimer* tick_ = nullptr;   // the engine's 100 ms tick, only while it has something to time
    QTimer* quiet_ = nullptr;  // one-shot: the end of the line's quiet window
    QSerialPort* port_ = nullptr;
    unsigned opened_ = 0;  // counts opens, so a late error of a closed port is recognised
};

CSioThread::CSioThread(LinkEngine& engine, QObject* notify, std::chrono::milliseconds tick)
    : engine_(engine), notify_(notify) {
    thread_.setObjectName("CSioThread");
    worker_ = new Worker(*this, tick);
    worker_->moveToThread(&thread_);
    QObject::connect(&thread_, &QThread::finished, worker_, &QObject::deleteLater);
    thread_.start();
    Worker* worker = worker_;
    QMetaObject::invokeMethod(
        worker, [worker] { worker->Start(); }, Qt::QueuedConnection);
}

CSioThread::~CSioThread() {
    Quit();
}

void CSioThread::Post(uint16_t message, uint32_t wParam) {
    PostLinkEvent(notify_.load(), std::make_unique<LinkEvent>(message, wParam));
}

int CSioThread::Open(const QString& portName) {
    // While a close is under way (a modem hanging up takes seconds) the open follows it.
    if (connected_ && pending_ != 2) {
        Post(UM_LINK_CONNECTED, 0);
        return 1;
    }
    if (pending_ == 1) return 1;
    pending_ = 1;
    const QString device = QString::fromStdString(ResolvePort(portName.toStdString()));
    if (dial_ && worker_) {
        // A call takes seconds: placed on the channel thread, reported when it is up or failed.
        Worker* worker = worker_;
        QMetaObject::invokeMethod(
            worker,
            [this, worker, device] {
                if (!device.isEmpty() && worker->OpenPort(device)) {
                    connected_ = 1;
                    int opening = 1;  // a close asked for meanwhile (2) stays asked for
                    pending_.compare_exchange_strong(opening, 0);
                    Post(UM_LINK_CONNECTED, 0);
                    worker->ReadAll();  // what came with the answer
                    worker->Wake();     // then the idle step, for what is queued
                    return;
                }
                pending_ = -1;
                // A hang-up asked for while dialling: the call is over, not failed.
                if (dial_->Cancelled()) {
                    Post(UM_LINK_DISCONNECTED, 0);
                } else {
                    Post(UM_LINK_ERROR, uint32_t{kLinkErrorOpen} << 8);
                }
            },
            Qt::QueuedConnection);
        return 1;
    }
    bool opened = false;
    if (worker_ && thread_.isRunning() && !device.isEmpty()) {
        Worker* worker = worker_;
        QMetaObject::invokeMethod(
            worker, [worker, device, &opened] { opened = worker->OpenPort(device); },
            Qt::BlockingQueuedConnection);
    }
    if (!opened) {
        pending_ = -1;
        Post(UM_LINK_ERROR, uint32_t{kLinkErrorOpen} << 8);
        return 0;
    }
    connected_ = 1;
    pending_ = 0;
    Post(UM_LINK_CONNECTED, 0);
    WakeIdle();
    return 1;
}

void CSioThread::Close() {
    if (!connected_ || !worker_) {
        Post(UM_LINK_DISCONNECTED, 0);
        return;
    }
    if (pending_ == 2) return;
    pending_ = 2;
    Worker* worker = worker_;
    QMetaObject::invokeMethod(
        worker,
        [this, worker] {
            worker->ClosePort();
            int closing = 2;
            // An open asked for meanwhile follows at once; its requester waits for that open,
            // and must not take this close for a device that vanished under it.
            const bool reopening = !pending_.compare_exchange_strong(closing, 0);
            connected_ = 0;
            if (!reopening) Post(UM_LINK_DISCONNECTED, 0);
        },
        Qt::QueuedConnection);
}

void CSioThread::WakeIdle() {
    if (!worker_) return;
    Worker* worker = worker_;
    QMetaObject::invokeMethod(
        worker, [worker] { worker->Wake(); }, Qt::QueuedConnection);
}

bool CSioThread::Write(const uint8_t* bytes, size_t count) {
    return !detached_ && worker_ && worker_->Write(bytes, count);
}

void CSioThread::Detach() {
    detached_ = true;
    notify_ = nullptr;
}

bool CSioThread::Quit(int timeoutMs) {
    if (!worker_) return true;
    Worker* worker = worker_;
    // Behind everything already queued for the thread (a Close, a wake-up): close, then end.
    QMetaObject::invokeMethod(
        worker,
        [worker] {
            worker->ClosePort();
            QThread::currentThread()->quit();
        },
        Qt::QueuedConnection);
    const bool ended = timeoutMs < 0 ? thread_.wait() : thread_.wait(QDeadlineTimer(timeoutMs));
    if (ended) {
        worker_ = nullptr;
        connected_ = 0;
    }
    return ended;
}

}  // namespace qn410
