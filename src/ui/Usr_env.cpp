#include "Usr_env.h"

#include "AppSettings.h"

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
    QScreen *screen = window ? window->screen() : nullptr;
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    if (screen) {
        info.screen = screen->availableGeometry();
        info.ppi = qRound(screen->logicalDotsPerInch());
    }
    info.monitors = int(QGuiApplication::screens().size());
    info.scales = true;
    return info;
}

void RestoreWindowPlacement(QWidget *window, QSettings &ini, int defaultWidth, int defaultHeight) {
    RestoreWindowPlacement(window, ini, defaultWidth, defaultHeight, DisplayInfo::of(window));
}

void RestoreWindowPlacement(QWidget *window, QSettings &ini, int defaultWidth, int defaultHeight,
                            const DisplayInfo &display) {
    if (!window)
        return;
    const Qt::WindowStates sizing =
        Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen;
    // Bounds set on a maximized window would not become its normal bounds.
    window->setWindowState(window->windowState() & ~sizing);

    const QRect &screen = display.screen;
    // The defaults centre the window's present size, before it is resized.
    int left = ReadIniInt(ini, kWinLeft, screen.x() + (screen.width() - window->width()) / 2);
    int top = ReadIniInt(ini, kWinTop, screen.y() + (screen.height() - window->height()) / 2);

    QSize size = window->size();
    if (defaultWidth > 0)
        size.setWidth(toPixels(readSize(ini, kWinWidth, defaultWidth), display));
    if (defaultHeight > 0)
        size.setHeight(toPixels(readSize(ini, kWinHeight, defaultHeight), display));
    window->resize(size);

    if (display.monitors == 1) {
        // The frame is known only once the window has been shown; before that it is 0.
        const QSize outer =
            window->size() + (window->frameGeometry().size() - window->geometry().size());
        // Far edges first: a window larger than the screen then keeps its title bar
        // on the screen instead of being pushed above or left of it.
        if (left + outer.width() > screen.x() + screen.width())
            left = screen.x() + screen.width() - outer.width();
        if (top + outer.height() > screen.y() + screen.height())
            top = screen.y() + screen.height() - outer.height();
        if (left < screen.x())
            left = screen.x();
        if (top < screen.y())
            top = screen.y();
    }
    window->move(left, top);

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

void StoreWindowPlacement(QWidget *window, QSettings &ini) {
    StoreWindowPlacement(window, ini, DisplayInfo::of(window));
}

void StoreWindowPlacement(QWidget *window, QSettings &ini, const DisplayInfo &display) {
    if (!window)
        return;
    // A minimized window is stored as a normal one, even if it was maximized before.
    const Qt::WindowStates state = window->windowState();
    const bool maximized = (state & Qt::WindowMaximized) && !(state & Qt::WindowMinimized);
    ini.setValue(kWinState, maximized ? 2 : 0);

    // The normal bounds without changing the window: normalGeometry() is the client
    // area, while the position is that of the frame, as move() takes it back.
    const QRect normal = window->normalGeometry();
    const QPoint frameOffset = window->geometry().topLeft() - window->frameGeometry().topLeft();
    ini.setValue(kWinLeft, normal.x() - frameOffset.x());
    ini.setValue(kWinTop, normal.y() - frameOffset.y());
    ini.setValue(kWinWidth, toStored(normal.width(), display));
    ini.setValue(kWinHeight, toStored(normal.height(), display));
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
