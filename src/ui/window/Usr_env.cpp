#include "Usr_env.h"

#include "AppSettings.h"
#include "WindowFrame.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QGuiApplication>
#include <QScreen>

#include <algorithm>

namespace kestrava {

namespace {

const QString kWinLeft = QStringLiteral("WinLeft");
const QString kWinTop = QStringLiteral("WinTop");
const QString kWinWidth = QStringLiteral("WinWidth");
const QString kWinHeight = QStringLiteral("WinHeight");
const QString kWinState = QStringLiteral("WinState");

int validPpi(const DisplayInfo &display) {
    return display.ppi > 0 ? display.ppi : 96;
}

// Stored 96-dpi units to the window's pixels.
int toPixels(int stored, const DisplayInfo &display) {
    if (!display.scales)
        return stored;
    const qint64 pixels = qint64(stored) * validPpi(display) / 96;
    return int(std::clamp<qint64>(pixels, 0, QWIDGETSIZE_MAX));
}

int toStored(int pixels, const DisplayInfo &display) {
    if (!display.scales)
        return pixels;
    return int(qint64(pixels) * 96 / validPpi(display));
}

// A size of 0 or less (only a hand-edited file holds one) would give a window that
// cannot be seen or grabbed; such a value counts as missing.
int readSize(QSettings &ini, const QString &key, int defaultValue) {
    const int value = ReadIniInt(ini, key, defaultValue);
    return value > 0 ? value : defaultValue;
}

// The screen the window's top-left corner lands on; the window's own screen when that
// corner is on none. Without any screen, no limit.
QRect landingScreen(const DisplayInfo &display, const QPoint &topLeft) {
    for (const QRect &screen : display.screens)
        if (screen.contains(topLeft))
            return screen;
    if (!display.screens.isEmpty())
        return display.screens.first();
    return QRect(0, 0, QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
}

} // namespace

// Qt measures widget geometry in device-independent pixels and multiplies them by the
// screen's device pixel ratio itself; what is left for us is the logical DPI of those
// units, 96 whenever Qt's scaling absorbs the display scale. So an 800-unit window is
// 1200 device pixels on a 150 % display, and a file written at one scale gives the
// same physical size at another. With Qt's scaling switched off the geometry is in
// device pixels and the logical DPI is the display's (144 at 150 %), and the stored
// 96-dpi units do the scaling instead.
DisplayInfo DisplayInfo::of(const QWidget *window) {
    DisplayInfo info;
    QScreen *own = window ? window->screen() : nullptr;
    if (!own)
        own = QGuiApplication::primaryScreen();
    if (own) {
        info.screens.append(own->availableGeometry());
        info.ppi = qRound(own->logicalDotsPerInch());
    }
    for (const QScreen *screen : QGuiApplication::screens())
        if (screen != own)
            info.screens.append(screen->availableGeometry());
    info.scales = true;
    return info;
}

void RestoreWindowPlacement(QWidget *window, QSettings &ini, int defaultWidth, int defaultHeight,
                            const FrameProbe &frame) {
    RestoreWindowPlacement(window, ini, defaultWidth, defaultHeight, DisplayInfo::of(window),
                           frame);
}

void RestoreWindowPlacement(QWidget *window, QSettings &ini, int defaultWidth, int defaultHeight,
                            const DisplayInfo &display, const FrameProbe &frame) {
    if (!window)
        return;
    const Qt::WindowStates sizing =
        Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen;
    // Bounds set on a maximized window would not become its normal bounds.
    window->setWindowState(window->windowState() & ~sizing);

    const QRect own = display.screens.value(0);
    // The defaults centre the window's present size, before it is resized.
    const QSize present = window->size().grownBy(WindowFrame(window, frame));
    int left = ReadIniInt(ini, kWinLeft, own.x() + (own.width() - present.width()) / 2);
    int top = ReadIniInt(ini, kWinTop, own.y() + (own.height() - present.height()) / 2);

    QSize outer = present;
    const QRect landing = landingScreen(display, QPoint(left, top));
    // A size stored on a larger screen (or by hand) is cut to the screen the window lands
    // on, so that its far edges, the status bar among them, can be reached.
    if (defaultWidth > 0)
        outer.setWidth(
            std::min(toPixels(readSize(ini, kWinWidth, defaultWidth), display), landing.width()));
    if (defaultHeight > 0)
        outer.setHeight(std::min(toPixels(readSize(ini, kWinHeight, defaultHeight), display),
                                 landing.height()));

    if (display.screens.size() == 1) {
        // Far edges first: a window larger than the screen then keeps its title bar
        // on the screen instead of being pushed above or left of it.
        if (left + outer.width() > own.x() + own.width())
            left = own.x() + own.width() - outer.width();
        if (top + outer.height() > own.y() + own.height())
            top = own.y() + own.height() - outer.height();
        if (left < own.x())
            left = own.x();
        if (top < own.y())
            top = own.y();
    }
    PlaceNormalFrame(window, QRect(QPoint(left, top), outer), frame);

    // Only 2 and 1 are states the program knows; anything else a hand edit left
    // behind opens the window normally.
    Qt::WindowStates state = window->windowState();
    switch (ReadIniInt(ini, kWinState, 0)) {
    case 1:
        state |= Qt::WindowMinimized;
        break;
    case 2:
        state |= Qt::WindowMaximized;
        break;
    default:
        break;
    }
    window->setWindowState(state);
}

void StoreWindowPlacement(QWidget *window, QSettings &ini, const FrameProbe &frame) {
    StoreWindowPlacement(window, ini, DisplayInfo::of(window), frame);
}

void StoreWindowPlacement(QWidget *window, QSettings &ini, const DisplayInfo &display,
                          const FrameProbe &frame) {
    if (!window)
        return;
    // A minimized window is stored as a normal one, even if it was maximized before.
    const Qt::WindowStates state = window->windowState();
    const bool maximized = (state & Qt::WindowMaximized) && !(state & Qt::WindowMinimized);
    ini.setValue(kWinState, maximized ? 2 : 0);

    // The normal bounds, read without changing the window.
    const QRect outer = NormalFrameRect(window, frame);
    ini.setValue(kWinLeft, outer.x());
    ini.setValue(kWinTop, outer.y());
    ini.setValue(kWinWidth, toStored(outer.width(), display));
    ini.setValue(kWinHeight, toStored(outer.height(), display));
}

QString FormatProductVersion(const QString &fileName) {
    if (!fileName.isEmpty()) {
        // Only this program carries a version we know; other files have no resource.
        if (!QCoreApplication::instance())
            return QString();
        const QString self = QFileInfo(QCoreApplication::applicationFilePath()).canonicalFilePath();
        if (self.isEmpty() || QFileInfo(fileName).canonicalFilePath() != self)
            return QString();
    }
    return QStringLiteral("%1.%2.%3.0")
        .arg(unsigned(KESTRAVA_VERSION_MAJOR))
        .arg(unsigned(KESTRAVA_VERSION_MINOR))
        .arg(unsigned(KESTRAVA_VERSION_PATCH));
}

} // namespace kestrava
