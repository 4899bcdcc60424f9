// The upload sequence against the order table written out as nested loops, over several
// exchange counts, and the download counts.
#include "transfer/upload_plan.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "sample_data.h"
#include "support/recording_poster.h"

namespace qn410 {
namespace {

struct Expected {
    char letter;
    int exchange, unit, total, index;
};

// The order table: A; B for every exchange; then per target exchange C D E F G H I J U L M;
// then the closing message.
std::vector<Expected> ExpectedSequence(int n, int target) {
    std::vector<Expected> out;
    out.push_back({'A', 0, 0, 1, 1});
    for (int e = 1, i = 1; e <= n; ++e)
        for (int m = 1; m <= 4; ++m) out.push_back({'B', e, m, 4 * n, i++});
    std::vector<int> targets;
    for (int e = 1; e <= n; ++e)
        if (target == 0 || e == target) targets.push_back(e);
    const struct {
        char letter;
        int count;
    } ranges[] = {{'C', 64}, {'D', 1},  {'E', 4}, {'F', 1}, {'G', 4}, {'H', 19},
                  {'I', 19}, {'J', 19}, {'U', 4}, {'L', 4}, {'M', 1}};
    for (const auto& range : ranges) {
        int i = 1;
        for (int e : targets)
            for (int u = 1; u <= range.count; ++u)
                out.push_back({range.letter, e, range.count == 1 ? 0 : u,
                               range.count * static_cast<int>(targets.size()), i++});
    }
    out.push_back({'\0', target, 0, 1, 1});
    return out;
}

int Unit(const UploadStep& s) {
    return s.request.station + s.request.substation + s.request.zone + s.request.sourceZone;
}

class UploadPlanTest : public ::testing::Test {
  protected:
    SettingData& data() { return doc_.data(); }
    SettingDocument doc_;
};

TEST_F(UploadPlanTest, StepCounts) {
    data().System.SwitchCnt = 1;
    EXPECT_EQ(UploadPlan(data(), 0).size(), 146);
    data().System.SwitchCnt = 3;
    EXPECT_EQ(UploadPlan(data(), 2).size(), 154);
    for (int n = 1; n <= 16; ++n) {
        data().System.SwitchCnt = static_cast<uint8_t>(n);
        EXPECT_EQ(UploadPlan(data(), 0).size(), 2 + 144 * n);
        EXPECT_EQ(ExpectedDownloadCount(data(), 0), 1 + 144 * n);
        for (int e = 1; e <= n; ++e) EXPECT_EQ(UploadPlan(data(), e).size(), 142 + 4 * n);
        EXPECT_EQ(ExpectedDownloadCount(data(), 1), 141 + 4 * n);
        EXPECT_EQ(UploadPlan(data(), n + 1).size(), 0) << "exchange outside the system";
    }
}

TEST_F(UploadPlanTest, OrderOfLettersExchangesAndIndexes) {
    for (const int n : {1, 2, 3, 16}) {
        data().System.SwitchCnt = static_cast<uint8_t>(n);
        for (const int target : {0, 1, n}) {
            const UploadPlan plan(data(), target);
            const std::vector<Expected> expected = ExpectedSequence(n, target);
            ASSERT_EQ(plan.size(), static_cast<int>(expected.size()));
            for (int s = 1; s <= plan.size(); ++s) {
                const UploadStep step = plan.step(s);
                const Expected& x = expected[s - 1];
                SCOPED_TRACE("n=" + std::to_string(n) + " target=" + std::to_string(target) +
                             " step=" + std::to_string(s));
                ASSERT_EQ(step.letter, x.letter);
                ASSERT_EQ(step.request.exchange, x.exchange);
                ASSERT_EQ(Unit(step), x.unit);
                ASSERT_EQ(step.rangeTotal, x.total);
                ASSERT_EQ(step.rangeIndex, x.index);
                const int zone = x.letter == 'H' || x.letter == 'I' ? x.unit : 0;
                ASSERT_EQ(step.request.zone, zone);
                ASSERT_EQ(step.request.sourceZone, x.letter == 'J' ? x.unit : 0);
                ASSERT_EQ(step.request.substation, x.letter == 'C' ? x.unit : 0);
            }
        }
    }
}

TEST_F(UploadPlanTest, HeadersOfRecordsAndOfTheClosingMessage) {
    data().System.SwitchCnt = 3;
    const UploadPlan plan(data(), 2);
    int window;
    const TransferRequest a = plan.Header(1, &window);
    EXPECT_EQ(a.requester, &window);
    EXPECT_EQ(a.setMask, 2);
    EXPECT_EQ(a.clearMask, 0);
    EXPECT_EQ(a.exchange, 0);
    const TransferRequest b = plan.Header(2 + 4 * 2, &window);  // B of exchange 3, master 1
    EXPECT_EQ(b.exchange, 3);
    const TransferRequest c = plan.Header(14, &window);  // first C
    EXPECT_EQ(c.exchange, 2);
    const TransferRequest closing = plan.Header(plan.size(), &window);
    EXPECT_EQ(closing.setMask, 0);
    EXPECT_EQ(closing.clearMask, 2);
    EXPECT_EQ(closing.exchange, 2);
    EXPECT_EQ(plan.step(plan.size()).progress, ProgressMode::Closing);
}

TEST_F(UploadPlanTest, SendEncodesEachStepAndEndsWithTheRelease) {
    const FixedClock clock({2026, 1, 2, 3, 4, 5, 0});
    const UploadPlan plan(data(), 0);
    test::RecordingPoster poster;
    int window;
    for (int s = 1; s <= plan.size(); ++s)
        ASSERT_TRUE(plan.Send(poster, &window, s, false, &clock));
    // Every record step posts its category name and the record; the release posts only itself.
    ASSERT_EQ(poster.posted.size(), 1 + 2u * 145 + 1);
    EXPECT_EQ(poster.posted[0].progress.message, UM_PROGRESS_START);
    EXPECT_EQ(poster.posted[0].progress.name, "Global Setting");
    EXPECT_EQ(poster.posted[0].progress.total, 146);
    EXPECT_EQ(poster.posted[1].progress.message, UM_PROGRESS_STEP);
    EXPECT_EQ(poster.posted[2].request->body,
              test::Fields("A00|20260102030405|1|01|2|0000|10    "));
    EXPECT_EQ(poster.posted[4].request->body.substr(0, 4), "B011");
    EXPECT_EQ(poster.posted[2 * 145].request->body, "M010");
    const TransferRequest& last = *poster.posted.back().request;
    EXPECT_TRUE(last.body.empty());
    EXPECT_EQ(last.clearMask, 2);
}

TEST(DownloadTest, StoredRecordsNameTheirCategoryAndMayRaiseTheExpectedCount) {
    SettingDocument doc;
    test::RecordingPoster poster;
    EXPECT_EQ(ExpectedDownloadCount(doc.data(), 0), 145);
    EXPECT_TRUE(StoreReceivedRecord(
        test::Fields("A00|20260307090502|7|03|3|0000|100   200   300   "), doc.data(), poster));
    EXPECT_EQ(ExpectedDownloadCount(doc.data(), 0), 1 + 144 * 3);
    EXPECT_TRUE(StoreReceivedRecord("M027", doc.data(), poster));
    EXPECT_EQ(doc.data().DirectSelect.OutMode[1], 7);
    EXPECT_FALSE(StoreReceivedRecord("K0121000030000", doc.data(), poster));
    EXPECT_FALSE(StoreReceivedRecord("T011", doc.data(), poster));
    ASSERT_EQ(poster.posted.size(), 2u);
    EXPECT_EQ(poster.posted[0].progress.message, UM_PROGRESS_STEP);
    EXPECT_EQ(poster.posted[0].progress.name, "Global Setting");
    EXPECT_EQ(poster.posted[0].progress.kind, kDisplayReceiving);
    EXPECT_EQ(poster.posted[1].progress.name, "Direct Select");
}

TEST(StartDownloadTest, AllExchangesOrOne) {
    test::RecordingPoster poster;
    int window;
    ASSERT_TRUE(SendStartDownload(poster, &window, 0, false));
    ASSERT_TRUE(SendStartDownload(poster, &window, 7, false));
    ASSERT_EQ(poster.posted.size(), 4u);
    EXPECT_EQ(poster.posted[0].progress.name, "Start Dwnload");
    EXPECT_EQ(poster.posted[0].progress.total, 1);
    EXPECT_EQ(poster.posted[1].request->setMask, 3);  // every exchange: both lines in use
    EXPECT_EQ(poster.posted[3].request->body, "Q07");
    EXPECT_EQ(poster.posted[3].request->setMask, 2);
    EXPECT_EQ(poster.posted[3].request->exchange, 7);
}

}  // namespace
}  // namespace qn410
