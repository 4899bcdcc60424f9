#include "ui/ansi_text.h"

namespace qn410 {

namespace {

constexpr unsigned char kKanaFirstByte = 0xA1;
constexpr unsigned char kKanaLastByte = 0xDF;
constexpr char16_t kKanaFirstChar = 0xFF61;  // HALFWIDTH IDEOGRAPHIC FULL STOP
constexpr char16_t kKanaLastChar = kKanaFirstChar + (kKanaLastByte - kKanaFirstByte);

// The byte of one character, or -1 when it has none.
int ByteOf(QChar c) {
    const char16_t u = c.unicode();
    if (u >= kKanaFirstChar && u <= kKanaLastChar) return kKanaFirstByte + (u - kKanaFirstChar);
    if (u >= kKanaFirstByte && u <= kKanaLastByte) return -1;  // those bytes are katakana
    if (u <= 0xFF) return u;
    return -1;
}

}  // namespace

QString AnsiToQString(std::string_view bytes) {
    QString out(static_cast<qsizetype>(bytes.size()), Qt::Uninitialized);
    QChar* p = out.data();
    for (const char ch : bytes) {
        const auto b = static_cast<unsigned char>(ch);
        *p++ = (b >= kKanaFirstByte && b <= kKanaLastByte)
                   ? QChar(char16_t(kKanaFirstChar + (b - kKanaFirstByte)))
                   : QChar(char16_t(b));
    }
    return out;
}

std::string QStringToAnsi(const QString& text) {
    std::string out;
    out.reserve(static_cast<std::size_t>(text.size()));
    for (const QChar c : text) {
        const int b = ByteOf(c);
        out.push_back(b < 0 ? '?' : static_cast<char>(b));
    }
    return out;
}

bool IsAnsiChar(QChar c) {
    return ByteOf(c) >= 0;
}

}  // namespace qn410
