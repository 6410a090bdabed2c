#include "TransferEnv.h"

#include "Abort.h"
#include "Usr_com_std.h"
#include "WireCodes.h"

namespace kestrava {

void SendOrAbort(TransferEnv &env, const QString &command) {
    if (!env.link.SendCmd(command))
        throw EAbort();
}

QString QueryBlockOrAbort(TransferEnv &env, int block) {
    PurgeComRx(env.link.ComPortNo);
    const QString reply = env.link.QueryCmd(QStringLiteral("Q%1\r").arg(Hex3(block)));
    if (reply.size() != kBlockDigits)
        throw EAbort();
    return reply;
}

void EndPatchTransferMode(TransferEnv &env) {
    SendOrAbort(env, env.link.Linked ? QStringLiteral("R001\r") : QStringLiteral("R000\r"));
}

} // namespace kestrava
