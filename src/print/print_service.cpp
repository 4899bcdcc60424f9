#include "print/print_service.h"

#include <QFileInfo>
#include <QPrinter>
#include <QWidget>

#include "print/printout.h"

namespace qn410 {

PrintService::PrintService(QWidget* view, SettingDocument& doc, PrintDialogs& dialogs)
    : view_(view), doc_(doc), dialogs_(dialogs), thread_(view) {
    thread_.Start();
    SetPrintJobHandler([this](PrintJob job) { Print(job); });
}

PrintService::~PrintService() {
    SetPrintJobHandler(nullptr);
    thread_.Stop();
}

void PrintService::Print(const PrintJob& job) {
    if (g_printing) return;
    std::unique_ptr<QPrinter> printer = dialogs_.ChoosePrinter(view_->window());
    if (!printer) return;
    thread_.Post(MakePrintRequest(job, doc_), std::move(printer));
}

void PrintService::Preview(const PrintJob& job) {
    std::unique_ptr<PrintRequest> request = MakePrintRequest(job, doc_);
    request->date = PrintDate();
    dialogs_.Preview(view_->window(),
                     [&request](QPrinter* printer) { PaintPrintout(*printer, *request); });
}

void PrintService::ExportPdf(const PrintJob& job) {
    if (g_printing) return;
    // Next to the setting file, under its name.
    const QFileInfo setting(QString::fromLocal8Bit(doc_.fileName));
    const QString suggested = doc_.fileName.empty()
                                  ? QStringLiteral("qn410.pdf")
                                  : setting.absolutePath() + QLatin1Char('/') +
                                        setting.completeBaseName() + QStringLiteral(".pdf");
    const std::optional<QString> path = dialogs_.ChoosePdfFile(view_->window(), suggested);
    if (!path) return;
    thread_.Post(MakePrintRequest(job, doc_), MakePdfPrinter(*path));
}

}  // namespace qn410
