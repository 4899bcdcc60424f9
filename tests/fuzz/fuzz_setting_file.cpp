// Feeds arbitrary bytes to the setting file reader. Half of the inputs are read as they are;
// the other half are spliced into a valid file (offset, then the bytes that replace what stands
// there), so that the fuzzer reaches every section and not only the first lines. The spliced
// file is cut 4 KiB after the splice, which keeps each run short; splices near the end still
// reach the end of the file.
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>

#include "setting/setting_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static qn410::SettingDocument doc;  // one 3 MB block, reused
    static const std::string valid = qn410::FormatSettingFile(doc.data(), "pw");
    std::string password;
    std::string_view bytes(reinterpret_cast<const char*>(data), size);
    std::string spliced;
    if (size > 0 && (data[0] & 1)) {
        uint32_t offset = 0;
        if (size >= 5) std::memcpy(&offset, data + 1, 4);
        bytes.remove_prefix(size >= 5 ? 5 : size);
        offset %= static_cast<uint32_t>(valid.size());
        spliced = valid;
        spliced.replace(offset, bytes.size(), bytes);
        spliced.resize(std::min<std::size_t>(spliced.size(), offset + bytes.size() + 4096));
        bytes = spliced;
    }
    qn410::ParseSettingFile(bytes, doc.data(), password, nullptr);
    return 0;
}
