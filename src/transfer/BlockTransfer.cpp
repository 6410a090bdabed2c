#include "BlockTransfer.h"

#include "Abort.h"
#include "Usr_misc.h"

namespace kestrava {

namespace {

void advance(TransferEnv &env, BlockProgress progress, int index) {
    if (progress.total > 0)
        env.SetFraction(double(progress.first + index) / progress.total);
}

} // namespace

void QueryBlocks(TransferEnv &env, int base, int count, BlockProgress progress,
                 const std::function<void(int index, QStringView digits)> &take) {
    for (int b = 0; b < count; ++b) {
        take(b, QueryBlockOrAbort(env, base + b));
        advance(env, progress, b);
    }
}

void SendBlocks(TransferEnv &env, int count, BlockProgress progress,
                const std::function<QString(int index)> &command) {
    for (int b = 0; b < count; ++b) {
        SendOrAbort(env, command(b));
        advance(env, progress, b);
    }
}

bool RunTransfer(TransferEnv &env, const QString &text, const QString &failed,
                 const std::function<void()> &steps) {
    TransferringScope transferring(env);
    BracketScope bracket(env, text);
    try {
        steps();
        return true;
    } catch (const EAbort &) {
        env.boxes.Error(failed);
        return false;
    }
}

bool FetchBlockPart(TransferEnv &env, const TBlockPart &part) {
    return RunTransfer(env, part.fetchText, part.fetchFailed, [&] {
        part.beforeFetch();
        for (const TBlockRun &run : part.runs)
            QueryBlocks(env, run.base, run.count, run.fetchProgress, run.take);
        part.fetched();
    });
}

bool WriteBlockPart(TransferEnv &env, const TBlockPart &part) {
    return RunTransfer(env, part.writeText, part.writeFailed, [&] {
        for (const TBlockRun &run : part.runs)
            SendBlocks(env, run.count, run.writeProgress, run.command);
        SendOrAbort(env, part.commit);
        part.written();
    });
}

} // namespace kestrava
