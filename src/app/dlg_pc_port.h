// "PC Port": how the PC reaches the exchanges (RS-232C or Modem), which COM port and which
// telephone number the modem dials, edited on a copy of the MaintenanceSetting. Overwrite writes
// the copy back, marks the setting data changed and restarts the link, only when something
// changed and never while log or communication data is being read. The dialog also prints
// these settings and opens "New Password".
//
// Beside each COM button stands the device it leads to (the port map, so QN410_COM1 and the
// like are visible), and below the serial devices present on this PC, so an installer can tell
// which adapter is which. The setting file still holds only the port number 0..3.
#pragma once

#include <QDialog>
#include <functional>

#include "editors/editor_host.h"

class QButtonGroup;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace qn410 {

// What the dialog asks of the view besides the editor host.
struct PcPortActions {
    // Shows "Reading ... Please stop reading and try it again." and returns true while a
    // reading runs.
    std::function<bool()> refuseWhileReading;
    // Stop and Start of the link with the view's (new) MaintenanceSetting.
    std::function<void()> restartLink;
    // Opens the password change dialog.
    std::function<void()> newPassword;
};

class CDlgPcPort : public QDialog {
    Q_OBJECT
  public:
    CDlgPcPort(EditorHost& host, PcPortActions actions, QWidget* parent = nullptr);

    const MaintenanceSetting& workingCopy() const { return copy_; }
    QRadioButton* methodButton(int method) const { return methods_[method]; }  // 0 RS-232C
    QRadioButton* portButton(int port) const { return ports_[port]; }          // 0..3
    QLabel* portDevice(int port) const { return devices_[port]; }
    QLineEdit* telephoneEdit() const { return telNo_; }
    QPushButton* overwriteButton() const { return overwrite_; }
    QPushButton* closeButton() const { return close_; }
    QPushButton* printButton() const { return print_; }
    QPushButton* passwordButton() const { return password_; }

    void reject() override;  // Escape is swallowed; the window's close asks as Close does

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    void ShowValues(const MaintenanceSetting& values);
    void EnableForMethod(int method);
    void Overwrite();
    bool MayClose();
    void Print();
    const MaintenanceSetting& stored() const { return host_.Document().data().Maintenance; }

    EditorHost& host_;
    PcPortActions actions_;
    MaintenanceSetting copy_{};
    QRadioButton* methods_[2];
    QRadioButton* ports_[4];
    QLabel* devices_[4];
    QButtonGroup* portGroup_;
    QLabel* portLabel_;
    QLabel* lineLabel_;
    QLabel* telLabel_;
    QLineEdit* telNo_;
    QPushButton* password_;
    QPushButton* print_;
    QPushButton* overwrite_;
    QPushButton* close_;
};

// The telephone number the modem dials: 1 to 20 characters, each a digit or '-'.
bool IsModemNumber(const std::string& text);

}  // namespace qn410
