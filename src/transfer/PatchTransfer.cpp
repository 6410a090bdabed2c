#include "PatchTransfer.h"

#include "Abort.h"
#include "BlockTransfer.h"
#include "Usr_misc.h"
#include "WireCodes.h"

#include <QCoreApplication>

namespace kestrava {

namespace {

constexpr int kPatchBlocks = 64;

QString tr(const char *text) {
    return QCoreApplication::translate("PatchTransfer", text);
}

QString selectCommand(int patch) {
    return QStringLiteral("P%1\r").arg(Hex3(patch));
}

// The 64 block writes of one memory, then "WP\r"; progress from firstBlock / total.
void sendPatchBlocks(TransferEnv &env, const TPatch &patch, int firstBlock, int totalBlocks) {
    SendBlocks(env, kPatchBlocks, {firstBlock, totalBlocks},
               [&patch](int b) { return PatchBlockCommand(patch, b); });
    SendOrAbort(env, QStringLiteral("WP\r"));
}

// The end of a patch load's transfer: its message, and on success the memory
// counts as written.
bool reportLoadedTransfer(bool ok, TPatchModel &patches) {
    if (!ok) {
        ShowErrorBox(tr("転送に失敗しました"));
        return false;
    }
    patches.PatchChanged = false;
    patches.ClearUndo();
    ShowInfoBox(tr("読込・転送が完了しました"));
    return true;
}

} // namespace

QString PatchBlockCommand(const TPatch &patch, int block) {
    QString cmd = QStringLiteral("S") + Hex3(0x400 + block);
    for (int k = 0; k < kBlockValues; ++k)
        cmd += PatchEntryCode(patch[std::size_t(kBlockValues * block + k)]);
    return cmd + u'\r';
}

bool FetchCurrentPatch(TransferEnv &env, TPatchModel &patches) {
    if (env.link.EditMode || !env.link.Linked || !patches.HasCurrent())
        return false;
    const int p = patches.CurPatch;
    if (patches.PatchInSync[std::size_t(p)])
        return true;
    TransferringScope transferring(env);
    BracketScope bracket(env, tr("パッチデータ") + QString::number(p + 1) + tr(" 取得中"));
    try {
        TPatch &memory = patches.Patches[std::size_t(p)];
        QueryBlocks(env, 0, kPatchBlocks, {0, kPatchBlocks}, [&memory](int b, QStringView reply) {
            for (int k = 0; k < kBlockValues; ++k)
                memory[std::size_t(kBlockValues * b + k)] = PatchEntryFromCode(reply.mid(3 * k, 3));
        });
        patches.PatchInSync[std::size_t(p)] = true;
        patches.PatchChanged = false;
        patches.ClearUndo();
        return true;
    } catch (const EAbort &) {
        ShowErrorBox(tr("取得に失敗しました"));
        return false;
    }
}

bool SetPatchEntry(TransferEnv &env, TPatchModel &patches, int output, PatchEntry v) {
    TPatch *memory = patches.Current();
    if (!memory || output < 0 || output >= OutputCount)
        return false;
    PatchEntry &entry = (*memory)[std::size_t(output)];
    const PatchEntry before = entry;
    entry = v;
    if (env.link.EditMode)
        return true;
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

bool WritePatch(TransferEnv &env, TPatchModel &patches) {
    TransferringScope transferring(env);
    if (!env.link.SendCmd(QStringLiteral("WP\r")))
        return false;
    patches.PatchChanged = false;
    patches.ClearUndo();
    return true;
}

bool FetchAllPatches(TransferEnv &env, TPatchModel &patches) {
    const int remembered = patches.CurPatch;
    bool restored = false;
    try {
        BeginPatchTransferMode(env);
        for (int p = 0; p < PatchCount; ++p) {
            if (patches.PatchInSync[std::size_t(p)])
                continue;
            patches.CurPatch = p;
            SendOrAbort(env, selectCommand(p));
            FetchCurrentPatch(env, patches);
        }
        patches.CurPatch = remembered;
        restored = true;
        // A unit that reported no current patch is not sent a patch number.
        if (IsPatchIndex(remembered))
            SendOrAbort(env, selectCommand(remembered));
        EndPatchTransferMode(env);
        for (bool inSync : patches.PatchInSync)
            if (!inSync)
                throw EAbort();
        return true;
    } catch (const EAbort &) {
        if (!restored)
            patches.CurPatch = remembered;
        ShowErrorBox(tr("取得に失敗しました"));
        return false;
    }
}

bool SendAllPatches(TransferEnv &env, TPatchModel &patches) {
    BracketScope bracket(env, tr("全パッチデータ転送中"));
    try {
        for (int p = 0; p < PatchCount; ++p) {
            SendOrAbort(env, selectCommand(p));
            sendPatchBlocks(env, patches.Patches[std::size_t(p)], p * kPatchBlocks,
                            PatchCount * kPatchBlocks);
            patches.PatchInSync[std::size_t(p)] = true;
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
    BracketScope bracket(env, tr("パッチデータ転送中"));
    try {
        sendPatchBlocks(env, *memory, 0, kPatchBlocks);
        return true;
    } catch (const EAbort &) {
        return false;
    }
}

bool ClearOrThroughCurrentPatch(TransferEnv &env, TPatchModel &patches, bool through) {
    if (!patches.HasCurrent())
        return false;
    patches.PushUndo();
    if (!env.link.EditMode &&
        !env.link.SendCmd(through ? QStringLiteral("T\r") : QStringLiteral("C\r")))
        return false;
    if (through)
        patches.ThroughPatch(patches.CurPatch);
    else
        patches.ClearPatch(patches.CurPatch);
    patches.PatchChanged = env.link.EditMode;
    return true;
}

bool ClearAllPatches(TransferEnv &env, TPatchModel &patches) {
    TransferringScope transferring(env);
    BracketScope bracket(env, tr("全パッチクリア中"));
    try {
        for (int c = 0; c < PatchCount; ++c) {
            patches.CurPatch = c;
            if (!env.link.EditMode) {
                SendOrAbort(env, selectCommand(c));
                SendOrAbort(env, QStringLiteral("C\r"));
            }
            patches.ClearPatch(c);
            env.SetFraction((c + 1) * 0.125);
        }
        patches.PatchChanged = false;
        patches.ClearUndo();
        ShowInfoBox(tr("全てのパッチがクリアされました"));
        return true;
    } catch (const EAbort &) {
        ShowErrorBox(tr("処理に失敗しました"));
        return false;
    }
}

bool TransferLoadedPatches(TransferEnv &env, TPatchModel &patches) {
    TransferringScope transferring(env);
    bool ok = EnterPatchTransferMode(env.link) && SendAllPatches(env, patches);
    ok = ok && LeavePatchTransferMode(env.link);
    return reportLoadedTransfer(ok, patches);
}

bool TransferLoadedCurrentPatch(TransferEnv &env, TPatchModel &patches) {
    const TPatch *memory = patches.Current();
    TransferringScope transferring(env);
    BracketScope bracket(env, tr("パッチデータ転送中"));
    try {
        if (!memory)
            throw EAbort();
        BeginPatchTransferMode(env);
        sendPatchBlocks(env, *memory, 0, kPatchBlocks);
        EndPatchTransferMode(env);
    } catch (const EAbort &) {
        return reportLoadedTransfer(false, patches);
    }
    return reportLoadedTransfer(true, patches);
}

} // namespace kestrava
