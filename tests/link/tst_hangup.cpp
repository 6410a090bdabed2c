#include "AttrTransfer.h"
#include "LoadAttrModel.h"
#include "RecordingProgress.h"
#include "ScriptedResponder.h"
#include "TransferEnv.h"
#include "UnitLink.h"
#include "UnitSim.h"
#include "Usr_com_std.h"

#include <QElapsedTimer>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

#include <ctime>

using namespace kestrava;
using kestrava::test::RecordingProgress;
using kestrava::test::ScriptedResponder;

namespace {

constexpr int kPort = 4;

double processCpuSeconds() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) / 1e9;
}

// What the link is doing when the line goes away.
enum class Phase { Idle, Query, Command, BlockFetch };

// A unit simulator behind a fixed path (a symbolic link, as a by-id path is) that the
// settings file maps to COM4, and a link opened through that port table.
struct Rig {
    QTemporaryDir dir;
    QString ini = dir.filePath(QStringLiteral("kestrava.INI"));
    QString unitPath = dir.filePath(QStringLiteral("unit"));
    sim::UnitSim unit{[this] {
        sim::UnitSimOptions o;
        o.linkPath = unitPath;
        return o;
    }()};
    ScriptedResponder boxes;
    RecordingProgress progress;
    TUnitLink link{TBoxes(boxes)};
    TransferEnv env{link, progress};

    Rig() {
        QSettings(ini, QSettings::IniFormat).setValue(QStringLiteral("Ports/COM4"), unitPath);
        link.Settings = TLinkSettings(ini);
        link.ComPortNo = kPort;
    }
    ~Rig() { link.ClosePort(); }
};

} // namespace

Q_DECLARE_METATYPE(Phase)

class TestHangUp : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // The unit is unplugged: the port's handle must be closed with nothing left to send (Qt
    // would otherwise retry the unsent bytes for ever and spin a core), the transaction must
    // end as for a silent unit, and a reconnect must open the device again once it is back.
    void hangUpMatrix_data() {
        QTest::addColumn<Phase>("phase");
        QTest::newRow("idle, then the status poll") << Phase::Idle;
        QTest::newRow("during a query") << Phase::Query;
        QTest::newRow("during a command") << Phase::Command;
        QTest::newRow("during a block transfer") << Phase::BlockFetch;
    }
    void hangUpMatrix() {
        QFETCH(Phase, phase);
        Rig r;
        QVERIFY(r.unit.start());
        QVERIFY(r.link.OpenPort());
        QVERIFY(r.link.LinkUp());
        QVERIFY(!r.link.HungUp());

        switch (phase) {
        case Phase::Idle:
            r.unit.setCloseAfter(0);
            QTRY_VERIFY(r.unit.lineClosed());
            // the line's end reaches an idle port through the event loop
            QTRY_VERIFY(r.link.HungUp());
            QVERIFY(r.link.IsIdle());
            QVERIFY(!r.link.PollStatus());
            QVERIFY(r.boxes.boxes().isEmpty());
            break;
        case Phase::Query:
            // the unit takes the request and goes away without answering
            r.unit.setAbsent(true);
            r.unit.setCloseAfter(1);
            QCOMPARE(r.link.QueryCmd(QStringLiteral("Q800\r")), QString());
            QVERIFY(r.boxes.boxes().isEmpty());
            break;
        case Phase::Command:
            r.unit.setAbsent(true);
            r.unit.setCloseAfter(1);
            QVERIFY(!r.link.SendCmd(QStringLiteral("WP\r")));
            QVERIFY(!r.link.Linked);
            QCOMPARE(r.boxes.texts(), QStringList{QStringLiteral("応答がありません")});
            break;
        case Phase::BlockFetch: {
            TLoadAttrModel attrs;
            r.unit.setCloseAfter(10);
            r.unit.clearLog();
            QVERIFY(!FetchLoadAttrs(r.env, attrs));
            QVERIFY(!attrs.LdAtrInSync);
            QCOMPARE(r.boxes.texts(), QStringList{QStringLiteral("取得に失敗しました")});
            QVERIFY(r.unit.requestLog().size() <= 11);
            break;
        }
        }
        QTRY_VERIFY(r.unit.lineClosed());

        QVERIFY(r.link.HungUp());
        QVERIFY(!IsComPortOpen(kPort));
        QCOMPARE(ComOutQueue(kPort), 0);
        QCOMPARE(ComInQueue(kPort), 0);
        QVERIFY(r.link.PortOpen); // until a reconnect tries the port again
        QCOMPARE(r.link.BusyCount, 0);

        // Unplugged: the device path is gone. Nothing may keep the process busy meanwhile.
        r.unit.stop();
        const double cpuBefore = processCpuSeconds();
        QTest::qWait(1000);
        const double cpu = processCpuSeconds() - cpuBefore;
        qInfo("process CPU in 1 s after the hang-up: %.3f s", cpu);
        QVERIFY2(cpu < 0.2, qPrintable(QStringLiteral("%1 s of CPU in 1 s idle").arg(cpu)));

        // A reconnect while the unit is away fails at once and leaves the port invalid.
        r.boxes.clear();
        QElapsedTimer t;
        t.start();
        QVERIFY(!r.link.LinkUp());
        QVERIFY2(t.elapsed() < 500, "a port that does not open is not waited on");
        QVERIFY(!r.link.Linked);
        QVERIFY(!r.link.PortOpen);
        QVERIFY(!r.link.OpenError().isEmpty());
        QVERIFY(r.boxes.boxes().isEmpty());

        // Plugged back in: the same path serves again and the next reconnect links.
        r.unit.clearFaults();
        QVERIFY(r.unit.start());
        r.unit.clearLog();
        QVERIFY(r.link.LinkUp());
        QVERIFY(r.link.Linked);
        QVERIFY(r.link.PortOpen);
        QVERIFY(!r.link.HungUp());
        const std::optional<TDmxLines> lines = r.link.PollStatus();
        QVERIFY(lines && lines->lineA && lines->lineB);
        QCOMPARE(r.unit.requestLog(), (QStringList{"", "R001", "Q800", "Q802"}));
    }

    // A reconnect on a port that never opened tries it again first.
    void linkUpOpensAPortThatWasNotOpen() {
        Rig r;
        QVERIFY(!r.link.OpenPort()); // the unit is not there yet
        QVERIFY(r.unit.start());
        QVERIFY(r.link.LinkUp());
        QVERIFY(r.link.PortOpen);
        QVERIFY(r.link.Linked);
    }

    void changePort_data() {
        QTest::addColumn<bool>("linked");
        QTest::addColumn<bool>("newPortThere");
        QTest::newRow("linked: remote mode off on the old port") << true << true;
        QTest::newRow("not linked: the old unit hears nothing") << false << true;
        QTest::newRow("a new port that does not open") << true << false;
    }
    void changePort() {
        QFETCH(bool, linked);
        QFETCH(bool, newPortThere);
        Rig r;
        sim::UnitSim other;
        QVERIFY(r.unit.start() && other.start());
        QSettings(r.ini, QSettings::IniFormat)
            .setValue(QStringLiteral("Ports/COM5"),
                      newPortThere ? other.devicePath() : r.dir.filePath(QStringLiteral("none")));
        QVERIFY(r.link.OpenPort());
        if (linked)
            QVERIFY(r.link.LinkUp());
        r.unit.clearLog();

        QElapsedTimer t;
        t.start();
        QCOMPARE(r.link.ChangePort(5), newPortThere);
        QVERIFY(t.elapsed() >= 90); // the new port's settling time
        QCOMPARE(r.link.ComPortNo, 5);
        QCOMPARE(r.link.PortOpen, newPortThere);
        QCOMPARE(r.link.OpenError().isEmpty(), newPortThere);
        QCOMPARE(r.unit.requestLog(), linked ? QStringList{"R000"} : QStringList{});
        QVERIFY(!r.unit.remote());
        QVERIFY(!IsComPortOpen(kPort));
        QVERIFY(other.requestLog().isEmpty()); // linking on the new port is the reconnect's
        QVERIFY(r.boxes.boxes().isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestHangUp)
#include "tst_hangup.moc"
