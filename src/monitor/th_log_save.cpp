#include "monitor/th_log_save.h"

#include "link/link_event.h"
#include "monitor/daily_file.h"
#include "ui/message_event.h"

namespace qn410 {

namespace {
// Between the worker and its owner; private to the two.
constexpr uint16_t kFailureText = 0x1412;   // worker to owner: a failure text to show
constexpr uint16_t kFileChanged = 0x1413;   // worker to owner: wParam kind, the new file's name
constexpr uint16_t kSelectFolder = 0x1414;  // owner to worker: wParam kind, the folder

struct Text {
    std::string text;
};
}  // namespace

class LogSaveWorker : public QObject {
  public:
    LogSaveWorker(QObject* owner, const Clock& clock, const std::string& history,
                  const std::string& monitor)
        : owner_(owner),
          log_(LogKind::Log, history, clock),
          monitor_(LogKind::Monitor, monitor, clock) {
        for (DailyFile* file : {&log_, &monitor_})
            if (auto failure = file->TakeStartFailure()) Report(std::move(*failure));
    }

    bool event(QEvent* event) override {
        auto* link = dynamic_cast<LinkEvent*>(event);
        switch (static_cast<int>(event->type())) {
            case UM_LOG_RECORD:
                if (link && link->logLine) Write(LogKind::Log, FileLine(*link->logLine));
                return true;
            case UM_MONITOR_RECORD:
                if (link && link->monitorEntry)
                    Write(LogKind::Monitor, FileLine(*link->monitorEntry));
                return true;
            case kSelectFolder:
                if (Text* folder = BlockOf<Text>(event))
                    File(static_cast<LogKind>(WParamOf(event))).SelectFolder(folder->text);
                return true;
            case UM_THREAD_STOP:
                log_.Close();
                monitor_.Close();
                thread()->quit();
                return true;
            default:
                return QObject::event(event);
        }
    }

  private:
    DailyFile& File(LogKind kind) { return kind == LogKind::Log ? log_ : monitor_; }

    void Write(LogKind kind, const std::string& line) {
        DailyFile& file = File(kind);
        const std::string before = file.currentPath();
        if (auto failure = file.Write(line)) Report(std::move(*failure));
        if (file.currentPath() != before)
            PostMessageTo(owner_, kFileChanged, static_cast<intptr_t>(kind),
                          std::make_unique<Text>(Text{file.currentPath()}));
    }

    void Report(std::string text) {
        PostMessageTo(owner_, kFailureText, 0, std::make_unique<Text>(Text{std::move(text)}));
    }

    QObject* owner_;
    DailyFile log_;
    DailyFile monitor_;
};

CTHLogSave::CTHLogSave(Prompt& prompt, const Clock& clock, QObject* parent)
    : QObject(parent), prompt_(prompt), clock_(clock) {
    thread_.setObjectName(QStringLiteral("CTHLogSave"));
}

CTHLogSave::~CTHLogSave() {
    Stop();
}

void CTHLogSave::Start(const std::string& history, const std::string& monitor) {
    if (thread_.isRunning()) return;
    worker_ = new LogSaveWorker(this, clock_, history, monitor);
    worker_->moveToThread(&thread_);
    thread_.start();
}

bool CTHLogSave::Stop(int waitMs) {
    if (!worker_) return true;
    PostMessageTo(worker_, UM_THREAD_STOP);
    const bool ended = thread_.wait(waitMs);
    if (ended) {
        delete worker_;  // its thread has ended: nothing else touches it now
        worker_ = nullptr;
        // What the worker reported last (the name of its last file) still reaches the work file.
        QCoreApplication::sendPostedEvents(this);
    }
    return ended;
}

QObject* CTHLogSave::receiver() const {
    return worker_;
}

void CTHLogSave::SelectFolder(LogKind kind, const std::string& folder) {
    if (worker_)
        PostMessageTo(worker_, kSelectFolder, static_cast<intptr_t>(kind),
                      std::make_unique<Text>(Text{folder}));
}

bool CTHLogSave::event(QEvent* event) {
    switch (static_cast<int>(event->type())) {
        case kFailureText:
            if (Text* text = BlockOf<Text>(event))
                prompt_.Tell(text->text, PromptIcon::Exclamation);
            return true;
        case kFileChanged:
            if (Text* path = BlockOf<Text>(event))
                emit fileChanged(static_cast<LogKind>(WParamOf(event)),
                                 QString::fromStdString(path->text));
            return true;
        default:
            return QObject::event(event);
    }
}

}  // namespace qn410
