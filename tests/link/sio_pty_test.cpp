// CTransMng and CSioThread over a real pseudo-terminal, against a scripted exchange.
#include <QtTest>
#include <cstdlib>
#include <memory>

#include "link/link_frame.h"
#include "link/trans_mng.h"
#include "link_recorder.h"
#include "link_test_peer.h"
#include "pty_peer.h"

using namespace qn410;
using namespace qn410::test;
using namespace std::chrono_literals;

namespace {

const std::string kBid = Bytes({DLE, ENQ});
const std::string kAck = Bytes({DLE, ACK});
const std::string kNak = Bytes({DLE, NAK});
const std::string kEot = Bytes({DLE, EOT});

TransferRequestPtr Request(const std::string& body) {
    auto r = std::make_unique<TransferRequest>();
    r->body = body;
    return r;
}

std::string FrameOf(const std::string& body) {
    FrameBuffer buffer;
    const size_t n = BuildLinkFrame(body, buffer);
    return std::string(buffer.begin(), buffer.begin() + static_cast<long>(n));
}

MaintenanceSetting SerialOnCom1() {
    MaintenanceSetting s{};
    s.PcConnect = 0;
    s.CommPort = 0;
    return s;
}

}  // namespace

class SioPtyTest : public QObject {
    Q_OBJECT

  private:
    std::unique_ptr<PtyPeer> peer;
    std::unique_ptr<LinkRecorder> view;
    std::unique_ptr<CTransMng> mng;

    // A transfer manager whose COM1 is the pty; tick shortened so time-outs pass quickly.
    void StartManager(std::chrono::milliseconds tick = 100ms) {
        ::setenv("QN410_COM1", peer->slavePath().c_str(), 1);
        mng = std::make_unique<CTransMng>(view.get(), SerialOnCom1(), tick);
    }
    void Connect() {
        QCOMPARE(mng->Connect(1), 1);
        QTRY_COMPARE(view->Count(UM_LINK_CONNECTED), size_t{1});
    }
    std::string Read(size_t n, int ms = 2000) {
        return peer->Read(n, ms, [] { QCoreApplication::processEvents(); });
    }

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
        ::unsetenv("QN410_COM1");
    }

    void sendsWithRetries() {
        StartManager();
        Connect();
        mng->Enqueue(0, Request("A01xyz"));
        QCOMPARE(Hex(Read(2)), Hex(kBid));
        peer->Send(kNak);
        QCOMPARE(Hex(Read(2)), Hex(kBid));
        peer->Send(kAck);
        const std::string frame = FrameOf("A01xyz");
        QCOMPARE(Hex(Read(frame.size())), Hex(frame));
        peer->Send(kNak);
        QCOMPARE(Hex(Read(frame.size())), Hex(frame));
        peer->Send(kAck);
        QCOMPARE(Hex(Read(2)), Hex(kEot));
        QTRY_COMPARE(view->Count(UM_LINK_SENT), size_t{1});
        QCOMPARE(view->Of(UM_LINK_SENT)[0].body, std::string("A01xyz"));
        QCOMPARE(view->Count(UM_LINK_ERROR), size_t{0});
    }

    void receivesSeveralFramesInOneTurn() {
        StartManager();
        Connect();
        peer->Send(kBid);
        QCOMPARE(Hex(Read(2)), Hex(kAck));
        peer->Send(PeerFrame("o01first") + PeerFrame(Bytes({'p', DLE, ETX})) +
                   WithBadBcc(PeerFrame("K01")));
        QCOMPARE(Hex(Read(6)), Hex(kAck + kAck + kNak));
        peer->Send(PeerFrame("K01") + kEot);
        QCOMPARE(Hex(Read(2)), Hex(kAck));
        QTRY_COMPARE(view->Count(UM_LINK_RECEIVED), size_t{3});
        const auto got = view->Of(UM_LINK_RECEIVED);
        QCOMPARE(got[0].body, std::string("o01first"));
        QCOMPARE(got[1].body, Bytes({'p', DLE, ETX}));
        QCOMPARE(got[2].body, std::string("K01"));
        QCOMPARE(got[0].wParam, 0x0201u);
        // The turn is closed: a request goes out at once.
        mng->Enqueue(0, Request("B"));
        QCOMPARE(Hex(Read(2)), Hex(kBid));
    }

    // Opening an open port or closing a closed one is answered at once; a closed port opens
    // again and carries the next request.
    void portClosedAndReopened() {
        StartManager();
        Connect();
        QCOMPARE(mng->Connect(1), 1);
        QTRY_COMPARE(view->Count(UM_LINK_CONNECTED), size_t{2});
        mng->Disconnect(1);
        QTRY_COMPARE(view->Count(UM_LINK_DISCONNECTED), size_t{1});
        mng->Disconnect(1);  // already closed
        QTRY_COMPARE(view->Count(UM_LINK_DISCONNECTED), size_t{2});
        QCOMPARE(mng->Connect(1), 1);
        QTRY_COMPARE(view->Count(UM_LINK_CONNECTED), size_t{3});
        mng->Enqueue(0, Request("A"));
        QCOMPARE(Hex(Read(2)), Hex(kBid));
        peer->Send(kAck);
        QCOMPARE(Hex(Read(6)), Hex(FrameOf("A")));
        peer->Send(kAck);
        QCOMPARE(Hex(Read(2)), Hex(kEot));
        QTRY_COMPARE(view->Count(UM_LINK_SENT), size_t{1});
    }

    void deviceRemovedMidTransfer() {
        StartManager(5ms);  // T0 = 150 ms
        Connect();
        mng->Enqueue(0, Request("A01"));
        QCOMPARE(Hex(Read(2)), Hex(kBid));
        peer->Close();
        QTRY_VERIFY(view->Count(UM_LINK_DISCONNECTED) == 1);
        QVERIFY(!view->Of(UM_LINK_ERROR).empty());
        QCOMPARE(view->Of(UM_LINK_ERROR)[0].wParam, 0x8500u);
        // The request runs out of attempts on the closed port and comes back once.
        QTRY_COMPARE_WITH_TIMEOUT(view->Count(UM_LINK_ERROR), size_t{2}, 5000);
        const auto failed = view->Of(UM_LINK_ERROR)[1];
        QCOMPARE(failed.wParam, 0x8401u);
        QCOMPARE(failed.body, std::string("A01"));
        // The device is gone: the next open fails cleanly.
        QCOMPARE(mng->Connect(1), 0);
        QTRY_COMPARE(view->Of(UM_LINK_ERROR).back().wParam, 0x8200u);
        QTest::qWait(100);
        QCOMPARE(view->Count(UM_LINK_SENT), size_t{0});
        QCOMPARE(view->Count(UM_LINK_ERROR), size_t{3});
    }

    void portThatDoesNotExist() {
        ::setenv("QN410_COM1", "/dev/qn410-no-such-port", 1);
        mng = std::make_unique<CTransMng>(view.get(), SerialOnCom1());
        QCOMPARE(mng->Connect(1), 0);
        QTRY_COMPARE(view->Count(UM_LINK_ERROR), size_t{1});
        QCOMPARE(view->Of(UM_LINK_ERROR)[0].wParam, 0x8200u);
        QCOMPARE(view->Count(UM_LINK_CONNECTED), size_t{0});
        // After a failed open a later one may succeed.
        ::setenv("QN410_COM1", peer->slavePath().c_str(), 1);
        QCOMPARE(mng->Connect(1), 1);
        QTRY_COMPARE(view->Count(UM_LINK_CONNECTED), size_t{1});
    }

    void modemWithoutANumberDoesNotOpen() {
        MaintenanceSetting modem{};
        modem.PcConnect = 1;
        mng = std::make_unique<CTransMng>(view.get(), modem);
        QCOMPARE(mng->Connect(1), 1);
        QTRY_COMPARE(view->Count(UM_LINK_ERROR), size_t{1});
        QCOMPARE(view->Of(UM_LINK_ERROR)[0].wParam, 0x8200u);
    }

    void stopHandsBackUnsentRequests() {
        StartManager();
        Connect();
        mng->Enqueue(0, Request("A"));
        QCOMPARE(Hex(Read(2)), Hex(kBid));
        mng->Enqueue(0, Request("B"));
        auto left = mng->Stop(3000);
        QCOMPARE(left.size(), size_t{2});
        QCOMPARE(left[0]->body, std::string("A"));
        QCOMPARE(left[1]->body, std::string("B"));
    }
};

QTEST_GUILESS_MAIN(SioPtyTest)
#include "sio_pty_test.moc"
