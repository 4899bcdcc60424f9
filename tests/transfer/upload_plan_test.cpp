// The upload sequence against the order table written out as nested loops, over several
// exchange counts, and the download counts.
#include "transfer/upload_plan.h"

#include <gtest/gtest.h>

#include <array>
#include <vector>

#include "setting/setting_data.h"
#include "support/recording_poster.h"

namespace qn410 {
namespace {

// Each step as {letter, exchange, station, substation, zone, source zone, range total, index}
// against the order table: A; B for every exchange; then per target exchange C D E F G H I J U L
// M; then the closing message.
TEST(UploadPlanTest, OrderOfLettersExchangesAndIndexes) {
    EXPECT_EQ(UploadStepCount(1, 0), 146);
    EXPECT_EQ(UploadStepCount(3, 2), 154);
    const struct {
        char letter;
        int count, field;  // field: where the unit goes in the step above
    } ranges[] = {{'C', 64, 3}, {'D', 1, 0},  {'E', 4, 2}, {'F', 1, 0}, {'G', 4, 2}, {'H', 19, 4},
                  {'I', 19, 4}, {'J', 19, 5}, {'U', 4, 2}, {'L', 4, 2}, {'M', 1, 0}};
    SettingDocument doc;
    for (const int n : {1, 2, 3, 16}) {
        doc.data().System.SwitchCnt = static_cast<uint8_t>(n);
        EXPECT_EQ(ExpectedDownloadCount(doc.data(), 0), 1 + 144 * n);
        EXPECT_EQ(ExpectedDownloadCount(doc.data(), 1), 141 + 4 * n);
        EXPECT_EQ(UploadPlan(doc.data(), n + 1).size(), 0) << "exchange outside the system";
        for (const int target : {0, 1, n}) {
            using Step = std::array<int, 8>;
            std::vector<Step> want{{'A', 0, 0, 0, 0, 0, 1, 1}};
            for (int e = 1, i = 1; e <= n; ++e)
                for (int m = 1; m <= 4; ++m) want.push_back({'B', e, m, 0, 0, 0, 4 * n, i++});
            const int first = target ? target : 1, last = target ? target : n;
            for (const auto& range : ranges)
                for (int e = first, i = 1; e <= last; ++e)
                    for (int u = 1; u <= range.count; ++u) {
                        Step x{range.letter, e, 0, 0, 0, 0, range.count * (last - first + 1), i++};
                        if (range.field) x[range.field] = u;
                        want.push_back(x);
                    }
            want.push_back({0, target, 0, 0, 0, 0, 1, 1});
            const UploadPlan plan(doc.data(), target);
            ASSERT_EQ(plan.size(), target ? 142 + 4 * n : 2 + 144 * n);
            ASSERT_EQ(plan.size(), static_cast<int>(want.size()));
            for (int s = 1; s <= plan.size(); ++s) {
                const UploadStep step = plan.step(s);
                const RecordRequest& r = step.request;
                ASSERT_EQ((Step{step.letter, r.exchange, r.station, r.substation, r.zone,
                                r.sourceZone, step.rangeTotal, step.rangeIndex}),
                          want[s - 1])
                    << "n=" << n << " target=" << target << " step=" << s;
            }
        }
    }
}

// A received record names its category for the progress display; letters a download does not
// store are not stored.
TEST(DownloadTest, StoredRecordsNameTheirCategory) {
    SettingDocument doc;
    test::RecordingPoster poster;
    EXPECT_TRUE(StoreReceivedRecord("M027", doc.data(), poster));
    EXPECT_EQ(doc.data().DirectSelect.OutMode[1], 7);
    EXPECT_FALSE(StoreReceivedRecord("K0121000030000", doc.data(), poster));
    EXPECT_FALSE(StoreReceivedRecord("T011", doc.data(), poster));
    ASSERT_EQ(poster.posted.size(), 1u);
    EXPECT_EQ(poster.posted[0].progress.name, "Direct Select");
}

}  // namespace
}  // namespace qn410
