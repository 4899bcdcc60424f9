// The Upload/Download sheet through its widgets, with the link played by the test: texts and
// the exchange selection, the checks before a transfer, link results and the one-second timer.
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QToolButton>
#include <QtTest>

#include "link/link_event.h"
#include "support/passing_numbers.h"
#include "support/recording_poster.h"
#include "support/recording_prompt.h"
#include "transfer/page_comm.h"
#include "transfer/record_codec.h"
#include "transfer/sheet_comm.h"
#include "transfer/station_check.h"
#include "transfer/upload_plan.h"

using namespace qn410;
using namespace qn410::test;

namespace {

std::atomic<int> cancelFlag{0};

struct Sheet {
    explicit Sheet(int switchCnt = 3) {
        doc.data().System.SwitchCnt = static_cast<uint8_t>(switchCnt);
        MakeStationNumbersPass(doc.data());
        sheet = std::make_unique<CSheetComm>(
            doc, poster, prompt, [this](QObject* s) { registered.push_back(s); }, cancelFlag);
        sheet->SetConfirmations([this](QWidget*) { return ++transmitAsked, confirm; },
                                [this](QWidget*) { return ++receiveAsked, confirm; });
        sheet->show();
    }
    // The link answers the oldest request not yet answered with code.
    void Answer(uint32_t code) {
        int seen = 0;
        for (auto& p : poster.posted) {
            if (!p.isRequest || seen++ < answered) continue;
            ++answered;
            auto copy = std::make_unique<TransferRequest>(*p.request);
            QCoreApplication::postEvent(sheet.get(),
                                        new LinkEvent(UM_LINK_RESULT, code, std::move(copy)));
            break;
        }
        QCoreApplication::processEvents();
    }
    std::vector<std::string> Requests() const {
        std::vector<std::string> out;
        for (const auto& p : poster.posted)
            if (p.isRequest)
                out.push_back((p.wParam == kLinkAbandon ? "abandon " : "") + p.request->body);
        return out;
    }
    int Posted(AppMessage message) const {
        return static_cast<int>(std::count_if(
            poster.posted.begin(), poster.posted.end(),
            [&](const auto& p) { return !p.isRequest && p.progress.message == message; }));
    }

    SettingDocument doc;
    RecordingPoster poster;
    RecordingPrompt prompt;
    std::vector<QObject*> registered;
    bool confirm = true;
    int answered = 0;
    int transmitAsked = 0;
    int receiveAsked = 0;
    std::unique_ptr<CSheetComm> sheet;
};

}  // namespace

class TestSheetComm : public QObject {
    Q_OBJECT

  private slots:
    void init() { cancelFlag = 0; }

    void opensWithAllSelected() {
        Sheet s(3);
        CSheetComm& sheet = *s.sheet;
        QVERIFY(sheet.startButton()->isDefault());
        for (CPageComm* page : {static_cast<CPageComm*>(sheet.uploadPage()),
                                static_cast<CPageComm*>(sheet.downloadPage())}) {
            QCOMPARE(page->numberLabel()->text(), QStringLiteral("Exchange No. (1-3):"));
            QVERIFY(page->allButton()->isChecked());
            QVERIFY(!page->numberEdit()->isEnabled() && !page->spin()->isEnabled());
        }
        sheet.tabs()->setCurrentIndex(1);
        QCOMPARE(sheet.startButton()->text(), QStringLiteral("Start Dwnload"));
        sheet.tabs()->setCurrentIndex(0);
        QCOMPARE(sheet.startButton()->text(), QStringLiteral("Start Upload"));
        QCOMPARE(s.registered, (std::vector<QObject*>{&sheet}));  // the exchanges' records
        QTest::keyClick(&sheet, Qt::Key_Escape);
        QVERIFY(sheet.isVisible());
        sheet.exitButton()->click();
        QVERIFY(!sheet.isVisible());
        QCOMPARE(s.registered, (std::vector<QObject*>{&sheet, nullptr}));
    }

    void zoneTablesAreRebuiltOnOpening() {
        SettingDocument doc;
        doc.data().Zones.Sub[0][0].Cell[0] = 7;  // stale
        auto expected = std::make_unique<SettingData>(doc.data());
        RebuildZoneTables(*expected);
        QVERIFY(!(doc.data().Zones == expected->Zones));
        RecordingPoster poster;
        RecordingPrompt prompt;
        CSheetComm sheet(doc, poster, prompt, nullptr, cancelFlag);
        QVERIFY(doc.data().Zones == expected->Zones);
    }

    void singleEnablesTheNumberAndTheSpinStepsWithinTheRange() {
        Sheet s(3);
        CPageComm& page = *s.sheet->uploadPage();
        page.singleButton()->click();
        QVERIFY(page.numberEdit()->isEnabled() && page.spin()->isEnabled());
        page.spin()->upButton()->click();
        QCOMPARE(page.numberEdit()->text(), QStringLiteral("1"));
        for (int i = 0; i < 4; ++i) page.spin()->upButton()->click();
        QCOMPARE(page.numberEdit()->text(), QStringLiteral("3"));
        page.spin()->downButton()->click();
        QCOMPARE(page.numberEdit()->text(), QStringLiteral("2"));
        page.allButton()->click();
        QVERIFY(!page.numberEdit()->isEnabled());
    }

    void badExchangeNumberIsRefusedWithTheFocusOnIt() {
        for (const char* typed : {"0", "17", "", "x"}) {
            Sheet s(16);
            s.sheet->tabs()->setCurrentIndex(std::string(typed) == "x" ? 1 : 0);
            CPageComm& page = s.sheet->tabs()->currentIndex() == 0
                                  ? static_cast<CPageComm&>(*s.sheet->uploadPage())
                                  : *s.sheet->downloadPage();
            page.singleButton()->click();
            page.numberEdit()->setText(QString::fromLatin1(typed));
            s.sheet->startButton()->setFocus();
            s.sheet->startButton()->click();
            QCOMPARE(s.prompt.texts(), std::vector<std::string>{"Incorrect exchange No."});
            QCOMPARE(s.prompt.shown[0].icon, PromptIcon::Question);
            QCOMPARE(s.transmitAsked + s.receiveAsked, 0);
            QVERIFY(s.poster.posted.empty());
            QCOMPARE(s.sheet->focusWidget(), page.numberEdit());
            QCOMPARE(page.numberEdit()->selectedText(), QString::fromLatin1(typed));
        }
    }

    void enterInTheNumberFieldDoesNotStart() {
        Sheet s(3);
        s.sheet->uploadPage()->singleButton()->click();
        s.sheet->uploadPage()->numberEdit()->setFocus();
        QTest::keyClick(s.sheet->uploadPage()->numberEdit(), Qt::Key_Return);
        QCOMPARE(s.transmitAsked, 0);
        QVERIFY(s.prompt.shown.empty());
    }

    void failedStationCheckClosesTheSheetWithoutAsking() {
        Sheet s(1);
        ExchangeSetting& ex = s.doc.data().Exchange[0];
        ex.Sub[1].Number = ex.Sub[0].Number;  // two substations with one number
        std::memcpy(ex.Sub[1].Number.Text, ex.Sub[0].Number.Text, sizeof ex.Sub[0].Number.Text);
        QVERIFY(!CheckStationNumbers(s.doc.data()).ok());
        s.sheet->startButton()->click();
        QCOMPARE(s.sheet->result(), int(QDialog::Rejected));
        QVERIFY(!s.sheet->isVisible());
        QCOMPARE(s.transmitAsked, 0);
        QVERIFY(s.poster.posted.empty());
    }

    void declinedConfirmationStartsNothing() {
        Sheet s(1);
        s.confirm = false;
        s.sheet->startButton()->click();
        s.sheet->tabs()->setCurrentIndex(1);
        s.sheet->startButton()->click();
        QCOMPARE(s.transmitAsked, 1);
        QCOMPARE(s.receiveAsked, 1);
        QVERIFY(s.poster.posted.empty());
    }

    void uploadOfOneExchangeSendsOneRecordPerConfirmation() {
        Sheet s(3);
        CPageComm& page = *s.sheet->uploadPage();
        page.singleButton()->click();
        page.numberEdit()->setText(QStringLiteral("2"));
        cancelFlag = 1;  // left over from an earlier transfer: Start clears it
        s.sheet->startButton()->click();
        const int steps = UploadStepCount(3, 2);
        QCOMPARE(steps, 154);
        for (int i = 0; i < steps; ++i) {
            QCOMPARE(static_cast<int>(s.Requests().size()), i + 1);  // one at a time
            s.Answer(kResultDone);
        }
        const auto requests = s.Requests();
        QCOMPARE(requests.front().substr(0, 3), std::string("A00"));
        QCOMPARE(requests[12].substr(0, 3), std::string("B03"));  // masters of every exchange
        QCOMPARE(requests[13].substr(0, 3), std::string("C02"));
        QCOMPARE(requests.back(), std::string(""));  // the closing release
        QCOMPARE(s.Posted(UM_PROGRESS_ADVANCE), steps);
        QCOMPARE(s.Posted(UM_PROGRESS_CLOSE), 1);
        QCOMPARE(s.sheet->session().outcome(), TransferOutcome::Uploaded);
        QVERIFY(s.prompt.shown.empty());
        QVERIFY(s.sheet->isVisible());  // another transfer may follow
    }

    void silenceTimesOutAndCancelAbandonsAtTheNextTick() {
        {
            Sheet s(1);
            s.sheet->SetTimeout(3, 5);
            s.sheet->startButton()->click();
            QTRY_COMPARE(s.prompt.texts(), std::vector<std::string>{"Failed to transmit"});
            QCOMPARE(s.Requests().back(), std::string("abandon "));
        }
        {
            Sheet s(1);
            s.sheet->SetTimeout(3, 5);
            s.sheet->tabs()->setCurrentIndex(1);
            s.sheet->startButton()->click();
            s.Answer(kResultDone);
            QTRY_COMPARE(s.prompt.texts(), std::vector<std::string>{"Communications time-out"});
        }
        {
            Sheet s(1);
            s.sheet->SetTimeout(1000, 5);
            s.sheet->startButton()->click();
            cancelFlag = 1;  // the progress display's Cancel
            QTRY_COMPARE(s.Requests().back(), std::string("abandon "));
            QVERIFY(s.prompt.shown.empty());
            s.Answer(kResultReset);
            QCOMPARE(s.sheet->session().outcome(), TransferOutcome::Cancelled);
        }
    }

    void exchangeInterruptionStopsTheTimer() {
        Sheet s(1);
        s.sheet->SetTimeout(3, 5);
        s.sheet->tabs()->setCurrentIndex(1);
        s.sheet->startButton()->click();
        s.Answer(kResultDone);
        QCoreApplication::postEvent(s.sheet.get(), new LinkEvent(UM_RCV_CANCEL_SHEET, 0));
        QCoreApplication::processEvents();
        QTest::qWait(50);  // ten ticks' time: no time-out follows
        QVERIFY(s.prompt.shown.empty());
    }
};

QTEST_MAIN(TestSheetComm)
#include "tst_sheet_comm.moc"
