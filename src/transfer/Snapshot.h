#pragma once

#include "Curve.h"
#include "DataFile.h"
#include "DataSetDiff.h"
#include "LoadAttrModel.h"
#include "PatchModel.h"
#include "TransferEnv.h"

#include <QDateTime>
#include <QList>
#include <QString>

#include <bitset>

// The history: before a command overwrites the unit's data in bulk, what the unit holds of it
// goes into an all-data file in the history folder, so that a wrong load or clear can be
// undone by loading that file.

namespace kestrava {

// [History] of the settings file.
struct THistorySettings {
    int keep = 200;       // Keep: the newest this many stay...
    int days = 90;        // Days: ...and so does every one younger than this
    bool readUnit = true; // ReadUnit: what memory does not hold of the unit is read for it
};
THistorySettings HistorySettingsOf(const QString &settingsFile);
// The link's history folder ("" without a settings file: nothing is kept).
QString HistoryFolder(const TUnitLink &link);

// The data a command is about to overwrite on the unit.
struct TSnapshotParts {
    std::bitset<PatchCount> patches;
    bool attrs = false;
    bool curves = false;

    static TSnapshotParts All() { return {std::bitset<PatchCount>().set(), true, true}; }
};

// What memory holds in sync and unchanged is copied; the rest is read from the unit into
// the snapshot only, never into memory or a flag. Without a link, in edit mode or without a
// history folder there is nothing to keep and every step succeeds.
class TSnapshot {
public:
    TSnapshot(TransferEnv &env, QString command, TSnapshotParts parts, const TPatchModel &patches,
              const TLoadAttrModel &attrs, const TCurveSet &curves);

    // Attributes and curves, in the unit's present mode (before an "R002" bracket).
    bool ReadAttrsAndCurves();
    // Memories selected with "P" and read in blocks in the unit's present mode, the unit put
    // back on the shown patch.
    bool ReadPatches();
    // The file; false after the box that names the folder and the reason.
    bool Write();
    bool Take() { return ReadAttrsAndCurves() && ReadPatches() && Write(); }

    // The file written ("" before, or when there was nothing to keep).
    const QString &Path() const { return path_; }
    // For a comparison with the unit: read whatever memory does not hold, whatever the
    // settings say and wherever the history is.
    void ReadAlways() { readUnit_ = true; }
    // The unit's side as far as it was copied or read.
    const TDataSet &Data() const { return data_; }

private:
    bool reading() const;

    TransferEnv &env_;
    QString command_;
    TSnapshotParts parts_;
    int curPatch_;        // the shown patch, which the unit is on
    TSnapshotParts held_; // what data_ holds of parts_
    TDataSet data_;
    bool readUnit_;
    QString path_;
};

// Each memory's first fetch in a link session, kept as it came; failing to keep it costs the
// fetch nothing.
void KeepFirstFetch(TransferEnv &env, const TPatchModel &patches, int p);

// One snapshot of the history folder, as its name and its contents tell.
struct THistoryEntry {
    QString path;
    QDateTime when;
    QString command;
    QString firmware;
    TReadReport holds;
};

// The snapshots, newest first; files not named as snapshots are left out.
QList<THistoryEntry> ListHistory(const QString &folder);
// "Patch1 Patch3 Attribute Curve1..4": what a snapshot holds, in the file's own words.
QString HoldsText(const TReadReport &holds);
// Deletes the snapshots that neither the newest settings.keep nor settings.days keep.
void PruneHistory(const QString &folder, const THistorySettings &settings, const QDateTime &now);

} // namespace kestrava
