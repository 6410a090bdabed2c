#pragma once

#include "TransferEnv.h"

#include <QString>
#include <QStringView>

#include <functional>
#include <vector>

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

// One command of its own: Transferring set and the bracket open with text for its whole run.
// A step that raises the silent abort ends it with the failed box; whether steps all ran.
bool RunTransfer(TransferEnv &env, const QString &text, const QString &failed,
                 const std::function<void()> &steps);

// Consecutive blocks of a part from base: how each is read (take) and written (command, the
// whole request), and where each loop moves the bar.
struct TBlockRun {
    int base = 0;
    int count = 0;
    BlockProgress fetchProgress;
    BlockProgress writeProgress;
    std::function<void(int index, QStringView digits)> take;
    std::function<QString(int index)> command;
};

// A part that moves whole in runs of blocks, the attributes or the curves: its runs in wire
// order, the commit after a write, the model's verbs and the texts of its two commands.
struct TBlockPart {
    std::vector<TBlockRun> runs;
    QString commit;
    std::function<void()> beforeFetch = [] {};
    std::function<void()> fetched;
    std::function<void()> written;
    QString fetchText, fetchFailed;
    QString writeText, writeFailed;
};

// Every run queried in order, then fetched; false after the failure box.
bool FetchBlockPart(TransferEnv &env, const TBlockPart &part);
// Every run sent in order and the commit, then written; false after the failure box.
bool WriteBlockPart(TransferEnv &env, const TBlockPart &part);

} // namespace kestrava
