// The comparison behind qn410ctl diff, and the progress line of its transfers. The commands
// themselves run as programs (ctl_pty_test).
#include <gtest/gtest.h>

#include <functional>
#include <sstream>

#include "progress_line.h"
#include "setting/setting_compare.h"
#include "setting/text_field.h"
#include "support/random_setting.h"
#include "transfer/send_record.h"

namespace qn410::ctl {
namespace {

// One changed field in each category of a random file is named, in category order.
TEST(CtlCommands, DiffNamesExactlyTheChangedFields) {
    const std::pair<const char*, std::function<void(SettingData&)>> changes[] = {
        {"Global Setting, NumberSize", [](SettingData& d) { d.System.NumberSize ^= 7; }},
        {"Call Forwarding/Time-Out, Exchange 03, CallTime",
         [](SettingData& d) { d.Function[2].CallTime ^= 1; }},
        {"Master Stations (Telephones), Exchange 16, Master 4, Name",
         [](SettingData& d) { SetText(d.Exchange[15].Master[3].Name, "CHANGED"); }},
        {"Substations, Exchange 01, Substation 50, Level",
         [](SettingData& d) { d.Exchange[0].Sub[49].Level ^= 1; }},
        {"C/O Trunks, Exchange 02, Line 2, RxMaster03",
         [](SettingData& d) { d.Exchange[1].Line[1].RxMaster[2].StationNo ^= 3; }},
        {"Scan Monitor, Exchange 05, Master 1, ScanTime",
         [](SettingData& d) { d.Exchange[4].Master[0].ScanTime ^= 1; }},
        {"Group Call, Exchange 06, Master 2, GroupMaster15",
         [](SettingData& d) { d.Exchange[5].Master[1].GroupMaster[14].ExchangeNo ^= 1; }},
        {"Emergency Conference, Exchange 07, Master 3, MeetCnt",
         [](SettingData& d) { d.Exchange[6].Master[2].MeetCnt ^= 1; }},
        {"Paging, Exchange 08, Substation 64, Paging",
         [](SettingData& d) { d.Exchange[7].Sub[63].Paging ^= 4; }},
        {"PC Port, CommPort", [](SettingData& d) { d.Maintenance.CommPort ^= 1; }},
        {"Remote Dialing, Number 5, TelNo",
         [](SettingData& d) { SetText(d.RemoteDial.TelNo[4], "0123"); }},
        {"Public Address Systems, Exchange 09, Speaker PA16, Paging",
         [](SettingData& d) { d.Exchange[8].Speaker[15].Paging ^= 1; }},
        {"External Source Distribution, Exchange 10, Source 4, OutInZone",
         [](SettingData& d) { d.System.OutInZone[9][3] ^= 2; }},
        {"Direct Select, Exchange 11, OutMode",
         [](SettingData& d) { d.DirectSelect.OutMode[10] ^= 1; }},
        {"Dialing Assignment, Exchange 12, Master 4, Entry 1024, Shot",
         [](SettingData& d) { SetText(d.Dial[11][3][1023].Shot, "77"); }},
    };
    auto base = std::make_unique<SettingData>();
    SetDefaults(*base);
    test::FillRandomFileData(*base, 410);
    EXPECT_TRUE(CompareSettings(*base, *base).empty());
    auto changed = std::make_unique<SettingData>(*base);
    for (const auto& [field, change] : changes) change(*changed);
    const auto report = CompareSettings(*base, *changed);
    ASSERT_EQ(report.size(), std::size(changes)) << FormatDifferences(report);
    for (size_t i = 0; i < report.size(); ++i)
        EXPECT_EQ(FormatDifference(report[i]).rfind(changes[i].first + std::string(": \""), 0), 0u)
            << FormatDifference(report[i]);
}

// An upload of 4 steps with a message in between, then a download whose Global Setting raises
// the total; blanks wipe a longer line.
TEST(ProgressLine, DrawsTheCategoryAndTheShareDoneInPlace) {
    std::ostringstream out;
    ProgressLine line(&out);
    line.OnProgress(UM_PROGRESS_START, kDisplayTransmitting, "Global Setting", 4);
    line.Break();
    out << "message\n";
    line.Break();  // nothing drawn since: no empty line
    line.OnProgress(UM_PROGRESS_ADVANCE, kDisplayTransmitting, {}, 0);
    line.OnProgress(UM_PROGRESS_STEP, kDisplayTransmitting, "Substations", 0);
    line.OnProgress(UM_PROGRESS_ADVANCE, kDisplayTransmitting, {}, 0);
    line.OnProgress(UM_PROGRESS_STEP, kDisplayTransmitting, "Zone", 0);
    line.OnProgress(UM_PROGRESS_CLOSE, 0, {}, 0);
    EXPECT_EQ(out.str(),
              "\rTransmitting data: Global Setting [0%]\nmessage\n"
              "\rTransmitting data: Global Setting [25%]"
              "\rTransmitting data: Substations [25%]   "
              "\rTransmitting data: Substations [50%]"
              "\rTransmitting data: Zone [50%]       \n");
    line.OnProgress(UM_PROGRESS_START, kDisplayTransmitting, "Start Dwnload", 1);
    line.OnProgress(UM_PROGRESS_RESTART, kDisplayReceiving, {}, 10);
    line.OnProgress(UM_PROGRESS_STEP, kDisplayReceiving, "Global Setting", 0);
    line.OnProgress(UM_PROGRESS_RESTART, kDisplayReceiving, {}, 20);
    line.OnProgress(UM_PROGRESS_ADVANCE, kDisplayReceiving, {}, 0);
    EXPECT_EQ(line.line(), "Receiving data: Global Setting [5%]");
    ProgressLine quiet(nullptr);  // standard error is not a terminal: nothing is printed
    quiet.OnProgress(UM_PROGRESS_START, kDisplayTransmitting, "Global Setting", 2);
    EXPECT_EQ(quiet.line(), "Transmitting data: Global Setting [0%]");
}

}  // namespace
}  // namespace qn410::ctl
