#include "sim_options.h"

#include <gtest/gtest.h>

#include <iterator>
#include <sstream>
#include <tuple>

namespace qn410::sim::test {
namespace {

using namespace std::string_literals;

TEST(SimOptions, EveryOptionIsReadAndDocumented) {
    std::istringstream line(
        "--device /dev/ttyUSB0 --config in.txt --save=out.txt --trace - --rate 2.5 --seed 9 "
        "--frames-per-turn 4 --idle-exit 30 --refuse-bids 1 --refuse-frames 2 --corrupt-bcc 3 "
        "--delay 250 --drop-every 7 --drop-rx-every 11 --silent --z-after 5:3:1");
    const ParsedOptions p = ParseOptions(
        {std::istream_iterator<std::string>(line), std::istream_iterator<std::string>()});
    ASSERT_EQ(p.error, "");
    const SimOptions& o = p.options;
    const LineFaults& f = o.faults;
    EXPECT_EQ(std::tie(o.device, o.config, o.save, o.trace),
              std::tuple("/dev/ttyUSB0"s, "in.txt"s, "out.txt"s, "-"s));
    EXPECT_EQ(std::tuple(o.rate, o.seed, o.timing.framesPerTurn, o.idleExit),
              std::tuple(2.5, 9u, 4, std::optional(30.0)));
    EXPECT_EQ(std::tuple(f.refuseBids, f.refuseFrames, f.corruptBcc, f.delay, f.dropEvery,
                         f.dropRxEvery, f.silent),
              std::tuple(1, 2, 3, Millis{250}, 7, 11, true));
    ASSERT_TRUE(o.statusFault);
    EXPECT_EQ(
        std::tuple(o.statusFault->afterRecords, o.statusFault->exchange, o.statusFault->status),
        std::tuple(5, 3, '1'));
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
