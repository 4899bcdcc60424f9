// qn410ctl against an exchange that reports a communication error ('z', status '1'): the
// transfer under way ends, and its exit status 1 comes with the exchange's report.
#include <gtest/gtest.h>

#include <filesystem>

#include "setting/setting_file.h"
#include "support/child_process.h"
#include "support/recording_prompt.h"
#include "support/temp_dir.h"

namespace qn410::ctl::test {
namespace {

TEST(CtlExchangeStatus, ACommunicationErrorIsPrintedWithTheFailure) {
    qn410::test::TempDir dir;
    SettingDocument defaults;
    qn410::test::RecordingPrompt prompt;
    const std::string file = dir.file("one.txt"), out = dir.file("out.txt");
    ASSERT_TRUE(WriteSettingFile(file, defaults, "", prompt));
    const std::string report = "qn410ctl: Exchange No.  1\nCommunication Error\n";
    Simulator sim({"--z-after", "10:1:1", "--idle-exit", "60"});
    // The report reaches the upload or, at the latest, the download after it.
    ProcessResult r = RunCtl({"upload", file}, sim.env());
    if (r.status == 0) r = RunCtl({"download", out}, sim.env());
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, report);
    EXPECT_FALSE(std::filesystem::exists(out));
}

}  // namespace
}  // namespace qn410::ctl::test
