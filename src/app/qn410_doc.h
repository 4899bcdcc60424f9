// The document commands of the File menu: New, Open, Save, Save As and Print. They work on the
// view's setting data; the file dialogs come through a FileChooser so tests can answer them.
#pragma once

#include <QString>
#include <functional>

namespace qn410 {

class CQN410View;
class FileChooser;
class RecentFiles;

class CQN410Doc {
  public:
    CQN410Doc(CQN410View& view, FileChooser& files, RecentFiles& recent);

    void New();
    void Open();
    // Opening a file of the recent-file list: Open without the file dialog. A file that has
    // gone (a stick not mounted) is not made anew: the user is told, and the entry removed.
    void OpenRecent(const QString& path);
    // Open of a name given without the dialog (the command line): like a typed name in the
    // Open dialog, a name that does not exist yet is created with default data.
    void OpenNamed(const QString& path);
    void Save();
    void SaveAs();
    void Print();

    // Where Print hands its request (the printing thread); nothing happens without one.
    void SetPrintHandler(std::function<void()> handler) { print_ = std::move(handler); }

  private:
    bool MayReplaceData(const char* question);
    void ReadFrom(const QString& path);

    CQN410View& view_;
    FileChooser& files_;
    RecentFiles& recent_;
    std::function<void()> print_;
};

}  // namespace qn410
