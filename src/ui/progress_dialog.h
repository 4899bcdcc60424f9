// The one progress dialog of the program: a message, a bar and a Cancel button. Its title shows
// the percentage done as "<title> [25%]". Cancel (button, Escape or the close box) only sets the
// process-wide cancel flag; the working code sees the flag and closes the dialog itself.
#pragma once

#include <QDialog>
#include <QString>

class QLabel;
class QProgressBar;
class QPushButton;

namespace qn410 {

class CDlgProgress : public QDialog {
    Q_OBJECT
  public:
    explicit CDlgProgress(QWidget* parent = nullptr);

    void SetTitle(const QString& title);  // keeps the percentage shown last
    void SetMessage(const QString& text);
    void SetButtonText(const QString& text);
    // Range lower..upper with step 1; the position goes back to lower and the title to [0%].
    void SetRange(int lower, int upper);
    // One step on. The position is not limited to the upper bound: 125% is shown as such.
    void Advance();
    // Ends the dialog as cancelled without touching the cancel flag.
    void Close();

    QString title() const { return title_; }
    QString message() const;
    QString buttonText() const;
    int position() const { return position_; }
    int percent() const { return percent_; }

    void reject() override;  // Cancel and Escape: set the cancel flag, stay open

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    void ShowTitle();

    QString title_;
    int lower_ = 0;
    int upper_ = 0;
    int step_ = 1;
    int position_ = 0;
    int percent_ = 0;
    QLabel* message_;
    QProgressBar* bar_;
    QPushButton* button_;
};

}  // namespace qn410
