#include "ActionRules.h"

#include "AppSettings.h"
#include "PatchModel.h"
#include "UnitLink.h"

#include <QCoreApplication>

#include <array>

namespace kestrava {

namespace {

constexpr const char *kContext = "KestravaForm";

constexpr bool linkedIdle(const UiState &s) {
    return s.linked && !s.transferring;
}
constexpr bool linked(const UiState &s) {
    return s.linked;
}
constexpr bool online(const UiState &s) {
    return !s.editMode;
}
constexpr bool hasPatch(const UiState &s) {
    return s.curPatch != -1;
}
constexpr bool canChangeUnit(const UiState &s) {
    return (s.linked || s.editMode) && s.curPatch != -1;
}
template <Page P>
constexpr bool onPage(const UiState &s) {
    return s.page == P;
}
template <Page P>
constexpr bool onPageOnline(const UiState &s) {
    return s.page == P && !s.editMode;
}
constexpr bool o2iPatchPage(const UiState &s) {
    return s.page == Page::Patch && s.patTableMode == 0;
}
template <int W>
constexpr bool tableWidth(const UiState &s) {
    return s.patTableWidth == W;
}
template <int W>
constexpr bool gridWidth(const UiState &s) {
    return s.crvGridWidth == W;
}

constexpr Rule patch = onPage<Page::Patch>;
constexpr Rule attr = onPage<Page::Attr>;
constexpr Rule curve = onPage<Page::Curve>;

using enum ActionId;

constexpr ActionRule kRules[] = {
    {.id = ReConnectAction, .caption = QT_TRANSLATE_NOOP("KestravaForm", "リモート再接続")},
    {.id = GetTableAction,
     .caption = QT_TRANSLATE_NOOP("KestravaForm", "パッチテーブル取得"),
     .enabled = linked},
    {.id = DelPatchAction,
     .caption = QT_TRANSLATE_NOOP("KestravaForm", "パッチ解除"),
     .visible = patch,
     .enabled = [](const UiState &s) { return s.curPatch != -1 && s.cellHasPatch; }},
    {.id = SetChSelAction,
     .caption = QT_TRANSLATE_NOOP("KestravaForm", "連番チャンネル設定"),
     .visible = o2iPatchPage,
     .enabled = [](const UiState &s) { return s.patTableMode == 0 && s.selectedOutputs > 1; }},
    {.id = WritePatAction,
     .caption = QT_TRANSLATE_NOOP("KestravaForm", "書込"),
     .visible = onPageOnline<Page::Patch>,
     .enabled = [](const UiState &s) { return s.patchChanged && !s.transferring; }},
    {.id = ClrAllPatAction,
     .caption = QT_TRANSLATE_NOOP("KestravaForm", "全てのパッチをクリア"),
     .visible = patch,
     .enabled = [](const UiState &s) { return s.linked || s.editMode; }},
    {.id = ClrCurPatAction,
     .caption = QT_TRANSLATE_NOOP("KestravaForm", "このパッチをクリア"),
     .visible = patch,
     .enabled = canChangeUnit},
    {.id = ThrCurPatAction,
     .caption = QT_TRANSLATE_NOOP("KestravaForm", "このパッチを１対１接続"),
     .visible = patch,
     .enabled = canChangeUnit},
    {.id = SaveAllPatAction,
     .caption = QT_TRANSLATE_NOOP("KestravaForm", "全パッチをファイルに保存"),
     .visible = patch},
    {.id = SaveCurPatAction,
     .caption = QT_TRANSLATE_NOOP("KestravaForm", "このパッチをファイルに保存"),
     .visible = patch,
     .enabled = hasPatch},
    {.id = LoadAllPatAction,
     .caption = QT_TRANSLATE_NOOP("KestravaForm", "全パッチをファイルから読込"),
     .linkedCaption = QT_TRANSLATE_NOOP("KestravaForm", "全パッチをファイルから読込・転送"),
     .visible = patch,
     .enabled = [](const UiState &s) { return !s.patchChanged; }},
    {.id = LoadCurPatAction,
     .caption = QT_TRANSLATE_NOOP("KestravaForm", "このパッチをファイルから読込"),
     .linkedCaption = QT_TRANSLATE_NOOP("KestravaForm", "このパッチをファイルから読込・転送"),
     .visible = patch},
    {.id = CheckOnAction,
     .caption = QT_TRANSLATE_NOOP("KestravaForm", "ON"),
     .visible = online,
     .enabled = linked},
    {.id = CheckOffAction,
     .caption = QT_TRANSLATE_NOOP("KestravaForm", "OFF"),
     .visible = online,
     .enabled = linked},
    {.id = TableO2IAction,
     .caption = QT_TRANSLATE_NOOP("KestravaForm", "テーブル : 出力→入力"),
     .visible = patch,
     .checked = [](const UiState &s) { return s.patTableMode == 0; }},
    {.id = TableI2OAction,
     .caption = QT_TRANSLATE_NOOP("KestravaForm", "テーブル : 入力→出力"),
     .visible = patch,
     .checked = [](const UiState &s) { return s.patTableMode == 1; }},
    {.id = TableW10Action,
     .caption = QT_TRANSLATE_NOOP("KestravaForm", "横幅 : 10ch"),
     .visible = o2iPatchPage,
     .checked = tableWidth<10>},
    {.id = TableW12Action,
     .caption = QT_TRANSLATE_NOOP("KestravaForm", "横幅 : 12ch"),
     .visible = o2iPatchPage,
     .checked = tableWidth<12>},
    {.id = TableW16Action,
     .caption = QT_TRANSLATE_NOOP("KestravaForm", "横幅 : 16ch"),
     .visible = o2iPatchPage,
     .checked = tableWidth<16>},
    {.id = TableW20Action,
     .caption = QT_TRANSLATE_NOOP("KestravaForm", "横幅 : 20ch"),
     .visible = o2iPatchPage,
     .checked = tableWidth<20>},
    {.id = GetLdAtrAcion,
     .caption = QT_TRANSLATE_NOOP("KestravaForm", "負荷属性取得"),
     .visible = onPageOnline<Page::Attr>,
     .enabled = linkedIdle},
    {.id = WriteLdAtrAction,
     .caption = QT_TRANSLATE_NOOP("KestravaForm", "書込"),
     .visible = onPageOnline<Page::Attr>,
     .enabled = linkedIdle},
    {.id = SaveLdAtrAction,
     .caption = QT_TRANSLATE_NOOP("KestravaForm", "負荷属性をファイルに保存"),
     .visible = attr},
    {.id = LoadLdAtrAction,
     .caption = QT_TRANSLATE_NOOP("KestravaForm", "負荷属性をファイルから読込"),
     .linkedCaption = QT_TRANSLATE_NOOP("KestravaForm", "負荷属性をファイルから読込・転送"),
     .visible = attr},
    {.id = InitLdAtrAction,
     .caption = QT_TRANSLATE_NOOP("KestravaForm", "負荷属性の初期化"),
     .visible = attr},
    {.id = ChgLdAtrAction,
     .caption = QT_TRANSLATE_NOOP("KestravaForm", "付加属性の変更(&C)"),
     .visible = attr},
    {.id = GoWebAction, .caption = QT_TRANSLATE_NOOP("KestravaForm", "ORVホームページ(&H)")},
    {.id = SaveAllDataAction,
     .caption = QT_TRANSLATE_NOOP("KestravaForm", "全データをファイルに保存")},
    {.id = LoadAllDataAction,
     .caption = QT_TRANSLATE_NOOP("KestravaForm", "全データをファイルから読込"),
     .linkedCaption = QT_TRANSLATE_NOOP("KestravaForm", "全データをファイルから読込・転送")},
    {.id = DispABChAction,
     .caption = QT_TRANSLATE_NOOP("KestravaForm", "DMXチャンネルをA/B表示"),
     .checked = [](const UiState &s) { return s.dispAbCh; }},
    {.id = UndoPatAction,
     .caption = QT_TRANSLATE_NOOP("KestravaForm", "元に戻す(&U)"),
     .shortcut = (Qt::CTRL | Qt::Key_Z).toCombined(),
     .visible = patch,
     .enabled = [](const UiState &s) { return !s.undoEmpty; }},
    {.id = ToolBarPatchAction,
     .caption = QT_TRANSLATE_NOOP("KestravaForm", "SET"),
     .visible = patch,
     .enabled = [](const UiState &s) { return s.curPatch != -1 && s.setTextsFilled; }},
    {.id = AddPAction,
     .caption = QT_TRANSLATE_NOOP("KestravaForm", "構成点追加(&A)"),
     .visible = [](const UiState &s) { return s.overCurveGraph; },
     .enabled = [](const UiState &s) { return s.curvePoints < 16 && !s.curveIndividual; }},
    {.id = DelPAction,
     .caption = QT_TRANSLATE_NOOP("KestravaForm", "構成点削除(&D)"),
     .visible = [](const UiState &s) { return s.overCurveGraph; },
     .enabled = [](const UiState &s) { return s.pointDeletable; }},
    {.id = InitCrvAction,
     .caption = QT_TRANSLATE_NOOP("KestravaForm", "カーブの初期化(&I)"),
     .visible = curve},
    {.id = GetCurveAction,
     .caption = QT_TRANSLATE_NOOP("KestravaForm", "カーブの取得"),
     .visible = onPageOnline<Page::Curve>,
     .enabled = linkedIdle},
    {.id = WriteCurveAction,
     .caption = QT_TRANSLATE_NOOP("KestravaForm", "書込"),
     .visible = onPageOnline<Page::Curve>,
     .enabled = linkedIdle},
    {.id = SaveCurveAction,
     .caption = QT_TRANSLATE_NOOP("KestravaForm", "カーブをファイルに保存"),
     .visible = curve},
    {.id = LoadCurveAction,
     .caption = QT_TRANSLATE_NOOP("KestravaForm", "カーブをファイルから読込"),
     .linkedCaption = QT_TRANSLATE_NOOP("KestravaForm", "カーブをファイルから読込・転送"),
     .visible = curve},
    {.id = CrvGridW8Action,
     .caption = QT_TRANSLATE_NOOP("KestravaForm", "横幅 : 8"),
     .visible = curve,
     .checked = gridWidth<8>},
    {.id = CrvGridW16Action,
     .caption = QT_TRANSLATE_NOOP("KestravaForm", "横幅 : 16"),
     .visible = curve,
     .checked = gridWidth<16>},
    {.id = RedoPatAction,
     .caption = QT_TRANSLATE_NOOP("KestravaForm", "やり直し(&R)"),
     .shortcut = (Qt::CTRL | Qt::Key_Y).toCombined(),
     .shortcut2 = (Qt::CTRL | Qt::SHIFT | Qt::Key_Z).toCombined(),
     .visible = patch,
     .enabled = [](const UiState &s) { return !s.redoEmpty; }},
    {.id = GoToOutputAction,
     .caption = QT_TRANSLATE_NOOP("KestravaForm", "出力へ移動(&G)..."),
     .shortcut = (Qt::CTRL | Qt::Key_G).toCombined(),
     .visible = patch,
     .enabled = hasPatch},
    {.id = FindInputAction,
     .caption = QT_TRANSLATE_NOOP("KestravaForm", "入力を検索(&F)..."),
     .shortcut = (Qt::CTRL | Qt::Key_F).toCombined(),
     .visible = patch,
     .enabled = hasPatch},
    {.id = CopyPatAction,
     .caption = QT_TRANSLATE_NOOP("KestravaForm", "コピー(&C)"),
     .shortcut = (Qt::CTRL | Qt::Key_C).toCombined(),
     .visible = patch,
     .enabled = [](const UiState &s) { return s.patTableMode == 0 && s.curPatch != -1; }},
    {.id = PastePatAction,
     .caption = QT_TRANSLATE_NOOP("KestravaForm", "貼り付け(&P)"),
     .shortcut = (Qt::CTRL | Qt::Key_V).toCombined(),
     .visible = patch,
     .enabled =
         [](const UiState &s) {
             return s.patTableMode == 0 && canChangeUnit(s) && !s.transferring;
         }},
    {.id = CopyLdAtrAction,
     .caption = QT_TRANSLATE_NOOP("KestravaForm", "コピー(&C)"),
     .shortcut = (Qt::CTRL | Qt::Key_C).toCombined(),
     .visible = attr},
    {.id = PasteLdAtrAction,
     .caption = QT_TRANSLATE_NOOP("KestravaForm", "貼り付け(&P)"),
     .shortcut = (Qt::CTRL | Qt::Key_V).toCombined(),
     .visible = attr},
    {.id = LoadSheetAction,
     .caption = QT_TRANSLATE_NOOP("KestravaForm", "パッチシートから読込..."),
     .visible = patch,
     .enabled = [](const UiState &s) { return canChangeUnit(s) && !s.transferring; }},
    {.id = PrintSheetAction,
     .caption = QT_TRANSLATE_NOOP("KestravaForm", "パッチシートを印刷..."),
     .visible = patch,
     .enabled = hasPatch},
    {.id = CompareFileAction,
     .caption = QT_TRANSLATE_NOOP("KestravaForm", "ファイルと比較..."),
     .enabled = [](const UiState &s) { return !s.transferring; }},
    {.id = HistoryAction,
     .caption = QT_TRANSLATE_NOOP("KestravaForm", "履歴..."),
     .enabled = [](const UiState &s) { return !s.transferring; }},
};

constexpr bool inIdOrder() {
    for (int i = 0; i < int(std::size(kRules)); ++i)
        if (int(kRules[i].id) != i)
            return false;
    return std::size(kRules) == std::size_t(ActionCount);
}
static_assert(inIdOrder(), "one rule for every action, in the order of ActionId");

constexpr const char *kNames[] = {
#define KESTRAVA_ACTION_NAME(name) #name,
    KESTRAVA_ACTIONS(KESTRAVA_ACTION_NAME)
#undef KESTRAVA_ACTION_NAME
};

} // namespace

const char *ActionName(ActionId id) {
    return kNames[int(id)];
}

std::optional<ActionId> ActionIdOf(const QString &name) {
    for (int i = 0; i < ActionCount; ++i)
        if (name == QLatin1String(kNames[i]))
            return ActionId(i);
    return std::nullopt;
}

UiState WindowState(Page page, const TUnitLink &link, const TPatchModel &patches,
                    const TAppSettings &settings) {
    UiState s;
    s.page = page;
    s.editMode = link.EditMode;
    s.linked = link.Linked;
    s.transferring = link.Transferring;
    s.patchChanged = patches.PatchChanged;
    s.curPatch = patches.HasCurrent() ? patches.CurPatch : -1;
    s.undoEmpty = patches.UndoList.IsEmpty();
    s.redoEmpty = patches.RedoList.IsEmpty();
    s.patTableMode = settings.PatTableMode;
    s.patTableWidth = settings.PatTableWidth;
    s.crvGridWidth = settings.CrvGridWidth;
    s.dispAbCh = settings.DispAbCh;
    return s;
}

const ActionRule &RuleOf(ActionId id) {
    return kRules[int(id)];
}

ActionLook EvaluateAction(const ActionRule &rule, const UiState &s) {
    ActionLook look;
    look.visible = !rule.visible || rule.visible(s);
    look.enabled = !rule.enabled || rule.enabled(s);
    look.checked = rule.checked && rule.checked(s);
    const char *caption = (s.linked && rule.linkedCaption) ? rule.linkedCaption : rule.caption;
    look.caption = QCoreApplication::translate(kContext, caption);
    return look;
}

} // namespace kestrava
