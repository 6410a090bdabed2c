#include "PatchPage.h"

#include "ActionMap.h"
#include "DrawGrid.h"
#include "PageFrame.h"
#include "PatchEditor.h"
#include "PatchFind.h"
#include "PatchSheetFile.h"
#include "PatchTable.h"
#include "PatchTransfer.h"
#include "SheetClipboard.h"
#include "SheetReader.h"
#include "StatusText.h"
#include "UiNames.h"
#include "Usr_misc.h"
#include "Usr_spbar.h"

#include <QApplication>
#include <QButtonGroup>
#include <QComboBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QSlider>
#include <QToolButton>
#include <QVBoxLayout>

namespace kestrava {

namespace {

// The wait cursor for the length of a command that talks to the unit.
class WaitCursor {
public:
    WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor &) = delete;
    WaitCursor &operator=(const WaitCursor &) = delete;
};

} // namespace

TPatchPage::TPatchPage(TPatchModel &patches, const TLoadAttrModel &attrs, TPageContext context,
                       QWidget *parent)
    : QWidget(parent), patches_(patches), attrs_(attrs), ctx_(context) {
    setObjectName(QStringLiteral("PatchSheet"));
    buildWidgets();
    table_ = std::make_unique<TPatchTable>(PatTableGrid, patches_);
    editor_ = std::make_unique<TPatchEditor>(patches_, ctx_.env, *table_, ctx_.settings);
    connectCommands();
}

TPatchPage::~TPatchPage() = default;

void TPatchPage::buildWidgets() {
    TPageFrame frame(this, "PatTopPanel");
    PatTopPanel = frame.TopPanel();
    QHBoxLayout *top = frame.TopRow();
    auto *label1 = named(new QLabel(QStringLiteral("No."), PatTopPanel), "Label1");
    PatNoCombo = named(new QComboBox(PatTopPanel), "PatNoCombo");
    PatNoCombo->setFixedWidth(60);
    for (int p = 1; p <= PatchCount; ++p)
        PatNoCombo->addItem(QString::number(p));
    top->addWidget(label1);
    top->addWidget(PatNoCombo);
    top->addWidget(buildCheckPanel());

    top->addWidget(new QLabel(QStringLiteral("Ch."), PatTopPanel));
    FromChEdit = named(new QLineEdit(PatTopPanel), "FromChEdit");
    FromChEdit->setFixedWidth(50);
    top->addWidget(FromChEdit);
    top->addWidget(new QLabel(QStringLiteral("→"), PatTopPanel));
    ToChEdit = named(new QLineEdit(PatTopPanel), "ToChEdit");
    ToChEdit->setFixedWidth(100);
    top->addWidget(ToChEdit);
    PatSetBtn = named(new QToolButton(PatTopPanel), "PatSetBtn");
    top->addWidget(PatSetBtn);
    WritePatBtn = frame.AddWriteButton("WritePatBtn", ctx_.actions, ActionId::WritePatAction);

    auto *panel2 = named(new QFrame(this), "Panel2");
    auto *tableBox = new QVBoxLayout(panel2);
    tableBox->setContentsMargins(0, 0, 0, 0);
    PatTableGrid = NewPageGrid(panel2, "PatTableGrid");
    tableBox->addWidget(PatTableGrid);
    frame.Column()->addWidget(panel2, 1);
    FromChEdit->installEventFilter(this);
    ToChEdit->installEventFilter(this);
}

QFrame *TPatchPage::buildCheckPanel() {
    ChkPanel = named(new QFrame(PatTopPanel), "ChkPanel");
    // A sunken panel's lower-right half is drawn in the palette's Light, which on a light
    // window barely differs from the page: the etched box has a dark line on every side.
    ChkPanel->setFrameStyle(QFrame::Box | QFrame::Sunken);
    ChkPanel->setFixedSize(331, 34);
    auto *chk = new QHBoxLayout(ChkPanel);
    chk->setContentsMargins(4, 2, 4, 2);
    auto *checkTitle = named(new QLabel(tr("チェック"), ChkPanel), "CheckTitle");
    checkTitle->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    CheckOnBtn = named(new QToolButton(ChkPanel), "CheckOnBtn");
    CheckOffBtn = named(new QToolButton(ChkPanel), "CheckOffBtn");
    CheckOnBtn->setText(QStringLiteral("ON"));
    CheckOffBtn->setText(QStringLiteral("OFF"));
    auto *group = new QButtonGroup(this);
    group->setExclusive(true);
    for (QToolButton *b : {CheckOnBtn, CheckOffBtn}) {
        b->setCheckable(true);
        group->addButton(b);
    }
    CheckOffBtn->setChecked(true);
    LevelLabel = named(new QLabel(QStringLiteral("000"), ChkPanel), "LevelLabel");
    LevelLabel->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    LevelLabel->setFixedWidth(LevelLabel->fontMetrics().horizontalAdvance(QStringLiteral("0000")));
    CheckLvlBar = named(new QSlider(Qt::Horizontal, ChkPanel), "CheckLvlBar");
    CheckLvlBar->setRange(0, 255);
    CheckLvlBar->setPageStep(32);
    CheckLvlBar->setTickInterval(32);
    CheckLvlBar->setTickPosition(QSlider::TicksBelow);
    chk->addWidget(checkTitle);
    chk->addWidget(CheckOnBtn);
    chk->addWidget(CheckOffBtn);
    chk->addWidget(LevelLabel);
    chk->addWidget(CheckLvlBar, 1);
    return ChkPanel;
}

void TPatchPage::connectCommands() {
    registerCommands();
    registerSheetCommands();
    ctx_.actions.Bind(PatSetBtn, ActionId::ToolBarPatchAction);
    followCheckActions();
    connectControls();
    connectTable();
}

void TPatchPage::registerCommands() {
    TActionMap &a = ctx_.actions;
    using enum ActionId;
    a.On(GetTableAction, [this] {
        table_->RepaintTable();
        FetchCurrentPatch(ctx_.env, patches_);
        table_->RepaintTable();
    });
    a.On(WritePatAction, [this] {
        const WaitCursor wait;
        WritePatch(ctx_.env, patches_);
    });
    a.On(CheckOffAction, [this] {
        editor_->CheckOff();
        CheckOffBtn->setChecked(true);
    });
    a.On(CheckOnAction, [this] {
        editor_->CheckOn();
        CheckOnBtn->setChecked(true);
    });
    a.On(UndoPatAction, [this] { editor_->Undo(); });
    a.On(DelPatchAction, [this] { editor_->DelPatch(); });
    a.On(SetChSelAction, [this] { editor_->SetChSel(); });
    a.On(ToolBarPatchAction, [this] { ToolBarPatchActionExecute(); });
    a.On(ClrCurPatAction, [this] { ClearOrThroughActionExecute(false); });
    a.On(ThrCurPatAction, [this] { ClearOrThroughActionExecute(true); });
    a.On(ClrAllPatAction, [this] { ClrAllPatActionExecute(); });
    const auto view = [this](int mode) {
        ctx_.settings.PatTableMode = mode;
        layoutTable();
    };
    a.On(TableO2IAction, [view] { view(0); });
    a.On(TableI2OAction, [view] { view(1); });
    const std::pair<ActionId, int> widths[] = {
        {TableW10Action, 10}, {TableW12Action, 12}, {TableW16Action, 16}, {TableW20Action, 20}};
    for (const auto &[id, width] : widths)
        a.On(id, [this, width] {
            ctx_.settings.PatTableWidth = width;
            layoutTable();
        });
}

// Redo, go to, find and the clipboard.
void TPatchPage::registerSheetCommands() {
    TActionMap &a = ctx_.actions;
    using enum ActionId;
    a.On(RedoPatAction, [this] { editor_->Redo(); });
    a.On(GoToOutputAction, [this] { GoToOutputAsked(ctx_.desktop.boxes, patches_, *table_); });
    a.On(FindInputAction, [this] { FindInputAsked(ctx_.desktop.boxes, patches_, *table_); });
    a.On(CopyPatAction, [this] {
        QList<int> outputs = table_->SelectedOutputs();
        if (outputs.isEmpty() && table_->CurrentCellOutput() >= 0)
            outputs.append(table_->CurrentCellOutput());
        PutSheetOnClipboard(PatchClipRows(*patches_.Current(), outputs, ctx_.settings.DispAbCh));
    });
    a.On(PastePatAction, [this] { editor_->Paste(ClipboardSheetText()); });
    a.On(LoadSheetAction, [this] {
        LoadPatchSheetAsked(ctx_.desktop, patches_, *editor_,
                            ctx_.actions.Action(ActionId::LoadSheetAction)->text());
    });
    a.On(PrintSheetAction,
         [this] { PrintPatchSheetAsked(ctx_.desktop, patches_, attrs_, ctx_.env.link); });
}

// The check buttons and level, the channel texts and the patch chooser.
void TPatchPage::connectControls() {
    using enum ActionId;
    connect(CheckOffBtn, &QToolButton::clicked, this, [this] {
        ctx_.actions.Execute(CheckOffAction);
        CheckOffBtn->setChecked(true);
    });
    connect(CheckOnBtn, &QToolButton::clicked, this, [this] {
        if (!ctx_.actions.Execute(CheckOnAction))
            CheckOffBtn->setChecked(true);
    });
    connect(CheckOnBtn, &QToolButton::toggled, table_.get(), &TPatchTable::SetCheckOnDown);
    connect(CheckLvlBar, &QSlider::valueChanged, this, [this] {
        const TActionMap::CommandScope command(ctx_.actions);
        CheckLvlBarChange();
    });
    for (QLineEdit *edit : {FromChEdit, ToChEdit})
        connect(edit, &QLineEdit::textChanged, &ctx_.actions, &TActionMap::UpdateActions);
    connect(PatNoCombo, &QComboBox::currentIndexChanged, this, [this](int index) {
        const TActionMap::CommandScope command(ctx_.actions);
        if (!selecting_)
            PatNoComboChange(index);
    });
}

void TPatchPage::connectTable() {
    TActionMap &a = ctx_.actions;
    using enum ActionId;
    connect(table_.get(), &TPatchTable::CellEdited, this,
            [this](int c, int r, const QString &value, const QString &startText) {
                const TActionMap::CommandScope command(ctx_.actions);
                editor_->ApplyCellEdit(c, r, value, startText);
                ctx_.actions.UpdateActions();
            });
    connect(table_.get(), &TPatchTable::SelectionChanged, &a, &TActionMap::UpdateActions);
    connect(table_.get(), &TPatchTable::CheckRequested, this, [this](int o) {
        const TActionMap::CommandScope command(ctx_.actions);
        editor_->CheckOutputAt(o);
    });
    connect(table_.get(), &TPatchTable::DeletePressed, this,
            [this] { ctx_.actions.Execute(DelPatchAction); });
    AttachGridPopup(PatTableGrid, a, "PopPatMenu",
                    {SetChSelAction, DelPatchAction, Separator, UndoPatAction}, this);
}

// ChkPanel shows while the check commands do, its buttons follow their actions.
void TPatchPage::followCheckActions() {
    QAction *on = ctx_.actions.Action(ActionId::CheckOnAction);
    QAction *off = ctx_.actions.Action(ActionId::CheckOffAction);
    const auto follow = [this, on, off] {
        ChkPanel->setVisible(on->isVisible());
        CheckOnBtn->setEnabled(on->isEnabled());
        CheckOffBtn->setEnabled(off->isEnabled());
    };
    for (QAction *a : {on, off}) {
        connect(a, &QAction::changed, this, follow);
        connect(a, &QAction::visibleChanged, this, follow);
    }
    follow();
}

void TPatchPage::SelectPatNo(int patch) {
    selecting_ = true;
    PatNoCombo->setCurrentIndex(IsPatchIndex(patch) ? patch : -1);
    selecting_ = false;
}

void TPatchPage::SetViewsEnabled(bool on) {
    PatNoCombo->setEnabled(on);
    PatTableGrid->setEnabled(on);
    if (on)
        PatTableGrid->viewport()->repaint();
}

void TPatchPage::Refresh() {
    table_->RepaintTable();
}

void TPatchPage::Leaving() {
    ctx_.actions.Execute(ActionId::CheckOffAction);
    CheckOffBtn->setChecked(true);
}

void TPatchPage::SettingsChanged() {
    // A change of notation renumbers the outputs: the selection would no longer
    // mean what the user picked.
    if (ctx_.settings.DispAbCh != layoutAb_ && ctx_.settings.PatTableMode == 0)
        DropSelection();
    layoutTable();
}

void TPatchPage::layoutTable() {
    const int mode = ctx_.settings.PatTableMode;
    layoutAb_ = ctx_.settings.DispAbCh;
    table_->Layout(mode, ctx_.settings.PatTableWidth, layoutAb_);
    // In the output-to-input view FromChEdit takes the outputs, in the other the input.
    FromChEdit->setFixedWidth(mode == 0 ? 100 : 50);
    ToChEdit->setFixedWidth(mode == 0 ? 50 : 100);
    ctx_.actions.UpdateActions();
}

void TPatchPage::Tick() {
    RefreshInfoPanel();
}

void TPatchPage::FillState(UiState &s) const {
    s.selectedOutputs = table_->SelectedCount();
    if (const TPatch *memory = patches_.Current()) {
        const int o = table_->CurrentCellOutput();
        s.cellHasPatch = o >= 0 && (*memory)[std::size_t(o)] != pvNone &&
                         (ctx_.settings.PatTableMode == 1 || o < patches_.MaxTxChannel);
    }
    s.setTextsFilled = !FromChEdit->text().isEmpty() && !ToChEdit->text().isEmpty();
}

void TPatchPage::DropSelection() {
    table_->DropSelection();
}

void TPatchPage::ForgetCheck() {
    editor_->ForgetCheck();
}

int TPatchPage::CheckLevel() const {
    return CheckLvlBar->value();
}

void TPatchPage::SetCheckLevel(int level) {
    const QSignalBlocker block(CheckLvlBar);
    CheckLvlBar->setValue(level);
}

void TPatchPage::CheckLvlBarChange() {
    const int level = CheckLevel();
    if (editor_->CheckLevel(level))
        LevelLabel->setText(QString::number(level));
}

void TPatchPage::ShowChosenPatch() {
    PatNoComboChange(PatNoCombo->currentIndex());
}

void TPatchPage::PatNoComboChange(int index) {
    if (patches_.PatchChanged && !ctx_.env.link.EditMode) {
        const int answer = ctx_.desktop.boxes.AskYesNoCancel(
            tr("パッチ%1の変更内容を書き込みますか?").arg(patches_.CurPatch + 1));
        if (answer == IDCANCEL) {
            SelectPatNo(patches_.CurPatch);
            patches_.ClearUndo();
            return;
        }
        if (answer == IDYES)
            ctx_.actions.Execute(ActionId::WritePatAction);
    }
    {
        const WaitCursor wait;
        patches_.SelectCurrent(index);
        ctx_.status.setPanelText(3, QString());
        if (!ctx_.env.link.EditMode && SelectShownPatch(ctx_.env, index))
            ctx_.actions.Execute(ActionId::GetTableAction);
        table_->DropSelection();
        table_->RepaintTable();
        table_->MoveCursorToOutput(0);
    }
    patches_.ClearUndo();
    ctx_.actions.UpdateActions();
}

void TPatchPage::ToolBarPatchActionExecute() {
    const bool o2i = ctx_.settings.PatTableMode == 0;
    QLineEdit *input = o2i ? ToChEdit : FromChEdit;
    QLineEdit *outputs = o2i ? FromChEdit : ToChEdit;
    if (!editor_->ToolBarPatch(input->text(), outputs->text()))
        return;
    FromChEdit->clear();
    ToChEdit->clear();
    FromChEdit->setFocus();
}

void TPatchPage::ClearOrThroughActionExecute(bool through) {
    ctx_.status.setPanelText(1, QString());
    if (!ctx_.desktop.boxes.AskYesNo(through ? tr("現在のパッチを１対１接続にしますか?")
                                             : tr("現在のパッチをクリアしますか?")))
        return;
    const WaitCursor wait;
    ClearOrThroughCurrentPatch(ctx_.env, patches_, through);
    table_->RepaintTable();
}

void TPatchPage::ClrAllPatActionExecute() {
    ctx_.status.setPanelText(1, QString());
    if (!ctx_.desktop.boxes.AskYesNo(tr("全てのパッチをクリアしますか?"))) {
        table_->RepaintTable();
        return;
    }
    ClearAllPatches(ctx_.env, patches_);
    ShowChosenPatch();
    table_->RepaintTable();
}

void TPatchPage::ShowOutput(int output) {
    table_->MoveCursorToOutput(output);
}

void TPatchPage::RefreshInfoPanel() {
    const int o = table_->CurrentCellOutput();
    const int attr = o >= 0 && o < OutputCount ? attrs_.LoadAttrs[std::size_t(o)] : 0;
    ctx_.status.setPanelText(3, InfoPanelText(patches_.HasCurrent(), o, ctx_.settings.PatTableMode,
                                              ctx_.settings.DispAbCh, patches_.MaxTxChannel, attr,
                                              table_->SelectedCount(), patches_.PatchChanged));
}

bool TPatchPage::eventFilter(QObject *watched, QEvent *event) {
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            if (watched == FromChEdit)
                ToChEdit->setFocus();
            else if (watched == ToChEdit)
                ctx_.actions.Execute(ActionId::ToolBarPatchAction);
            return true; // the carriage return never reaches the edit
        }
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace kestrava
