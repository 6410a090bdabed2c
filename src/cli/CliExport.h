#pragma once

#include "CliOptions.h"
#include "Progress.h"
#include "SheetPrint.h"

#include <QByteArray>
#include <QString>

namespace kestrava::cli {

// kestrava-cli export: 0 written, 1 failure, 2 usage.
int RunExport(const CliOptions &o, TransferProgress &progress);

} // namespace kestrava::cli
