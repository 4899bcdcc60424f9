// The main window: the view, the menu, and closing. Closing asks about unsaved data and stops a
// running log or monitor reading first; the window closes only once the stop has been answered
// (or has failed) and the link has let go.
#pragma once

#include <QBasicTimer>
#include <QMainWindow>
#include <memory>

#include "app/qn410_doc.h"
#include "app/recent_files.h"
#include "app/view_editor_host.h"

class QAction;
class QMenu;

namespace qn410 {

class CQN410View;
class FileChooser;

class CMainFrame : public QMainWindow {
    Q_OBJECT
  public:
    static constexpr int kWatchdogLimit = 120;  // seconds a stop request may take

    CMainFrame(std::unique_ptr<CQN410View> view, FileChooser& files, QWidget* parent = nullptr);
    ~CMainFrame() override;

    CQN410View& view() { return *view_; }
    CQN410Doc& doc() { return doc_; }
    RecentFiles& recentFiles() { return recent_; }
    // What the editors are given: the view's data, Save, the link and the progress display.
    ViewEditorHost& editorHost() { return host_; }

    // Closes without any question: for the link once it has been closed for good.
    void CloseNow();

    // The frame's size follows the form; it is fixed and centred on the screen.
    void FitToView();

  protected:
    void closeEvent(QCloseEvent* event) override;
    bool event(QEvent* event) override;
    void timerEvent(QTimerEvent* event) override;

  private:
    void BuildMenu();
    void RebuildRecentMenu();
    void UpdateTitle();
    // Asks and acts as closing requires; true when the window may close now. askUnsaved adds
    // the question about unsaved data first.
    bool TryClose(bool askUnsaved);
    void StopReading(char letter, const char* name);
    void OnStopResult(uint32_t result, char letter);

    CQN410View* view_;
    RecentFiles recent_;
    CQN410Doc doc_;
    ViewEditorHost host_;
    QMenu* fileMenu_ = nullptr;
    QAction* recentEnd_ = nullptr;
    QList<QAction*> recentActions_;
    bool closeDecided_ = false;
    uint32_t lastResult_ = 0;
    int watchdogTicks_ = 0;
    QBasicTimer watchdog_;    // timer 1: a stop request is outstanding
    QBasicTimer closeRetry_;  // timer 5: try closing again once the link is idle
};

}  // namespace qn410
