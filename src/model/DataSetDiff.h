#pragma once

#include "Curve.h"
#include "DataFile.h"
#include "DataFileKind.h"
#include "LoadAttrModel.h"
#include "PatchModel.h"

#include <QList>

namespace kestrava {

// What a data file can hold, as one value: the unit's side or a file's side of a comparison.
struct TDataSet {
    TPatchModel patches;
    TLoadAttrModel attrs;
    TCurveSet curves;
};

enum class DiffPart { Patch, Attribute, CurveMode, CurvePoints, CurveTable };

// One value that differs between the unit's side and the file's side.
struct TDataDifference {
    DiffPart part = DiffPart::Patch;
    int patch = -1;       // Patch: the memory, 0..7
    bool current = false; // Patch: found by a one-patch part, as the current patch of each side
    int curve = -1;       // the curve parts: 0..3
    int at = -1;          // Patch, Attribute: the output; CurveTable: the input
    int unit = 0;         // Patch: a PatchEntry; Attribute: a LoadAttr; a curve's mode or level
    int file = 0;
    QList<int> unitInputs; // CurvePoints: the inputs of the control points, in order
    QList<int> fileInputs;
};

// Every difference in the values the file holds (held: what its read met), in file order:
// patches by output, then attributes by output, then each curve's mode, points and table.
// A one-patch part compares the current patch of each side.
QList<TDataDifference> DiffDataSets(const QList<DataSection> &sections, const TReadReport &held,
                                    const TDataSet &unit, const TDataSet &file);

// A file stands in for the unit against file only when it holds every value file holds; a
// "[Patch*]" names no memory, so it stands only for another.
bool StandsFor(const TLoadFile &other, const TLoadFile &file);

} // namespace kestrava
