#include "NumberText.h"

#include <limits>

namespace kestrava {

namespace {

constexpr qint64 kSaturated = std::numeric_limits<qint64>::max() / 16 - 16;

int DigitValue(QChar c, int base) {
    const char16_t u = c.unicode();
    int v = -1;
    if (u >= u'0' && u <= u'9')
        v = u - u'0';
    else if (u >= u'a' && u <= u'f')
        v = u - u'a' + 10;
    else if (u >= u'A' && u <= u'F')
        v = u - u'A' + 10;
    return v < base ? v : -1;
}

std::optional<qint64> ParseDigits(QStringView digits, int base) {
    if (digits.isEmpty())
        return std::nullopt;
    qint64 value = 0;
    for (QChar c : digits) {
        const int d = DigitValue(c, base);
        if (d < 0)
            return std::nullopt;
        if (value < kSaturated)
            value = value * base + d;
    }
    return value;
}

} // namespace

std::optional<qint64> ParseDecimal(QStringView text) {
    bool negative = false;
    if (!text.isEmpty() && (text.front() == u'-' || text.front() == u'+')) {
        negative = text.front() == u'-';
        text = text.mid(1);
    }
    auto value = ParseDigits(text, 10);
    if (value && negative)
        *value = -*value;
    return value;
}

std::optional<qint64> ParseHex(QStringView text) {
    return ParseDigits(text, 16);
}

int HexValue(QStringView digits, int fallback) {
    if (digits.size() > 7) // more would not fit an int
        return fallback;
    const auto value = ParseHex(digits);
    return value ? int(*value) : fallback;
}

} // namespace kestrava
