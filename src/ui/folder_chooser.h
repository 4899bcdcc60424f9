// The folder browser of the log and monitor windows ("Select Folder"), behind a seam so that
// tests choose the folder.
#pragma once

#include <QString>
#include <optional>

class QWidget;

namespace qn410 {

class FolderChooser {
  public:
    virtual ~FolderChooser() = default;
    // The chosen folder, or nothing when the user cancelled.
    virtual std::optional<QString> ChooseFolder(QWidget* parent, const QString& title) = 0;
};

class QtFolderChooser : public FolderChooser {
  public:
    std::optional<QString> ChooseFolder(QWidget* parent, const QString& title) override;
};

}  // namespace qn410
