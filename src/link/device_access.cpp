#include "link/device_access.h"

#include <mutex>

#ifndef _WIN32
#include <grp.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <vector>
#endif

namespace qn410 {

namespace {
std::mutex g_lock;
std::string g_problem;
}  // namespace

std::string PermissionProblem(const std::string& device) {
#ifdef _WIN32
    (void)device;
    return {};
#else
    struct stat info {};
    if (device.empty() || ::stat(device.c_str(), &info) != 0) return {};
    if (::access(device.c_str(), R_OK | W_OK) == 0 || errno != EACCES) return {};
    const std::string denied = device + ": permission denied";
    const group* owner = ::getgrgid(info.st_gid);
    if (!owner) return denied + " for this user";
    bool member = ::getegid() == info.st_gid;
    std::vector<gid_t> groups(static_cast<std::size_t>(std::max(::getgroups(0, nullptr), 0)));
    if (!groups.empty() && ::getgroups(static_cast<int>(groups.size()), groups.data()) >= 0) {
        for (const gid_t g : groups) member = member || g == info.st_gid;
    }
    if (member) return denied + " for this user";
    return denied + ": the device belongs to the group \"" + owner->gr_name +
           "\", which this user is not in (add the user to it, then log in again)";
#endif
}

void NoteOpenResult(const std::string& device, bool opened) {
    std::string problem = opened ? std::string() : PermissionProblem(device);
    std::lock_guard lock(g_lock);
    g_problem = std::move(problem);
}

std::string LastOpenProblem() {
    std::lock_guard lock(g_lock);
    return g_problem;
}

}  // namespace qn410
