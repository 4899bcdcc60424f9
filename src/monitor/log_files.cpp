#include "monitor/log_files.h"

#include <cstdio>

namespace qn410 {

namespace {
constexpr char kLineEnd[] = "\r\n";
constexpr char kSeparator = '/';

bool Digits(const std::string& s, size_t at, size_t count, int& value) {
    value = 0;
    for (size_t i = at; i < at + count; ++i) {
        if (i >= s.size() || s[i] < '0' || s[i] > '9') return false;
        value = value * 10 + (s[i] - '0');
    }
    return true;
}
}  // namespace

const char* FilePrefix(LogKind kind) {
    return kind == LogKind::Log ? "HS" : "CM";
}

std::string FileLine(const LogLine& line) {
    return std::string(reinterpret_cast<const char*>(&line), sizeof line) + kLineEnd;
}

std::string FileLine(const MonitorEntry& entry) {
    return MonitorLineText(entry) + kLineEnd;
}

std::string InFolder(const std::string& folder, const std::string& name) {
    if (folder.empty()) return name;
    if (folder.back() == kSeparator) return folder + name;
    return folder + kSeparator + name;
}

std::string DailyFileName(LogKind kind, const std::string& folder, const LocalTime& day,
                          int number) {
    char name[32];
    std::snprintf(name, sizeof name, "%s%02d%02d%02d-%02d.txt", FilePrefix(kind), day.year % 100,
                  day.month, day.day, number % 100);
    return InFolder(folder, name);
}

RememberedFile ParseRemembered(const std::string& path) {
    // The name is the last part of the path: two letters, yymmdd, '-', two digits, ".txt". The
    // folder is what stands before it, so a file in the current folder is continued as well.
    RememberedFile out;
    const size_t slash = path.find_last_of(kSeparator);
    const size_t start = slash == std::string::npos ? 0 : slash + 1;
    const std::string name = path.substr(start);
    constexpr size_t kNameSize = 15;  // "HS020305-02.txt"
    if (name.size() != kNameSize || name[8] != '-' || name.compare(11, 4, ".txt") != 0) return out;
    RememberedFile r;
    if (!Digits(name, 2, 2, r.year) || !Digits(name, 4, 2, r.month) || !Digits(name, 6, 2, r.day) ||
        !Digits(name, 9, 2, r.number))
        return out;
    r.folder = slash == std::string::npos ? std::string() : path.substr(0, slash);
    return r;
}

std::string DataSaveName(LogKind kind, const std::string& folder, const LocalTime& now) {
    char name[32];
    std::snprintf(name, sizeof name, "%s%02d%02d%02d%02d%02d%02d.txt", FilePrefix(kind),
                  now.year % 100, now.month, now.day, now.hour, now.minute, now.second);
    return InFolder(folder, name);
}

bool AppendLines(const std::string& path, const std::vector<std::string>& lines) {
    std::FILE* file = std::fopen(path.c_str(), "ab");
    if (!file) return false;
    bool ok = true;
    for (const std::string& line : lines)
        ok = ok && std::fwrite(line.data(), 1, line.size(), file) == line.size();
    return std::fclose(file) == 0 && ok;
}

}  // namespace qn410
