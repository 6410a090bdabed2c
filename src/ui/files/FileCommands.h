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

    bool SaveAllDataActionExecute();
    bool LoadAllDataActionExecute();
    bool SaveAllPatActionExecute();
    bool SaveCurPatActionExecute();
    bool LoadAllPatActionExecute();
    bool LoadCurPatActionExecute();
    bool SaveLdAtrActionExecute();
    bool LoadLdAtrActionExecute();
    bool SaveCurveActionExecute();
    bool LoadCurveActionExecute();

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
    bool store(const QString &file, const QStringList &lines) const;
    void clearMessagePanel();
    TLoadFile readForLoad(FileKind kind, const QString &file) const;
    // Every memory, the attributes and the curves hold what the unit holds.
    bool allInSync() const;

    TUnitLink &link_;
    TPatchModel &patches_;
    TLoadAttrModel &attrs_;
    TCurveSet &curves_;
    TransferEnv &env_;
    TActionMap &actions_;
    TStatusBar &status_;
};

} // namespace kestrava
