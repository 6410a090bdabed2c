#pragma once

#include "CliOptions.h"
#include "CliSession.h"
#include "DataSetDiff.h"
#include "Progress.h"

#include <QList>
#include <QStringList>

namespace kestrava::cli {

struct TDiffOptions {
    bool ab = false;      // outputs and inputs in A/B notation
    QString currentPatch; // how the patch of a one-patch file is named: "3", or "*"
};

// The differences between the two sides (DiffDataSets), one line each:
//   patch 3 output 12: unit 45, file 46
//   attribute output 513: unit On/Off, file User 2
//   curve 2 input 128: unit 128, file 140
//   curve 4 mode: unit 1, file 2
//   curve 4 points: unit 0,64,255, file 0,128,255
QStringList DiffLines(const QList<DataSection> &sections, const TReadReport &held,
                      const TDataSet &unit, const TDataSet &file, const TDiffOptions &options);

// kestrava-cli diff: 0 equal, 1 different, 2 failure.
int RunDiff(const CliOptions &o, TransferProgress &progress);

} // namespace kestrava::cli
