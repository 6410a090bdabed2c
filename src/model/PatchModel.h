#pragma once

#include <array>
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

    bool HasCurrent() const { return IsPatchIndex(CurPatch); }
    TPatch *Current() { return HasCurrent() ? &Patches[std::size_t(CurPatch)] : nullptr; }
    const TPatch *Current() const;

    void ResetAllPatches();
    void ClearPatch(int p);
    void ThroughPatch(int p);
    int NthOutputOf(PatchEntry v, int n) const;
    PatchEntry RowValue(int r) const;

    void PushUndo();
    bool PopUndo();
    void ClearUndo() { UndoList.Clear(); }
};

} // namespace kestrava
