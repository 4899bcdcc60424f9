#include "print/th_print_out.h"

#include <QPagedPaintDevice>
#include <QPrinter>

#include "link/link_messages.h"
#include "print/printout.h"
#include "ui/message_event.h"
#include "ui/progress_display.h"

namespace qn410 {

namespace {

std::atomic<CTHPrintOut*> g_instance{nullptr};

// The block of message 0x1500: the request and the device, both released by the thread.
struct PrintOrder {
    std::unique_ptr<PrintRequest> request;
    std::unique_ptr<QPagedPaintDevice> device;
};

class PrintWorker : public QObject {
  public:
    explicit PrintWorker(QObject* view) : view_(view) {}

    bool event(QEvent* event) override {
        switch (static_cast<int>(event->type())) {
            case UM_PRINT_REQUEST:
                if (auto* m = dynamic_cast<MessageEvent<PrintOrder>*>(event)) Print(m->takeBlock());
                g_printing = false;
                return true;
            case UM_THREAD_STOP:
                thread()->quit();
                return true;
            default:
                return QObject::event(event);
        }
    }

  private:
    void Print(std::unique_ptr<PrintOrder> order) {
        if (!order || !order->request || !order->device) return;
        PrintRequest& request = *order->request;
        if (request.date.empty()) request.date = PrintDate();
        const int categories = CategoryCount(request);
        if (categories == 0) return;  // a code that prints nothing
        const CategoryLayout* layout = FindLayout(request.category);
        PostProgress(view_, UM_PROGRESS_START, kProgressPrinting,
                     layout ? layout->title : "Printout", categories);
        auto* printer = dynamic_cast<QPrinter*>(order->device.get());
        if (printer) printer->setDocName(QStringLiteral("Printout"));
        // The progress dialog's Cancel ends the document after the category in hand.
        const PaintResult result = PaintPrintout(*order->device, request, [this] {
            PostMessageTo(view_, UM_PROGRESS_ADVANCE, kProgressPrinting);
            return g_transferCancelled == 0;
        });
        if (!result.complete && printer) printer->abort();
        order->device.reset();  // a PDF is complete once its writer is gone
        PostMessageTo(view_, UM_PROGRESS_CLOSE);
    }

    QObject* view_;
};

}  // namespace

CTHPrintOut::CTHPrintOut(QObject* view) : view_(view) {}

CTHPrintOut::~CTHPrintOut() {
    Stop();
}

CTHPrintOut* CTHPrintOut::Instance() {
    return g_instance;
}

void CTHPrintOut::Start() {
    if (thread_) return;
    thread_ = std::make_unique<QThread>();
    auto* worker = new PrintWorker(view_);
    worker->moveToThread(thread_.get());
    QObject::connect(thread_.get(), &QThread::finished, worker, &QObject::deleteLater);
    worker_ = worker;
    thread_->start(QThread::HighestPriority);
    g_instance = this;
}

bool CTHPrintOut::Post(std::unique_ptr<PrintRequest> request,
                       std::unique_ptr<QPagedPaintDevice> device) {
    if (!thread_) return false;
    bool idle = false;
    if (!g_printing.compare_exchange_strong(idle, true)) return false;
    auto order = std::make_unique<PrintOrder>();
    order->request = std::move(request);
    order->device = std::move(device);
    PostMessageTo(worker_, UM_PRINT_REQUEST, 0, std::move(order));
    return true;
}

bool CTHPrintOut::Stop(std::chrono::milliseconds wait) {
    if (!thread_) return true;
    if (g_instance == this) g_instance = nullptr;
    PostMessageTo(worker_, UM_THREAD_STOP);
    if (!thread_->wait(QDeadlineTimer(wait.count()))) {
        // Still printing after the wait: the program ends without it, as the thread is left
        // to the operating system rather than destroyed while it runs.
        (void)thread_.release();
        return false;
    }
    thread_.reset();
    worker_ = nullptr;
    return true;
}

}  // namespace qn410
