#pragma once

#include "PatchModel.h"
#include "Usr_misc.h"

namespace kestrava {

class TPatchTable;

// Go to: the output asked for (either notation) becomes the current cell.
void GoToOutputAsked(const TBoxes &boxes, const TPatchModel &patches, TPatchTable &table);
// Find input: every output driven by the input asked for (or "FULL") is selected, and the
// first of them shown; in the input-to-output view the input's row is.
void FindInputAsked(const TBoxes &boxes, const TPatchModel &patches, TPatchTable &table);

} // namespace kestrava
