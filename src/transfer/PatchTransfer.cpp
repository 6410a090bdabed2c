#include "PatchTransfer.h"

#include "Abort.h"
#include "BlockTransfer.h"
#include "Snapshot.h"
#include "Usr_misc.h"
#include "WireCodes.h"

#include <QCoreApplication>

#include <utility>

namespace kestrava {

namespace {

constexpr int kPatchBlocks = 64;

struct Texts {
    Q_DECLARE_TR_FUNCTIONS(PatchTransfer)
};

QString selectCommand(int patch) {
    return QStringLiteral("P%1\r").arg(Hex3(patch));
}

// The 64 block writes of one memory, then "WP\r"; progress from firstBlock / total.
void sendPatchBlocks(TransferEnv &env, const TPatch &patch, int firstBlock, int totalBlocks) {
    SendBlocks(env, kPatchBlocks, {firstBlock, totalBlocks},
               [&patch](int b) { return PatchBlockCommand(patch, b); });
    SendOrAbort(env, QStringLiteral("WP\r"));
}

// The unit's current patch into memory. Raises the silent abort.
void queryPatch(TransferEnv &env, TPatch &memory) {
    QueryBlocks(env, 0, kPatchBlocks, {0, kPatchBlocks}, [&memory](int b, QStringView reply) {
        for (int k = 0; k < kBlockValues; ++k)
            memory[std::size_t(kBlockValues * b + k)] = PatchEntryFromCode(reply.mid(3 * k, 3));
    });
}

// Memory p from the unit's current patch; marks memory p fetched, nothing else. Raises the silent
// abort.
void queryMemory(TransferEnv &env, TPatchModel &patches, int p) {
    queryPatch(env, patches.Patches[std::size_t(p)]);
    patches.MarkFetched(p);
    KeepFirstFetch(env, patches, p);
}

// The same as a command of its own: its bracket and its failure text.
bool fetchMemory(TransferEnv &env, TPatchModel &patches, int p) {
    return RunTransfer(env, Texts::tr("パッチデータ%1 取得中").arg(p + 1),
                       Texts::tr("取得に失敗しました"), [&] { queryMemory(env, patches, p); });
}

// The file's section for memory p, and nothing else, over that memory.
bool layOverMemory(const TLoadFile &file, TPatchModel &patches, int p) {
    if (!file.read.found.patchSections.test(std::size_t(p)))
        return false;
    TPatchModel over;
    over.SelectCurrent(p);
    over.Patches[std::size_t(p)] = patches.Patches[std::size_t(p)];
    TLoadAttrModel attrs;
    TCurveSet curves;
    if (!file.LayOver(over, attrs, curves))
        return false;
    patches.Patches[std::size_t(p)] = over.Patches[std::size_t(p)];
    return true;
}

bool layOverPatches(const TLoadFile &file, TPatchModel &patches) {
    TLoadAttrModel attrs;
    TCurveSet curves;
    return file.LayOver(patches, attrs, curves);
}

// Best effort, each step only while the unit still answers: the unit back on the shown patch
// and out of the transfer mode, so that live edits reach the memory the table shows.
// Whether the unit is on that patch.
bool backOnShownPatch(TransferEnv &env, const TPatchModel &patches) {
    if (!env.link.Linked)
        return false;
    const bool selected = !patches.HasCurrent() || SelectShownPatch(env, patches.CurPatch);
    if (env.link.Linked)
        LeavePatchTransferMode(env.link);
    return selected;
}

} // namespace

bool ReadUnitPatch(TransferEnv &env, int p, TPatch &into) {
    return RunTransfer(env, Texts::tr("パッチデータ%1 取得中").arg(p + 1),
                       Texts::tr("取得に失敗しました"), [&] { queryPatch(env, into); });
}

QString PatchBlockCommand(const TPatch &patch, int block) {
    QString cmd = QStringLiteral("S") + Hex3(0x400 + block);
    for (int k = 0; k < kBlockValues; ++k)
        cmd += PatchEntryCode(patch[std::size_t(kBlockValues * block + k)]);
    return cmd + u'\r';
}

bool FetchCurrentPatch(TransferEnv &env, TPatchModel &patches) {
    if (env.link.EditMode || !env.link.Linked || !patches.HasCurrent())
        return false;
    if (patches.PatchInSync[std::size_t(patches.CurPatch)])
        return true;
    if (!fetchMemory(env, patches, patches.CurPatch))
        return false;
    patches.MarkStored();
    patches.ClearUndo();
    return true;
}

bool SetPatchEntry(TransferEnv &env, TPatchModel &patches, int output, PatchEntry v) {
    TPatch *memory = patches.Current();
    if (!memory || output < 0 || output >= OutputCount)
        return false;
    PatchEntry &entry = (*memory)[std::size_t(output)];
    if (env.link.EditMode) {
        entry = v;
        return true;
    }
    // Unlinked, the unit may be on any memory by now: only a reconnect, which asks it, sends.
    if (!env.link.Linked)
        return false;
    const PatchEntry before = std::exchange(entry, v);
    if (env.link.SendCmd(QStringLiteral("S") + Hex3(output) + PatchEntryCode(v) + u'\r'))
        return true;
    // The unit answered but refused: it kept the old entry, and so does memory. A silent
    // unit is a lost link instead, and the next reconnect fetches what it holds.
    if (env.link.Linked)
        entry = before;
    return false;
}

bool SelectUnitPatch(TransferEnv &env, int patch) {
    if (!IsPatchIndex(patch))
        return false;
    return env.link.SendCmd(selectCommand(patch));
}

bool SelectShownPatch(TransferEnv &env, int patch) {
    if (SelectUnitPatch(env, patch))
        return true;
    env.link.MarkLost();
    return false;
}

bool WritePatch(TransferEnv &env, TPatchModel &patches) {
    TransferringScope transferring(env);
    if (!env.link.SendCmd(QStringLiteral("WP\r")))
        return false;
    patches.MarkStored();
    patches.ClearUndo();
    return true;
}

bool FetchAllPatches(TransferEnv &env, TPatchModel &patches) {
    // CurPatch stays the shown memory throughout, and the flags of its edits stay as they
    // are: filling the other memories changes neither what is shown nor what is unwritten.
    try {
        BeginPatchTransferMode(env);
        for (int p = 0; p < PatchCount; ++p) {
            if (patches.PatchInSync[std::size_t(p)])
                continue;
            SendOrAbort(env, selectCommand(p));
            // A memory that could not be read has said so. The walk stops there: a unit gone
            // silent would cost a second and a box for each memory left.
            if (!fetchMemory(env, patches, p)) {
                backOnShownPatch(env, patches);
                return false;
            }
        }
        // A unit that reported no current patch is not sent a patch number.
        if (patches.HasCurrent())
            SendOrAbort(env, selectCommand(patches.CurPatch));
        EndPatchTransferMode(env);
        for (bool inSync : patches.PatchInSync)
            if (!inSync)
                throw EAbort();
        return true;
    } catch (const EAbort &) {
        // The walk may have left the unit on another memory.
        backOnShownPatch(env, patches);
        env.boxes.Error(Texts::tr("取得に失敗しました"));
        return false;
    }
}

bool FetchPatchesTheFileLeaves(TransferEnv &env, TPatchModel &patches, const TReadReport &found) {
    for (int p = 0; p < PatchCount; ++p) {
        if (patches.PatchInSync[std::size_t(p)] || found.FillsPatch(p))
            continue;
        if (!SelectUnitPatch(env, p) || !fetchMemory(env, patches, p))
            return false;
    }
    return true;
}

void MarkPatchesUnwritten(TPatchModel &patches, const TReadReport &found) {
    for (int p = 0; p < PatchCount; ++p)
        if (found.patchSections.test(std::size_t(p)))
            patches.MarkUnsent(p);
}

void RealignAfterFailedLoad(TransferEnv &env, TPatchModel &patches) {
    // The shown memory read again if it is not what the unit holds, so that the table and
    // the live edits mean the same patch.
    if (backOnShownPatch(env, patches))
        FetchCurrentPatch(env, patches);
    // Not read back, the shown memory holds what the unit may never have got: it counts as
    // changed, so that the window never looks as if the unit held it and closing asks.
    if (patches.HasCurrent() && !patches.PatchInSync[std::size_t(patches.CurPatch)])
        patches.MarkEdited();
}

bool SendAllPatches(TransferEnv &env, TPatchModel &patches) {
    BracketScope bracket(env, Texts::tr("全パッチデータ転送中"));
    try {
        for (int p = 0; p < PatchCount; ++p) {
            SendOrAbort(env, selectCommand(p));
            sendPatchBlocks(env, patches.Patches[std::size_t(p)], p * kPatchBlocks,
                            PatchCount * kPatchBlocks);
            patches.MarkWritten(p);
        }
        if (patches.HasCurrent())
            SendOrAbort(env, selectCommand(patches.CurPatch));
        return true;
    } catch (const EAbort &) {
        return false;
    }
}

bool SendCurrentPatch(TransferEnv &env, const TPatchModel &patches) {
    const TPatch *memory = patches.Current();
    if (!memory)
        return false;
    BracketScope bracket(env, Texts::tr("パッチデータ転送中"));
    try {
        sendPatchBlocks(env, *memory, 0, kPatchBlocks);
        return true;
    } catch (const EAbort &) {
        return false;
    }
}

bool SendUndoneCurrentPatch(TransferEnv &env, TPatchModel &patches) {
    if (SendCurrentPatch(env, patches))
        return true;
    if (!patches.HasCurrent())
        return false;
    patches.MarkUnsent(patches.CurPatch);
    // Read back, memory is the unit's again, as after any fetch; unread, it is not.
    if (!env.link.Linked || !FetchCurrentPatch(env, patches))
        patches.MarkEdited();
    return false;
}

bool ClearOrThroughCurrentPatch(TransferEnv &env, TPatchModel &patches, bool through) {
    if (!patches.HasCurrent())
        return false;
    TSnapshot snapshot(env, through ? QStringLiteral("ThrCurPat") : QStringLiteral("ClrCurPat"),
                       {std::bitset<PatchCount>().set(std::size_t(patches.CurPatch))}, patches, {},
                       {});
    if (!snapshot.Take())
        return false;
    patches.PushUndo();
    if (!env.link.EditMode &&
        !env.link.SendCmd(through ? QStringLiteral("T\r") : QStringLiteral("C\r")))
        return false;
    if (through)
        patches.ThroughPatch(patches.CurPatch);
    else
        patches.ClearPatch(patches.CurPatch);
    // Offline the clear is an edit of memory; linked, the unit made the same change itself.
    if (env.link.EditMode)
        patches.MarkEdited();
    else
        patches.MarkStored();
    return true;
}

bool ClearAllPatches(TransferEnv &env, TPatchModel &patches) {
    TSnapshot snapshot(env, QStringLiteral("ClrAllPat"), {std::bitset<PatchCount>().set()}, patches,
                       {}, {});
    if (!snapshot.Take())
        return false;
    return RunTransfer(env, Texts::tr("全パッチクリア中"), Texts::tr("処理に失敗しました"), [&] {
        for (int c = 0; c < PatchCount; ++c) {
            patches.SelectCurrent(c);
            if (!env.link.EditMode) {
                SendOrAbort(env, selectCommand(c));
                SendOrAbort(env, QStringLiteral("C\r"));
            }
            patches.ClearPatch(c);
            env.SetFraction((c + 1) * 0.125);
        }
        patches.MarkStored();
        patches.ClearUndo();
        env.boxes.Info(Texts::tr("全てのパッチがクリアされました"));
    });
}

bool TransferLoadedPatches(TransferEnv &env, TPatchModel &patches, const TLoadFile &file,
                           const QString &command) {
    TransferringScope transferring(env);
    TSnapshot snapshot(env, command, {std::bitset<PatchCount>().set()}, patches, {}, {});
    // What the file leaves to memory must be what the unit holds before all eight are written.
    bool ok = EnterPatchTransferMode(env.link) && snapshot.ReadPatches() && snapshot.Write() &&
              FetchPatchesTheFileLeaves(env, patches, file.read.found);
    ok = ok && layOverPatches(file, patches);
    if (ok) {
        MarkPatchesUnwritten(patches, file.read.found);
        ok = SendAllPatches(env, patches) && LeavePatchTransferMode(env.link);
    }
    if (ok) {
        patches.MarkStored();
        patches.ClearUndo();
        env.boxes.Info(Texts::tr("読込・転送が完了しました"));
    } else {
        env.boxes.Error(Texts::tr("転送に失敗しました"));
        RealignAfterFailedLoad(env, patches);
    }
    env.EndTransfer(QString());
    return ok;
}

bool TransferLoadedCurrentPatch(TransferEnv &env, TPatchModel &patches, const TLoadFile &file,
                                const QString &command) {
    const int p = patches.CurPatch;
    TransferringScope transferring(env);
    env.BeginTransfer(Texts::tr("パッチデータ転送中"));
    bool ok = true;
    try {
        if (!IsPatchIndex(p) || !file.read.found.patchSections.test(std::size_t(p)))
            throw EAbort();
        BeginPatchTransferMode(env);
        TSnapshot snapshot(env, command, {std::bitset<PatchCount>().set(std::size_t(p))}, patches,
                           {}, {});
        if (!snapshot.ReadPatches() || !snapshot.Write())
            throw EAbort();
        // The blocks go to the unit's current patch: that is where memory is filled from,
        // within this command's bracket.
        if (!patches.PatchInSync[std::size_t(p)] && !file.read.found.FillsPatch(p))
            queryMemory(env, patches, p);
        if (!layOverMemory(file, patches, p))
            throw EAbort();
        patches.MarkUnsent(p);
        sendPatchBlocks(env, patches.Patches[std::size_t(p)], 0, kPatchBlocks);
        EndPatchTransferMode(env);
        patches.MarkWritten(p);
        patches.MarkStored();
        patches.ClearUndo();
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        env.boxes.Info(Texts::tr("読込・転送が完了しました"));
    } catch (const EAbort &) {
        ok = false;
        env.boxes.Error(Texts::tr("転送に失敗しました"));
        RealignAfterFailedLoad(env, patches);
    }
    env.EndTransfer(QString());
    return ok;
}

bool LayOverCurrentPatch(const TLoadFile &file, TPatchModel &patches) {
    return patches.HasCurrent() && layOverMemory(file, patches, patches.CurPatch);
}

} // namespace kestrava
