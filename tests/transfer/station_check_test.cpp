// The station number check, step by step in its order, with the result's fields. The texts the
// Stations editor shows for each result are its checks' table (station_checks_test).
#include "transfer/station_check.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>

#include "sample_data.h"

namespace qn410 {
namespace {

using Code = StationCheckCode;
using Kind = StationKind;

// Two exchanges, three-digit numbers, blocks 100.. and 200..; no numbered stations.
class StationCheckTest : public ::testing::Test {
  protected:
    void SetUp() override {
        SettingData& d = data();
        d.System.SwitchCnt = 2;
        d.System.NumberSize = 3;
        d.System.SwNumber[0].Value = 100;
        d.System.SwNumber[1].Value = 200;
        for (ExchangeSetting& x : d.Exchange) {
            for (MasterSetting& m : x.Master) Clear(m.Number);
            for (SubSetting& s : x.Sub) Clear(s.Number);
        }
    }
    static void Clear(StationNumber& n) {
        n.Value = kNoNumber;
        SetText(n.Text, "-1");
    }
    SettingData& data() { return doc_.data(); }
    StationNumber& Master(int e, int m) { return data().Exchange[e - 1].Master[m - 1].Number; }
    StationNumber& Sub(int e, int s) { return data().Exchange[e - 1].Sub[s - 1].Number; }
    void Set(StationNumber& n, const char* text) {
        SetText(n.Text, text);
        n.Value = std::stoi(text);
    }
    StationCheckResult Check() { return CheckStationNumbers(data()); }
    // Where a result points: code, kind, exchange, equipment number; and the other station.
    static auto At(const StationCheckResult& r) {
        return std::tuple(r.code, r.kind, int(r.exchange), int(r.index));
    }
    static auto Other(const StationCheckResult& r) {
        return std::tuple(r.otherKind, int(r.otherExchange), int(r.otherIndex));
    }
    SettingDocument doc_;
};

TEST_F(StationCheckTest, NoNumberedStationsAndTheDefaultsPass) {
    EXPECT_TRUE(Check().ok());
    SettingDocument defaults;
    EXPECT_EQ(CheckStationNumbers(defaults.data()).code, Code::Ok);
    EXPECT_EQ(StationCheckMessage(Check()), "");
}

TEST_F(StationCheckTest, Step1MasterDigitLength) {
    Set(Master(1, 2), "123");
    Set(Sub(1, 1), "101");
    EXPECT_TRUE(Check().ok());
    Set(Master(2, 3), "1234");
    const StationCheckResult r = Check();
    EXPECT_EQ(At(r), std::tuple(Code::BadDigits, Kind::Master, 2, 3));
    EXPECT_EQ(r.numberValue, 1234);
    EXPECT_EQ(r.numberText, "1234");
    // A value beyond three digits fails even with a three-character text.
    Set(Master(2, 3), "999");
    Master(2, 3).Value = 1000;
    EXPECT_EQ(Check().code, Code::BadDigits);
    // Step 1 runs over every exchange before step 2 looks for duplicates.
    Clear(Master(2, 3));
    Set(Master(1, 1), "150");
    Set(Master(1, 3), "150");
    Set(Master(2, 1), "15");
    EXPECT_EQ(At(Check()), std::tuple(Code::BadDigits, Kind::Master, 2, 1));
}

TEST_F(StationCheckTest, Step2MasterDuplicatesMastersFirstThenSubstations) {
    Set(Master(1, 1), "150");
    Set(Sub(2, 5), "150");
    Set(Master(2, 2), "150");
    StationCheckResult r = Check();
    EXPECT_EQ(At(r), std::tuple(Code::Duplicate, Kind::Master, 1, 1));
    EXPECT_EQ(Other(r), std::tuple(Kind::Master, 2, 2));

    Clear(Master(2, 2));
    r = Check();
    EXPECT_EQ(r.code, Code::Duplicate);
    EXPECT_EQ(Other(r), std::tuple(Kind::Sub, 2, 5));
}

TEST_F(StationCheckTest, Step3MasterFirstDigitAgainstActiveTrunks) {
    TrunkLineSetting& line = data().Exchange[0].Line[0];
    line.TxNumber = 9;
    Set(Master(1, 1), "901");
    Set(Master(2, 1), "902");   // another exchange's trunks do not matter
    EXPECT_TRUE(Check().ok());  // line not active
    line.TxNumberOnOff = 1;
    const StationCheckResult r = Check();
    EXPECT_EQ(At(r), std::tuple(Code::TrunkDigit, Kind::Master, 1, 1));
    Clear(Master(1, 1));
    EXPECT_TRUE(Check().ok());
    // Step 2 runs before step 3.
    Set(Master(1, 1), "901");
    Set(Master(2, 1), "150");
    Set(Sub(1, 1), "150");
    EXPECT_EQ(Check().code, Code::Duplicate);
}

TEST_F(StationCheckTest, Step4SubstationDigitLengthAfterAllMasterSteps) {
    Set(Sub(1, 3), "12");
    StationCheckResult r = Check();
    EXPECT_EQ(At(r), std::tuple(Code::BadDigits, Kind::Sub, 1, 3));
    data().Exchange[1].Line[0].TxNumberOnOff = 1;
    data().Exchange[1].Line[0].TxNumber = 2;
    Set(Master(2, 4), "250");
    r = Check();
    EXPECT_EQ(At(r), std::tuple(Code::TrunkDigit, Kind::Master, 2, 4));
}

TEST_F(StationCheckTest, Step5SubstationBlocks) {
    Set(Sub(1, 1), "199");
    Set(Sub(2, 1), "999");  // the last exchange has no upper limit
    EXPECT_TRUE(Check().ok());
    Set(Sub(1, 2), "250");
    StationCheckResult r = Check();
    EXPECT_EQ(At(r), std::tuple(Code::OutsideBlock, Kind::Sub, 1, 2));
    EXPECT_EQ(r.numberValue, 250);
    Clear(Sub(1, 2));
    Set(Sub(2, 2), "150");
    r = Check();
    EXPECT_EQ(At(r), std::tuple(Code::OutsideBlock, Kind::Sub, 2, 2));
}

TEST_F(StationCheckTest, Step6SubstationDuplicatesWithinTheirExchange) {
    Set(Sub(1, 3), "120");
    Set(Sub(1, 7), "120");
    const StationCheckResult r = Check();
    EXPECT_EQ(At(r), std::tuple(Code::Duplicate, Kind::Sub, 1, 3));
    EXPECT_EQ(Other(r), std::tuple(Kind::Sub, 1, 7));
    Set(Sub(2, 1), "100");  // step 6 runs after the blocks of every exchange
    EXPECT_EQ(Check().code, Code::OutsideBlock);
}

TEST_F(StationCheckTest, Step7SubstationFirstDigitAgainstActiveTrunks) {
    data().Exchange[1].Line[1].TxNumberOnOff = 1;
    data().Exchange[1].Line[1].TxNumber = 9;
    Set(Sub(1, 1), "190");
    Set(Sub(2, 4), "901");
    const StationCheckResult r = Check();
    EXPECT_EQ(At(r), std::tuple(Code::TrunkDigit, Kind::Sub, 2, 4));
}

TEST_F(StationCheckTest, ExchangesBeyondSwitchCntAreNotExamined) {
    Set(Master(3, 1), "1");
    Set(Sub(16, 64), "1");
    EXPECT_TRUE(Check().ok());
}

}  // namespace
}  // namespace qn410
