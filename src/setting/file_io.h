// Whole-file reading and safe replacement of files.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace qn410 {

// The file's bytes, or nothing when it cannot be opened or read.
std::optional<std::string> ReadWholeFile(const std::string& path);

// Writes bytes to path as writing the file itself would: through symbolic links to the file
// they lead to, failing exactly where the user may not write that file (a read-only file), and
// keeping its owner, group, mode and hard links. Where the folder allows it the new contents go
// to a temporary file beside the file, flushed to disk and renamed over it, so that the file is
// either old or new, never half written, and a failure leaves it as it was. Where it does not
// (a folder the user may not write, an owner the user cannot give a new file, more than one
// hard link) the file is rewritten in place from the complete contents and cut to their length.
bool ReplaceFile(const std::string& path, std::string_view bytes);

}  // namespace qn410
