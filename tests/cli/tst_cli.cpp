#include "../model/DataFileFixtures.h"
#include "CliOptions.h"
#include "CliRun.h"
#include "DataFileKind.h"
#include "TerminalProgress.h"
#include "TextLines.h"
#include "UnitSim.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <fcntl.h>
#include <grp.h>
#include <sys/ioctl.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace kestrava;
using namespace kestrava::cli;
using namespace kestrava::cli::test;

namespace {

// A unit memory that tells every patch, output, attribute and curve apart.
sim::UnitMemory distinctMemory() {
    sim::UnitMemory m = sim::UnitMemory::factoryDefault();
    for (int p = 0; p < 8; ++p)
        for (int o = 0; o < 1024; ++o)
            m.patches[p][o] = (o + p) % 5 == 0   ? 0xFFF
                              : (o + p) % 7 == 0 ? 0x8FF
                                                 : (o * 3 + p) % 1024;
    for (int o = 0; o < 1024; ++o)
        m.attributes[o] = o % 6 < 4 ? o % 6 : 0x7C + o % 6; // 0..3, 080, 081
    for (int c = 0; c < 4; ++c) {
        for (int i = 0; i < 256; ++i)
            m.curveTables[c][i] = (i * (c + 1)) % 256;
        m.pointBlocks[c].fill(0);
        m.pointBlocks[c][0] = c % 3;
        m.pointBlocks[c][1] = 10 + c;
        m.pointBlocks[c][2] = 100 + c;
    }
    return m;
}

PatchEntry entryOf(int code) {
    if (code == 0xFFF)
        return pvNone;
    if (code >= 0x800 && code <= 0x8FF)
        return pvFull;
    return code;
}

constexpr uid_t kNobody = 65534;

// A process of user nobody that holds the device in exclusive mode until it is killed.
pid_t holdExclusively(const QString &device) {
    int ready[2];
    if (::pipe(ready) != 0)
        return -1;
    const QByteArray path = QFile::encodeName(device);
    const pid_t pid = ::fork();
    if (pid == 0) {
        // Dumpable again after the change of user, so that nobody may look at its /proc entry.
        if (::setgid(kNobody) != 0 || ::setuid(kNobody) != 0 || ::prctl(PR_SET_DUMPABLE, 1) != 0)
            ::_exit(1);
        const int fd = ::open(path.constData(), O_RDWR | O_NOCTTY);
        if (fd < 0 || ::ioctl(fd, TIOCEXCL) != 0)
            ::_exit(1);
        [[maybe_unused]] const auto n = ::write(ready[1], "x", 1);
        for (;;)
            ::pause();
    }
    ::close(ready[1]);
    char c = 0;
    const bool held = pid > 0 && ::read(ready[0], &c, 1) == 1;
    ::close(ready[0]);
    if (pid > 0 && !held)
        ::waitpid(pid, nullptr, 0);
    return held ? pid : -1;
}

} // namespace

class TestCli : public QObject, CliFolder {
    Q_OBJECT

private Q_SLOTS:
    void info() {
        sim::UnitSimOptions o = OnPatch(3);
        o.firmware = 0xA5;
        o.status = 0x010;
        sim::UnitSim unit(o);
        QVERIFY(unit.start());
        const CliRun r = cli({"--port", unit.devicePath(), "info"});
        QCOMPARE(r.status, 0);
        QCOMPARE(r.out, QByteArray("firmware=1.65\npatch=4\ndmx_a=0\ndmx_b=1\n"));
        QVERIFY(r.err.isEmpty());
        QCOMPARE(unit.requestLog(), (QStringList{"", "R001", "Q800", "Q801", "Q802", "R000"}));
        QVERIFY(!unit.remote());
    }

    void infoByComNumber() {
        sim::UnitSim unit;
        QVERIFY(unit.start());
        {
            QSettings ini(path("kestrava.INI"), QSettings::IniFormat);
            ini.setValue("Ports/COM9", unit.devicePath());
            ini.setValue("Serial/ComPort", 9);
        }
        CliRun r = cli({"info"});
        QCOMPARE(r.status, 0);
        QVERIFY(r.out.startsWith("firmware=1.00\npatch=1\n"));
        r = cli({"--port", "9", "info"});
        QCOMPARE(r.status, 0);
        r = cli({"--port", "8", "info"});
        QCOMPARE(r.status, 1);
        QVERIFY2(r.err.contains(QStringLiteral("COM8:無効")), qPrintable(r.err));
        QFile::remove(path("kestrava.INI"));
    }

    void silentUnit() {
        sim::UnitSim unit;
        QVERIFY(unit.start());
        unit.setAbsent(true);
        const CliRun r = cli({"--port", unit.devicePath(), "info"});
        QCOMPARE(r.status, 1);
        QVERIFY(r.out.isEmpty());
        QVERIFY2(r.err.contains(QStringLiteral("応答がありません")), qPrintable(r.err));
        QCOMPARE(r.err.count(QStringLiteral("応答がありません")), 1);
        QVERIFY2(r.ms < 1500, qPrintable(QString::number(r.ms)));
    }

    // The tool speaks the editor's language, chosen by the same settings file.
    void messagesInTheChosenLanguage_data() {
        QTest::addColumn<QString>("language");
        QTest::addColumn<bool>("unitThere"); // false: a port with no device
        QTest::addColumn<QString>("message");
        QTest::newRow("ja, no device")
            << "ja" << false << "COM8:無効 (COM8 に割り当てられた装置がありません)";
        QTest::newRow("en, no device")
            << "en" << false << "COM8:Unavailable (No device is assigned to COM8)";
        QTest::newRow("en, silent unit") << "en" << true << "Error: No response from the unit";
    }
    void messagesInTheChosenLanguage() {
        QFETCH(QString, language);
        QFETCH(bool, unitThere);
        QFETCH(QString, message);
        sim::UnitSim unit;
        QVERIFY(unit.start());
        unit.setAbsent(true);
        {
            QSettings ini(path("kestrava.INI"), QSettings::IniFormat);
            ini.setValue("Language", language);
        }
        const CliRun r =
            cli({"--port", unitThere ? unit.devicePath() : QStringLiteral("8"), "info"});
        QFile::remove(path("kestrava.INI"));
        QCOMPARE(r.status, 1);
        QVERIFY2(r.err.contains(message), qPrintable(r.err));
    }

    void portsNameTheSimulatedUnit() {
        sim::UnitSimOptions o;
        o.linkPath = path("unit");
        sim::UnitSim unit(o);
        QVERIFY(unit.start());
        {
            QSettings ini(path("kestrava.INI"), QSettings::IniFormat);
            ini.setValue("Ports/COM9", o.linkPath);
            ini.setValue("Ports/COM3", "/dev/kestrava-gone");
        }
        const CliRun r = cli({"ports"});
        QCOMPARE(r.status, 0);
        const QString pts = unit.devicePath().mid(5); // without /dev/
        for (const QString &line : {QStringLiteral("9: %1 (%2)").arg(o.linkPath, pts),
                                    QStringLiteral("COM9=%1 present").arg(o.linkPath),
                                    QStringLiteral("COM3=/dev/kestrava-gone absent")})
            QVERIFY2(r.lines().contains(line), r.out.constData());
        QVERIFY(unit.requestLog().isEmpty()); // nothing was sent to it
    }

    // Made real as user nobody: a device of group dialout, mode 0660, and one another process
    // holds in exclusive mode (root would ignore that mode).
    void portTroubleSaysHowToFixIt_data() {
        QTest::addColumn<bool>("held");
        QTest::addColumn<QStringList>("says");
        QTest::newRow("not in the group")
            << false << QStringList{"アクセス権がありません", "sudo usermod -aG dialout nobody"};
        QTest::newRow("held by another program") << true << QStringList{"使用中", "tst_cli"};
    }
    void portTroubleSaysHowToFixIt() {
        QFETCH(bool, held);
        QFETCH(QStringList, says);
        if (::geteuid() != 0)
            QSKIP("needs root to give a device away and to run as nobody");
        const group *dialout = ::getgrnam("dialout");
        QVERIFY(dialout);
        sim::UnitSim unit;
        QVERIFY(unit.start());
        const QString device = unit.devicePath();
        const QByteArray node = QFile::encodeName(device);
        QCOMPARE(::chown(node.constData(), held ? kNobody : 0, dialout->gr_gid), 0);
        QCOMPARE(::chmod(node.constData(), 0660), 0);
        QVERIFY(QFile::setPermissions(dir_.path(), QFile::permissions(dir_.path()) |
                                                       QFile::ReadOther | QFile::ExeOther));
        const pid_t holder = held ? holdExclusively(device) : 0;
        QVERIFY(holder >= 0);
        const CliRun r = cli({"--port", device, "info"},
                             {"setpriv", "--reuid=nobody", "--regid=nogroup", "--clear-groups"});
        if (holder > 0) {
            ::kill(holder, SIGKILL);
            ::waitpid(holder, nullptr, 0);
            says << QString::number(holder);
        }
        QCOMPARE(r.status, 1);
        for (const QString &part : says)
            QVERIFY2(r.err.contains(part), qPrintable(r.err));
    }

    void usage_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("status");
        QTest::newRow("no command") << QStringList{} << 2;
        QTest::newRow("unknown command") << QStringList{"erase"} << 2;
        QTest::newRow("unknown option") << QStringList{"--fast", "info"} << 2;
        QTest::newRow("port without value") << QStringList{"info", "--port"} << 2;
        QTest::newRow("info with a file") << QStringList{"info", "x.dat"} << 2;
        QTest::newRow("ports with a file") << QStringList{"ports", "x.dat"} << 2;
        QTest::newRow("backup without file") << QStringList{"backup"} << 2;
        QTest::newRow("backup unknown kind")
            << QStringList{"--port", "/dev/null", "backup", "x.txt"} << 2;
        QTest::newRow("check unknown kind") << QStringList{"check", "x"} << 2;
        QTest::newRow("help") << QStringList{"--help"} << 0;
        QTest::newRow("port 17") << QStringList{"--port", "17", "info"} << 1;
        QTest::newRow("port 0") << QStringList{"--port", "0", "info"} << 1;
        QTest::newRow("port=17") << QStringList{"--port=17", "info"} << 1;
        QTest::newRow("check upper-case kind") << QStringList{"check", "missing.DAT"} << 1;
        QTest::newRow("missing device") << QStringList{"--port", "/dev/kestrava-none", "info"} << 1;
    }
    void usage() {
        QFETCH(QStringList, args);
        QFETCH(int, status);
        const CliRun r = cli(args);
        QCOMPARE(r.status, status);
        if (status == 0)
            QVERIFY(r.out.contains("Usage: kestrava-cli"));
        else
            QVERIFY(!r.err.isEmpty());
    }

    // A backup that stops in the middle of the patch walk puts the unit back on the patch
    // it was on (its live output), ends remote mode and writes no file.
    void backupStoppedPartWay_data() {
        QTest::addColumn<QString>("fileName");
        QTest::addColumn<QString>("refused");
        QTest::newRow("all data, patch 4 not selected") << "b.dat"
                                                        << "P003";
        QTest::newRow("all patches, patch 2 not selected") << "b.pat"
                                                           << "P001";
    }
    void backupStoppedPartWay() {
        QFETCH(QString, fileName);
        QFETCH(QString, refused);
        sim::UnitSim unit(OnPatch(5));
        QVERIFY(unit.start());
        unit.setRefused({refused});
        const QString file = path(fileName);
        const CliRun r = cli({"--port", unit.devicePath(), "backup", file});
        QCOMPARE(r.status, 1);
        QVERIFY2(r.err.contains(QStringLiteral("取得に失敗しました")), qPrintable(r.err));
        QCOMPARE(unit.currentPatch(), 5);
        QCOMPARE(unit.remoteMode(), 0);
        QVERIFY(!QFile::exists(file));
    }

    void backupReadsBackAsTheUnitsData() {
        sim::UnitSim unit(OnPatch(5));
        QVERIFY(unit.start());
        const sim::UnitMemory mem = distinctMemory();
        unit.setMemory(mem);
        const QString file = path("backup.dat");
        const CliRun r = cli({"--port", unit.devicePath(), "backup", file});
        QCOMPARE(r.status, 0);
        QVERIFY2(r.err.isEmpty(), qPrintable(r.err)); // no bar when stderr is not a terminal
        QStringList lines;
        QVERIFY(LoadTextLines(file, lines));
        QCOMPARE(lines.size(), 661);
        struct {
            TPatchModel patches;
            TLoadAttrModel attrs;
            TCurveSet curves;
        } d;
        QVERIFY(ReadDataFile(FileKind::AllData, file, d.patches, d.attrs, d.curves).ok);
        for (int p = 0; p < 8; ++p)
            for (int o2 = 0; o2 < 1024; ++o2)
                QCOMPARE(d.patches.Patches[p][o2], entryOf(mem.patches[p][o2]));
        for (int o2 = 0; o2 < 1024; ++o2)
            QCOMPARE(d.attrs.LoadAttrs[o2], mem.attributes[o2]);
        for (int c = 0; c < 4; ++c) {
            for (int i = 0; i < 256; ++i)
                QCOMPARE(d.curves.Curves[c].Table[i], mem.curveTables[c][i]);
            QCOMPARE(d.curves.Curves[c].Mode, mem.pointBlocks[c][0]);
            QCOMPARE(d.curves.Curves[c].Points.Count(), 4);
            QCOMPARE(d.curves.Curves[c].Points[1].X, 10 + c);
        }
        const QStringList log = unit.requestLog();
        QCOMPARE(log.last(), QStringLiteral("R000"));
        QCOMPARE(unit.currentPatch(), 5); // back on the patch it was on
        for (const QString &req : log)
            QVERIFY2(!req.startsWith(u'S') && !req.startsWith(u'W') && req != "C" && req != "T",
                     qPrintable(req)); // nothing written to the unit

        // a restore to a blank unit, backed up again, gives the same bytes
        sim::UnitSim blank;
        QVERIFY(blank.start());
        QCOMPARE(cli({"--port", blank.devicePath(), "restore", file}).status, 0);
        QCOMPARE(blank.storedMemory().patches, mem.patches);
        QCOMPARE(blank.storedMemory().attributes, mem.attributes);
        QCOMPARE(blank.storedMemory().curveTables, mem.curveTables);
        QCOMPARE(blank.storedMemory().pointBlocks, mem.pointBlocks);
        QCOMPARE(cli({"--port", blank.devicePath(), "backup", path("again.dat")}).status, 0);
        QFile a(file), b(path("again.dat"));
        QVERIFY(a.open(QIODevice::ReadOnly) && b.open(QIODevice::ReadOnly));
        QCOMPARE(b.readAll(), a.readAll());
    }

    void eachKindRoundTrips_data() {
        QTest::addColumn<QString>("fileExt"); // as typed
        for (const char *e : {"pat", "pt1", "atr", "crv", "PT1"})
            QTest::newRow(e) << QString::fromLatin1(e);
    }
    void eachKindRoundTrips() {
        QFETCH(QString, fileExt);
        const QString ext = fileExt.toLower();
        sim::UnitSim source(OnPatch(2));
        QVERIFY(source.start());
        const sim::UnitMemory mem = distinctMemory();
        source.setMemory(mem);
        const QString file = path("kind." + fileExt);
        QCOMPARE(cli({"--port", source.devicePath(), "backup", file}).status, 0);
        QCOMPARE(cli({"check", file}).status, 0);

        sim::UnitSimOptions o2;
        o2.currentPatch = 6;
        sim::UnitSim target(o2);
        QVERIFY(target.start());
        const CliRun r = cli({"--port", target.devicePath(), "restore", file});
        QCOMPARE(r.status, 0);
        const sim::UnitMemory got = target.storedMemory();
        const sim::UnitMemory blank = sim::UnitMemory::factoryDefault();
        if (ext == "pat") {
            QCOMPARE(got.patches, mem.patches);
            QCOMPARE(target.requestLog().value(4),
                     QStringLiteral("R002")); // after the link-up and Q801
        } else if (ext == "pt1") {
            // the unit's current patch 3 went into the target's current patch 7
            QCOMPARE(got.patches[6], mem.patches[2]);
            QCOMPARE(got.patches[2], blank.patches[2]);
            QVERIFY(!target.requestLog().join(',').contains(QStringLiteral("P00")));
        } else if (ext == "atr") {
            QCOMPARE(got.attributes, mem.attributes);
            QCOMPARE(got.patches, blank.patches);
        } else {
            QCOMPARE(got.curveTables, mem.curveTables);
            QCOMPARE(got.pointBlocks, mem.pointBlocks);
            QCOMPARE(got.attributes, blank.attributes);
        }
        QCOMPARE(target.currentPatch(), 6);
        QCOMPARE(target.requestLog().last(), QStringLiteral("R000"));
    }

    void brokenFileSendsNothing() {
        const QString file = path("broken.dat");
        QStringList lines{"[Patch1]"};
        for (int k = 0; k < 64; ++k)
            lines << QStringLiteral(
                "0001,0002,0003,0004,0005,0006,0007,0008,0009,0010,0011,0012,0013,0014,0015,0016");
        lines[10] = QStringLiteral("0001,0002");
        QVERIFY(SaveTextLines(file, lines));
        sim::UnitSim unit;
        QVERIFY(unit.start());
        const CliRun r = cli({"--port", unit.devicePath(), "restore", file});
        QCOMPARE(r.status, 1);
        QVERIFY2(r.err.contains(QStringLiteral("ファイルの読込に失敗しました")), qPrintable(r.err));
        QVERIFY2(r.err.contains(QStringLiteral("line 11")), qPrintable(r.err));
        QTest::qWait(50);
        QVERIFY(unit.requestLog().isEmpty());

        const CliRun c = cli({"check", file});
        QCOMPARE(c.status, 1);
        QVERIFY2(c.err.contains(QStringLiteral("line 11")), qPrintable(c.err));
        QVERIFY(cli({"check", path("missing.atr")}).status == 1);
    }

    // "--port=9" and "--settings=FILE" read exactly as "--port 9" and "--settings FILE".
    void equalsForms_data() {
        QTest::addColumn<QStringList>("joined");
        QTest::addColumn<QStringList>("separate");
        QTest::newRow("port number")
            << QStringList{"--port=9", "info"} << QStringList{"--port", "9", "info"};
        QTest::newRow("port path") << QStringList{"backup", "--port=/dev/ttyUSB0", "a.dat"}
                                   << QStringList{"backup", "--port", "/dev/ttyUSB0", "a.dat"};
        QTest::newRow("settings file")
            << QStringList{"--settings=/tmp/k=1.INI", "--quiet", "check", "x.crv"}
            << QStringList{"--settings", "/tmp/k=1.INI", "--quiet", "check", "x.crv"};
        QTest::newRow("empty value")
            << QStringList{"--port=", "info"} << QStringList{"--port", "", "info"};
    }
    void equalsForms() {
        QFETCH(QStringList, joined);
        QFETCH(QStringList, separate);
        const CliOptions a = ParseCliOptions(QStringList{"kestrava-cli"} + joined);
        const CliOptions b = ParseCliOptions(QStringList{"kestrava-cli"} + separate);
        QVERIFY2(a.error.isEmpty(), qPrintable(a.error));
        QCOMPARE(a.port, b.port);
        QCOMPARE(a.settingsFile, b.settingsFile);
        QCOMPARE(a.quiet, b.quiet);
        QCOMPARE(a.command, b.command);
        QCOMPARE(a.args, b.args);
        QCOMPARE(a.error, b.error);
    }

    void terminalBar() {
        std::FILE *f = std::tmpfile();
        QVERIFY(f);
        {
            TerminalProgress bar(f);
            bar.Start(QStringLiteral("全パッチデータ転送中"));
            bar.SetFraction(0.5);
            bar.SetFraction(0.501); // the same position draws nothing new
            bar.SetFraction(511.0 / 512);
            bar.Finish(QString());
        }
        std::rewind(f);
        QByteArray out(4096, '\0');
        out.truncate(qsizetype(std::fread(out.data(), 1, size_t(out.size()), f)));
        std::fclose(f);
        const QStringList frames = QString::fromUtf8(out).split(u'\r', Qt::SkipEmptyParts);
        QCOMPARE(frames.size(), 4); // 0, 50, 99 and the full bar at the end
        QVERIFY(frames[0].startsWith(QStringLiteral("全パッチデータ転送中 [")));
        QVERIFY(frames[0].endsWith(QStringLiteral("]   0%")));
        QVERIFY(frames[1].contains(QStringLiteral("###############...............]  50%")));
        QVERIFY(frames[2].endsWith(QStringLiteral("]  99%")));
        QCOMPARE(frames[3],
                 QStringLiteral("全パッチデータ転送中 [") + QString(30, u'#') + "] 100%\n");
    }

    // What a file leaves out is the unit's own, fetched first: a restore never writes blanks.
    void restoreKeepsWhatTheFileLeavesOut_data() {
        QTest::addColumn<QString>("ext");
        QTest::addColumn<QString>("contents"); // the parts of the file, as fileOf takes them
        QTest::addColumn<QString>("kept");     // what the snapshot holds of the unit before
        const QString all8 = "P1 P2 P3 P4 P5 P6 P7 P8";
        QTest::newRow("all patches, patch 2 only") << "pat"
                                                   << "P2:10" << all8;
        QTest::newRow("one patch, ten lines") << "pt1"
                                              << "P*:10"
                                              << "P3";
        QTest::newRow("all data, curve 3 only") << "dat"
                                                << "C3" << all8 + " A C";
        QTest::newRow("curves, curve 3 only") << "crv"
                                              << "C3"
                                              << "C";
        QTest::newRow("attributes, half") << "atr"
                                          << "A:32"
                                          << "A";
        QTest::newRow("attributes, none") << "atr"
                                          << "P1:64"
                                          << "";
        QTest::newRow("all data, empty") << "dat"
                                         << ""
                                         << "";
    }
    void restoreKeepsWhatTheFileLeavesOut() {
        QFETCH(QString, ext);
        QFETCH(QString, contents);
        QFETCH(QString, kept);
        QDir(path("history")).removeRecursively();
        const QString file = path(QStringLiteral("part.") + ext);
        QVERIFY(SaveTextLines(file, kestrava::test::fileOf(contents)));
        sim::UnitSim unit(OnPatch(2));
        QVERIFY(unit.start());
        unit.setMemory(distinctMemory());
        const CliRun r = cli({"--port", unit.devicePath(), "restore", file});
        const bool refused = contents.isEmpty() || (ext == "atr" && !contents.startsWith(u'A'));
        QCOMPARE(r.status, refused ? 1 : 0);
        QCOMPARE(r.err.contains("ファイルの読込に失敗しました"), refused);
        QCOMPARE(r.err.contains("no section of this kind of file"), refused);
        // check takes a file exactly when restore does, and refuses it in restore's words
        const CliRun c = cli({"check", file});
        QCOMPARE(c.status, r.status);
        QCOMPARE(c.err, refused ? r.err : QString());
        QVERIFY(
            unit.memory() ==
            (refused ? distinctMemory() : kestrava::test::withFile(distinctMemory(), contents, 2)));
        const QStringList restores = cli({"history"}).lines().filter("\tRestore\t");
        QCOMPARE(restores.size(), kept.isEmpty() ? 0 : 1);
        QVERIFY(kept.isEmpty() || kestrava::test::holdsUnitParts(restores[0].section(u'\t', 4),
                                                                 distinctMemory(), kept));
    }

    // A new snapshot prunes the history: the newest Keep stay, and those younger than Days.
    void historyKeepsTheNewestOrTheRecent_data() {
        QTest::addColumn<int>("keep");
        QTest::addColumn<int>("days");
        QTest::addColumn<int>("left"); // of the new one and three older
        QTest::newRow("keep 1, 30 days") << 1 << 30 << 2;
        QTest::newRow("keep 3, no days") << 3 << 0 << 3;
        QTest::newRow("keep 200, 90 days") << 200 << 90 << 4;
    }
    void historyKeepsTheNewestOrTheRecent() {
        QFETCH(int, keep);
        QFETCH(int, days);
        QFETCH(int, left);
        QSettings(path("kestrava.INI"), QSettings::IniFormat).setValue("History/Keep", keep);
        QSettings(path("kestrava.INI"), QSettings::IniFormat).setValue("History/Days", days);
        QDir(path("history")).removeRecursively();
        QDir().mkpath(path("history"));
        const QString recent = QDateTime::currentDateTime().addDays(-1).toString("yyyyMMdd-HHmmss");
        for (const QString &stamp :
             {QString("20200101-000000"), QString("20200102-000000"), recent})
            QVERIFY(SaveTextLines(path("history/" + stamp + "_Restore_1.00.dat"), {}));
        QVERIFY(SaveTextLines(path("history/notes.dat"), {}));
        sim::UnitSim unit;
        QVERIFY(unit.start());
        const QString file = path("half.atr");
        QVERIFY(SaveTextLines(file, kestrava::test::fileOf("A:32")));
        QCOMPARE(cli({"--port", unit.devicePath(), "restore", file}).status, 0);
        QCOMPARE(cli({"history"}).lines().size(), left);
        QVERIFY(QFile::exists(path("history/notes.dat")));
    }

    void restoreReportsAFailingUnit() {
        sim::UnitSim source;
        QVERIFY(source.start());
        const QString file = path("fail.atr");
        QCOMPARE(cli({"--port", source.devicePath(), "backup", file}).status, 0);
        sim::UnitSim unit;
        QVERIFY(unit.start());
        unit.setRefused({QStringLiteral("WA")});
        const CliRun r = cli({"--port", unit.devicePath(), "restore", file});
        QCOMPARE(r.status, 1);
        QVERIFY2(r.err.contains(QStringLiteral("書込に失敗しました")), qPrintable(r.err));
        QCOMPARE(unit.storeCount(QStringLiteral("WA")), 0);
    }
};

QTEST_GUILESS_MAIN(TestCli)
#include "tst_cli.moc"
