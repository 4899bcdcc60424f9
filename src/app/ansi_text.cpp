#include "app/ansi_text.h"

namespace qn410 {

namespace {
constexpr unsigned char kKanaFirst = 0xA1;
constexpr unsigned char kKanaLast = 0xDF;
constexpr char16_t kKanaBase = 0xFF61;  // half-width ideographic full stop
}  // namespace

QString AnsiToQString(std::string_view bytes) {
    QString out;
    out.reserve(static_cast<qsizetype>(bytes.size()));
    for (const char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        if (b >= kKanaFirst && b <= kKanaLast)
            out.append(QChar(static_cast<char16_t>(kKanaBase + (b - kKanaFirst))));
        else
            out.append(QChar(static_cast<char16_t>(b)));
    }
    return out;
}

std::string QStringToAnsi(const QString& text) {
    std::string out;
    out.reserve(static_cast<std::size_t>(text.size()));
    for (const QChar ch : text) {
        const char16_t u = ch.unicode();
        if (u >= kKanaBase && u <= kKanaBase + (kKanaLast - kKanaFirst))
            out.push_back(static_cast<char>(kKanaFirst + (u - kKanaBase)));
        else if (u <= 0xFF && !(u >= kKanaFirst && u <= kKanaLast))
            out.push_back(static_cast<char>(u));
        else
            out.push_back('?');
    }
    return out;
}

}  // namespace qn410
