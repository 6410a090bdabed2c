#include "AttrTransfer.h"
#include "CurveTransfer.h"
#include "PatchTransfer.h"
#include "WireCodes.h"

#include <QRegularExpression>
#include <QTest>

using namespace kestrava;

class TestWireCodes : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void patchCodesReceived_data() {
        QTest::addColumn<QString>("code");
        QTest::addColumn<int>("entry");
        QTest::newRow("000 is input 1") << "000" << 0;
        QTest::newRow("3FF is input 1024") << "3FF" << 1023;
        QTest::newRow("800 is FULL") << "800" << int(pvFull);
        QTest::newRow("8A0 is FULL") << "8A0" << int(pvFull);
        QTest::newRow("8FF is FULL") << "8FF" << int(pvFull);
        QTest::newRow("900 kept as it came") << "900" << 0x900;
        QTest::newRow("400 kept as it came") << "400" << 0x400;
        QTest::newRow("FFF not patched") << "FFF" << int(pvNone);
        QTest::newRow("zzz not patched") << "zzz" << int(pvNone);
        QTest::newRow("empty not patched") << "" << int(pvNone);
    }
    void patchCodesReceived() {
        QFETCH(QString, code);
        QFETCH(int, entry);
        QCOMPARE(PatchEntryFromCode(code), entry);
    }

    // Whatever a memory holds, the field sent is three digits the unit understands.
    void patchCodesSent_data() {
        QTest::addColumn<int>("entry");
        QTest::addColumn<QString>("code");
        QTest::newRow("input 1") << 0 << "000";
        QTest::newRow("input 12") << 11 << "00B";
        QTest::newRow("input 1024") << 1023 << "3FF";
        QTest::newRow("FULL") << int(pvFull) << "8FF";
        QTest::newRow("not patched") << int(pvNone) << "FFF";
        QTest::newRow("input 1025 from a file") << 1024 << "FFF";
        QTest::newRow("input 4096 from a file") << 4095 << "FFF";
        QTest::newRow("huge") << 99999999 << "FFF";
        QTest::newRow("other negative") << -7 << "FFF";
    }
    void patchCodesSent() {
        QFETCH(int, entry);
        QFETCH(QString, code);
        QCOMPARE(PatchEntryCode(entry), code);
    }

    void otherCodesSent_data() {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<int>("value");
        QTest::addColumn<QString>("code");
        QTest::newRow("attr Normal") << "attr" << 128 << "080";
        QTest::newRow("attr On/Off") << "attr" << 129 << "081";
        QTest::newRow("attr User 4") << "attr" << 3 << "003";
        QTest::newRow("attr unknown 4 -> Normal") << "attr" << 4 << "080";
        QTest::newRow("attr -1 -> Normal") << "attr" << -1 << "080";
        QTest::newRow("attr 5000 -> Normal") << "attr" << 5000 << "080";
        QTest::newRow("level 255") << "level" << 255 << "0FF";
        QTest::newRow("level -1 (not hex from the unit)") << "level" << -1 << "000";
        QTest::newRow("level 4095") << "level" << 4095 << "0FF";
        QTest::newRow("mode 2") << "mode" << 2 << "002";
        QTest::newRow("mode -1") << "mode" << -1 << "000";
        QTest::newRow("mode 7") << "mode" << 7 << "000";
    }
    void otherCodesSent() {
        QFETCH(QString, kind);
        QFETCH(int, value);
        QFETCH(QString, code);
        const QString got = kind == "attr"    ? LoadAttrCode(value)
                            : kind == "level" ? CurveLevelCode(value)
                                              : CurveModeCode(value);
        QCOMPARE(got, code);
    }

    void blockCommandsAreWellFormed() {
        const QRegularExpression block(QStringLiteral("^S[0-9A-F]{51}\r$"));
        TPatch patch;
        patch.fill(pvNone);
        patch[0] = 11;
        patch[1] = pvFull;
        patch[2] = 5000;
        QCOMPARE(PatchBlockCommand(patch, 0),
                 QStringLiteral("S400") + "00B8FFFFF" + QString("FFF").repeated(13) + "\r");
        QCOMPARE(PatchBlockCommand(patch, 63).left(4), QStringLiteral("S43F"));

        TLoadAttrs attrs;
        attrs.fill(laNormal);
        attrs[16] = 2;
        attrs[17] = 0x7FFF;
        const QString a = LoadAttrBlockCommand(attrs, 1);
        QVERIFY(block.match(a).hasMatch());
        QCOMPARE(a, QStringLiteral("S501002080") + QString("080").repeated(14) + "\r");

        TCurveSet curves;
        curves.Curves[1].Table[0] = -1;
        curves.Curves[1].Table[1] = 1000;
        const QString t = CurveTableBlockCommand(curves, 16);
        QVERIFY(block.match(t).hasMatch());
        QVERIFY(t.startsWith(QStringLiteral("S6100000FF")));
    }

    void pointBlocks_data() {
        QTest::addColumn<QList<int>>("inputs");
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>("command");
        QTest::newRow("end points only")
            << QList<int>{0, 255} << 1 << "S641001" + QString("000").repeated(15) + "\r";
        QTest::newRow("10 and 200") << QList<int>{0, 10, 200, 255} << 2
                                    << "S64100200A0C8" + QString("000").repeated(13) + "\r";
        QList<int> many{0};
        for (int x = 1; x <= 17; ++x)
            many.append(x * 10);
        many.append(255);
        QString fifteen;
        for (int x = 1; x <= 15; ++x)
            fifteen += QStringLiteral("%1").arg(x * 10, 3, 16, QLatin1Char('0')).toUpper();
        QTest::newRow("more than 15 interior points: the first 15")
            << many << 2 << "S641002" + fifteen + "\r";
        QTest::newRow("inputs outside the table skipped")
            << QList<int>{-5, 0, 40, 255, 300} << -1
            << "S641000028" + QString("000").repeated(14) + "\r";
    }
    void pointBlocks() {
        QFETCH(QList<int>, inputs);
        QFETCH(int, mode);
        QFETCH(QString, command);
        TUserCurve curve;
        curve.Points.Clear();
        for (int x : inputs) {
            TCurvePoint p;
            p.X = x;
            curve.Points.Add(p);
        }
        curve.Mode = mode;
        QCOMPARE(CurvePointBlockCommand(curve, 1), command);
    }
};

QTEST_GUILESS_MAIN(TestWireCodes)
#include "tst_wirecodes.moc"
