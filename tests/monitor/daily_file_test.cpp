// The daily files' rule with a fixed clock (which file each line goes to and what it holds), and
// the records' columns and limits.
#include "monitor/daily_file.h"

#include <gtest/gtest.h>

#include "monitor/log_columns.h"
#include "support/temp_dir.h"

namespace qn410 {
namespace {

TEST(DailyFile, WhichFileEachLineGoesToAndTheRecordsColumns) {
    // remembered file (present, holding "old"), day, bytes written first, "Select Folder" of its
    // folder, file of the next line and what it holds (nullptr: "old", the bytes and the line)
    for (auto [remembered, day, filled, select, expect, holds] : {
             std::tuple{"HS020305-03.txt", 5, 0L, false, "HS020305-03.txt", "oldline\r\n"},
             {"HS020305-03.txt", 6, 0L, false, "HS020306-01.txt", "line\r\n"},  // next day: 01
             {"HS020305-03.txt", 5, 65537L - 3, false, "HS020305-04.txt", "line\r\n"},
             {"HS020305-03.txt", 5, 65536L - 3, false, "HS020305-03.txt", nullptr},  // not yet
             {"HS020305-99.txt", 5, 65537L - 3, false, "HS020305-01.txt", "line\r\n"},
             {"HS020305-01.txt", 5, 0L, true, "HS020305-01.txt", "line\r\n"},  // 01, made empty
         }) {
        SCOPED_TRACE(expect);
        test::TempDir dir;
        test::WriteAll(dir.file(remembered), "old");
        FixedClock clock({2002, 3, day, 10, 0, 0});
        DailyFile file(LogKind::Log, dir.file(remembered), clock);
        EXPECT_FALSE(filled && file.Write(std::string(filled, 'x')));
        if (select) file.SelectFolder(dir.path().string());
        EXPECT_FALSE(file.Write("line\r\n"));
        EXPECT_EQ(file.currentPath(), dir.file(expect));
        EXPECT_EQ(test::ReadAll(dir.file(expect)),
                  holds ? holds : "old" + std::string(65533, 'x') + "line\r\n");
    }
    EXPECT_EQ(ParseRemembered("/d/HS0203-02.txt").number, 0);  // not a daily file's name
    std::string texts;
    for (const std::string& t :
         LogRowTexts(*BuildLogLine("o05123456abcdefLine2 Line3 Line4 45", {2026, 3, 4, 5, 6, 7})))
        texts += t + '|';
    for (const char* code : {"00", "23", "24", "44", "a1"}) texts += StatusText(code) + '|';
    EXPECT_EQ(texts,
              "2026-03-04 05:06:07|     5|12:34:56|abcdef|Line2 |Line3 |Line4 |status45|"
              "1234567890123456789012|Call Forwarding log|status24|Forcible termination||");
    const MonitorEntry entry = *BuildMonitorEntry("p16010abcdefghij", {2026});
    EXPECT_EQ(FileLine(entry).size(), 30u + 2);
    EXPECT_EQ(MonitorRowTexts(entry)[2], "abcdefghij");
    // over 256 data bytes, more announced than arrived, not a number, a short frame
    for (const std::string& bad : {"p03257" + std::string(257, 'd'), "p03010" + std::string(9, 'd'),
                                   std::string("p030x1d"), std::string("p03")})
        EXPECT_FALSE(BuildMonitorEntry(bad, {})) << bad;
}

}  // namespace
}  // namespace qn410
