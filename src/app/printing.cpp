#include "app/printing.h"

#include <QMenuBar>

#include "app/main_frame.h"
#include "app/qn410_view.h"
#include "print/dlg_printout.h"

namespace qn410 {

namespace {
const PrintJob kAllCategories{kPrintAll, 0, {}};

// Print Preview and Export PDF go right below Print in the File menu.
void AddFileMenuItems(CMainFrame& frame, PrintService& service) {
    for (QAction* menu : frame.menuBar()->actions()) {
        if (!menu->menu()) continue;
        const QList<QAction*> items = menu->menu()->actions();
        for (int i = 0; i < items.size(); ++i) {
            if (items[i]->text() != QStringLiteral("&Print")) continue;
            QAction* before = i + 1 < items.size() ? items[i + 1] : nullptr;
            auto* preview = new QAction(QStringLiteral("Print Pre&view..."), menu->menu());
            auto* pdf = new QAction(QStringLiteral("&Export PDF..."), menu->menu());
            QObject::connect(preview, &QAction::triggered, &frame,
                             [&service] { service.Preview(kAllCategories); });
            QObject::connect(pdf, &QAction::triggered, &frame,
                             [&service] { service.ExportPdf(kAllCategories); });
            menu->menu()->insertActions(before, {preview, pdf});
            return;
        }
    }
}
}  // namespace

std::unique_ptr<PrintService> InstallPrinting(CMainFrame& frame, PrintDialogs& dialogs) {
    CQN410View& view = frame.view();
    auto service = std::make_unique<PrintService>(&view, view.document(), dialogs);
    PrintService* s = service.get();
    frame.editorHost().SetPrintHandler([s](PrintJob job) { s->Print(job); });
    // File Print: every category of every exchange in use.
    frame.doc().SetPrintHandler([s] { s->Print(kAllCategories); });
    view.SetCategoryHandler(Category::Printout, [s, &frame, &view] {
        CDlgPrintout dialog(view.document().data().System.SwitchCnt, view.prompt(), &frame);
        if (dialog.exec() == QDialog::Accepted)
            s->Print(PrintJob{kPrintAll, static_cast<uint8_t>(dialog.exchange()), {}});
    });
    AddFileMenuItems(frame, *s);
    return service;
}

}  // namespace qn410
