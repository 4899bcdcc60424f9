// Single-byte texts at the user-interface boundary. Data stays bytes everywhere; a window shows
// 0x20..0x7E as ASCII, 0xA1..0xDF as half-width katakana (U+FF61..U+FF9F) and any other byte as
// Latin-1, and turns what the user typed back into those bytes.
#pragma once

#include <QString>
#include <string>
#include <string_view>

namespace qn410 {

QString AnsiToQString(std::string_view bytes);

// Characters with no single-byte form become '?'.
std::string QStringToAnsi(const QString& text);

}  // namespace qn410
