// Whole uploads decoded back: every record of a plan, encoded from random recordable data and
// decoded into default data, gives back every field the records carry.
#include <gtest/gtest.h>

#include "support/random_recordable.h"
#include "transfer/record_codec.h"
#include "transfer/upload_plan.h"

namespace qn410 {
namespace {

TEST(RoundTripTest, EveryRecordOfAWholeUploadComesBack) {
    const FixedClock clock({2026, 12, 6, 13, 0, 0, 0});
    for (uint32_t seed = 1; seed <= 12; ++seed) {
        SettingDocument src, dst;
        test::FillRandomRecordable(src.data(), seed);
        const UploadPlan plan(src.data(), 0);
        ASSERT_EQ(plan.size(), 2 + 144 * src.data().System.SwitchCnt);
        for (int s = 1; s < plan.size(); ++s) {
            const auto record = plan.Record(s, &clock);
            ASSERT_TRUE(record) << s;
            ASSERT_TRUE(Decode(*record, dst.data())) << *record;
        }
        EXPECT_EQ(test::FirstRecordDifference(src.data(), dst.data()), std::nullopt)
            << "seed " << seed;
        // The decoders keep the zone tables in step with what they stored.
        for (int e = 0; e < src.data().System.SwitchCnt; ++e)
            for (int k = 0; k < kSubCount; ++k)
                ASSERT_EQ(dst.data().Zones.Sub[e][k], src.data().Zones.Sub[e][k]) << e << k;
    }
}

TEST(RoundTripTest, TheComparisonNamesTheFirstDifference) {
    SettingDocument a, b;
    test::FillRandomRecordable(a.data(), 7);
    b.data() = a.data();
    EXPECT_EQ(test::FirstRecordDifference(a.data(), b.data()), std::nullopt);
    b.data().Dial[0][0][0].Dial[0] = '9';  // not carried by these records
    b.data().Exchange[15].LineCntLimit = 77;
    if (a.data().System.SwitchCnt < 16) {
        EXPECT_EQ(test::FirstRecordDifference(a.data(), b.data()), std::nullopt);
    }
    b.data().Exchange[0].Master[1].Name[0] ^= 1;
    b.data().Exchange[0].Sub[0].Paging ^= 4;
    EXPECT_EQ(test::FirstRecordDifference(a.data(), b.data()), "Exchange[0].Master[1].Name");
}

}  // namespace
}  // namespace qn410
