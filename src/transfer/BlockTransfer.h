#pragma once

#include "TransferEnv.h"

#include <QString>
#include <QStringView>

#include <functional>

namespace kestrava {

// The block loops of the patch, attribute and curve transfers: one data block per
// transaction, the progress bar advanced after each. A failed block raises the silent abort.

// Progress after block b of a loop: (first + b) / total; a total of 0 leaves the bar alone.
struct BlockProgress {
    int first = 0;
    int total = 0;
};

// Queries the blocks base .. base + count - 1 (receive buffer purged before each) and hands
// each 48-digit reply to take with the block's index in the loop, 0 .. count - 1.
void QueryBlocks(TransferEnv &env, int base, int count, BlockProgress progress,
                 const std::function<void(int index, QStringView digits)> &take);
// Sends command(0) .. command(count - 1), each to be acknowledged.
void SendBlocks(TransferEnv &env, int count, BlockProgress progress,
                const std::function<QString(int index)> &command);

} // namespace kestrava
