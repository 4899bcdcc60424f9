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
    // Random recordable data of 16 exchanges, reached by dialling 0-123; path names its file.
    std::unique_ptr<SettingDocument> ModemFile(const std::string& path) {
        auto doc = std::make_unique<SettingDocument>();
        qn410::test::FillRandomRecordable(doc->data(), 5);
        doc->data().System.SwitchCnt = 16;
        qn410::test::MakeStationNumbersPass(doc->data());
        doc->data().Maintenance.PcConnect = 1;
        SetText(doc->data().Maintenance.TelNo, "0-123");
        EXPECT_TRUE(WriteSettingFile(path, *doc, "", prompt_));
        return doc;
    }
    // The serial port leads nowhere: only the modem reaches the simulator.
    static std::vector<std::pair<std::string, std::string>> Env(const Simulator& sim) {
        return {{"QN410_COM1", "/nonexistent"}, {"QN410_MODEM", sim.port()}};
    }
    qn410::test::TempDir dir_;
    qn410::test::RecordingPrompt prompt_;
    std::string file_ = dir_.file("modem.txt");
};

// Each modem fault ends in the program's text, in seconds. A call lost mid-transfer leaves the
// modem ready for the next: 16 exchanges then go up and come back.
TEST_F(ModemTransferTest, ModemFaultsEndInTheirTextAndTheNextCallsCarryEverything) {
    const auto sent = ModemFile(file_);
    const std::pair<const char*, const char*> cases[] = {
        {"busy", "Failed to open the device"},
        {"no-answer", "Failed to open the device"},
        {"no-dialtone", "Failed to open the device"},
        {"carrier-lost:500", "Failed to transmit"},
    };
    for (const auto& [fault, text] : cases) {
        Simulator sim(
            {"--modem", "--ring-time", "100", "--modem-fault", fault, "--idle-exit", "60"});
        const ProcessResult up = RunCtl({"upload", file_}, Env(sim), 20000);
        EXPECT_EQ(up.status, 1) << fault;
        EXPECT_EQ(up.err, std::string("qn410ctl: ") + text + "\n") << fault;
        if (std::string(fault).rfind("carrier", 0) != 0) continue;
        ASSERT_EQ(RunCtl({"upload", file_}, Env(sim)).status, 0);
        const std::string out = dir_.file("back.txt");
        // --modem names the device over QN410_MODEM.
        const ProcessResult down = RunCtl({"download", out, "--base", file_, "--modem", sim.port()},
                                          {{"QN410_MODEM", "/nonexistent"}});
        ASSERT_EQ(down.status, 0) << down.err;
        SettingDocument back;
        std::string password;
        ASSERT_EQ(ReadSettingFile(out, back, password, prompt_), ReadOutcome::Ok);
        EXPECT_EQ(qn410::test::FirstRecordDifference(sent->data(), back.data()), std::nullopt);
    }
}

}  // namespace
}  // namespace qn410::ctl::test
