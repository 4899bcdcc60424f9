// An exchange's communication error ('z', status '1') ends qn410ctl's transfer, and says so.
#include <gtest/gtest.h>

#include "support/child_process.h"
#include "support/temp_dir.h"

namespace qn410::ctl::test {

TEST(CtlExchangeStatus, ACommunicationErrorIsPrintedWithTheFailure) {
    qn410::test::TempDir dir;
    ASSERT_EQ(RunCtl({"new", dir.file("one.txt")}).status, 0);
    Simulator sim({"--z-after", "10:1:1", "--idle-exit", "60"});
    ProcessResult r = RunCtl({"upload", dir.file("one.txt")}, sim.env());
    if (r.status == 0) r = RunCtl({"download", dir.file("out.txt")}, sim.env());  // came later
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "qn410ctl: Exchange No.  1\nCommunication Error\n");
}

}  // namespace qn410::ctl::test
