// The user-interface side of printing: a job from a window becomes a request with its own
// copy of the data; the printer is chosen here, and the printing thread prints. Preview paints
// the same layouts here, on the preview's printer; "Export PDF..." prints through the thread
// into a file.
#pragma once

#include <memory>

#include "editors/editor_host.h"
#include "print/print_dialogs.h"
#include "print/th_print_out.h"

class QWidget;

namespace qn410 {

class PrintService {
  public:
    // view: the progress messages' receiver and the dialogs' parent; doc: the data printed.
    // The service takes the jobs of PostPrintJob while it lives.
    PrintService(QWidget* view, SettingDocument& doc, PrintDialogs& dialogs);
    ~PrintService();  // stops the printing thread, waiting for a print in hand

    // Asks for the printer and hands the job to the thread. While a print runs the job is
    // dropped without asking.
    void Print(const PrintJob& job);
    void Preview(const PrintJob& job);
    void ExportPdf(const PrintJob& job);

    CTHPrintOut& thread() { return thread_; }

  private:
    QWidget* view_;
    SettingDocument& doc_;
    PrintDialogs& dialogs_;
    CTHPrintOut thread_;
};

}  // namespace qn410
