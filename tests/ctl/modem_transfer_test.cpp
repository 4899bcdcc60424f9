// qn410ctl over a modem call: a setting file whose method is Modem dials its TelNo through the
// modem device, here qn410-sim --modem on a pseudo-terminal.
#include <gtest/gtest.h>

#include <memory>

#include "setting/setting_file.h"
#include "setting/text_field.h"
#include "support/child_process.h"
#include "support/passing_numbers.h"
#include "support/random_recordable.h"
#include "support/recording_prompt.h"
#include "support/temp_dir.h"

namespace qn410::ctl::test {
namespace {

class ModemTransferTest : public ::testing::Test {
  protected:
    // Random recordable data of 16 exchanges, reached by dialling 0-123.
    std::string WriteModemFile(const std::string& name) {
        SettingDocument doc;
        qn410::test::FillRandomRecordable(doc.data(), 5);
        doc.data().System.SwitchCnt = 16;
        qn410::test::MakeStationNumbersPass(doc.data());
        doc.data().Maintenance.PcConnect = 1;
        SetText(doc.data().Maintenance.TelNo, "0-123");
        qn410::test::RecordingPrompt prompt;
        EXPECT_TRUE(WriteSettingFile(dir_.file(name), doc, "", prompt));
        return dir_.file(name);
    }
    std::unique_ptr<SettingData> Read(const std::string& path) {
        SettingDocument doc;
        qn410::test::RecordingPrompt prompt;
        std::string password;
        EXPECT_EQ(ReadSettingFile(path, doc, password, prompt), ReadOutcome::Ok) << path;
        return std::make_unique<SettingData>(doc.data());
    }
    // The serial port leads nowhere: only the modem reaches the simulator.
    static std::vector<std::pair<std::string, std::string>> Env(const Simulator& sim) {
        return {{"QN410_COM1", "/nonexistent"}, {"QN410_MODEM", sim.port()}};
    }
    qn410::test::TempDir dir_;
};

TEST_F(ModemTransferTest, SixteenExchangesGoUpAndComeBackOverTheCall) {
    const std::string file = WriteModemFile("modem.txt");
    Simulator sim({"--modem", "--ring-time", "200", "--idle-exit", "60"});
    ASSERT_FALSE(sim.port().empty());
    const ProcessResult up = RunCtl({"upload", file}, Env(sim));
    ASSERT_EQ(up.status, 0) << up.err;
    const std::string out = dir_.file("back.txt");
    // --modem names the device over QN410_MODEM.
    const ProcessResult down = RunCtl({"download", out, "--base", file, "--modem", sim.port()},
                                      {{"QN410_MODEM", "/nonexistent"}});
    ASSERT_EQ(down.status, 0) << down.err;
    EXPECT_EQ(qn410::test::FirstRecordDifference(*Read(file), *Read(out)), std::nullopt);
}

// Each modem fault ends in the program's text, in seconds; a call lost mid-transfer leaves the
// modem ready for the next one.
TEST_F(ModemTransferTest, ModemFaultsEndInTheirTextAndTheNextCallWorks) {
    const std::string file = WriteModemFile("modem.txt");
    const std::pair<const char*, const char*> cases[] = {
        {"busy", "Failed to open the device"},
        {"no-answer", "Failed to open the device"},
        {"no-dialtone", "Failed to open the device"},
        {"carrier-lost:500", "Failed to transmit"},
    };
    for (const auto& [fault, text] : cases) {
        Simulator sim(
            {"--modem", "--ring-time", "100", "--modem-fault", fault, "--idle-exit", "60"});
        const ProcessResult up = RunCtl({"upload", file}, Env(sim), 20000);
        EXPECT_EQ(up.status, 1) << fault;
        EXPECT_EQ(up.err, std::string("qn410ctl: ") + text + "\n") << fault;
        if (std::string(fault).rfind("carrier", 0) == 0)
            EXPECT_EQ(RunCtl({"upload", file}, Env(sim)).status, 0);
    }
}

}  // namespace
}  // namespace qn410::ctl::test
