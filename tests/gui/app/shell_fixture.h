// The program in a folder of its own with its outside effects recorded; acting in modal dialogs.
#pragma once

#include <QtTest>
#include <QtWidgets>
#include <functional>
#include <optional>
#include <vector>

#include "app/qn410_app.h"
#include "app/view_link.h"
#include "support/recording_prompt.h"
#include "ui/file_chooser.h"

namespace qn410::test {

// Runs action on the modal widget of type T as soon as one is in front (polled for up to 5 s).
template <typename T>
void WhenModal(std::function<void(T*)> action) {
    auto* timer = new QTimer(qApp);
    QObject::connect(timer, &QTimer::timeout, timer, [timer, action, end = QDeadlineTimer(5000)] {
        auto* widget = qobject_cast<T*>(QApplication::activeModalWidget());
        if (!widget && !end.hasExpired()) return;
        timer->stop();
        timer->deleteLater();
        QVERIFY2(widget, T::staticMetaObject.className());
        action(widget);
    });
    timer->start(10);
}

// Answers the Open and Save As dialogs in turn from a list; none left is a cancelled dialog.
class ScriptedFileChooser : public FileChooser {
  public:
    std::optional<QString> ChooseOpenFile(QWidget*) override { return Next(); }
    std::optional<QString> ChooseSaveFile(QWidget*, const QString&) override { return Next(); }
    std::optional<QString> Next() {
        ++asked;
        return answers.isEmpty() ? std::nullopt : std::optional(answers.takeFirst());
    }
    QStringList answers;
    int asked = 0;
};

// What the view asked of its link; kept outside the link, which the view owns.
struct LinkLog {
    int stops = 0, closeChecks = 0, releases = 0;
    std::vector<TransferRequestPtr> submitted;
    std::vector<bool> abandoned;
};

struct RecordingLink : NoLink {
    explicit RecordingLink(LinkLog& log) : log_(log) {}
    void Stop() override { ++log_.stops; }
    bool PrepareClose() override { return ++log_.closeChecks; }
    void Submit(TransferRequestPtr r, bool abandon) override {
        log_.submitted.push_back(std::move(r));
        log_.abandoned.push_back(abandon);
    }
    void ReleaseTransferBits() override { ++log_.releases; }
    LinkLog& log_;
};

// A fresh working folder (made current) with a private settings store and lock folder.
struct ShellFolder {
    ShellFolder() {
        QDir::setCurrent(dir_.path());
        QDir().mkpath(file(QStringLiteral("settings")));
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, file("settings"));
    }
    ~ShellFolder() { QDir::setCurrent(previous_); }
    QString file(const QString& name) const { return dir_.filePath(name); }
    QString path() const { return dir_.path(); }
    QTemporaryDir dir_;
    QString previous_ = QDir::currentPath();
};

// MakeApp gives another copy of the program on the same folder (by default with a RecordingLink).
struct RecordingShell {
    RecordingShell() : app(MakeApp(folder.path())) {}
    std::unique_ptr<QN410App> MakeApp(const QString& appDir,
                                      std::function<std::unique_ptr<ViewLink>()> makeLink = {}) {
        if (!makeLink) makeLink = [this] { return std::make_unique<RecordingLink>(link); };
        return std::make_unique<QN410App>(ShellServices{
            &prompt, &files, std::move(makeLink), folder.file(QStringLiteral("run")), appDir});
    }
    ShellFolder folder;
    RecordingPrompt prompt;
    ScriptedFileChooser files;
    LinkLog link;
    std::unique_ptr<QN410App> app;
};

}  // namespace qn410::test
