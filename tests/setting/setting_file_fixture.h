// A setting file held as lines, with verbs that damage it in one place, and a reader that
// records what the user was shown.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "setting/setting_file.h"
#include "support/recording_prompt.h"
#include "support/temp_dir.h"

namespace qn410::test {

class SettingFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        SettingDocument doc;
        Load(FormatSettingFile(doc.data(), ""));
    }

    void Load(const std::string& bytes) {
        lines_.clear();
        std::size_t start = 0;
        while (start < bytes.size()) {
            const std::size_t end = bytes.find('\n', start);
            lines_.push_back(bytes.substr(start, end - start));
            start = end + 1;
        }
    }
    std::string Bytes() const {
        std::string out;
        for (const auto& l : lines_) out += l + "\n";
        return out;
    }

    // Index of the n-th line (from 0) that starts with prefix.
    std::size_t Find(const std::string& prefix, int n = 0) const {
        for (std::size_t i = 0; i < lines_.size(); ++i)
            if (lines_[i].rfind(prefix, 0) == 0 && n-- == 0) return i;
        ADD_FAILURE() << "no line " << prefix;
        return 0;
    }
    void SetLine(const std::string& prefix, const std::string& line, int n = 0) {
        lines_[Find(prefix, n)] = line;
    }
    void DeleteLine(const std::string& prefix, int n = 0) {
        lines_.erase(lines_.begin() + static_cast<long>(Find(prefix, n)));
    }
    void TruncateFrom(std::size_t index) { lines_.resize(index); }

    // Writes the lines to a file and reads it into doc_ (whose data first holds a marker that a
    // successful read overwrites).
    ReadOutcome Read() {
        const std::string path = dir_.file("input.txt");
        WriteAll(path, Bytes());
        doc_.fileName = path;
        return ReadSettingFile(path, doc_, password_, prompt_);
    }

    TempDir dir_;
    std::vector<std::string> lines_;
    SettingDocument doc_;
    std::string password_ = "previous";
    RecordingPrompt prompt_;
};

}  // namespace qn410::test
