#include "DataFile.h"
#include "DataFileKind.h"
#include "GoldenModels.h"
#include "TextLines.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtTest>

using namespace kestrava;

namespace {

using Models = test::DataModels;
using test::GoldenModels;
using test::GoldenPath;

enum ReaderId { RPatch, RAllData, RAttribute, RCurve };

QByteArray ReadBytes(const QString &path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// A file of the kind as the file commands write it; a one-patch file holds the current patch.
QStringList Write(FileKind kind, const Models &m) {
    QStringList lines;
    WriteDataFileLines(kind, lines, m.patches, m.attrs, m.curves);
    return lines;
}

TReadResult Read(ReaderId reader, const QStringList &lines, Models &m) {
    switch (reader) {
    case RPatch:
        return ReadPatchFile(lines, m.patches);
    case RAllData:
        return ReadAllDataFile(lines, m.patches, m.attrs, m.curves);
    case RAttribute:
        return ReadAttributeFile(lines, m.attrs);
    case RCurve:
        return ReadCurveFile(lines, m.curves);
    }
    return {};
}

QString Row(const QString &field, int count = 16) {
    return QStringList(count, field).join(QLatin1Char(','));
}

QStringList Rows(const QString &field, int lines, int fields = 16) {
    return QStringList(lines, Row(field, fields));
}

bool SameData(const Models &a, const Models &b) {
    return a.patches.Patches == b.patches.Patches && a.attrs.LoadAttrs == b.attrs.LoadAttrs &&
           a.curves.Curves == b.curves.Curves;
}

// Models with something in every place a read can change, so that "nothing changed" means it.
Models Marked() {
    Models m;
    m.patches.Patches[0].fill(3);
    m.patches.Patches[4][9] = pvFull;
    m.attrs.LoadAttrs.fill(1);
    for (TUserCurve &c : m.curves.Curves) {
        c.Mode = cmPolyline;
        c.Table.fill(42);
        c.AddPoint(100);
    }
    return m;
}

} // namespace

Q_DECLARE_METATYPE(FileKind)
Q_DECLARE_METATYPE(ReaderId)
Q_DECLARE_METATYPE(TReadRule)

class TestDataFile : public QObject {
    Q_OBJECT

private slots:
    void writersMatchGolden_data();
    void writersMatchGolden();
    void fileKindOf_data();
    void fileKindOf();
    void readAcrossKinds_data();
    void readAcrossKinds();
    void readerRules_data();
    void readerRules();
    void readReport_data();
    void readReport();
    void fieldValues_data();
    void fieldValues();
    void partialPatchSection();
    void onePatchFollowsCurrentPatch();
    void pointsLine_data();
    void pointsLine();
    void curveHeaderResetsButKeepsMode();
    void strayMemoryValuesAreNamedOnReadBack();
    void readFromFile();
    void splitTextLines_data();
    void splitTextLines();
    void loadTextLinesFailures();
    void saveTextLines();
};

void TestDataFile::writersMatchGolden_data() {
    QTest::addColumn<FileKind>("kind");
    QTest::addColumn<QString>("file");
    QTest::addColumn<int>("lines");
    QTest::newRow("all data") << FileKind::AllData << "all.dat" << 661;
    QTest::newRow("all patches") << FileKind::AllPatches << "all.pat" << 520;
    QTest::newRow("one patch") << FileKind::OnePatch << "one.pt1" << 65;
    QTest::newRow("attributes") << FileKind::Attributes << "attrs.atr" << 65;
    QTest::newRow("curves") << FileKind::Curves << "curves.crv" << 76;
}

void TestDataFile::writersMatchGolden() {
    QFETCH(FileKind, kind);
    QFETCH(QString, file);
    QFETCH(int, lines);
    const QByteArray golden = ReadBytes(GoldenPath(file));
    QVERIFY(!golden.isEmpty());
    QTemporaryDir dir;
    const QString path = dir.filePath(file);
    Models m = GoldenModels();
    m.patches.CurPatch = 1; // the one-patch file holds patch 2
    const QStringList written = Write(kind, m);
    QCOMPARE(written.size(), lines);
    QVERIFY(SaveTextLines(path, written));
    QCOMPARE(ReadBytes(path), golden);
    QCOMPARE(FileKindOf(path), kind);

    // and back through the reader of the kind
    Models back = Marked();
    back.patches.CurPatch = 1;
    QVERIFY(ReadDataFile(kind, path, back.patches, back.attrs, back.curves).ok);
    QCOMPARE(Write(kind, back), written);
}

void TestDataFile::fileKindOf_data() {
    QTest::addColumn<QString>("file");
    QTest::addColumn<FileKind>("kind");
    QTest::newRow("upper case") << "show.DAT" << FileKind::AllData;
    QTest::newRow("mixed case") << "/tmp/Patch.Pt1" << FileKind::OnePatch;
    QTest::newRow("a dot in the folder") << "/tmp/x.atr/curves.crv" << FileKind::Curves;
    QTest::newRow("only the last extension counts") << "attrs.atr.bak" << FileKind::None;
    QTest::newRow("no dot") << "pat" << FileKind::None;
    QTest::newRow("unknown") << "notes.txt" << FileKind::None;
}

void TestDataFile::fileKindOf() {
    QFETCH(QString, file);
    QFETCH(FileKind, kind);
    QCOMPARE(FileKindOf(file), kind);
}

void TestDataFile::readAcrossKinds_data() {
    QTest::addColumn<ReaderId>("reader");
    QTest::addColumn<QString>("file");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<int>("line");
    QTest::addColumn<TReadRule>("rule");
    QTest::addColumn<QString>("changed"); // which data the read takes from the file
    QTest::newRow("attributes of all data")
        << RAttribute << "all.dat" << true << 0 << TReadRule::None << "a";
    QTest::newRow("curves of all data")
        << RCurve << "all.dat" << true << 0 << TReadRule::None << "c";
    QTest::newRow("all data takes patches")
        << RAllData << "all.pat" << true << 0 << TReadRule::None << "p";
    QTest::newRow("all data takes attributes")
        << RAllData << "attrs.atr" << true << 0 << TReadRule::None << "a";
    QTest::newRow("all data takes curves")
        << RAllData << "curves.crv" << true << 0 << TReadRule::None << "c";
    QTest::newRow("all data refuses [Patch*]")
        << RAllData << "one.pt1" << false << 1 << TReadRule::PatchHeaderNumber << "";
    QTest::newRow("patches of all data fail at [Attribute]")
        << RPatch << "all.dat" << false << 521 << TReadRule::PatchFieldCount << "";
    QTest::newRow("patches from an attribute file")
        << RPatch << "attrs.atr" << false << 1 << TReadRule::DataBeforeHeader << "";
    QTest::newRow("patches from a curve file")
        << RPatch << "curves.crv" << false << 1 << TReadRule::DataBeforeHeader << "";
    QTest::newRow("attributes from a curve file")
        << RAttribute << "curves.crv" << true << 0 << TReadRule::None << "";
    QTest::newRow("attributes from a patch file")
        << RAttribute << "all.pat" << true << 0 << TReadRule::None << "";
    QTest::newRow("curves from an attribute file")
        << RCurve << "attrs.atr" << true << 0 << TReadRule::None << "";
    QTest::newRow("curves from a one-patch file")
        << RCurve << "one.pt1" << true << 0 << TReadRule::None << "";
}

void TestDataFile::readAcrossKinds() {
    QFETCH(ReaderId, reader);
    QFETCH(QString, file);
    QFETCH(bool, ok);
    QFETCH(int, line);
    QFETCH(TReadRule, rule);
    QFETCH(QString, changed);
    QStringList lines;
    QVERIFY(LoadTextLines(GoldenPath(file), lines));
    Models m = Marked();
    const Models before = m;
    const TReadResult r = Read(reader, lines, m);
    QCOMPARE(r.ok, ok);
    QCOMPARE(r.line, line);
    QCOMPARE(r.rule, rule);
    const Models golden = GoldenModels();
    QCOMPARE(m.patches.Patches,
             changed.contains('p') ? golden.patches.Patches : before.patches.Patches);
    QCOMPARE(m.attrs.LoadAttrs,
             changed.contains('a') ? golden.attrs.LoadAttrs : before.attrs.LoadAttrs);
    if (changed.contains('c')) {
        QVERIFY(m.curves.Curves == golden.curves.Curves);
    } else {
        // A read that holds no curve still lines the points up with their tables.
        Models synced = before;
        if (ok && (reader == RCurve || reader == RAllData)) {
            for (TUserCurve &c : synced.curves.Curves)
                c.SyncPointsToTable();
        }
        QVERIFY(m.curves.Curves == synced.curves.Curves);
    }
}

void TestDataFile::readerRules_data() {
    QTest::addColumn<ReaderId>("reader");
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<int>("line"); // 0: the read succeeds
    QTest::addColumn<TReadRule>("rule");

    const QString none = Row("____");
    const QString normal = Row("080");
    const QString zeros = Row("0");
    const QStringList curve1{"[Curve1]", "Mode=2", "Points=0,255"};
    auto ok = [](const char *name, ReaderId r, const QStringList &l) {
        QTest::newRow(name) << r << l << 0 << TReadRule::None;
    };
    auto fail = [](const char *name, ReaderId r, const QStringList &l, int line, TReadRule rule) {
        QTest::newRow(name) << r << l << line << rule;
    };

    // A violation at the very end of a complete file: nothing of the file may be taken.
    const Models g = GoldenModels();
    QStringList lastBroken = Write(FileKind::AllData, g);
    lastBroken.last() = Row("256");
    fail("D: complete file, last value", RAllData, lastBroken, 661, TReadRule::CurveValueRange);
    fail("P: complete file, then [Patch9]", RPatch, Write(FileKind::AllPatches, g) << "[Patch9]",
         521, TReadRule::PatchHeaderNumber);
    fail("A: complete file, last line", RAttribute, Write(FileKind::Attributes, g) << Row("080"),
         66, TReadRule::AttrTooManyValues);
    fail("C: complete file, then [Curve5]", RCurve, Write(FileKind::Curves, g) << "[Curve5]", 77,
         TReadRule::CurveHeaderNumber);

    // Patch reader (.pat, .pt1).
    fail("P: [Patch9]", RPatch, {"[Patch9]", none}, 1, TReadRule::PatchHeaderNumber);
    fail("P: [Patch0]", RPatch, {"[Patch0]", none}, 1, TReadRule::PatchHeaderNumber);
    fail("P: [patch1]", RPatch, {"[patch1]", none}, 1, TReadRule::PatchHeaderNumber);
    fail("P: [PatchX]", RPatch, {"[PatchX]"}, 1, TReadRule::PatchHeaderNumber);
    ok("P: [Patch8]", RPatch, {"[Patch8]", none});
    ok("P: [Patch* without bracket", RPatch, {"[Patch*", none});
    fail("P: data before header", RPatch, {none, "[Patch1]"}, 1, TReadRule::DataBeforeHeader);
    fail("P: empty lines count", RPatch, {"", "", "x"}, 3, TReadRule::DataBeforeHeader);
    ok("P: empty lines skipped", RPatch, {"", "[Patch1]", "", none, ""});
    fail("P: 15 fields", RPatch, {"[Patch1]", Row("____", 15)}, 2, TReadRule::PatchFieldCount);
    fail("P: 17 fields", RPatch, {"[Patch1]", none, Row("____", 17)}, 3,
         TReadRule::PatchFieldCount);
    fail("P: 65 lines", RPatch, QStringList{"[Patch1]"} + Rows("____", 65), 66,
         TReadRule::PatchTooManyValues);
    ok("P: 64 lines", RPatch, QStringList{"[Patch1]"} + Rows("____", 64));
    fail("P: [Attribute] is data", RPatch, {"[Patch1]", "[Attribute]"}, 2,
         TReadRule::PatchFieldCount);
    fail("P: [Curve1] is data", RPatch, {"[Patch1]", "[Curve1]"}, 2, TReadRule::PatchFieldCount);
    fail("P: any header is data", RPatch, {"[Other]"}, 1, TReadRule::DataBeforeHeader);
    fail("P: input 4097", RPatch, {"[Patch1]", Row("4097")}, 2, TReadRule::PatchInputRange);
    fail("P: input 99999999999", RPatch, {"[Patch1]", Row("99999999999")}, 2,
         TReadRule::PatchInputRange);
    fail("P: negative input", RPatch, {"[Patch1]", Row("-1")}, 2, TReadRule::PatchInputRange);
    ok("P: input 4096", RPatch, {"[Patch1]", Row("4096")});
    ok("P: lines not trimmed, text is unreadable", RPatch, {"[Patch1]", Row(" 12")});

    // All-data reader (.dat).
    fail("D: [Patch*]", RAllData, {"[Patch*]"}, 1, TReadRule::PatchHeaderNumber);
    fail("D: [Patch9]", RAllData, {"[Patch9]"}, 1, TReadRule::PatchHeaderNumber);
    fail("D: [Patch0]", RAllData, {"[Patch0]", none}, 1, TReadRule::PatchHeaderNumber);
    fail("D: [patch1]", RAllData, {"[patch1]", none}, 1, TReadRule::PatchHeaderNumber);
    fail("D: unknown header", RAllData, {"[Settings]"}, 1, TReadRule::UnknownHeader);
    fail("D: [attribute] in lower case", RAllData, {"[attribute]"}, 1, TReadRule::UnknownHeader);
    fail("D: [Curve5]", RAllData, {"[Curve5]"}, 1, TReadRule::CurveHeaderNumber);
    fail("D: [curve1]", RAllData, {"[curve1]"}, 1, TReadRule::CurveHeaderNumber);
    ok("D: data before header skipped", RAllData, {"junk", none, "[Patch1]", none});
    fail("D: patch 15 fields", RAllData, {"[Patch1]", Row("0001", 15)}, 2,
         TReadRule::PatchFieldCount);
    fail("D: patch 65 lines", RAllData, QStringList{"[Patch2]"} + Rows("0001", 65), 66,
         TReadRule::PatchTooManyValues);
    fail("D: patch input 5000", RAllData, {"[Patch1]", Row("5000")}, 2, TReadRule::PatchInputRange);
    ok("D: attribute 17 fields skipped", RAllData, {"[Attribute]", Row("zzz", 17)});
    ok("D: attribute 15 fields skipped", RAllData, {"[Attribute]", Row("004", 15)});
    ok("D: attribute 65 lines", RAllData,
       QStringList{"[Attribute]"} + Rows("080", 64) + Rows("999", 1));
    fail("D: attribute 004", RAllData, {"[Attribute]", normal, Row("004")}, 3, TReadRule::AttrCode);
    fail("D: curve 15 fields", RAllData, curve1 + QStringList{Row("0", 15)}, 4,
         TReadRule::CurveFieldCount);
    ok("D: curve 17 lines", RAllData, curve1 + Rows("0", 16) + Rows("300", 1));
    fail("D: curve value 256", RAllData, curve1 + QStringList{Row("256")}, 4,
         TReadRule::CurveValueRange);
    fail("D: curve value -1", RAllData, curve1 + QStringList{Row("-1")}, 4,
         TReadRule::CurveValueRange);
    fail("D: curve value 99999999999", RAllData, curve1 + QStringList{Row("99999999999")}, 4,
         TReadRule::CurveValueRange);
    fail("D: mode 3", RAllData, {"[Curve2]", "Mode=3"}, 2, TReadRule::CurveMode);
    fail("D: mode -1", RAllData, {"[Curve2]", "Mode=-1"}, 2, TReadRule::CurveMode);
    ok("D: mode unreadable", RAllData, {"[Curve2]", "Mode=two"});
    fail("D: Mode= outside a curve is patch data", RAllData, {"[Patch1]", "Mode=1"}, 2,
         TReadRule::PatchFieldCount);

    // Attribute reader (.atr).
    ok("A: other sections ignored", RAttribute,
       {"junk", "[Patch1]", "x", "[Curve9]", "y", "[foo]", "z", "[attribute]", "w"});
    fail("A: 15 fields", RAttribute, {"[Attribute]", Row("080", 15)}, 2, TReadRule::AttrFieldCount);
    fail("A: 17 fields", RAttribute, {"[Attribute]", Row("080", 17)}, 2, TReadRule::AttrFieldCount);
    fail("A: 65 lines", RAttribute, QStringList{"[Attribute]"} + Rows("080", 65), 66,
         TReadRule::AttrTooManyValues);
    ok("A: 64 lines", RAttribute, QStringList{"[Attribute]"} + Rows("081", 64));
    fail("A: 082", RAttribute, {"[Attribute]", Row("082")}, 2, TReadRule::AttrCode);
    fail("A: 004", RAttribute, {"[Attribute]", Row("004")}, 2, TReadRule::AttrCode);
    fail("A: ffffffff", RAttribute, {"[Attribute]", Row("ffffffff")}, 2, TReadRule::AttrCode);
    ok("A: unreadable is Normal", RAttribute, {"[Attribute]", Row("zz")});

    // Curve reader (.crv).
    fail("C: [Curve0]", RCurve, {"[Curve0]"}, 1, TReadRule::CurveHeaderNumber);
    fail("C: [CURVE1]", RCurve, {"[CURVE1]"}, 1, TReadRule::CurveHeaderNumber);
    ok("C: other sections ignored", RCurve,
       {"junk", "[Attribute]", normal, "[Patch1]", "[Foo]", Row("-5", 3)});
    fail("C: 15 fields", RCurve, curve1 + QStringList{Row("0", 15)}, 4, TReadRule::CurveFieldCount);
    fail("C: 17 lines", RCurve, curve1 + Rows("0", 17), 20, TReadRule::CurveTooManyValues);
    ok("C: 16 lines", RCurve, curve1 + Rows("255", 16));
    fail("C: value 256", RCurve, curve1 + QStringList{zeros, Row("256")}, 5,
         TReadRule::CurveValueRange);
    ok("C: 15 interior points", RCurve,
       {"[Curve1]", "Points=0,1,2,3,4,5,6,7,8,9,10,11,12,13,14,15,255"});
    fail("C: 16 interior points", RCurve,
         {"[Curve1]", "Points=0,1,2,3,4,5,6,7,8,9,10,11,12,13,14,15,16,255"}, 2,
         TReadRule::CurveTooManyPoints);
    fail("C: points over two lines", RCurve,
         {"[Curve1]", "Points=1,2,3,4,5,6,7,8", "Points=9,10,11,12,13,14,15,16"}, 3,
         TReadRule::CurveTooManyPoints);
    ok("C: repeats do not count", RCurve,
       {"[Curve1]", "Points=1,2,3,4,5,6,7,8,9,10,11,12,13,14,15,15,15,1,2"});
    fail("C: mode 7", RCurve, {"[Curve4]", "mode= 7 "}, 2, TReadRule::CurveMode);
}

void TestDataFile::readerRules() {
    QFETCH(ReaderId, reader);
    QFETCH(QStringList, lines);
    QFETCH(int, line);
    QFETCH(TReadRule, rule);
    Models m = Marked();
    const Models before = m;
    const TReadResult r = Read(reader, lines, m);
    QVERIFY2(r.ok == (line == 0), qPrintable(r.message()));
    QCOMPARE(r.line, line);
    QCOMPARE(r.rule, rule);
    QVERIFY(!r.ruleText().isEmpty());
    if (!r.ok)
        QVERIFY(SameData(m, before));
}

// What a read met, as "P2:160 A:16 C3 M3" (M: a curve section with a "Mode=" line).
static QString Described(const TReadReport &f) {
    QStringList parts;
    for (int p = 0; p < PatchCount; ++p)
        if (f.patchSections.test(p))
            parts << QStringLiteral("P%1:%2").arg(p + 1).arg(f.patchValues[p]);
    if (f.attributeSection)
        parts << QStringLiteral("A:%1").arg(f.attributeValues);
    for (int c = 0; c < 8; ++c)
        if ((c < 4 ? f.curveSections : f.curveModes).test(c % 4))
            parts << QStringLiteral("%1%2").arg(QLatin1Char(c < 4 ? 'C' : 'M')).arg(c % 4 + 1);
    return parts.join(u' ');
}

void TestDataFile::readReport_data() {
    QTest::addColumn<ReaderId>("reader");
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QString>("found");
    QTest::newRow("P: short section")
        << RPatch << QStringList{"[Patch2]"} + Rows("0001", 10) << "P2:160";
    QTest::newRow("P: a repeated header starts again, the longest counts")
        << RPatch
        << QStringList{"[Patch2]"} + Rows("0001", 3) + QStringList{"[Patch2]", Row("0001")}
        << "P2:48";
    QTest::newRow("P: [Patch*] is the current patch")
        << RPatch << QStringList{"[Patch*]", Row("0001")} << "P1:16";
    QTest::newRow("D: text before any header") << RAllData << QStringList{"hello"} << "";
    QTest::newRow("D: a 17-field attribute line is skipped without advancing")
        << RAllData << QStringList{"[Attribute]", Row("081", 17), Row("003")} << "A:16";
    QTest::newRow("D: a curve's mode only with its line")
        << RAllData << QStringList{"[Curve3]", "Points=0,255", "[Curve4]", "Mode=1"} << "C3 C4 M4";
}

void TestDataFile::readReport() {
    QFETCH(ReaderId, reader);
    QFETCH(QStringList, lines);
    QFETCH(QString, found);
    Models m = Marked();
    const TReadResult r = Read(reader, lines, m);
    QVERIFY2(r.ok, qPrintable(r.message()));
    QCOMPARE(Described(r.found), found);
}

void TestDataFile::fieldValues_data() {
    QTest::addColumn<QString>("header");
    QTest::addColumn<QString>("field");
    QTest::addColumn<int>("value");
    const QString p = "[Patch3]";
    const QString a = "[Attribute]";
    QTest::newRow("P none") << p << "____" << int(pvNone);
    QTest::newRow("P full") << p << "FULL" << int(pvFull);
    QTest::newRow("P input 512") << p << "0512" << 511;
    QTest::newRow("P zero") << p << "0000" << int(pvNone);
    QTest::newRow("P unreadable") << p << "zz" << int(pvNone);
    QTest::newRow("P full in lower case") << p << "full" << int(pvNone);
    QTest::newRow("P quoted") << p << "\"0012\"" << 11;
    QTest::newRow("P not trimmed") << p << " 12" << int(pvNone);
    QTest::newRow("P top") << p << "4096" << 4095;
    QTest::newRow("A 081") << a << "081" << int(laOnOff);
    QTest::newRow("A short form") << a << "81" << int(laOnOff);
    QTest::newRow("A user 4") << a << "0003" << 3;
    QTest::newRow("A unreadable") << a << "zz" << int(laNormal);
    QTest::newRow("A own prefix") << a << "0x81" << int(laNormal);
    QTest::newRow("A empty") << a << "" << int(laNormal);
}

void TestDataFile::fieldValues() {
    QFETCH(QString, header);
    QFETCH(QString, field);
    QFETCH(int, value);
    const bool patch = header.startsWith("[Patch");
    const QStringList lines{header, field + "," + Row(patch ? "0002" : "000", 15)};
    for (ReaderId reader : {patch ? RPatch : RAttribute, RAllData}) {
        Models m = Marked();
        QVERIFY(Read(reader, lines, m).ok);
        QCOMPARE(patch ? m.patches.Patches[2][0] : m.attrs.LoadAttrs[0], value);
        QCOMPARE(patch ? m.patches.Patches[2][15] : m.attrs.LoadAttrs[15], patch ? 1 : 0);
        QCOMPARE(patch ? m.patches.Patches[2][16] : m.attrs.LoadAttrs[16], patch ? -1 : 1);
    }
}

void TestDataFile::partialPatchSection() {
    Models m = Marked();
    const Models before = m;
    QVERIFY(ReadPatchFile(QStringList{"[Patch2]"} + Rows("0007", 10), m.patches).ok);
    for (int p = 0; p < 8; ++p) {
        for (int o = 0; o < 1024; ++o) {
            const bool read = p == 1 && o < 160;
            QCOMPARE(m.patches.Patches[p][o], read ? 6 : before.patches.Patches[p][o]);
        }
    }
}

void TestDataFile::onePatchFollowsCurrentPatch() {
    Models written = GoldenModels();
    written.patches.CurPatch = 2;
    const QStringList lines = Write(FileKind::OnePatch, written);
    Models m = Marked();
    m.patches.CurPatch = 4;
    const Models before = m;
    QVERIFY(ReadPatchFile(lines, m.patches).ok);
    for (int p = 0; p < 8; ++p) {
        QCOMPARE(m.patches.Patches[p],
                 p == 4 ? written.patches.Patches[2] : before.patches.Patches[p]);
    }
    QStringList none{"keep"};
    QVERIFY(!WriteOnePatchSection(none, written.patches, -1));
    QVERIFY(!WriteOnePatchSection(none, written.patches, 8));
    QCOMPARE(none, QStringList{"keep"});
    // Without a current patch the data lines are refused.
    m.patches.CurPatch = -1;
    const TReadResult r = ReadPatchFile(lines, m.patches);
    QVERIFY(!r.ok);
    QCOMPARE(r.line, 2);
    QCOMPARE(r.rule, TReadRule::NoCurrentPatch);
}

void TestDataFile::pointsLine_data() {
    QTest::addColumn<QString>("line");
    QTest::addColumn<QList<int>>("inputs");
    QTest::newRow("end points not again") << "Points=0,300,128,255" << QList<int>{0, 128, 255};
    QTest::newRow("empty") << "Points=" << QList<int>{0, 255};
    QTest::newRow("empty item ends") << "Points=10,,20" << QList<int>{0, 10, 255};
    QTest::newRow("-1 ends") << "Points=10,-1,20" << QList<int>{0, 10, 255};
    QTest::newRow("text ends") << "Points=10,x,20" << QList<int>{0, 10, 255};
    QTest::newRow("other negative passed over") << "Points=10,-5,20" << QList<int>{0, 10, 20, 255};
    QTest::newRow("huge passed over") << "Points=10,99999999999,20" << QList<int>{0, 10, 20, 255};
    QTest::newRow("sorted") << "Points=200,10,100" << QList<int>{0, 10, 100, 200, 255};
    QTest::newRow("repeats dropped") << "Points=10,10,20,10" << QList<int>{0, 10, 20, 255};
    QTest::newRow("prefix in any case") << "POINTS=7" << QList<int>{0, 7, 255};
    QTest::newRow("after the first =") << "Points=5=6,7" << QList<int>{0, 255};
}

void TestDataFile::pointsLine() {
    QFETCH(QString, line);
    QFETCH(QList<int>, inputs);
    TCurveSet curves;
    QStringList lines{"[Curve2]", "Mode=2", line};
    lines += Rows("9", 16);
    const TReadResult r = ReadCurveFile(lines, curves);
    QVERIFY2(r.ok, qPrintable(r.message()));
    const TUserCurve &c = curves.Curves[1];
    QList<int> got;
    for (const TCurvePoint &p : c.Points) {
        got.append(p.X);
        QCOMPARE(p.Y, 255 - 9); // from the table just read
        QVERIFY(!p.Selected && !p.Dragging);
    }
    QCOMPARE(got, inputs);
    QCOMPARE(c.Mode, std::int32_t(cmCurve));
}

void TestDataFile::curveHeaderResetsButKeepsMode() {
    TCurveSet curves;
    TUserCurve &c = curves.Curves[2];
    c.Mode = cmPolyline;
    c.Table.fill(3);
    c.AddPoint(50);
    QVERIFY(ReadCurveFile(QStringList{"[Curve3]", Row("200")}, curves).ok);
    QCOMPARE(c.Mode, std::int32_t(cmPolyline));
    QCOMPARE(c.Points.Count(), 2);
    for (int i = 0; i < 256; ++i)
        QCOMPARE(c.Table[i], i < 16 ? 200 : i);
    QCOMPARE(c.Points[0].Y, 55);
}

// Values a faulty unit can leave in memory are written as they are; reading such a file back
// names the line instead of taking a value the unit cannot be sent.
void TestDataFile::strayMemoryValuesAreNamedOnReadBack() {
    Models m;
    m.attrs.LoadAttrs[17] = -1;
    QStringList lines;
    WriteAttributeSection(lines, m.attrs);
    QVERIFY(lines[2].startsWith("080,ffffffff,080"));
    TLoadAttrModel attrs;
    const TReadResult r = ReadAttributeFile(lines, attrs);
    QCOMPARE(r.line, 3);
    QCOMPARE(r.rule, TReadRule::AttrCode);

    m.curves.Curves[0].Mode = -1;
    m.curves.Curves[0].Table[3] = 4095;
    lines.clear();
    WriteCurveSections(lines, m.curves);
    QCOMPARE(lines[1], QStringLiteral("Mode=4294967295"));
    QVERIFY(lines[3].startsWith("0,1,2,4095,4"));
    TCurveSet curves;
    QCOMPARE(ReadCurveFile(lines, curves).rule, TReadRule::CurveMode);
}

// The file forms of the readers: the golden files by name, and files that cannot be read.
void TestDataFile::readFromFile() {
    Models m;
    QVERIFY(ReadAllDataFile(GoldenPath("all.dat"), m.patches, m.attrs, m.curves).ok);
    QVERIFY(SameData(m, GoldenModels()));
    Models n;
    QVERIFY(ReadPatchFile(GoldenPath("all.pat"), n.patches).ok);
    QVERIFY(ReadAttributeFile(GoldenPath("attrs.atr"), n.attrs).ok);
    QVERIFY(ReadCurveFile(GoldenPath("curves.crv"), n.curves).ok);
    QVERIFY(SameData(n, m));
    QTemporaryDir dir;
    const TReadResult missing = ReadPatchFile(dir.filePath("missing.pat"), n.patches);
    QCOMPARE(missing.rule, TReadRule::CannotRead);
    QVERIFY(!missing.ok);
    QCOMPARE(ReadAttributeFile(dir.path(), n.attrs).rule, TReadRule::CannotRead);
    QCOMPARE(ReadCurveFile(dir.path(), n.curves).rule, TReadRule::CannotRead);
    QCOMPARE(ReadAllDataFile(dir.path(), n.patches, n.attrs, n.curves).rule, TReadRule::CannotRead);
    QVERIFY(SameData(n, m));
}

void TestDataFile::splitTextLines_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("lines");
    QTest::newRow("empty") << QByteArray() << QStringList{};
    QTest::newRow("one line end") << QByteArray("\r\n") << QStringList{""};
    QTest::newRow("no final end") << QByteArray("a\r\nb") << QStringList{"a", "b"};
    QTest::newRow("final end") << QByteArray("a\r\nb\r\n") << QStringList{"a", "b"};
    QTest::newRow("mixed") << QByteArray("a\nb\rc\r\n\r\nd") << QStringList{"a", "b", "c", "", "d"};
    QTest::newRow("LF CR is two ends") << QByteArray("a\n\rb") << QStringList{"a", "", "b"};
    QTest::newRow("UTF-8 mark") << QByteArray("\xEF\xBB\xBFx\r\n") << QStringList{"x"};
    QTest::newRow("UTF-16 mark") << QByteArray("\xFF\xFEx\0\r\0\n\0y\0", 10)
                                 << QStringList{"x", "y"};
}

void TestDataFile::splitTextLines() {
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, lines);
    QCOMPARE(SplitTextLines(bytes), lines);
}

void TestDataFile::loadTextLinesFailures() {
    QTemporaryDir dir;
    QStringList lines{"untouched"};
    QVERIFY(!LoadTextLines(dir.filePath("missing"), lines));
    QVERIFY(!LoadTextLines(dir.path(), lines));
    QFile big(dir.filePath("big"));
    QVERIFY(big.open(QIODevice::WriteOnly));
    QVERIFY(big.resize(MaxTextFileSize + 1));
    big.close();
    QVERIFY(!LoadTextLines(big.fileName(), lines));
    QCOMPARE(lines, QStringList{"untouched"});
}

void TestDataFile::saveTextLines() {
    QTemporaryDir dir;
    const QString path = dir.filePath("out.atr");
    QVERIFY(SaveTextLines(path, {"first", "", "last"}));
    QCOMPARE(ReadBytes(path), QByteArray("first\r\n\r\nlast\r\n"));
    QVERIFY(SaveTextLines(path, {"x"})); // replaces, no leftovers of the longer file
    QCOMPARE(ReadBytes(path), QByteArray("x\r\n"));
    QVERIFY(!SaveTextLines(dir.filePath("no/such/folder/x.dat"), {"x"}));
    QVERIFY(QDir(dir.path()).mkdir("sub"));
    QVERIFY(!SaveTextLines(dir.filePath("sub"), {"x"})); // a folder is not replaced
    QVERIFY(QFileInfo(dir.filePath("sub")).isDir());
}

QTEST_GUILESS_MAIN(TestDataFile)
#include "tst_datafile.moc"
