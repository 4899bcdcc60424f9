// The link broker against a recording transfer manager, then CTransMng and CSioThread over a
// real pseudo-terminal against a scripted exchange and against qn410-sim.
#include <QtTest>
#include <algorithm>
#include <deque>
#include <sstream>
#include <thread>

#include "link/line_trace.h"
#include "link/link_broker.h"
#include "link/link_event.h"
#include "link/port_map.h"
#include "link/trans_mng.h"
#include "link_test_peer.h"
#include "pty_peer.h"
#include "setting/setting_file.h"
#include "support/child_process.h"
#include "support/random_setting.h"
#include "support/recording_prompt.h"
#include "support/temp_dir.h"
#include "transfer/upload_plan.h"

using namespace qn410;
using namespace qn410::test;
using namespace std::chrono_literals;
using namespace std::string_literals;
using Steady = std::chrono::steady_clock;
using Texts = std::vector<std::string>;

namespace {

// Records the link events posted to it, as a requesting window, the view or the log saver does.
struct Recorded {
    uint16_t message;
    uint32_t wParam;
    std::string body;  // of the request or item it carries
};

class LinkRecorder : public QObject {
  public:
    std::vector<Recorded> events;

    size_t Count(uint16_t message, char letter = 0) const {
        return std::ranges::count_if(events, [&](const Recorded& r) {
            return r.message == message && (!letter || r.body.starts_with(letter));
        });
    }

  protected:
    bool event(QEvent* e) override {
        auto* link = dynamic_cast<LinkEvent*>(e);
        if (!link) return QObject::event(e);
        events.push_back({link->message(), link->wParam, link->request ? link->request->body : ""});
        return true;
    }
};

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
    std::vector<std::string> calls;
    std::deque<TransferRequestPtr> queued;
};

}  // namespace

class LinkQtTest : public QObject, public TransferProgress {
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
    void StartBroker(uint8_t pcConnect) {
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
            if (s.kind == 'T') r = std::move(control->queued.front());
            if (s.kind == 'T') control->queued.pop_front();
            if (s.kind == 'N' && s.body.empty()) r.reset();
            if (s.kind == 'N' || s.kind == 'T')
                PostLinkEvent(broker.get(), std::make_unique<LinkEvent>(s.a, s.b, std::move(r)));
            gone.reset();
            QCoreApplication::processEvents();
        }
    }
    std::unique_ptr<PtyPeer> peer;
    std::unique_ptr<LinkRecorder> view;
    std::unique_ptr<CTransMng> mng;

    // COM1 is the pty unless a port is given; a shorter tick makes time-outs pass sooner.
    void Start(std::chrono::milliseconds tick = 100ms, const std::string& port = {}) {
        ::setenv("QN410_COM1", port.empty() ? peer->slavePath().c_str() : port.c_str(), 1);
        mng = std::make_unique<CTransMng>(view.get(), MaintenanceSetting{}, tick);
        Connect();
    }
    void Connect() {
        const size_t connected = view->Count(UM_LINK_CONNECTED) + 1;
        QCOMPARE(mng->Connect(1), 1);
        QTRY_COMPARE(view->Count(UM_LINK_CONNECTED), connected);
    }
    void Submit(const std::string& body) {
        mng->Enqueue(0, std::make_unique<TransferRequest>(TransferRequest{.body = body}));
    }
    // The exchange waits for what the tool writes (even entries), then answers (odd entries).
    void Converse(const std::vector<std::string>& script) {
        for (size_t i = 0; i < script.size(); i += 2) {
            const std::string got =
                peer->Read(script[i].size(), 2000, [] { QCoreApplication::processEvents(); });
            QCOMPARE(QByteArray::fromStdString(got), QByteArray::fromStdString(script[i]));
            peer->Send(i + 1 < script.size() ? script[i + 1] : "");
        }
    }
    // The events of one kind posted to who, as "<result, or wParam in hex> <body>".
    static Texts Of(const LinkRecorder& who, uint16_t message = UM_LINK_RESULT) {
        QCoreApplication::processEvents();
        const char* results[] = {"done", "not delivered", "open failed", "received", "reset"};
        Texts out;
        for (const Recorded& r : who.events)
            if (r.message == message)
                out.push_back((message == UM_LINK_RESULT && r.wParam < 5
                                   ? std::string(results[r.wParam])
                                   : QByteArray::number(r.wParam, 16).toStdString()) +
                              " " + r.body);
        return out;
    }

  private slots:
    // A failed start-up tells nobody; a failed open answers every request waiting for it. Stop
    // answers what is left; the old port's close after a new Start does not close the program.
    void resultsOfStartStopSendAndAbandon() {
        StartBroker(0);
        Run({Req(&window, "B02", kUseMulti, 0), Mask(kUseStartup | kUseMulti),
             Note(UM_LINK_CONNECTED), Note(UM_LINK_CONNECTED), Mask(kUseMulti)});
        QCOMPARE(control->queued.size(), size_t{1});
        StartBroker(0);
        Run({Note(UM_LINK_ERROR, 0x8200), Mask(0), Req(&window, "A02", kUseSingle, kUseSingle)});
        QCOMPARE(control->calls.back(), std::string("Connect 2"));
        Run({Req(&other, "O00", kUseLog, 0), Note(UM_LINK_ERROR, 0x8200),
             Note(UM_LINK_ERROR, 0x8200), Mask(0)});  // the second failure finds nobody waiting
        QCOMPARE(Of(window), (Texts{"open failed A02"}));
        QCOMPARE(Of(other), (Texts{"open failed O00"}));
        StartBroker(0);
        Run({Note(UM_LINK_CONNECTED), Req(&window, "A02", kUseSingle, kUseSingle),
             Note(UM_LINK_CONNECTED), Req(&window, "A03", kUseSingle, kUseSingle)});
        broker->Stop();  // A02 is in the manager, A03 still waits for the port
        QCOMPARE(Of(window), (Texts{"not delivered A02", "not delivered A03"}));
        QCOMPARE(broker->linkUseMask(), kUseClosing);
        broker->Start(MaintenanceSetting{});
        QCOMPARE(control->calls, std::vector<std::string>{"Connect 1"});
        Run({Note(UM_LINK_DISCONNECTED), Mask(kUseStartup)});
        // A failed send's request rides in the event, receive failures are nobody's; a request
        // whose window is gone still acts on the link. The serial port stays open when unused.
        StartBroker(0);
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
        QCOMPARE(Of(window), (Texts{"done A02", "not delivered A03", "reset "}));
        QCOMPARE(Of(other), (Texts{"reset "}));
        QVERIFY(!std::ranges::count(control->calls, "Disconnect"));
    }

    // Nothing is dialled at start; the modem is hung up only when nobody uses it any more; an
    // ended progress display lets go of the transfer bits.
    void releaseAndHangUp() {
        StartBroker(1);
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
        QCOMPARE(Of(window), (Texts{"done ", "done O00", "done P00", "done B02", "done "}));
    }

    // Malformed records, those of no route and those nobody receives are dropped. A busy
    // exchange cancels a running transfer and says so.
    void receivedRecordsByLetter() {
        StartBroker(0);
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
        QCOMPARE(Of(sheet), (Texts{"received A01xyz", "received U03"}));
        QCOMPARE(Of(dial), (Texts{"received K01abc"}));
        QCOMPARE(history.Monitors().size(), size_t{1});
        QCOMPARE(MonitorLineText(history.Monitors()[0]),
                 "20261206090807p05256" + std::string(256, 'm'));
        QCOMPARE(std::tuple(saver.Count(UM_MONITOR_RECORD), monitorWindow.Count(UM_LINK_RESULT),
                            sheet.Count(UM_RCV_CANCEL_SHEET), dial.Count(UM_RCV_CANCEL_DIAL)),
                 std::tuple(1u, 1u, 1u, 1u));
        QCOMPARE(cancelled, 1);
        QCOMPARE(prompt.texts(), (std::vector<std::string>{
                                     "Exchange No. 12\nNow receiving data so you can't send",
                                     "Exchange No. 12\nCommunication Error",
                                     "Exchange No.  3\nNow receiving data so you can't send"}));
        QCOMPARE(prompt.shown[0].icon, PromptIcon::Exclamation);
    }
    void init() {
        peer = std::make_unique<PtyPeer>();
        QVERIFY(peer->ok());
        view = std::make_unique<LinkRecorder>();
    }
    void cleanup() {
        mng.reset();  // before the recorder it reports to
        SetLineTrace(nullptr);
    }

    // Opening an open port or closing a closed one is answered at once; a port closed and opened
    // again carries the exchange's frames and the tool's, refused ones sent again.
    void portReopenedThenReceivesAndSendsWithRetries() {
        Start();
        Connect();
        for (const size_t closed : {1, 2}) {  // the second time already closed
            mng->Disconnect(1);
            QTRY_COMPARE(view->Count(UM_LINK_DISCONNECTED), closed);
        }
        Connect();
        std::ostringstream trace;
        SetLineTrace(std::make_shared<LineTrace>(trace, [] { return int64_t{0}; }));
        peer->Send("x" + kBid);  // a stray byte between turns is ignored
        const std::string odd = Bytes({'p', DLE, ETX});
        Converse({kAck, PeerFrame("o01first") + PeerFrame(odd) + WithBadBcc(PeerFrame("K01")),
                  kAck + kAck + kNak, PeerFrame("K01") + kEot, kAck});
        QTRY_COMPARE(Of(*view, UM_LINK_RECEIVED), (Texts{"201 o01first", "201 " + odd, "201 K01"}));
        Submit("A");  // the turn is closed: the request goes out at once
        Converse({kBid, kAck, PeerFrame("A"), kAck, kEot});
        Submit("B");
        Converse({kBid, kNak, kBid, kAck, PeerFrame("B"), kNak, PeerFrame("B"), kAck, kEot});
        QTRY_COMPARE(Of(*view, UM_LINK_SENT), (Texts{"101 A", "101 B"}));
        QCOMPARE(view->Count(UM_LINK_ERROR), size_t{0});
        std::string upload;  // the turn of one record, both directions in order
        for (const char* line : {"TX DLE ENQ", "RX DLE ACK", "TX frame \"A\" BCC 0x52 good",
                                 "RX DLE ACK", "TX DLE EOT"})
            upload += "     0.000000 " + std::string(line) + "\n";
        for (const std::string& part :
             {upload, " RX byte 0x78\n"s, " RX frame \"p\\x10\\x03\" BCC 0x60 good\n"s,
              " RX frame \"K01\" BCC 0x58 bad\n"s})
            QVERIFY2(trace.str().find(part) != std::string::npos, trace.str().c_str());
    }

    // The device is reported gone once, the request comes back once; the path, now gone, fails
    // to open cleanly, and so does a modem without a number.
    void deviceRemovedMidTransferAndPortsThatDoNotOpen() {
        Start(5ms);  // T0 = 150 ms
        QVERIFY(IsPseudoTerminal(peer->slavePath()) && !IsPseudoTerminal("/dev/null"));
        Submit("A01");
        Converse({kBid});
        peer->Close();
        QTRY_COMPARE(view->Count(UM_LINK_DISCONNECTED), size_t{1});
        QTRY_COMPARE_WITH_TIMEOUT(Of(*view, UM_LINK_ERROR), (Texts{"8500 ", "8401 A01"}), 5000);
        QCOMPARE(mng->Connect(1), 0);
        mng = std::make_unique<CTransMng>(view.get(), MaintenanceSetting{.PcConnect = 1});
        QCOMPARE(mng->Connect(1), 1);
        QTRY_COMPARE(Of(*view, UM_LINK_ERROR), (Texts{"8500 ", "8401 A01", "8200 ", "8200 "}));
        QCOMPARE(view->Count(UM_LINK_SENT), size_t{0});
        QCOMPARE(ResolvePort("COM2"), std::string("/dev/ttyS1"));  // QN410_COM2 is not set
        QCOMPARE(DeviceOfPort(4), std::string());                  // COM1..COM4 only
    }

    // Stop hands back what was not sent; a stop while the channel thread hangs gives up after
    // its limit and still hands back the request whose bid is out.
    void stopHandsBackUnsentRequests() {
        Start();
        Submit("A");
        Converse({kBid});
        Submit("B");
        auto left = mng->Stop(3000);
        QCOMPARE(left.size(), size_t{2});
        QCOMPARE(left[1]->body, std::string("B"));
        Start();
        Submit("C");
        Converse({kBid});
        // The channel thread hangs in tracing the next bytes it reads.
        static std::ostringstream out;
        const auto hangUntil = Steady::now() + 800ms;
        SetLineTrace(std::make_shared<LineTrace>(out, [hangUntil] {
            if (QThread::currentThread() != qApp->thread())
                std::this_thread::sleep_until(hangUntil);
            return int64_t{0};
        }));
        peer->Send("x");
        QTest::qWait(100);
        const auto start = Steady::now();
        left = mng->Stop(300);
        mng.reset();
        const auto took = Steady::now() - start;  // the thread did not end: the limit ran out
        QVERIFY2(took > 250ms && took < 600ms, "the stop did not end at its limit");
        QCOMPARE(left.size(), size_t{1});
        QTest::qWait(700);  // the abandoned thread ends before the process does
    }

    // 16-exchange uploads and downloads over the simulator's pty with log records all along: all
    // arrive and no time-out runs out, whether the exchange gives way on crossing bids or not.
    void transfersWithLogRecordsAllAlong() {
        TempDir dir;
        SilentPrompt prompt;
        SettingDocument doc;
        for (uint32_t seed = 1; doc.data().System.SwitchCnt != 16; ++seed)
            FillRandomRecordable(doc.data(), seed);
        QVERIFY(WriteSettingFile(dir.file("held.txt"), doc, "", prompt));
        const UploadPlan plan(doc.data(), 0);
        for (int run = 0; run < 4; ++run) {  // upload, download; giving way, keeping the bid
            SimProcess sim({"--rate", "20", "--insist-after", run % 2 ? "0" : "1000000", "--config",
                            dir.file("held.txt").c_str(), "--trace",
                            dir.file("trace.txt").c_str()});
            view = std::make_unique<LinkRecorder>();
            Start(100ms, sim.port().toStdString());
            const auto logs = [&] { return view->Count(UM_LINK_RECEIVED, 'o'); };
            Submit("O00" + std::string(16, '1'));
            for (int s = 1; s <= (run < 2 ? plan.size() : 0); ++s)
                if (plan.step(s).letter != '\0')
                    Submit(*plan.Record(s));  // not the closing release
            if (run >= 2) Submit("Q00");
            const size_t requests = run < 2 ? plan.size() : 2,
                         settings = run < 2 ? 0 : ExpectedDownloadCount(doc.data(), 0);
            QTRY_VERIFY_WITH_TIMEOUT(view->Count(UM_LINK_SENT) == requests && logs() > 0 &&
                                         view->Count(UM_LINK_RECEIVED) == settings + logs(),
                                     90000);
            Submit("O00" + std::string(16, '0'));  // logs first: a new selection drops the queue
            QTRY_COMPARE_WITH_TIMEOUT(view->Count(UM_LINK_SENT), requests + 1, 10000);
            for (size_t n = 0, i = 0; n != logs() && i < 30; ++i, QTest::qWait(300)) n = logs();
            QCOMPARE(view->Count(UM_LINK_ERROR), size_t{0});
            QCOMPARE(sim.Stop(), 0);
            const std::string trace = ReadAll(dir.file("trace.txt"));
            for (const char* bad : {"no answer", "again", "keeps its bid", "frame(s) dropped"})
                QVERIFY2(trace.find(bad) == std::string::npos, bad);
            size_t logsSent = 0;  // each log record the simulator sent reached the tool once
            for (size_t at = 0; (at = trace.find("TX frame \"o", at) + 1);) ++logsSent;
            QCOMPARE(logs(), logsSent);
        }
    }
};

QTEST_GUILESS_MAIN(LinkQtTest)
#include "link_qt_test.moc"
