// The about box of the Help menu.
#pragma once

#include <QDialog>

namespace qn410 {

class CAboutDlg : public QDialog {
    Q_OBJECT
  public:
    explicit CAboutDlg(QWidget* parent = nullptr);
};

}  // namespace qn410
