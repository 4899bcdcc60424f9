// We run the tests as root, who may write any file: steps about files an ordinary user may not
// write run as "nobody" through runuser.
#pragma once

#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

namespace qn410::test {

inline bool CanRunAsNobody() {
    return ::geteuid() == 0 && ::access("/usr/sbin/runuser", X_OK) == 0;
}

// Runs program with one argument as "nobody"; its exit status, -1 when it did not end normally.
inline int RunAsNobody(const std::string& program, const std::string& argument) {
    const int status =
        std::system(("runuser -u nobody -- '" + program + "' '" + argument + "'").c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace qn410::test
