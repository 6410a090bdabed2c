#include "DataFileKind.h"
#include "GoldenModels.h"
#include "TextLines.h"

#include <QtTest>

using namespace kestrava;

Q_DECLARE_METATYPE(FileKind)

namespace {

QStringList rows(const QString &header, const QString &field, int count) {
    return QStringList{header} + QStringList(count, QStringList(16, field).join(u','));
}

QStringList golden(const char *name) {
    QStringList lines;
    LoadTextLines(test::GoldenPath(QLatin1String(name)), lines);
    return lines;
}

// "P2:160 A:1008 C3": the sections a read met and how many values each got to.
QString described(const TReadReport &found) {
    QStringList parts;
    for (int p = 0; p < PatchCount; ++p)
        if (found.patchSections.test(std::size_t(p)))
            parts << QStringLiteral("P%1:%2").arg(p + 1).arg(found.patchValues[std::size_t(p)]);
    if (found.attributeSection)
        parts << QStringLiteral("A:%1").arg(found.attributeValues);
    for (int c = 0; c < 4; ++c)
        if (found.curveSections.test(std::size_t(c)))
            parts << QStringLiteral("C%1").arg(c + 1);
    return parts.join(u' ');
}

} // namespace

// What a file read for a load reports it holds, and whether a load may use it.
class TestLoadFile : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void report_data() {
        QTest::addColumn<FileKind>("kind");
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<int>("curPatch");
        QTest::addColumn<QString>("found");
        QTest::addColumn<bool>("usable");
        using enum FileKind;
        const QStringList curve = QStringList{"[Curve2]", "Points=0,255"} + rows("Mode=1", "0", 16);
        QTest::newRow("patch 2, ten lines")
            << AllPatches << rows("[Patch2]", "0001", 10) << 0 << "P2:160" << true;
        QTest::newRow("a repeated header counts its longest run")
            << AllPatches << rows("[Patch3]", "____", 64) + rows("[Patch3]", "FULL", 2) << 0
            << "P3:1024" << true;
        QTest::newRow("[Patch*] is the current patch")
            << OnePatch << rows("[Patch*]", "____", 64) << 4 << "P5:1024" << true;
        QTest::newRow("[Patch*] without a current patch holds nothing")
            << OnePatch << QStringList{"[Patch*]"} << -1 << "" << false;
        QTest::newRow("all patches") << AllPatches << golden("all.pat") << 0
                                     << "P1:1024 P2:1024 P3:1024 P4:1024 P5:1024 P6:1024 "
                                        "P7:1024 P8:1024"
                                     << true;
        QTest::newRow("all data, a short attribute section")
            << AllData << rows("[Attribute]", "080", 63) << 0 << "A:1008" << true;
        QTest::newRow("all data, one curve") << AllData << curve << 0 << "C2" << true;
        QTest::newRow("attributes of an all-data file")
            << Attributes << golden("all.dat") << 0 << "A:1024" << true;
        QTest::newRow("attributes from a patch file")
            << Attributes << golden("all.pat") << 0 << "" << false;
        QTest::newRow("curves from an attribute file")
            << Curves << golden("attrs.atr") << 0 << "" << false;
        QTest::newRow("an empty [Attribute] section")
            << Attributes << QStringList{"[Attribute]"} << 0 << "A:0" << true;
        QTest::newRow("junk as curves")
            << Curves << QStringList{"PK\x03\x04", "\x7f,,"} << 0 << "" << false;
        QTest::newRow("empty all data") << AllData << QStringList{} << 0 << "" << false;
        QTest::newRow("a broken file holds what it read, but is no use")
            << AllPatches << rows("[Patch1]", "0001", 2) + QStringList{"[Patch9]"} << 0 << "P1:32"
            << false;
    }
    void report() {
        QFETCH(FileKind, kind);
        QFETCH(QStringList, lines);
        QFETCH(int, curPatch);
        QFETCH(QString, found);
        QFETCH(bool, usable);
        const TLoadFile f = ReadLoadLines(kind, lines, curPatch);
        QCOMPARE(described(f.read.found), found);
        QCOMPARE(f.Usable(), usable);
    }

    // Laid over memory, the file's values replace memory's and the rest stays.
    void layOverKeepsWhatTheFileLeaves() {
        test::DataModels m = test::GoldenModels();
        const test::DataModels before = m;
        const TLoadFile f = ReadLoadLines(FileKind::AllData, rows("[Patch2]", "0005", 1), 0);
        QVERIFY(f.LayOver(m.patches, m.attrs, m.curves));
        QCOMPARE(m.patches.Patches[1][0], 4);
        QCOMPARE(m.patches.Patches[1][16], before.patches.Patches[1][16]);
        QCOMPARE(m.patches.Patches[0], before.patches.Patches[0]);
        QCOMPARE(m.attrs.LoadAttrs, before.attrs.LoadAttrs);
    }
};

QTEST_GUILESS_MAIN(TestLoadFile)
#include "tst_loadfile.moc"
