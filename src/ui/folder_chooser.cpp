#include "ui/folder_chooser.h"

#include <QFileDialog>

namespace qn410 {

std::optional<QString> QtFolderChooser::ChooseFolder(QWidget* parent, const QString& title) {
    const QString folder = QFileDialog::getExistingDirectory(parent, title);
    if (folder.isEmpty()) return std::nullopt;
    return folder;
}

}  // namespace qn410
