#pragma once

#include "ActionIds.h"

#include <QString>

#include <array>

namespace kestrava {

class TCurveSet;
class TLoadAttrModel;
class TPatchModel;

// What closing the window asks about one model's unsaved edits, and the command that
// keeps them: saved to a file in edit mode, written to the unit when linked.
struct TCloseQuestion {
    const bool *changed; // read again after the command ran
    QString toSave;
    QString toWrite;
    ActionId saveAction;
    ActionId writeAction;
};

// In the order they are asked: the patch, the load attributes, the curves.
std::array<TCloseQuestion, 3> CloseQuestions(const TPatchModel &patches,
                                             const TLoadAttrModel &attrs, const TCurveSet &curves);

} // namespace kestrava
