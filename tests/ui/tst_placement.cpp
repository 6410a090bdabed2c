#include "Usr_env.h"

#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <QWidget>
#include <QtTest>

#include <memory>

using namespace kestrava;

Q_DECLARE_METATYPE(kestrava::DisplayInfo)

namespace {

DisplayInfo display(int ppi, int monitors = 1, QRect screen = QRect(0, 0, 1920, 1040),
                    bool scales = true) {
    DisplayInfo d;
    d.screen = screen;
    d.monitors = monitors;
    d.ppi = ppi;
    d.scales = scales;
    return d;
}

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
        QTest::addColumn<QRect>("expected");

        const QSize design(500, 400);
        const QSize main(800, 600);
        // Centred on the present (design) size, then given the default size.
        QTest::newRow("first start")
            << QString() << design << main << display(96) << QRect(710, 320, 800, 600);
        // The centred top would put the bottom edge off the screen.
        QTest::newRow("first start at 144 dpi")
            << QString() << design << main << display(144) << QRect(710, 140, 1200, 900);
        QTest::newRow("first start, screen below a top panel")
            << QString() << design << main << display(96, 1, QRect(0, 40, 1920, 1000))
            << QRect(710, 340, 800, 600);
        QTest::newRow("stored at 144 reopened at 144")
            << "[General]\nWinLeft=10\nWinTop=20\nWinWidth=800\nWinHeight=600\n"
            << design << main << display(144) << QRect(10, 20, 1200, 900);
        QTest::newRow("stored at 144 reopened at 96")
            << "[General]\nWinLeft=10\nWinTop=20\nWinWidth=800\nWinHeight=600\n"
            << design << main << display(96) << QRect(10, 20, 800, 600);
        QTest::newRow("scaling truncates")
            << "[General]\nWinLeft=0\nWinTop=0\nWinWidth=801\nWinHeight=603\n"
            << design << main << display(120) << QRect(0, 0, 1001, 753);
        QTest::newRow("window that does not scale")
            << "[General]\nWinLeft=0\nWinTop=0\nWinWidth=801\nWinHeight=603\n"
            << design << main << display(144, 1, QRect(0, 0, 1920, 1040), false)
            << QRect(0, 0, 801, 603);
        QTest::newRow("one monitor: negative edges become 0")
            << "[General]\nWinLeft=-50\nWinTop=-7\nWinWidth=800\nWinHeight=600\n"
            << design << main << display(96) << QRect(0, 0, 800, 600);
        QTest::newRow("one monitor: pulled back from right and bottom")
            << "[General]\nWinLeft=1500\nWinTop=700\nWinWidth=800\nWinHeight=600\n"
            << design << main << display(96) << QRect(1120, 440, 800, 600);
        QTest::newRow("one monitor: larger than the screen keeps its top-left on it")
            << "[General]\nWinLeft=-30\nWinTop=100\nWinWidth=2400\nWinHeight=1200\n"
            << design << main << display(96) << QRect(0, 0, 2400, 1200);
        QTest::newRow("two monitors: position unchanged")
            << "[General]\nWinLeft=-50\nWinTop=-7\nWinWidth=800\nWinHeight=600\n"
            << design << main << display(96, 2) << QRect(-50, -7, 800, 600);
        QTest::newRow("two monitors: beyond the first screen")
            << "[General]\nWinLeft=2500\nWinTop=700\nWinWidth=800\nWinHeight=600\n"
            << design << main << display(96, 2) << QRect(2500, 700, 800, 600);
        QTest::newRow("default size 0 leaves the size alone")
            << "[General]\nWinLeft=5\nWinTop=6\nWinWidth=1000\nWinHeight=700\n"
            << design << QSize(0, -1) << display(144) << QRect(5, 6, 500, 400);
        QTest::newRow("hand-edited sizes fall back to the defaults")
            << "[General]\nWinLeft=5\nWinTop=6\nWinWidth=wide\nWinHeight=0\n"
            << design << main << display(96) << QRect(5, 6, 800, 600);
        QTest::newRow("unreadable position is centred")
            << "[General]\nWinLeft=x\nWinTop=\nWinWidth=800\nWinHeight=600\n"
            << design << main << display(96) << QRect(710, 320, 800, 600);
    }
    void restore() {
        QFETCH(QString, ini);
        QFETCH(QSize, present);
        QFETCH(QSize, defaults);
        QFETCH(DisplayInfo, disp);
        QFETCH(QRect, expected);

        if (!ini.isEmpty())
            writeIni(ini);
        auto settings = openIni();
        QWidget window;
        window.resize(present);
        RestoreWindowPlacement(&window, *settings, defaults.width(), defaults.height(), disp);
        QCOMPARE(QRect(window.pos(), window.size()), expected);
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
        RestoreWindowPlacement(&window, *settings, 800, 600, display(96));
        QCOMPARE(window.windowState(), expected);
        QCOMPARE(window.normalGeometry().size(), QSize(640, 480));
    }

    void store_data() {
        QTest::addColumn<QRect>("bounds");
        QTest::addColumn<DisplayInfo>("disp");
        QTest::addColumn<QString>("expected");
        QTest::newRow("96 dpi") << QRect(100, 120, 800, 600) << display(96)
                                << "WinHeight=600 WinLeft=100 WinState=0 WinTop=120 WinWidth=800";
        QTest::newRow("144 dpi") << QRect(100, 120, 1200, 901) << display(144)
                                 << "WinHeight=600 WinLeft=100 WinState=0 WinTop=120 WinWidth=800";
        QTest::newRow("negative position stays signed")
            << QRect(-50, -8, 1001, 999) << display(120, 2)
            << "WinHeight=799 WinLeft=-50 WinState=0 WinTop=-8 WinWidth=800";
        QTest::newRow("window that does not scale")
            << QRect(3, 4, 1200, 900) << display(144, 1, QRect(0, 0, 1920, 1040), false)
            << "WinHeight=900 WinLeft=3 WinState=0 WinTop=4 WinWidth=1200";
    }
    void store() {
        QFETCH(QRect, bounds);
        QFETCH(DisplayInfo, disp);
        QFETCH(QString, expected);
        {
            auto settings = openIni();
            QWidget window;
            window.move(bounds.topLeft());
            window.resize(bounds.size());
            StoreWindowPlacement(&window, *settings, disp);
        }
        // Exactly the five keys, all in [General], all plain integers.
        QStringList lines = readIni().split('\n', Qt::SkipEmptyParts);
        QCOMPARE(lines.value(0), QStringLiteral("[General]"));
        lines.removeFirst();
        lines.sort();
        QCOMPARE(lines.join(' '), expected);
    }

    // What the user sees: the window comes back where it was, frame included.
    void roundTripShown_data() {
        QTest::addColumn<Qt::WindowState>("closedAs");
        QTest::addColumn<int>("storedState");
        QTest::addColumn<Qt::WindowStates>("reopensAs");
        QTest::newRow("normal") << Qt::WindowNoState << 0 << Qt::WindowStates(Qt::WindowNoState);
        QTest::newRow("maximized")
            << Qt::WindowMaximized << 2 << Qt::WindowStates(Qt::WindowMaximized);
        QTest::newRow("minimized")
            << Qt::WindowMinimized << 0 << Qt::WindowStates(Qt::WindowNoState);
    }
    void roundTripShown() {
        QFETCH(Qt::WindowState, closedAs);
        QFETCH(int, storedState);
        QFETCH(Qt::WindowStates, reopensAs);
        const DisplayInfo disp = display(96, 2);
        const QPoint pos(60, 70);
        const QSize size(420, 310);
        {
            QWidget window;
            window.move(pos);
            window.resize(size);
            window.show();
            QVERIFY(QTest::qWaitForWindowExposed(&window));
            window.setWindowState(closedAs);
            QTRY_COMPARE(window.windowState() & closedAs, Qt::WindowStates(closedAs));
            if (closedAs == Qt::WindowMaximized)
                QTRY_VERIFY(window.size() != size);
            auto settings = openIni();
            StoreWindowPlacement(&window, *settings, disp);
        }
        auto settings = openIni();
        QCOMPARE(settings->value("WinState").toInt(), storedState);

        QWidget window;
        window.resize(100, 100);
        RestoreWindowPlacement(&window, *settings, 800, 600, disp);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QCOMPARE(window.windowState() & ~Qt::WindowActive, reopensAs);
        if (reopensAs != Qt::WindowNoState) {
            window.showNormal();
            QTRY_COMPARE(window.windowState() & ~Qt::WindowActive, Qt::WindowNoState);
        }
        QTRY_COMPARE(window.size(), size);
        QTRY_COMPARE(window.pos(), pos);
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
