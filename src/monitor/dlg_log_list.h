// The "Log Data" and "Communication Monitor" windows: one class, two kinds. "Select" sends the
// Log Data Request (O) or the Communication Monitoring Request (P) for the ticked exchanges;
// rows arrive while the window is open (UM_LINK_RESULT code 3, from the receive dispatch), at
// most the last 1000; "Data Save" writes the history, "Select Folder" picks the folder of the
// daily files and of "Data Save", "Print" hands the rows to the printing side.
#pragma once

#include <QBasicTimer>
#include <QDialog>
#include <array>
#include <functional>
#include <string>

#include "monitor/log_files.h"
#include "monitor/log_history.h"
#include "setting/clock.h"
#include "setting/setting_data.h"

class QComboBox;
class QLabel;
class QPushButton;
class QStandardItemModel;
class QTreeWidget;

namespace qn410 {

class EditorHost;
class FolderChooser;

// What the windows keep between openings (the main view's): the selections and the folders.
struct ReadingChoices {
    std::array<bool, kExchangeCount> logSelection{};
    std::array<bool, kExchangeCount> monitorSelection{};
    std::string logFolder;  // empty: the current folder
    std::string monitorFolder;
};

struct LogListServices {
    EditorHost* host = nullptr;  // link, progress, confirmation, print, prompt, setting data
    LogHistory* history = nullptr;
    QObject* view = nullptr;  // gets 0x1402 / 0x1403
    ReadingChoices* choices = nullptr;
    FolderChooser* folders = nullptr;
    const Clock* clock = nullptr;
    // Makes the window the receiver of arriving records (nullptr: none).
    std::function<void(QObject*)> registerWindow;
    // "Select Folder": the daily file of the kind starts anew in the folder.
    std::function<void(LogKind, const std::string&)> folderChosen;
};

class CDlgLogList : public QDialog {
    Q_OBJECT
  public:
    static constexpr int kMaxRows = 1000;
    static constexpr int kTimeoutTicks = 120;

    CDlgLogList(LogKind kind, LogListServices services, QWidget* parent = nullptr);
    ~CDlgLogList() override;

    // For tests: a shorter time-out and a faster tick than 120 x 1000 ms.
    void SetTimeout(int ticks, int tickMs);

    QStandardItemModel* destinations() const { return destModel_; }
    QComboBox* destinationBox() const { return destination_; }
    QLabel* selectionText() const { return selectionText_; }
    QTreeWidget* list() const { return list_; }
    QPushButton* selectButton() const { return select_; }
    QPushButton* dataSaveButton() const { return dataSave_; }

  public slots:
    void Select();
    void DataSave();
    void SelectFolder();
    void Print();

  protected:
    bool event(QEvent* event) override;
    void timerEvent(QTimerEvent* event) override;
    void done(int result) override;

  private:
    void BuildControls();
    void ShowSelectionText();
    void SortBy(int column);
    void AddRow(const std::vector<std::string>& texts);
    void OnResult(uint32_t code);
    void GiveUp(bool timedOut);
    std::array<bool, kExchangeCount>& selection();
    std::string& folder();

    LogKind kind_;
    LogListServices s_;
    int switchCount_ = 1;
    bool anySelected_ = false;
    QComboBox* destination_ = nullptr;
    QStandardItemModel* destModel_ = nullptr;
    QLabel* selectionText_ = nullptr;
    QTreeWidget* list_ = nullptr;
    QPushButton *select_ = nullptr, *print_ = nullptr, *dataSave_ = nullptr,
                *folderButton_ = nullptr, *close_ = nullptr;
    std::array<bool, 8> descending_{};  // each column's next direction
    QBasicTimer timer_;
    int ticks_ = 0;
    int limit_ = kTimeoutTicks;
    int tickMs_ = 1000;
};

}  // namespace qn410
