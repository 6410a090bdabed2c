#pragma once

#include "Desktop.h"

#include <QList>
#include <QRect>
#include <QSettings>
#include <QString>
#include <QWidget>

namespace kestrava {

// What placement depends on besides the settings and the window manager's frame
// (WindowFrame.h): the monitors and the window's pixels per inch. Taken from the
// system, or given by tests.
struct DisplayInfo {
    QList<QRect> screens; // available geometry of each monitor, the window's own first
    int ppi = 96;         // the window's logical pixels per inch
    bool scales = true;   // the window follows the display scale
    static DisplayInfo of(const QWidget *window);
};

// Placement in the General section: WinLeft, WinTop, WinWidth, WinHeight (96-dpi
// units) describe the window's outer rectangle, frame included, in its normal state;
// WinState is 0 normal, 2 maximized. A stored size larger than the screen the window
// lands on is reduced to fit that screen.
// frame tells the window manager's frame (see WindowFrame).
void RestoreWindowPlacement(QWidget *window, QSettings &ini, int defaultWidth, int defaultHeight,
                            const FrameProbe &frame);
void RestoreWindowPlacement(QWidget *window, QSettings &ini, int defaultWidth, int defaultHeight,
                            const DisplayInfo &display, const FrameProbe &frame);
void StoreWindowPlacement(QWidget *window, QSettings &ini, const FrameProbe &frame);
void StoreWindowPlacement(QWidget *window, QSettings &ini, const DisplayInfo &display,
                          const FrameProbe &frame);

// "major.minor.build.0" of this program (the file name is for other programs'
// version resources, which this platform does not have: empty then).
QString FormatProductVersion(const QString &fileName = QString());

} // namespace kestrava
