#pragma once

#include <array>
#include <bitset>
#include <cstdint>
#include <deque>

namespace kestrava {

// Input index 0..1023 (input 1 is 0), or one of the two special values.
using PatchEntry = std::int32_t;
inline constexpr PatchEntry pvNone = -1; // not patched
inline constexpr PatchEntry pvFull = -2; // always on at full level
// What RowValue gives for a row the input-to-output view does not have; no entry holds it.
inline constexpr PatchEntry pvNoRow = -3;

inline constexpr int PatchCount = 8;
inline constexpr int OutputCount = 1024;     // outputs: two DMX lines, A and B
inline constexpr int LineChannelCount = 512; // channels of one DMX line
inline constexpr int ChannelCount = 1024;    // input channels
inline constexpr int UndoDepth = 40;

using TPatch = std::array<PatchEntry, OutputCount>;
using TPatches = std::array<TPatch, PatchCount>;
using TPatchSnapshot = TPatch;

inline bool IsPatchIndex(int p) {
    return p >= 0 && p < PatchCount;
}

// Whole-memory snapshots of the current patch, newest first, at most UndoDepth of them.
class TPatUndoList {
public:
    void Push(const TPatchSnapshot &snapshot);
    bool Pop(TPatchSnapshot &into); // false when empty
    void Clear() { m_items.clear(); }
    int Count() const { return int(m_items.size()); }
    bool IsEmpty() const { return m_items.empty(); }
    const TPatchSnapshot &At(int i) const { return m_items.at(std::size_t(i)); }

private:
    std::deque<TPatchSnapshot> m_items;
};

// The eight patch memories with the current one, the flags that relate them to the unit and
// the undo history of the current memory. A CurPatch outside 0..7 counts as "none" (-1).
// Outside the model the flags are read, and changed only through the verbs below: each says
// what happened, so that who sets a flag, and why, reads at the call.
class TPatchModel {
public:
    TPatchModel();

    TPatches Patches;
    int CurPatch = 0;
    std::array<bool, PatchCount> PatchInSync{};
    bool PatchChanged = false;
    int MaxTxChannel = OutputCount;  // outputs in use, 1..1024
    int MaxRxChannel = ChannelCount; // inputs in use, 1..1024
    TPatUndoList UndoList;
    TPatUndoList RedoList; // what undo took back, newest first; a new edit empties it

    bool HasCurrent() const { return IsPatchIndex(CurPatch); }
    TPatch *Current() { return HasCurrent() ? &Patches[std::size_t(CurPatch)] : nullptr; }
    const TPatch *Current() const;

    // The memory shown and edited from now on; -1 (or anything outside 0..7) for none.
    void SelectCurrent(int p) { CurPatch = p; }
    // The current memory now differs from what the unit stored: closing asks about it.
    void MarkEdited() { PatchChanged = true; }
    // Nothing of the current memory is left to store: the unit stored it, it was read from
    // the unit, or (in edit mode) a file holds it.
    void MarkStored() { PatchChanged = false; }
    // Memory p holds what the unit holds: read from it, or sent to it in full and stored.
    void MarkFetched(int p) { setInSync(p, true); }
    void MarkWritten(int p) { setInSync(p, true); }
    // Memory p holds what the unit may not (a file's section laid over it, not yet sent).
    void MarkUnsent(int p) { setInSync(p, false); }
    // A fetch of all memories reads only the wanted ones; the others count as held.
    void LimitFetchTo(const std::bitset<PatchCount> &wanted);
    // Every memory emptied and nothing in sync or changed: the unit may hold anything.
    void ResetAllPatches();
    void ClearPatch(int p);
    void ThroughPatch(int p);
    int NthOutputOf(PatchEntry v, int n) const;
    PatchEntry RowValue(int r) const;

    // Before an edit: the memory as it was, and nothing left to redo.
    void PushUndo();
    // Undo and redo swap the current memory with the newest record of the other list.
    bool PopUndo();
    bool PopRedo();
    void ClearUndo() {
        UndoList.Clear();
        RedoList.Clear();
    }

private:
    void setInSync(int p, bool inSync) { PatchInSync[std::size_t(p)] = inSync; }
};

} // namespace kestrava
