#pragma once

#include "UnitLink.h"

namespace kestrava {

// The output check: the unit drives one output at the check level, whatever its patch.
// Each is one acknowledged command; a silent unit is reported by the link.

// "O%03X\r": output 0..1023 under check.
bool SendCheckOutput(TUnitLink &link, int output);
// "OFFF\r": no output under check.
bool SendCheckOff(TUnitLink &link);
// "O8%02X\r": the check level, taken into 0..255.
bool SendCheckLevel(TUnitLink &link, int level);

} // namespace kestrava
