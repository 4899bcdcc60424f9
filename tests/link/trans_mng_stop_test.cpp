// A stop while the channel thread hangs (a driver that does not return) gives up after its
// limit, still hands back the pending request, and the destructor returns at once.
#include <QtTest>
#include <atomic>
#include <thread>

#include "link/trans_mng.h"
#include "link_recorder.h"
#include "pty_peer.h"

using namespace qn410;
using Steady = std::chrono::steady_clock;

// Until stallUntil the channel thread hangs in the next event it is handed.
class StallingApp : public QCoreApplication {
  public:
    using QCoreApplication::QCoreApplication;
    static inline std::atomic<Steady::time_point> stallUntil{};
    bool notify(QObject* receiver, QEvent* event) override {
        while (QThread::currentThread()->objectName() == "CSioThread" &&
               Steady::now() < stallUntil.load())
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        return QCoreApplication::notify(receiver, event);
    }
};

class TransMngStopTest : public QObject {
    Q_OBJECT

  private slots:
    void stopGivesUpOnAHangingChannelAndAnswersWhatIsPending() {
        test::PtyPeer peer;
        ::setenv("QN410_COM1", peer.slavePath().c_str(), 1);
        test::LinkRecorder view;
        auto mng = std::make_unique<CTransMng>(&view, MaintenanceSetting{});
        QCOMPARE(mng->Connect(1), 1);
        mng->Enqueue(0, std::make_unique<TransferRequest>());
        QCOMPARE(peer.Read(2, 2000, [] { QCoreApplication::processEvents(); }).size(), 2u);
        StallingApp::stallUntil = Steady::now() + std::chrono::milliseconds(3000);
        QTest::qWait(200);  // the channel's tick runs into the stall

        QElapsedTimer elapsed;
        elapsed.start();
        const auto left = mng->Stop(500);
        mng.reset();
        QVERIFY2(elapsed.elapsed() < 1500, QByteArray::number(elapsed.elapsed()));
        QCOMPARE(left.size(), size_t{1});  // the request whose bid is out
        QTest::qWait(3000);                // the abandoned thread ends before the process does
    }
};

int main(int argc, char** argv) {
    StallingApp app(argc, argv);
    TransMngStopTest test;
    return QTest::qExec(&test, argc, argv);
}
#include "trans_mng_stop_test.moc"
