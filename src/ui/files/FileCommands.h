#pragma once

#include "ActionIds.h"
#include "Curve.h"
#include "DataFileKind.h"
#include "LoadAttrModel.h"
#include "PatchModel.h"
#include "TransferEnv.h"

#include <QObject>
#include <QString>

namespace kestrava {

class TActionMap;
class TStatusBar;

// The ten save and load commands of the File menu. Each returns whether it did
// what was asked (false also when its file dialog was cancelled).
//
// A load reads its file completely before memory changes, and a file that holds nothing of
// what the command loads is refused. While the link is lost (neither linked nor in edit
// mode) a load only fills memory, which then counts as not written to the unit.
class TFileCommands : public QObject {
    Q_OBJECT
public:
    // Registers the ten commands' handlers in actions.
    TFileCommands(TPatchModel &patches, TLoadAttrModel &attrs, TCurveSet &curves, TransferEnv &env,
                  TActionMap &actions, TStatusBar &status, QObject *parent = nullptr);

    // The save or the load of a kind of file, as its command runs it.
    bool Save(FileKind kind);
    bool Load(FileKind kind);
    // The same load of a file already chosen, with the command's questions and transfer.
    bool LoadFile(FileKind kind, const QString &file);

Q_SIGNALS:
    // Memory holds what a file brought: every page shows it again.
    void Loaded();
    // The patch memories were replaced: the chosen patch is shown afresh.
    void PatchesReplaced();
    // The shown patch is about to be sent: what was selected no longer applies.
    void PatchSelectionDropped();
    // The curves were replaced: the mode selector follows the shown curve.
    void CurvesLoaded();
    // All data was loaded: the mode selector shows the shown curve's mode, quietly.
    void AllCurvesReplaced();

private:
    QString askFile(bool save, FileKind kind, ActionId action) const;
    void clearMessagePanel();
    // Every memory, the attributes and the curves hold what the unit holds.
    bool allInSync() const;
    // What a save of all data does before writing: false when the file could not equal the
    // unit's data.
    bool fetchAllForSave();
    // A load while the link is lost: memory only, which then counts as not sent (in edit
    // mode memory is the data).
    bool layOverMemory(const TLoadFile &load);
    // A load that the page's write command takes to the unit.
    bool layOverAndWrite(const TLoadFile &load, ActionId write);

    TUnitLink &link_;
    TPatchModel &patches_;
    TLoadAttrModel &attrs_;
    TCurveSet &curves_;
    TransferEnv &env_;
    TActionMap &actions_;
    TStatusBar &status_;
};

} // namespace kestrava
