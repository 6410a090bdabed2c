#include "PatchEditor.h"
#include "RecordingProgress.h"
#include "ScriptedResponder.h"
#include "UnitSim.h"

#include <QTest>

using namespace kestrava;

namespace {

// The table as the commands see it, recording what they ask of it.
struct FakeView : IPatchView {
    int mode = 0;
    std::array<bool, 1024> selected{};
    int anchor = 0;
    int currentOutput = -1;
    int currentRow = 1;
    QList<int> moves, refreshes;
    int TableMode() const override { return mode; }
    QList<int> SelectedOutputs() const override {
        QList<int> l;
        for (int o = 0; o < 1024; ++o)
            if (selected[std::size_t(o)])
                l.append(o);
        return l;
    }
    void Deselect(int o) override { selected[std::size_t(o)] = false; }
    void DropSelection() override {
        selected.fill(false);
        anchor = -1;
    }
    int CurrentCellOutput() const override { return currentOutput; }
    int CurrentRow() const override { return currentRow; }
    void SetCurrentRow(int row) override { currentRow = row; }
    void MoveCursorToOutput(int o) override { moves.append(o); }
    void RefreshOutputCell(int o) override {
        refreshes.append(o);
        selected[std::size_t(o)] = false;
    }
    void RepaintTable() override {}
    void FocusTable() override {}
    bool CheckOn() const override { return false; }
    void ShowCheckedOutput(int o) override { checked = o; }
    int checked = -1;
};

// Remembers the text the input dialog was opened with.
struct Responder : test::ScriptedResponder {
    QStringList proposals;
    bool inputQuery(const QString &caption, const QString &prompt, QString &value) override {
        proposals.append(value);
        return ScriptedResponder::inputQuery(caption, prompt, value);
    }
};

// "out:in" pairs, 0-based; in is an input index, F for FULL. Everything else is unpatched.
TPatch patchOf(const QString &text) {
    TPatch p;
    p.fill(pvNone);
    for (const QString &pair : text.split(u' ', Qt::SkipEmptyParts)) {
        const QString in = pair.section(u':', 1);
        p[pair.section(u':', 0, 0).toUInt()] = in == u"F" ? pvFull : in.toInt();
    }
    return p;
}

std::array<int, 1024> codesOf(const TPatch &p) {
    std::array<int, 1024> c{};
    for (int o = 0; o < 1024; ++o) {
        const PatchEntry e = p[std::size_t(o)];
        c[std::size_t(o)] = e == pvNone ? 0xFFF : e == pvFull ? 0x8FF : e;
    }
    return c;
}

QList<int> range(int first, int last) {
    QList<int> l;
    for (int o = first; o <= last; ++o)
        l.append(o);
    return l;
}

const QString kRange = QStringLiteral("値が範囲外です");
const QString kFailed = QStringLiteral("設定に失敗しました");

// A linked simulator whose patch 1 holds what the model holds; the log starts empty.
struct Rig {
    explicit Rig(const QString &before = {}) {
        sim.start();
        link.OpenDevice(sim.devicePath());
        link.LinkUp();
        m.Patches[0] = patchOf(before);
        auto mem = sim.memory();
        mem.patches[0] = codesOf(m.Patches[0]);
        sim.setMemory(mem);
        sim.clearLog();
    }
    ~Rig() { link.ClosePort(); }
    void select(const QList<int> &outputs) {
        for (int o : outputs)
            view.selected[std::size_t(o)] = true;
    }
    QList<int> selection() const { return view.SelectedOutputs(); }
    // The unit holds what the model holds.
    bool unitAgrees() const { return sim.memory().patches[0] == codesOf(m.Patches[0]); }

    sim::UnitSim sim;
    Responder boxes;
    test::RecordingProgress progress;
    TUnitLink link{TBoxes(boxes)};
    TransferEnv env{link, progress};
    TPatchModel m;
    FakeView view;
    TAppSettings settings;
    TPatchEditor ed{m, env, view, settings};
};

} // namespace

class TestPatchEditor : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void editOutputToInput_data();
    void editOutputToInput();
    void editRefusedMidway();
    void editInEditModeSendsNothing();
    void editInputToOutput_data();
    void editInputToOutput();
    void toolBarSet_data();
    void toolBarSet();
    void sequentialChannels_data();
    void sequentialChannels();
    void unpatch_data();
    void refusalKeepsTheUnitsValue_data();
    void refusalKeepsTheUnitsValue();
    void unpatch();
    void undoKeepsFortySteps();
    void paste_data();
    void paste();
    void outputCheck_data();
    void outputCheck();
};

void TestPatchEditor::editOutputToInput_data() {
    QTest::addColumn<QList<int>>("sel");
    QTest::addColumn<QString>("before");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("start");
    QTest::addColumn<int>("maxRx");
    QTest::addColumn<QString>("after");
    QTest::addColumn<QStringList>("sent");
    QTest::addColumn<QStringList>("boxes");
    QTest::addColumn<QList<int>>("moves");
    QTest::addColumn<bool>("changed");
    const QList<int> none;
    QTest::newRow("full to four, one FULL already")
        << range(0, 3) << "2:F 3:7"
        << "full"
        << " " << 1024 << "0:F 1:F 2:F 3:F" << QStringList{"S0008FF", "S0018FF", "S0038FF"}
        << QStringList{} << QList<int>{4} << true;
    QTest::newRow("FF") << QList<int>{5} << ""
                        << "FF"
                        << " " << 1024 << "5:F" << QStringList{"S0058FF"} << QStringList{}
                        << QList<int>{6} << true;
    QTest::newRow("ful with blanks")
        << QList<int>{5} << ""
        << " ful "
        << " " << 1024 << "5:F" << QStringList{"S0058FF"} << QStringList{} << QList<int>{6} << true;
    QTest::newRow("F is universe F")
        << QList<int>{5} << "5:2"
        << "F"
        << "3" << 1024 << "5:2" << QStringList{} << QStringList{kRange} << none << true;
    QTest::newRow("clear unpatched still sends")
        << QList<int>{5} << ""
        << ""
        << " " << 1024 << "" << QStringList{"S005FFF"} << QStringList{} << QList<int>{6} << true;
    QTest::newRow("unchanged single sends nothing")
        << QList<int>{5} << "5:11"
        << "12"
        << "12" << 1024 << "5:11" << QStringList{} << QStringList{} << none << false;
    QTest::newRow("unchanged text goes to every selected")
        << QList<int>{5, 6} << "5:11"
        << "12"
        << "12" << 1024 << "5:11 6:11" << QStringList{"S00600B"} << QStringList{} << QList<int>{7}
        << true;
    QTest::newRow("A/B text, equal entry unsent")
        << QList<int>{0, 1} << "1:1"
        << "a002"
        << " " << 1024 << "0:1 1:1" << QStringList{"S000001"} << QStringList{} << QList<int>{2}
        << true;
    QTest::newRow("B001 is input 513") << QList<int>{0} << ""
                                       << "B001"
                                       << " " << 1024 << "0:512" << QStringList{"S000200"}
                                       << QStringList{} << QList<int>{1} << true;
    QTest::newRow("input beyond MaxRxChannel")
        << QList<int>{0, 1} << ""
        << "513"
        << " " << 512 << "" << QStringList{} << QStringList{kRange} << none << true;
    QTest::newRow("last output keeps the cursor")
        << QList<int>{1023} << ""
        << "1"
        << " " << 1024 << "1023:0" << QStringList{"S3FF000"} << QStringList{} << QList<int>{1023}
        << true;
}

void TestPatchEditor::editOutputToInput() {
    QFETCH(QList<int>, sel);
    QFETCH(QString, before);
    QFETCH(QString, value);
    QFETCH(QString, start);
    QFETCH(int, maxRx);
    QFETCH(QString, after);
    QFETCH(QStringList, sent);
    QFETCH(QStringList, boxes);
    QFETCH(QList<int>, moves);
    QFETCH(bool, changed);
    Rig r(before);
    QVERIFY(r.link.Linked);
    r.m.MaxRxChannel = maxRx;
    r.select(sel);
    r.ed.ApplyCellEdit(1, 1, value, start);
    QCOMPARE(r.m.Patches[0], patchOf(after));
    QCOMPARE(r.sim.requestLog(), sent);
    QVERIFY(r.unitAgrees());
    QCOMPARE(r.boxes.texts(), boxes);
    QCOMPARE(r.view.moves, moves);
    QCOMPARE(r.m.PatchChanged, changed);
    QCOMPARE(r.m.UndoList.Count(), 1); // also for an edit that changes nothing
    QCOMPARE(r.progress.open, 0);
    // Written outputs are deselected; a rejected text leaves the selection alone.
    QCOMPARE(r.selection(), boxes.isEmpty() && changed ? QList<int>{} : sel);
}

void TestPatchEditor::editRefusedMidway() {
    Rig r("3:1");
    r.sim.setRefused({QStringLiteral("S002005")});
    r.select(range(0, 3));
    r.ed.ApplyCellEdit(1, 1, QStringLiteral("6"), QStringLiteral(" "));
    QCOMPARE(r.sim.requestLog(), (QStringList{"S000005", "S001005", "S002005"}));
    QCOMPARE(r.boxes.texts(), QStringList{kFailed});
    QCOMPARE(r.view.refreshes, (QList<int>{0, 1}));
    QCOMPARE(r.selection(), (QList<int>{2, 3}));
    QVERIFY(r.view.moves.isEmpty());
    QVERIFY(r.m.PatchChanged);
    QCOMPARE(r.m.Patches[0][3], 1);
    QCOMPARE(r.m.Patches[0][2], pvNone); // what the unit kept
    QVERIFY(r.unitAgrees());
    QCOMPARE(r.progress.starts, QStringList{"パッチ設定中"});
    QCOMPARE(r.progress.finishes, QStringList{QString()});
}

// A refused entry is shown as the unit holds it; what went before stays applied.
void TestPatchEditor::refusalKeepsTheUnitsValue_data() {
    QTest::addColumn<int>("mode");
    QTest::addColumn<bool>("set"); // SET with "5" -> "1-3", else a cell edit
    QTest::newRow("input-to-output cell") << 1 << false;
    QTest::newRow("SET, output-to-input") << 0 << true;
    QTest::newRow("SET, input-to-output") << 1 << true;
}

void TestPatchEditor::refusalKeepsTheUnitsValue() {
    QFETCH(int, mode);
    QFETCH(bool, set);
    Rig r("1:9");
    r.view.mode = mode;
    r.settings.WarnChgPatch = false;
    r.sim.setRefused({QStringLiteral("S001004")});
    if (set)
        r.ed.ToolBarPatch(QStringLiteral("5"), QStringLiteral("1-3"));
    else
        r.ed.ApplyCellEdit(1, 5, QStringLiteral("1-3"), QStringLiteral(" "));
    QCOMPARE(r.sim.requestLog(), (QStringList{"S000004", "S001004"}));
    QCOMPARE(r.m.Patches[0], patchOf("0:4 1:9"));
    QVERIFY(r.unitAgrees());
    QVERIFY(r.m.PatchChanged);
    QCOMPARE(r.boxes.texts(), QStringList{kFailed});
}

void TestPatchEditor::editInEditModeSendsNothing() {
    Rig r;
    r.link.EditMode = true;
    r.select(range(0, 2));
    r.ed.ApplyCellEdit(1, 1, QStringLiteral("7"), QStringLiteral(" "));
    QCOMPARE(r.m.Patches[0], patchOf("0:6 1:6 2:6"));
    QVERIFY(r.sim.requestLog().isEmpty());
    QVERIFY(r.selection().isEmpty());
    QVERIFY(r.view.refreshes.isEmpty());
    QCOMPARE(r.view.moves, QList<int>{3});
    QCOMPARE(r.progress.fractions, (QList<double>{1.0 / 3, 2.0 / 3, 1.0}));
}

void TestPatchEditor::editInputToOutput_data() {
    QTest::addColumn<QString>("before");
    QTest::addColumn<int>("row");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("flags"); // warn, ab
    QTest::addColumn<QList<int>>("answers");
    QTest::addColumn<QString>("after");
    QTest::addColumn<QStringList>("boxes");
    QTest::addColumn<bool>("changed");
    const QString q11 = QStringLiteral("出力 11 は 入力 4 にパッチされていますが変更しますか?");
    QTest::newRow("10-12, Yes") << "10:3" << 5 << "10-12"
                                << "warn" << QList<int>{IDYES} << "9:4 10:4 11:4"
                                << QStringList{q11} << true;
    QTest::newRow("10-12, No") << "10:3" << 5 << "10-12"
                               << "warn" << QList<int>{IDNO} << "9:4 10:3 11:4" << QStringList{q11}
                               << true;
    QTest::newRow("10-12, no warning")
        << "10:3" << 5 << "10-12"
        << "" << QList<int>{} << "9:4 10:4 11:4" << QStringList{} << true;
    QTest::newRow("same input still asks")
        << "2:4" << 5 << "3"
        << "warn" << QList<int>{IDYES} << "2:4"
        << QStringList{"出力 3 は 入力 5 にパッチされていますが変更しますか?"} << true;
    QTest::newRow("over FULL into FULL row")
        << "2:F" << 1025 << "3,4"
        << "warn" << QList<int>{IDYES} << "2:F 3:F"
        << QStringList{"出力 3 は 常時ON にパッチされていますが変更しますか?"} << true;
    QTest::newRow("unpatched row un-patches") << "3:7" << 1026 << "4"
                                              << "" << QList<int>{} << "" << QStringList{} << true;
    QTest::newRow("invalid list") << "" << 5 << "1,x"
                                  << "warn" << QList<int>{} << "" << QStringList{"Abort による中断"}
                                  << false;
    QTest::newRow("beyond MaxTxChannel keeps earlier")
        << "" << 1 << "1,1025,2"
        << "warn" << QList<int>{} << "0:0" << QStringList{kRange} << true;
    QTest::newRow("A/B question")
        << "512:3" << 1 << "B001"
        << "warn ab" << QList<int>{IDNO} << "512:3"
        << QStringList{"出力 B001 は 入力 A004 にパッチされていますが変更しますか?"} << true;
    QTest::newRow("empty text") << "0:0" << 1 << ""
                                << "warn" << QList<int>{} << "0:0" << QStringList{} << false;
}

void TestPatchEditor::editInputToOutput() {
    QFETCH(QString, before);
    QFETCH(int, row);
    QFETCH(QString, value);
    QFETCH(QString, flags);
    QFETCH(QList<int>, answers);
    QFETCH(QString, after);
    QFETCH(QStringList, boxes);
    QFETCH(bool, changed);
    Rig r(before);
    r.view.mode = 1;
    r.settings.WarnChgPatch = flags.contains(u"warn");
    r.settings.DispAbCh = flags.contains(u"ab");
    for (int a : answers)
        r.boxes.queueAnswer(a);
    r.ed.ApplyCellEdit(3, row, value, QStringLiteral(" "));
    QCOMPARE(r.m.Patches[0], patchOf(after));
    QVERIFY(r.unitAgrees());
    QCOMPARE(r.boxes.texts(), boxes);
    QVERIFY(!r.boxes.unexpected());
    QCOMPARE(r.m.PatchChanged, changed);
    QCOMPARE(r.m.UndoList.Count(), 1);
    QCOMPARE(r.progress.open, 0);
}

void TestPatchEditor::toolBarSet_data() {
    QTest::addColumn<int>("mode");
    QTest::addColumn<QString>("input");
    QTest::addColumn<QString>("outputs");
    QTest::addColumn<QList<int>>("answers");
    QTest::addColumn<QString>("after");
    QTest::addColumn<QStringList>("boxes");
    QTest::addColumn<bool>("emptyEdits");
    QTest::addColumn<bool>("changed");
    QTest::addColumn<int>("undo");
    QTest::addColumn<int>("row");
    QTest::newRow("o2i 1-8 to A002, no questions")
        << 0 << "A002"
        << "1-8" << QList<int>{} << "0:1 1:1 2:1 3:1 4:1 5:1 6:1 7:1" << QStringList{} << true
        << true << 0 << 1;
    QTest::newRow("i2o asks, No skips")
        << 1 << "5"
        << "3,4" << QList<int>{IDNO} << "2:9 3:4"
        << QStringList{"出力 3 は 入力 10 にパッチされていますが変更しますか?"} << true << true << 1
        << 5;
    QTest::newRow("input 0") << 1 << "0"
                             << "3" << QList<int>{} << "2:9"
                             << QStringList{"不正な入力チャンネルです"} << false << false << 0 << 1;
    QTest::newRow("input beyond MaxRxChannel")
        << 0 << "1025"
        << "3" << QList<int>{} << "2:9" << QStringList{"不正な入力チャンネルです"} << false << false
        << 0 << 1;
    QTest::newRow("only commas") << 1 << "7"
                                 << ",," << QList<int>{} << "2:9" << QStringList{} << true << true
                                 << 1 << 1;
    QTest::newRow("range fault after one output")
        << 0 << "7"
        << "1,1025" << QList<int>{} << "0:6 2:9" << QStringList{kRange} << false << true << 0 << 1;
    QTest::newRow("invalid list") << 0 << "7"
                                  << "x" << QList<int>{} << "2:9" << QStringList{"Abort による中断"}
                                  << false << false << 0 << 1;
}

void TestPatchEditor::toolBarSet() {
    QFETCH(int, mode);
    QFETCH(QString, input);
    QFETCH(QString, outputs);
    QFETCH(QList<int>, answers);
    QFETCH(QString, after);
    QFETCH(QStringList, boxes);
    QFETCH(bool, emptyEdits);
    QFETCH(bool, changed);
    QFETCH(int, undo);
    QFETCH(int, row);
    Rig r("2:9");
    r.view.mode = mode;
    r.select({0, 9});
    for (int a : answers)
        r.boxes.queueAnswer(a);
    QCOMPARE(r.ed.ToolBarPatch(input, outputs), emptyEdits);
    QCOMPARE(r.m.Patches[0], patchOf(after));
    QVERIFY(r.unitAgrees());
    QCOMPARE(r.boxes.texts(), boxes);
    QVERIFY(!r.boxes.unexpected());
    QCOMPARE(r.m.PatchChanged, changed);
    QCOMPARE(r.m.UndoList.Count(), undo);
    QCOMPARE(r.view.currentRow, row);
    const bool cleared = mode == 0 && emptyEdits;
    QCOMPARE(r.selection(), (cleared ? QList<int>{} : QList<int>{0, 9}));
    QCOMPARE(r.view.anchor, cleared ? -1 : 0);
}

void TestPatchEditor::sequentialChannels_data() {
    QTest::addColumn<QString>("before");
    QTest::addColumn<QList<int>>("sel");
    QTest::addColumn<int>("maxRx");
    QTest::addColumn<QString>("typed"); // null: Cancel
    QTest::addColumn<QString>("refused");
    QTest::addColumn<QString>("proposal");
    QTest::addColumn<QString>("after");
    QTest::addColumn<QStringList>("boxes");
    QTest::addColumn<QList<int>>("moves");
    QString tenFrom1015;
    for (int k = 0; k < 10; ++k)
        tenFrom1015 += QStringLiteral("%1:%2 ").arg(k).arg(1014 + k);
    QTest::newRow("1016 + 10 overflows by one") << "" << range(0, 9) << 1024 << "1016"
                                                << ""
                                                << "1"
                                                << "" << QStringList{kRange} << QList<int>{};
    QTest::newRow("1015 reaches 1024") << "" << range(0, 9) << 1024 << "1015"
                                       << ""
                                       << "1" << tenFrom1015 << QStringList{} << QList<int>{10};
    QTest::newRow("proposal skips used inputs, all outputs scanned")
        << "0:0 1:1 1000:2" << QList<int>{5, 7} << 1024 << "B001"
        << ""
        << "4"
        << "0:0 1:1 1000:2 5:512 7:513" << QStringList{} << QList<int>{8};
    QTest::newRow("every input used") << "0:0 1:1" << QList<int>{5, 7} << 2 << QString() << ""
                                      << ""
                                      << "0:0 1:1" << QStringList{} << QList<int>{};
    QTest::newRow("zero stops silently") << "" << QList<int>{5, 7} << 1024 << "0"
                                         << ""
                                         << "1"
                                         << "" << QStringList{} << QList<int>{};
    QTest::newRow("refusal stops the run") << "" << QList<int>{5, 7, 9} << 1024 << "3"
                                           << "S007003"
                                           << "1"
                                           << "5:2" << QStringList{kFailed} << QList<int>{6};
}

void TestPatchEditor::sequentialChannels() {
    QFETCH(QString, before);
    QFETCH(QList<int>, sel);
    QFETCH(int, maxRx);
    QFETCH(QString, typed);
    QFETCH(QString, refused);
    QFETCH(QString, proposal);
    QFETCH(QString, after);
    QFETCH(QStringList, boxes);
    QFETCH(QList<int>, moves);
    Rig r(before);
    r.m.MaxRxChannel = maxRx;
    r.select(sel);
    r.sim.setRefused({refused});
    r.boxes.queueInput(typed);
    r.ed.SetChSel();
    QCOMPARE(r.boxes.inputPrompts(),
             QStringList{"連番チャンネル設定|先頭入力チャンネルを指定してください"});
    QCOMPARE(r.boxes.proposals, QStringList{proposal});
    QCOMPARE(r.m.Patches[0], patchOf(after));
    QCOMPARE(r.boxes.texts(), boxes);
    QCOMPARE(r.view.moves, moves);
    const bool ran = !r.progress.starts.isEmpty();
    QCOMPARE(r.m.UndoList.Count(), ran ? 1 : 0);
    QCOMPARE(r.m.PatchChanged, ran);
    QVERIFY(r.unitAgrees()); // a refused entry keeps the unit's value in memory too
}

void TestPatchEditor::unpatch_data() {
    QTest::addColumn<int>("mode");
    QTest::addColumn<QString>("refused");
    QTest::addColumn<QString>("after");
    QTest::addColumn<QStringList>("sent");
    QTest::addColumn<QList<int>>("selAfter");
    QTest::addColumn<QList<int>>("moves");
    QTest::addColumn<QStringList>("boxes");
    // Before: outputs 1 and 3 patched, 2 and 4 not; 1 to 4 selected.
    QTest::newRow("o2i") << 0 << ""
                         << "" << QStringList{"S000FFF", "S002FFF"} << QList<int>{1, 3}
                         << QList<int>{4} << QStringList{};
    QTest::newRow("o2i refused") << 0 << "S002FFF"
                                 << "2:F" << QStringList{"S000FFF", "S002FFF"}
                                 << QList<int>{1, 2, 3} << QList<int>{2} << QStringList{kFailed};
    QTest::newRow("i2o cell") << 1 << ""
                              << "0:4" << QStringList{"S002FFF"} << range(0, 3) << QList<int>{}
                              << QStringList{};
    QTest::newRow("i2o refused") << 1 << "S002FFF"
                                 << "0:4 2:F" << QStringList{"S002FFF"} << range(0, 3)
                                 << QList<int>{} << QStringList{kFailed};
}

void TestPatchEditor::unpatch() {
    QFETCH(int, mode);
    QFETCH(QString, refused);
    QFETCH(QString, after);
    QFETCH(QStringList, sent);
    QFETCH(QList<int>, selAfter);
    QFETCH(QList<int>, moves);
    QFETCH(QStringList, boxes);
    Rig r("0:4 2:F");
    r.view.mode = mode;
    r.view.currentOutput = 2;
    r.view.currentRow = 1025; // the FULL row
    r.select(range(0, 3));
    r.sim.setRefused({refused});
    r.ed.DelPatch();
    QCOMPARE(r.m.Patches[0], patchOf(after));
    QCOMPARE(r.sim.requestLog(), sent);
    QCOMPARE(r.selection(), selAfter);
    QCOMPARE(r.view.moves, moves);
    QCOMPARE(r.boxes.texts(), boxes);
    QVERIFY(r.m.PatchChanged);
    QCOMPARE(r.m.UndoList.Count(), 1);
    if (mode == 0 && refused.isEmpty())
        QCOMPARE(r.progress.fractions, (QList<double>{0.25, 0.5, 0.75, 1.0}));
    QVERIFY(r.unitAgrees());

    // The unpatched row has nothing to un-patch.
    if (mode == 1) {
        r.sim.clearLog();
        r.view.currentRow = 1026;
        r.ed.DelPatch();
        QVERIFY(r.sim.requestLog().isEmpty());
    }
}

void TestPatchEditor::undoKeepsFortySteps() {
    Rig r;
    for (int k = 1; k <= 41; ++k) {
        r.view.selected[0] = true;
        r.ed.ApplyCellEdit(1, 1, QString::number(k), QStringLiteral(" "));
    }
    QCOMPARE(r.m.Patches[0][0], 40);
    r.m.PatchChanged = false;
    r.sim.clearLog();
    for (int k = 1; k <= 40; ++k)
        r.ed.Undo();
    QCOMPARE(r.m.Patches[0][0], 0); // the state before the first edit is gone
    QVERIFY(!r.m.PatchChanged);
    QCOMPARE(r.sim.requestLog().size(), 40 * 65);
    QCOMPARE(r.sim.requestLog().last(), QStringLiteral("WP"));
    QCOMPARE(r.sim.storedMemory().patches[0][0], 0);
    QVERIFY(r.unitAgrees());

    r.sim.clearLog();
    r.ed.Undo();
    QCOMPARE(r.m.Patches[0][0], 0);
    QVERIFY(r.sim.requestLog().isEmpty());
}

void TestPatchEditor::paste_data() {
    QTest::addColumn<QString>("before");
    QTest::addColumn<int>("current"); // the current cell's output
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("refused");
    QTest::addColumn<QString>("after");
    QTest::addColumn<QStringList>("sent");
    QTest::addColumn<QString>("box");
    QTest::newRow("one column from the current output, FULL and empty")
        << "11:3" << 9 << "5\nFULL\n\n4\n"
        << ""
        << "9:4 10:F 12:3" << QStringList{"S009004", "S00A8FF", "S00BFFF", "S00C003"} << "";
    QTest::newRow("one column, A/B and FUL, equal entry unsent")
        << "1:512" << 0 << "A002\r\nB001\r\nful"
        << ""
        << "0:1 1:512 2:F" << QStringList{"S000001", "S0028FF"} << "";
    QTest::newRow("two columns by tab, A/B outputs")
        << "" << 500 << "101\t1\nB512\tB512\n"
        << ""
        << "100:0 1023:1023" << QStringList{"S064000", "S3FF3FF"} << "";
    QTest::newRow("two columns by comma, FF and empty")
        << "3:7" << 0 << "3,ff\n4,\n"
        << ""
        << "2:F" << QStringList{"S0028FF", "S003FFF"} << "";
    QTest::newRow("a row that does not read changes nothing")
        << "3:7" << 0 << "1,2\n2,x\n"
        << ""
        << "3:7" << QStringList{} << "2 行目: 入力 x を読めません";
    QTest::newRow("input beyond MaxRxChannel") << "" << 0 << "1\n1025\n"
                                               << ""
                                               << "" << QStringList{} << "2 行目";
    QTest::newRow("output out of range") << "" << 0 << "1\t1\n1025\t1\n"
                                         << ""
                                         << "" << QStringList{} << "2 行目";
    QTest::newRow("more rows than outputs") << "" << 1022 << "1\n2\n3\n"
                                            << ""
                                            << "" << QStringList{} << "3 行目";
    QTest::newRow("three columns") << "" << 0 << "1\t2\t3\n"
                                   << ""
                                   << "" << QStringList{} << "1 行目";
    QTest::newRow("refused midway: what went before stays")
        << "" << 0 << "1\n2\n3\n"
        << "S001001"
        << "0:0" << QStringList{"S000000", "S001001"} << kFailed;
}

// A paste reads every row before anything changes, sends only changes, and is one undo step.
void TestPatchEditor::paste() {
    QFETCH(QString, before);
    QFETCH(int, current);
    QFETCH(QString, text);
    QFETCH(QString, refused);
    QFETCH(QString, after);
    QFETCH(QStringList, sent);
    QFETCH(QString, box);
    Rig r(before);
    r.sim.setRefused({refused});
    r.view.currentOutput = current;
    r.ed.Paste(text);
    QCOMPARE(r.m.Patches[0], patchOf(after));
    QCOMPARE(r.sim.requestLog(), sent);
    QVERIFY(r.unitAgrees());
    QCOMPARE(r.boxes.texts().join(u' ').contains(box), true);
    QCOMPARE(r.boxes.texts().isEmpty(), box.isEmpty());
    QCOMPARE(r.m.PatchChanged, !sent.isEmpty());
    QCOMPARE(r.m.UndoList.Count(), sent.isEmpty() ? 0 : 1);
    if (sent.isEmpty())
        return;
    r.ed.Undo();
    QCOMPARE(r.m.Patches[0], patchOf(before));
    QVERIFY(r.unitAgrees());
    r.ed.Redo();
    QCOMPARE(r.m.Patches[0], patchOf(after));
    QVERIFY(r.unitAgrees());
}

void TestPatchEditor::outputCheck_data() {
    QTest::addColumn<QString>("steps"); // at:o, on:current, off, level:n
    QTest::addColumn<bool>("linked");
    QTest::addColumn<QStringList>("sent");
    QTest::addColumn<int>("checkOutput");
    QTest::addColumn<int>("unitCheck");
    QTest::newRow("1, 2, 3 then off")
        << "at:0 at:1 at:2 off" << true << QStringList{"O000", "O001", "O002", "OFFF"} << -1 << -1;
    QTest::newRow("output 1024") << "at:1023" << true << QStringList{"O3FF"} << 1023 << 1023;
    QTest::newRow("levels") << "level:5 level:255" << true << QStringList{"O805", "O8FF"} << -1
                            << -1;
    QTest::newRow("on at a cell") << "on:7" << true << QStringList{"O007"} << 7 << 7;
    QTest::newRow("on without output") << "on:-1" << true << QStringList{} << -1 << -1;
    QTest::newRow("on beyond MaxTxChannel") << "on:600" << true << QStringList{} << -1 << -1;
    QTest::newRow("not linked") << "at:3 on:3 level:5 off" << false << QStringList{} << -1 << -1;
}

void TestPatchEditor::outputCheck() {
    QFETCH(QString, steps);
    QFETCH(bool, linked);
    QFETCH(QStringList, sent);
    QFETCH(int, checkOutput);
    QFETCH(int, unitCheck);
    Rig r;
    r.m.MaxTxChannel = 512;
    r.link.Linked = linked;
    for (const QString &step : steps.split(u' ')) {
        const QString what = step.section(u':', 0, 0);
        const int arg = step.section(u':', 1).toInt();
        if (what == u"at")
            r.ed.CheckOutputAt(arg);
        else if (what == u"on")
            r.view.currentOutput = arg, r.ed.CheckOn();
        else if (what == u"off")
            r.ed.CheckOff();
        else
            QCOMPARE(r.ed.CheckLevel(arg), linked);
    }
    QCOMPARE(r.sim.requestLog(), sent);
    QCOMPARE(r.ed.CheckOutput(), checkOutput);
    QCOMPARE(r.view.checked, checkOutput); // the table shows the check where it is
    QCOMPARE(r.sim.checkOutput(), unitCheck);
}

QTEST_MAIN(TestPatchEditor)
#include "tst_patcheditor.moc"
