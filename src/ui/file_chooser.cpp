#include "ui/file_chooser.h"

#include <QFileDialog>

namespace qn410 {

namespace {
const QString kFilter = QStringLiteral("QN410 Data Files (*);;QN410 Text Files (*.txt)");

std::optional<QString> Chosen(const QString& path) {
    if (path.isEmpty()) return std::nullopt;
    return path;
}
}  // namespace

std::optional<QString> QtFileChooser::ChooseOpenFile(QWidget* parent) {
    // A typed name that does not exist is accepted: opening it creates a file of default data.
    QFileDialog dialog(parent, QString(), QString(), kFilter);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::ReadOnly, false);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    return Chosen(dialog.selectedFiles().first());
}

std::optional<QString> QtFileChooser::ChooseSaveFile(QWidget* parent, const QString& current) {
    return Chosen(QFileDialog::getSaveFileName(parent, QString(), current, kFilter));
}

}  // namespace qn410
