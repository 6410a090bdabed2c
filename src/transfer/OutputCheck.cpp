#include "OutputCheck.h"

#include "PatchModel.h"
#include "WireCodes.h"

#include <algorithm>

namespace kestrava {

bool SendCheckOutput(TUnitLink &link, int output) {
    if (output < 0 || output >= OutputCount)
        return false;
    return link.SendCmd(QStringLiteral("O") + Hex3(output) + u'\r');
}

bool SendCheckOff(TUnitLink &link) {
    return link.SendCmd(QStringLiteral("OFFF\r"));
}

bool SendCheckLevel(TUnitLink &link, int level) {
    return link.SendCmd(QStringLiteral("O") + Hex3(0x800 + std::clamp(level, 0, 255)) + u'\r');
}

} // namespace kestrava
