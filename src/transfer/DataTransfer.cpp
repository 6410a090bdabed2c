#include "DataTransfer.h"

#include "AttrTransfer.h"
#include "CurveTransfer.h"
#include "PatchTransfer.h"
#include "Usr_misc.h"

#include <QCoreApplication>

namespace kestrava {

namespace {

QString tr(const char *text) {
    return QCoreApplication::translate("DataTransfer", text);
}

// The write commands run only while their action would be enabled.
bool writeActionEnabled(const TransferEnv &env) {
    return env.link.Linked && !env.link.Transferring;
}

} // namespace

bool TransferLoadedAllData(TransferEnv &env, TPatchModel &patches, TLoadAttrModel &attrs,
                           TCurveSet &curves) {
    bool ok = EnterPatchTransferMode(env.link);
    if (ok) {
        TransferringScope transferring(env);
        ok = SendAllPatches(env, patches);
    }
    // A write that failed has shown its own text; it still fails the whole load,
    // which must not then report completion.
    ok = ok && writeActionEnabled(env) && WriteLoadAttrs(env, attrs);
    ok = ok && writeActionEnabled(env) && WriteCurves(env, curves);
    ok = ok && LeavePatchTransferMode(env.link);
    if (!ok) {
        ShowErrorBox(tr("読込・転送に失敗しました"));
        return false;
    }
    ShowInfoBox(tr("転送・書込が完了しました"));
    return true;
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
