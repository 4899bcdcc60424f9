// CTransMng and CSioThread over a real pseudo-terminal, against a scripted exchange and against
// qn410-sim.
#include <QtTest>
#include <sstream>
#include <thread>

#include "link/line_trace.h"
#include "link/port_map.h"
#include "link/trans_mng.h"
#include "link_recorder.h"
#include "link_test_peer.h"
#include "pty_peer.h"
#include "setting/setting_file.h"
#include "support/child_process.h"
#include "support/random_setting.h"
#include "support/temp_dir.h"
#include "transfer/upload_plan.h"

using namespace qn410;
using namespace qn410::test;
using namespace std::chrono_literals;
using namespace std::string_literals;
using Steady = std::chrono::steady_clock;
using Texts = std::vector<std::string>;

class SioPtyTest : public QObject {
    Q_OBJECT

  private:
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
    // The notices of one kind posted to the view, as "<wParam in hex> <body>".
    Texts Of(uint16_t message) {
        Texts out;
        for (const Recorded& r : view->Of(message))
            out.push_back(QByteArray::number(r.wParam, 16).toStdString() + " " + r.body);
        return out;
    }

  private slots:
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
        QTRY_COMPARE(Of(UM_LINK_RECEIVED), (Texts{"201 o01first", "201 " + odd, "201 K01"}));
        Submit("A");  // the turn is closed: the request goes out at once
        Converse({kBid, kAck, PeerFrame("A"), kAck, kEot});
        Submit("B");
        Converse({kBid, kNak, kBid, kAck, PeerFrame("B"), kNak, PeerFrame("B"), kAck, kEot});
        QTRY_COMPARE(Of(UM_LINK_SENT), (Texts{"101 A", "101 B"}));
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
        QTRY_COMPARE_WITH_TIMEOUT(Of(UM_LINK_ERROR), (Texts{"8500 ", "8401 A01"}), 5000);
        QCOMPARE(mng->Connect(1), 0);
        mng = std::make_unique<CTransMng>(view.get(), MaintenanceSetting{.PcConnect = 1});
        QCOMPARE(mng->Connect(1), 1);
        QTRY_COMPARE(Of(UM_LINK_ERROR), (Texts{"8500 ", "8401 A01", "8200 ", "8200 "}));
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

QTEST_GUILESS_MAIN(SioPtyTest)
#include "sio_pty_test.moc"
