// The open and save file dialogs of the document commands, behind a seam so that tests choose
// the files. Both offer "QN410 Data Files (*)" and "QN410 Text Files (*.txt)".
#pragma once

#include <QString>
#include <optional>

class QWidget;

namespace qn410 {

class FileChooser {
  public:
    virtual ~FileChooser() = default;
    // The chosen path, or nothing when the user cancelled.
    virtual std::optional<QString> ChooseOpenFile(QWidget* parent) = 0;
    virtual std::optional<QString> ChooseSaveFile(QWidget* parent, const QString& current) = 0;
};

class QtFileChooser : public FileChooser {
  public:
    std::optional<QString> ChooseOpenFile(QWidget* parent) override;
    std::optional<QString> ChooseSaveFile(QWidget* parent, const QString& current) override;
};

}  // namespace qn410
