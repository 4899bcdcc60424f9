#include "transfer/record_fields.h"

namespace qn410::wire {

void PutDigits(std::string& body, std::size_t pos, std::size_t width, long long value) {
    if (value < 0) value = 0;
    for (std::size_t k = width; k-- > 0;) {
        body[pos + k] = static_cast<char>('0' + value % 10);
        value /= 10;
    }
}

void PutText(std::string& body, std::size_t pos, std::size_t width, std::string_view text) {
    body.replace(pos, width, width, ' ');
    body.replace(pos, text.size() < width ? text.size() : width, text.substr(0, width));
}

void PutTextRight(std::string& body, std::size_t pos, std::size_t width, std::string_view text) {
    body.replace(pos, width, width, ' ');
    if (text.size() <= width) body.replace(pos + width - text.size(), text.size(), text);
}

int ReadDigits(std::string_view body, std::size_t pos, std::size_t width) {
    int value = 0;
    for (std::size_t k = 0; k < width; ++k) {
        const char ch = body[pos + k];
        if (ch < '0' || ch > '9') return 0;
        value = value * 10 + (ch - '0');
    }
    return value;
}

std::string_view ReadText(std::string_view body, std::size_t pos, std::size_t width) {
    const std::string_view field = body.substr(pos, width);
    return field.substr(0, field.find(' '));
}

bool IsBlank(std::string_view body, std::size_t pos, std::size_t width) {
    return body.substr(pos, width).find_first_not_of(' ') == std::string_view::npos;
}

int32_t NumberValue(std::string_view text) {
    int32_t value = 0;
    for (const char ch : text) {
        if (ch < '0' || ch > '9') return 0;
        value = value * 10 + (ch - '0');
    }
    return value;
}

}  // namespace qn410::wire
