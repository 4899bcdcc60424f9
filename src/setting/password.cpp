#include "setting/password.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <fstream>

#include "setting/setting_file.h"

namespace qn410 {

bool IsStorablePassword(std::string_view password) {
    if (password.size() > kPasswordMaxLength) return false;
    for (const char c : password)
        if (static_cast<unsigned char>(c) >= 0xF0) return false;
    return true;
}

void ReadPassword(const std::string& path, std::string& password, Prompt& prompt) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        password.clear();
        return;
    }
    std::string line;
    std::getline(in, line);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    const auto value = FindKeyValue(line, "Password=");
    if (!value) {
        prompt.Tell(MissingKeyMessage("Password=", /*withDefaultLine=*/false));
        password = kPasswordKeyMissing;
        return;
    }
    const auto decoded = DecodePasswordField(*value);
    password = decoded ? *decoded : kPasswordMalformed;
}

bool WritePassword(const std::string& path, const std::string& password) {
    const std::string line = "Password=" + EncodePasswordField(password) + "\n";
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT, 0666);
    if (fd < 0) return false;
    std::size_t done = 0;
    bool ok = true;
    while (done < line.size()) {
        const ssize_t n =
            ::pwrite(fd, line.data() + done, line.size() - done, static_cast<off_t>(done));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            ok = false;
            break;
        }
        done += static_cast<std::size_t>(n);
    }
    ok = ::fsync(fd) == 0 && ok;
    return (::close(fd) == 0) && ok;
}

}  // namespace qn410
