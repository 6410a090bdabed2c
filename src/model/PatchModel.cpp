#include "PatchModel.h"

#include <QtGlobal>

namespace kestrava {

void TPatUndoList::Push(const TPatchSnapshot &snapshot) {
    m_items.push_front(snapshot);
    while (m_items.size() > std::size_t(UndoDepth))
        m_items.pop_back();
}

bool TPatUndoList::Pop(TPatchSnapshot &into) {
    if (m_items.empty())
        return false;
    into = m_items.front();
    m_items.pop_front();
    return true;
}

TPatchModel::TPatchModel() {
    for (TPatch &p : Patches)
        p.fill(pvNone);
}

const TPatch *TPatchModel::Current() const {
    return HasCurrent() ? &Patches[std::size_t(CurPatch)] : nullptr;
}

void TPatchModel::ResetAllPatches() {
    for (TPatch &p : Patches)
        p.fill(pvNone);
    PatchInSync.fill(false);
    PatchChanged = false;
}

void TPatchModel::LimitFetchTo(const std::bitset<PatchCount> &wanted) {
    for (int p = 0; p < PatchCount; ++p)
        setInSync(p, !wanted.test(std::size_t(p)));
}

void TPatchModel::ClearPatch(int p) {
    if (IsPatchIndex(p))
        Patches[std::size_t(p)].fill(pvNone);
}

void TPatchModel::ThroughPatch(int p) {
    if (!IsPatchIndex(p))
        return;
    TPatch &patch = Patches[std::size_t(p)];
    for (int o = 0; o < OutputCount; ++o)
        patch[std::size_t(o)] = o;
}

int TPatchModel::NthOutputOf(PatchEntry v, int n) const {
    const TPatch *patch = Current();
    if (!patch || n < 1)
        return -1;
    for (int o = 0; o < OutputCount; ++o) {
        if ((*patch)[std::size_t(o)] == v && --n == 0)
            return o;
    }
    return -1;
}

PatchEntry TPatchModel::RowValue(int r) const {
    const qint64 rx = MaxRxChannel;
    if (r >= 1 && r <= rx)
        return r - 1;
    if (r == rx + 1)
        return pvFull;
    if (r == rx + 2)
        return pvNone;
    return pvNoRow;
}

void TPatchModel::PushUndo() {
    if (const TPatch *patch = Current()) {
        UndoList.Push(*patch);
        RedoList.Clear();
    }
}

namespace {

bool swapWithNewest(TPatch *patch, TPatUndoList &from, TPatUndoList &to) {
    if (!patch || from.IsEmpty())
        return false;
    to.Push(*patch);
    from.Pop(*patch);
    return true;
}

} // namespace

bool TPatchModel::PopUndo() {
    return swapWithNewest(Current(), UndoList, RedoList);
}

bool TPatchModel::PopRedo() {
    return swapWithNewest(Current(), RedoList, UndoList);
}

} // namespace kestrava
