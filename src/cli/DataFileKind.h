#pragma once

#include "Curve.h"
#include "DataFile.h"
#include "LoadAttrModel.h"
#include "PatchModel.h"

#include <QString>

namespace kestrava::cli {

enum class FileKind { None, AllData, AllPatches, OnePatch, Attributes, Curves };

// From the extension, without regard to case: .dat .pat .pt1 .atr .crv
FileKind FileKindOf(const QString &fileName);

// The unit's data as the command-line tool holds it.
struct UnitData {
    TPatchModel patches;
    TLoadAttrModel attrs;
    TCurveSet curves;
};

// Reads fileName with the reader of its kind.
TReadResult ReadDataFile(FileKind kind, const QString &fileName, UnitData &data);
// Builds the lines of a file of this kind.
QStringList DataFileLines(FileKind kind, const UnitData &data);

} // namespace kestrava::cli
