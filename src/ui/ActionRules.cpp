#include "ActionRules.h"

#include <QCoreApplication>

namespace kestrava {

namespace {

QString tr(const char *text) {
    return QCoreApplication::translate("KestravaForm", text);
}

using Rule = std::function<bool(const UiState &)>;

const Rule always = [](const UiState &) { return true; };

Rule onPage(Page p) {
    return [p](const UiState &s) { return s.page == p; };
}
Rule onPageOnline(Page p) {
    return [p](const UiState &s) { return s.page == p && !s.editMode; };
}
const Rule linkedIdle = [](const UiState &s) { return s.linked && !s.transferring; };
const Rule hasPatch = [](const UiState &s) { return s.curPatch != -1; };
const Rule canChangeUnit = [](const UiState &s) {
    return (s.linked || s.editMode) && s.curPatch != -1;
};
const Rule o2iPatchPage = [](const UiState &s) {
    return s.page == Page::Patch && s.patTableMode == 0;
};

Rule tableWidth(int w) {
    return [w](const UiState &s) { return s.patTableWidth == w; };
}
Rule gridWidth(int w) {
    return [w](const UiState &s) { return s.crvGridWidth == w; };
}

std::vector<ActionRule> buildRules() {
    const Rule patch = onPage(Page::Patch);
    const Rule attr = onPage(Page::Attr);
    const Rule curve = onPage(Page::Curve);
    return {
        {"ReConnectAction", tr("リモート再接続"), {}, {}, always, always, {}},
        {"GetTableAction",
         tr("パッチテーブル取得"),
         {},
         {},
         always,
         [](const UiState &s) { return s.linked; },
         {}},
        {"DelPatchAction",
         tr("パッチ解除"),
         {},
         {},
         patch,
         [](const UiState &s) { return s.curPatch != -1 && s.cellHasPatch; },
         {}},
        {"SetChSelAction",
         tr("連番チャンネル設定"),
         {},
         {},
         o2iPatchPage,
         [](const UiState &s) { return s.patTableMode == 0 && s.selectedOutputs > 1; },
         {}},
        {"WritePatAction",
         tr("書込"),
         {},
         {},
         onPageOnline(Page::Patch),
         [](const UiState &s) { return s.patchChanged && !s.transferring; },
         {}},
        {"ClrAllPatAction",
         tr("全てのパッチをクリア"),
         {},
         {},
         patch,
         [](const UiState &s) { return s.linked || s.editMode; },
         {}},
        {"ClrCurPatAction", tr("このパッチをクリア"), {}, {}, patch, canChangeUnit, {}},
        {"ThrCurPatAction", tr("このパッチを１対１接続"), {}, {}, patch, canChangeUnit, {}},
        {"SaveAllPatAction", tr("全パッチをファイルに保存"), {}, {}, patch, always, {}},
        {"SaveCurPatAction", tr("このパッチをファイルに保存"), {}, {}, patch, hasPatch, {}},
        {"LoadAllPatAction",
         tr("全パッチをファイルから読込"),
         tr("全パッチをファイルから読込・転送"),
         {},
         patch,
         [](const UiState &s) { return !s.patchChanged; },
         {}},
        {"LoadCurPatAction",
         tr("このパッチをファイルから読込"),
         tr("このパッチをファイルから読込・転送"),
         {},
         patch,
         always,
         {}},
        {"CheckOnAction",
         tr("ON"),
         {},
         {},
         [](const UiState &s) { return !s.editMode; },
         [](const UiState &s) { return s.linked; },
         {}},
        {"CheckOffAction",
         tr("OFF"),
         {},
         {},
         [](const UiState &s) { return !s.editMode; },
         [](const UiState &s) { return s.linked; },
         {}},
        {"TableO2IAction",
         tr("テーブル : 出力→入力"),
         {},
         {},
         patch,
         always,
         [](const UiState &s) { return s.patTableMode == 0; }},
        {"TableI2OAction",
         tr("テーブル : 入力→出力"),
         {},
         {},
         patch,
         always,
         [](const UiState &s) { return s.patTableMode == 1; }},
        {"TableW10Action", tr("横幅 : 10ch"), {}, {}, o2iPatchPage, always, tableWidth(10)},
        {"TableW12Action", tr("横幅 : 12ch"), {}, {}, o2iPatchPage, always, tableWidth(12)},
        {"TableW16Action", tr("横幅 : 16ch"), {}, {}, o2iPatchPage, always, tableWidth(16)},
        {"TableW20Action", tr("横幅 : 20ch"), {}, {}, o2iPatchPage, always, tableWidth(20)},
        {"GetLdAtrAcion", tr("負荷属性取得"), {}, {}, onPageOnline(Page::Attr), linkedIdle, {}},
        {"WriteLdAtrAction", tr("書込"), {}, {}, onPageOnline(Page::Attr), linkedIdle, {}},
        {"SaveLdAtrAction", tr("負荷属性をファイルに保存"), {}, {}, attr, always, {}},
        {"LoadLdAtrAction",
         tr("負荷属性をファイルから読込"),
         tr("負荷属性をファイルから読込・転送"),
         {},
         attr,
         always,
         {}},
        {"InitLdAtrAction", tr("負荷属性の初期化"), {}, {}, attr, always, {}},
        {"ChgLdAtrAction", tr("付加属性の変更(&C)"), {}, {}, attr, always, {}},
        {"GoWebAction", tr("ORVホームページ(&H)"), {}, {}, always, always, {}},
        {"SaveAllDataAction", tr("全データをファイルに保存"), {}, {}, always, always, {}},
        {"LoadAllDataAction",
         tr("全データをファイルから読込"),
         tr("全データをファイルから読込・転送"),
         {},
         always,
         always,
         {}},
        {"DispABChAction",
         tr("DMXチャンネルをA/B表示"),
         {},
         {},
         always,
         always,
         [](const UiState &s) { return s.dispAbCh; }},
        {"UndoPatAction",
         tr("元に戻す(&U)"),
         {},
         QKeySequence(Qt::CTRL | Qt::Key_Z),
         patch,
         [](const UiState &s) { return !s.undoEmpty; },
         {}},
        {"ToolBarPatchAction",
         tr("SET"),
         {},
         {},
         patch,
         [](const UiState &s) { return s.curPatch != -1 && s.setTextsFilled; },
         {}},
        {"AddPAction",
         tr("構成点追加(&A)"),
         {},
         {},
         [](const UiState &s) { return s.overCurveGraph; },
         [](const UiState &s) { return s.curvePoints < 16 && !s.curveIndividual; },
         {}},
        {"DelPAction",
         tr("構成点削除(&D)"),
         {},
         {},
         [](const UiState &s) { return s.overCurveGraph; },
         [](const UiState &s) { return s.pointDeletable; },
         {}},
        {"InitCrvAction", tr("カーブの初期化(&I)"), {}, {}, curve, always, {}},
        {"GetCurveAction", tr("カーブの取得"), {}, {}, onPageOnline(Page::Curve), linkedIdle, {}},
        {"WriteCurveAction", tr("書込"), {}, {}, onPageOnline(Page::Curve), linkedIdle, {}},
        {"SaveCurveAction", tr("カーブをファイルに保存"), {}, {}, curve, always, {}},
        {"LoadCurveAction",
         tr("カーブをファイルから読込"),
         tr("カーブをファイルから読込・転送"),
         {},
         curve,
         always,
         {}},
        {"CrvGridW8Action", tr("横幅 : 8"), {}, {}, curve, always, gridWidth(8)},
        {"CrvGridW16Action", tr("横幅 : 16"), {}, {}, curve, always, gridWidth(16)},
    };
}

} // namespace

const std::vector<ActionRule> &ActionRules() {
    static const std::vector<ActionRule> rules = buildRules();
    return rules;
}

const ActionRule *FindActionRule(const QString &name) {
    for (const ActionRule &r : ActionRules())
        if (name == QLatin1String(r.name))
            return &r;
    return nullptr;
}

ActionLook EvaluateAction(const ActionRule &rule, const UiState &s) {
    ActionLook look;
    look.visible = rule.visible(s);
    look.enabled = rule.enabled(s);
    look.checked = rule.checked ? rule.checked(s) : false;
    look.caption = (s.linked && !rule.linkedCaption.isEmpty()) ? rule.linkedCaption : rule.caption;
    return look;
}

} // namespace kestrava
