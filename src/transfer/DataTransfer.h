#pragma once

#include "Curve.h"
#include "DataFileKind.h"
#include "LoadAttrModel.h"
#include "PatchModel.h"
#include "TransferEnv.h"

namespace kestrava {

// The transfer half of loading all data while linked, after the file was read for the load:
// inside one "R002", what the file leaves to memory and memory does not hold from the unit is
// fetched first (patch memories it does not fill, the attributes it does not fill, the curves
// unless it holds all four); then the file is laid over memory, every patch, the attributes
// and the curves are written, and the messages are shown here. After a failure the unit is
// put back on the shown patch; what did not reach the unit stays marked so.
// Before the first write, what the unit holds of all data goes to a snapshot named by command.
bool TransferLoadedAllData(TransferEnv &env, TPatchModel &patches, TLoadAttrModel &attrs,
                           TCurveSet &curves, const TLoadFile &file,
                           const QString &command = QStringLiteral("LoadAllData"));
// The same for memory as it is, as loaded from a complete all-data file.
bool TransferLoadedAllData(TransferEnv &env, TPatchModel &patches, TLoadAttrModel &attrs,
                           TCurveSet &curves);

// What a file brought no longer mirrors the unit: its patch memories are out of sync, its
// attributes and curves out of sync and changed, until a write reaches the unit.
void MarkUnwritten(const TReadReport &found, TPatchModel &patches, TLoadAttrModel &attrs,
                   TCurveSet &curves);

// Everything an all-data file holds, from the unit: all eight patches, the
// attributes and the curves (the fetches show their own failure texts).
bool FetchAllData(TransferEnv &env, TPatchModel &patches, TLoadAttrModel &attrs, TCurveSet &curves);

} // namespace kestrava
