// The daily files' rule, driven by a fixed clock: which file each line goes to and what it holds.
#include "monitor/daily_file.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "monitor/log_columns.h"
#include "support/temp_dir.h"

namespace qn410 {
namespace {

using test::ReadAll;
using test::WriteAll;

const LocalTime kMarch5{2002, 3, 5, 10, 0, 0, 2};
const LocalTime kMarch6{2002, 3, 6, 10, 0, 0, 3};

struct RotationCase {
    const char* name;
    const char* remembered;  // relative to the folder; "" for none
    const char* existing;    // a file there before the start, with "old" in it
    LocalTime today;
    long existingSize;   // bytes of "x" written to the existing file before the line
    const char* expect;  // the file the first line goes to
    bool keepsOld;       // the line is appended to what was there
};

TEST(DailyFile, FirstLineGoesWhereTheRuleSays) {
    const RotationCase cases[] = {
        {"same day continues", "HS020305-03.txt", "HS020305-03.txt", kMarch5, 0, "HS020305-03.txt",
         true},
        {"next day starts at 01", "HS020305-03.txt", "HS020305-03.txt", kMarch6, 0,
         "HS020306-01.txt", false},
        {"65,537 bytes: next number, empty", "HS020305-03.txt", "HS020305-03.txt", kMarch5,
         65537 - 3, "HS020305-04.txt", false},
        {"65,536 bytes: still continued", "HS020305-03.txt", "HS020305-03.txt", kMarch5, 65536 - 3,
         "HS020305-03.txt", true},
        {"99 wraps to 01, replacing it", "HS020305-99.txt", "HS020305-99.txt", kMarch5, 65537 - 3,
         "HS020305-01.txt", false},
        {"remembered file gone: 01", "HS020305-03.txt", "", kMarch5, 0, "HS020305-01.txt", false},
    };
    for (const RotationCase& c : cases) {
        SCOPED_TRACE(c.name);
        test::TempDir dir;
        if (*c.existing) WriteAll(dir.file(c.existing), "old");
        const std::string remembered = *c.remembered ? dir.file(c.remembered) : "";
        FixedClock clock(c.today);
        DailyFile file(LogKind::Log, remembered, clock);
        if (c.existingSize > 0) {
            ASSERT_FALSE(file.Write(std::string(c.existingSize, 'x')));
        }
        ASSERT_FALSE(file.Write("line\r\n"));
        EXPECT_EQ(file.currentPath(), dir.file(c.expect));
        const std::string bytes = ReadAll(dir.file(c.expect));
        EXPECT_EQ(bytes, c.keepsOld ? bytes.substr(0, bytes.size() - 6) + "line\r\n" : "line\r\n");
        if (c.keepsOld) {
            EXPECT_EQ(bytes.substr(0, 3), "old");
        }
    }
}

TEST(DailyFile, SelectFolderStartsNumberOneThereEmpty) {
    test::TempDir dir;
    std::filesystem::create_directory(dir.path() / "new");
    WriteAll(dir.file("new/CM020305-01.txt"), "stale");
    FixedClock clock(kMarch5);
    DailyFile file(LogKind::Monitor, dir.file("CM020305-07.txt"), clock);
    ASSERT_FALSE(file.Write("a\r\n"));
    EXPECT_EQ(file.currentPath(), dir.file("CM020305-01.txt"));
    file.SelectFolder(dir.file("new"));
    ASSERT_FALSE(file.Write("b\r\n"));
    EXPECT_EQ(file.currentPath(), dir.file("new/CM020305-01.txt"));
    EXPECT_EQ(ReadAll(dir.file("new/CM020305-01.txt")), "b\r\n");
    // The number runs on through the run's later files, each of them created empty.
    ASSERT_FALSE(file.Write(std::string(65540, 'x')));
    ASSERT_FALSE(file.Write("c\r\n"));
    EXPECT_EQ(ReadAll(dir.file("new/CM020305-02.txt")), "c\r\n");
}

TEST(DailyFile, UnwritableFolderReportsOnceAndRecovers) {
    test::TempDir dir;
    WriteAll(dir.file("plain"), "");  // a file where the folder should be
    FixedClock clock(kMarch5);
    DailyFile file(LogKind::Log, "", clock);
    file.SelectFolder(dir.file("plain/logs"));
    EXPECT_EQ(file.Write("1\r\n"), "Log Data File could not be opened");
    EXPECT_FALSE(file.Write("2\r\n"));
    file.SelectFolder(dir.file(""));
    EXPECT_FALSE(file.Write("3\r\n"));
    EXPECT_EQ(ReadAll(dir.file("HS020305-01.txt")), "3\r\n");
    file.SelectFolder(dir.file("plain/logs"));
    EXPECT_EQ(file.Write("4\r\n"), "Log Data File could not be opened");
}

TEST(DailyFile, RememberedNamesAndLines) {
    EXPECT_EQ(ParseRemembered("/d/log/HS020305-02.txt").folder, "/d/log");
    EXPECT_EQ(ParseRemembered("HS020305-02.txt").number, 2);
    EXPECT_EQ(ParseRemembered("HS0203-02.txt").number, 0);
    EXPECT_EQ(ParseRemembered("/d/log/HS020305_02.txt").folder, "");
    EXPECT_EQ(DataSaveName(LogKind::Log, "", {2002, 3, 3, 14, 5, 9}), "HS020303140509.txt");
    EXPECT_EQ(DataSaveName(LogKind::Monitor, "/m", {2003, 1, 1, 9, 0, 0}), "/m/CM030101090000.txt");
    const std::string body = "o05123456abcdefLine2 Line3 Line4 45";
    const LogLine line = *BuildLogLine(body, {2026, 3, 4, 5, 6, 7});
    EXPECT_EQ(FileLine(line), "20260304050607" + body + "\r\n");
    const std::array<std::string, kLogColumns> row = {"2026-03-04 05:06:07",
                                                      "     5",
                                                      "12:34:56",
                                                      "abcdef",
                                                      "Line2 ",
                                                      "Line3 ",
                                                      "Line4 ",
                                                      "status45"};
    EXPECT_EQ(LogRowTexts(line), row);
    const MonitorEntry entry = *BuildMonitorEntry("p16010abcdefghij", {2026, 3, 4, 5, 6, 7});
    EXPECT_EQ(FileLine(entry).size(), 30u + 2);
    EXPECT_EQ(MonitorRowTexts(entry)[2], "abcdefghij");
}

TEST(StatusText, EveryCode) {
    const std::pair<const char*, const char*> cases[] = {{"00", "1234567890123456789012"},
                                                         {"01", "Normal Sub call"},
                                                         {"18", "status18"},
                                                         {"23", "Call Forwarding log"},
                                                         {"24", "status24"},
                                                         {"30", "Wait station disappear"},
                                                         {"44", "Forcible termination"},
                                                         {"45", "status45"},
                                                         {"99", "status99"},
                                                         {"9", ""},
                                                         {"a1", ""},
                                                         {"1 ", ""}};
    for (const auto& [code, text] : cases) EXPECT_EQ(StatusText(code), text) << code;
}

}  // namespace
}  // namespace qn410
