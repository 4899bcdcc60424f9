// The command line of qn410ctl upload/download, the port it leads to and the progress line.
#include "transfer_options.h"

#include <gtest/gtest.h>

#include <sstream>

#include "progress_line.h"
#include "transfer/send_record.h"

namespace qn410::ctl {
namespace {

TEST(TransferOptions, ReadsEveryOptionInBothSpellings) {
    std::ostringstream err;
    const auto o = ParseTransferOptions(
        {"--exchange=3", "out.txt", "--port", "/dev/pts/7", "--base", "site.txt", "--timeout=5"},
        true, err);
    ASSERT_TRUE(o) << err.str();
    EXPECT_EQ(o->file, "out.txt");
    EXPECT_EQ(o->exchange, 3);
    EXPECT_EQ(o->port, "/dev/pts/7");
    EXPECT_EQ(o->base, "site.txt");
    EXPECT_EQ(o->timeoutSeconds, 5);

    const auto plain = ParseTransferOptions({"site.txt"}, false, err);
    ASSERT_TRUE(plain);
    EXPECT_EQ(plain->exchange, 0);
    EXPECT_EQ(plain->timeoutSeconds, 0);
}

TEST(TransferOptions, RefusesWhatTheTransferCannotUse) {
    for (const Args& args : std::vector<Args>{
             {},
             {"a", "b"},
             {"a", "--exchange", "0"},
             {"a", "--exchange", "17"},
             {"a", "--exchange", "2x"},
             {"a", "--timeout", "0"},
             {"a", "--timeout", "121"},  // shortens the 120 seconds, never lengthens them
             {"a", "--port"},
             {"a", "--base", "b"},  // download only
             {"a", "--speed", "9600"},
         }) {
        std::ostringstream err;
        EXPECT_FALSE(ParseTransferOptions(args, false, err)) << ::testing::PrintToString(args);
        EXPECT_NE(err.str().find("Usage: qn410ctl upload FILE"), std::string::npos);
    }
}

TEST(TransferOptions, PortComesFromTheOptionOrTheFileAndForcesTheSerialLine) {
    const MaintenanceSetting modemOnCom3{1, 2, "0123"};
    PortChoice c = ChoosePort("", modemOnCom3);
    EXPECT_EQ(c.settings.PcConnect, 1);
    EXPECT_EQ(c.settings.CommPort, 2);
    EXPECT_EQ(c.devicePath, "");
    c = ChoosePort("COM4", modemOnCom3);
    EXPECT_EQ(c.settings.PcConnect, 0);
    EXPECT_EQ(c.settings.CommPort, 3);
    EXPECT_EQ(c.devicePath, "");
    c = ChoosePort("/dev/ttyUSB0", modemOnCom3);
    EXPECT_EQ(c.settings.CommPort, 0);
    EXPECT_EQ(c.devicePath, "/dev/ttyUSB0");
}

// The messages of an upload of 4 steps, then a download whose Global Setting raises the total.
TEST(ProgressLine, DrawsTheCategoryAndTheShareDoneInPlace) {
    std::ostringstream out;
    ProgressLine line(&out);
    line.OnProgress(UM_PROGRESS_START, kDisplayTransmitting, "Global Setting", 4);
    EXPECT_EQ(line.line(), "Transmitting data: Global Setting [0%]");
    line.OnProgress(UM_PROGRESS_ADVANCE, kDisplayTransmitting, {}, 0);
    line.OnProgress(UM_PROGRESS_STEP, kDisplayTransmitting, "Substations", 0);
    EXPECT_EQ(line.line(), "Transmitting data: Substations [25%]");
    line.OnProgress(UM_PROGRESS_ADVANCE, kDisplayTransmitting, {}, 0);
    line.OnProgress(UM_PROGRESS_STEP, kDisplayTransmitting, "Zone", 0);
    line.OnProgress(UM_PROGRESS_CLOSE, 0, {}, 0);
    EXPECT_EQ(out.str(),
              "\rTransmitting data: Global Setting [0%]"
              "\rTransmitting data: Global Setting [25%]"
              "\rTransmitting data: Substations [25%]   "  // blanks wipe the longer line
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

// A message during the transfer starts on a line of its own.
TEST(ProgressLine, BreaksForAMessageAndDrawsAgainBelowIt) {
    std::ostringstream out;
    ProgressLine line(&out);
    line.OnProgress(UM_PROGRESS_START, kDisplayTransmitting, "Global Setting", 2);
    line.Break();
    out << "message\n";
    line.Break();  // nothing drawn since: no empty line
    line.OnProgress(UM_PROGRESS_ADVANCE, kDisplayTransmitting, {}, 0);
    line.OnProgress(UM_PROGRESS_CLOSE, 0, {}, 0);
    EXPECT_EQ(out.str(),
              "\rTransmitting data: Global Setting [0%]\nmessage\n"
              "\rTransmitting data: Global Setting [50%]\n");
}

}  // namespace
}  // namespace qn410::ctl
