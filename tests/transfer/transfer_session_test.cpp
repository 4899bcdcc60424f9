#include "transfer/transfer_session.h"

#include <gtest/gtest.h>

#include "support/random_recordable.h"
#include "support/recording_poster.h"
#include "support/recording_prompt.h"
#include "transfer/record_codec.h"

namespace qn410::test {
namespace {

class CountingHost : public TransferHost {
  public:
    void StartTimer() override { running = true; }
    void StopTimer() override { running = false; }
    void Finished(TransferOutcome o) override {
        ++finished;
        outcome = o;
    }
    bool running = false;
    int finished = 0;
    TransferOutcome outcome = TransferOutcome::Running;
};

class TransferSessionTest : public ::testing::Test {
  protected:
    TransferSession& Session() {
        if (!session_)
            session_ = std::make_unique<TransferSession>(doc_, poster_, prompt_, host_, this,
                                                         cancel_, &clock_);
        return *session_;
    }

    // Takes the requests posted so far, oldest first.
    std::vector<RecordingPoster::Posted> TakeRequests() {
        std::vector<RecordingPoster::Posted> requests;
        for (auto& p : poster_.posted)
            if (p.isRequest) requests.push_back(std::move(p));
        poster_.posted.clear();
        return requests;
    }

    // Confirms every request the session sends until it stops sending; returns the bodies.
    std::vector<std::string> ConfirmAll() {
        std::vector<std::string> bodies;
        for (;;) {
            auto requests = TakeRequests();
            if (requests.empty()) return bodies;
            for (auto& r : requests) {
                bodies.push_back(r.request->body);
                Session().OnLinkResult(kResultDone, std::move(r.request));
            }
        }
    }

    bool Posted(AppMessage message, int kind = -1, const std::string& name = "?",
                int total = -1) const {
        for (const auto& p : poster_.posted)
            if (!p.isRequest && p.progress.message == message &&
                (kind < 0 || p.progress.kind == kind) && (name == "?" || p.progress.name == name) &&
                (total < 0 || p.progress.total == total))
                return true;
        return false;
    }

    SettingDocument doc_;
    RecordingPoster poster_;
    RecordingPrompt prompt_;
    CountingHost host_;
    int cancel_ = 0;
    FixedClock clock_{LocalTime{2026, 12, 6, 9, 30, 0, 0}};
    std::unique_ptr<TransferSession> session_;
};

TEST_F(TransferSessionTest, UploadSendsOneRecordPerConfirmationThenCloses) {
    doc_.data().System.SwitchCnt = 3;
    Session().StartUpload(2);
    EXPECT_TRUE(Posted(UM_PROGRESS_START, kDisplayTransmitting, "Global Setting", 154));
    ASSERT_EQ(poster_.posted.back().request->letter(), 'A');
    auto first = TakeRequests();
    ASSERT_EQ(first.size(), 1u);  // nothing more until the link confirms
    Session().OnLinkResult(kResultDone, std::move(first[0].request));
    const std::vector<std::string> bodies = ConfirmAll();
    ASSERT_EQ(bodies.size(), 153u);
    EXPECT_EQ(bodies[0].substr(0, 4), "B011");  // masters of every exchange first
    EXPECT_EQ(bodies[12].substr(0, 5), "C0201");
    EXPECT_EQ(bodies.back(), "");  // the closing release request
    EXPECT_EQ(host_.outcome, TransferOutcome::Uploaded);
    EXPECT_EQ(host_.finished, 1);
    EXPECT_FALSE(host_.running);
    EXPECT_TRUE(prompt_.shown.empty());
}

TEST_F(TransferSessionTest, UploadFailuresShowTheirTextAndCloseTheProgress) {
    const struct {
        uint32_t code;
        const char* text;
        TransferOutcome outcome;
    } cases[] = {{kResultNotDelivered, "Failed to transmit", TransferOutcome::FailedTransmit},
                 {kResultOpenFailed, "Failed to open the device", TransferOutcome::FailedOpen}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        session_.reset();
        prompt_.shown.clear();
        Session().StartUpload(0);
        auto requests = TakeRequests();
        Session().OnLinkResult(c.code, std::move(requests[0].request));
        EXPECT_EQ(prompt_.texts(), std::vector<std::string>{c.text});
        EXPECT_EQ(prompt_.shown[0].icon, PromptIcon::Exclamation);
        EXPECT_TRUE(Posted(UM_PROGRESS_CLOSE));
        EXPECT_EQ(host_.outcome, c.outcome);
        EXPECT_TRUE(TakeRequests().empty());
    }
}

TEST_F(TransferSessionTest, UploadTimesOutAfter120SecondsAndAbandonsTheLink) {
    Session().StartUpload(0);
    TakeRequests();
    for (int i = 0; i < 119; ++i) Session().OnTimer();
    EXPECT_TRUE(prompt_.shown.empty());
    Session().OnTimer();
    auto requests = TakeRequests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].wParam, kLinkAbandon);
    EXPECT_EQ(requests[0].request->clearMask, 3);
    EXPECT_EQ(prompt_.texts(), std::vector<std::string>{"Failed to transmit"});
    EXPECT_EQ(host_.outcome, TransferOutcome::FailedTransmit);
}

TEST_F(TransferSessionTest, CancelDuringUploadAbandonsInsteadOfSending) {
    Session().StartUpload(0);
    auto requests = TakeRequests();
    cancel_ = 1;
    Session().OnLinkResult(kResultDone, std::move(requests[0].request));
    requests = TakeRequests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].wParam, kLinkAbandon);
    Session().OnLinkResult(kResultReset, std::move(requests[0].request));
    EXPECT_EQ(host_.outcome, TransferOutcome::Cancelled);
    EXPECT_FALSE(Session().active());
    EXPECT_TRUE(prompt_.shown.empty());
}

// Feeds the session the records an exchange holding `source` sends for a download.
void SendRecordsOf(TransferSession& session, const SettingData& source, int exchange) {
    UploadPlan plan(source, exchange);
    for (int s = 1; s < plan.size(); ++s) {  // every record but the closing message
        auto item = std::make_unique<TransferRequest>();
        item->body = *plan.Record(s);
        session.OnLinkResult(kResultReceived, std::move(item));
    }
}

TEST_F(TransferSessionTest, DownloadStoresEveryRecordAndReleasesTheLink) {
    SettingDocument exchange;
    FillRandomRecordable(exchange.data(), 17);
    exchange.data().System.SwitchCnt = 3;

    Session().StartDownload(0);
    auto requests = TakeRequests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].request->body, "Q00");
    EXPECT_EQ(requests[0].request->setMask, 3);
    Session().OnLinkResult(kResultDone, std::move(requests[0].request));
    EXPECT_TRUE(Posted(UM_PROGRESS_RESTART, kDisplayReceiving, "", 145));  // SwitchCnt 1 here

    poster_.posted.clear();
    SendRecordsOf(Session(), exchange.data(), 0);
    // The Global Setting raised SwitchCnt to 3: 2 + 144 * 3 - 1 records.
    EXPECT_TRUE(Posted(UM_PROGRESS_RESTART, kDisplayReceiving, "", 433));
    EXPECT_TRUE(Posted(UM_PROGRESS_STEP, kDisplayReceiving, "Substations"));
    EXPECT_EQ(Session().received(), 433);
    requests = TakeRequests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].wParam, kLinkSubmit);  // a normal release
    EXPECT_EQ(requests[0].request->setMask, 0);
    EXPECT_EQ(host_.finished, 0);
    Session().OnLinkResult(kResultDone, std::move(requests[0].request));

    EXPECT_EQ(host_.outcome, TransferOutcome::Downloaded);
    EXPECT_TRUE(Posted(UM_PROGRESS_CLOSE));
    EXPECT_TRUE(doc_.modified);
    EXPECT_EQ(FirstRecordDifference(exchange.data(), doc_.data()), std::nullopt);
}

TEST_F(TransferSessionTest, DownloadTimeOutKeepsWhatArrived) {
    Session().StartDownload(1);
    auto requests = TakeRequests();
    EXPECT_EQ(requests[0].request->setMask, 2);
    Session().OnLinkResult(kResultDone, std::move(requests[0].request));
    auto item = std::make_unique<TransferRequest>();
    item->body = "M015";
    Session().OnLinkResult(kResultReceived, std::move(item));
    EXPECT_EQ(doc_.data().DirectSelect.OutMode[0], 5);
    for (int i = 0; i < 120; ++i) Session().OnTimer();
    EXPECT_EQ(prompt_.texts(), std::vector<std::string>{"Communications time-out"});
    EXPECT_EQ(host_.outcome, TransferOutcome::TimedOut);
    EXPECT_EQ(doc_.data().DirectSelect.OutMode[0], 5);
    EXPECT_TRUE(doc_.modified);
}

TEST_F(TransferSessionTest, DownloadIgnoresRecordsBeforeTheRequestIsConfirmedAndFails) {
    Session().StartDownload(0);
    auto item = std::make_unique<TransferRequest>();
    item->body = "M019";
    Session().OnLinkResult(kResultReceived, std::move(item));
    EXPECT_EQ(Session().received(), 0);
    EXPECT_EQ(doc_.data().DirectSelect.OutMode[0], 0);
    auto requests = TakeRequests();
    Session().OnLinkResult(kResultNotDelivered, std::move(requests[0].request));
    EXPECT_EQ(prompt_.texts(), std::vector<std::string>{"Failed to receive"});
    EXPECT_FALSE(host_.running);
    EXPECT_EQ(host_.outcome, TransferOutcome::FailedReceive);
}

}  // namespace
}  // namespace qn410::test
