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

class TLoadAttrModel {
public:
    TLoadAttrModel() { LoadAttrs.fill(laNormal); }

    TLoadAttrs LoadAttrs;
    bool LdAtrChanged = false;
    bool LdAtrInSync = false;

    // Every output back to Normal (the initialise command; it sets LdAtrChanged itself).
    void SetAllNormal() { LoadAttrs.fill(laNormal); }
};

} // namespace kestrava
