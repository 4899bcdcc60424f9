// Frames from the exchanges reach their window or thread by command letter.
#include <QtTest>
#include <cstring>
#include <memory>

#include "link/link_broker.h"
#include "link_recorder.h"
#include "support/recording_prompt.h"

using namespace qn410;
using namespace qn410::test;

namespace {

class FakeProgress : public TransferProgress {
  public:
    bool IsTransferProgressOpen() const override { return open; }
    void CloseAsCancelled() override {
        open = false;
        cancelled = true;
    }
    bool open = false;
    bool cancelled = false;
};

}  // namespace

class ReceiveDispatchTest : public QObject {
    Q_OBJECT

  private:
    std::unique_ptr<LogHistory> historyHolder;
    FixedClock clock{LocalTime{2026, 12, 6, 9, 8, 7, 0}};
    RecordingPrompt prompt;
    FakeProgress progress;
    std::unique_ptr<ReceiveDispatch> dispatch;
    std::unique_ptr<LinkRecorder> sheet, dial, logWindow, monitorWindow, saver;

    void Receive(const std::string& body) {
        auto item = std::make_unique<TransferRequest>();
        item->body = body;
        dispatch->Dispatch(std::move(item));
        QCoreApplication::processEvents();
    }
    size_t EverythingPosted() const {
        return sheet->events.size() + dial->events.size() + logWindow->events.size() +
               monitorWindow->events.size() + saver->events.size();
    }
    void OpenAll() {
        dispatch->SetTransferSheet(sheet.get());
        dispatch->SetDialEditor(dial.get());
        dispatch->SetLogWindow(logWindow.get());
        dispatch->SetMonitorWindow(monitorWindow.get());
        dispatch->SetLogSaver(saver.get());
        dispatch->SetProgress(&progress);
    }

  private slots:
    void init() {
        historyHolder = std::make_unique<LogHistory>();
        prompt = {};
        progress = {};
        dispatch = std::make_unique<ReceiveDispatch>(*historyHolder, clock, prompt);
        for (auto* w : {&sheet, &dial, &logWindow, &monitorWindow, &saver}) {
            *w = std::make_unique<LinkRecorder>();
        }
    }

    void settingRecordsGoToTheirOpenWindow() {
        OpenAll();
        Receive("A01xyz");
        Receive("U03");
        Receive("K01abc");
        QCOMPARE(sheet->Count(UM_LINK_RESULT), size_t{2});
        QCOMPARE(sheet->events[0].wParam, kResultReceived);
        QCOMPARE(sheet->events[0].body, std::string("A01xyz"));
        QCOMPARE(dial->Count(UM_LINK_RESULT), size_t{1});
        QCOMPARE(dial->events[0].body, std::string("K01abc"));
    }

    // Records for a closed window and letters nobody receives are released, posted nowhere.
    void recordsWithoutAReceiverAreReleased() {
        OpenAll();
        dispatch->SetTransferSheet(nullptr);
        dial.reset();  // closed without unregistering
        dial = std::make_unique<LinkRecorder>();
        for (const char* body :
             {"A01", "K01", "R01", "S01", "T01", "V01", "Z01", "s01", "a01", "@01", "\x01"})
            Receive(body);
        QCOMPARE(EverythingPosted(), size_t{0});
        QVERIFY(prompt.shown.empty());
    }

    void logRecordGoesToHistorySaverAndWindow() {
        OpenAll();
        const std::string body = "o02" + std::string(32, '4') + "beyond";
        Receive(body);
        const std::string line = "20261206090807" + body.substr(0, 35);
        QCOMPARE(historyHolder->Logs().size(), size_t{1});
        QCOMPARE(saver->Of(UM_LOG_RECORD).at(0).body, line);
        QCOMPARE(logWindow->Of(UM_LINK_RESULT).at(0).body, line);
        QCOMPARE(logWindow->Of(UM_LINK_RESULT).at(0).wParam, kResultReceived);
        dispatch->SetLogWindow(nullptr);
        Receive(body);
        QCOMPARE(historyHolder->Logs().size(), size_t{2});
        QCOMPARE(saver->events.size(), size_t{2});
        QCOMPARE(logWindow->events.size(), size_t{1});
    }

    void monitorRecordUpTo256DataBytes() {
        OpenAll();
        Receive("p05256" + std::string(256, 'm'));
        Receive("p05257" + std::string(257, 'm'));  // dropped whole
        Receive("p05010" + std::string(9, 'm'));    // shorter than announced: dropped
        QCOMPARE(historyHolder->Monitors().size(), size_t{1});
        const auto copies = saver->Of(UM_MONITOR_RECORD);
        QCOMPARE(copies.size(), size_t{1});
        QCOMPARE(copies[0].body.size(), sizeof(MonitorEntry));
        MonitorEntry entry;
        std::memcpy(&entry, copies[0].body.data(), sizeof entry);
        QCOMPARE(entry.dataLength, uint16_t{256});
        QCOMPARE(MonitorLineText(entry), "20261206090807p05256" + std::string(256, 'm'));
        QCOMPARE(monitorWindow->Count(UM_LINK_RESULT), size_t{1});
    }

    void busyExchangeCancelsTheTransferAndSaysSo() {
        OpenAll();
        progress.open = true;
        Receive("z030");
        QVERIFY(progress.cancelled);
        QCOMPARE(sheet->Count(UM_RCV_CANCEL_SHEET), size_t{1});
        QCOMPARE(dial->Count(UM_RCV_CANCEL_DIAL), size_t{1});
        QCOMPARE(prompt.texts(),
                 std::vector<std::string>{"Exchange No.  3\nNow receiving data so you can't send"});
        QCOMPARE(prompt.shown[0].icon, PromptIcon::Exclamation);
    }

    void statusWithoutATransferOnlyShowsItsMessage() {
        OpenAll();
        Receive("z120");
        Receive("z121");
        QVERIFY(!progress.cancelled);
        QCOMPARE(EverythingPosted(), size_t{0});
        QCOMPARE(prompt.texts(),
                 (std::vector<std::string>{"Exchange No. 12\nNow receiving data so you can't send",
                                           "Exchange No. 12\nCommunication Error"}));
    }
};

QTEST_GUILESS_MAIN(ReceiveDispatchTest)
#include "receive_dispatch_test.moc"
