#pragma once

#include "SheetPrint.h"

#include <QString>

namespace kestrava::cli {

// This program's version, "0.1.0".
QString ProgramVersion();

} // namespace kestrava::cli
