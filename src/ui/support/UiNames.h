#pragma once

#include <QObject>

namespace kestrava {

// Gives a new widget the component name the rest of the program knows it by.
template <class W>
W *named(W *widget, const char *name) {
    widget->setObjectName(QLatin1String(name));
    return widget;
}

} // namespace kestrava
