#pragma once

#include "PatchModel.h"
#include "TransferEnv.h"

namespace kestrava {

// Patch memories to and from the unit. Each command catches its own silent abort
// and shows its own failure text.

// The current patch, unless it is already in sync (or there is nothing to fetch).
// Returns whether the current patch is in sync afterwards.
bool FetchCurrentPatch(TransferEnv &env, TPatchModel &patches);
// One entry: stored, and sent unless in edit mode. When the unit refuses it, memory keeps
// the entry the unit kept.
bool SetPatchEntry(TransferEnv &env, TPatchModel &patches, int output, PatchEntry v);
// "P%03X\r": the unit's current patch.
bool SelectUnitPatch(TransferEnv &env, int patch);
// "WP\r": the unit stores its current patch.
bool WritePatch(TransferEnv &env, TPatchModel &patches);
// All eight memories in sync, the unit left on the current patch.
bool FetchAllPatches(TransferEnv &env, TPatchModel &patches);
bool SendAllPatches(TransferEnv &env, TPatchModel &patches);
bool SendCurrentPatch(TransferEnv &env, const TPatchModel &patches);
// Clear ("C\r") or one-to-one ("T\r") of the current patch, after the undo snapshot.
// The question is the caller's.
bool ClearOrThroughCurrentPatch(TransferEnv &env, TPatchModel &patches, bool through);
// All eight memories cleared; CurPatch walks 0..7 and is left for the caller to set back.
bool ClearAllPatches(TransferEnv &env, TPatchModel &patches);

// The transfer halves of the patch loads: after a file was read into memory.
bool TransferLoadedPatches(TransferEnv &env, TPatchModel &patches);
bool TransferLoadedCurrentPatch(TransferEnv &env, TPatchModel &patches);

// "S%03X" with the block address 400 + b and the 16 entries of block b.
QString PatchBlockCommand(const TPatch &patch, int block);

} // namespace kestrava
