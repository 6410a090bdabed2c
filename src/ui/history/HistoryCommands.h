#pragma once

#include "ActionRules.h"
#include "Curve.h"
#include "DataSetDiff.h"
#include "LoadAttrModel.h"
#include "PatchModel.h"
#include "TransferEnv.h"

#include <QObject>

class QWidget;

namespace kestrava {

class TActionMap;
class TFileCommands;
struct TAppSettings;
struct TDesktop;

// "ファイルと比較..." and "履歴...": the compare view of any data file against the unit, and
// the history window, whose Load runs the all-data load on the chosen snapshot.
class THistoryCommands : public QObject {
    Q_OBJECT
public:
    THistoryCommands(TPatchModel &patches, TLoadAttrModel &attrs, TCurveSet &curves,
                     TransferEnv &env, TActionMap &actions, const TDesktop &desktop,
                     TFileCommands &files, const TAppSettings &settings, QWidget *window);

    // What differs between the unit (memory in edit mode or without a link) and file, of
    // what file holds; false after the box when the file or the unit cannot be read.
    bool Differences(const QString &file, QList<TDataDifference> &out);
    void Compare(const QString &file);

Q_SIGNALS:
    void GoTo(kestrava::Page page, int patch, int output);

private:
    void showHistory();

    TPatchModel &patches_;
    TLoadAttrModel &attrs_;
    TCurveSet &curves_;
    TransferEnv &env_;
    TActionMap &actions_;
    const TDesktop &desktop_;
    TFileCommands &files_;
    const TAppSettings &settings_;
    QWidget *window_;
};

} // namespace kestrava
