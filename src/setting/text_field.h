// Helpers for the fixed-size NUL-terminated text fields of SettingData.
#pragma once

#include <cstddef>
#include <cstring>
#include <string_view>

namespace qn410 {

// Copies text into a field, cut to what the field holds, and terminates it. The rest of the
// field is cleared so that equal texts give equal fields.
template <std::size_t N>
void SetText(char (&field)[N], std::string_view text) {
    static_assert(N > 0);
    const std::size_t n = text.size() < N - 1 ? text.size() : N - 1;
    std::memset(field, 0, N);
    std::memcpy(field, text.data(), n);
}

// The text held by a field, up to its terminator (or the whole field when none is present).
template <std::size_t N>
std::string_view TextOf(const char (&field)[N]) {
    const void* end = std::memchr(field, 0, N);
    return {field, end ? static_cast<std::size_t>(static_cast<const char*>(end) - field) : N};
}

}  // namespace qn410
