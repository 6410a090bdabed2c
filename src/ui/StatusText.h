#pragma once

#include <QString>

namespace kestrava {

// Panel 0: "編集モード", or the port, the link state and the DMX line indicators.
QString LinkPanelText(bool editMode, int comPortNo, bool linked, bool portOpen, int statusWord);

} // namespace kestrava
