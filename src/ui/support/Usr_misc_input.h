#pragma once

#include <QWidget>

// The input operations of Usr_misc: the keyboard and the mouse as they are now,
// not as the last event told.

namespace kestrava {

// Whether a key (Qt::Key_Shift, Qt::Key_Control, Qt::Key_Alt, Qt::Key_Meta) is held
// down now; other keys read as not held.
bool IsKeyDown(int key);

} // namespace kestrava
