#include "setting/work_file.h"

#include <filesystem>
#include <fstream>

#include "setting/setting_file.h"

namespace qn410 {

namespace fs = std::filesystem;

WorkFile ReadWorkFile(const std::string& path, Prompt& prompt) {
    WorkFile work;
    std::ifstream in(path, std::ios::binary);
    if (in) {
        const char* keys[] = {"[File Name]", "History=", "Monitor="};
        std::string values[3];
        bool ok = true;
        for (int i = 0; i < 3 && ok; ++i) {
            std::string line;
            std::getline(in, line);
            if (!line.empty() && line.back() == '\r') line.pop_back();
            if (const auto v = FindKeyValue(line, keys[i])) {
                values[i] = std::string(*v);
            } else {
                prompt.Tell(MissingKeyMessage(keys[i], /*withDefaultLine=*/true));
                ok = false;
            }
        }
        if (ok) return WorkFile{values[1], values[2]};
    }
    WriteWorkFile(path, work);
    return work;
}

bool WriteWorkFile(const std::string& path, const WorkFile& work) {
    std::error_code ec;
    // Read-only between runs: give the owner write access back before rewriting it.
    if (fs::exists(path, ec))
        fs::permissions(path, fs::perms::owner_read | fs::perms::owner_write,
                        fs::perm_options::replace, ec);
    {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        if (!out) return false;
        out << "[File Name]\n"
            << "History=" << work.history << "\n"
            << "Monitor=" << work.monitor << "\n";
        out.flush();
        if (!out) return false;
    }
    fs::permissions(path, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read,
                    fs::perm_options::replace, ec);
    return true;
}

}  // namespace qn410
