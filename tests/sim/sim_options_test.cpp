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
    // The options the simulator's process tests do not show in its behaviour.
    const SimOptions& o = p.options;
    EXPECT_EQ(o.device, "/dev/ttyUSB0");
    EXPECT_EQ(o.save, "out.txt");
    EXPECT_EQ(o.seed, 9u);
    EXPECT_EQ(o.timing.framesPerTurn, 4);
    EXPECT_EQ(o.faults.refuseBids, 1);
    EXPECT_EQ(o.faults.corruptBcc, 3);
    EXPECT_EQ(o.faults.dropEvery, 7);
    EXPECT_EQ(o.statusFault->status, '1');
    EXPECT_FALSE(p.help);
    EXPECT_TRUE(ParseOptions({"--help"}).help);

    const std::string help = HelpText();
    for (const char* name : {"--device",
                             "--config",
                             "--save",
                             "--trace",
                             "--rate",
                             "--seed",
                             "--frames-per-turn",
                             "--idle-exit",
                             "--refuse-bids",
                             "--refuse-frames",
                             "--corrupt-bcc",
                             "--delay",
                             "--drop-every",
                             "--drop-rx-every",
                             "--silent",
                             "--z-after",
                             "--insist-after",
                             "--modem",
                             "--modem-fault",
                             "--ring-time",
                             "--help",
                             "SIGUSR1"})
        EXPECT_NE(help.find(name), std::string::npos) << name;
}

TEST(SimOptions, WrongCommandLinesSayWhatIsWrong) {
    for (const std::string a : {"--bogus", "--silent=yes"})
        EXPECT_EQ(ParseOptions({a}).error, "unknown option: " + a);
    EXPECT_EQ(ParseOptions({"--save"}).error, "missing value for --save");
    for (const auto& [name, value] : {std::pair{"--rate", "fast"},
                                      {"--refuse-bids", "-1"},
                                      {"--delay", "10x"},
                                      {"--idle-exit", "0"},
                                      {"--frames-per-turn", "0"},
                                      {"--z-after", "5:17:0"},
                                      {"--z-after", "5:3:2"},
                                      {"--z-after", "0:3:0"},
                                      {"--z-after", "5:3"},
                                      {"--z-after", "a:b:c"},
                                      {"--z-after", "5::0"}})
        EXPECT_EQ(ParseOptions({name, value}).error,
                  std::string("bad value for ") + name + ": " + value);
}

}  // namespace
}  // namespace qn410::sim::test
