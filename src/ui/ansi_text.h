// Conversion between the system's single-byte texts and the strings the windows show.
//
// Texts stay bytes everywhere in the program; only the user-interface boundary converts:
//   0x20..0x7E  ASCII, shown as themselves
//   0xA1..0xDF  half-width katakana, shown as U+FF61..U+FF9F
//   other bytes shown as the Latin-1 character of the same value
// Every byte value has its own character, so bytes -> text -> bytes gives the bytes back.
// A character with no byte (for example U+00C0, whose byte is taken by katakana, or any
// character above U+00FF outside the katakana block) becomes '?'.
#pragma once

#include <QString>
#include <string>
#include <string_view>

namespace qn410 {

QString AnsiToQString(std::string_view bytes);
std::string QStringToAnsi(const QString& text);

// Whether a character has a byte of its own (is not turned into '?').
bool IsAnsiChar(QChar c);

}  // namespace qn410
