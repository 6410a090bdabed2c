#include "TransferEnv.h"

#include "Abort.h"
#include "WireCodes.h"

namespace kestrava {

void SendOrAbort(TransferEnv &env, const QString &command) {
    if (!env.link.SendCmd(command))
        throw EAbort();
}

QString QueryBlockOrAbort(TransferEnv &env, int block) {
    env.link.PurgeInput();
    const QString reply = env.link.QueryCmd(QStringLiteral("Q%1\r").arg(Hex3(block)));
    if (reply.size() != kBlockDigits)
        throw EAbort();
    return reply;
}

bool EnterPatchTransferMode(TUnitLink &link) {
    return link.SendCmd(QStringLiteral("R002\r"));
}

bool LeavePatchTransferMode(TUnitLink &link) {
    return link.SendCmd(link.Linked ? QStringLiteral("R001\r") : QStringLiteral("R000\r"));
}

void BeginPatchTransferMode(TransferEnv &env) {
    if (!EnterPatchTransferMode(env.link))
        throw EAbort();
}

void EndPatchTransferMode(TransferEnv &env) {
    if (!LeavePatchTransferMode(env.link))
        throw EAbort();
}

} // namespace kestrava
