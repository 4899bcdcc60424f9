// CTransMng and CSioThread over a real pseudo-terminal, against a scripted exchange.
#include <QtTest>
#include <sstream>
#include <thread>

#include "link/line_trace.h"
#include "link/port_map.h"
#include "link/trans_mng.h"
#include "link_recorder.h"
#include "link_test_peer.h"
#include "pty_peer.h"

using namespace qn410;
using namespace qn410::test;
using namespace std::chrono_literals;
using Steady = std::chrono::steady_clock;

// Until stallUntil the channel thread hangs in the next event it is handed.
class StallingApp : public QCoreApplication {
  public:
    using QCoreApplication::QCoreApplication;
    static inline std::atomic<Steady::time_point> stallUntil{};
    bool notify(QObject* receiver, QEvent* event) override {
        while (QThread::currentThread()->objectName() == "CSioThread" &&
               Steady::now() < stallUntil.load())
            std::this_thread::sleep_for(10ms);
        return QCoreApplication::notify(receiver, event);
    }
};

class SioPtyTest : public QObject {
    Q_OBJECT

  private:
    std::unique_ptr<PtyPeer> peer;
    std::unique_ptr<LinkRecorder> view;
    std::unique_ptr<CTransMng> mng;

    // A transfer manager whose COM1 is the pty; a shorter tick makes the time-outs pass sooner.
    void Start(std::chrono::milliseconds tick = 100ms) {
        ::setenv("QN410_COM1", peer->slavePath().c_str(), 1);
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
    // The exchange waits for these bytes from the tool, then answers.
    void Expect(const std::string& bytes, const std::string& answer = "") {
        const auto pump = [] { QCoreApplication::processEvents(); };
        QCOMPARE(QByteArray::fromStdString(peer->Read(bytes.size(), 2000, pump)),
                 QByteArray::fromStdString(bytes));
        peer->Send(answer);
    }
    std::vector<std::string> Bodies(uint16_t message) {
        std::vector<std::string> bodies;
        for (const Recorded& r : view->Of(message)) bodies.push_back(r.body);
        return bodies;
    }
    using Texts = std::vector<std::string>;

  private slots:
    void init() {
        peer = std::make_unique<PtyPeer>();
        QVERIFY(peer->ok());
        view = std::make_unique<LinkRecorder>();
    }
    void cleanup() {
        if (mng) mng->Stop(-1);
        mng.reset();
        view.reset();
        peer.reset();
        SetLineTrace(nullptr);
    }

    void receivesSeveralFramesInOneTurn() {
        Start();
        std::ostringstream trace;
        SetLineTrace(std::make_shared<LineTrace>(trace));
        peer->Send("x" + kBid);  // a stray byte between turns is ignored
        const std::string odd = Bytes({'p', DLE, ETX});
        Expect(kAck, PeerFrame("o01first") + PeerFrame(odd) + WithBadBcc(PeerFrame("K01")));
        Expect(kAck + kAck + kNak, PeerFrame("K01") + kEot);
        Expect(kAck);
        QTRY_COMPARE(Bodies(UM_LINK_RECEIVED), (Texts{"o01first", odd, "K01"}));
        QCOMPARE(view->Of(UM_LINK_RECEIVED)[0].wParam, 0x0201u);
        for (const char* line : {" RX byte 0x78\n", " RX frame \"K01\" BCC 0x58 bad\n"})
            QVERIFY2(trace.str().find(line) != std::string::npos, trace.str().c_str());
        Submit("B");  // the turn is closed: the request goes out at once
        Expect(kBid);
    }

    // Opening an open port or closing a closed one is answered at once; a closed port opens
    // again and carries the next requests, the line trace showing both sides of them, and a
    // refused bid and frame are sent again.
    void portClosedAndReopenedThenSendsWithRetries() {
        Start();
        Connect();
        for (const size_t closed : {1, 2}) {  // the second time already closed
            mng->Disconnect(1);
            QTRY_COMPARE(view->Count(UM_LINK_DISCONNECTED), closed);
        }
        Connect();
        std::ostringstream trace;
        SetLineTrace(std::make_shared<LineTrace>(trace, [] { return int64_t{0}; }));
        Submit("A");
        Expect(kBid, kAck);
        Expect(PeerFrame("A"), kAck);
        Expect(kEot);
        Submit("B");
        Expect(kBid, kNak);
        Expect(kBid, kAck);
        Expect(PeerFrame("B"), kNak);
        Expect(PeerFrame("B"), kAck);
        Expect(kEot);
        QTRY_COMPARE(Bodies(UM_LINK_SENT), (Texts{"A", "B"}));
        QCOMPARE(view->Count(UM_LINK_ERROR), size_t{0});
        std::string expected;  // the first request's, taken at once
        for (const char* line : {"TX DLE ENQ", "RX DLE ACK", "TX frame \"A\" BCC 0x52 good",
                                 "RX DLE ACK", "TX DLE EOT", "TX DLE ENQ", "RX DLE NAK"})
            expected += "     0.000000 " + std::string(line) + "\n";
        QCOMPARE(QString::fromStdString(trace.str().substr(0, expected.size())),
                 QString::fromStdString(expected));
    }

    // The device is reported gone once; the request runs out of attempts on the closed port and
    // comes back once; the port, now a path that does not exist, fails to open cleanly, and so
    // does a modem without a number.
    void deviceRemovedMidTransferAndPortsThatDoNotOpen() {
        Start(5ms);  // T0 = 150 ms
        QVERIFY(IsPseudoTerminal(peer->slavePath()) && !IsPseudoTerminal("/dev/null"));
        Submit("A01");
        Expect(kBid);
        peer->Close();
        QTRY_COMPARE(view->Count(UM_LINK_DISCONNECTED), size_t{1});
        QTRY_COMPARE_WITH_TIMEOUT(view->Count(UM_LINK_ERROR), size_t{2}, 5000);
        QCOMPARE(view->Of(UM_LINK_ERROR)[0].wParam, 0x8500u);
        QCOMPARE(view->Of(UM_LINK_ERROR)[1].wParam, 0x8401u);
        QCOMPARE(view->Of(UM_LINK_ERROR)[1].body, std::string("A01"));
        QCOMPARE(mng->Connect(1), 0);
        MaintenanceSetting modem{};
        modem.PcConnect = 1;
        mng = std::make_unique<CTransMng>(view.get(), modem);
        QCOMPARE(mng->Connect(1), 1);
        QTRY_COMPARE(view->Count(UM_LINK_ERROR), size_t{4});
        QCOMPARE(view->Of(UM_LINK_ERROR)[2].wParam, 0x8200u);
        QCOMPARE(view->Of(UM_LINK_ERROR)[3].wParam, 0x8200u);
        QCOMPARE(view->Count(UM_LINK_SENT), size_t{0});
        QCOMPARE(ResolvePort("COM2"), std::string("/dev/ttyS1"));  // QN410_COM2 is not set
        QCOMPARE(DeviceOfPort(4), std::string());                  // COM1..COM4 only
    }

    // Stop hands back what was not sent; a stop while the channel thread hangs gives up after
    // its limit and still hands back the request whose bid is out.
    void stopHandsBackUnsentRequests() {
        Start();
        Submit("A");
        Expect(kBid);
        Submit("B");
        auto left = mng->Stop(3000);
        QCOMPARE(left.size(), size_t{2});
        QCOMPARE(left[1]->body, std::string("B"));
        Start();
        Submit("C");
        Expect(kBid);
        StallingApp::stallUntil = Steady::now() + 800ms;
        QTest::qWait(100);  // the channel's tick runs into the stall
        QElapsedTimer elapsed;
        elapsed.start();
        left = mng->Stop(300);
        mng.reset();
        QVERIFY2(elapsed.elapsed() < 600, QByteArray::number(elapsed.elapsed()));
        QCOMPARE(left.size(), size_t{1});
        QTest::qWait(700);  // the abandoned thread ends before the process does
    }
};

int main(int argc, char** argv) {
    StallingApp app(argc, argv);
    SioPtyTest test;
    return QTest::qExec(&test, argc, argv);
}
#include "sio_pty_test.moc"
