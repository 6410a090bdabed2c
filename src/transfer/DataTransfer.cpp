#include "DataTransfer.h"

#include "AttrTransfer.h"
#include "CurveTransfer.h"
#include "PatchTransfer.h"
#include "Snapshot.h"
#include "Usr_misc.h"

#include <QCoreApplication>

namespace kestrava {

namespace {

struct Texts {
    Q_DECLARE_TR_FUNCTIONS(DataTransfer)
};

// The write commands run only while their action would be enabled.
bool writeActionEnabled(const TransferEnv &env) {
    return env.link.Linked && !env.link.Transferring;
}

// Attributes and curves that the file leaves to memory while memory does not hold the
// unit's. The fetch's own rule about LdAtrChanged is not the load's.
bool fetchAttrsAndCurvesTheFileLeaves(TransferEnv &env, TLoadAttrModel &attrs, TCurveSet &curves,
                                      const TReadReport &found) {
    if (!attrs.LdAtrInSync && !found.FillsAttributes()) {
        const bool changed = attrs.LdAtrChanged;
        const bool fetched = FetchLoadAttrs(env, attrs);
        // The fetch can only have cleared the flag: edits made before are still unwritten.
        if (changed)
            attrs.MarkEdited();
        if (!fetched)
            return false;
    }
    return curves.CurvesInSync || found.HoldsAllCurves() || FetchCurves(env, curves);
}

} // namespace

void MarkUnwritten(const TReadReport &found, TPatchModel &patches, TLoadAttrModel &attrs,
                   TCurveSet &curves) {
    MarkPatchesUnwritten(patches, found);
    if (found.attributeSection)
        attrs.MarkUnsent();
    if (found.curveSections.any())
        curves.MarkUnsent();
}

bool TransferLoadedAllData(TransferEnv &env, TPatchModel &patches, TLoadAttrModel &attrs,
                           TCurveSet &curves, const TLoadFile &file, const QString &command) {
    const TReadReport &found = file.read.found;
    TSnapshot snapshot(env, command, TSnapshotParts::All(), patches, attrs, curves);
    bool ok = snapshot.ReadAttrsAndCurves() && EnterPatchTransferMode(env.link) &&
              snapshot.ReadPatches() && snapshot.Write() &&
              FetchPatchesTheFileLeaves(env, patches, found) &&
              fetchAttrsAndCurvesTheFileLeaves(env, attrs, curves, found);
    ok = ok && file.LayOver(patches, attrs, curves);
    if (ok) {
        MarkUnwritten(found, patches, attrs, curves);
        {
            TransferringScope transferring(env);
            ok = SendAllPatches(env, patches);
        }
        // A write that failed has shown its own text; it still fails the whole load,
        // which must not then report completion.
        ok = ok && writeActionEnabled(env) && WriteLoadAttrs(env, attrs);
        ok = ok && writeActionEnabled(env) && WriteCurves(env, curves);
        ok = ok && LeavePatchTransferMode(env.link);
    }
    if (!ok) {
        env.boxes.Error(Texts::tr("読込・転送に失敗しました"));
        RealignAfterFailedLoad(env, patches);
        return false;
    }
    env.boxes.Info(Texts::tr("転送・書込が完了しました"));
    return true;
}

bool TransferLoadedAllData(TransferEnv &env, TPatchModel &patches, TLoadAttrModel &attrs,
                           TCurveSet &curves) {
    QStringList lines;
    WriteDataFileLines(FileKind::AllData, lines, patches, attrs, curves);
    return TransferLoadedAllData(env, patches, attrs, curves,
                                 ReadLoadLines(FileKind::AllData, lines, patches.CurPatch));
}

bool FetchAllData(TransferEnv &env, TPatchModel &patches, TLoadAttrModel &attrs,
                  TCurveSet &curves) {
    if (!FetchAllPatches(env, patches))
        return false;
    FetchLoadAttrs(env, attrs);
    if (!attrs.LdAtrInSync)
        return false;
    FetchCurves(env, curves);
    return curves.CurvesInSync;
}

} // namespace kestrava
