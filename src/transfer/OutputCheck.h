#pragma once

#include "UnitLink.h"

namespace kestrava {

// The output check: the unit drives one output at the check level until it is
// switched off. Each returns whether the unit acknowledged.
bool SendCheckOutput(TUnitLink &link, int output); // 0..1023
bool SendCheckOff(TUnitLink &link);
bool SendCheckLevel(TUnitLink &link, int level); // clamped to 0..255

} // namespace kestrava
