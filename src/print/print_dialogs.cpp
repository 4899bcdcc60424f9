#include "print/print_dialogs.h"

#include <QFileDialog>
#include <QPageLayout>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>

namespace qn410 {

std::unique_ptr<QPrinter> QtPrintDialogs::ChoosePrinter(QWidget* parent) {
    auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    QPrintDialog dialog(printer.get(), parent);
    if (dialog.exec() != QDialog::Accepted) return nullptr;
    return printer;
}

std::optional<QString> QtPrintDialogs::ChoosePdfFile(QWidget* parent, const QString& suggested) {
    const QString path = QFileDialog::getSaveFileName(parent, QStringLiteral("Export PDF"),
                                                      suggested, QStringLiteral("PDF (*.pdf)"));
    if (path.isEmpty()) return std::nullopt;
    return path;
}

void QtPrintDialogs::Preview(QWidget* parent, std::function<void(QPrinter*)> paint) {
    QPrinter printer(QPrinter::HighResolution);
    QPrintPreviewDialog dialog(&printer, parent);
    QObject::connect(&dialog, &QPrintPreviewDialog::paintRequested, &dialog,
                     [&paint](QPrinter* p) { paint(p); });
    dialog.exec();
}

std::unique_ptr<QPrinter> MakePdfPrinter(const QString& path) {
    auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    printer->setOutputFormat(QPrinter::PdfFormat);
    printer->setOutputFileName(path);
    printer->setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                       QMarginsF(10, 10, 10, 10), QPageLayout::Millimeter));
    return printer;
}

}  // namespace qn410
