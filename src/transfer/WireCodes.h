#pragma once

#include "PatchModel.h"

#include <QString>
#include <QStringView>

#include <array>

// How values travel on the wire: three upper-case hexadecimal digits each. A value
// that cannot travel is replaced here, so that no command ever carries a field of
// the wrong width.

namespace kestrava {

constexpr int kBlockValues = 16;
constexpr int kBlockDigits = 48;

// Patch entries: input 0..1023 as 000..3FF, FULL as 8FF, not patched as FFF.
// An input beyond the 1024 the unit has is sent as not patched.
QString PatchEntryCode(PatchEntry v);
// 800..8FF is FULL, FFF and text that does not convert are not patched; any other
// value is the entry itself.
PatchEntry PatchEntryFromCode(QStringView code);

// Attribute codes other than the six the unit knows are sent as Normal.
QString LoadAttrCode(int code);
// Curve table levels outside 0..255 are sent clamped.
QString CurveLevelCode(int level);
// A mode other than 0..2 is sent as individual: the table sent is then what counts.
QString CurveModeCode(int mode);

// The 16 values of a 48-digit block reply, each converted with the fallback.
std::array<int, kBlockValues> DecodeBlock(QStringView reply, int fallback);

QString Hex3(int value); // value must be 0..0xFFF

} // namespace kestrava
