#include "sim_options.h"

#include <gtest/gtest.h>

#include <iterator>
#include <sstream>

namespace qn410::sim::test {
namespace {

TEST(SimOptions, EveryOptionIsReadAndDocumented) {
    std::istringstream line(
        "--device /dev/ttyUSB0 --config in.txt --save=out.txt --trace - --rate 2.5 --seed 9 "
        "--frames-per-turn 4 --idle-exit 30 --refuse-bids 1 --refuse-frames 2 --corrupt-bcc 3 "
        "--delay 250 --drop-every 7 --drop-rx-every 11 --silent --z-after 5:3:1");
    const ParsedOptions p = ParseOptions(
        {std::istream_iterator<std::string>(line), std::istream_iterator<std::string>()});
    ASSERT_EQ(p.error, "");
    const SimOptions& o = p.options;
    EXPECT_EQ(o.device, "/dev/ttyUSB0");
    EXPECT_EQ(o.config, "in.txt");
    EXPECT_EQ(o.save, "out.txt");
    EXPECT_EQ(o.trace, "-");
    EXPECT_EQ(o.rate, 2.5);
    EXPECT_EQ(o.seed, 9u);
    EXPECT_EQ(o.timing.framesPerTurn, 4);
    EXPECT_EQ(o.idleExit, 30.0);
    EXPECT_EQ(o.faults.refuseBids, 1);
    EXPECT_EQ(o.faults.refuseFrames, 2);
    EXPECT_EQ(o.faults.corruptBcc, 3);
    EXPECT_EQ(o.faults.delay, 250);
    EXPECT_EQ(o.faults.dropEvery, 7);
    EXPECT_EQ(o.faults.dropRxEvery, 11);
    EXPECT_TRUE(o.faults.silent);
    ASSERT_TRUE(o.statusFault);
    EXPECT_EQ(o.statusFault->afterRecords, 5);
    EXPECT_EQ(o.statusFault->exchange, 3);
    EXPECT_EQ(o.statusFault->status, '1');
    EXPECT_FALSE(p.help);
    EXPECT_TRUE(ParseOptions({"--help"}).help);

    const std::string help = HelpText();
    std::istringstream names(
        "--device --config --save --trace --rate --seed --frames-per-turn --idle-exit "
        "--refuse-bids --refuse-frames --corrupt-bcc --delay --drop-every --drop-rx-every "
        "--silent --z-after --insist-after --modem --modem-fault --ring-time --help SIGUSR1");
    for (std::string name; names >> name;) EXPECT_NE(help.find(name), std::string::npos) << name;
}

TEST(SimOptions, WrongCommandLinesSayWhatIsWrong) {
    EXPECT_EQ(ParseOptions({"--bogus"}).error, "unknown option: --bogus");
    EXPECT_EQ(ParseOptions({"--save"}).error, "missing value for --save");
    EXPECT_EQ(ParseOptions({"--rate", "fast"}).error, "bad value for --rate: fast");
    EXPECT_EQ(ParseOptions({"--refuse-bids", "-1"}).error, "bad value for --refuse-bids: -1");
    EXPECT_EQ(ParseOptions({"--delay", "10x"}).error, "bad value for --delay: 10x");
    EXPECT_EQ(ParseOptions({"--idle-exit", "0"}).error, "bad value for --idle-exit: 0");
    EXPECT_EQ(ParseOptions({"--frames-per-turn", "0"}).error, "bad value for --frames-per-turn: 0");
    for (const char* z : {"5:17:0", "5:3:2", "0:3:0", "5:3", "a:b:c", "5::0"})
        EXPECT_EQ(ParseOptions({"--z-after", z}).error,
                  std::string("bad value for --z-after: ") + z);
    EXPECT_EQ(ParseOptions({"--silent=yes"}).error, "unknown option: --silent=yes");
}

}  // namespace
}  // namespace qn410::sim::test
