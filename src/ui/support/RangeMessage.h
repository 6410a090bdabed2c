#pragma once

#include <QCoreApplication>
#include <QString>

namespace kestrava {

// The warning for a typed number outside what the unit or the settings allow; the one
// text every editor shows for it.
inline QString RangeMessageText() {
    return QCoreApplication::translate("RangeMessage", "値が範囲外です");
}

} // namespace kestrava
