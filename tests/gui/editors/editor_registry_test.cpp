// The editors behind the category buttons of the real main window, and the station number check
// that opens "Stations" after "Global Setting" when the numbers no longer fit.
#include "app/editor_registry.h"

#include <QPointer>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

#include "app/category_panel.h"
#include "app/main_frame.h"
#include "app/qn410_app.h"
#include "app/qn410_view.h"
#include "editor_test_host.h"
#include "editors/dlg_system.h"
#include "editors/page_master.h"
#include "editors/sheet_station.h"
#include "shell_fixture.h"
#include "transfer/station_check.h"

using namespace qn410;
using namespace qn410::test;

namespace {

// Acts on every modal dialog of type T that comes to the front, until destroyed.
template <typename T>
class ModalWatcher {
  public:
    explicit ModalWatcher(std::function<void(T*)> action) : action_(std::move(action)) {
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            auto* dialog = qobject_cast<T*>(QApplication::activeModalWidget());
            if (!dialog || dialog == last_) return;
            last_ = dialog;
            ++seen;
            action_(dialog);
        });
        timer_.start(10);
    }
    int seen = 0;

  private:
    std::function<void(T*)> action_;
    QTimer timer_;
    QPointer<T> last_;  // a later dialog may take the address of one that has gone
};

}  // namespace

class EditorRegistryTest : public QObject {
    Q_OBJECT

  private:
    std::unique_ptr<RecordingShell> shell_;

    CQN410View& view() { return shell_->app->frame()->view(); }
    QPushButton* Button(Category c) { return view().panel().button(c); }

  private slots:
    void init() {
        shell_ = std::make_unique<RecordingShell>();
        QVERIFY(shell_->app->Start());
        RegisterEditors(*shell_->app->frame());
    }
    void cleanup() { shell_.reset(); }

    void stationsOpenWhenTheNumbersNoLongerFit() {
        // Three digits: the default two-digit station numbers are wrong now.
        ModalWatcher<CDlgSystem> global([](CDlgSystem* d) {
            ChooseFromList(d->digitsList(), "3");
            TypeIntoCell(d->grid(), 0, 1, "100");
            d->OverwriteButton()->click();
            d->CloseButton()->click();
        });
        // The sheet says why, with the check's own text, on the station's number cell.
        bool onTheStation = false;
        ModalWatcher<CSheetStation> stations([&onTheStation](CSheetStation* s) {
            QCoreApplication::processEvents();
            onTheStation = s->masterPage()->grid()->CurrentCell() ==
                           GridCell{s->masterPage()->RowOf(1, 1), master_col::kStation};
            s->CloseButton()->click();
        });
        Button(Category::GlobalSetting)->click();
        QCOMPARE(global.seen, 1);
        QCOMPARE(view().document().data().System.NumberSize, 3);
        QVERIFY(view().document().modified);
        QCOMPARE(stations.seen, 1);
        QCOMPARE(shell_->prompt.texts(), std::vector<std::string>{StationCheckMessage(
                                             CheckStationNumbers(view().document().data()))});
        QVERIFY(onTheStation);
    }

    // The same check follows "Upload/Download" (here a stand-in that downloads a duplicate).
    void stationsOpenAfterADownloadWithDuplicates() {
        view().SetCategoryHandler(Category::UploadDownload, [this] {
            SettingData& d = view().document().data();
            d.Exchange[0].Sub[5].Number = d.Exchange[0].Sub[4].Number;
        });
        ModalWatcher<CSheetStation> stations([](CSheetStation* s) { s->CloseButton()->click(); });
        Button(Category::UploadDownload)->click();
        QCOMPARE(stations.seen, 1);
    }
};

QTEST_MAIN(EditorRegistryTest)
#include "editor_registry_test.moc"
