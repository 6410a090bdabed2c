#include "Usr_misc_input.h"

#include <QApplication>

namespace kestrava {

bool IsKeyDown(int key) {
    const Qt::KeyboardModifiers held = QGuiApplication::queryKeyboardModifiers();
    switch (key) {
    case Qt::Key_Shift:
        return held.testFlag(Qt::ShiftModifier);
    case Qt::Key_Control:
        return held.testFlag(Qt::ControlModifier);
    case Qt::Key_Alt:
        return held.testFlag(Qt::AltModifier);
    case Qt::Key_Meta:
        return held.testFlag(Qt::MetaModifier);
    default:
        return false;
    }
}

} // namespace kestrava
