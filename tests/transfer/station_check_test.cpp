// The station number check, step by step in its order, with the result's fields. The texts the
// Stations editor shows for each result are its checks' table (station_checks_test).
#include "transfer/station_check.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <sstream>
#include <string>

#include "setting/setting_data.h"
#include "setting/text_field.h"

namespace qn410 {
namespace {

// Over two exchanges (three digits, blocks 100.. and 200..) a row sets station numbers
// ("M2.3=1234": master 3 of exchange 2; "S": substation; ":1000" a value other than the text's) and
// trunk access digits ("T1.2=9": line 2 of exchange 1, active; "t": not active), and gives where
// the check stops: code, station, and a duplicate's twin.
const std::pair<const char*, const char*> kRows[] = {
    {"", "0"},
    {"M1.2=123 S1.1=101", "0"},
    // 1: masters' digits, over every exchange before step 2 looks for duplicates.
    {"M2.3=1234", "2 M2.3"},
    {"M2.3=999:1000", "2 M2.3"},  // the value beyond the digits, the text of the right length
    {"M1.1=150 M1.3=150 M2.1=15", "2 M2.1"},
    // 2: other masters first, then substations of any exchange.
    {"M1.1=150 S2.5=150 M2.2=150", "1 M1.1 M2.2"},
    {"M1.1=150 S2.5=150", "1 M1.1 S2.5"},
    // 3: only active trunks of the master's own exchange; after step 2.
    {"M1.1=901 M2.1=902 T1.1=9", "4 M1.1"},
    {"M1.1=901 t1.1=9", "0"},
    {"M2.1=902 T1.1=9", "0"},
    {"M1.1=901 M2.1=150 S1.1=150 T1.1=9", "1 M2.1 S1.1"},
    // 4: substations' digits, after every master step.
    {"S1.3=12", "2 S1.3"},
    {"S1.3=12 M2.4=250 T2.1=2", "4 M2.4"},
    // 5: blocks; the last exchange has no upper limit.
    {"S1.1=199 S2.1=999", "0"},
    {"S1.1=199 S1.2=250", "3 S1.2"},
    {"S2.2=150", "3 S2.2"},
    // 6: duplicates within the exchange, after the blocks of every exchange.
    {"S1.3=120 S1.7=120", "1 S1.3 S1.7"},
    {"S1.3=120 S1.7=120 S2.1=100", "3 S2.1"},
    // 7: substations against their own exchange's active trunks.
    {"S1.1=190 S2.4=901 T2.2=9", "4 S2.4"},
    // Exchanges beyond SwitchCnt are not examined.
    {"M3.1=1 S16.64=1", "0"},
};

std::string Station(StationKind kind, int exchange, int index) {
    return (kind == StationKind::Master ? "M" : "S") + std::to_string(exchange) + "." +
           std::to_string(index);
}

TEST(StationCheck, StepsInTheirOrder) {
    EXPECT_EQ(StationCheckMessage(CheckStationNumbers(SettingDocument().data())), "");
    for (const auto& [set, stop] : kRows) {
        SCOPED_TRACE(set);
        SettingDocument doc;
        SettingData& d = doc.data();
        d.System.SwitchCnt = 2;
        d.System.NumberSize = 3;
        d.System.SwNumber[0].Value = 100;
        d.System.SwNumber[1].Value = 200;
        for (ExchangeSetting& x : d.Exchange) {
            for (MasterSetting& m : x.Master) m.Number = {kNoNumber, "-1"};
            for (SubSetting& s : x.Sub) s.Number = {kNoNumber, "-1"};
        }
        std::istringstream words(set);
        for (std::string w; words >> w;) {
            char kind, text[8];
            int e, i, value = -1;
            ASSERT_GE(std::sscanf(w.c_str(), "%c%d.%d=%7[0-9]:%d", &kind, &e, &i, text, &value), 4);
            ExchangeSetting& x = d.Exchange[e - 1];
            if (kind == 'T' || kind == 't') {
                x.Line[i - 1].TxNumberOnOff = kind == 'T';
                x.Line[i - 1].TxNumber = static_cast<uint8_t>(std::stoi(text));
                continue;
            }
            StationNumber& n = kind == 'M' ? x.Master[i - 1].Number : x.Sub[i - 1].Number;
            SetText(n.Text, text);
            n.Value = value >= 0 ? value : std::stoi(text);
        }
        const StationCheckResult r = CheckStationNumbers(d);
        std::string got = std::to_string(int(r.code));
        if (!r.ok()) got += " " + Station(r.kind, r.exchange, r.index);
        if (r.code == StationCheckCode::Duplicate)
            got += " " + Station(r.otherKind, r.otherExchange, r.otherIndex);
        EXPECT_EQ(got, stop);
        if (r.ok()) continue;
        const ExchangeSetting& x = d.Exchange[r.exchange - 1];
        const StationNumber& failed = r.kind == StationKind::Master ? x.Master[r.index - 1].Number
                                                                    : x.Sub[r.index - 1].Number;
        EXPECT_EQ(std::tuple(r.numberText, r.numberValue),
                  std::tuple(std::string(failed.Text), failed.Value));
    }
}

}  // namespace
}  // namespace qn410
