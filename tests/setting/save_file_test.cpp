// Saving a setting file does what writing the file itself would do, and no more: through links,
// keeping owner, mode and hard links, refused exactly where the file is not writable.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "setting/setting_file.h"
#include "support/recording_prompt.h"
#include "support/run_as_nobody.h"
#include "support/temp_dir.h"

namespace qn410::test {
namespace {

namespace fs = std::filesystem;
constexpr uid_t kNobody = 65534;

struct SaveFile : ::testing::Test {
    void SetUp() override {
        if (!CanRunAsNobody()) GTEST_SKIP() << "needs root and runuser";
        fs::permissions(dir.path(), fs::perms::all);  // every user may write the folder
        defaults = FormatSettingFile(SettingDocument().data(), "");
    }
    // A folder of root's that nobody may read but not write.
    std::string ClosedFolder() {
        const std::string closed = dir.file("closed");
        fs::create_directory(closed);
        fs::permissions(closed, static_cast<fs::perms>(0755));
        return closed;
    }
    static struct stat Stat(const std::string& path) {
        struct stat st {};
        ::lstat(path.c_str(), &st);
        return st;
    }
    static int SaveAsNobody(const std::string& path) {
        return RunAsNobody({QN410_SAVE_DEFAULT_FILE, path});
    }
    TempDir dir;
    std::string defaults;
    RecordingPrompt prompt;
};

TEST_F(SaveFile, WritesThroughLinksAndKeepsOwnerModeAndHardLinks) {
    fs::create_directory(dir.file("master"));
    const std::string master = dir.file("master/site.txt"), link = dir.file("site.txt");
    WriteAll(master, "old");
    fs::create_symlink("master/site.txt", link);
    ASSERT_EQ(::chown(master.c_str(), kNobody, kNobody), 0);
    ASSERT_EQ(::chmod(master.c_str(), 0640), 0);
    const std::string second = dir.file("second.txt");
    fs::create_hard_link(master, second);

    SettingDocument doc;
    ASSERT_TRUE(WriteSettingFile(link, doc, "", prompt));
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_TRUE(ReadAll(master) == defaults);
    EXPECT_TRUE(ReadAll(second) == defaults);  // still the same file
    EXPECT_EQ(Stat(master).st_uid, kNobody);
    EXPECT_EQ(Stat(master).st_gid, kNobody);
    EXPECT_EQ(Stat(master).st_mode & 07777, 0640u);
    EXPECT_TRUE(prompt.shown.empty());
}

TEST_F(SaveFile, AsAnOrdinaryUserSucceedsAndFailsWhereAPlainWriteWould) {
    // A read-only file of the user's own, in a folder the user may write: refused, untouched.
    const std::string readOnly = dir.file("read-only.txt");
    WriteAll(readOnly, "old");
    ASSERT_EQ(::chown(readOnly.c_str(), kNobody, kNobody), 0);
    ASSERT_EQ(::chmod(readOnly.c_str(), 0444), 0);
    EXPECT_EQ(SaveAsNobody(readOnly), 1);
    EXPECT_EQ(ReadAll(readOnly), "old");

    // A shared file of root's that everyone may write: saved, root still owns it.
    const std::string shared = dir.file("shared.txt");
    WriteAll(shared, "old");
    ASSERT_EQ(::chmod(shared.c_str(), 0666), 0);
    EXPECT_EQ(SaveAsNobody(shared), 0);
    EXPECT_TRUE(ReadAll(shared) == defaults);
    EXPECT_EQ(Stat(shared).st_uid, 0u);

    // A writable file in a folder the user may not write: saved in place.
    const std::string inClosed = ClosedFolder() + "/site.txt";
    WriteAll(inClosed, std::string(2'000'000, 'x'));  // longer than the new contents
    ASSERT_EQ(::chmod(inClosed.c_str(), 0666), 0);
    EXPECT_EQ(SaveAsNobody(inClosed), 0);
    EXPECT_TRUE(ReadAll(inClosed) == defaults);
    // Nothing new can be made there, and nothing is left behind.
    EXPECT_EQ(SaveAsNobody(dir.file("closed/new.txt")), 1);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.file("closed")), {}), 1);
}

}  // namespace
}  // namespace qn410::test
