#include "setting/setting_data.h"

#include <gtest/gtest.h>

#include "setting/text_field.h"

namespace qn410 {
namespace {

TEST(SettingDefaults, OnlyExchangeOneIsInUseWithTwoDigitNumbers) {
    SettingDocument doc;
    const SettingData& d = doc.data();
    EXPECT_EQ(d.System.SwitchCnt, 1);
    EXPECT_EQ(d.System.NumberSize, 2);
    EXPECT_EQ(d.System.SwNumber[0].Value, 10);
    EXPECT_EQ(TextOf(d.System.SwNumber[0].Text), "10");

    const ExchangeSetting& first = d.Exchange[0];
    for (int j = 0; j < kMasterCount; ++j) {
        EXPECT_EQ(first.Master[j].Number.Value, 90 + j);
        EXPECT_EQ(TextOf(first.Master[j].Name), std::to_string(90 + j));
    }
    for (int j = 0; j < kSubCount; ++j) {
        EXPECT_EQ(first.Sub[j].Number.Value, 10 + j);
        EXPECT_EQ(TextOf(first.Sub[j].Number.Text), std::to_string(10 + j));
        EXPECT_EQ(TextOf(first.Sub[j].Name), std::to_string(10 + j));
        EXPECT_EQ(first.Sub[j].CallSwNo, 1);
        EXPECT_EQ(first.Sub[j].CallStNo, 1);
    }
    // The other exchanges' stations have no number; the file layout test shows their fields.
    EXPECT_EQ(d.Exchange[15].Master[3].Number.Value, kNoNumber);
    EXPECT_EQ(d.Exchange[15].Sub[63].Number.Value, kNoNumber);
    EXPECT_EQ(d.Exchange[15].Sub[63].CallSwNo, 16);
}

TEST(SettingDefaults, LeaveZoneTablesAndRestoreEverythingElse) {
    SettingDocument doc;
    SettingData& d = doc.data();
    d.Zones.Sub[2][5].Cell[3] = 1;
    d.Exchange[4].Sub[7].Paging = 0x1234;
    d.Dial[1][1][100].Dial[0] = '7';
    d.ShotT[3][3] = 9;
    SetDefaults(d);
    EXPECT_EQ(d.Zones.Sub[2][5].Cell[3], 1);

    SettingDocument fresh;
    d.Zones = fresh.data().Zones;
    EXPECT_TRUE(d == fresh.data());
}

TEST(SettingData, EqualityComparesFieldsNotPadding) {
    SettingDocument a, b;
    EXPECT_TRUE(a.data() == b.data());
    b.data().Exchange[15].Sub[63].Level = 1;
    EXPECT_FALSE(a.data() == b.data());
}

TEST(TextField, SetTextCutsToTheFieldAndClearsTheRest) {
    char field[9];
    SetText(field, "ABCDEFGHIJK");
    EXPECT_EQ(TextOf(field), "ABCDEFGH");
    SetText(field, "AB");
    EXPECT_EQ(field[5], '\0');
    EXPECT_EQ(TextOf(field), "AB");
}

}  // namespace
}  // namespace qn410
