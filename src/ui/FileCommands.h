#pragma once

#include "Curve.h"
#include "LoadAttrModel.h"
#include "PatchModel.h"
#include "TransferEnv.h"

#include <QString>

#include <functional>

namespace kestrava {

// What the save and load commands need of the main window.
struct TFileHost {
    TUnitLink &link;
    TPatchModel &patches;
    TLoadAttrModel &attrs;
    TCurveSet &curves;
    TransferEnv &env;
    std::function<QString(const QString &action)> caption; // an action's current caption
    std::function<bool(const QString &action)> execute;    // through its update rule
    std::function<void()> clearMessagePanel;
    std::function<void()> refreshViews;     // patch table, attribute grid, curve view
    std::function<void()> patNoComboChange; // redisplay the patch chosen in PatNoCombo
    std::function<void()> clearSelection;   // SelectedOutputs and SelectAnchor
    std::function<void()> showCurveMode;    // the mode selector follows the shown curve
};

// The ten save and load commands of the File menu. Each returns whether it did
// what was asked (false also when its file dialog was cancelled).
class TFileCommands {
public:
    explicit TFileCommands(TFileHost host) : h(std::move(host)) {}

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

private:
    enum class Kind { AllData, AllPatches, OnePatch, Attributes, Curves };
    QString askFile(bool save, Kind kind, const QString &action) const;
    bool store(const QString &file, const QStringList &lines) const;
    TFileHost h;
};

} // namespace kestrava
