// The setting file: the whole of SettingData and the login password as key lines, written in
// one fixed order and read back in exactly that order. Lines end in LF only.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "setting/prompt.h"
#include "setting/setting_data.h"

namespace qn410 {

inline constexpr char kDefaultSettingFile[] = "qn410.txt";
inline constexpr char kWriteErrorMessage[] = "Set file Write Error";
inline constexpr std::size_t kPasswordMaxLength = 20;
inline constexpr std::size_t kPasswordLineSize = 32;  // "Password=" + 22 characters + LF

// The text after the first occurrence of key anywhere in line (case-sensitive), or nothing.
std::optional<std::string_view> FindKeyValue(std::string_view line, std::string_view key);

// "Incorrect setting file. Key information\n <key> not found." and, for the setting file
// itself, a last line "Default Data setting".
std::string MissingKeyMessage(std::string_view key, bool withDefaultLine);

// The 22-character password field: two digits n, the n characters each raised by 16, then '*'.
std::string EncodePasswordField(std::string_view password);
// The password held by a 22-character field, or nothing when the field is malformed.
std::optional<std::string> DecodePasswordField(std::string_view field);

// Every byte of the setting file for data and password. Station numbers that are not set are
// written as "-1" whatever their text holds.
std::string FormatSettingFile(const SettingData& data, std::string_view password);

enum class ReadOutcome {
    Ok,
    MissingKey,   // the message was shown; defaults applied, file name emptied
    BadPassword,  // no message; defaults applied, file name emptied
    OpenFailed,   // no message; defaults applied and written to the document's file name
};

// Writes the document's data and the password to path as writing that file would (see
// ReplaceFile): through links, keeping owner and mode, replaced in one step wherever the folder
// allows it, otherwise rewritten in place from the complete new contents. On success the
// modified flag is cleared and not-set station numbers hold the text "-1"; on failure
// "Set file Write Error" is shown and nothing changes.
bool WriteSettingFile(const std::string& path, SettingDocument& doc, std::string_view password,
                      Prompt& prompt);

// Reads path into the document's data and the current password. On any failure the data end up
// at their defaults (see ReadOutcome). The file name and modified flag are the caller's, except
// that a failed read empties the file name as described above.
ReadOutcome ReadSettingFile(const std::string& path, SettingDocument& doc, std::string& password,
                            Prompt& prompt);

// The same reading over bytes already in memory; never touches a file. Returns Ok, MissingKey
// (with missingKey set) or BadPassword. data is left partly read on failure.
ReadOutcome ParseSettingFile(std::string_view bytes, SettingData& data, std::string& password,
                             std::string* missingKey);

// Refreshes the C/O trunk lines' display copies of their receiving masters (number and name).
void RefreshTrunkDisplayCopies(SettingData& data);

}  // namespace qn410
