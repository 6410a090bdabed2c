#include "WireCodes.h"

#include "LoadAttrModel.h"
#include "NumberText.h"

#include <algorithm>

namespace kestrava {

QString Hex3(int value) {
    Q_ASSERT(value >= 0 && value <= 0xFFF);
    return QStringLiteral("%1").arg(value, 3, 16, QLatin1Char('0')).toUpper();
}

QString PatchEntryCode(PatchEntry v) {
    if (v == pvFull)
        return QStringLiteral("8FF");
    if (v < 0 || v >= ChannelCount)
        return QStringLiteral("FFF");
    return Hex3(v);
}

PatchEntry PatchEntryFromCode(QStringView code) {
    const int v = HexValue(code, -1);
    if (v >= 0x800 && v <= 0x8FF)
        return pvFull;
    if (v == 0xFFF || v < 0)
        return pvNone;
    return v;
}

QString LoadAttrCode(int code) {
    return Hex3(IsValidLoadAttr(code) ? code : laNormal);
}

QString CurveLevelCode(int level) {
    return Hex3(std::clamp(level, 0, 255));
}

QString CurveModeCode(int mode) {
    return Hex3(mode >= 0 && mode <= 2 ? mode : 0);
}

std::array<int, kBlockValues> DecodeBlock(QStringView reply, int fallback) {
    std::array<int, kBlockValues> values{};
    for (int k = 0; k < kBlockValues; ++k)
        values[k] = HexValue(reply.mid(3 * k, 3), fallback);
    return values;
}

} // namespace kestrava
