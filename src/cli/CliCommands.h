#pragma once

#include "CliOptions.h"
#include "Progress.h"

namespace kestrava::cli {

// Each returns the exit status: 0 success, 1 failure (reason on stderr), 2 usage.
int RunInfo(const CliOptions &o);
int RunBackup(const CliOptions &o, TransferProgress &progress);
int RunRestore(const CliOptions &o, TransferProgress &progress);
int RunCheck(const CliOptions &o);
int RunPorts(const CliOptions &o);
// The history folder's snapshots, newest first; needs no unit.
int RunHistory(const CliOptions &o);

} // namespace kestrava::cli
