#pragma once

#include "UnitSim.h"

#include <QString>

namespace kestrava::sim {

// The stored memory as a text file of "key=codes" lines (patch1..patch8, attributes,
// curve1..curve4, points1..points4), each value the codes as three hexadecimal digits apiece.
// Keys that are missing keep the value held in `memory`.
bool loadStateFile(const QString &path, UnitMemory &memory, QString *error);
bool saveStateFile(const QString &path, const UnitMemory &memory, QString *error);

} // namespace kestrava::sim
