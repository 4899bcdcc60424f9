// Feeds arbitrary bytes to the setting file reader. Half of the inputs are read as they are;
// the other half are spliced into a valid file (offset, then the bytes that replace what stands
// there), so that the fuzzer reaches every section and not only the first lines. The spliced
// file is cut 4 KiB after the splice, which keeps each run short; splices near the end still
// reach the end of the file.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

#include "setting/setting_file.h"

namespace {

const std::string& ValidFile() {
    static const std::string file = [] {
        qn410::SettingDocument doc;
        return qn410::FormatSettingFile(doc.data(), "pw");
    }();
    return file;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static qn410::SettingDocument doc;  // one 3 MB block, reused
    std::string password;
    if (size > 0 && (data[0] & 1)) {
        uint32_t offset = 0;
        if (size >= 5) std::memcpy(&offset, data + 1, 4);
        const std::size_t skip = size >= 5 ? 5 : size;
        std::string bytes = ValidFile();
        offset %= static_cast<uint32_t>(bytes.size());
        bytes.replace(offset, size - skip, reinterpret_cast<const char*>(data + skip), size - skip);
        bytes.resize(std::min<std::size_t>(bytes.size(), offset + (size - skip) + 4096));
        qn410::ParseSettingFile(bytes, doc.data(), password, nullptr);
    } else {
        const std::string_view bytes(reinterpret_cast<const char*>(data), size);
        qn410::ParseSettingFile(bytes, doc.data(), password, nullptr);
    }
    return 0;
}
