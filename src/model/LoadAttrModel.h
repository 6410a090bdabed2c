#pragma once

#include "PatchModel.h"

#include <QString>
#include <QStringList>

#include <array>
#include <cstdint>
#include <optional>

namespace kestrava {

// Attribute code of one output: a user curve 0..3, or one of these two.
using LoadAttr = std::int32_t;
inline constexpr LoadAttr laNormal = 128;
inline constexpr LoadAttr laOnOff = 129;
inline constexpr int UserCurveCount = 4;
inline constexpr int LoadAttrCount = OutputCount; // one per output

using TLoadAttrs = std::array<LoadAttr, LoadAttrCount>;

// The six codes the unit and the data files know.
bool IsValidLoadAttr(LoadAttr code);

// "Normal", "On/Off", or "User " and code + 1 for any other code.
QString LoadAttrText(LoadAttr code);

// The selector's items in order: "Normal", "On/Off", "User 1" .. "User 4".
QStringList LoadAttrSelectorItems();

// Selector index <-> code. A code outside the six has no item (-1); an index outside 0..5
// has no code.
int LoadAttrToIndex(LoadAttr code);
std::optional<LoadAttr> IndexToLoadAttr(int index);

// The attribute of every output and the flags that relate them to the unit. Outside the
// model the flags are read, and changed only through the verbs that say what happened.
class TLoadAttrModel {
public:
    TLoadAttrModel() { LoadAttrs.fill(laNormal); }

    TLoadAttrs LoadAttrs;
    bool LdAtrChanged = false;
    bool LdAtrInSync = false;

    // An edit the unit has not stored yet: closing asks about it.
    void MarkEdited() { LdAtrChanged = true; }
    // Read from the unit: a further fetch transfers nothing.
    void MarkFetched() { LdAtrInSync = true; }
    // Nothing left to store: a fetch was made, or (in edit mode) a file holds the attributes.
    void MarkStored() { LdAtrChanged = false; }
    // Sent to the unit and stored there.
    void MarkWritten() {
        LdAtrInSync = true;
        LdAtrChanged = false;
    }
    // A file's attributes laid over memory, not (yet) sent.
    void MarkUnsent() {
        LdAtrInSync = false;
        LdAtrChanged = true;
    }
    // A new link: the unit may hold anything, and the next fetch reads it again.
    void Forget() {
        LdAtrInSync = false;
        LdAtrChanged = false;
    }

    // Every output back to Normal (the initialise command; it sets LdAtrChanged itself).
    void SetAllNormal() { LoadAttrs.fill(laNormal); }
};

} // namespace kestrava
