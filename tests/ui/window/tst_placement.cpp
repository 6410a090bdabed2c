#include "Usr_env.h"
#include "WindowFrame.h"

#include <QFile>
#include <QMainWindow>
#include <QSettings>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QWidget>
#include <QtTest>

#include <functional>
#include <memory>
#include <utility>

using namespace kestrava;

Q_DECLARE_METATYPE(kestrava::DisplayInfo)

namespace {

const QRect kScreen(0, 0, 1920, 1040);
// A second monitor to the right of the first.
const QRect kRightScreen(1920, 0, 1280, 984);

DisplayInfo display(int ppi, int monitors = 1, QRect screen = kScreen, bool scales = true) {
    DisplayInfo d;
    d.screens = {screen};
    if (monitors > 1)
        d.screens.append(kRightScreen);
    d.ppi = ppi;
    d.scales = scales;
    return d;
}

// A window manager's frame: borders of 6 and a title bar of 30 pixels; maximized, a
// title bar of 24 and no borders.
const QMargins kFrame(6, 30, 6, 6);
const QMargins kMaximizedFrame(0, 24, 0, 0);

// Where the frame comes from: the test platform's own (known at once), or a window
// manager that tells it before the window is shown, or only once it is on the screen.
enum class FrameFrom { Platform, BeforeShow, AfterShow };

// Plays the window manager: every window has frame (when known) in its normal state,
// and maximizedFrame while maximized.
struct WindowManager {
    QMargins frame;
    QMargins maximizedFrame;
    bool known = true;
    WindowManager(QMargins f, QMargins maximized = QMargins())
        : frame(f), maximizedFrame(maximized) {}
    FrameProbe probe() const {
        return [this](const QWidget *w) {
            if (!known)
                return QMargins();
            return w->isMaximized() ? maximizedFrame : frame;
        };
    }
};

// The frame as the window manager tells it, or the test platform's own without one.
FrameProbe probeOf(const std::unique_ptr<WindowManager> &wm) {
    return wm ? wm->probe() : FrameProbe();
}

// A window that restores its placement when it is first shown, as the main window does.
class RestoredOnShow : public QWidget {
public:
    explicit RestoredOnShow(std::function<void()> restore) : restore_(std::move(restore)) {}

protected:
    void showEvent(QShowEvent *event) override {
        QWidget::showEvent(event);
        if (restore_)
            std::exchange(restore_, nullptr)();
    }

private:
    std::function<void()> restore_;
};

} // namespace

class TstPlacement : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;
    QString iniPath_;
    int files_ = 0;

    // A settings file as a user would find or edit it.
    void writeIni(const QString &text) {
        QFile f(iniPath_);
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(text.toUtf8());
    }
    QString readIni() {
        QFile f(iniPath_);
        return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
    }
    std::unique_ptr<QSettings> openIni() {
        return std::make_unique<QSettings>(iniPath_, QSettings::IniFormat);
    }

private slots:
    void initTestCase() { QVERIFY(dir_.isValid()); }
    void init() {
        // A new file each time: QSettings caches files by name within the process.
        iniPath_ = dir_.filePath(QStringLiteral("place%1.INI").arg(++files_));
    }

    void restore_data() {
        QTest::addColumn<QString>("ini");
        QTest::addColumn<QSize>("present");
        QTest::addColumn<QSize>("defaults");
        QTest::addColumn<DisplayInfo>("disp");
        QTest::addColumn<QMargins>("frame");
        QTest::addColumn<QRect>("expected"); // the outer rectangle, frame included

        const QSize design(500, 400);
        const QSize main(800, 600);
        const QMargins none;
        // Centred on the present (design) size, then given the default size.
        QTest::newRow("first start")
            << QString() << design << main << display(96) << none << QRect(710, 320, 800, 600);
        QTest::newRow("first start, framed: the outer size is centred")
            << QString() << design << main << display(96) << kFrame << QRect(704, 302, 800, 600);
        // The centred top would put the bottom edge off the screen.
        QTest::newRow("first start at 144 dpi")
            << QString() << design << main << display(144) << none << QRect(710, 140, 1200, 900);
        QTest::newRow("first start, screen below a top panel")
            << QString() << design << main << display(96, 1, QRect(0, 40, 1920, 1000)) << none
            << QRect(710, 340, 800, 600);
        QTest::newRow("stored at 144 reopened at 144")
            << "[General]\nWinLeft=10\nWinTop=20\nWinWidth=800\nWinHeight=600\n"
            << design << main << display(144) << none << QRect(10, 20, 1200, 900);
        QTest::newRow("stored at 144 reopened at 96")
            << "[General]\nWinLeft=10\nWinTop=20\nWinWidth=800\nWinHeight=600\n"
            << design << main << display(96) << none << QRect(10, 20, 800, 600);
        QTest::newRow("framed: the frame is inside the stored rectangle")
            << "[General]\nWinLeft=10\nWinTop=20\nWinWidth=800\nWinHeight=600\n"
            << design << main << display(96) << kFrame << QRect(10, 20, 800, 600);
        QTest::newRow("scaling truncates")
            << "[General]\nWinLeft=0\nWinTop=0\nWinWidth=801\nWinHeight=603\n"
            << design << main << display(120) << none << QRect(0, 0, 1001, 753);
        QTest::newRow("window that does not scale")
            << "[General]\nWinLeft=0\nWinTop=0\nWinWidth=801\nWinHeight=603\n"
            << design << main << display(144, 1, kScreen, false) << none << QRect(0, 0, 801, 603);
        QTest::newRow("one monitor: negative edges become 0")
            << "[General]\nWinLeft=-50\nWinTop=-7\nWinWidth=800\nWinHeight=600\n"
            << design << main << display(96) << none << QRect(0, 0, 800, 600);
        QTest::newRow("one monitor: pulled back from right and bottom")
            << "[General]\nWinLeft=1500\nWinTop=700\nWinWidth=800\nWinHeight=600\n"
            << design << main << display(96) << none << QRect(1120, 440, 800, 600);
        QTest::newRow("one monitor, framed: the frame is pulled back too")
            << "[General]\nWinLeft=1500\nWinTop=700\nWinWidth=800\nWinHeight=600\n"
            << design << main << display(96) << kFrame << QRect(1120, 440, 800, 600);
        QTest::newRow("one monitor: larger than the screen is cut to it")
            << "[General]\nWinLeft=-30\nWinTop=100\nWinWidth=2400\nWinHeight=1200\n"
            << design << main << display(96) << none << QRect(0, 0, 1920, 1040);
        QTest::newRow("one monitor: 5000 x 4000, framed")
            << "[General]\nWinLeft=100\nWinTop=50\nWinWidth=5000\nWinHeight=4000\n"
            << design << main << display(96) << kFrame << QRect(0, 0, 1920, 1040);
        QTest::newRow("one monitor: cut after scaling")
            << "[General]\nWinLeft=0\nWinTop=0\nWinWidth=1400\nWinHeight=600\n"
            << design << main << display(144) << none << QRect(0, 0, 1920, 900);
        QTest::newRow("two monitors: position unchanged")
            << "[General]\nWinLeft=-50\nWinTop=-7\nWinWidth=800\nWinHeight=600\n"
            << design << main << display(96, 2) << none << QRect(-50, -7, 800, 600);
        QTest::newRow("two monitors: beyond the first screen")
            << "[General]\nWinLeft=2500\nWinTop=700\nWinWidth=800\nWinHeight=600\n"
            << design << main << display(96, 2) << none << QRect(2500, 700, 800, 600);
        QTest::newRow("two monitors: 5000 x 4000 cut to the second, where it lands")
            << "[General]\nWinLeft=2000\nWinTop=10\nWinWidth=5000\nWinHeight=4000\n"
            << design << main << display(96, 2) << kFrame << QRect(2000, 10, 1280, 984);
        QTest::newRow("two monitors: 5000 x 4000 cut to the first, where it lands")
            << "[General]\nWinLeft=0\nWinTop=0\nWinWidth=5000\nWinHeight=4000\n"
            << design << main << display(96, 2) << none << QRect(0, 0, 1920, 1040);
        QTest::newRow("two monitors: on none of them, cut to the window's own")
            << "[General]\nWinLeft=-3000\nWinTop=0\nWinWidth=5000\nWinHeight=4000\n"
            << design << main << display(96, 2) << none << QRect(-3000, 0, 1920, 1040);
        QTest::newRow("default size 0 leaves the size alone")
            << "[General]\nWinLeft=5\nWinTop=6\nWinWidth=1000\nWinHeight=700\n"
            << design << QSize(0, -1) << display(144) << none << QRect(5, 6, 500, 400);
        QTest::newRow("default size 0 leaves the size alone, framed")
            << "[General]\nWinLeft=5\nWinTop=6\nWinWidth=1000\nWinHeight=700\n"
            << design << QSize(0, -1) << display(144) << kFrame << QRect(5, 6, 512, 436);
        QTest::newRow("hand-edited sizes fall back to the defaults")
            << "[General]\nWinLeft=5\nWinTop=6\nWinWidth=wide\nWinHeight=0\n"
            << design << main << display(96) << none << QRect(5, 6, 800, 600);
        QTest::newRow("unreadable position is centred")
            << "[General]\nWinLeft=x\nWinTop=\nWinWidth=800\nWinHeight=600\n"
            << design << main << display(96) << none << QRect(710, 320, 800, 600);
    }
    void restore() {
        QFETCH(QString, ini);
        QFETCH(QSize, present);
        QFETCH(QSize, defaults);
        QFETCH(DisplayInfo, disp);
        QFETCH(QMargins, frame);
        QFETCH(QRect, expected);

        if (!ini.isEmpty())
            writeIni(ini);
        auto settings = openIni();
        WindowManager wm(frame);
        QWidget window;
        window.resize(present);
        RestoreWindowPlacement(&window, *settings, defaults.width(), defaults.height(), disp,
                               wm.probe());
        QCOMPARE(window.geometry(), expected.marginsRemoved(frame));
        QCOMPARE(window.windowState(), Qt::WindowNoState);
    }

    void restoreState_data() {
        QTest::addColumn<QString>("value");
        QTest::addColumn<Qt::WindowStates>("expected");
        QTest::newRow("0 normal") << "0" << Qt::WindowStates(Qt::WindowNoState);
        QTest::newRow("1 minimized") << "1" << Qt::WindowStates(Qt::WindowMinimized);
        QTest::newRow("2 maximized") << "2" << Qt::WindowStates(Qt::WindowMaximized);
        QTest::newRow("3 hand-edited") << "3" << Qt::WindowStates(Qt::WindowNoState);
        QTest::newRow("-1 hand-edited") << "-1" << Qt::WindowStates(Qt::WindowNoState);
        QTest::newRow("not a number") << "max" << Qt::WindowStates(Qt::WindowNoState);
    }
    void restoreState() {
        QFETCH(QString, value);
        QFETCH(Qt::WindowStates, expected);
        writeIni("[General]\nWinLeft=10\nWinTop=20\nWinWidth=640\nWinHeight=480\nWinState=" +
                 value + "\n");
        auto settings = openIni();
        QWidget window;
        window.setWindowState(Qt::WindowMaximized); // a stale state is replaced
        RestoreWindowPlacement(&window, *settings, 800, 600, display(96), FrameProbe());
        QCOMPARE(window.windowState(), expected);
        QCOMPARE(NormalFrameRect(&window, FrameProbe()).size(), QSize(640, 480));
    }

    void store_data() {
        QTest::addColumn<QRect>("bounds"); // the client area
        QTest::addColumn<QMargins>("frame");
        QTest::addColumn<DisplayInfo>("disp");
        QTest::addColumn<QString>("expected");
        const QMargins none;
        QTest::newRow("96 dpi") << QRect(100, 120, 800, 600) << none << display(96)
                                << "WinHeight=600 WinLeft=100 WinState=0 WinTop=120 WinWidth=800";
        QTest::newRow("framed: the outer rectangle")
            << QRect(106, 150, 788, 564) << kFrame << display(96)
            << "WinHeight=600 WinLeft=100 WinState=0 WinTop=120 WinWidth=800";
        QTest::newRow("144 dpi") << QRect(100, 120, 1200, 901) << none << display(144)
                                 << "WinHeight=600 WinLeft=100 WinState=0 WinTop=120 WinWidth=800";
        QTest::newRow("negative position stays signed")
            << QRect(-50, -8, 1001, 999) << none << display(120, 2)
            << "WinHeight=799 WinLeft=-50 WinState=0 WinTop=-8 WinWidth=800";
        QTest::newRow("window that does not scale")
            << QRect(3, 4, 1200, 900) << none << display(144, 1, kScreen, false)
            << "WinHeight=900 WinLeft=3 WinState=0 WinTop=4 WinWidth=1200";
    }
    void store() {
        QFETCH(QRect, bounds);
        QFETCH(QMargins, frame);
        QFETCH(DisplayInfo, disp);
        QFETCH(QString, expected);
        {
            WindowManager wm(frame);
            auto settings = openIni();
            QWidget window;
            window.setGeometry(bounds);
            StoreWindowPlacement(&window, *settings, disp, wm.probe());
        }
        // Exactly the five keys, all in [General], all plain integers.
        QStringList lines = readIni().split('\n', Qt::SkipEmptyParts);
        QCOMPARE(lines.value(0), QStringLiteral("[General]"));
        lines.removeFirst();
        lines.sort();
        QCOMPARE(lines.join(' '), expected);
    }

    // What the user sees: closed and reopened a few times, the window comes back where
    // it was, frame included, without creeping; a maximized one keeps its normal bounds.
    void roundTrip_data() {
        QTest::addColumn<int>("frameFrom"); // FrameFrom
        QTest::addColumn<Qt::WindowState>("closedAs");
        QTest::addColumn<int>("storedState");
        const auto rows = [](const char *name, FrameFrom from) {
            const QByteArray n(name);
            QTest::newRow(n + ", normal") << int(from) << Qt::WindowNoState << 0;
            QTest::newRow(n + ", maximized") << int(from) << Qt::WindowMaximized << 2;
            QTest::newRow(n + ", minimized") << int(from) << Qt::WindowMinimized << 0;
        };
        rows("test platform's frame", FrameFrom::Platform);
        rows("title bar known before showing", FrameFrom::BeforeShow);
        rows("title bar known once shown", FrameFrom::AfterShow);
    }
    void roundTrip() {
        QFETCH(int, frameFrom);
        QFETCH(Qt::WindowState, closedAs);
        QFETCH(int, storedState);
        const FrameFrom from = FrameFrom(frameFrom);
        std::unique_ptr<WindowManager> wm;
        if (from != FrameFrom::Platform)
            wm = std::make_unique<WindowManager>(kFrame, kMaximizedFrame);
        const QRect outer(300, 200, 640, 480);
        const DisplayInfo disp = display(96, 2);
        writeIni(QStringLiteral("[General]\nWinLeft=300\nWinTop=200\nWinWidth=640\nWinHeight=480"
                                "\nWinState=%1\n")
                     .arg(storedState));
        for (int reopening = 0; reopening < 3; ++reopening) {
            auto settings = openIni();
            // Restored as the main window restores itself: when it is first shown.
            RestoredOnShow window([&] {
                if (wm)
                    wm->known = from == FrameFrom::BeforeShow;
                RestoreWindowPlacement(&window, *settings, 800, 600, disp, probeOf(wm));
            });
            window.resize(100, 100);
            window.show();
            QVERIFY(QTest::qWaitForWindowExposed(&window));
            if (wm)
                wm->known = true;
            if (storedState == 0) {
                // The frame on the stored rectangle, the client area inside it.
                if (wm)
                    QTRY_COMPARE(window.geometry(), outer.marginsRemoved(kFrame));
                else
                    QTRY_COMPARE(window.frameGeometry(), outer);
                if (closedAs != Qt::WindowNoState) {
                    window.setWindowState(closedAs);
                    QTRY_VERIFY(window.windowState() & closedAs);
                }
            } else {
                QTRY_VERIFY(window.isMaximized());
            }
            settings.reset();
            init(); // store into a new file
            settings = openIni();
            StoreWindowPlacement(&window, *settings, disp, probeOf(wm));
            QCOMPARE(settings->value("WinState").toInt(), storedState);
            QCOMPARE(QRect(settings->value("WinLeft").toInt(), settings->value("WinTop").toInt(),
                           settings->value("WinWidth").toInt(),
                           settings->value("WinHeight").toInt()),
                     outer);
            if (reopening == 2 && closedAs != Qt::WindowNoState) {
                // Back to normal: where it was before it was maximized or minimized.
                window.showNormal();
                QTRY_COMPARE(window.windowState() & ~Qt::WindowActive, Qt::WindowNoState);
                if (wm)
                    QTRY_COMPARE(window.geometry(), outer.marginsRemoved(kFrame));
                else
                    QTRY_COMPARE(window.frameGeometry(), outer);
            }
        }
    }

    // A window stored far larger than the screen still shows its status bar.
    void oversizeKeepsTheStatusBarReachable_data() {
        QTest::addColumn<bool>("framed");
        QTest::newRow("test platform's frame") << false;
        QTest::newRow("title bar") << true;
    }
    void oversizeKeepsTheStatusBarReachable() {
        QFETCH(bool, framed);
        std::unique_ptr<WindowManager> wm;
        if (framed)
            wm = std::make_unique<WindowManager>(kFrame);
        writeIni("[General]\nWinLeft=100\nWinTop=50\nWinWidth=5000\nWinHeight=4000\n");
        auto settings = openIni();
        QMainWindow window;
        window.statusBar()->showMessage(QStringLiteral("状態"));
        RestoreWindowPlacement(&window, *settings, 800, 600, probeOf(wm));
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        const QRect screen = window.screen()->availableGeometry();
        const auto outer = [&] {
            return framed ? window.geometry().marginsAdded(kFrame) : window.frameGeometry();
        };
        QTRY_VERIFY(screen.contains(outer()));
        QCOMPARE(outer(), screen); // cut to the screen, not smaller
        QStatusBar *bar = window.statusBar();
        QVERIFY(bar->isVisible());
        QVERIFY(screen.contains(QRect(bar->mapToGlobal(QPoint(0, 0)), bar->size())));
    }

    // Only this program has a version; another file has no version to read.
    void productVersion() {
        const QString own = FormatProductVersion();
        QVERIFY(own.endsWith(QStringLiteral(".0")));
        QCOMPARE(FormatProductVersion(QCoreApplication::applicationFilePath()), own);
        QCOMPARE(FormatProductVersion(iniPath_), QString());
        QCOMPARE(FormatProductVersion(dir_.filePath("missing.exe")), QString());
    }
};

QTEST_MAIN(TstPlacement)
#include "tst_placement.moc"
