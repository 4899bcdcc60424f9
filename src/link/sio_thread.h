// CSioThread: the RS-232C channel. A QThread of its own owns the QSerialPort, reads it when
// readyRead fires and feeds every byte to the link engine (slot 0). The engine's idle event
// comes once the line has been quiet for 5 ms, as after a read that timed out; its 100 ms tick
// runs only while the engine has something to time (see link_pacer.h), so a quiet line costs no
// wake-ups.
//
// Open, Close, WakeIdle, Quit and Detach are called on the user-interface thread; everything
// that touches the port runs on the channel thread. UM_LINK_CONNECTED, UM_LINK_DISCONNECTED and
// UM_LINK_ERROR (0x8200 open failed, 0x8500 read failed) are posted to the notify object.
#pragma once

#include <QString>
#include <QThread>
#include <atomic>
#include <chrono>

#include "link/link_engine.h"

namespace qn410 {
class ChannelDialStep;
}

class QSerialPort;
class QTimer;

namespace qn410 {

class CSioThread {
  public:
    // tick: the engine's time unit; tests shorten it.
    CSioThread(LinkEngine& engine, QObject* notify,
               std::chrono::milliseconds tick = std::chrono::milliseconds(100));
    virtual ~CSioThread();
    CSioThread(const CSioThread&) = delete;
    CSioThread& operator=(const CSioThread&) = delete;

    // Opens the port by name ("COM1".."COM4", see port_map.h) or device path. Returns 1 when the
    // port is open or an open is under way, 0 when the open failed (0x8200 is posted).
    int Open(const QString& portName);
    // Closes the port; UM_LINK_DISCONNECTED follows in every case.
    void Close();
    // A request was queued: it starts on the channel thread once the line is quiet.
    void WakeIdle();
    // Ends the thread (the port is closed on the way), waiting at most timeoutMs (<0: no limit).
    // Returns false when the thread did not end in time.
    bool Quit(int timeoutMs = -1);
    // After a Quit that timed out: the thread, still running, touches the engine no more and
    // posts nothing. This object must then outlive the thread.
    void Detach();

    // Channel thread: hands the engine's bytes to the port. False when the port is closed.
    bool Write(const uint8_t* bytes, size_t count);

    bool connected() const { return connected_.load(); }

  protected:
    // A step around the read/write loop (the modem's dialler); set before the first Open. With
    // one, Open returns at once and reports when the call is up or has failed.
    void SetDialStep(ChannelDialStep* step) { dial_ = step; }
    bool opening() const { return pending_ == 1; }
    bool closing() const { return pending_ == 2; }

  private:
    class Worker;
    void Post(uint16_t message, uint32_t wParam);

    LinkEngine& engine_;
    std::atomic<QObject*> notify_;
    std::atomic<bool> detached_{false};
    QThread thread_;
    Worker* worker_ = nullptr;  // lives on thread_
    std::atomic<int> connected_{0};
    std::atomic<int> pending_{0};  // 1 opening, 2 closing, -1 last open failed
    ChannelDialStep* dial_ = nullptr;
};

}  // namespace qn410
