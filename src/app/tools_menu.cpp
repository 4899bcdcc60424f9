#include "app/tools_menu.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QTabWidget>
#include <memory>

#include "app/main_frame.h"
#include "app/qn410_view.h"
#include "app/verify_report.h"
#include "link/line_trace.h"
#include "transfer/setting_verify.h"
#include "transfer/sheet_comm.h"
#include "ui/ansi_text.h"
#include "ui/file_chooser.h"
#include "ui/transfer_progress.h"

namespace qn410 {

QString VerifyReportText(const std::vector<FieldDifference>& differences, const QString& fileName) {
    const QString name =
        fileName.isEmpty() ? QStringLiteral("the setting data in the tool") : fileName;
    QString text = differences.empty()
                       ? QStringLiteral("The exchanges hold the setting data of %1.\n").arg(name)
                       : QStringLiteral("%1 %2 between the exchanges and %3:\n\n")
                             .arg(differences.size())
                             .arg(differences.size() == 1 ? QStringLiteral("field differs")
                                                          : QStringLiteral("fields differ"))
                             .arg(name);
    text += AnsiToQString(FormatDifferences(differences));
    text += QLatin1Char('\n') + QString::fromLatin1(kNotComparedNote) + QLatin1Char('\n');
    return text;
}

namespace {

// The Upload/Download sheet on its download page, working on a copy of the document.
void VerifyWithExchanges(CMainFrame& frame, FileChooser& files,
                         const std::function<void(CSheetComm&)>& prepare) {
    CQN410View& view = frame.view();
    ViewLink& link = view.link();
    SettingDocument copy;
    copy.data() = view.document().data();
    auto sheet = std::make_unique<CSheetComm>(
        copy, frame.editorHost(), view.prompt(),
        [&link](QObject* sheet) { link.SetTransferSheet(sheet); }, g_transferCancelled,
        view.window());
    sheet->setWindowTitle(QStringLiteral("Verify with exchanges"));
    sheet->tabs()->setTabVisible(CSheetComm::kUploadPage, false);
    sheet->tabs()->setCurrentIndex(CSheetComm::kDownloadPage);
    std::optional<int> downloaded;
    QObject::connect(sheet.get(), &CSheetComm::transferFinished, sheet.get(),
                     [&](TransferOutcome outcome) {
                         if (outcome == TransferOutcome::Downloaded)
                             downloaded = sheet->session().exchange();
                     });
    if (prepare) prepare(*sheet);
    sheet->exec();
    sheet.reset();
    if (!downloaded) return;
    const auto differences = VerifyDownload(view.document().data(), copy.data(), *downloaded);
    CVerifyReport report(
        VerifyReportText(differences, QString::fromStdString(view.document().fileName)), files,
        view.prompt(), view.window());
    report.exec();
}

void ToggleLinkTrace(CMainFrame& frame, FileChooser& files, QAction& action, bool on) {
    if (!on) {
        SetLineTrace(nullptr);
        return;
    }
    const auto path = files.ChooseSaveFile(&frame, QStringLiteral("qn410-trace.txt"));
    std::shared_ptr<LineTrace> trace = path ? LineTrace::ToFile(path->toStdString()) : nullptr;
    if (!trace) {
        if (path)
            frame.view().prompt().Tell("The trace file could not be created.",
                                       PromptIcon::Exclamation);
        const QSignalBlocker quiet(&action);
        action.setChecked(false);
        return;
    }
    SetLineTrace(std::move(trace));
}

}  // namespace

void InstallToolsMenu(CMainFrame& frame, FileChooser& files,
                      std::function<void(CSheetComm&)> prepare) {
    auto* tools = new QMenu(QStringLiteral("&Tools"), &frame);
    tools->setObjectName(QStringLiteral("toolsMenu"));
    tools->addAction(QStringLiteral("&Verify with exchanges..."), &frame,
                     [&frame, &files, prepare] { VerifyWithExchanges(frame, files, prepare); });
    QAction* trace = tools->addAction(QStringLiteral("&Link trace..."));
    trace->setCheckable(true);
    QObject::connect(trace, &QAction::toggled, &frame, [&frame, &files, trace](bool on) {
        ToggleLinkTrace(frame, files, *trace, on);
    });
    // Before "Help", as desktop programs order their menus.
    const QList<QAction*> menus = frame.menuBar()->actions();
    frame.menuBar()->insertMenu(menus.isEmpty() ? nullptr : menus.last(), tools);
}

}  // namespace qn410
