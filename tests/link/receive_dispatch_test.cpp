// Frames from the exchanges reach their window or thread by command letter; malformed ones and
// those nobody receives are released unposted. The windows' own tests take it end to end.
#include <QtTest>
#include <cstring>

#include "link/link_broker.h"
#include "link_recorder.h"
#include "support/recording_prompt.h"

using namespace qn410;
using namespace qn410::test;

class ReceiveDispatchTest : public QObject, public TransferProgress {
    Q_OBJECT

  public:
    bool IsTransferProgressOpen() const override { return progressOpen; }
    void CloseAsCancelled() override { progressOpen = false, ++cancelled; }

  private:
    LogHistory history;
    FixedClock clock{LocalTime{2026, 12, 6, 9, 8, 7, 0}};
    RecordingPrompt prompt;
    bool progressOpen = false;
    int cancelled = 0;
    LinkRecorder sheet, dial, logWindow, monitorWindow, saver;
    ReceiveDispatch dispatch{history, clock, prompt};

    void Receive(const std::string& body) {
        dispatch.Dispatch(std::make_unique<TransferRequest>(TransferRequest{.body = body}));
        QCoreApplication::processEvents();
    }

  private slots:
    void initTestCase() {
        dispatch.SetTransferSheet(&sheet);
        dispatch.SetDialEditor(&dial);
        dispatch.SetLogWindow(&logWindow);
        dispatch.SetMonitorWindow(&monitorWindow);
        dispatch.SetLogSaver(&saver);
        dispatch.SetProgress(this);
    }

    void byLetterToTheirReceiversOnly() {
        for (const char* body : {"A01xyz", "U03", "K01abc", "R01", "S01", "T01", "V01", "Z01",
                                 "s01", "a01", "@01", "\x01", "o02short",
                                 "p05010"
                                 "mmmmmmmmm",
                                 "p05257"
                                 "mmmm"})  // the last three shorter than their records
            Receive(body);
        QCOMPARE(sheet.Count(UM_LINK_RESULT), size_t{2});
        QCOMPARE(sheet.events[1].body, std::string("U03"));
        QCOMPARE(sheet.events[1].wParam, kResultReceived);
        QCOMPARE(dial.Of(UM_LINK_RESULT).at(0).body, std::string("K01abc"));
        QCOMPARE(logWindow.events.size() + monitorWindow.events.size() + saver.events.size(),
                 size_t{0});
        dispatch.SetTransferSheet(nullptr);
        Receive("A01");
        QCOMPARE(sheet.events.size(), size_t{2});
        QVERIFY(prompt.shown.empty());
        dispatch.SetTransferSheet(&sheet);
    }

    void logAndMonitorRecordsGoToHistorySaverAndWindow() {
        const std::string body = "o02" + std::string(32, '4') + "beyond";
        Receive(body);
        const std::string line = "20261206090807" + body.substr(0, 35);
        QCOMPARE(history.Logs().size(), size_t{1});
        QCOMPARE(saver.Of(UM_LOG_RECORD).at(0).body, line);
        QCOMPARE(logWindow.Of(UM_LINK_RESULT).at(0).body, line);
        Receive("p05256" + std::string(256, 'm'));
        Receive("p05257" + std::string(257, 'm'));  // longer than a monitor record holds
        QCOMPARE(history.Monitors().size(), size_t{1});
        const auto copies = saver.Of(UM_MONITOR_RECORD);
        QCOMPARE(copies.size(), size_t{1});
        MonitorEntry entry;
        std::memcpy(&entry, copies[0].body.data(), sizeof entry);
        QCOMPARE(MonitorLineText(entry), "20261206090807p05256" + std::string(256, 'm'));
        QCOMPARE(monitorWindow.Count(UM_LINK_RESULT), size_t{1});
    }

    // A busy exchange cancels a running transfer and says so; otherwise only the text shows.
    void exchangeStatus() {
        Receive("z120");
        Receive("z121");
        Receive("z122");  // no such status
        Receive("z12");
        progressOpen = true;
        Receive("z030");
        QCOMPARE(cancelled, 1);
        QCOMPARE(sheet.Count(UM_RCV_CANCEL_SHEET), size_t{1});
        QCOMPARE(dial.Count(UM_RCV_CANCEL_DIAL), size_t{1});
        QCOMPARE(prompt.texts(), (std::vector<std::string>{
                                     "Exchange No. 12\nNow receiving data so you can't send",
                                     "Exchange No. 12\nCommunication Error",
                                     "Exchange No.  3\nNow receiving data so you can't send"}));
        QCOMPARE(prompt.shown[0].icon, PromptIcon::Exclamation);
    }
};

QTEST_GUILESS_MAIN(ReceiveDispatchTest)
#include "receive_dispatch_test.moc"
