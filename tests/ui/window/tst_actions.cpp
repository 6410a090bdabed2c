#include "ActionRules.h"
#include "AppSettings.h"
#include "PatchModel.h"
#include "StatusText.h"
#include "UnitLink.h"

#include <QDirIterator>
#include <QRegularExpression>
#include <QTest>

using namespace kestrava;

namespace {

TAppSettings settingsWithAb() {
    TAppSettings settings;
    settings.DispAbCh = true;
    return settings;
}

// A state description: "page=attr edit linked changed cur=-1 o2i|i2o w=12 undo sel=2 ..."
UiState parse(const QString &text) {
    UiState s;
    for (const QString &word : text.split(u' ', Qt::SkipEmptyParts)) {
        const QString key = word.section(u'=', 0, 0);
        const QString value = word.section(u'=', 1);
        if (key == "page")
            s.page = value == "attr" ? Page::Attr : value == "curve" ? Page::Curve : Page::Patch;
        else if (key == "edit")
            s.editMode = true;
        else if (key == "linked")
            s.linked = true;
        else if (key == "busy")
            s.transferring = true;
        else if (key == "changed")
            s.patchChanged = true;
        else if (key == "cur")
            s.curPatch = value.toInt();
        else if (key == "i2o")
            s.patTableMode = 1;
        else if (key == "w")
            s.patTableWidth = value.toInt();
        else if (key == "cw")
            s.crvGridWidth = value.toInt();
        else if (key == "ab")
            s.dispAbCh = true;
        else if (key == "setting-ab") { // as the window reads it from its settings
            StderrResponder none;
            s.dispAbCh =
                WindowState(s.page, TUnitLink(TBoxes(none)), TPatchModel(), settingsWithAb())
                    .dispAbCh;
        } else if (key == "undo")
            s.undoEmpty = false;
        else if (key == "redo")
            s.redoEmpty = false;
        else if (key == "sel")
            s.selectedOutputs = value.toInt();
        else if (key == "cell")
            s.cellHasPatch = true;
        else if (key == "set")
            s.setTextsFilled = true;
        else if (key == "graph")
            s.overCurveGraph = true;
        else if (key == "points")
            s.curvePoints = value.toInt();
        else if (key == "individual")
            s.curveIndividual = true;
        else if (key == "deletable")
            s.pointDeletable = true;
        else
            qFatal("unknown state word %s", qPrintable(word));
    }
    return s;
}

// The rule of an action named as the system names it; null for an unknown name.
const ActionRule *FindActionRule(const QString &name) {
    const std::optional<ActionId> id = ActionIdOf(name);
    return id ? &RuleOf(*id) : nullptr;
}

} // namespace

class TestActions : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void everyActionHasARule() {
        const QStringList names = {
            "ReConnectAction",   "GetTableAction",   "DelPatchAction",    "SetChSelAction",
            "WritePatAction",    "ClrAllPatAction",  "ClrCurPatAction",   "ThrCurPatAction",
            "SaveAllPatAction",  "SaveCurPatAction", "LoadAllPatAction",  "LoadCurPatAction",
            "CheckOnAction",     "CheckOffAction",   "TableO2IAction",    "TableI2OAction",
            "TableW10Action",    "TableW12Action",   "TableW16Action",    "TableW20Action",
            "GetLdAtrAcion",     "WriteLdAtrAction", "SaveLdAtrAction",   "LoadLdAtrAction",
            "InitLdAtrAction",   "ChgLdAtrAction",   "GoWebAction",       "SaveAllDataAction",
            "LoadAllDataAction", "DispABChAction",   "UndoPatAction",     "ToolBarPatchAction",
            "AddPAction",        "DelPAction",       "InitCrvAction",     "GetCurveAction",
            "WriteCurveAction",  "SaveCurveAction",  "LoadCurveAction",   "CrvGridW8Action",
            "CrvGridW16Action",  "RedoPatAction",    "GoToOutputAction",  "FindInputAction",
            "CopyPatAction",     "PastePatAction",   "CopyLdAtrAction",   "PasteLdAtrAction",
            "LoadSheetAction",   "PrintSheetAction", "CompareFileAction", "HistoryAction"};
        QCOMPARE(ActionCount, names.size());
        for (const QString &n : names)
            QVERIFY2(FindActionRule(n), qPrintable(n));
        QCOMPARE(QKeySequence(FindActionRule("UndoPatAction")->shortcut),
                 QKeySequence(QStringLiteral("Ctrl+Z")));
        QCOMPARE(QKeySequence(FindActionRule("RedoPatAction")->shortcut2),
                 QKeySequence(QStringLiteral("Ctrl+Shift+Z")));
    }

    // Each row: an action, a state, and what the action must look like in it:
    // V/v visible or hidden, E/e enabled or disabled, C/c ticked or not (checkable only).
    void rules_data() {
        QTest::addColumn<QString>("action");
        QTest::addColumn<QString>("state");
        QTest::addColumn<QString>("look");
        QTest::addColumn<QString>("caption");
        auto row = [](const char *action, const char *state, const char *look,
                      const char *caption = "") {
            QTest::addRow("%s | %s", action, state)
                << QString(action) << QString(state) << QString(look) << QString::fromUtf8(caption);
        };
        row("ReConnectAction", "page=curve edit", "VE", "リモート再接続");
        row("GetTableAction", "", "Ve");
        row("GetTableAction", "linked", "VE");
        row("WritePatAction", "linked changed", "VE", "書込");
        row("WritePatAction", "linked", "Ve");
        row("WritePatAction", "linked changed busy", "Ve");
        row("WritePatAction", "edit changed", "vE");
        row("WritePatAction", "page=attr linked changed", "vE");
        row("WriteLdAtrAction", "page=attr linked", "VE", "書込");
        row("WriteLdAtrAction", "page=attr linked busy", "Ve");
        row("WriteLdAtrAction", "page=attr edit", "ve");
        row("WriteLdAtrAction", "linked", "vE");
        row("GetLdAtrAcion", "page=attr linked", "VE");
        row("GetLdAtrAcion", "page=attr linked busy", "Ve");
        row("WriteCurveAction", "page=curve linked", "VE");
        row("WriteCurveAction", "page=curve", "Ve");
        row("WriteCurveAction", "page=curve linked busy", "Ve");
        row("GetCurveAction", "page=curve edit linked", "vE");
        row("ClrAllPatAction", "", "Ve");
        row("ClrAllPatAction", "edit", "VE");
        row("ClrAllPatAction", "page=attr linked", "vE");
        row("ClrCurPatAction", "linked", "VE");
        row("ClrCurPatAction", "linked cur=-1", "Ve");
        row("ThrCurPatAction", "edit", "VE");
        row("ClrCurPatAction", "", "Ve"); // neither linked nor in edit mode
        row("ThrCurPatAction", "", "Ve");
        row("ThrCurPatAction", "edit cur=-1", "Ve");
        row("SaveCurPatAction", "cur=-1", "Ve");
        row("SaveCurPatAction", "", "VE");
        row("SaveAllPatAction", "page=curve", "vE");
        row("LoadAllPatAction", "changed", "Ve", "全パッチをファイルから読込");
        row("LoadAllPatAction", "linked", "VE", "全パッチをファイルから読込・転送");
        row("LoadCurPatAction", "linked", "VE", "このパッチをファイルから読込・転送");
        row("LoadCurPatAction", "", "VE", "このパッチをファイルから読込");
        row("LoadAllDataAction", "page=attr linked", "VE", "全データをファイルから読込・転送");
        row("LoadAllDataAction", "page=curve", "VE", "全データをファイルから読込");
        row("LoadLdAtrAction", "page=attr linked", "VE", "負荷属性をファイルから読込・転送");
        row("LoadLdAtrAction", "page=patch linked", "vE");
        row("LoadCurveAction", "page=curve", "VE", "カーブをファイルから読込");
        row("LoadCurveAction", "page=curve linked", "VE", "カーブをファイルから読込・転送");
        row("SaveAllDataAction", "page=curve edit", "VE", "全データをファイルに保存");
        row("CheckOnAction", "linked page=attr", "VE", "ON");
        row("CheckOnAction", "edit", "ve");
        row("CheckOffAction", "", "Ve", "OFF");
        row("TableO2IAction", "", "VEC");
        row("TableO2IAction", "i2o", "VEc");
        row("TableI2OAction", "i2o", "VEC");
        row("TableI2OAction", "page=attr", "vEc");
        row("TableW10Action", "", "VEC");
        row("TableW10Action", "w=12", "VEc");
        row("TableW12Action", "w=12", "VEC");
        row("TableW16Action", "i2o w=16", "vEC");
        row("TableW20Action", "page=curve w=20", "vEC");
        row("CrvGridW8Action", "page=curve", "VEC");
        row("CrvGridW16Action", "page=curve cw=16", "VEC");
        row("CrvGridW16Action", "page=patch cw=16", "vEC");
        row("DispABChAction", "page=attr ab", "VEC");
        row("DispABChAction", "", "VEc");
        row("DispABChAction", "setting-ab", "VEC");
        row("UndoPatAction", "", "Ve", "元に戻す(&U)");
        row("UndoPatAction", "undo", "VE");
        row("UndoPatAction", "page=attr undo", "vE");
        row("RedoPatAction", "undo", "Ve", "やり直し(&R)");
        row("RedoPatAction", "redo", "VE");
        row("PastePatAction", "linked", "VE", "貼り付け(&P)");
        row("PastePatAction", "linked i2o", "Ve");
        row("PastePatAction", "linked busy", "Ve");
        row("PastePatAction", "", "Ve");
        row("PastePatAction", "edit cur=-1", "Ve");
        row("CopyPatAction", "i2o", "Ve");
        row("PasteLdAtrAction", "page=attr", "VE");
        row("GoToOutputAction", "cur=-1", "Ve");
        row("LoadSheetAction", "linked busy", "Ve", "パッチシートから読込...");
        row("LoadSheetAction", "edit", "VE");
        row("SetChSelAction", "sel=2", "VE");
        row("SetChSelAction", "sel=1", "Ve");
        row("SetChSelAction", "i2o sel=2", "ve");
        row("DelPatchAction", "cell", "VE");
        row("DelPatchAction", "cell cur=-1", "Ve");
        row("DelPatchAction", "", "Ve");
        row("ToolBarPatchAction", "set", "VE", "SET");
        row("ToolBarPatchAction", "", "Ve");
        row("ToolBarPatchAction", "set cur=-1", "Ve");
        row("AddPAction", "page=curve graph points=15", "VE");
        row("AddPAction", "page=curve graph points=16", "Ve");
        row("AddPAction", "page=curve graph points=4 individual", "Ve");
        row("AddPAction", "page=curve points=4", "vE");
        row("DelPAction", "page=curve graph deletable", "VE");
        row("DelPAction", "page=curve graph", "Ve");
        row("InitLdAtrAction", "page=attr", "VE", "負荷属性の初期化");
        row("InitLdAtrAction", "page=curve", "vE");
        row("InitCrvAction", "page=attr", "vE");
        row("InitCrvAction", "page=curve", "VE", "カーブの初期化(&I)");
        row("ChgLdAtrAction", "page=attr", "VE", "付加属性の変更(&C)");
        row("GoWebAction", "edit", "VE", "ORVホームページ(&H)");
    }
    void rules() {
        QFETCH(QString, action);
        QFETCH(QString, state);
        QFETCH(QString, look);
        QFETCH(QString, caption);
        const ActionRule *rule = FindActionRule(action);
        QVERIFY(rule);
        const ActionLook got = EvaluateAction(*rule, parse(state));
        QCOMPARE(got.visible, look.contains(u'V'));
        QCOMPARE(got.enabled, look.contains(u'E'));
        if (look.contains(u'C') || look.contains(u'c')) {
            QVERIFY(bool(rule->checked));
            QCOMPARE(got.checked, look.contains(u'C'));
        }
        if (!caption.isEmpty())
            QCOMPARE(got.caption, caption);
    }

    // In edit mode the remote menu offers only the reconnect; exactly one width is ticked.
    void menusAsAWhole_data() {
        QTest::addColumn<QString>("state");
        QTest::newRow("patch page, edit mode") << "edit";
        QTest::newRow("attribute page, edit mode") << "page=attr edit";
        QTest::newRow("curve page, edit mode") << "page=curve edit";
    }
    void menusAsAWhole() {
        QFETCH(QString, state);
        const UiState s = parse(state);
        const QStringList remote = {"WritePatAction",  "WriteLdAtrAction", "WriteCurveAction",
                                    "ReConnectAction", "CheckOnAction",    "CheckOffAction"};
        QStringList shown;
        for (const QString &a : remote)
            if (EvaluateAction(*FindActionRule(a), s).visible)
                shown << a;
        QCOMPARE(shown, QStringList{"ReConnectAction"});
    }

    void oneWidthTicked() {
        for (int w : {10, 12, 16, 20}) {
            UiState s;
            s.patTableWidth = w;
            int ticked = 0;
            for (int tag : {10, 12, 16, 20})
                ticked +=
                    EvaluateAction(*FindActionRule(QStringLiteral("TableW%1Action").arg(tag)), s)
                        .checked;
            QCOMPARE(ticked, 1);
        }
    }

    void infoPanel_data() {
        QTest::addColumn<bool>("hasPatch");
        QTest::addColumn<int>("output");
        QTest::addColumn<int>("mode");
        QTest::addColumn<bool>("ab");
        QTest::addColumn<int>("attr");
        QTest::addColumn<int>("selected");
        QTest::addColumn<bool>("changed");
        QTest::addColumn<QString>("text");
        QTest::newRow("the example: output 13, Normal")
            << true << 12 << 0 << false << 128 << 0 << false
            << "出力Ch:13 Normal  選択中:0  (フェーダ番号入力)";
        QTest::newRow("A/B: B001")
            << true << 512 << 0 << true << 129 << 3 << true
            << "出力Ch:B001(513) On/Off  選択中:3  変更有  (フェーダ番号入力)";
        QTest::newRow("input-to-output, User 2")
            << true << 5 << 1 << false << 1 << 0 << false << "出力Ch:6 User 2  (ユニット番号入力)";
        QTest::newRow("no output")
            << true << -1 << 1 << false << 128 << 0 << false << "出力Ch:---  (ユニット番号入力)";
        QTest::newRow("beyond the outputs in use")
            << true << 1000 << 0 << false << 128 << 0 << false
            << "出力Ch:---  選択中:0  (フェーダ番号入力)";
        QTest::newRow("no current patch")
            << false << 3 << 0 << false << 128 << 0 << false << "  選択中:0  (フェーダ番号入力)";
    }
    void infoPanel() {
        QFETCH(bool, hasPatch);
        QFETCH(int, output);
        QFETCH(int, mode);
        QFETCH(bool, ab);
        QFETCH(int, attr);
        QFETCH(int, selected);
        QFETCH(bool, changed);
        QFETCH(QString, text);
        QCOMPARE(InfoPanelText(hasPatch, output, mode, ab, 1000, attr, selected, changed), text);
    }

    void linkPanel_data() {
        QTest::addColumn<bool>("edit");
        QTest::addColumn<int>("port");
        QTest::addColumn<bool>("linked");
        QTest::addColumn<bool>("open");
        QTest::addColumn<bool>("lineA");
        QTest::addColumn<bool>("lineB");
        QTest::addColumn<QString>("text");
        QTest::newRow("edit mode") << true << 3 << false << true << true << true << "編集モード";
        QTest::newRow("open, not linked")
            << false << 3 << false << true << false << false << "COM3:切断  DMX:--";
        QTest::newRow("not openable")
            << false << 20 << false << false << false << false << "COM20:無効  DMX:--";
        QTest::newRow("linked, both lines")
            << false << 3 << true << true << true << true << "COM3:接続  DMX:AB";
        QTest::newRow("linked, line B")
            << false << 3 << true << true << false << true << "COM3:接続  DMX:-B";
        QTest::newRow("linked, line A")
            << false << 3 << true << true << true << false << "COM3:接続  DMX:A-";
    }
    void linkPanel() {
        QFETCH(bool, edit);
        QFETCH(int, port);
        QFETCH(bool, linked);
        QFETCH(bool, open);
        QFETCH(bool, lineA);
        QFETCH(bool, lineB);
        QFETCH(QString, text);
        QCOMPARE(LinkPanelText(edit, port, linked, open, {lineA, lineB}), text);
    }

    // The models and the link own their flags: a file of the ui may read them and call their
    // verbs, never assign them. One row per file, so that a failure names the file.
    void uiAssignsNoFlag_data() {
        QTest::addColumn<QString>("path");
        const QDir ui(qEnvironmentVariable("KESTRAVA_TEST_DATA") + QStringLiteral("/../../src/ui"));
        QDirIterator it(ui.path(), {QStringLiteral("*.cpp"), QStringLiteral("*.h")}, QDir::Files,
                        QDirIterator::Subdirectories);
        int files = 0;
        for (; it.hasNext(); ++files) {
            const QString path = it.next();
            QTest::newRow(qPrintable(ui.relativeFilePath(path))) << path;
        }
        if (files == 0) // a check that reads nothing must not pass
            QTest::newRow("src/ui not found") << ui.filePath(QStringLiteral("missing"));
    }
    void uiAssignsNoFlag() {
        QFETCH(QString, path);
        static const QRegularExpression assigns(
            QStringLiteral(R"(\b(?:PatchChanged|PatchInSync\s*\[[^\]]*\]|CurPatch|LdAtrChanged|)"
                           R"(LdAtrInSync|CurveChanged|CurvesInSync|EditMode|Linked|Transferring|)"
                           R"(BusyCount|PortOpen|ComPortNo)\s*[-+*/|&^]?=(?!=))"));
        QFile file(path);
        QVERIFY2(file.open(QIODevice::ReadOnly | QIODevice::Text), qPrintable(path));
        const QStringList lines = QString::fromUtf8(file.readAll()).split(u'\n');
        for (qsizetype i = 0; i < lines.size(); ++i) {
            const QString code = lines[i].section(QStringLiteral("//"), 0, 0);
            QVERIFY2(!assigns.match(code).hasMatch(),
                     qPrintable(QStringLiteral("line %1: %2").arg(i + 1).arg(lines[i].trimmed())));
        }
    }
};

QTEST_GUILESS_MAIN(TestActions)
#include "tst_actions.moc"
