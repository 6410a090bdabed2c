#pragma once

#include <QStringView>

#include <optional>

namespace kestrava {

// Strict text-to-number conversions shared by the channel notation and the data files:
// no blanks, no prefixes. Values too large for 64 bits saturate, so a long run of digits
// still reads as a (huge) number rather than as unreadable text.
std::optional<qint64> ParseDecimal(QStringView text); // optional '+' or '-', then digits
std::optional<qint64> ParseHex(QStringView text);     // hexadecimal digits only

// Hexadecimal digits as the unit sends them (one to seven, either letter case), or fallback
// when the text is not such a number.
int HexValue(QStringView digits, int fallback);

} // namespace kestrava
