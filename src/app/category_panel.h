// The category buttons of the main form, in their groups, under the title picture. The panel only
// builds and lays out the buttons; the view decides what each one opens.
#pragma once

#include <QWidget>
#include <array>

class QPushButton;

namespace qn410 {

class CColorButton;

enum class Category {
    GlobalSetting,
    Stations,
    CoTrunks,
    GroupCall,
    CallForwarding,
    ScanMonitor,
    Paging,
    EmergencyConference,
    DirectSelect,
    RemoteDialing,
    LogData,
    CommunicationMonitor,
    UploadDownload,
    Printout,
    PcPort,
    DialingAssignment,
    Exit,
};
inline constexpr int kCategoryCount = static_cast<int>(Category::Exit) + 1;

// The text on a category's button, e.g. "C/O Trunks".
const char* CategoryButtonText(Category category);

class CategoryPanel : public QWidget {
    Q_OBJECT
  public:
    explicit CategoryPanel(QWidget* parent = nullptr);

    QPushButton* button(Category category) const {
        return buttons_[static_cast<std::size_t>(category)];
    }
    CColorButton* logDataButton() const { return logData_; }
    CColorButton* monitorButton() const { return monitor_; }

  signals:
    void categoryClicked(qn410::Category category);

  private:
    QPushButton* AddButton(Category category, QPushButton* button);

    std::array<QPushButton*, kCategoryCount> buttons_{};
    CColorButton* logData_;
    CColorButton* monitor_;
};

}  // namespace qn410
