// What keeps one transfer's records and answers out of another; control bytes in received texts.
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
    std::vector<TransferRequestPtr> Take() {  // the requests posted so far
        std::vector<TransferRequestPtr> requests;
        for (auto& p : poster_.posted)
            if (p.isRequest) requests.push_back(std::move(p.request));
        poster_.posted.clear();
        return requests;
    }

    SettingDocument doc_;
    RecordingPoster poster_;
    RecordingPrompt prompt_;
    NoTimer host_;
    int cancel_ = 0;
    TransferSession session_{doc_, poster_, prompt_, host_, this, cancel_};
};

TEST_F(TransferRulesTest, AnswersAfterTheEndOfTheirTransferChangeNothing) {
    session_.setTimeoutLimit(1);
    session_.StartUpload(0);
    auto inFlight = Take();
    session_.OnTimer();  // the watchdog: "Failed to transmit", the link abandoned
    session_.OnLinkResult(kResultNotDelivered, std::move(inFlight[0]));
    auto abandon = Take();
    session_.StartDownload(0);  // another transfer at once
    session_.OnLinkResult(kResultReset, std::move(abandon[0]));
    EXPECT_EQ(session_.outcome(), TransferOutcome::Running);
    EXPECT_EQ(prompt_.texts(), std::vector<std::string>{"Failed to transmit"});
}

TEST_F(TransferRulesTest, ADownloadStoresOnlyTheRecordsItAskedFor) {
    auto source = std::make_unique<SettingDocument>();
    FillRandomRecordable(source->data(), 5);
    source->data().System.SwitchCnt = 3;
    const UploadPlan all(source->data(), 0), single(source->data(), 2);
    auto expected = std::make_unique<SettingData>(doc_.data());
    for (int s = 1; s < single.size(); ++s) Decode(*single.Record(s), *expected);
    session_.StartDownload(2);
    session_.OnLinkResult(kResultDone, std::move(Take()[0]));
    for (int s = 1; s < all.size(); ++s) {  // an "All" download's records, exchange 2's among them
        auto item = std::make_unique<TransferRequest>();
        item->body = *all.Record(s);
        session_.OnLinkResult(kResultReceived, std::move(item));
    }
    EXPECT_EQ(Take().size(), 1u);  // the release, once every record asked for has arrived
    EXPECT_EQ(FirstRecordDifference(*expected, doc_.data()), std::nullopt);
}

TEST_F(TransferRulesTest, AnExchangesCancelAbandonsTheLinkAtOnce) {
    session_.StartDownload(0);
    session_.OnLinkResult(kResultDone, std::move(Take()[0]));
    session_.OnExchangeCancel();
    auto requests = Take();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0]->clearMask, 3);
    EXPECT_EQ(session_.outcome(), TransferOutcome::Cancelled);
}

TEST(ReceivedRecords, TextsWithControlBytesAreMalformedAndIgnoredWhole) {
    auto data = std::make_unique<SettingData>();
    FillRandomRecordable(*data, 9);
    data->System.SwitchCnt = 2;
    const auto original = std::make_unique<SettingData>(*data);
    const RecordRequest one{.exchange = 1, .station = 1, .substation = 1, .data = data.get()};
    // A place in every text field: SwNumber, Number, Name, TelNo, line names, transfer numbers.
    const std::pair<char, int> fields[] = {{'A', 25}, {'A', 36}, {'B', 4},  {'B', 12}, {'B', 39},
                                           {'C', 5},  {'C', 18}, {'D', 29}, {'U', 4},  {'U', 64}};
    for (const auto& [letter, pos] : fields) {
        std::string record = *Encode(letter, one);
        for (const char control : {'\0', '\n', '\x1F', '\x7F'}) {
            record[pos] = control;
            EXPECT_FALSE(Decode(record, *data)) << letter << pos << int(control);
        }
    }
    EXPECT_TRUE(*data == *original);
}

}  // namespace
}  // namespace qn410::test
