// Saving does what writing the file itself would do: through links, keeping owner, mode and hard
// links, refused exactly where the file is not writable, and possible where only the file is.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "setting/setting_file.h"
#include "support/recording_prompt.h"
#include "support/run_as_nobody.h"
#include "support/temp_dir.h"

namespace qn410::test {
namespace {

namespace fs = std::filesystem;
constexpr uid_t kNobody = 65534;

struct stat Stat(const std::string& path) {
    struct stat st {};
    ::stat(path.c_str(), &st);
    return st;
}

// path holding "old", with the owner and mode given.
std::string OldFile(const std::string& path, uid_t owner, mode_t mode) {
    WriteAll(path, "old");
    EXPECT_EQ(::chown(path.c_str(), owner, owner), 0);
    EXPECT_EQ(::chmod(path.c_str(), mode), 0);
    return path;
}

TEST(SaveFile, KeepsLinksOwnerModeAndRefusesOnlyWhereAPlainWriteWould) {
    if (!CanRunAsNobody()) GTEST_SKIP() << "needs root and runuser";
    TempDir dir;
    fs::permissions(dir.path(), fs::perms::all);  // every user may write the folder
    const std::string defaults = FormatSettingFile(SettingDocument().data(), "");
    const auto saveAsNobody = [](const std::string& path) {
        return RunAsNobody(QN410_SAVE_DEFAULT_FILE, path);
    };

    // Through a symbolic link to the master file, which has another owner and a hard link.
    fs::create_directory(dir.file("master"));
    const std::string master = OldFile(dir.file("master/site.txt"), kNobody, 0640);
    fs::create_symlink("master/site.txt", dir.file("site.txt"));
    fs::create_hard_link(master, dir.file("second.txt"));
    SettingDocument doc;
    RecordingPrompt prompt;
    ASSERT_TRUE(WriteSettingFile(dir.file("site.txt"), doc, "", prompt));
    EXPECT_TRUE(fs::is_symlink(dir.file("site.txt")));
    EXPECT_TRUE(ReadAll(master) == defaults && ReadAll(dir.file("second.txt")) == defaults);
    EXPECT_EQ(Stat(master).st_uid, kNobody);
    EXPECT_EQ(Stat(master).st_mode & 07777, 0640u);

    // As an ordinary user: the user's own read-only file is refused and left alone...
    const std::string readOnly = OldFile(dir.file("read-only.txt"), kNobody, 0444);
    EXPECT_EQ(saveAsNobody(readOnly), 1);
    EXPECT_EQ(ReadAll(readOnly), "old");
    // ...root's shared file is saved and stays root's...
    const std::string shared = OldFile(dir.file("shared.txt"), 0, 0666);
    EXPECT_EQ(saveAsNobody(shared), 0);
    EXPECT_TRUE(ReadAll(shared) == defaults);
    EXPECT_EQ(Stat(shared).st_uid, 0u);
    // ...and a writable file in a folder the user may not write is saved in place, cut to length.
    fs::create_directory(dir.file("closed"));
    fs::permissions(dir.file("closed"), static_cast<fs::perms>(0755));
    const std::string inClosed = OldFile(dir.file("closed/site.txt"), 0, 0666);
    WriteAll(inClosed, std::string(2'000'000, 'x'));
    EXPECT_EQ(saveAsNobody(inClosed), 0);
    EXPECT_TRUE(ReadAll(inClosed) == defaults);
    EXPECT_EQ(saveAsNobody(dir.file("closed/new.txt")), 1);  // nothing new can be made there
}

}  // namespace
}  // namespace qn410::test
