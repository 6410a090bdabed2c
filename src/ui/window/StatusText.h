#pragma once

#include "UnitLink.h"

#include <QString>

namespace kestrava {

// Panel 0: "編集モード", or the port, the link state and the DMX line indicators.
QString LinkPanelText(bool editMode, int comPortNo, bool linked, bool portOpen, TDmxLines lines);

// Panel 3 on the patch page: the output of the current cell with its load
// attribute, the selection count (output-to-input view), the change mark and what
// typing into the table means. output < 0 or beyond maxTx shows "---"; hasPatch
// false (no current patch) leaves the text empty.
QString InfoPanelText(bool hasPatch, int output, int mode, bool ab, int maxTx, int loadAttr,
                      int selected, bool changed);

} // namespace kestrava
