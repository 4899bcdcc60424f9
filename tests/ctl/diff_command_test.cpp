// The setting comparison and qn410ctl diff: one changed field per category is reported as
// exactly that field, in category order, and a file compared with itself reports nothing.
#include <gtest/gtest.h>

#include <functional>
#include <sstream>

#include "ctl_command.h"
#include "setting/setting_compare.h"
#include "setting/setting_file.h"
#include "setting/text_field.h"
#include "support/random_setting.h"
#include "support/recording_prompt.h"
#include "support/temp_dir.h"
#include "transfer/setting_verify.h"

namespace qn410 {
namespace {

struct Change {
    SettingCategory category;
    int exchange;
    const char* place;
    const char* field;
    std::function<void(SettingData&)> apply;
};

const Change kChanges[] = {
    {SettingCategory::GlobalSetting, 0, "", "NumberSize",
     [](SettingData& d) { d.System.NumberSize ^= 7; }},
    {SettingCategory::CallForwarding, 3, "", "CallTime",
     [](SettingData& d) { d.Function[2].CallTime ^= 1; }},
    {SettingCategory::MasterStations, 16, "Master 4", "Name",
     [](SettingData& d) { SetText(d.Exchange[15].Master[3].Name, "CHANGED"); }},
    {SettingCategory::Substations, 1, "Substation 50", "Level",
     [](SettingData& d) { d.Exchange[0].Sub[49].Level ^= 1; }},
    {SettingCategory::CoTrunks, 2, "Line 2", "RxMaster03",
     [](SettingData& d) { d.Exchange[1].Line[1].RxMaster[2].StationNo ^= 3; }},
    {SettingCategory::ScanMonitor, 5, "Master 1", "ScanTime",
     [](SettingData& d) { d.Exchange[4].Master[0].ScanTime ^= 1; }},
    {SettingCategory::GroupCall, 6, "Master 2", "GroupMaster15",
     [](SettingData& d) { d.Exchange[5].Master[1].GroupMaster[14].ExchangeNo ^= 1; }},
    {SettingCategory::EmergencyConference, 7, "Master 3", "MeetCnt",
     [](SettingData& d) { d.Exchange[6].Master[2].MeetCnt ^= 1; }},
    {SettingCategory::Paging, 8, "Substation 64", "Paging",
     [](SettingData& d) { d.Exchange[7].Sub[63].Paging ^= 4; }},
    {SettingCategory::PcPort, 0, "", "CommPort",
     [](SettingData& d) { d.Maintenance.CommPort ^= 1; }},
    {SettingCategory::RemoteDialing, 0, "Number 5", "TelNo",
     [](SettingData& d) { SetText(d.RemoteDial.TelNo[4], "0123"); }},
    {SettingCategory::PublicAddress, 9, "Speaker PA16", "Paging",
     [](SettingData& d) { d.Exchange[8].Speaker[15].Paging ^= 1; }},
    {SettingCategory::ExternalSource, 10, "Source 4", "OutInZone",
     [](SettingData& d) { d.System.OutInZone[9][3] ^= 2; }},
    {SettingCategory::DirectSelect, 11, "", "OutMode",
     [](SettingData& d) { d.DirectSelect.OutMode[10] ^= 1; }},
    {SettingCategory::DialingAssignment, 12, "Master 4, Entry 1024", "Shot",
     [](SettingData& d) { SetText(d.Dial[11][3][1023].Shot, "77"); }},
};

TEST(SettingCompare, NamesExactlyTheChangedFieldsInCategoryOrder) {
    SettingData base;
    SetDefaults(base);
    test::FillRandomFileData(base, 410);
    EXPECT_TRUE(CompareSettings(base, base).empty());

    SettingData changed = base;
    for (const Change& c : kChanges) c.apply(changed);
    const auto report = CompareSettings(base, changed);
    ASSERT_EQ(report.size(), std::size(kChanges)) << FormatDifferences(report);
    for (size_t i = 0; i < report.size(); ++i) {
        SCOPED_TRACE(FormatDifference(report[i]));
        EXPECT_EQ(report[i].category, kChanges[i].category);
        EXPECT_EQ(report[i].exchange, kChanges[i].exchange);
        EXPECT_EQ(report[i].place, kChanges[i].place);
        EXPECT_EQ(report[i].field, kChanges[i].field);
        EXPECT_NE(report[i].before, report[i].after);
    }
}

// What a download brings back is compared with the file as an upload would leave it: rounding
// and packing on the wire are no differences, a changed carried field is.
TEST(SettingVerify, ReportsOnlyCarriedFieldsThatDiffer) {
    auto file = std::make_unique<SettingData>();
    SetDefaults(*file);
    test::FillRandomFileData(*file, 99);
    file->System.SwitchCnt = 16;
    auto held = AsExchangesWouldHold(*file, 0);
    EXPECT_TRUE(VerifyDownload(*file, *held, 0).empty());

    SetText(held->Exchange[15].Sub[63].Name, "OTHER");
    const auto report = VerifyDownload(*file, *held, 0);
    ASSERT_EQ(report.size(), 1u) << FormatDifferences(report);
    EXPECT_EQ(
        FormatDifference(report[0]).rfind("Substations, Exchange 16, Substation 64, Name:", 0), 0u);
}

TEST(DiffCommand, ExitsZeroForEqualFilesAndOneWithTheReport) {
    test::TempDir dir;
    SettingDocument doc;
    test::FillRandomFileData(doc.data(), 7);
    test::RecordingPrompt prompt;
    const std::string a = dir.file("a.txt"), b = dir.file("b.txt");
    ASSERT_TRUE(WriteSettingFile(a, doc, "", prompt));
    SetText(doc.data().Exchange[2].Sub[4].Name, "NEWNAME");
    ASSERT_TRUE(WriteSettingFile(b, doc, "", prompt));

    std::ostringstream out, err;
    EXPECT_EQ(ctl::Run({"diff", a, a}, out, err), 0);
    EXPECT_EQ(out.str(), "");
    EXPECT_EQ(ctl::Run({"diff", a, b}, out, err), 1);
    EXPECT_NE(out.str().find("Substations, Exchange 03, Substation 5, Name: \""), std::string::npos)
        << out.str();
    EXPECT_NE(out.str().find("\" -> \"NEWNAME\"\n"), std::string::npos) << out.str();
    EXPECT_EQ(ctl::Run({"diff", a}, out, err), 2);
}

}  // namespace
}  // namespace qn410
