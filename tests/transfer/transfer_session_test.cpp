// The sequencing of uploads and downloads: one record per confirmation, the failure texts, the
// time-outs and cancels, and what keeps one transfer's records and answers out of another.
#include "transfer/transfer_session.h"

#include <gtest/gtest.h>

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
    // The records an exchange holding source sends for a download of exchange.
    void ReceiveAll(const SettingData& source, int exchange) {
        const UploadPlan plan(source, exchange);
        for (int s = 1; s < plan.size(); ++s) Receive(*plan.Record(s));
    }
    std::unique_ptr<SettingData> Random(uint32_t seed, int switchCnt) {
        auto data = std::make_unique<SettingData>();
        FillRandomRecordable(*data, seed);
        data->System.SwitchCnt = static_cast<uint8_t>(switchCnt);
        return data;
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
    EXPECT_EQ(bodies[0][0], 'A');
    EXPECT_EQ(bodies[1].substr(0, 4), "B011");  // masters of every exchange first
    EXPECT_EQ(bodies[13].substr(0, 5), "C0201");
    EXPECT_EQ(bodies.back(), "");  // the closing release request
    EXPECT_EQ(session_.outcome(), TransferOutcome::Uploaded);
    EXPECT_EQ(finished_, 1);
    EXPECT_FALSE(running_);
    EXPECT_TRUE(prompt_.shown.empty());
}

// A refused record, a device that does not open, and 120 seconds without a confirmation.
TEST_F(TransferSessionTest, UploadFailuresShowTheirTextAndCloseTheProgress) {
    const struct {
        uint32_t code;  // 0: the watchdog
        const char* text;
        TransferOutcome outcome;
    } cases[] = {{kResultNotDelivered, "Failed to transmit", TransferOutcome::FailedTransmit},
                 {kResultOpenFailed, "Failed to open the device", TransferOutcome::FailedOpen},
                 {0, "Failed to transmit", TransferOutcome::FailedTransmit}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.code);
        prompt_.shown.clear();
        session_.StartUpload(0);
        auto first = TakeOne();
        if (c.code) {
            session_.OnLinkResult(c.code, std::move(first));
        } else {
            for (int i = 0; i < 119; ++i) session_.OnTimer();
            EXPECT_TRUE(prompt_.shown.empty());
            session_.OnTimer();
            const auto& abandon = poster_.posted.front();
            EXPECT_EQ(std::tuple(abandon.wParam, abandon.request->clearMask),
                      std::tuple(kLinkAbandon, 3));
        }
        EXPECT_EQ(prompt_.texts(), std::vector<std::string>{c.text});
        EXPECT_EQ(prompt_.shown[0].icon, PromptIcon::Exclamation);
        EXPECT_EQ(poster_.posted.back().progress.message, UM_PROGRESS_CLOSE);
        EXPECT_EQ(session_.outcome(), c.outcome);
    }
}

TEST_F(TransferSessionTest, CancelDuringUploadAbandonsInsteadOfSending) {
    session_.StartUpload(0);
    auto first = TakeOne();
    cancel_ = 1;
    session_.OnLinkResult(kResultDone, std::move(first));
    EXPECT_EQ(poster_.posted.back().wParam, kLinkAbandon);
    session_.OnLinkResult(kResultReset, TakeOne());
    EXPECT_EQ(session_.outcome(), TransferOutcome::Cancelled);
    EXPECT_FALSE(session_.active());
    EXPECT_TRUE(prompt_.shown.empty());
}

TEST_F(TransferSessionTest, DownloadStoresEveryRecordAndReleasesTheLink) {
    const auto exchange = Random(17, 3);
    session_.StartDownload(0);
    auto request = TakeOne();
    EXPECT_EQ(std::tuple(request->body, request->setMask), std::tuple("Q00", 3));
    session_.OnLinkResult(kResultDone, std::move(request));
    EXPECT_EQ(session_.expected(), 145);  // SwitchCnt 1 here
    ReceiveAll(*exchange, 0);
    // The Global Setting raised SwitchCnt to 3: 2 + 144 * 3 - 1 records.
    EXPECT_EQ(std::tuple(session_.expected(), session_.received()), std::tuple(433, 433));
    auto requests = Take();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(std::tuple(requests[0].wParam, requests[0].request->setMask),
              std::tuple(kLinkSubmit, 0));  // a normal release
    EXPECT_EQ(finished_, 0);
    session_.OnLinkResult(kResultDone, std::move(requests[0].request));
    EXPECT_EQ(session_.outcome(), TransferOutcome::Downloaded);
    EXPECT_EQ(poster_.posted.back().progress.message, UM_PROGRESS_CLOSE);
    EXPECT_TRUE(doc_.modified);
    EXPECT_EQ(FirstRecordDifference(*exchange, doc_.data()), std::nullopt);
}

// Records before the request is confirmed are ignored; a time-out keeps what arrived; a device
// lost (a failure without a request) ends the download at once.
TEST_F(TransferSessionTest, DownloadTimeOutAndFailure) {
    session_.StartDownload(1);
    auto request = TakeOne();
    EXPECT_EQ(request->setMask, 2);
    Receive("M019");
    EXPECT_EQ(doc_.data().DirectSelect.OutMode[0], 0);
    session_.OnLinkResult(kResultDone, std::move(request));
    Receive("M015");
    EXPECT_EQ(doc_.data().DirectSelect.OutMode[0], 5);
    for (int i = 0; i < 120; ++i) session_.OnTimer();
    EXPECT_EQ(prompt_.texts(), std::vector<std::string>{"Communications time-out"});
    EXPECT_EQ(session_.outcome(), TransferOutcome::TimedOut);
    EXPECT_EQ(doc_.data().DirectSelect.OutMode[0], 5);
    EXPECT_TRUE(doc_.modified);

    prompt_.shown.clear();
    session_.StartDownload(0);
    session_.OnLinkResult(kResultNotDelivered, nullptr);
    EXPECT_EQ(prompt_.texts(), std::vector<std::string>{"Failed to receive"});
    EXPECT_FALSE(running_);
    EXPECT_EQ(session_.outcome(), TransferOutcome::FailedReceive);
}

TEST_F(TransferSessionTest, AnswersAfterTheEndOfTheirTransferChangeNothing) {
    session_.setTimeoutLimit(1);
    session_.StartUpload(0);
    auto inFlight = TakeOne();
    session_.OnTimer();  // the watchdog: "Failed to transmit", the link abandoned
    session_.OnLinkResult(kResultNotDelivered, std::move(inFlight));
    auto abandon = TakeOne();
    session_.StartDownload(0);  // another transfer at once
    session_.OnLinkResult(kResultReset, std::move(abandon));
    EXPECT_EQ(session_.outcome(), TransferOutcome::Running);
    EXPECT_EQ(prompt_.texts(), std::vector<std::string>{"Failed to transmit"});
}

TEST_F(TransferSessionTest, ADownloadStoresOnlyTheRecordsItAskedFor) {
    const auto source = Random(5, 3);
    auto expected = std::make_unique<SettingData>(doc_.data());
    const UploadPlan single(*source, 2);
    for (int s = 1; s < single.size(); ++s) Decode(*single.Record(s), *expected);
    session_.StartDownload(2);
    session_.OnLinkResult(kResultDone, TakeOne());
    ReceiveAll(*source, 0);        // an "All" download's records, exchange 2's among them
    EXPECT_EQ(Take().size(), 1u);  // the release, once every record asked for has arrived
    EXPECT_EQ(FirstRecordDifference(*expected, doc_.data()), std::nullopt);
}

TEST_F(TransferSessionTest, AnExchangesCancelAbandonsTheLinkAtOnce) {
    session_.StartDownload(0);
    session_.OnLinkResult(kResultDone, TakeOne());
    session_.OnExchangeCancel();
    EXPECT_EQ(TakeOne()->clearMask, 3);
    EXPECT_EQ(session_.outcome(), TransferOutcome::Cancelled);
}

}  // namespace
}  // namespace qn410::test
