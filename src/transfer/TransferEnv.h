#pragma once

#include "Progress.h"
#include "UnitLink.h"

#include <QString>

#include <functional>

namespace kestrava {

// What a transfer works through: the link, the bracket around its transactions
// (the program disables the shown page's views and runs the status-bar bar; the
// command-line tool draws a terminal bar), a way to refresh the actions and the boxes.
struct TransferEnv {
    TUnitLink &link;
    TransferProgress &progress;
    std::function<void()> refreshActions = {};
    // Where the commands report and ask: the link's boxes unless a caller hands others.
    TBoxes boxes = link.Boxes();

    void BeginTransfer(const QString &text) { progress.Start(text); }
    void EndTransfer(const QString &text) { progress.Finish(text); }
    void SetFraction(double f) { progress.SetFraction(f); }
    void RefreshActions() const {
        if (refreshActions)
            refreshActions();
    }
};

// Transferring set for a command's whole run and put back on every way out (cleared, unless
// the command runs inside another that set it).
class TransferringScope {
public:
    explicit TransferringScope(TransferEnv &env) : env_(env), outer_(env.link.BeginTransferring()) {
        env_.RefreshActions();
    }
    ~TransferringScope() {
        env_.link.EndTransferring(outer_);
        env_.RefreshActions();
    }
    TransferringScope(const TransferringScope &) = delete;
    TransferringScope &operator=(const TransferringScope &) = delete;

private:
    TransferEnv &env_;
    bool outer_;
};

// The bracket: EndTransfer with an empty text on every way out.
class BracketScope {
public:
    BracketScope(TransferEnv &env, const QString &text) : env_(env) { env_.BeginTransfer(text); }
    ~BracketScope() { env_.EndTransfer(QString()); }
    BracketScope(const BracketScope &) = delete;
    BracketScope &operator=(const BracketScope &) = delete;

private:
    TransferEnv &env_;
};

// Sends a command and turns a refusal into the silent abort.
void SendOrAbort(TransferEnv &env, const QString &command);
// Queries a data block (receive buffer purged first) and returns its 48 digits,
// or raises the silent abort.
QString QueryBlockOrAbort(TransferEnv &env, int block);

// "R002\r": the mode in which the unit's patch memories are selected and moved in blocks.
bool EnterPatchTransferMode(TUnitLink &link);
// Its end: remote mode back to "R001\r" while linked, else "R000\r".
bool LeavePatchTransferMode(TUnitLink &link);
// The same two, raising the silent abort when refused.
void BeginPatchTransferMode(TransferEnv &env);
void EndPatchTransferMode(TransferEnv &env);

} // namespace kestrava
