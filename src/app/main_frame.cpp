#include "app/main_frame.h"

#include <QAction>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMenuBar>
#include <QScreen>

#include "app/about_dialog.h"
#include "app/qn410_view.h"
#include "ui/qt_prompt.h"

namespace qn410 {

CMainFrame::CMainFrame(std::unique_ptr<CQN410View> view, FileChooser& files, QWidget* parent)
    : QMainWindow(parent, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                              Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint),
      view_(view.release()),
      doc_(*view_, files, recent_),
      host_(*view_, doc_) {
    setObjectName(QStringLiteral("mainFrame"));
    setCentralWidget(view_);
    resize(640, 520);
    move(20, 20);
    BuildMenu();
    connect(view_, &CQN410View::documentChanged, this, &CMainFrame::UpdateTitle);
    connect(view_, &CQN410View::modifiedChanged, this, &CMainFrame::UpdateTitle);
    connect(view_, &CQN410View::documentChanged, this, &CMainFrame::RebuildRecentMenu);
    connect(view_, &CQN410View::exitRequested, this, &QWidget::close);
    UpdateTitle();
    view_->link().Attach(*this);
}

CMainFrame::~CMainFrame() = default;

void CMainFrame::FitToView() {
    adjustSize();
    setFixedSize(sizeHint());
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

void CMainFrame::BuildMenu() {
    QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
    file->addAction(QStringLiteral("&New..."), QKeySequence(Qt::CTRL | Qt::Key_N), this,
                    [this] { doc_.New(); });
    file->addAction(QStringLiteral("&Open..."), QKeySequence(Qt::CTRL | Qt::Key_O), this,
                    [this] { doc_.Open(); });
    file->addAction(QStringLiteral("&Save"), QKeySequence(Qt::CTRL | Qt::Key_S), this,
                    [this] { doc_.Save(); });
    file->addAction(QStringLiteral("Save &As..."), this, [this] { doc_.SaveAs(); });
    file->addSeparator();
    file->addAction(QStringLiteral("&Print"), QKeySequence(Qt::CTRL | Qt::Key_P), this,
                    [this] { doc_.Print(); });
    // The recent files are listed between these two separators, "&1 path" first.
    file->addSeparator();
    recentEnd_ = file->addSeparator();
    recentEnd_->setVisible(false);
    file->addAction(QStringLiteral("E&xit"), this, &QWidget::close);
    fileMenu_ = file;
    QMenu* help = menuBar()->addMenu(QStringLiteral("&Help"));
    help->addAction(QStringLiteral("&About..."), this, [this] {
        CAboutDlg about(this);
        about.exec();
    });
    RebuildRecentMenu();
}

void CMainFrame::RebuildRecentMenu() {
    qDeleteAll(recentActions_);
    recentActions_.clear();
    const QStringList& files = recent_.files();
    for (int i = 0; i < files.size(); ++i) {
        const QString path = files[i];
        auto* action = new QAction(QStringLiteral("&%1 %2").arg(i + 1).arg(path), fileMenu_);
        connect(action, &QAction::triggered, this, [this, path] { doc_.OpenRecent(path); });
        fileMenu_->insertAction(recentEnd_, action);
        recentActions_.append(action);
    }
    recentEnd_->setVisible(!files.isEmpty());
}

void CMainFrame::UpdateTitle() {
    const std::string& name = view_->document().fileName;
    const QString shown = name.empty() ? QStringLiteral("Untitled")
                                       : QFileInfo(QString::fromStdString(name)).fileName();
    // "[*]" shows as "*" while the data hold unsaved changes.
    setWindowTitle(shown + QStringLiteral("[*] - ") + QString::fromLatin1(kApplicationTitle));
    setWindowModified(view_->document().modified);
}

}  // namespace qn410
