// The program as main() builds it (real broker, transfer manager and serial channel) with its
// link on QN410_COM1, the Upload/Download sheet driven from its button.
#pragma once

#include <QtTest>
#include <QtWidgets>

#include "app/broker_link.h"
#include "app/main_frame.h"
#include "app/qn410_view.h"
#include "app/upload_download.h"
#include "link/link_event.h"
#include "shell_fixture.h"
#include "support/passing_numbers.h"
#include "support/random_recordable.h"
#include "support/sim_process.h"
#include "transfer/page_comm.h"
#include "transfer/sheet_comm.h"

namespace qn410::test {

// Random data in the form the records carry, with station numbers that pass the check.
inline void Recordable(SettingData& d, uint32_t seed, uint8_t exchanges) {
    FillRandomRecordable(d, seed);
    d.System.SwitchCnt = exchanges;
    MakeStationNumbersPass(d);
}

// The first field the records carry in which a and b differ; empty when none.
inline QString Diff(const SettingData& a, const SettingData& b) {
    return QString::fromStdString(FirstRecordDifference(a, b).value_or(""));
}

using SheetAct = std::function<void(CSheetComm&)>;

struct Program : RecordingShell {
    explicit Program(const QString& port) {
        qputenv("QN410_COM1", port.toLocal8Bit());
        app = MakeApp(folder.path(), [this] { return std::make_unique<BrokerLink>(prompt); });
        started = app->Start();
        if (started) InstallUploadDownload(*app->frame(), [this](CSheetComm& s) { Prepare(s); });
    }
    CQN410View& view() { return app->frame()->view(); }
    SettingData& data() { return view().document().data(); }

    // Opens the sheet, runs during, starts a transfer on page (0 up, 1 down) of exchange (0: all)
    // and closes the sheet when it has finished (unless then starts another): the last outcome.
    TransferOutcome Transfer(
        int page, int exchange, SheetAct during = [](CSheetComm&) {}) {
        run = [=](CSheetComm& sheet) {
            during(sheet);
            Start(sheet, page, exchange);
        };
        outcomes.clear();
        view().panel().button(Category::UploadDownload)->click();  // returns when it closes
        (void)QTest::qWaitFor([this] { return !view().progress().dialog(); }, 3000);
        return outcomes.empty() ? TransferOutcome::Running : outcomes.back();
    }
    static void Start(CSheetComm& sheet, int page, int exchange) {
        sheet.tabs()->setCurrentIndex(page);
        CPageComm& p = page ? static_cast<CPageComm&>(*sheet.downloadPage()) : *sheet.uploadPage();
        (exchange ? p.singleButton() : p.allButton())->click();
        p.numberEdit()->setText(QString::number(exchange));
        sheet.startButton()->click();
    }
    void Prepare(CSheetComm& sheet) {
        sheet.SetTimeout(100, 100);  // a Cancel acts at the next tick: 0.1 s, not 1 s
        sheet.SetConfirmations([](QWidget*) { return true; }, [](QWidget*) { return true; });
        QObject::connect(&sheet, &CSheetComm::transferFinished, &sheet, [this, &sheet](auto o) {
            outcomes.push_back(o);
            QTimer::singleShot(0, &sheet, [this, &sheet] {
                if (then) return std::exchange(then, {})(sheet);
                sheet.exitButton()->click();
            });
        });
        QTimer::singleShot(60000, &sheet, [&sheet] { sheet.exitButton()->click(); });
        QTimer::singleShot(0, &sheet, [this, &sheet] { run(sheet); });
    }

    bool started = false;
    std::vector<TransferOutcome> outcomes;
    SheetAct run, then;  // then: run once after the next outcome
};

// Runs act at the n-th link event reaching the sheet (and goes with the sheet); act returns true
// when it keeps the event.
struct AtEvent : QObject {
    using Act = std::function<bool(CSheetComm&, LinkEvent&)>;
    AtEvent(CSheetComm& sheet, int n, Act act) : QObject(&sheet), n(n), act(std::move(act)) {
        sheet.installEventFilter(this);
    }
    bool eventFilter(QObject* sheet, QEvent* e) override {
        auto* link = dynamic_cast<LinkEvent*>(e);
        return link && ++seen == n && act(*static_cast<CSheetComm*>(sheet), *link);
    }
    int n, seen = 0;
    Act act;
};

}  // namespace qn410::test
