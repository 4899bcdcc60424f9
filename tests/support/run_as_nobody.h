// Steps a test must take as an ordinary user: we run the tests as root, who may write any file,
// so that read-only files and folders are tested as "nobody" through runuser.
#pragma once

#include <sys/wait.h>
#include <unistd.h>

#include <string>
#include <vector>

namespace qn410::test {

// Whether RunAsNobody can work here (we are root).
inline bool CanRunAsNobody() {
    return ::geteuid() == 0 && ::access("/usr/sbin/runuser", X_OK) == 0;
}

// Runs command as the user "nobody"; its exit status, or -1 when it did not run to an end.
inline int RunAsNobody(const std::vector<std::string>& command) {
    std::vector<std::string> all{"runuser", "-u", "nobody", "--"};
    all.insert(all.end(), command.begin(), command.end());
    std::vector<char*> argv;
    for (std::string& a : all) argv.push_back(a.data());
    argv.push_back(nullptr);
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::execv("/usr/sbin/runuser", argv.data());
        ::_exit(127);
    }
    int status = 0;
    if (pid < 0 || ::waitpid(pid, &status, 0) != pid || !WIFEXITED(status)) return -1;
    return WEXITSTATUS(status);
}

}  // namespace qn410::test
