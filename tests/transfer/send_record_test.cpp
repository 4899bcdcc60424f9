// The send step: what reaches the view, in which order, for each progress kind and on cancel.
#include "transfer/send_record.h"

#include <gtest/gtest.h>

#include "support/recording_poster.h"

namespace qn410 {
namespace {

int owner;  // stands for the requesting window

TransferRequest Header(uint8_t set, uint8_t clear, uint8_t exchange) {
    TransferRequest h;
    h.requester = &owner;
    h.setMask = set;
    h.clearMask = clear;
    h.exchange = exchange;
    return h;
}

TEST(SendRecordTest, SequenceStepNamesItsCategoryThenSubmits) {
    test::RecordingPoster poster;
    EXPECT_TRUE(
        SendRecord(poster, ProgressMode::Sequence, 4, 3, Header(2, 0, 5), "B051      ", false));
    ASSERT_EQ(poster.posted.size(), 2u);
    EXPECT_FALSE(poster.posted[0].isRequest);
    EXPECT_EQ(poster.posted[0].progress.message, UM_PROGRESS_STEP);
    EXPECT_EQ(poster.posted[0].progress.kind, kDisplayTransmitting);
    EXPECT_EQ(poster.posted[0].progress.name, "Master Stations (Telephones)");
    ASSERT_TRUE(poster.posted[1].isRequest);
    EXPECT_EQ(poster.posted[1].wParam, kLinkSubmit);
    EXPECT_EQ(poster.posted[1].request->body, "B051      ");
}

TEST(SendRecordTest, SingleAndClosingKindsAnnounceOnlyTheFirstStep) {
    test::RecordingPoster poster;
    SendRecord(poster, ProgressMode::Single, 5, 1, Header(2, 0, 1), "G011", false);
    SendRecord(poster, ProgressMode::Single, 5, 2, Header(2, 0, 1), "G012", false);
    SendRecord(poster, ProgressMode::Closing, 7, 1, Header(1, 1, 1), "F01", false);
    SendRecord(poster, ProgressMode::Closing, 7, 2, Header(1, 1, 1), "F01", false);
    ASSERT_EQ(poster.posted.size(), 6u);
    EXPECT_EQ(poster.posted[0].progress.message, UM_PROGRESS_START);
    EXPECT_EQ(poster.posted[0].progress.name, "Scan Monitor");
    EXPECT_EQ(poster.posted[0].progress.total, 5);
    EXPECT_EQ(poster.posted[0].progress.kind, kDisplayTransmitting);
    EXPECT_TRUE(poster.posted[1].isRequest);
    EXPECT_TRUE(poster.posted[2].isRequest);
    EXPECT_EQ(poster.posted[3].progress.message, UM_PROGRESS_RESTART);
    EXPECT_EQ(poster.posted[3].progress.name, "Call Forwarding/Time-Out");
    EXPECT_EQ(poster.posted[3].progress.total, 7);
    EXPECT_TRUE(poster.posted[4].isRequest);
    EXPECT_TRUE(poster.posted[5].isRequest);
}

TEST(SendRecordTest, CancelClosesProgressAndAbandonsInsteadOfSending) {
    test::RecordingPoster poster;
    EXPECT_FALSE(SendRecord(poster, ProgressMode::Sequence, 64, 9, Header(2, 0, 3), "C0309", true));
    ASSERT_EQ(poster.posted.size(), 3u);
    EXPECT_EQ(poster.posted[0].progress.message, UM_PROGRESS_STEP);
    EXPECT_EQ(poster.posted[1].progress.message, UM_PROGRESS_CLOSE);
    EXPECT_EQ(poster.posted[1].progress.kind, 0);
    ASSERT_TRUE(poster.posted[2].isRequest);
    EXPECT_EQ(poster.posted[2].wParam, kLinkAbandon);
    const TransferRequest& r = *poster.posted[2].request;
    EXPECT_EQ(r.requester, &owner);
    EXPECT_EQ(r.setMask, 0);
    EXPECT_EQ(r.clearMask, 3);
    EXPECT_TRUE(r.body.empty());
}

}  // namespace
}  // namespace qn410
