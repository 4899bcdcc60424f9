// qn410ctl's file commands run in-process, by exit status and exact words; the comparison behind
// diff; the command line, port choice and progress line of the transfers.
#include "ctl_command.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <sstream>

#include "progress_line.h"
#include "setting/setting_compare.h"
#include "setting/setting_file.h"
#include "setting/text_field.h"
#include "support/random_setting.h"
#include "support/recording_prompt.h"
#include "support/temp_dir.h"
#include "transfer/send_record.h"
#include "transfer_options.h"

namespace qn410::ctl {
namespace {

using qn410::test::ReadAll;

TEST(CtlCommands, ExitStatusAndWords) {
    qn410::test::TempDir dir;
    const std::string a = dir.file("a.txt"), out = dir.file("out.txt"), gone = dir.file("gone");
    auto write = [&](SettingDocument& doc, const char* name) {
        qn410::test::RecordingPrompt prompt;
        EXPECT_TRUE(WriteSettingFile(dir.file(name), doc, "", prompt));
        return dir.file(name);
    };
    SettingDocument doc;
    std::string bytes = FormatSettingFile(doc.data(), "");
    bytes.replace(bytes.find("SwitchCnt="), 6, "Swotch");
    qn410::test::WriteAll(dir.file("broken.txt"), bytes);
    qn410::test::WriteAll(dir.file("password.txt"), "Password=99" + std::string(20, '*') + "\n");
    doc.data().Exchange[0].Master[2].Number = {15, "15"};  // substation 6 has 15
    const std::string dup = write(doc, "dup.txt");
    doc.data().Exchange[0].Master[2].Number = {92, "92"};
    doc.data().Exchange[0].Line[1].TxNumberOnOff = 1;
    doc.data().Exchange[0].Line[1].TxNumber = 9;
    const std::string trunk = write(doc, "trunk.txt");
    doc.data().Exchange[0].Line[1].TxNumberOnOff = 0;
    doc.data().System.SwitchCnt = 2;
    doc.data().System.SwNumber[1].Value = 50;
    SetText(doc.data().System.SwNumber[1].Text, "50");
    const std::string block = write(doc, "block.txt");

    const std::string e = "qn410ctl: ";
    const struct {
        Args args;
        int status;
        std::string out, err;  // "..." at the end: the text starts so
    } rows[] = {
        {{"new", a}, 0, "", ""},
        {{"copy", a, out}, 0, "", ""},
        {{}, 2, "", "Usage: qn410ctl COMMAND [ARGUMENTS]\n..."},
        {{"--help"}, 0, "Usage: qn410ctl COMMAND [ARGUMENTS]\n...", ""},
        {{"copy", "-h"},
         0,
         "Usage: qn410ctl copy IN OUT\nread the setting file IN and write...",
         ""},
        {{"frobnicate"}, 2, "", e + "unknown command 'frobnicate' (see qn410ctl --help)\n"},
        {{"new"}, 2, "", "Usage: qn410ctl new FILE\n"},
        {{"copy", "one"}, 2, "", "Usage: qn410ctl copy IN OUT\n"},
        {{"check", "a", "b"}, 2, "", "Usage: qn410ctl check FILE\n"},
        {{"diff", a}, 2, "", "Usage: qn410ctl diff A B\n"},
        {{"copy", dir.file("broken.txt"), gone},
         1,
         "",
         e + "Incorrect setting file. Key information\n SwitchCnt= not found.\nDefault Data "
             "setting\n"},
        {{"copy", dir.file("password.txt"), gone},
         1,
         "",
         e + dir.file("password.txt") + ": the password field is malformed\n"},
        {{"copy", dir.file("absent.txt"), gone},
         1,
         "",
         e + dir.file("absent.txt") + ": cannot be opened\n"},
        {{"check", a}, 0, a + ": station numbers pass the check\n", ""},
        {{"check", dup},
         1,
         "",
         e + dup +
             ": master station 3 of exchange 1 (number 15): duplicate number (code 1), same as "
             "substation 6 of exchange 1\n"},
        {{"check", trunk},
         1,
         "",
         e + trunk +
             ": master station 1 of exchange 1 (number 90): first digit is an active C/O trunk "
             "access digit (code 4)\n"},
        {{"check", block},
         1,
         "",
         e + block +
             ": substation 41 of exchange 1 (number 50): number outside its exchange's block "
             "(code 3)\n"},
        {{"diff", a, out}, 0, "", ""},
        {{"diff", a, dup},
         1,

         "Master Stations (Telephones), Exchange 01, Master 3, Number: \"92\" -> \"15\"\n",
         e + "1 field differs\n"},
    };
    auto matches = [](const std::string& got, const std::string& want) {
        return want.ends_with("...") ? got.starts_with(want.substr(0, want.size() - 3))
                                     : got == want;
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(::testing::PrintToString(row.args));
        std::ostringstream o, err;
        EXPECT_EQ(ctl::Run(row.args, o, err), row.status);
        EXPECT_TRUE(matches(o.str(), row.out)) << o.str();
        EXPECT_TRUE(matches(err.str(), row.err)) << err.str();
    }
    EXPECT_EQ(ReadAll(a), FormatSettingFile(SettingDocument().data(), ""));
    EXPECT_EQ(ReadAll(a), ReadAll(out));
    EXPECT_FALSE(std::filesystem::exists(gone));
    EXPECT_FALSE(std::filesystem::exists(dir.file("absent.txt")));
}

// One changed field in each category of a random file is named, in category order.
TEST(CtlCommands, DiffNamesExactlyTheChangedFields) {
    const struct {
        SettingCategory category;
        int exchange;
        const char* place;
        const char* field;
        std::function<void(SettingData&)> apply;
    } changes[] = {
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
    auto base = std::make_unique<SettingData>();
    SetDefaults(*base);
    test::FillRandomFileData(*base, 410);
    EXPECT_TRUE(CompareSettings(*base, *base).empty());
    auto changed = std::make_unique<SettingData>(*base);
    for (const auto& c : changes) c.apply(*changed);
    const auto report = CompareSettings(*base, *changed);
    ASSERT_EQ(report.size(), std::size(changes)) << FormatDifferences(report);
    for (size_t i = 0; i < report.size(); ++i) {
        SCOPED_TRACE(FormatDifference(report[i]));
        EXPECT_EQ(report[i].category, changes[i].category);
        EXPECT_EQ(report[i].exchange, changes[i].exchange);
        EXPECT_EQ(report[i].place, changes[i].place);
        EXPECT_EQ(report[i].field, changes[i].field);
        EXPECT_NE(report[i].before, report[i].after);
    }
}

TEST(TransferOptions, ReadsEveryOptionAndRefusesWhatTheTransferCannotUse) {
    std::ostringstream err;
    const auto o = ParseTransferOptions(
        {"--exchange=3", "out.txt", "--port", "/dev/pts/7", "--base", "site.txt", "--timeout=5"},
        true, err);
    ASSERT_TRUE(o) << err.str();
    EXPECT_EQ(std::tie(o->file, o->exchange, o->port, o->base, o->timeoutSeconds),
              std::tuple("out.txt", 3, "/dev/pts/7", "site.txt", 5));
    for (const Args& args : std::vector<Args>{{},
                                              {"a", "b"},
                                              {"a", "--exchange", "0"},
                                              {"a", "--exchange", "17"},
                                              {"a", "--exchange", "2x"},
                                              {"a", "--timeout", "0"},
                                              {"a", "--timeout", "121"},  // never lengthened
                                              {"a", "--port"},
                                              {"a", "--base", "b"},  // download only
                                              {"a", "--speed", "9600"}}) {
        std::ostringstream refused;
        EXPECT_FALSE(ParseTransferOptions(args, false, refused)) << ::testing::PrintToString(args);
        EXPECT_NE(refused.str().find("Usage: qn410ctl upload FILE"), std::string::npos);
    }
    // The port comes from the option or the file, and a named port forces the serial line.
    const MaintenanceSetting modemOnCom3{1, 2, "0123"};
    PortChoice c = ChoosePort("", modemOnCom3);
    EXPECT_EQ(std::tie(c.settings.PcConnect, c.settings.CommPort, c.devicePath),
              std::tuple(1, 2, ""));
    c = ChoosePort("COM4", modemOnCom3);
    EXPECT_EQ(std::tie(c.settings.PcConnect, c.settings.CommPort, c.devicePath),
              std::tuple(0, 3, ""));
    c = ChoosePort("/dev/ttyUSB0", modemOnCom3);
    EXPECT_EQ(std::tie(c.settings.CommPort, c.devicePath), std::tuple(0, "/dev/ttyUSB0"));
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
