#pragma once

#include "Desktop.h"

#include <QMargins>
#include <QRect>
#include <QWidget>

// The frame a window manager draws around a top-level window (title bar and borders),
// and the window's outer rectangle, frame included, in its normal state: what the
// placement keys describe.

namespace kestrava {

// The frame around the window now, as probe tells it (an empty probe: the window's frame
// geometry). Some window managers tell it only once the window is on the screen; until
// then it reads as none.
QMargins WindowFrame(const QWidget *window, const FrameProbe &probe);

// Gives the window's normal state the outer rectangle outer. When the frame is not
// known yet, the client area takes the whole rectangle for now and is brought inside
// it once the frame shows (as soon as the window is back in its normal state).
void PlaceNormalFrame(QWidget *window, const QRect &outer, const FrameProbe &probe);

// The outer rectangle of the window's normal state, also while it is maximized or
// minimized (with the frame it had when normal).
QRect NormalFrameRect(const QWidget *window, const FrameProbe &probe);

} // namespace kestrava
