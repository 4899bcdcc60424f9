// The two questions asked before a transfer starts. Each is a small modal dialog with OK and
// Cancel; the transfer goes on only on OK.
#pragma once

#include <QDialog>

namespace qn410 {

class CDlgConfirm : public QDialog {
    Q_OBJECT
  public:
    enum class Direction { Transmit, Receive };
    CDlgConfirm(Direction direction, QWidget* parent);
};

// "Transmission verification": "Will transmit set data. OK?"
bool ConfirmTransmit(QWidget* parent);
// "reception verification": "Will receive set data. OK?"
bool ConfirmReceive(QWidget* parent);

}  // namespace qn410
