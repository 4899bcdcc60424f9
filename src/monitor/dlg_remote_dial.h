// "Remote Dialing": makes a master station of an exchange dial a telephone number. The user
// picks the exchange and the master station, types or chooses the number, and "Dial" sends the
// 'N' record to that exchange, with a 120-second watchdog on its answer. The last five numbers
// dialled are remembered in the setting data, most recent first, and offered in the list.
#pragma once

#include <QDialog>
#include <QSpinBox>
#include <QTimer>
#include <string>

#include "editors/editor_host.h"

class QComboBox;
class QPushButton;

namespace qn410 {

// Puts number at the top of the remembered numbers. One already there only moves up; a new one
// pushes out all but the four most recent and marks the data modified (returns true).
bool RememberNumber(RemoteDialSetting& remembered, const std::string& number);

// The number a master station dials: 1 to 32 characters, digits and A B C D * # Q W E R T Y U I
// X - O P a b c d q w e r t y u i x o p.
bool IsRemoteDialNumber(const std::string& text);

// A spin box whose field takes any one- or two-digit entry (checked on Dial) while its arrows
// stay within 1..high.
class CSpinField : public QSpinBox {
  public:
    CSpinField(int high, int digits, QWidget* parent);
    void stepBy(int steps) override;

  private:
    int high_;
};

class CDlgRemoteDial : public QDialog {
    Q_OBJECT
  public:
    CDlgRemoteDial(EditorHost& host, QWidget* parent = nullptr);

    QSpinBox* exchangeField() const { return exchange_; }
    QSpinBox* masterField() const { return master_; }
    QComboBox* numberList() const { return numbers_; }
    QPushButton* dialButton() const { return dial_; }
    QPushButton* cancelButton() const { return cancel_; }
    // Tests shorten the 120 ticks of 1000 ms.
    void SetWatchdog(int limitTicks, int periodMs);

    void reject() override;  // Escape is ignored; Cancel closes

  protected:
    bool event(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void Dial();
    void OnTick();
    void ShowNumbers();

    EditorHost& host_;
    CSpinField* exchange_;
    CSpinField* master_;
    QComboBox* numbers_;
    QPushButton* dial_;
    QPushButton* cancel_;
    QTimer watchdog_;
    int ticks_ = 0;
    int limit_ = 120;
};

}  // namespace qn410
