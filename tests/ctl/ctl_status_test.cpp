// qn410ctl against an exchange that reports a communication error ('z', status '1'): the
// transfer under way ends, and its exit status 1 comes with the exchange's report.
#include <gtest/gtest.h>

#include "setting/setting_file.h"
#include "support/child_process.h"
#include "support/recording_prompt.h"
#include "support/temp_dir.h"

namespace qn410::ctl::test {

TEST(CtlExchangeStatus, ACommunicationErrorIsPrintedWithTheFailure) {
    qn410::test::TempDir dir;
    SettingDocument defaults;
    qn410::test::RecordingPrompt prompt;
    ASSERT_TRUE(WriteSettingFile(dir.file("one.txt"), defaults, "", prompt));
    Simulator sim({"--z-after", "10:1:1", "--idle-exit", "60"});
    // The report reaches the upload or, at the latest, the download after it.
    ProcessResult r = RunCtl({"upload", dir.file("one.txt")}, sim.env());
    if (r.status == 0) r = RunCtl({"download", dir.file("out.txt")}, sim.env());
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "qn410ctl: Exchange No.  1\nCommunication Error\n");
}

}  // namespace qn410::ctl::test
