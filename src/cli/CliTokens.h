#pragma once

#include "PatchModel.h"

#include <QString>

namespace kestrava::cli {

// The input of an output as the diff and the patch sheet print it: "FULL", "-" when not
// patched, else the input number ("12", or with ab "A012").
QString InputToken(PatchEntry v, bool ab);

// This program's version, "0.1.0".
QString ProgramVersion();

} // namespace kestrava::cli
