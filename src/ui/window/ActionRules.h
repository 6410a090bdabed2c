#pragma once

#include "ActionIds.h"

#include <QString>

namespace kestrava {

enum class Page { Patch = 0, Attr = 1, Curve = 2 };

// Everything an action's rule looks at, taken from the window and its pages in one go.
struct UiState {
    Page page = Page::Patch;
    bool editMode = false;
    bool linked = false;
    bool transferring = false;
    bool patchChanged = false;
    int curPatch = 0;
    bool undoEmpty = true;
    bool redoEmpty = true;
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

    bool operator==(const UiState &) const = default;
};

class TPatchModel;
class TUnitLink;
struct TAppSettings;

// The window's part of the state, for the page shown; each page adds its own part.
UiState WindowState(Page page, const TUnitLink &link, const TPatchModel &patches,
                    const TAppSettings &settings);

using Rule = bool (*)(const UiState &);

struct ActionRule {
    ActionId id;
    const char *caption;                 // untranslated; translated when applied
    const char *linkedCaption = nullptr; // caption while linked, when it differs
    int shortcut = 0;                    // a QKeySequence's key combination
    int shortcut2 = 0;                   // a second one, where the desktops differ
    Rule visible = nullptr;              // none: always
    Rule enabled = nullptr;              // none: always
    Rule checked = nullptr;              // none: the action is not checkable
};

// The rule of an action; the table holds one for every ActionId.
const ActionRule &RuleOf(ActionId id);

struct ActionLook {
    bool visible = true;
    bool enabled = true;
    bool checked = false;
    QString caption;
};
ActionLook EvaluateAction(const ActionRule &rule, const UiState &s);

} // namespace kestrava
