#pragma once

#include "DataFileKind.h"
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
// The same for the memory the table shows; a unit that refuses it is no longer linked,
// since its live edits would reach another memory.
bool SelectShownPatch(TransferEnv &env, int patch);
// "WP\r": the unit stores its current patch.
bool WritePatch(TransferEnv &env, TPatchModel &patches);
// All eight memories in sync, the unit left on the current patch. CurPatch, PatchChanged and
// the undo history are left as they are. The first memory that cannot be read ends the walk
// with its one failure box, the unit put back on the current patch while it answers.
bool FetchAllPatches(TransferEnv &env, TPatchModel &patches);
bool SendAllPatches(TransferEnv &env, TPatchModel &patches);
bool SendCurrentPatch(TransferEnv &env, const TPatchModel &patches);
// The shown memory after an undo, to the unit. Refused part-way, the unit holds a mix of
// both: the memory is read back so that the table shows it, or marked changed if it cannot be.
bool SendUndoneCurrentPatch(TransferEnv &env, TPatchModel &patches);
// Clear ("C\r") or one-to-one ("T\r") of the current patch, after the undo snapshot.
// The question is the caller's.
bool ClearOrThroughCurrentPatch(TransferEnv &env, TPatchModel &patches, bool through);
// All eight memories cleared; CurPatch walks 0..7 and is left for the caller to set back.
bool ClearAllPatches(TransferEnv &env, TPatchModel &patches);

// The transfer halves of the patch loads, after the file was read for the load; they show
// their own messages. Inside one "R002", a memory to be written that is out of sync and that
// the file does not fill is fetched first, then the file is laid over memory and written.
// The loaded memories count as out of sync until written; after a failure the unit is put
// back on the shown patch (see RealignAfterFailedLoad). The one-patch load takes only the
// current patch's section of the file and needs one.
// Before the first write, what the unit holds of the memories to be written goes to a
// snapshot named by command; so it does before the clears.
bool TransferLoadedPatches(TransferEnv &env, TPatchModel &patches, const TLoadFile &file,
                           const QString &command = QStringLiteral("LoadAllPat"));
bool TransferLoadedCurrentPatch(TransferEnv &env, TPatchModel &patches, const TLoadFile &file,
                                const QString &command = QStringLiteral("LoadCurPat"));
// The file's section for the current patch over that memory only; false (nothing changed)
// when there is no current patch or the file has no section for it.
bool LayOverCurrentPatch(const TLoadFile &file, TPatchModel &patches);

// Inside "R002": each memory out of sync that the file does not fill completely, made the
// unit's current patch and fetched. False at the first failure (the fetch says so).
bool FetchPatchesTheFileLeaves(TransferEnv &env, TPatchModel &patches, const TReadReport &found);
// The memories a file holds sections for no longer mirror the unit.
void MarkPatchesUnwritten(TPatchModel &patches, const TReadReport &found);
// After a load that did not reach the unit, while the link is up: "P" of the current patch,
// the end of the "R002" mode, and the current memory fetched again when out of sync. A
// current memory still out of sync (the link was lost) is marked changed.
void RealignAfterFailedLoad(TransferEnv &env, TPatchModel &patches);

// The unit's current patch read into a copy (p numbers it on the bar), as a command of its
// own with its failure text; no model or flag is touched.
bool ReadUnitPatch(TransferEnv &env, int p, TPatch &into);

// "S%03X" with the block address 400 + b and the 16 entries of block b.
QString PatchBlockCommand(const TPatch &patch, int block);

} // namespace kestrava
