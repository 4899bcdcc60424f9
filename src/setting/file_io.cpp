#include "setting/file_io.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace qn410 {

std::optional<std::string> ReadWholeFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    std::ostringstream out;
    out << in.rdbuf();
    if (in.bad()) return std::nullopt;
    return std::move(out).str();
}

namespace {

bool WriteAllBytes(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

namespace fs = std::filesystem;

// The file a write to path reaches: symbolic links followed, also to a file that does not exist
// yet. A loop of links is left as it is; opening it then fails as a plain write would.
fs::path FollowLinks(fs::path path) {
    for (int hops = 0; hops < 40; ++hops) {
        std::error_code ec;
        if (!fs::is_symlink(fs::symlink_status(path, ec))) break;
        const fs::path next = fs::read_symlink(path, ec);
        if (ec) break;
        path = next.is_absolute() ? next : path.parent_path() / next;
    }
    return path;
}

bool WriteAllAt(int fd, std::string_view bytes) {
    off_t at = 0;
    while (!bytes.empty()) {
        const ssize_t n = ::pwrite(fd, bytes.data(), bytes.size(), at);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(n));
        at += n;
    }
    return true;
}

enum class Swap { Done, Failed, NotPossible };

// The new contents in a temporary file with the target's owner, group and mode, renamed over the
// target. NotPossible when the folder, the owner or the rename does not allow it; the target is
// untouched then and may still be written in place.
Swap ReplaceByRename(const fs::path& target, const struct stat& old, std::string_view bytes) {
    fs::path dir = target.parent_path();
    if (dir.empty()) dir = ".";
    std::string temp = (dir / ("." + target.filename().string() + ".XXXXXX")).string();
    const int fd = ::mkstemp(temp.data());
    if (fd < 0) return Swap::NotPossible;
    Swap outcome = Swap::NotPossible;
    if ((old.st_uid == ::geteuid() && old.st_gid == ::getegid()) ||
        ::fchown(fd, old.st_uid, old.st_gid) == 0) {
        if (::fchmod(fd, old.st_mode & 07777) != 0) {
            outcome = Swap::NotPossible;
        } else if (!WriteAllBytes(fd, bytes) || ::fsync(fd) != 0) {
            outcome = Swap::Failed;  // a full disk: writing in place would fail too, and harm
        } else {
            outcome = Swap::Done;
        }
    }
    if (::close(fd) != 0 && outcome == Swap::Done) outcome = Swap::Failed;
    if (outcome == Swap::Done && ::rename(temp.c_str(), target.c_str()) != 0)
        outcome = Swap::NotPossible;
    if (outcome != Swap::Done) {
        ::unlink(temp.c_str());
        return outcome;
    }
    // Make the rename itself durable.
    const int dfd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY);
    if (dfd >= 0) {
        ::fsync(dfd);
        ::close(dfd);
    }
    return Swap::Done;
}

}  // namespace

bool ReplaceFile(const std::string& path, std::string_view bytes) {
    if (path.empty()) return false;
    const fs::path target = FollowLinks(path);
    // Opening the file for writing asks exactly what a plain write would ask. O_NONBLOCK keeps
    // a FIFO from blocking; it is refused below like anything but a regular file.
    bool created = false;
    int fd = ::open(target.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0 && errno == ENOENT) {
        fd = ::open(target.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        created = fd >= 0;
    }
    if (fd < 0) return false;
    struct stat st {};
    bool ok = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
    if (ok) {
        const Swap swap = st.st_nlink == 1 ? ReplaceByRename(target, st, bytes) : Swap::NotPossible;
        if (swap == Swap::NotPossible) {
            // In place: the contents are complete in memory; write them over the old ones and
            // cut what is left of a longer old file.
            ok = WriteAllAt(fd, bytes) && ::ftruncate(fd, static_cast<off_t>(bytes.size())) == 0 &&
                 ::fsync(fd) == 0;
        } else {
            ok = swap == Swap::Done;
        }
    }
    ok = ::close(fd) == 0 && ok;
    if (!ok && created) ::unlink(target.c_str());
    return ok;
}

}  // namespace qn410
