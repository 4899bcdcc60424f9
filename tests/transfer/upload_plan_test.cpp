// The upload sequence against the order table written out as nested loops, over several
// exchange counts, and the download counts.
#include "transfer/upload_plan.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "setting/setting_data.h"
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

TEST(UploadPlanTest, OrderOfLettersExchangesAndIndexes) {
    EXPECT_EQ(UploadStepCount(1, 0), 146);
    EXPECT_EQ(UploadStepCount(3, 2), 154);
    SettingDocument doc;
    SettingData& data = doc.data();
    for (const int n : {1, 2, 3, 16}) {
        data.System.SwitchCnt = static_cast<uint8_t>(n);
        EXPECT_EQ(ExpectedDownloadCount(data, 0), 1 + 144 * n);
        EXPECT_EQ(ExpectedDownloadCount(data, 1), 141 + 4 * n);
        EXPECT_EQ(UploadPlan(data, n + 1).size(), 0) << "exchange outside the system";
        for (const int target : {0, 1, n}) {
            const UploadPlan plan(data, target);
            const std::vector<Expected> expected = ExpectedSequence(n, target);
            ASSERT_EQ(plan.size(), static_cast<int>(expected.size()));
            ASSERT_EQ(plan.size(), target ? 142 + 4 * n : 2 + 144 * n);
            for (int s = 1; s <= plan.size(); ++s) {
                const UploadStep step = plan.step(s);
                const Expected& x = expected[s - 1];
                SCOPED_TRACE(::testing::Message()
                             << "n=" << n << " target=" << target << " step=" << s);
                ASSERT_EQ(std::tuple(step.letter, int(step.request.exchange), Unit(step),
                                     step.rangeTotal, step.rangeIndex),
                          std::tuple(x.letter, x.exchange, x.unit, x.total, x.index));
                const bool zone = x.letter == 'H' || x.letter == 'I';
                ASSERT_EQ(std::tuple(int(step.request.zone), int(step.request.sourceZone),
                                     int(step.request.substation)),
                          std::tuple(zone ? x.unit : 0, x.letter == 'J' ? x.unit : 0,
                                     x.letter == 'C' ? x.unit : 0));
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
