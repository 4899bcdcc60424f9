// Start-up of the program: one copy at a time, the password of "qn410.txt", the base directory
// and the main window. Everything a test needs to replace comes in through ShellServices.
#pragma once

#include <QLockFile>
#include <QString>
#include <functional>
#include <memory>
#include <string>

#include "app/view_link.h"
#include "setting/prompt.h"

class QLocalServer;
class QWidget;

namespace qn410 {

class CMainFrame;
class FileChooser;

struct ShellServices {
    Prompt* prompt = nullptr;
    FileChooser* files = nullptr;
    std::function<std::unique_ptr<ViewLink>()> makeLink;  // NoLink when empty
    QString lockDir;                                      // folder of the single-instance lock
    QString appDir;                                       // the executable's folder
    QString openFile;  // a setting file named on the command line, opened after start
};

// Checks the password of the default setting file before any window is shown. False when the
// program must end: the field is malformed ("Incorrect setting file.\n Password Error"), the key
// is missing (its message already shown), or the user cancelled the password dialog.
bool CheckStartPassword(const std::string& settingFile, std::string& password, Prompt& prompt);

class QN410App {
  public:
    explicit QN410App(ShellServices services);
    ~QN410App();

    // False when the program must end at once: another copy runs (its window is brought to the
    // front instead) or the password was not given.
    bool Start();
    CMainFrame* frame() const { return frame_.get(); }

  private:
    // The running copy listens beside its lock file; a second copy's connection asks it to
    // bring its window to the front.
    void Listen();
    void BringToFront();

    ShellServices services_;
    std::unique_ptr<QLockFile> lock_;
    std::unique_ptr<QLocalServer> server_;
    std::unique_ptr<CMainFrame> frame_;
};

}  // namespace qn410
