#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "ctl_command.h"
#include "setting/setting_file.h"
#include "support/temp_dir.h"

namespace qn410::test {
namespace {

struct CtlRun {
    int status;
    std::string out, err;
};

CtlRun Ctl(const ctl::Args& args) {
    std::ostringstream out, err;
    const int status = ctl::Run(args, out, err);
    return {status, out.str(), err.str()};
}

TEST(CtlFileCommands, NewWritesDefaultsAndCopyReproducesThem) {
    TempDir dir;
    const std::string a = dir.file("a.txt"), b = dir.file("b.txt");
    ASSERT_EQ(Ctl({"new", a}).status, 0);
    SettingDocument defaults;
    EXPECT_EQ(ReadAll(a), FormatSettingFile(defaults.data(), ""));

    const CtlRun copy = Ctl({"copy", a, b});
    EXPECT_EQ(copy.status, 0);
    EXPECT_EQ(copy.err, "");
    EXPECT_EQ(ReadAll(a), ReadAll(b));
}

TEST(CtlFileCommands, CopyOfABrokenFileSaysWhyAndWritesNothing) {
    TempDir dir;
    const std::string in = dir.file("in.txt"), out = dir.file("out.txt");
    SettingDocument doc;
    std::string bytes = FormatSettingFile(doc.data(), "");
    bytes.replace(bytes.find("SwitchCnt="), 6, "Swotch");
    WriteAll(in, bytes);

    const CtlRun broken = Ctl({"copy", in, out});
    EXPECT_EQ(broken.status, 1);
    EXPECT_NE(broken.err.find("SwitchCnt= not found."), std::string::npos) << broken.err;
    EXPECT_FALSE(std::filesystem::exists(out));

    WriteAll(in, "Password=99" + std::string(20, '*') + "\n");
    EXPECT_EQ(Ctl({"copy", in, out}).status, 1);
    const CtlRun missing = Ctl({"copy", dir.file("absent.txt"), out});
    EXPECT_EQ(missing.status, 1);
    EXPECT_NE(missing.err.find("cannot be opened"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(out));
    EXPECT_FALSE(std::filesystem::exists(dir.file("absent.txt")));
}

TEST(CtlFileCommands, UsageAndHelp) {
    EXPECT_EQ(Ctl({}).status, 2);
    EXPECT_EQ(Ctl({"copy", "only-one"}).status, 2);
    EXPECT_EQ(Ctl({"frobnicate"}).status, 2);
    const CtlRun help = Ctl({"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("copy IN OUT"), std::string::npos);
}

}  // namespace
}  // namespace qn410::test
