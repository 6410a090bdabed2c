#include "Abort.h"
#include "ChannelNotation.h"
#include "LoadAttrModel.h"
#include "PatchModel.h"

#include <QtTest>

using namespace kestrava;

class TestPatchModel : public QObject {
    Q_OBJECT

private slots:
    void channelText_data();
    void channelText();
    void parseChannel_data();
    void parseChannel();
    void parseChannelList_data();
    void parseChannelList();
    void throughAndClear();
    void nthOutputOf_data();
    void nthOutputOf();
    void rowValue_data();
    void rowValue();
    void undoKeepsFortyNewest();
    void undoWithoutCurrentPatch();
    void loadAttrMaps_data();
    void loadAttrMaps();
};

void TestPatchModel::channelText_data() {
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("plain");
    QTest::addColumn<QString>("ab");
    QTest::newRow("none") << -1 << ""
                          << "";
    QTest::newRow("full code") << -2 << ""
                               << "";
    QTest::newRow("first") << 0 << "1"
                           << "A001";
    QTest::newRow("A end") << 511 << "512"
                           << "A512";
    QTest::newRow("B start") << 512 << "513"
                             << "B001";
    QTest::newRow("last") << 1023 << "1024"
                          << "B512";
    QTest::newRow("H end") << 4095 << "4096"
                           << "H512";
}

void TestPatchModel::channelText() {
    QFETCH(int, index);
    QFETCH(QString, plain);
    QFETCH(QString, ab);
    QCOMPARE(ChannelText(index, false), plain);
    QCOMPARE(ChannelText(index, true), ab);
    QCOMPARE(ChannelText(INT_MAX, false), QStringLiteral("2147483648")); // no overflow
    for (int i = 0; i < 4096; ++i) {                                     // both notations read back
        QCOMPARE(ParseChannel(ChannelText(i, false)), i);
        QCOMPARE(ParseChannel(ChannelText(i, true)), i);
    }
}

void TestPatchModel::parseChannel_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("index");
    QTest::newRow("b12") << "b12" << 523;
    QTest::newRow("A512") << "A512" << 511;
    QTest::newRow("H512") << "H512" << 4095;
    QTest::newRow("A0012") << "A0012" << 11;
    QTest::newRow("plain") << "12" << 11;
    QTest::newRow("plain beyond 1024") << "5000" << 4999;
    QTest::newRow("A513") << "A513" << -1;
    QTest::newRow("A000") << "A000" << -1;
    QTest::newRow("A") << "A" << -1;
    QTest::newRow("B-5") << "B-5" << -1;
    QTest::newRow("zero") << "0" << -1;
    QTest::newRow("negative") << "-3" << -1;
    QTest::newRow("empty") << "" << -1;
    QTest::newRow("I is no line") << "I1" << -1;
    QTest::newRow("digits then text") << "12x" << -1;
    QTest::newRow("too big for 32 bits") << "99999999999" << -1;
    QTest::newRow("A huge") << "A99999999999" << -1;
}

void TestPatchModel::parseChannel() {
    QFETCH(QString, text);
    QFETCH(int, index);
    QCOMPARE(ParseChannel(text), index);
}

void TestPatchModel::parseChannelList_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QList<int>>("channels");
    QTest::addColumn<bool>("aborts");
    QTest::newRow("range and A/B") << "1-3,A010" << QList<int>{1, 2, 3, 10} << false;
    QTest::newRow("duplicates kept") << "5,5" << QList<int>{5, 5} << false;
    QTest::newRow("only commas") << ",," << QList<int>{} << false;
    QTest::newRow("order kept") << "9,b1,2" << QList<int>{9, 513, 2} << false;
    QTest::newRow("one-element range") << "7-7" << QList<int>{7} << false;
    QTest::newRow("across lines") << "A511-B002" << QList<int>{511, 512, 513, 514} << false;
    QTest::newRow("to the top") << "H511-H512" << QList<int>{4095, 4096} << false;
    QTest::newRow("single beyond") << "5000" << QList<int>{5000} << false;
    QTest::newRow("reversed") << "3-1" << QList<int>{} << true;
    QTest::newRow("bad item") << "1,x" << QList<int>{} << true;
    QTest::newRow("open range") << "3-" << QList<int>{} << true;
    QTest::newRow("extra dash") << "1-2-3" << QList<int>{} << true;
    // A typed range may not expand into more channels than the notation can name.
    QTest::newRow("range past H512") << "1-4097" << QList<int>{} << true;
    QTest::newRow("huge range") << "1-2000000000" << QList<int>{} << true;
}

void TestPatchModel::parseChannelList() {
    QFETCH(QString, text);
    QFETCH(QList<int>, channels);
    QFETCH(bool, aborts);
    try {
        QCOMPARE(ParseChannelList(text), channels);
        QVERIFY(!aborts);
    } catch (const std::exception &e) { // the one abort type, catchable as a std::exception
        QVERIFY(aborts);
        const auto *abort = dynamic_cast<const EAbort *>(&e);
        QVERIFY(abort && !abort->hasOwnMessage());
        QCOMPARE(abort->message(), QStringLiteral("Abort による中断"));
        QCOMPARE(QString::fromUtf8(e.what()), QStringLiteral("Abort による中断"));
    }
}

void TestPatchModel::throughAndClear() {
    TPatchModel m;
    m.MaxRxChannel = 512;
    m.Patches[1][4] = 3;
    m.ThroughPatch(2);
    for (int o = 0; o < 1024; ++o)
        QCOMPARE(m.Patches[2][o], o); // whatever the inputs in use
    QCOMPARE(m.Patches[1][4], 3);
    const TPatches before = m.Patches;
    m.ClearPatch(8);
    m.ThroughPatch(-1);
    QCOMPARE(m.Patches, before);
    m.PatchInSync[3] = m.PatchChanged = true;
    m.ResetAllPatches();
    QCOMPARE(m.Patches, TPatchModel().Patches);
    QVERIFY(!m.PatchInSync[3] && !m.PatchChanged);
}

void TestPatchModel::nthOutputOf_data() {
    QTest::addColumn<QList<int>>("outputs"); // outputs of patch 1 that hold the value
    QTest::addColumn<int>("value");
    QTest::addColumn<int>("n");
    QTest::addColumn<int>("curPatch");
    QTest::addColumn<int>("expected");
    const QList<int> three{10, 3, 700};
    QTest::newRow("second of three") << three << 4 << 2 << 0 << 10;
    QTest::newRow("third") << three << 4 << 3 << 0 << 700;
    QTest::newRow("fourth of three") << three << 4 << 4 << 0 << -1;
    QTest::newRow("only one") << QList<int>{10} << 4 << 2 << 0 << -1;
    QTest::newRow("n zero") << three << 4 << 0 << 0 << -1;
    QTest::newRow("no current patch") << three << 4 << 1 << -1 << -1;
    QTest::newRow("stray current patch") << three << 4 << 1 << 8 << -1;
    QTest::newRow("full") << QList<int>{1023, 5} << int(pvFull) << 2 << 0 << 1023;
    QTest::newRow("none counts too") << QList<int>{} << int(pvNone) << 1024 << 0 << 1023;
}

void TestPatchModel::nthOutputOf() {
    QFETCH(QList<int>, outputs);
    QFETCH(int, value);
    QFETCH(int, n);
    QFETCH(int, curPatch);
    QFETCH(int, expected);
    TPatchModel m;
    for (int o : outputs)
        m.Patches[0][o] = value;
    m.CurPatch = curPatch;
    QCOMPARE(m.NthOutputOf(value, n), expected);
}

void TestPatchModel::rowValue_data() {
    QTest::addColumn<int>("maxRx");
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("value");
    QTest::newRow("first input") << 512 << 1 << 0;
    QTest::newRow("last input") << 512 << 512 << 511;
    QTest::newRow("full row") << 512 << 513 << int(pvFull);
    QTest::newRow("none row") << 512 << 514 << int(pvNone);
    QTest::newRow("past the rows") << 512 << 515 << int(pvNoRow);
    QTest::newRow("header row") << 512 << 0 << int(pvNoRow);
    QTest::newRow("one input, none") << 1 << 3 << int(pvNone);
}

void TestPatchModel::rowValue() {
    QFETCH(int, maxRx);
    QFETCH(int, row);
    QFETCH(int, value);
    TPatchModel m;
    m.MaxRxChannel = maxRx;
    QCOMPARE(m.RowValue(row), value);
    QCOMPARE(m.NthOutputOf(pvNoRow, 1), -1);
}

void TestPatchModel::undoKeepsFortyNewest() {
    TPatchModel m;
    m.CurPatch = 2;
    for (int k = 0; k < 41; ++k) {
        m.Patches[2][0] = k; // snapshot k holds k at output 1
        m.PushUndo();
    }
    QCOMPARE(m.UndoList.Count(), 40);
    QCOMPARE(m.UndoList.At(39)[0], 1); // push 0 is gone
    m.Patches[2][0] = 99;
    for (int k = 40; k >= 1; --k) {
        QVERIFY(m.PopUndo());
        QCOMPARE(m.Patches[2][0], k);
    }
    QVERIFY(!m.PopUndo());
    QCOMPARE(m.Patches[2][0], 1);
    for (int k = 2; k <= 40; ++k) {
        QVERIFY(m.PopRedo());
        QCOMPARE(m.Patches[2][0], k);
    }
    QVERIFY(m.PopRedo());
    QCOMPARE(m.Patches[2][0], 99);
    QVERIFY(!m.PopRedo());
    QVERIFY(m.PopUndo());
    m.PushUndo(); // a new edit: nothing left to redo
    QVERIFY(!m.PopRedo());
    QCOMPARE(m.UndoList.Count(), 40);
}

void TestPatchModel::undoWithoutCurrentPatch() {
    TPatchModel m;
    m.Patches[0][5] = 1;
    m.PushUndo();
    m.Patches[0][5] = 2;
    for (int none : {-1, 9}) { // a stray value counts as none
        m.CurPatch = none;
        m.PushUndo();
        QVERIFY(!m.PopUndo());
        QCOMPARE(m.UndoList.Count(), 1);
    }
    m.CurPatch = 0;
    QVERIFY(m.PopUndo());
    QCOMPARE(m.Patches[0][5], 1);
    QCOMPARE(m.RedoList.Count(), 1);
    m.PushUndo();
    m.ClearUndo();
    QVERIFY(m.UndoList.IsEmpty() && m.RedoList.IsEmpty());
}

void TestPatchModel::loadAttrMaps_data() {
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("index"); // selector item, -1 for none
    QTest::newRow("normal") << 128 << "Normal" << 0;
    QTest::newRow("on/off") << 129 << "On/Off" << 1;
    QTest::newRow("user 1") << 0 << "User 1" << 2;
    QTest::newRow("user 4") << 3 << "User 4" << 5;
    // Codes a faulty unit can send: shown, but the selector has no item for them (code -1
    // used to select "On/Off").
    QTest::newRow("stray 4") << 4 << "User 5" << -1;
    QTest::newRow("stray 130") << 130 << "User 131" << -1;
    QTest::newRow("no number") << -1 << "User 0" << -1;
    QTest::newRow("stray -2") << -2 << "User -1" << -1;
    QTest::newRow("int max") << INT_MAX << "User 2147483648" << -1;
}

void TestPatchModel::loadAttrMaps() {
    QFETCH(int, code);
    QFETCH(QString, text);
    QFETCH(int, index);
    QCOMPARE(LoadAttrText(code), text);
    QCOMPARE(IsValidLoadAttr(code), index >= 0);
    QCOMPARE(LoadAttrToIndex(code), index);
    const QStringList items = LoadAttrSelectorItems();
    QCOMPARE(items, (QStringList{"Normal", "On/Off", "User 1", "User 2", "User 3", "User 4"}));
    if (index >= 0) {
        QCOMPARE(IndexToLoadAttr(index), std::optional<LoadAttr>(code));
        QCOMPARE(items[index], text);
    }
    QVERIFY(!IndexToLoadAttr(-1) && !IndexToLoadAttr(6));
}

QTEST_GUILESS_MAIN(TestPatchModel)
#include "tst_patchmodel.moc"
