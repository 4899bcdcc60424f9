// Field conversions shared by the record encoders and decoders (internal to src/transfer).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace qn410::wire {

inline bool InRange(int value, int lo, int hi) {
    return value >= lo && value <= hi;
}

// Writes value as width decimal digits with leading zeros. A value that does not fit keeps its
// last width digits and a negative value writes zeros, so a field never spills into the next.
void PutDigits(std::string& body, std::size_t pos, std::size_t width, long long value);

// Writes text left-aligned over width spaces, cut to width.
void PutText(std::string& body, std::size_t pos, std::size_t width, std::string_view text);

// Writes text right-aligned over width spaces; a longer text leaves the field blank.
void PutTextRight(std::string& body, std::size_t pos, std::size_t width, std::string_view text);

// Reads width digits as one decimal number; 0 when any character is not a digit.
int ReadDigits(std::string_view body, std::size_t pos, std::size_t width);

// Reads a text field: from its start up to its first space, at most width characters.
std::string_view ReadText(std::string_view body, std::size_t pos, std::size_t width);

inline uint8_t Digit(std::string_view body, std::size_t pos) {
    return static_cast<uint8_t>(ReadDigits(body, pos, 1));
}
inline uint8_t TwoDigits(std::string_view body, std::size_t pos) {
    return static_cast<uint8_t>(ReadDigits(body, pos, 2));
}

// True when every character of the field is a space.
bool IsBlank(std::string_view body, std::size_t pos, std::size_t width);

// The numeric value of a station number text: its digits as one number, 0 when a character
// is not a digit (or the text is empty).
int32_t NumberValue(std::string_view text);

}  // namespace qn410::wire
