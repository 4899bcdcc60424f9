// The link broker against a recording transfer manager: every request is answered exactly once
// with the right code, and LinkUseMask follows the users of the link. Opening, sending, a port
// that does not open and closing for good run end to end in the sheet's and qn410ctl's tests.
#include "link/link_broker.h"

#include <QtTest>
#include <deque>
#include <memory>

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
    void Enqueue(int slot, TransferRequestPtr r) override {
        calls.push_back("Enqueue " + std::to_string(slot) + " " + r->body);
        queued.push_back(std::move(r));
    }
    void ResetSlot(uint8_t exchange) override {
        calls.push_back("ResetSlot " + std::to_string(exchange));
    }
    std::vector<TransferRequestPtr> Stop(int) override {
        calls.push_back("Stop");
        std::vector<TransferRequestPtr> left;
        for (auto& r : queued) left.push_back(std::move(r));
        queued.clear();
        return left;
    }
    TransferRequestPtr Take() {
        TransferRequestPtr r = std::move(queued.front());
        queued.pop_front();
        return r;
    }

    std::vector<std::string> calls;
    std::deque<TransferRequestPtr> queued;
};

MaintenanceSetting Method(uint8_t pcConnect) {
    MaintenanceSetting s{};
    s.PcConnect = pcConnect;
    return s;
}

}  // namespace

class LinkBrokerTest : public QObject {
    Q_OBJECT

  private:
    LogHistory history;
    FixedClock clock{LocalTime{}};
    RecordingPrompt prompt;
    std::unique_ptr<LinkBroker> broker;
    FakeControl* control = nullptr;
    std::unique_ptr<LinkRecorder> window;

    void StartWith(uint8_t pcConnect) {
        broker = std::make_unique<LinkBroker>(history, clock, prompt,
                                              [this](QObject*, const MaintenanceSetting&) {
                                                  auto fake = std::make_unique<FakeControl>();
                                                  control = fake.get();
                                                  return fake;
                                              });
        broker->Start(Method(pcConnect));
    }
    void Submit(QObject* requester, const std::string& body, uint8_t set, uint8_t clear,
                bool abandon = false) {
        auto r = std::make_unique<TransferRequest>();
        r->body = body;
        r->setMask = set;
        r->clearMask = clear;
        r->exchange = 2;
        PostLinkRequest(broker.get(), requester, std::move(r), abandon);
        QCoreApplication::processEvents();
    }
    // The transfer manager reports to the broker.
    void Notify(uint16_t message, uint32_t wParam = 0, TransferRequestPtr item = nullptr) {
        PostLinkEvent(broker.get(), std::make_unique<LinkEvent>(message, wParam, std::move(item)));
        QCoreApplication::processEvents();
    }
    std::vector<std::pair<uint32_t, std::string>> Results(const LinkRecorder& who) {
        QCoreApplication::processEvents();
        std::vector<std::pair<uint32_t, std::string>> out;
        for (const Recorded& r : who.Of(UM_LINK_RESULT)) out.emplace_back(r.wParam, r.body);
        return out;
    }
    using Results_t = std::vector<std::pair<uint32_t, std::string>>;

  private slots:
    void init() { window = std::make_unique<LinkRecorder>(); }
    void cleanup() {
        broker.reset();
        window.reset();
        control = nullptr;
    }

    void requestDuringStartUpIsQueuedWhenTheStartUpConnects() {
        StartWith(0);
        Submit(window.get(), "B02", kUseMulti, 0);
        QCOMPARE(broker->linkUseMask(), uint8_t(kUseStartup | kUseMulti));
        Notify(UM_LINK_CONNECTED);  // the start-up's answer
        Notify(UM_LINK_CONNECTED);  // the request's answer
        QCOMPARE(control->queued.size(), size_t{1});
        QCOMPARE(broker->linkUseMask(), kUseMulti);
    }

    // A start-up that fails tells nobody; each later request tries again and a failed open
    // answers every request waiting for it.
    void channelThatDoesNotOpenAnswersEveryWaitingRequest() {
        StartWith(0);
        Notify(UM_LINK_ERROR, 0x8200);
        QCOMPARE(broker->linkUseMask(), uint8_t{0});
        QVERIFY(Results(*window).empty());
        LinkRecorder other;
        Submit(window.get(), "A02", kUseSingle, kUseSingle);
        QCOMPARE(control->calls.back(), std::string("Connect 2"));
        Submit(&other, "O00", kUseLog, 0);
        Notify(UM_LINK_ERROR, 0x8200);
        Notify(UM_LINK_ERROR, 0x8200);  // the second open's failure finds nobody waiting
        QCOMPARE(Results(*window), (Results_t{{kResultOpenFailed, "A02"}}));
        QCOMPARE(Results(other), (Results_t{{kResultOpenFailed, "O00"}}));
        QCOMPARE(broker->linkUseMask(), uint8_t{0});
    }

    void abandonResetsTheSlotAndIsAnsweredReset() {
        StartWith(0);
        Notify(UM_LINK_CONNECTED);
        Submit(window.get(), "Q02", 3, 0);
        Notify(UM_LINK_CONNECTED);
        Submit(window.get(), "", 0, 3, true);
        QCOMPARE(control->calls.back(), std::string("ResetSlot 2"));
        QCOMPARE(broker->linkUseMask(), uint8_t{0});
        Notify(UM_LINK_RESET, 1, control->Take());  // the dropped request rides back
        QCOMPARE(Results(*window), (Results_t{{kResultReset, ""}}));
    }

    void abandonWithNothingInFlightStillAnswers() {
        StartWith(0);
        Submit(window.get(), "", 0, 0, true);
        Notify(UM_LINK_RESET, 1);
        Notify(UM_LINK_RESET, 1);  // a stray reset answers nobody
        QCOMPARE(Results(*window), (Results_t{{kResultReset, ""}}));
    }

    void releaseIsAnsweredDoneAndHangsUpTheModemOnlyWhenUnused() {
        StartWith(1);
        QCOMPARE(broker->linkUseMask(), uint8_t{0});
        QVERIFY(control->calls.empty());  // nothing is dialled at start
        Submit(window.get(), "O00", kUseLog, 0);
        Submit(window.get(), "P00", kUseMonitor, 0);
        Submit(window.get(), "", 0, kUseLog);
        QVERIFY(control->calls.back() != "Disconnect");
        QCOMPARE(broker->linkUseMask(), kUseMonitor);
        Submit(window.get(), "", 0, kUseMonitor);
        QCOMPARE(control->calls.back(), std::string("Disconnect"));
        QCOMPARE(Results(*window), (Results_t{{kResultDone, ""}, {kResultDone, ""}}));
    }

    void endedTransmitDisplayReleasesTheTransferBitsAndPendingFollowsAnswers() {
        StartWith(1);
        Submit(window.get(), "B02", kUseMulti, 0);
        Submit(window.get(), "P00", kUseMonitor, 0);
        QVERIFY(broker->pending());
        broker->ReleaseBits(kUseSingle | kUseMulti);
        QCOMPARE(broker->linkUseMask(), kUseMonitor);
        QVERIFY(control->calls.back() != "Disconnect");  // monitoring still holds the call
        Notify(UM_LINK_CONNECTED);
        Notify(UM_LINK_SENT, 0x0101, control->Take());
        Notify(UM_LINK_SENT, 0x0101, control->Take());
        QVERIFY(!broker->pending());
        broker->ReleaseBits(kUseMonitor);
        QCOMPARE(control->calls.back(), std::string("Disconnect"));
    }

    void releaseNeverHangsUpTheSerialPort() {
        StartWith(0);
        Notify(UM_LINK_CONNECTED);
        Submit(window.get(), "", 0, kUseLog);
        QVERIFY(control->calls.back() != "Disconnect");
        QCOMPARE(Results(*window), (Results_t{{kResultDone, ""}}));
    }

    void receiveFailureIsNotPassedOn() {
        StartWith(0);
        Notify(UM_LINK_CONNECTED);
        Submit(window.get(), "A02", kUseSingle, kUseSingle);
        Notify(UM_LINK_ERROR, 0x8500);
        Notify(UM_LINK_ERROR, 0x8501);
        QVERIFY(Results(*window).empty());
        QCOMPARE(broker->linkUseMask(), kUseSingle);
    }

    void destroyedRequesterIsSkipped() {
        StartWith(0);
        Notify(UM_LINK_CONNECTED);
        auto gone = std::make_unique<LinkRecorder>();
        Submit(gone.get(), "A02", kUseSingle, kUseSingle);
        Notify(UM_LINK_CONNECTED);
        gone.reset();
        Notify(UM_LINK_SENT, 0x0101, control->Take());  // released, nobody posted to
        QCOMPARE(broker->linkUseMask(), uint8_t{0});
        Submit(window.get(), "A03", kUseSingle, kUseSingle);
        Notify(UM_LINK_CONNECTED);
        Notify(UM_LINK_SENT, 0x0101, control->Take());
        QCOMPARE(Results(*window), (Results_t{{kResultDone, "A03"}}));
    }

    void requesterGoneBeforeTheRequestArrives() {
        StartWith(0);
        Notify(UM_LINK_CONNECTED);
        auto gone = std::make_unique<LinkRecorder>();
        auto r = std::make_unique<TransferRequest>();
        r->body = "A02";
        r->setMask = r->clearMask = kUseSingle;
        PostLinkRequest(broker.get(), gone.get(), std::move(r));
        gone.reset();  // destroyed while its request is still in the broker's queue
        QCoreApplication::processEvents();
        Notify(UM_LINK_CONNECTED);
        Notify(UM_LINK_SENT, 0x0101, control->Take());
        QCOMPARE(broker->linkUseMask(), uint8_t{0});
    }

    void stopClosesThePortAndAnswersWhatIsLeft() {
        StartWith(0);
        Notify(UM_LINK_CONNECTED);
        Submit(window.get(), "A02", kUseSingle, kUseSingle);
        Notify(UM_LINK_CONNECTED);
        broker->Stop();
        QCOMPARE(Results(*window), (Results_t{{kResultNotDelivered, "A02"}}));
        QCOMPARE(broker->linkUseMask(), kUseClosing);
        // Restart with the new settings: a fresh manager, the port opened again.
        broker->Start(Method(0));
        QCOMPARE(control->calls, std::vector<std::string>{"Connect 1"});
        QCOMPARE(broker->linkUseMask(), kUseStartup);
        Notify(UM_LINK_DISCONNECTED);  // the old port's close does not close the program
        QCOMPARE(broker->linkUseMask(), kUseStartup);
    }

    void unusedModemLetsTheWindowCloseAtOnce() {
        StartWith(1);
        QVERIFY(broker->OnMainWindowClose());
        QVERIFY(control->calls.empty());
    }
};

QTEST_GUILESS_MAIN(LinkBrokerTest)
#include "link_broker_test.moc"
