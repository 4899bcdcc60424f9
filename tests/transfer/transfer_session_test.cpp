// The sequencing of uploads and downloads: one record per confirmation, the failure texts, the
// time-outs and cancels, and what keeps one transfer's records and answers out of another.
#include "transfer/transfer_session.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "support/random_recordable.h"
#include "support/recording_poster.h"
#include "support/recording_prompt.h"
#include "transfer/record_codec.h"

namespace qn410::test {
namespace {

class TransferSessionTest : public ::testing::Test, public TransferHost {
  protected:
    void StartTimer() override { running_ = true; }
    void StopTimer() override { running_ = false; }
    void Finished(TransferOutcome) override { ++finished_; }

    // The requests posted since the last call, oldest first; progress messages are dropped.
    std::vector<RecordingPoster::Posted> Take() {
        std::vector<RecordingPoster::Posted> requests;
        for (auto& p : poster_.posted)
            if (p.isRequest) requests.push_back(std::move(p));
        poster_.posted.clear();
        return requests;
    }
    TransferRequestPtr TakeOne() {
        auto requests = Take();
        EXPECT_EQ(requests.size(), 1u);
        return requests.empty() ? nullptr : std::move(requests[0].request);
    }
    void Receive(const std::string& body) {
        auto item = std::make_unique<TransferRequest>();
        item->body = body;
        session_.OnLinkResult(kResultReceived, std::move(item));
    }
    // The records of a random three-exchange installation, as it sends them for exchange.
    std::unique_ptr<SettingData> ReceiveAll(uint32_t seed, int exchange) {
        auto source = std::make_unique<SettingData>();
        FillRandomRecordable(*source, seed);
        source->System.SwitchCnt = 3;
        const UploadPlan plan(*source, exchange);
        for (int s = 1; s < plan.size(); ++s) Receive(*plan.Record(s));
        return source;
    }

    SettingDocument doc_;
    RecordingPoster poster_;
    RecordingPrompt prompt_;
    int cancel_ = 0;
    bool running_ = false;
    int finished_ = 0;
    FixedClock clock_{LocalTime{2026, 12, 6, 9, 30, 0, 0}};
    TransferSession session_{doc_, poster_, prompt_, *this, this, cancel_, &clock_};
};

TEST_F(TransferSessionTest, UploadSendsOneRecordPerConfirmationThenCloses) {
    doc_.data().System.SwitchCnt = 3;
    session_.StartUpload(2);
    std::vector<std::string> bodies;
    for (auto requests = Take(); !requests.empty(); requests = Take()) {
        ASSERT_EQ(requests.size(), 1u);  // nothing more until the link confirms
        bodies.push_back(requests[0].request->body);
        session_.OnLinkResult(kResultDone, std::move(requests[0].request));
    }
    ASSERT_EQ(bodies.size(), 154u);
    EXPECT_EQ(bodies[1].substr(0, 4) + bodies[13].substr(0, 5), "B011C0201");
    EXPECT_EQ(bodies.back(), "");  // the closing release request
    EXPECT_EQ(std::tuple(session_.outcome(), finished_, running_, prompt_.shown.size()),
              std::tuple(TransferOutcome::Uploaded, 1, false, 0u));
}

// A refused record, a device that does not open, 120 seconds without a confirmation, and
// Cancel in the progress dialog (the link abandoned instead of the next record, nothing shown).
TEST_F(TransferSessionTest, HowAnUploadEndsEarly) {
    enum { kWatchdog = 100, kCancel };
    const struct {
        uint32_t how;
        const char* text;
        TransferOutcome outcome;
    } cases[] = {{kResultNotDelivered, "Failed to transmit", TransferOutcome::FailedTransmit},
                 {kResultOpenFailed, "Failed to open the device", TransferOutcome::FailedOpen},
                 {kWatchdog, "Failed to transmit", TransferOutcome::FailedTransmit},
                 {kCancel, nullptr, TransferOutcome::Cancelled}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.how);
        prompt_.shown.clear();
        session_.StartUpload(0);
        auto first = TakeOne();
        if (c.how == kWatchdog) {
            for (int i = 0; i < 119; ++i) session_.OnTimer();
            EXPECT_TRUE(prompt_.shown.empty());
            session_.OnTimer();
        } else if (c.how == kCancel) {
            cancel_ = 1;
            session_.OnLinkResult(kResultDone, std::move(first));
        } else {
            session_.OnLinkResult(c.how, std::move(first));
        }
        if (c.text) {
            EXPECT_EQ(prompt_.texts(), std::vector<std::string>{c.text});
            EXPECT_EQ(prompt_.shown[0].icon, PromptIcon::Exclamation);
            EXPECT_EQ(poster_.posted.back().progress.message, UM_PROGRESS_CLOSE);
        }
        if (c.how >= kWatchdog) {
            auto abandon = Take();
            ASSERT_EQ(abandon.size(), 1u);
            EXPECT_EQ(std::tuple(abandon[0].wParam, abandon[0].request->clearMask),
                      std::tuple(kLinkAbandon, 3));
            session_.OnLinkResult(kResultReset, std::move(abandon[0].request));
        }
        EXPECT_EQ(session_.outcome(), c.outcome);
    }
}

TEST_F(TransferSessionTest, DownloadStoresEveryRecordAndReleasesTheLink) {
    session_.StartDownload(0);
    auto request = TakeOne();
    EXPECT_EQ(std::tuple(request->body, request->setMask), std::tuple("Q00", 3));
    session_.OnLinkResult(kResultDone, std::move(request));
    EXPECT_EQ(session_.expected(), 145);  // SwitchCnt 1 here
    const auto source = ReceiveAll(17, 0);
    // The Global Setting raised SwitchCnt to 3: 2 + 144 * 3 - 1 records.
    EXPECT_EQ(std::tuple(session_.expected(), session_.received()), std::tuple(433, 433));
    auto release = Take();
    ASSERT_EQ(release.size(), 1u);
    EXPECT_EQ(std::tuple(release[0].wParam, release[0].request->setMask, finished_),
              std::tuple(kLinkSubmit, 0, 0));  // a normal release
    session_.OnLinkResult(kResultDone, std::move(release[0].request));
    EXPECT_EQ(session_.outcome(), TransferOutcome::Downloaded);
    EXPECT_EQ(poster_.posted.back().progress.message, UM_PROGRESS_CLOSE);
    EXPECT_TRUE(doc_.modified);
    EXPECT_EQ(FirstRecordDifference(*source, doc_.data()), std::nullopt);
    for (int e = 0; e < 3; ++e)  // the decoders keep the zone tables in step
        EXPECT_TRUE(std::ranges::equal(doc_.data().Zones.Sub[e], source->Zones.Sub[e])) << e;
}

// Records before the request is confirmed are ignored; a time-out keeps what arrived; a device
// lost (a failure without a request) ends the download at once; so does an exchange's cancel.
TEST_F(TransferSessionTest, DownloadTimeOutLossAndCancel) {
    session_.StartDownload(1);
    auto request = TakeOne();
    EXPECT_EQ(request->setMask, 2);
    Receive("M019");
    session_.OnLinkResult(kResultDone, std::move(request));
    Receive("M015");
    for (int i = 0; i < 120; ++i) session_.OnTimer();
    EXPECT_EQ(prompt_.texts(), std::vector<std::string>{"Communications time-out"});
    EXPECT_EQ(session_.outcome(), TransferOutcome::TimedOut);
    EXPECT_EQ(std::tuple(+doc_.data().DirectSelect.OutMode[0], doc_.modified), std::tuple(5, true));

    prompt_.shown.clear();
    session_.StartDownload(0);
    session_.OnLinkResult(kResultNotDelivered, nullptr);
    EXPECT_EQ(prompt_.texts(), std::vector<std::string>{"Failed to receive"});
    EXPECT_EQ(std::tuple(session_.outcome(), running_),
              std::tuple(TransferOutcome::FailedReceive, false));

    session_.StartDownload(0);
    Take();
    session_.OnExchangeCancel();
    EXPECT_EQ(TakeOne()->clearMask, 3);
    EXPECT_EQ(session_.outcome(), TransferOutcome::Cancelled);
}

// Answers of a transfer that has ended change nothing in the next; a download stores only the
// records it asked for (of an "All" download's, only exchange 2's) and releases once they are in.
TEST_F(TransferSessionTest, OneTransfersAnswersAndRecordsStayOutOfAnother) {
    session_.setTimeoutLimit(1);
    session_.StartUpload(0);
    auto inFlight = TakeOne();
    session_.OnTimer();  // the watchdog: "Failed to transmit", the link abandoned
    session_.OnLinkResult(kResultNotDelivered, std::move(inFlight));
    auto abandon = TakeOne();
    session_.StartDownload(2);  // another transfer at once
    session_.OnLinkResult(kResultReset, std::move(abandon));
    EXPECT_EQ(session_.outcome(), TransferOutcome::Running);
    EXPECT_EQ(prompt_.texts(), std::vector<std::string>{"Failed to transmit"});

    session_.OnLinkResult(kResultDone, TakeOne());
    auto expected = std::make_unique<SettingData>(doc_.data());
    const auto source = ReceiveAll(5, 0);
    EXPECT_EQ(Take().size(), 1u);
    const UploadPlan single(*source, 2);
    for (int s = 1; s < single.size(); ++s) Decode(*single.Record(s), *expected);
    EXPECT_EQ(FirstRecordDifference(*expected, doc_.data()), std::nullopt);
}

}  // namespace
}  // namespace qn410::test
