#include "link/port_map.h"

#include <cstdlib>
#include <filesystem>

#ifdef __linux__
#include <sys/stat.h>
#include <sys/sysmacros.h>
#endif

namespace qn410 {

std::string PortName(int index) {
    return "COM" + std::to_string(index + 1);
}

std::string DeviceOfPort(int index) {
    if (index < 0 || index >= kPortCount) return {};
    const std::string variable = "QN410_" + PortName(index);
    if (const char* value = std::getenv(variable.c_str()); value && *value) return value;
#ifdef _WIN32
    return PortName(index);
#else
    return "/dev/ttyS" + std::to_string(index);
#endif
}

std::string ResolvePort(const std::string& nameOrPath) {
    for (int i = 0; i < kPortCount; ++i) {
        if (nameOrPath == PortName(i)) return DeviceOfPort(i);
    }
    return nameOrPath;
}

bool IsPseudoTerminal(const std::string& device) {
#ifdef __linux__
    std::error_code error;
    const std::string real = std::filesystem::canonical(device, error).string();
    if (error) return false;
    if (real.rfind("/dev/pts/", 0) == 0 || real == "/dev/ptmx") return true;
    struct stat info {};
    if (::stat(real.c_str(), &info) != 0 || !S_ISCHR(info.st_mode)) return false;
    const unsigned major_no = major(info.st_rdev);
    return major_no >= 136 && major_no <= 143;  // Unix98 pseudo-terminal slaves
#else
    (void)device;
    return false;
#endif
}

}  // namespace qn410
