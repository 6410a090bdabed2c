#pragma once

#include <QKeySequence>
#include <QString>

#include <functional>
#include <vector>

namespace kestrava {

enum class Page { Patch = 0, Attr = 1, Curve = 2 };

// Everything an action's rule looks at, taken from the window in one go.
struct UiState {
    Page page = Page::Patch;
    bool editMode = false;
    bool linked = false;
    bool transferring = false;
    bool patchChanged = false;
    int curPatch = 0;
    bool undoEmpty = true;
    int patTableMode = 0;
    int patTableWidth = 10;
    int crvGridWidth = 8;
    bool dispAbCh = false;
    int selectedOutputs = 0;     // SelectedOutputs flags set
    bool cellHasPatch = false;   // the current cell shows an editable output with a patch
    bool setTextsFilled = false; // FromChEdit and ToChEdit both hold text
    bool overCurveGraph = false; // the pointer is over the curve graph
    int curvePoints = 0;         // points of the shown curve
    bool curveIndividual = false;
    bool pointDeletable = false; // a point is selected and it is not an end point
};

struct ActionRule {
    const char *name;
    QString caption;
    QString linkedCaption; // caption while linked, when it differs
    QKeySequence shortcut;
    std::function<bool(const UiState &)> visible;
    std::function<bool(const UiState &)> enabled;
    std::function<bool(const UiState &)> checked; // empty: the action is not checkable
};

// Every action of the main window with its update rule, in one table.
const std::vector<ActionRule> &ActionRules();
const ActionRule *FindActionRule(const QString &name);

struct ActionLook {
    bool visible = true;
    bool enabled = true;
    bool checked = false;
    QString caption;
};
ActionLook EvaluateAction(const ActionRule &rule, const UiState &s);

} // namespace kestrava
