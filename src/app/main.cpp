// The QN410 maintenance tool.
#include <QApplication>

#include "app/app_paths.h"
#include "app/broker_link.h"
#include "app/editor_registry.h"
#include "app/link_dialogs.h"
#include "app/log_monitor.h"
#include "app/main_frame.h"
#include "app/printing.h"
#include "app/qn410_app.h"
#include "app/qn410_view.h"
#include "app/tools_menu.h"
#include "app/upload_download.h"
#include "ui/file_chooser.h"
#include "ui/folder_chooser.h"
#include "ui/open_problem_prompt.h"
#include "ui/qt_prompt.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("QN410"));
    QApplication::setOrganizationName(QStringLiteral("Local AppWizard-Generated Applications"));

    qn410::QtPrompt qtPrompt;
    qn410::OpenProblemPrompt prompt(qtPrompt);
    qn410::QtFileChooser files;
    qn410::ShellServices services;
    services.prompt = &prompt;
    services.files = &files;
    services.makeLink = [&prompt] { return std::make_unique<qn410::BrokerLink>(prompt); };
    services.lockDir = qn410::LockDir();
    services.appDir = QApplication::applicationDirPath();
    // As with any document program, a file named on the command line is opened.
    const QStringList args = QApplication::arguments();
    if (args.size() > 1) services.openFile = args.at(1);

    qn410::QN410App shell(std::move(services));
    if (!shell.Start()) return 0;
    qn410::RegisterEditors(*shell.frame());
    qn410::InstallUploadDownload(*shell.frame());
    qn410::InstallLinkDialogs(*shell.frame());
    qn410::InstallToolsMenu(*shell.frame(), files);
    qn410::QtFolderChooser folders;
    if (auto* link = dynamic_cast<qn410::BrokerLink*>(&shell.frame()->view().link()))
        new qn410::LogMonitor(*shell.frame(), *link, folders);  // owned by the frame
    // Declared after the shell: the printing thread stops (waiting for a print in hand) before
    // the main window is destroyed.
    qn410::QtPrintDialogs printDialogs;
    const auto printing = qn410::InstallPrinting(*shell.frame(), printDialogs);
    return app.exec();
}
