// The one view of the program: the category panel, and everything that lives as long as the
// window does: the setting data with its file name and modified flag, the current password, the
// work file's last file names, the reading flags of the log and monitor windows, the link and
// the progress display.
#pragma once

#include <QString>
#include <QWidget>
#include <array>
#include <functional>
#include <memory>
#include <string>

#include "app/category_panel.h"
#include "app/view_link.h"
#include "setting/prompt.h"
#include "setting/setting_data.h"
#include "setting/work_file.h"
#include "ui/progress_display.h"

namespace qn410 {

class CQN410View : public QWidget {
    Q_OBJECT
  public:
    // password is the one read at start; link stands for the link broker.
    CQN410View(Prompt& prompt, std::string password, QString workFilePath,
               std::unique_ptr<ViewLink> link, QWidget* parent = nullptr);
    ~CQN410View() override;  // writes the work file

    // Reads "qn410.txt" (created with default data when missing), the work file, and starts the
    // link. Called once when the view is first shown.
    void Initialise();

    SettingDocument& document() { return document_; }
    std::string& password() { return password_; }
    const WorkFile& workFile() const { return work_; }
    WorkFile& workFile() { return work_; }
    ViewLink& link() { return *link_; }
    ProgressDisplay& progress() { return progress_; }
    CategoryPanel& panel() { return *panel_; }
    Prompt& prompt() { return prompt_; }

    bool readingLog() const { return readingLog_; }
    bool readingMonitor() const { return readingMonitor_; }
    void SetReadingLog(bool on);
    void SetReadingMonitor(bool on);
    // "Reading ... Please stop reading and try it again." when a reading runs; true if busy.
    bool RefuseWhileReading();

    // Stop and Start of the link with the current MaintenanceSetting (after New and Open).
    void RestartLink();

    // What a category button opens. Editors plug themselves in here.
    void SetCategoryHandler(Category category, std::function<void()> handler);
    // The station number check run after Global Setting and Upload/Download; true when it found
    // a problem (the Stations sheet is then opened).
    void SetStationCheck(std::function<bool(const SettingData&)> check);
    // True while the Stations sheet is being opened because the station number check failed:
    // the sheet then says why and shows the station concerned.
    bool OpeningForStationCheck() const { return openingForCheck_; }

  signals:
    void documentChanged();  // file name or data replaced
    void modifiedChanged();  // the modified flag may have changed (a window closed, a save)
    void exitRequested();

  protected:
    bool event(QEvent* event) override;

  private:
    void OpenCategory(Category category);
    void PaintReading(CColorButton* button, bool on);

    Prompt& prompt_;
    SettingDocument document_;
    std::string password_;
    QString workFilePath_;
    WorkFile work_;
    bool initialised_ = false;
    bool openingForCheck_ = false;
    bool readingLog_ = false;
    bool readingMonitor_ = false;
    std::unique_ptr<ViewLink> link_;
    CategoryPanel* panel_;
    ProgressDisplay progress_;
    std::array<std::function<void()>, kCategoryCount> handlers_;
    std::function<bool(const SettingData&)> stationCheck_;
};

}  // namespace qn410
