// qn410ctl verify against qn410-sim over a pseudo-terminal: the exchanges holding the file's
// data agree; one changed station name is named; the trace shows the tool's request on the line.
#include <fcntl.h>
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "setting/setting_file.h"
#include "setting/text_field.h"
#include "support/child_process.h"
#include "support/recording_prompt.h"
#include "support/temp_dir.h"

namespace qn410::ctl::test {
namespace {

// qn410ctl's exit status, with its standard output (the report) in out.
int RunVerify(const std::vector<std::string>& args, const Simulator& sim, std::string& out,
              const std::string& outPath) {
    const int fd = open(outPath.c_str(), O_CREAT | O_WRONLY | O_TRUNC, 0600);
    const pid_t pid = Spawn(QN410CTL_BINARY, args, sim.env(), fd, -1);
    close(fd);
    int status = 0;
    waitpid(pid, &status, 0);
    std::ostringstream text;
    text << std::ifstream(outPath).rdbuf();
    out = text.str();
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(VerifyCommand, AgreesWithTheSameDataAndNamesAChangedStation) {
    qn410::test::TempDir dir;
    qn410::test::RecordingPrompt prompt;
    SettingDocument doc;
    doc.data().System.SwitchCnt = 2;
    const std::string file = dir.file("site.txt"), exchanges = dir.file("exchanges.txt");
    ASSERT_TRUE(WriteSettingFile(file, doc, "", prompt));
    SetText(doc.data().Exchange[0].Sub[4].Name, "CHANGED");
    ASSERT_TRUE(WriteSettingFile(exchanges, doc, "", prompt));

    const std::string trace = dir.file("trace.txt"), report = dir.file("report.txt");
    std::string out;
    {
        Simulator sim({"--config", file, "--idle-exit", "60"});
        EXPECT_EQ(RunVerify({"verify", file, "--trace", trace}, sim, out, report), 0);
        EXPECT_EQ(out, "");
    }
    // The start of the conversation: the tool's request, acknowledged, and its turn closed.
    std::ifstream in(trace);
    const char* expected[] = {"TX DLE ENQ", "RX DLE ACK", "TX frame \"Q00\"", "RX DLE ACK",
                              "TX DLE EOT"};
    for (const char* what : expected) {
        std::string line;
        ASSERT_TRUE(std::getline(in, line));
        EXPECT_NE(line.find(what), std::string::npos) << line << " (expected " << what << ')';
    }

    Simulator sim({"--config", exchanges, "--idle-exit", "60"});
    EXPECT_EQ(RunVerify({"verify", file, "--exchange", "1"}, sim, out, report), 1);
    EXPECT_EQ(out.rfind("Substations, Exchange 01, Substation 5, Name: \"", 0), 0u) << out;
    EXPECT_NE(out.find("-> \"CHANGED\"\n"), std::string::npos) << out;
}

}  // namespace
}  // namespace qn410::ctl::test
