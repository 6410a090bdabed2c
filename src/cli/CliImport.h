#pragma once

#include "CliOptions.h"

namespace kestrava::cli {

// kestrava-cli import: 0 written, 1 failure, 2 usage.
int RunImport(const CliOptions &o);

} // namespace kestrava::cli
