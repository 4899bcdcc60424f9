// The login password, kept in the first line of the default setting file, and the work file
// that remembers the last log and monitor file names.
#pragma once

#include <string>
#include <string_view>

#include "setting/prompt.h"

namespace qn410 {

// Markers the password reader leaves in place of a password.
inline constexpr char kPasswordMalformed[] = "error";   // the password field is malformed
inline constexpr char kPasswordKeyMissing[] = "err02";  // the first line has no "Password="

// Whether a password can be kept in the password line and read back unchanged: at most 20
// characters, none of codes 0xF0..0xFF, which raised by 16 would become control bytes (0xFA a
// line feed, 0xF0 a NUL) and break the line.
bool IsStorablePassword(std::string_view password);

// Sets password from the file's first line. A file that cannot be opened gives no password; a
// missing key shows the missing-key message (without "Default Data setting").
void ReadPassword(const std::string& path, std::string& password, Prompt& prompt);

// Replaces the file's first 32 bytes with the password line, leaving the rest untouched; creates
// the file when it does not exist. Returns false when the file cannot be written.
bool WritePassword(const std::string& path, const std::string& password);

}  // namespace qn410
