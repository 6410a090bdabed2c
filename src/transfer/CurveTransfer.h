#pragma once

#include "Curve.h"
#include "TransferEnv.h"

namespace kestrava {

// The four user curves to and from the unit: tables in blocks 600..63F, the mode
// and the interior point inputs of curve c in block 640 + c.

// Fetches unless in sync; nothing at all in edit mode or without a link.
// Returns whether the curves are in sync afterwards. Setting the shown mode and
// clearing CurveChanged is left to the caller, which owns the mode selector.
bool FetchCurves(TransferEnv &env, TCurveSet &curves);
// Writes tables and point blocks and commits with "WC\r".
bool WriteCurves(TransferEnv &env, TCurveSet &curves);

QString CurveTableBlockCommand(const TCurveSet &curves, int block);
QString CurvePointBlockCommand(const TUserCurve &curve, int curveIndex);

} // namespace kestrava
