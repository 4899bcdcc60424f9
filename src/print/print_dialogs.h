// The dialogs of printing, behind one seam so that tests can answer them: the printer
// selection, the PDF file name and the print preview.
#pragma once

#include <QString>
#include <functional>
#include <memory>
#include <optional>

class QPrinter;
class QWidget;

namespace qn410 {

class PrintDialogs {
  public:
    virtual ~PrintDialogs() = default;
    // The printer's defaults shown in the print dialog; nullptr when cancelled.
    virtual std::unique_ptr<QPrinter> ChoosePrinter(QWidget* parent) = 0;
    // The save dialog for "Export PDF..."; nothing when cancelled.
    virtual std::optional<QString> ChoosePdfFile(QWidget* parent, const QString& suggested) = 0;
    // Shows the preview; paint draws the pages on the printer it is given.
    virtual void Preview(QWidget* parent, std::function<void(QPrinter*)> paint) = 0;
};

class QtPrintDialogs : public PrintDialogs {
  public:
    std::unique_ptr<QPrinter> ChoosePrinter(QWidget* parent) override;
    std::optional<QString> ChoosePdfFile(QWidget* parent, const QString& suggested) override;
    void Preview(QWidget* parent, std::function<void(QPrinter*)> paint) override;
};

// A printer writing a PDF file (A4, 10 mm margins), for "Export PDF..." and tests.
std::unique_ptr<QPrinter> MakePdfPrinter(const QString& path);

}  // namespace qn410
