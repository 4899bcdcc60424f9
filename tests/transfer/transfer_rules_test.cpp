// The rules of a transfer that keep one transfer's answers and records out of another, and the
// received records that are malformed because their texts carry control bytes.
#include <gtest/gtest.h>

#include "support/random_recordable.h"
#include "support/recording_poster.h"
#include "support/recording_prompt.h"
#include "transfer/record_codec.h"
#include "transfer/transfer_session.h"

namespace qn410::test {
namespace {

struct NoTimer : TransferHost {
    void StartTimer() override {}
    void StopTimer() override {}
};

class TransferRulesTest : public ::testing::Test {
  protected:
    // Takes the requests posted so far, oldest first.
    std::vector<TransferRequestPtr> Take() {
        std::vector<TransferRequestPtr> requests;
        for (auto& p : poster_.posted)
            if (p.isRequest) requests.push_back(std::move(p.request));
        poster_.posted.clear();
        return requests;
    }
    void Receive(const std::string& body) {
        auto item = std::make_unique<TransferRequest>();
        item->body = body;
        session_.OnLinkResult(kResultReceived, std::move(item));
    }

    SettingDocument doc_;
    RecordingPoster poster_;
    RecordingPrompt prompt_;
    NoTimer host_;
    int cancel_ = 0;
    TransferSession session_{doc_, poster_, prompt_, host_, this, cancel_};
};

TEST_F(TransferRulesTest, ADownloadStoresAndCountsOnlyTheRecordsItAskedFor) {
    auto source = std::make_unique<SettingDocument>();
    FillRandomRecordable(source->data(), 5);
    source->data().System.SwitchCnt = 3;
    const UploadPlan all(source->data(), 0), single(source->data(), 2);
    doc_.data().System.SwitchCnt = 3;
    session_.StartDownload(2);
    session_.OnLinkResult(kResultDone, std::move(Take()[0]));
    const auto before = std::make_unique<SettingData>(doc_.data());

    // Left over from a cancelled download: the other exchanges' records are not stored.
    for (int s = 1; s < all.size(); ++s) {
        const UploadStep step = all.step(s);
        if (step.letter != 'A' && step.letter != 'B' && step.request.exchange != 2)
            Receive(*all.Record(s));
    }
    EXPECT_EQ(session_.received(), 0);
    EXPECT_TRUE(*before == doc_.data());
    // Its own records, the first ten twice: complete only with the last of them.
    for (int s = 1; s <= 10; ++s) Receive(*single.Record(s));
    for (int s = 1; s < single.size() - 1; ++s) Receive(*single.Record(s));
    EXPECT_EQ(session_.received(), single.size() - 2);
    EXPECT_TRUE(Take().empty());
    Receive(*single.Record(single.size() - 1));
    auto release = Take();
    ASSERT_EQ(release.size(), 1u);
    session_.OnLinkResult(kResultDone, std::move(release[0]));
    EXPECT_EQ(session_.outcome(), TransferOutcome::Downloaded);
    const auto expected = std::make_unique<SettingData>(*before);
    for (int s = 1; s < single.size(); ++s) Decode(*single.Record(s), *expected);
    EXPECT_EQ(FirstRecordDifference(*expected, doc_.data()), std::nullopt);
}

TEST_F(TransferRulesTest, AnswersAfterTheEndOfTheirTransferChangeNothing) {
    // The watchdog ended the upload; the link's failure comes later.
    session_.setTimeoutLimit(1);
    session_.StartUpload(0);
    auto inFlight = Take();
    session_.OnTimer();
    session_.OnLinkResult(kResultNotDelivered, std::move(inFlight[0]));
    EXPECT_EQ(prompt_.texts(), std::vector<std::string>{"Failed to transmit"});
    Take();

    // A cancelled download, at once followed by another: the first one's answers arrive late.
    session_.StartDownload(0);
    auto firstQ = Take();
    cancel_ = 1;
    session_.OnTimer();
    auto abandon = Take();
    ASSERT_EQ(abandon.size(), 1u);
    cancel_ = 0;
    session_.StartDownload(1);
    session_.OnLinkResult(kResultReset, std::move(abandon[0]));
    session_.OnLinkResult(kResultNotDelivered, std::move(firstQ[0]));
    EXPECT_EQ(session_.outcome(), TransferOutcome::Running);
    session_.OnLinkResult(kResultDone, std::move(Take()[0]));
    Receive("M015");
    EXPECT_EQ(doc_.data().DirectSelect.OutMode[0], 5);
    EXPECT_EQ(prompt_.texts(), std::vector<std::string>{"Failed to transmit"});
}

TEST_F(TransferRulesTest, AnExchangesCancelAbandonsTheLinkAtOnce) {
    for (const bool upload : {true, false}) {
        upload ? session_.StartUpload(0) : session_.StartDownload(0);
        session_.OnLinkResult(kResultDone, std::move(Take()[0]));
        Take();
        session_.OnExchangeCancel();
        auto requests = Take();
        ASSERT_EQ(requests.size(), 1u);
        EXPECT_EQ(requests[0]->clearMask, 3);
        EXPECT_EQ(session_.outcome(), TransferOutcome::Cancelled);
        session_.OnLinkResult(kResultReset, std::move(requests[0]));
        EXPECT_FALSE(session_.active());
    }
    EXPECT_TRUE(prompt_.shown.empty());
}

TEST(ReceivedRecords, TextsWithControlBytesAreMalformedAndIgnoredWhole) {
    auto data = std::make_unique<SettingData>();
    FillRandomRecordable(*data, 9);
    data->System.SwitchCnt = 2;
    const RecordRequest one{.exchange = 1, .station = 1, .substation = 1, .data = data.get()};
    const struct {
        char letter;
        std::size_t pos;
    } fields[] = {{'A', 25}, {'A', 36}, {'B', 4},  {'B', 12}, {'B', 39},
                  {'C', 5},  {'C', 18}, {'D', 29}, {'U', 4},  {'U', 64}};
    for (const auto& f : fields) {
        const std::string good = *Encode(f.letter, one);
        for (const char control : {'\0', '\n', '\x1F', '\x7F'}) {
            std::string bad = good;
            bad[f.pos] = control;
            auto copy = std::make_unique<SettingData>(*data);
            EXPECT_FALSE(Decode(bad, *copy)) << f.letter << f.pos << int(control);
            EXPECT_TRUE(*copy == *data);
        }
        EXPECT_TRUE(Decode(good, *data)) << f.letter;
    }
}

}  // namespace
}  // namespace qn410::test
