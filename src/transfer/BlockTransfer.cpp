#include "BlockTransfer.h"

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

} // namespace kestrava
