// Whole-file reading and safe replacement of files.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace qn410 {

// The file's bytes, or nothing when it cannot be opened or read.
std::optional<std::string> ReadWholeFile(const std::string& path);

// Writes bytes to a temporary file beside path, flushes it to disk and renames it over path.
// On any failure the temporary file is removed and path is left as it was. An existing file's
// permission bits are kept.
bool ReplaceFile(const std::string& path, std::string_view bytes);

}  // namespace qn410
