// CTHPrintOut: the printing thread. It owns the painting: a request (message 0x1500) arrives
// with its own copy of the data and the printer the user chose on the user-interface thread,
// and the thread lays out and prints its pages there, reporting to the view with the progress
// messages 0x1703 (kind 1, "Printing"), 0x1702 per category and 0x1701 at the end.
//
// One print at a time: the process-wide printing flag is set when a request is accepted and
// cleared when its print has ended, and a request arriving meanwhile is dropped.
#pragma once

#include <QThread>
#include <atomic>
#include <chrono>
#include <memory>

#include "print/print_request.h"

class QPagedPaintDevice;

namespace qn410 {

// Set while a print runs (from acceptance of its request to the end of its document).
inline std::atomic<bool> g_printing{false};

class CTHPrintOut {
  public:
    static constexpr std::chrono::seconds kStopWait{200};

    // view receives the progress messages.
    explicit CTHPrintOut(QObject* view);
    ~CTHPrintOut();  // Stop()

    // The one thread every window posts to, while it runs; nullptr otherwise.
    static CTHPrintOut* Instance();

    // Starts the thread (at the highest priority) unless it runs already.
    void Start();
    // Hands the request and the device to print it on (a printer, or a PDF writer) to the
    // thread. Dropped, with its device, while a print runs or before Start: false.
    bool Post(std::unique_ptr<PrintRequest> request, std::unique_ptr<QPagedPaintDevice> device);
    // Posts the end request (0x1401) and waits for the print in hand to end, at most `wait`.
    // False when the thread was still printing at the end of the wait.
    bool Stop(std::chrono::milliseconds wait = kStopWait);

  private:
    QObject* view_;
    std::unique_ptr<QThread> thread_;
    QObject* worker_ = nullptr;  // lives in the thread
};

}  // namespace qn410
