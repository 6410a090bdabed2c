#pragma once

#include "Curve.h"
#include "LoadAttrModel.h"
#include "PatchModel.h"
#include "TransferEnv.h"

namespace kestrava {

// The transfer half of loading all data while linked: every patch, the attributes
// and the curves to the unit. The failure text is shown here.
bool TransferLoadedAllData(TransferEnv &env, TPatchModel &patches, TLoadAttrModel &attrs,
                           TCurveSet &curves);

// Everything an all-data file holds, from the unit: all eight patches, the
// attributes and the curves (the fetches show their own failure texts).
bool FetchAllData(TransferEnv &env, TPatchModel &patches, TLoadAttrModel &attrs, TCurveSet &curves);

} // namespace kestrava
