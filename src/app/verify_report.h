// The report of "Verify with exchanges...": where the exchanges' data differs from the setting
// data in the tool, one line per field, which the installer can save as a text file.
#pragma once

#include <QDialog>
#include <QString>

class QPlainTextEdit;

namespace qn410 {

class FileChooser;
class Prompt;

class CVerifyReport : public QDialog {
    Q_OBJECT
  public:
    CVerifyReport(const QString& text, FileChooser& files, Prompt& prompt,
                  QWidget* parent = nullptr);

    QPlainTextEdit* view() const { return view_; }
    // Writes the report to path (LF line ends); false when it cannot be written.
    bool SaveTo(const QString& path) const;

  private:
    void Save();

    QString text_;
    FileChooser& files_;
    Prompt& prompt_;
    QPlainTextEdit* view_;
};

}  // namespace qn410
