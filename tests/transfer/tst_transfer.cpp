#include "AttrTransfer.h"
#include "CurveTransfer.h"
#include "DataFileKind.h"
#include "DataTransfer.h"
#include "OutputCheck.h"
#include "PatchTransfer.h"
#include "TransferRig.h"
#include "WireCodes.h"

#include <QRegularExpression>

using namespace kestrava;
using kestrava::test::TransferRig;

namespace {

QString block48(std::initializer_list<const char *> codes, const char *rest) {
    QString s;
    for (const char *c : codes)
        s += QLatin1String(c);
    while (s.size() < 48)
        s += QLatin1String(rest);
    return s;
}

// Every request the unit was sent is one the unit can parse.
void verifyWellFormed(const QStringList &log) {
    static const QRegularExpression ok(QStringLiteral(
        "^(|R00[012]|Q[0-9A-F]{3}|S[0-9A-F]{6}|S[0-9A-F]{51}|P00[0-7]|W[PAC]|C|T|O[0-9A-F]{3})$"));
    for (const QString &r : log)
        QVERIFY2(ok.match(r).hasMatch(), qPrintable(QStringLiteral("malformed: ") + r));
}

} // namespace

class TestTransfer : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void fetchDecodesEntryCodes() {
        TransferRig r;
        QVERIFY(r.ready());
        r.sim.setReplyOverride(
            QStringLiteral("Q000"),
            (block48({"8A0", "8FF", "3FF", "FFF", "zzz", "00B"}, "FFF") + "\r").toLatin1());
        TPatchModel m;
        m.CurPatch = 0;
        m.PatchChanged = true;
        m.PushUndo();
        QVERIFY(FetchCurrentPatch(r.env, m));
        const TPatch &p = m.Patches[0];
        QCOMPARE(p[0], pvFull);
        QCOMPARE(p[1], pvFull);
        QCOMPARE(p[2], 1023);
        QCOMPARE(p[3], pvNone);
        QCOMPARE(p[4], pvNone);
        QCOMPARE(p[5], 11);
        QCOMPARE(p[16], 16); // the simulator's patch 1 is one-to-one
        QCOMPARE(p[1023], 1023);
        QVERIFY(m.PatchInSync[0]);
        QVERIFY(!m.PatchChanged);
        QVERIFY(m.UndoList.IsEmpty());
        QCOMPARE(r.progress.starts, QStringList{QStringLiteral("パッチデータ1 取得中")});
        QCOMPARE(r.progress.finishes, QStringList{QString()});
        QCOMPARE(r.progress.fractions.size(), 64);
        QCOMPARE(r.progress.fractions.last(), 63.0 / 64);
        QVERIFY(!r.link.Transferring);
        QVERIFY(r.boxes.boxes().isEmpty());
        const QStringList log = r.sim.requestLog();
        QCOMPARE(log.size(), 64);
        QCOMPARE(log.first(), QStringLiteral("Q000"));
        QCOMPARE(log.last(), QStringLiteral("Q03F"));
    }

    void fetchesInSyncSendNothing() {
        TransferRig r;
        TPatchModel m;
        m.PatchInSync[0] = true;
        TLoadAttrModel a;
        a.LdAtrInSync = true;
        a.LdAtrChanged = true;
        TCurveSet c;
        c.CurvesInSync = true;
        QVERIFY(FetchCurrentPatch(r.env, m));
        QVERIFY(FetchLoadAttrs(r.env, a));
        QVERIFY(!a.LdAtrChanged); // cleared even when nothing was fetched
        QVERIFY(FetchCurves(r.env, c));
        QVERIFY(r.sim.requestLog().isEmpty());
        QVERIFY(r.progress.starts.isEmpty());
    }

    void fetchesDoNothingOffline_data() {
        QTest::addColumn<bool>("editMode");
        QTest::addColumn<bool>("linked");
        QTest::newRow("edit mode") << true << false;
        QTest::newRow("edit mode, linked flag") << true << true;
        QTest::newRow("not linked") << false << false;
    }
    void fetchesDoNothingOffline() {
        QFETCH(bool, editMode);
        QFETCH(bool, linked);
        TransferRig r;
        r.link.EditMode = editMode;
        r.link.Linked = linked;
        TPatchModel m;
        TLoadAttrModel a;
        a.LdAtrChanged = true;
        TCurveSet c;
        QVERIFY(!FetchCurrentPatch(r.env, m));
        QVERIFY(!FetchLoadAttrs(r.env, a));
        QVERIFY(a.LdAtrChanged); // left as it was
        QVERIFY(!FetchCurves(r.env, c));
        QVERIFY(r.sim.requestLog().isEmpty());
    }

    void attributeCodes() {
        TransferRig r;
        r.sim.setReplyOverride(
            QStringLiteral("Q503"),
            (block48({"080", "081", "000", "001", "002", "003", "zzz"}, "080") + "\r").toLatin1());
        TLoadAttrModel a;
        a.LoadAttrs.fill(1);
        QVERIFY(FetchLoadAttrs(r.env, a));
        const int expected[] = {laNormal, laOnOff, 0, 1, 2, 3, laNormal, laNormal};
        for (int k = 0; k < 8; ++k)
            QCOMPARE(a.LoadAttrs[48 + k], expected[k]);
        QCOMPARE(a.LoadAttrs[1023], laNormal);
        QVERIFY(a.LdAtrInSync);
        QCOMPARE(r.progress.starts, QStringList{QStringLiteral("負荷属性取得中")});
        QCOMPARE(r.sim.requestLog().first(), QStringLiteral("Q500"));
        QCOMPARE(r.sim.requestLog().size(), 64);
    }

    void wrongLengthStopsTheFetchAtItsBlock_data() {
        QTest::addColumn<int>("length");
        QTest::newRow("47") << 47;
        QTest::newRow("49") << 49;
        QTest::newRow("3") << 3;
    }
    void wrongLengthStopsTheFetchAtItsBlock() {
        QFETCH(int, length);
        TransferRig r;
        r.sim.setReplyOverride(QStringLiteral("Q512"), QByteArray(length, '0') + '\r');
        TLoadAttrModel a;
        a.LoadAttrs.fill(2);
        a.LdAtrChanged = true;
        QVERIFY(!FetchLoadAttrs(r.env, a));
        for (int o = 0; o < 288; ++o)
            QCOMPARE(a.LoadAttrs[o], laNormal);
        for (int o = 288; o < 1024; ++o)
            QCOMPARE(a.LoadAttrs[o], 2);
        QVERIFY(!a.LdAtrInSync);
        QVERIFY(!a.LdAtrChanged);
        QCOMPARE(r.boxes.texts(), QStringList{QStringLiteral("取得に失敗しました")});
        QCOMPARE(r.sim.requestLog().last(), QStringLiteral("Q512"));
        QCOMPARE(r.progress.open, 0);
        QVERIFY(!r.link.Transferring);
    }

    void attributeWriteAndCommit() {
        TransferRig r;
        TLoadAttrModel a;
        a.LoadAttrs[1023] = 3;
        a.LdAtrChanged = true;
        QVERIFY(WriteLoadAttrs(r.env, a));
        const QStringList log = r.sim.requestLog();
        QCOMPARE(log.size(), 65);
        QCOMPARE(log[0], QStringLiteral("S500") + QString("080").repeated(16));
        QCOMPARE(log[63], QStringLiteral("S53F") + QString("080").repeated(15) + "003");
        QCOMPARE(log[64], QStringLiteral("WA"));
        QVERIFY(a.LdAtrInSync);
        QVERIFY(!a.LdAtrChanged);
        QCOMPARE(r.sim.storedMemory().attributes[1023], 3);
        QCOMPARE(r.sim.storeCount(QStringLiteral("WA")), 1);
    }

    void sendAllPatches() {
        TransferRig r;
        TPatchModel m;
        m.CurPatch = 2;
        for (int p = 0; p < PatchCount; ++p)
            for (int o = 0; o < OutputCount; ++o)
                m.Patches[p][o] = (o + p) % 3 == 0 ? pvFull : (o * 7 + p) % 1024;
        QVERIFY(SendAllPatches(r.env, m));
        QCOMPARE(r.progress.starts, QStringList{QStringLiteral("全パッチデータ転送中")});
        QCOMPARE(r.progress.fractions.size(), 512);
        QCOMPARE(r.progress.fractions.first(), 0.0);
        QCOMPARE(r.progress.fractions.last(), 511.0 / 512); // never 1 before the end
        for (bool s : m.PatchInSync)
            QVERIFY(s);
        const QStringList log = r.sim.requestLog();
        QCOMPARE(log.size(), 8 * 66 + 1);
        QCOMPARE(log[0], QStringLiteral("P000"));
        QCOMPARE(log[65], QStringLiteral("WP"));
        QCOMPARE(log.last(), QStringLiteral("P002"));
        QCOMPARE(r.sim.currentPatch(), 2);
        const sim::UnitMemory stored = r.sim.storedMemory();
        for (int p = 0; p < PatchCount; ++p)
            for (int o = 0; o < OutputCount; ++o)
                QCOMPARE(stored.patches[p][o], PatchEntryCode(m.Patches[p][o]).toInt(nullptr, 16));
        verifyWellFormed(log);
    }

    void fetchAllPatchesLeavesTheUnitOnItsPatch_data() {
        QTest::addColumn<int>("current");
        QTest::newRow("patch 3") << 2;
        QTest::newRow("no patch reported") << -1;
    }
    void fetchAllPatchesLeavesTheUnitOnItsPatch() {
        QFETCH(int, current);
        TransferRig r;
        sim::UnitMemory mem = sim::UnitMemory::factoryDefault();
        for (int p = 0; p < 8; ++p)
            mem.patches[p][5] = p;
        r.sim.setMemory(mem);
        TPatchModel m;
        m.CurPatch = current;
        m.PatchInSync[4] = true; // already in sync: not fetched again
        QVERIFY(FetchAllPatches(r.env, m));
        QCOMPARE(m.CurPatch, current);
        for (int p = 0; p < 8; ++p)
            QCOMPARE(m.Patches[p][5], p == 4 ? pvNone : p);
        const QStringList log = r.sim.requestLog();
        QCOMPARE(log.first(), QStringLiteral("R002"));
        QCOMPARE(log.last(), QStringLiteral("R001"));
        QCOMPARE(log.count(QStringLiteral("Q000")), 7);
        QVERIFY(!log.contains(QStringLiteral("P004")));
        if (current >= 0)
            QCOMPARE(log[log.size() - 2], QStringLiteral("P002"));
        verifyWellFormed(log);
        QVERIFY(r.boxes.boxes().isEmpty());
    }

    void pointBlocksFetched() {
        TransferRig r;
        sim::UnitMemory mem = sim::UnitMemory::factoryDefault();
        for (int i = 0; i < 256; ++i)
            mem.curveTables[1][i] = 255 - i;
        mem.pointBlocks[1] = {2, 0x40, 0xC0, 0, 0x77, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
        for (int s = 1; s < 16; ++s)
            mem.pointBlocks[2][s] = s * 16;
        mem.pointBlocks[2][0] = 1;
        mem.pointBlocks[3] = {1, 0x40, 0x40, 0xFF, 0x20, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
        r.sim.setMemory(mem);
        TCurveSet c;
        c.CurveChanged = true;
        QVERIFY(FetchCurves(r.env, c));
        QVERIFY(c.CurvesInSync);
        const TUserCurve &two = c.Curves[1];
        QCOMPARE(two.Mode, 2);
        QCOMPARE(two.Points.Count(), 4); // 0, 64, 192, 255; the 077 after the end mark is not read
        const int xs[] = {0, 64, 192, 255};
        for (int i = 0; i < 4; ++i) {
            QCOMPARE(two.Points[i].X, xs[i]);
            QCOMPARE(two.Points[i].Y, 255 - two.Table[xs[i]]);
        }
        QCOMPARE(two.Table[0], 255);
        QCOMPARE(c.Curves[2].Points.Count(), 17); // 15 slots in use
        // repeated inputs and the end point are dropped: the spline needs distinct inputs
        QCOMPARE(c.Curves[3].Points.Count(), 4);
        QCOMPARE(c.Curves[3].Points[1].X, 32);
        QCOMPARE(c.Curves[3].Points[2].X, 64);
        QCOMPARE(r.progress.fractions.last(), 63.0 / 65);
        QCOMPARE(r.sim.requestLog().size(), 68);
        QCOMPARE(r.sim.requestLog().last(), QStringLiteral("Q643"));
    }

    void curvesWritten() {
        TransferRig r;
        TCurveSet c;
        c.Curves[0].Mode = 2;
        c.Curves[0].AddPoint(10);
        c.Curves[0].AddPoint(200);
        c.Curves[3].Table[255] = 100;
        QVERIFY(WriteCurves(r.env, c));
        const QStringList log = r.sim.requestLog();
        QCOMPARE(log.size(), 69);
        QCOMPARE(log[64], QStringLiteral("S64000200A0C8") + QString("000").repeated(13));
        QCOMPARE(log[65], QStringLiteral("S641000") + QString("000").repeated(15));
        QCOMPARE(log[68], QStringLiteral("WC"));
        QCOMPARE(r.sim.storedMemory().curveTables[3][255], 100);
        QCOMPARE(r.sim.storedMemory().pointBlocks[0][2], 200);
        QVERIFY(c.CurvesInSync);
        QCOMPARE(r.progress.fractions.last(), 63.0 / 64);

        // and back: the same points and tables
        TCurveSet back;
        QVERIFY(FetchCurves(r.env, back));
        QCOMPARE(back.Curves[0].Mode, 2);
        QCOMPARE(back.Curves[0].Points.Count(), 4);
        QCOMPARE(back.Curves[0].Points[1].X, 10);
        QCOMPARE(back.Curves[0].Table, c.Curves[0].Table);
        QCOMPARE(back.Curves[3].Table[255], 100);
    }

    void patchEntriesAndWholePatchCommands() {
        TransferRig r;
        TPatchModel m;
        m.CurPatch = 0;
        QVERIFY(SetPatchEntry(r.env, m, 4, 11));
        QVERIFY(SetPatchEntry(r.env, m, 5, pvFull));
        QVERIFY(SetPatchEntry(r.env, m, 6, pvNone));
        QVERIFY(!SetPatchEntry(r.env, m, 1024, 1)); // no such output: nothing sent
        QCOMPARE(r.sim.requestLog(), (QStringList{"S00400B", "S0058FF", "S006FFF"}));
        QCOMPARE(r.sim.memory().patches[0][4], 11);
        QCOMPARE(r.sim.memory().patches[0][5], 0x8FF);

        r.sim.clearLog();
        QVERIFY(ClearOrThroughCurrentPatch(r.env, m, true));
        QCOMPARE(m.Patches[0][700], 700);
        QVERIFY(!m.PatchChanged); // the unit did it
        QCOMPARE(m.UndoList.Count(), 1);
        QVERIFY(ClearOrThroughCurrentPatch(r.env, m, false));
        QCOMPARE(m.Patches[0][700], pvNone);
        QCOMPARE(r.sim.requestLog(), (QStringList{"T", "C"}));

        m.PatchChanged = true;
        QVERIFY(WritePatch(r.env, m));
        QVERIFY(!m.PatchChanged);
        QVERIFY(m.UndoList.IsEmpty());
        QCOMPARE(r.sim.storeCount(QStringLiteral("WP")), 1);
    }

    void editModeSendsNothing() {
        TransferRig r;
        r.link.EditMode = true;
        r.link.Linked = false;
        TPatchModel m;
        m.CurPatch = 3;
        QVERIFY(SetPatchEntry(r.env, m, 0, 5));
        QVERIFY(ClearOrThroughCurrentPatch(r.env, m, true));
        QVERIFY(m.PatchChanged);
        QCOMPARE(m.Patches[3][1023], 1023); // every output, whatever MaxTxChannel is
        QVERIFY(ClearAllPatches(r.env, m));
        QCOMPARE(r.boxes.texts(), QStringList{QStringLiteral("全てのパッチがクリアされました")});
        QVERIFY(r.sim.requestLog().isEmpty());
        QCOMPARE(m.Patches[3][1023], pvNone);
    }

    void clearAllOnTheUnit() {
        TransferRig r;
        TPatchModel m;
        m.Patches[6].fill(3);
        QVERIFY(ClearAllPatches(r.env, m));
        QStringList expected;
        for (int p = 0; p < 8; ++p)
            expected << QStringLiteral("P00%1").arg(p) << QStringLiteral("C");
        QCOMPARE(r.sim.requestLog(), expected);
        QCOMPARE(m.Patches[6][0], pvNone);
        QCOMPARE(r.progress.fractions.last(), 1.0);
        QCOMPARE(r.progress.starts, QStringList{QStringLiteral("全パッチクリア中")});
    }

    void loadedDataTransfers() {
        TransferRig r;
        TPatchModel m;
        m.CurPatch = 1;
        m.Patches[1][0] = 99;
        TLoadAttrModel a;
        a.LoadAttrs[0] = laOnOff;
        TCurveSet c;
        c.Curves[2].Table[10] = 0;
        QVERIFY(TransferLoadedAllData(r.env, m, a, c));
        QCOMPARE(r.boxes.texts(), QStringList{QStringLiteral("転送・書込が完了しました")});
        const QStringList log = r.sim.requestLog();
        QCOMPARE(log.first(), QStringLiteral("R002"));
        QCOMPARE(log.last(), QStringLiteral("R001"));
        QVERIFY(log.indexOf(QStringLiteral("WA")) > log.lastIndexOf(QStringLiteral("P001")));
        QVERIFY(log.indexOf(QStringLiteral("WC")) > log.indexOf(QStringLiteral("WA")));
        const sim::UnitMemory stored = r.sim.storedMemory();
        QCOMPARE(stored.patches[1][0], 99);
        QCOMPARE(stored.attributes[0], laOnOff);
        QCOMPARE(stored.curveTables[2][10], 0);
        QCOMPARE(r.sim.currentPatch(), 1);
        QVERIFY(!r.link.Transferring);

        // one patch: the file's section over the current memory only
        r.sim.clearLog();
        r.boxes.clear();
        m.PatchChanged = true;
        m.PushUndo();
        QStringList lines{QStringLiteral("[Patch*]"),
                          QStringLiteral("0001,FULL") + QStringLiteral(",____").repeated(14)};
        const TLoadFile one = ReadLoadLines(FileKind::OnePatch, lines, m.CurPatch);
        QVERIFY(TransferLoadedCurrentPatch(r.env, m, one));
        QCOMPARE(r.boxes.texts(), QStringList{QStringLiteral("読込・転送が完了しました")});
        QCOMPARE(r.sim.requestLog().size(), 1 + 64 + 1 + 1);
        QCOMPARE(r.sim.requestLog()[65], QStringLiteral("WP"));
        QCOMPARE(r.sim.storedMemory().patches[1][1], 0x8FF);
        QCOMPARE(r.sim.storedMemory().patches[1][16], 0xFFF); // memory beyond the file's values
        QCOMPARE(m.Patches[1][0], 0);
        QVERIFY(m.PatchInSync[1]);
        QVERIFY(!m.PatchChanged);
        QVERIFY(m.UndoList.IsEmpty());
        QCOMPARE(r.progress.starts.last(), QStringLiteral("パッチデータ転送中"));
        QCOMPARE(r.progress.open, 0);

        r.sim.clearLog();
        r.boxes.clear();
        lines[0] = QStringLiteral("[Patch2]");
        QVERIFY(TransferLoadedPatches(r.env, m, ReadLoadLines(FileKind::AllPatches, lines, 1)));
        QCOMPARE(r.boxes.texts(), QStringList{QStringLiteral("読込・転送が完了しました")});
        QCOMPARE(r.sim.requestLog().first(), QStringLiteral("R002"));
        QCOMPARE(r.sim.requestLog().last(), QStringLiteral("R001"));
    }

    void outputCheck_data() {
        QTest::addColumn<QString>("verb");
        QTest::addColumn<int>("value");
        QTest::addColumn<QString>("request"); // as the unit logs it; "" when nothing is sent
        QTest::addColumn<int>("checkOutput");
        QTest::addColumn<int>("checkLevel");
        QTest::newRow("output 1") << "output" << 0 << "O000" << 0 << 0xFF;
        QTest::newRow("output 1024") << "output" << 1023 << "O3FF" << 1023 << 0xFF;
        QTest::newRow("output 1025 is not sent") << "output" << 1024 << "" << -1 << 0xFF;
        QTest::newRow("level 5") << "level" << 5 << "O805" << -1 << 5;
        QTest::newRow("level above 255") << "level" << 300 << "O8FF" << -1 << 0xFF;
        QTest::newRow("level below 0") << "level" << -4 << "O800" << -1 << 0;
        QTest::newRow("off") << "off" << 0 << "OFFF" << -1 << 0xFF;
    }
    void outputCheck() {
        QFETCH(QString, verb);
        QFETCH(int, value);
        QFETCH(QString, request);
        QFETCH(int, checkOutput);
        QFETCH(int, checkLevel);
        TransferRig r;
        QVERIFY(r.ready());
        if (verb == "off") {
            QVERIFY(SendCheckOutput(r.link, 7));
            r.sim.clearLog();
        }
        const bool sent = verb == "output"  ? SendCheckOutput(r.link, value)
                          : verb == "level" ? SendCheckLevel(r.link, value)
                                            : SendCheckOff(r.link);
        QCOMPARE(sent, !request.isEmpty());
        QCOMPARE(r.sim.requestLog(), request.isEmpty() ? QStringList{} : QStringList{request});
        QCOMPARE(r.sim.checkOutput(), checkOutput);
        QCOMPARE(r.sim.checkLevel(), checkLevel);
        QVERIFY(r.boxes.boxes().isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestTransfer)
#include "tst_transfer.moc"
