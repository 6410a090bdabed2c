#include "../model/DataFileFixtures.h"
#include "CliRun.h"
#include "UnitSim.h"

#include <QTemporaryDir>
#include <QTest>

#include <memory>

using namespace kestrava;
using namespace kestrava::cli;
using namespace kestrava::cli::test;

namespace {

// Edits of a data set, one a string: "patch P O V" (P 0: the current patch; V an input number,
// FULL or -), "attr O CODE", "mode C M", "points C X,X,..", "table C I V". Numbers as printed.
void applyEdits(TDataSet &d, const QStringList &edits) {
    for (const QString &edit : edits) {
        const QStringList w = edit.split(u' ');
        const int a = w[1].toInt();
        const int b = w[2].toInt();
        if (w[0] == "patch") {
            TPatch &patch = a == 0 ? *d.patches.Current() : d.patches.Patches[a - 1];
            patch[b - 1] = w[3] == "FULL" ? pvFull : w[3] == "-" ? pvNone : w[3].toInt() - 1;
        } else if (w[0] == "attr") {
            d.attrs.LoadAttrs[a - 1] = b;
        } else if (w[0] == "mode") {
            d.curves.Curves[a - 1].Mode = b;
        } else if (w[0] == "points") {
            TPointList &points = d.curves.Curves[a - 1].Points;
            points.Clear();
            for (const QString &x : w[2].split(u','))
                points.Add(TCurvePoint{.X = x.toInt()});
        } else if (w[0] == "table") {
            d.curves.Curves[a - 1].Table[b] = w[3].toInt();
        }
    }
}

// Patch 3 output 12 from input 45, output 513 On/Off, curve 4 with a point at 64; the rest as
// the unit leaves the factory (patch 1 one-to-one, Normal, identity curves in mode 1).
sim::UnitMemory unitMemory() {
    sim::UnitMemory m = sim::UnitMemory::factoryDefault();
    m.patches[2][11] = 44;
    m.attributes[512] = 0x081;
    m.pointBlocks[3][1] = 64;
    return m;
}

const QStringList kPatchEdits{"patch 3 12 46", "patch 1 1 -", "patch 3 13 FULL"};
const QStringList kPatchLines{"patch 1 output 1: unit 1, file -",
                              "patch 3 output 12: unit 45, file 46",
                              "patch 3 output 13: unit -, file FULL"};
const QStringList kAttrEdits{"attr 513 1"};
const QStringList kAttrLines{"attribute output 513: unit On/Off, file User 2"};
const QStringList kCurveEdits{"table 2 128 140", "mode 4 2", "points 4 0,128,255"};
const QStringList kCurveLines{"curve 2 input 128: unit 128, file 140",
                              "curve 4 mode: unit 1, file 2",
                              "curve 4 points: unit 0,64,255, file 0,128,255"};

bool writesToUnit(const QStringList &log) {
    for (const QString &req : log)
        if (req.startsWith(u'S') || req.startsWith(u'W') || req == "C" || req == "T")
            return true;
    return false;
}

} // namespace

class TestCliDiff : public QObject, CliFolder {
    Q_OBJECT

private Q_SLOTS:
    // A backup of the unit, edited, compared with the unit: exactly the edits come out, and
    // the unit is left on its patch with remote mode off and nothing written to it.
    void againstUnit_data() {
        QTest::addColumn<QString>("ext");
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<QStringList>("edits");
        QTest::addColumn<QStringList>("expected");
        for (const char *ext : {"dat", "pat", "pt1", "atr", "crv"})
            QTest::addRow("%s equal", ext)
                << ext << QStringList{} << QStringList{} << QStringList{};
        QTest::newRow("dat each sort")
            << "dat" << QStringList{} << kPatchEdits + kAttrEdits + kCurveEdits
            << kPatchLines + kAttrLines + kCurveLines;
        QTest::newRow("dat ab") << "dat" << QStringList{"--ab"}
                                << QStringList{"patch 3 12 46", "patch 2 1000 600", "attr 513 1",
                                               "mode 4 2"}
                                << QStringList{"patch 2 output B488: unit -, file B088",
                                               "patch 3 output A012: unit A045, file A046",
                                               "attribute output B001: unit On/Off, file User 2",
                                               "curve 4 mode: unit 1, file 2"};
        QTest::newRow("pat patches only") << "pat" << QStringList{} << kPatchEdits << kPatchLines;
        QTest::newRow("pt1 the unit's patch")
            << "pt1" << QStringList{} << QStringList{"patch 0 12 46", "patch 0 1024 FULL"}
            << QStringList{"patch 3 output 12: unit 45, file 46",
                           "patch 3 output 1024: unit -, file FULL"};
        QTest::newRow("atr") << "atr" << QStringList{} << kAttrEdits << kAttrLines;
        QTest::newRow("crv") << "crv" << QStringList{} << kCurveEdits << kCurveLines;
    }
    void againstUnit() {
        QFETCH(QString, ext);
        QFETCH(QStringList, options);
        QFETCH(QStringList, edits);
        QFETCH(QStringList, expected);
        sim::UnitSim unit(OnPatch(2));
        QVERIFY(unit.start());
        unit.setMemory(unitMemory());
        const QString file = path("unit." + ext);
        QCOMPARE(cli({"--port", unit.devicePath(), "backup", file}).status, 0);
        auto d = std::make_unique<TDataSet>();
        QVERIFY(ReadDataFile(FileKindOf(file), file, d->patches, d->attrs, d->curves).ok);
        applyEdits(*d, edits);
        QVERIFY(WriteDataSet(file, *d));
        unit.clearLog();

        const CliRun r = cli(QStringList{"--port", unit.devicePath(), "diff", file} + options);
        QVERIFY2(r.err.isEmpty(), qPrintable(r.err));
        QCOMPARE(r.lines(), expected);
        QCOMPARE(r.status, expected.isEmpty() ? 0 : 1);
        QCOMPARE(unit.currentPatch(), 2);
        QCOMPARE(unit.remoteMode(), 0);
        QVERIFY(!writesToUnit(unit.requestLog()));
    }

    // A file that holds less than its kind could: the unit (or OTHER) equals it in what it
    // holds and differs everywhere else, and only that is compared, and fetched. A file
    // holding nothing of its kind is a failure before the unit hears anything.
    void whatTheFileHolds_data() {
        QTest::addColumn<QString>("ext");
        QTest::addColumn<QString>("contents");     // as fileOf takes them
        QTest::addColumn<QString>("unitContents"); // laid over the unit's distinct memory
        QTest::addColumn<QString>("offline");      // OTHER's extension and contents, or none
        QTest::addColumn<int>("status");
        QTest::addColumn<QStringList>("expect"); // first and last line printed, or the reason
        const QString noSection = "no section of this kind of file";
        auto row = [](const char *name, const char *ext, const char *contents,
                      const char *unitContents, int status, const QStringList &expect = {},
                      const char *offline = "") {
            QTest::newRow(name) << ext << contents << unitContents << offline << status << expect;
        };
        row("pat one [PatchN]", "pat", "P2:64", "P2:64", 0);
        row("pat short section", "pat", "P2:10", "P2:10", 0);
        row("pat short section differs", "pat", "P2:10", "P2:9", 1,
            {"patch 2 output 145: ", "patch 2 output 160: "});
        row("pt1 short section", "pt1", "P*:10", "P*:10", 0);
        row("dat patches only", "dat", "P1:64 P8:64", "P1:64 P8:64", 0);
        row("dat short attributes differ", "dat", "A:32", "A:31", 1,
            {"attribute output 497: ", "attribute output 512: "});
        row("dat curve 3 only", "dat", "C3", "C3", 0);
        row("empty dat", "dat", "", "", 2, {noSection});
        row("hello dat", "dat", "hello", "", 2, {noSection});
        row("offline: OTHER holds more", "pat", "P2:10", "", 0, {}, "dat P2:10 A:64");
        row("offline: OTHER's section is shorter", "pat", "P2:10", "", 2, {"does not hold"},
            "pat P2:9");
        row("offline: empty OTHER", "pat", "P2:10", "", 2, {noSection}, "dat");
    }
    void whatTheFileHolds() {
        QFETCH(QString, ext);
        QFETCH(QString, contents);
        QFETCH(QString, unitContents);
        QFETCH(QString, offline);
        QFETCH(int, status);
        QFETCH(QStringList, expect);
        const QString file = path("held." + ext);
        QVERIFY(SaveTextLines(file, contents == "hello" ? QStringList{contents}
                                                        : kestrava::test::fileOf(contents)));
        sim::UnitSim unit(OnPatch(2));
        QVERIFY(unit.start());
        unit.setMemory(kestrava::test::withFile(kestrava::test::distinct(), unitContents, 2));
        QStringList args{"--port", unit.devicePath(), "diff", file};
        if (!offline.isEmpty()) {
            args << "--offline" << path("other." + offline.section(u' ', 0, 0));
            QVERIFY(SaveTextLines(args.last(), kestrava::test::fileOf(offline.section(u' ', 1))));
        }

        const CliRun r = cli(args);
        QCOMPARE(r.status, status);
        const QStringList lines = r.lines();
        QCOMPARE(lines.size(), status == 1 ? 16 : 0);
        if (status == 1)
            QVERIFY2(lines.first().startsWith(expect[0]) && lines.last().startsWith(expect[1]),
                     qPrintable(lines.join(u'\n')));
        QVERIFY2(status != 2 || r.err.contains(expect.value(0)), qPrintable(r.err));
        const QString log = unit.requestLog().join(u' ');
        QVERIFY(status != 2 || log.isEmpty());
        QCOMPARE(log.contains("P000"), contents.contains("P1") && offline.isEmpty());
        QCOMPARE(log.contains("Q500"), contents.contains(u'A') && offline.isEmpty());
        QCOMPARE(log.contains("Q600"), contents.contains(u'C') && offline.isEmpty());
    }

    // Two files, no unit (the port given does not exist): OTHER is the "unit" side and must
    // hold what FILE holds.
    void offline_data() {
        QTest::addColumn<QString>("fileName");
        QTest::addColumn<QString>("otherName");
        QTest::addColumn<QStringList>("edits"); // made to FILE only
        QTest::addColumn<int>("status");
        QTest::addColumn<QStringList>("expected");
        const QStringList all = kPatchEdits + kAttrEdits + kCurveEdits;
        QTest::newRow("dat dat equal") << "a.dat"
                                       << "b.dat" << QStringList{} << 0 << QStringList{};
        QTest::newRow("dat dat") << "a.dat"
                                 << "b.dat" << QStringList{"patch 8 1 5", "mode 1 0"} << 1
                                 << QStringList{"patch 8 output 1: unit -, file 5",
                                                "curve 1 mode: unit 1, file 0"};
        QTest::newRow("pat against dat: patches only")
            << "a.pat"
            << "b.dat" << all << 1
            << kPatchLines.mid(1); // patch 1 output 1 is not patched on either side
        QTest::newRow("atr against dat") << "a.atr"
                                         << "b.dat" << all << 1 << kAttrLines;
        QTest::newRow("crv against crv") << "a.crv"
                                         << "b.crv" << all << 1 << kCurveLines;
        QTest::newRow("pt1 against pt1") << "a.pt1"
                                         << "b.pt1" << QStringList{"patch 0 12 46"} << 1
                                         << QStringList{"patch * output 12: unit 45, file 46"};
        QTest::newRow("pt1 against dat") << "a.pt1"
                                         << "b.dat" << all << 2 << QStringList{};
        QTest::newRow("dat against atr") << "a.dat"
                                         << "b.atr" << all << 2 << QStringList{};
        QTest::newRow("pat against pt1") << "a.pat"
                                         << "b.pt1" << all << 2 << QStringList{};
        QTest::newRow("other unreadable") << "a.dat"
                                          << "missing.dat" << all << 2 << QStringList{};
    }
    void offline() {
        QFETCH(QString, fileName);
        QFETCH(QString, otherName);
        QFETCH(QStringList, edits);
        QFETCH(int, status);
        QFETCH(QStringList, expected);
        auto base = std::make_unique<TDataSet>();
        applyEdits(*base, {"patch 3 12 45", "patch 0 12 45", "attr 513 129", "mode 1 1", "mode 2 1",
                           "mode 4 1", "points 4 0,64,255"});
        auto file = std::make_unique<TDataSet>(*base);
        applyEdits(*file, edits);
        const QString other = path(otherName);
        if (!otherName.startsWith("missing"))
            QVERIFY(WriteDataSet(other, *base));
        QVERIFY(WriteDataSet(path(fileName), *file));
        const CliRun r =
            cli({"--port", "/dev/kestrava-none", "diff", path(fileName), "--offline", other});
        QCOMPARE(r.lines(), expected);
        QCOMPARE(r.status, status);
        QCOMPARE(r.err.isEmpty(), status != 2);
    }

    // Every failure is status 2 with the reason on stderr; a unit that still answers is left
    // on its patch with remote mode off, even when the transfer stopped on another patch.
    void failures_data() {
        QTest::addColumn<QString>("fileName");
        QTest::addColumn<QStringList>("refused");
        QTest::addColumn<bool>("absent");
        QTest::addColumn<QString>("reason");
        QTest::newRow("missing file") << "missing.dat" << QStringList{} << false << "";
        QTest::newRow("unknown kind") << "x.txt" << QStringList{} << false << "extension";
        QTest::newRow("silent unit") << "a.dat" << QStringList{} << true << "応答がありません";
        QTest::newRow("patch select refused")
            << "a.dat" << QStringList{"P003"} << false << "取得に失敗しました";
        QTest::newRow("patch block refused")
            << "a.pat" << QStringList{"Q020"} << false << "取得に失敗しました";
        QTest::newRow("current patch unknown")
            << "a.pt1" << QStringList{"Q801"} << false << "取得に失敗しました";
        QTest::newRow("attribute block refused")
            << "a.atr" << QStringList{"Q53F"} << false << "取得に失敗しました";
        QTest::newRow("curve point block refused")
            << "a.crv" << QStringList{"Q642"} << false << "取得に失敗しました";
    }
    void failures() {
        QFETCH(QString, fileName);
        QFETCH(QStringList, refused);
        QFETCH(bool, absent);
        QFETCH(QString, reason);
        const QString file = path(fileName);
        if (!fileName.startsWith("missing") && FileKindOf(file) != FileKind::None)
            QVERIFY(WriteDataSet(file, TDataSet{}));
        sim::UnitSim unit(OnPatch(5));
        QVERIFY(unit.start());
        unit.setRefused(refused);
        unit.setAbsent(absent);
        const CliRun r = cli({"--port", unit.devicePath(), "diff", file});
        QCOMPARE(r.status, 2);
        QVERIFY(r.out.isEmpty());
        QVERIFY2(r.err.contains(reason) && !r.err.isEmpty(), qPrintable(r.err));
        if (absent) {
            QCOMPARE(r.err.count(reason), 1);
        } else if (reason.isEmpty() || reason == "extension") {
            QVERIFY(unit.requestLog().isEmpty()); // the unit never heard of it
        } else {
            QCOMPARE(unit.currentPatch(), 5);
            QCOMPARE(unit.remoteMode(), 0);
        }
    }
};

QTEST_GUILESS_MAIN(TestCliDiff)
#include "tst_clidiff.moc"
