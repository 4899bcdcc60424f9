#include "monitor/daily_file.h"

#include <filesystem>

namespace qn410 {

DailyFile::DailyFile(LogKind kind, const std::string& remembered, const Clock& clock)
    : kind_(kind), clock_(clock), path_(remembered) {
    const RememberedFile r = ParseRemembered(remembered);
    const LocalTime today = clock_.Now();
    folder_ = r.folder;
    number_ = r.number;
    if (number_ == 0 || r.year != today.year % 100 || r.month != today.month || r.day != today.day)
        number_ = 1;
    const std::string name = DailyFileName(kind_, folder_, today, number_);
    std::error_code error;
    if (std::filesystem::exists(name, error)) {
        if (Open(name, "ab"))
            path_ = name;
        else
            startFailure_ = Fail(openReported_, "opened");
    } else {
        number_ = 0;
    }
}

DailyFile::~DailyFile() {
    Close();
}

void DailyFile::Close() {
    if (file_) std::fclose(file_);
    file_ = nullptr;
}

std::optional<std::string> DailyFile::TakeStartFailure() {
    auto failure = std::move(startFailure_);
    startFailure_.reset();
    return failure;
}

void DailyFile::SelectFolder(const std::string& folder) {
    folder_ = folder;
    newFileRequested_ = true;
}

bool DailyFile::Open(const std::string& name, const char* mode) {
    file_ = std::fopen(name.c_str(), mode);
    if (!file_) return false;
    std::fseek(file_, 0, SEEK_END);
    size_ = std::ftell(file_);
    return true;
}

std::optional<std::string> DailyFile::Fail(bool& reported, const char* what) {
    if (reported) return std::nullopt;
    reported = true;
    return std::string(kind_ == LogKind::Log ? "Log Data File" : "Communication Monitoring File") +
           " could not be " + what;
}

std::optional<std::string> DailyFile::Write(std::string_view line) {
    if (!file_ || size_ > kMaxDailyFileSize || newFileRequested_) {
        Close();
        // The number moves on only once its file is open, so a folder that cannot be written
        // does not use up the day's numbers.
        const int next = newFileRequested_ ? 1 : number_ % kMaxFileNumber + 1;
        const LocalTime today = clock_.Now();
        const std::string name = DailyFileName(kind_, folder_, today, next);
        const bool keep = !openedForLine_ && !newFileRequested_;
        if (!Open(name, keep ? "ab" : "wb")) return Fail(openReported_, "opened");
        number_ = next;
        path_ = name;
        openedForLine_ = true;
        newFileRequested_ = false;
    }
    const bool written =
        std::fwrite(line.data(), 1, line.size(), file_) == line.size() && std::fflush(file_) == 0;
    if (!written) {
        std::clearerr(file_);
        return Fail(writeReported_, "written");
    }
    size_ += static_cast<long>(line.size());
    openReported_ = writeReported_ = false;
    return std::nullopt;
}

}  // namespace qn410
