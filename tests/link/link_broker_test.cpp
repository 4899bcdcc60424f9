// The link broker against a recording transfer manager: one result per request, LinkUseMask, and
// received records by letter. The windows' and qn410ctl's tests take these end to end.
#include "link/link_broker.h"

#include <QtTest>
#include <deque>

#include "link_recorder.h"
#include "support/recording_prompt.h"

using namespace qn410;
using namespace qn410::test;

namespace {

class FakeControl : public LinkControl {
  public:
    int Connect(uint8_t exchange) override {
        calls.push_back("Connect " + std::to_string(exchange));
        return 1;
    }
    void Disconnect(uint8_t) override { calls.push_back("Disconnect"); }
    void Enqueue(int, TransferRequestPtr r) override { queued.push_back(std::move(r)); }
    void ResetSlot(uint8_t x) override { calls.push_back("Reset " + std::to_string(x)); }
    std::vector<TransferRequestPtr> Stop(int) override {
        return {std::make_move_iterator(queued.begin()), std::make_move_iterator(queued.end())};
    }
    TransferRequestPtr Take() {
        TransferRequestPtr r = std::move(queued.front());
        queued.pop_front();
        return r;
    }
    std::vector<std::string> calls;
    std::deque<TransferRequestPtr> queued;
};

using Results = std::vector<std::string>;  // "<result> <body>"

}  // namespace

class LinkBrokerTest : public QObject, public TransferProgress {
    Q_OBJECT

  public:
    bool IsTransferProgressOpen() const override { return progressOpen; }
    void CloseAsCancelled() override { progressOpen = false, ++cancelled; }

  private:
    LogHistory history;
    FixedClock clock{LocalTime{2026, 12, 6, 9, 8, 7, 0}};
    RecordingPrompt prompt;
    std::unique_ptr<LinkBroker> broker;
    FakeControl* control = nullptr;
    LinkRecorder window, other, sheet, dial, monitorWindow, saver;
    bool progressOpen = false;
    int cancelled = 0;

    // R a request (from nullptr: from a window closed before it arrives), A an abandon, N a
    // report of the transfer manager, T one carrying the oldest request it holds, M a check of
    // LinkUseMask.
    struct Step {
        char kind;
        QObject* from;
        std::string body;
        uint32_t a = 0, b = 0;
    };
    static Step Req(QObject* w, std::string b, uint8_t s, uint8_t c) { return {'R', w, b, s, c}; }
    static Step Abandon(QObject* w, uint8_t clr) { return {'A', w, "", 0, clr}; }
    static Step Note(uint16_t m, uint32_t w = 0) { return {'N', nullptr, "", m, w}; }
    static Step Took(uint16_t m, uint32_t w) { return {'T', nullptr, "", m, w}; }
    static Step Got(std::string body) { return {'N', nullptr, body, UM_LINK_RECEIVED, 0x0201}; }
    static Step Mask(uint8_t mask) { return {'M', nullptr, "", mask}; }

    // PcConnect 0: the serial port, opened at start; 1: a modem, dialled when needed.
    void Start(uint8_t pcConnect) {
        broker.reset();
        QCoreApplication::processEvents();  // the old broker's last answers
        broker = std::make_unique<LinkBroker>(history, clock, prompt, [this](QObject*, auto&) {
            auto fake = std::make_unique<FakeControl>();
            control = fake.get();
            return fake;
        });
        broker->Start(MaintenanceSetting{.PcConnect = pcConnect});
        window.events.clear();
        other.events.clear();
    }
    void Run(const std::vector<Step>& steps) {
        for (const Step& s : steps) {
            if (s.kind == 'M') QCOMPARE(broker->linkUseMask(), uint8_t(s.a));
            auto gone = s.from ? nullptr : std::make_unique<LinkRecorder>();
            auto r = std::make_unique<TransferRequest>(TransferRequest{.body = s.body});
            if (s.kind == 'R' || s.kind == 'A') {
                r->setMask = uint8_t(s.a);
                r->clearMask = uint8_t(s.b);
                r->exchange = 2;
                PostLinkRequest(broker.get(), s.from ? s.from : gone.get(), std::move(r),
                                s.kind == 'A');
            }
            if (s.kind == 'T') r = control->Take();
            if (s.kind == 'N' && s.body.empty()) r.reset();
            if (s.kind == 'N' || s.kind == 'T')
                PostLinkEvent(broker.get(), std::make_unique<LinkEvent>(s.a, s.b, std::move(r)));
            gone.reset();
            QCoreApplication::processEvents();
        }
    }
    Results Of(const LinkRecorder& who) {
        QCoreApplication::processEvents();
        const char* names[] = {"done", "not delivered", "open failed", "received", "reset"};
        Results out;
        for (const Recorded& r : who.Of(UM_LINK_RESULT))
            out.push_back((r.wParam < 5 ? names[r.wParam] : "?") + (" " + r.body));
        return out;
    }

  private slots:
    // A failed start-up tells nobody; a failed open answers every request waiting for it. Stop
    // answers what is left; the old port's close after a new Start does not close the program.
    void resultsOfStartStopSendAndAbandon() {
        Start(0);
        Run({Req(&window, "B02", kUseMulti, 0), Mask(kUseStartup | kUseMulti),
             Note(UM_LINK_CONNECTED), Note(UM_LINK_CONNECTED), Mask(kUseMulti)});
        QCOMPARE(control->queued.size(), size_t{1});
        Start(0);
        Run({Note(UM_LINK_ERROR, 0x8200), Mask(0), Req(&window, "A02", kUseSingle, kUseSingle)});
        QCOMPARE(control->calls.back(), std::string("Connect 2"));
        Run({Req(&other, "O00", kUseLog, 0), Note(UM_LINK_ERROR, 0x8200),
             Note(UM_LINK_ERROR, 0x8200), Mask(0)});  // the second failure finds nobody waiting
        QCOMPARE(Of(window), (Results{"open failed A02"}));
        QCOMPARE(Of(other), (Results{"open failed O00"}));
        Start(0);
        Run({Note(UM_LINK_CONNECTED), Req(&window, "A02", kUseSingle, kUseSingle),
             Note(UM_LINK_CONNECTED), Req(&window, "A03", kUseSingle, kUseSingle)});
        broker->Stop();  // A02 is in the manager, A03 still waits for the port
        QCOMPARE(Of(window), (Results{"not delivered A02", "not delivered A03"}));
        QCOMPARE(broker->linkUseMask(), kUseClosing);
        broker->Start(MaintenanceSetting{});
        QCOMPARE(control->calls, std::vector<std::string>{"Connect 1"});
        Run({Note(UM_LINK_DISCONNECTED), Mask(kUseStartup)});
        // A failed send's request rides in the event, receive failures are nobody's; a request
        // whose window is gone still acts on the link. The serial port stays open when unused.
        Start(0);
        Run({Note(UM_LINK_CONNECTED), Req(nullptr, "A01", kUseSingle, kUseSingle),
             Req(&window, "A02", kUseSingle, kUseSingle),
             Req(&window, "A03", kUseSingle, kUseSingle), Note(UM_LINK_CONNECTED),
             Took(UM_LINK_SENT, 0x0101), Took(UM_LINK_SENT, 0x0101), Took(UM_LINK_ERROR, 0x8401),
             Note(UM_LINK_ERROR, 0x8500), Note(UM_LINK_ERROR, 0x8501), Mask(0),
             Req(&window, "Q02", 3, 0), Note(UM_LINK_CONNECTED), Abandon(&window, 3), Mask(0)});
        QCOMPARE(control->calls.back(), std::string("Reset 2"));
        // The dropped request rides back; an abandon with nothing in flight; a stray reset.
        Run({Took(UM_LINK_RESET, 1), Abandon(&other, 0), Note(UM_LINK_RESET, 1),
             Note(UM_LINK_RESET, 1)});
        QCOMPARE(Of(window), (Results{"done A02", "not delivered A03", "reset "}));
        QCOMPARE(Of(other), (Results{"reset "}));
        QVERIFY(!std::ranges::count(control->calls, "Disconnect"));
    }

    // Nothing is dialled at start; the modem is hung up only when nobody uses it any more; an
    // ended progress display lets go of the transfer bits.
    void releaseAndHangUp() {
        Start(1);
        QVERIFY(broker->OnMainWindowClose() && control->calls.empty());
        Run({Req(&window, "O00", kUseLog, 0), Req(&window, "P00", kUseMonitor, 0),
             Req(&window, "B02", kUseMulti, 0)});
        QVERIFY(broker->pending());
        Run({Req(&window, "", 0, kUseLog)});
        broker->ReleaseBits(kUseSingle | kUseMulti);
        Run({Mask(kUseMonitor), Note(UM_LINK_CONNECTED), Took(UM_LINK_SENT, 0x0101),
             Took(UM_LINK_SENT, 0x0101), Took(UM_LINK_SENT, 0x0101)});
        QVERIFY(!broker->pending() && !std::ranges::count(control->calls, "Disconnect"));
        Run({Req(&window, "", 0, kUseMonitor)});
        QCOMPARE(control->calls.back(), std::string("Disconnect"));
        QCOMPARE(Of(window), (Results{"done ", "done O00", "done P00", "done B02", "done "}));
    }

    // Malformed records, those of no route and those nobody receives are dropped. A busy
    // exchange cancels a running transfer and says so.
    void receivedRecordsByLetter() {
        Start(0);
        ReceiveDispatch& dispatch = broker->dispatch();
        dispatch.SetDialEditor(&dial);
        dispatch.SetMonitorWindow(&monitorWindow);
        dispatch.SetLogSaver(&saver);
        dispatch.SetProgress(this);
        Run({Got("A01")});  // no transfer sheet yet
        dispatch.SetTransferSheet(&sheet);
        for (const std::string body :
             {"A01xyz", "U03", "K01abc", "R01", "S01", "T01", "V01", "Z01", "s01", "a01", "@01",
              "\x01", "o02short", "p05010mmm", "z120", "z121", "z122", "z12"})
            Run({Got(body)});
        for (const int n : {256, 257})  // the second longer than a monitoring record holds
            Run({Got("p05" + std::to_string(n) + std::string(n, 'm'))});
        progressOpen = true;
        Run({Got("z030")});
        QCOMPARE(Of(sheet), (Results{"received A01xyz", "received U03"}));
        QCOMPARE(Of(dial), (Results{"received K01abc"}));
        QCOMPARE(history.Monitors().size(), size_t{1});
        QCOMPARE(MonitorLineText(history.Monitors()[0]),
                 "20261206090807p05256" + std::string(256, 'm'));
        QCOMPARE(std::pair(saver.Count(UM_MONITOR_RECORD), monitorWindow.Count(UM_LINK_RESULT)),
                 std::pair(size_t{1}, size_t{1}));
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

QTEST_GUILESS_MAIN(LinkBrokerTest)
#include "link_broker_test.moc"
