#include "KestravaForm.h"

#include "AboutBox.h"
#include "AttrPage.h"
#include "AttrTransfer.h"
#include "ChannelNotation.h"
#include "ComPortMap.h"
#include "CurvePage.h"
#include "CurveTransfer.h"
#include "DrawGrid.h"
#include "FileCommands.h"
#include "OptDlg.h"
#include "PatchEditor.h"
#include "PatchPage.h"
#include "PatchTable.h"
#include "PatchTransfer.h"
#include "StatusText.h"
#include "Usr_com_std.h"
#include "Usr_env.h"
#include "Usr_help.h"
#include "Usr_misc.h"
#include "Usr_misc_input.h"
#include "Usr_modal.h"
#include "Usr_spbar.h"

#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QMenuBar>
#include <QTabBar>
#include <QThread>
#include <QVBoxLayout>

namespace kestrava {

namespace {

constexpr int kTimerMs = 100;

} // namespace

// The transfer bracket of this window: the views of the shown page off and the
// status-bar progress running.
class TKestravaForm::Bracket : public TransferProgress {
public:
    explicit Bracket(TKestravaForm &form) : form_(form) {}
    void Start(const QString &text) override {
        setViews(false);
        form_.progress_->Start(text);
    }
    void SetFraction(double fraction) override { form_.progress_->SetFraction(fraction); }
    void Finish(const QString &text) override {
        form_.progress_->Finish(text);
        setViews(true);
        if (form_.ActivePage() == Page::Curve)
            form_.CurveSheet->RefreshView();
    }

private:
    void setViews(bool on) {
        switch (form_.ActivePage()) {
        case Page::Patch:
            form_.PatchSheet->SetViewsEnabled(on);
            break;
        case Page::Attr:
            form_.LdAtrSheet->SetViewsEnabled(on);
            break;
        case Page::Curve:
            form_.CurveSheet->SetViewsEnabled(on);
            break;
        }
    }
    TKestravaForm &form_;
};

TKestravaForm::TKestravaForm(const QString &settingsPath, QWidget *parent)
    : QMainWindow(parent),
      IniFile(std::make_unique<QSettings>(settingsPath, QSettings::IniFormat)) {
    setObjectName(QStringLiteral("KestravaForm"));
    setWindowTitle(QStringLiteral("Kestrava"));
    setMinimumSize(800, 241);
    resize(792, 551);
    SetComPortSettingsFile(settingsPath); // the port table lives in the same file

    link.EditMode = false;
    link.Transferring = false;
    settings.ReadCreate(*IniFile);
    patches.MaxTxChannel = settings.MaxTxChannel;
    patches.MaxRxChannel = settings.MaxRxChannel;
    patches.ResetAllPatches();
    attrs.LoadAttrs.fill(laNormal);
    attrs.LdAtrInSync = false;
    curves.ResetAll();
    curves.CurCurve = 0;
    curves.CurvesInSync = false;
    curves.CurveChanged = false;
    patches.PatchChanged = false;
    attrs.LdAtrChanged = false;
    link.Linked = false;
    link.FirmwareVersion = 0;

    createStatusBar();
    createPages();
    createActions();
    createMenus();
    connectHandlers();

    bracket_ = std::make_unique<Bracket>(*this);
    env_ = std::make_unique<TransferEnv>(TransferEnv{link, *bracket_, [this] { UpdateActions(); }});
    files_ = std::make_unique<TFileCommands>(TFileHost{
        link, patches, attrs, curves, *env_, [this](const QString &a) { return Action(a)->text(); },
        [this](const QString &a) { return ExecuteAction(a); },
        [this] { StatusBar1->setPanelText(1, QString()); },
        [this] {
            PatchSheet->RepaintTable();
            LdAtrSheet->RefreshGrid();
            CurveSheet->RefreshView();
        },
        [this] { PatNoComboChange(PatchSheet->PatNoCombo->currentIndex()); },
        [this] {
            PatchSheet->Table->ClearSelection();
            PatchSheet->Table->SelectAnchor() = -1;
        },
        [this] { CurveSheet->ShowCurveMode(); }});

    editor_ = std::make_unique<TPatchEditor>(patches, *env_, *PatchSheet->Table, settings);
    bindPatchTable();

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(kTimerMs);
    connect(Timer1, &QTimer::timeout, this, &TKestravaForm::Timer1Timer);
}

TKestravaForm::~TKestravaForm() {
    delete progress_;
    progress_ = nullptr;
}

void TKestravaForm::SetDialogs(TOptDlg *optDlg, TAboutBox *aboutBox) {
    optDlg_ = optDlg;
    aboutBox_ = aboutBox;
    if (optDlg_)
        connect(optDlg_, &TOptDlg::helpRequested, this,
                [](int context) { ShowHelpTopic(context); });
}

void TKestravaForm::createStatusBar() {
    StatusBar1 = new TStatusBar({150, 150, 200, 50}, this);
    StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
    progress_ = new StatusBarProgress(StatusBar1, 2);
    progress_->setTextPanel(1);
}

void TKestravaForm::createPages() {
    auto *central = new QWidget(this);
    auto *box = new QVBoxLayout(central);
    box->setContentsMargins(0, 0, 0, 0);
    box->setSpacing(0);
    PageControl1 = new QTabWidget(central);
    PageControl1->setObjectName(QStringLiteral("PageControl1"));
    PageControl1->setStyleSheet(QStringLiteral("QTabBar::tab { width: 120px; }"));
    PatchSheet = new TPatchPage(patches, PageControl1);
    LdAtrSheet = new TAttrPage(attrs, PageControl1);
    CurveSheet = new TCurvePage(curves, PageControl1);
    PageControl1->addTab(PatchSheet, tr("パッチ"));
    PageControl1->addTab(LdAtrSheet, tr("負荷属性"));
    PageControl1->addTab(CurveSheet, tr("カーブ編集"));
    box->addWidget(PageControl1, 1);
    box->addWidget(StatusBar1);
    setCentralWidget(central);
}

void TKestravaForm::createActions() {
    for (const ActionRule &rule : ActionRules()) {
        auto *a = new QAction(rule.caption, this);
        a->setObjectName(QLatin1String(rule.name));
        a->setShortcut(rule.shortcut);
        a->setCheckable(bool(rule.checked));
        actions_.insert(QLatin1String(rule.name), a);
    }
    ExitItem = new QAction(tr("終了(&X)"), this);
    ExitItem->setObjectName(QStringLiteral("ExitItem"));
    OptItem = new QAction(tr("オプション設定(&O)"), this);
    OptItem->setObjectName(QStringLiteral("OptItem"));
    HelpContentsItem = new QAction(tr("目次(&C)"), this);
    HelpContentsItem->setObjectName(QStringLiteral("HelpContentsItem"));
    HelpContentsItem->setVisible(HelpFileExists());
    HelpAboutItem = new QAction(tr("バージョン情報(&A)"), this);
    HelpAboutItem->setObjectName(QStringLiteral("HelpAboutItem"));

    // The page buttons carry their action's caption and enabled state; their
    // visibility follows the action in UpdateActions.
    PatchSheet->WritePatBtn->setDefaultAction(Action(QStringLiteral("WritePatAction")));
    PatchSheet->PatSetBtn->setDefaultAction(Action(QStringLiteral("ToolBarPatchAction")));
    LdAtrSheet->WriteLdAtrBtn->setDefaultAction(Action(QStringLiteral("WriteLdAtrAction")));
    CurveSheet->WriteCurveBtn->setDefaultAction(Action(QStringLiteral("WriteCurveAction")));
    PatchSheet->CheckOnBtn->setText(QStringLiteral("ON"));
    PatchSheet->CheckOffBtn->setText(QStringLiteral("OFF"));
}

QMenu *TKestravaForm::addMenu(const QString &title, int helpContext, const QStringList &items) {
    QMenu *menu = menuBar()->addMenu(title);
    helpContexts_.insert(menu, helpContext);
    for (const QString &item : items) {
        if (item == QLatin1String("-"))
            menu->addSeparator();
        else if (QAction *a = Action(item))
            menu->addAction(a);
        else if (QAction *own = findChild<QAction *>(item))
            menu->addAction(own);
    }
    connect(menu, &QMenu::aboutToShow, this, &TKestravaForm::UpdateActions);
    menu->installEventFilter(this);
    return menu;
}

void TKestravaForm::createMenus() {
    menuBar()->setNativeMenuBar(false);
    addMenu(tr("ファイル(&F)"), 8,
            {"SaveAllDataAction", "LoadAllDataAction", "-", "SaveAllPatAction", "SaveCurPatAction",
             "-", "LoadAllPatAction", "LoadCurPatAction", "-", "SaveLdAtrAction", "LoadLdAtrAction",
             "-", "SaveCurveAction", "LoadCurveAction", "-", "ExitItem"})
        ->setObjectName(QStringLiteral("File1"));
    addMenu(tr("編集(&E)"), 9,
            {"UndoPatAction", "-", "SetChSelAction", "DelPatchAction", "-", "ClrCurPatAction",
             "ThrCurPatAction", "-", "ClrAllPatAction", "-", "InitLdAtrAction", "InitCrvAction"})
        ->setObjectName(QStringLiteral("Edit1"));
    addMenu(tr("リモート(&R)"), 10,
            {"WritePatAction", "WriteLdAtrAction", "WriteCurveAction", "-", "ReConnectAction", "-",
             "CheckOnAction", "CheckOffAction"})
        ->setObjectName(QStringLiteral("Rmote1"));
    addMenu(tr("表示(&V)"), 11,
            {"TableO2IAction", "TableI2OAction", "-", "TableW10Action", "TableW12Action",
             "TableW16Action", "TableW20Action", "CrvGridW8Action", "CrvGridW16Action", "-",
             "DispABChAction"})
        ->setObjectName(QStringLiteral("Show1"));
    addMenu(tr("設定(&O)"), 12, {"OptItem"})->setObjectName(QStringLiteral("Option1"));
    addMenu(tr("ヘルプ(&H)"), 1, {"HelpContentsItem", "-", "HelpAboutItem", "GoWebAction"})
        ->setObjectName(QStringLiteral("Help1"));

    auto popup = [this](const char *name, const QStringList &items) {
        auto *menu = new QMenu(this);
        menu->setObjectName(QLatin1String(name));
        for (const QString &item : items)
            if (item == QLatin1String("-"))
                menu->addSeparator();
            else
                menu->addAction(Action(item));
        connect(menu, &QMenu::aboutToShow, this, &TKestravaForm::UpdateActions);
        return menu;
    };
    PopPatMenu = popup("PopPatMenu", {"SetChSelAction", "DelPatchAction", "-", "UndoPatAction"});
    PopAtrMenu = popup("PopAtrMenu", {"ChgLdAtrAction", "-", "InitLdAtrAction"});
    PopCrvMenu = popup("PopCrvMenu", {"AddPAction", "DelPAction", "InitCrvAction", "-",
                                      "LoadCurveAction", "SaveCurveAction"});
    connect(static_cast<QWidget *>(PatchSheet->PatTableGrid), &QWidget::customContextMenuRequested,
            this, [this](const QPoint &p) {
                PopPatMenu->popup(PatchSheet->PatTableGrid->viewport()->mapToGlobal(p));
            });
    connect(LdAtrSheet->LdAtrGrid, &QWidget::customContextMenuRequested, this,
            [this](const QPoint &p) {
                PopAtrMenu->popup(LdAtrSheet->LdAtrGrid->viewport()->mapToGlobal(p));
            });
    connect(CurveSheet, &QWidget::customContextMenuRequested, this,
            [this](const QPoint &p) { PopCrvMenu->popup(CurveSheet->mapToGlobal(p)); });
}

void TKestravaForm::on(const QString &name, std::function<void()> handler) {
    handlers_.insert(name, std::move(handler));
    connect(Action(name), &QAction::triggered, this, [this, name] { ExecuteAction(name); });
}

bool TKestravaForm::ExecuteAction(const QString &name) {
    // The rule decides, not QAction::isEnabled(): Qt disables every hidden action,
    // while here a command hidden on this page may still be run by code.
    const ActionRule *rule = FindActionRule(name);
    const auto handler = handlers_.value(name);
    if (!rule || !handler)
        return false;
    UpdateActions();
    if (!EvaluateAction(*rule, CurrentState()).enabled)
        return false;
    handler();
    UpdateActions();
    return true;
}

void TKestravaForm::connectHandlers() {
    on(QStringLiteral("ReConnectAction"), [this] { ReConnectActionExecute(); });
    on(QStringLiteral("GetTableAction"), [this] {
        PatchSheet->RepaintTable();
        FetchCurrentPatch(*env_, patches);
        PatchSheet->RepaintTable();
    });
    on(QStringLiteral("WritePatAction"), [this] {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        WritePatch(*env_, patches);
        QApplication::restoreOverrideCursor();
    });
    on(QStringLiteral("GetLdAtrAcion"), [this] {
        FetchLoadAttrs(*env_, attrs);
        LdAtrSheet->RefreshGrid();
    });
    on(QStringLiteral("WriteLdAtrAction"), [this] { WriteLoadAttrs(*env_, attrs); });
    on(QStringLiteral("GetCurveAction"), [this] { fetchCurvesAndShowMode(); });
    on(QStringLiteral("WriteCurveAction"), [this] { WriteCurves(*env_, curves); });
    on(QStringLiteral("CheckOffAction"), [this] {
        editor_->CheckOff();
        PatchSheet->CheckOffBtn->setChecked(true);
    });
    on(QStringLiteral("CheckOnAction"), [this] {
        editor_->CheckOn();
        PatchSheet->CheckOnBtn->setChecked(true);
    });
    on(QStringLiteral("UndoPatAction"), [this] { editor_->Undo(); });
    on(QStringLiteral("DelPatchAction"), [this] { editor_->DelPatch(); });
    on(QStringLiteral("SetChSelAction"), [this] { editor_->SetChSel(); });
    on(QStringLiteral("ToolBarPatchAction"), [this] { ToolBarPatchActionExecute(); });
    on(QStringLiteral("ClrCurPatAction"), [this] { ClearOrThroughActionExecute(false); });
    on(QStringLiteral("ThrCurPatAction"), [this] { ClearOrThroughActionExecute(true); });
    on(QStringLiteral("ClrAllPatAction"), [this] { ClrAllPatActionExecute(); });
    on(QStringLiteral("TableO2IAction"), [this] {
        settings.PatTableMode = 0;
        relayTable();
    });
    on(QStringLiteral("TableI2OAction"), [this] {
        settings.PatTableMode = 1;
        relayTable();
    });
    for (int w : {10, 12, 16, 20})
        on(QStringLiteral("TableW%1Action").arg(w), [this, w] {
            settings.PatTableWidth = w;
            relayTable();
        });
    for (int w : {8, 16})
        on(QStringLiteral("CrvGridW%1Action").arg(w), [this, w] {
            settings.CrvGridWidth = w;
            CurveSheet->RefreshView();
        });
    on(QStringLiteral("DispABChAction"), [this] {
        settings.DispAbCh = !settings.DispAbCh;
        if (settings.PatTableMode == 0) {
            PatchSheet->Table->ClearSelection();
            PatchSheet->Table->SelectAnchor() = -1;
        }
        relayTable();
        LdAtrSheet->RefreshGrid();
    });
    on(QStringLiteral("GoWebAction"), [] { GoWeb(); });
    on(QStringLiteral("SaveAllDataAction"), [this] { files_->SaveAllDataActionExecute(); });
    on(QStringLiteral("LoadAllDataAction"), [this] { files_->LoadAllDataActionExecute(); });
    on(QStringLiteral("SaveAllPatAction"), [this] { files_->SaveAllPatActionExecute(); });
    on(QStringLiteral("SaveCurPatAction"), [this] { files_->SaveCurPatActionExecute(); });
    on(QStringLiteral("LoadAllPatAction"), [this] { files_->LoadAllPatActionExecute(); });
    on(QStringLiteral("LoadCurPatAction"), [this] { files_->LoadCurPatActionExecute(); });
    on(QStringLiteral("SaveLdAtrAction"), [this] { files_->SaveLdAtrActionExecute(); });
    on(QStringLiteral("LoadLdAtrAction"), [this] { files_->LoadLdAtrActionExecute(); });
    on(QStringLiteral("SaveCurveAction"), [this] { files_->SaveCurveActionExecute(); });
    on(QStringLiteral("LoadCurveAction"), [this] { files_->LoadCurveActionExecute(); });

    connect(PatchSheet->CheckOffBtn, &QToolButton::clicked, this, [this] {
        ExecuteAction(QStringLiteral("CheckOffAction"));
        PatchSheet->CheckOffBtn->setChecked(true);
    });
    connect(PatchSheet->CheckOnBtn, &QToolButton::clicked, this, [this] {
        if (!ExecuteAction(QStringLiteral("CheckOnAction")))
            PatchSheet->CheckOffBtn->setChecked(true);
    });
    connect(PatchSheet, &TPatchPage::CheckLvlBarChange, this, [this] { CheckLvlBarChange(); });
    connect(PatchSheet, &TPatchPage::FromChEditEnter, this,
            [this] { PatchSheet->ToChEdit->setFocus(); });
    connect(PatchSheet, &TPatchPage::ToChEditEnter, this,
            [this] { ExecuteAction(QStringLiteral("ToolBarPatchAction")); });
    for (QLineEdit *edit : {PatchSheet->FromChEdit, PatchSheet->ToChEdit})
        connect(edit, &QLineEdit::textChanged, this, &TKestravaForm::UpdateActions);
    connect(PatchSheet, &TPatchPage::PatNoComboChange, this, &TKestravaForm::PatNoComboChange);
    connect(ExitItem, &QAction::triggered, this, &QWidget::close);
    connect(OptItem, &QAction::triggered, this, &TKestravaForm::OptItemClick);
    connect(HelpContentsItem, &QAction::triggered, this, [] { ShowHelpContents(); });
    connect(HelpAboutItem, &QAction::triggered, this, &TKestravaForm::HelpAboutItemClick);
    connect(PageControl1, &QTabWidget::currentChanged, this, [this](int index) {
        PageControl1Changing(pageIndex_);
        pageIndex_ = index;
        PageControl1Change();
    });
}

Page TKestravaForm::ActivePage() const {
    return Page(PageControl1->currentIndex());
}

void TKestravaForm::ShowPage(Page page) {
    PageControl1->setCurrentIndex(int(page));
}

UiState TKestravaForm::CurrentState() const {
    UiState s;
    s.page = ActivePage();
    s.editMode = link.EditMode;
    s.linked = link.Linked;
    s.transferring = link.Transferring;
    s.patchChanged = patches.PatchChanged;
    s.curPatch = patches.HasCurrent() ? patches.CurPatch : -1;
    s.undoEmpty = patches.UndoList.IsEmpty();
    s.patTableMode = settings.PatTableMode;
    s.patTableWidth = settings.PatTableWidth;
    s.crvGridWidth = settings.CrvGridWidth;
    s.dispAbCh = settings.DispAbCh;
    s.selectedOutputs = PatchSheet->Table->SelectedCount();
    if (const TPatch *memory = patches.Current()) {
        const int o = PatchSheet->Table->CurrentCellOutput();
        s.cellHasPatch = o >= 0 && (*memory)[std::size_t(o)] != pvNone &&
                         (settings.PatTableMode == 1 || o < patches.MaxTxChannel);
    }
    s.setTextsFilled =
        !PatchSheet->FromChEdit->text().isEmpty() && !PatchSheet->ToChEdit->text().isEmpty();
    const QWidget *under = WindowUnderCursor();
    s.overCurveGraph =
        under && (under == CurveSheet->CurveScrBox || CurveSheet->CurveScrBox->isAncestorOf(under));
    if (const TUserCurve *c = curves.Current()) {
        s.curvePoints = c->Points.Count();
        s.curveIndividual = c->Mode == cmIndividual;
        const TCurvePoint *p = c->Points.FindSelected();
        s.pointDeletable = p && p->X != 0 && p->X != CurveMaxInput;
    }
    return s;
}

void TKestravaForm::UpdateActions() {
    const UiState s = CurrentState();
    for (const ActionRule &rule : ActionRules()) {
        QAction *a = Action(QLatin1String(rule.name));
        const ActionLook look = EvaluateAction(rule, s);
        a->setVisible(look.visible);
        a->setEnabled(look.enabled);
        if (a->isCheckable())
            a->setChecked(look.checked);
        a->setText(look.caption);
    }
    PatchSheet->WritePatBtn->setVisible(Action(QStringLiteral("WritePatAction"))->isVisible());
    LdAtrSheet->WriteLdAtrBtn->setVisible(Action(QStringLiteral("WriteLdAtrAction"))->isVisible());
    CurveSheet->WriteCurveBtn->setVisible(Action(QStringLiteral("WriteCurveAction"))->isVisible());
    QAction *on = Action(QStringLiteral("CheckOnAction"));
    PatchSheet->ChkPanel->setVisible(on->isVisible());
    PatchSheet->CheckOnBtn->setEnabled(on->isEnabled());
    PatchSheet->CheckOffBtn->setEnabled(Action(QStringLiteral("CheckOffAction"))->isEnabled());
}

void TKestravaForm::showEvent(QShowEvent *event) {
    QMainWindow::showEvent(event);
    if (!shown_) {
        shown_ = true;
        FormShow();
    }
}

void TKestravaForm::FormShow() {
    RestoreWindowPlacement(this, *IniFile, 800, 600);
    settings.ReadShow(*IniFile);
    PatchSheet->SetCheckLevel(settings.CheckValue);
    relayTable();
    link.ComPortNo = settings.ComPort;
    link.OpenPort();
    StatusBar1->panel(0)->setToolTip(link.PortOpen ? QString() : LastComOpenError());
    link.BusyCount = 0;
    QMetaObject::invokeMethod(this, &TKestravaForm::WMStartUp, Qt::QueuedConnection);
}

void TKestravaForm::WMStartUp() {
    if (closing_)
        return;
    UpdateActions();
    repaint();
    if (!link.SendCmd(QStringLiteral("R001\r"))) {
        if (!AskYesNo(tr("パッチユニットが見つかりません。\n編集モードで起動しますか?"),
                      tr("起動確認"))) {
            close();
            return;
        }
        link.EditMode = true;
    }
    Timer1->start();
    if (link.EditMode) {
        PatchSheet->SelectPatNo(0);
        UpdateActions();
        return;
    }
    ReConnectActionExecute();
}

void TKestravaForm::fetchCurvesAndShowMode() {
    FetchCurves(*env_, curves);
    // The mode selector shows the fetched mode; a change there recalculates.
    CurveSheet->ShowCurveMode();
    curves.CurveChanged = false;
    CurveSheet->RefreshView();
}

void TKestravaForm::ReConnectActionExecute() {
    Timer1->stop();
    ShowPage(Page::Patch);
    patches.ResetAllPatches();
    editor_->CheckOutput = -1;
    curves.CurveChanged = false;
    attrs.LdAtrChanged = false;
    curves.CurvesInSync = false;
    attrs.LdAtrInSync = false;
    if (link.LinkUp()) {
        patches.CurPatch = link.QueryCurrentPatch();
        PatchSheet->SelectPatNo(patches.CurPatch);
        ExecuteAction(QStringLiteral("GetTableAction"));
        ExecuteAction(QStringLiteral("GetLdAtrAcion"));
        ExecuteAction(QStringLiteral("GetCurveAction"));
        CheckLvlBarChange();
        link.EditMode = false;
    }
    relayTable();
    UpdateActions();
    RefreshLinkPanel();
    Timer1->start();
}

void TKestravaForm::relayTable() {
    PatchSheet->LayoutTable(settings.PatTableMode, settings.PatTableWidth, settings.DispAbCh);
    UpdateActions();
}

void TKestravaForm::PatNoComboChange(int index) {
    if (patches.PatchChanged && !link.EditMode) {
        const int answer = AskYesNoCancel(
            QStringLiteral("パッチ%1の変更内容を書き込みますか?").arg(patches.CurPatch + 1));
        if (answer == IDCANCEL) {
            PatchSheet->SelectPatNo(patches.CurPatch);
            patches.ClearUndo();
            return;
        }
        if (answer == IDYES)
            ExecuteAction(QStringLiteral("WritePatAction"));
    }
    QApplication::setOverrideCursor(Qt::WaitCursor);
    patches.CurPatch = index;
    StatusBar1->setPanelText(3, QString());
    if (!link.EditMode && SelectUnitPatch(*env_, index))
        ExecuteAction(QStringLiteral("GetTableAction"));
    PatchSheet->Table->ClearSelection();
    PatchSheet->Table->SelectAnchor() = -1;
    PatchSheet->RepaintTable();
    PatchSheet->Table->MoveCursorToOutput(0);
    QApplication::restoreOverrideCursor();
    patches.ClearUndo();
    UpdateActions();
}

void TKestravaForm::bindPatchTable() {
    TPatchTable *table = PatchSheet->Table;
    table->CheckOutput = &editor_->CheckOutput;
    table->applyCellEdit = [this, table](int c, int r, const QString &value) {
        editor_->ApplyCellEdit(c, r, value, table->PatchEditStartText);
        UpdateActions();
    };
    table->selectionChanged = [this] { UpdateActions(); };
    table->checkOutputAt = [this](int o) { editor_->CheckOutputAt(o); };
    table->checkOnDown = [this] { return PatchSheet->CheckOnBtn->isChecked(); };
    table->deleteKey = [this] { ExecuteAction(QStringLiteral("DelPatchAction")); };
}

void TKestravaForm::CheckLvlBarChange() {
    const int level = PatchSheet->CheckLevel();
    if (editor_->CheckLevel(level))
        PatchSheet->LevelLabel->setText(QString::number(level));
}

void TKestravaForm::ToolBarPatchActionExecute() {
    const bool o2i = settings.PatTableMode == 0;
    QLineEdit *input = o2i ? PatchSheet->ToChEdit : PatchSheet->FromChEdit;
    QLineEdit *outputs = o2i ? PatchSheet->FromChEdit : PatchSheet->ToChEdit;
    if (!editor_->ToolBarPatch(input->text(), outputs->text()))
        return;
    PatchSheet->FromChEdit->clear();
    PatchSheet->ToChEdit->clear();
    PatchSheet->FromChEdit->setFocus();
}

void TKestravaForm::ClearOrThroughActionExecute(bool through) {
    StatusBar1->setPanelText(1, QString());
    if (!AskYesNo(through ? tr("現在のパッチを１対１接続にしますか?")
                          : tr("現在のパッチをクリアしますか?")))
        return;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    ClearOrThroughCurrentPatch(*env_, patches, through);
    PatchSheet->RepaintTable();
    QApplication::restoreOverrideCursor();
}

void TKestravaForm::ClrAllPatActionExecute() {
    StatusBar1->setPanelText(1, QString());
    if (!AskYesNo(tr("全てのパッチをクリアしますか?"))) {
        PatchSheet->RepaintTable();
        return;
    }
    ClearAllPatches(*env_, patches);
    PatNoComboChange(PatchSheet->PatNoCombo->currentIndex());
    PatchSheet->RepaintTable();
}

void TKestravaForm::RefreshInfoPanel() {
    TPatchTable *table = PatchSheet->Table;
    const int o = table->CurrentCellOutput();
    StatusBar1->setPanelText(3,
                             InfoPanelText(patches.HasCurrent(), o, settings.PatTableMode,
                                           settings.DispAbCh, patches.MaxTxChannel,
                                           o >= 0 && o < 1024 ? attrs.LoadAttrs[std::size_t(o)] : 0,
                                           table->SelectedCount(), patches.PatchChanged));
    CellEditOpen = table->Grid()->editorOpen();
}

void TKestravaForm::Timer1Timer() {
    TickPhase = (TickPhase + 1) % 5;
    if (TickPhase == 0)
        RefreshLinkPanel();
    if (ActivePage() == Page::Patch)
        RefreshInfoPanel();
    UpdateActions();
}

void TKestravaForm::RefreshLinkPanel() {
    int status = 0;
    if (!link.EditMode && link.Linked && link.BusyCount < 1 && ComOutQueue(link.ComPortNo) < 1 &&
        ComInQueue(link.ComPortNo) < 1) {
        Timer1->stop();
        const QString reply = link.QueryCmd(QStringLiteral("Q802\r"));
        if (reply.size() == 3) {
            status = HexValue(reply, 0);
            Timer1->start();
        } else {
            link.Linked = false;
            UpdateActions();
            StatusBar1->setPanelText(0,
                                     LinkPanelText(false, link.ComPortNo, false, link.PortOpen, 0));
            if (AskErrorYesNo(tr("リモート接続が切れました\n再接続しますか?"), tr("エラー")))
                ReConnectActionExecute();
        }
    }
    StatusBar1->setPanelText(
        0, LinkPanelText(link.EditMode, link.ComPortNo, link.Linked, link.PortOpen, status));
}

void TKestravaForm::PageControl1Changing(int leaving) {
    if (Page(leaving) == Page::Patch) {
        ExecuteAction(QStringLiteral("CheckOffAction"));
        PatchSheet->CheckOffBtn->setChecked(true);
    }
}

void TKestravaForm::PageControl1Change() {
    UpdateActions();
    StatusBar1->setPanelText(3, QString());
    switch (ActivePage()) {
    case Page::Patch:
        break;
    case Page::Attr:
        LdAtrSheet->LdAtrGrid->setFocus();
        break;
    case Page::Curve:
        CurveSheet->RefreshView();
        break;
    }
    update();
}

void TKestravaForm::OptItemClick() {
    if (!optDlg_)
        return;
    QStringList ports;
    ListComPorts(&ports, true);
    optDlg_->Load(ports, link.ComPortNo, settings.MaxRxChannel, settings.MaxTxChannel,
                  settings.WarnChgPatch);
    if (RunModal(*optDlg_) != QDialog::Accepted)
        return;
    const int port = ComPortItemNumber(optDlg_->ComPortText());
    if (port > 0 && port != link.ComPortNo) {
        if (link.Linked)
            link.SendCmd(QStringLiteral("R000\r"));
        link.ClosePort();
        link.ComPortNo = port;
        settings.ComPort = port;
        link.OpenPort();
        StatusBar1->panel(0)->setToolTip(link.PortOpen ? QString() : LastComOpenError());
        QThread::msleep(100);
        ReConnectActionExecute();
    }
    bool ok = false;
    const int rx = optDlg_->MaxRxText().toInt(&ok);
    if (ok)
        settings.MaxRxChannel = patches.MaxRxChannel = std::clamp(rx, 1, 1024);
    const int tx = optDlg_->MaxTxText().toInt(&ok);
    if (ok)
        settings.MaxTxChannel = patches.MaxTxChannel = std::clamp(tx, 1, 1024);
    relayTable();
    settings.WarnChgPatch = optDlg_->Warn();
}

void TKestravaForm::HelpAboutItemClick() {
    if (!aboutBox_)
        return;
    aboutBox_->Prepare(link.FirmwareVersion);
    RunModal(*aboutBox_);
}

bool TKestravaForm::FormCloseQuery() {
    struct Question {
        bool *changed;
        QString subject;
        const char *saveAction;
        const char *writeAction;
    };
    const Question questions[] = {
        {&patches.PatchChanged, QStringLiteral("パッチ%1の変更内容").arg(patches.CurPatch + 1),
         "SaveAllPatAction", "WritePatAction"},
        {&attrs.LdAtrChanged, tr("負荷属性の変更内容"), "SaveLdAtrAction", "WriteLdAtrAction"},
        {&curves.CurveChanged, tr("カーブの変更内容"), "SaveCurveAction", "WriteCurveAction"},
    };
    const QString ending =
        link.EditMode ? tr("をファイルに保存しますか?") : tr("を書き込みますか?");
    for (const Question &q : questions) {
        if (!*q.changed)
            continue;
        const int answer = AskYesNoCancel(q.subject + ending, tr("終了確認"));
        if (answer == IDCANCEL)
            return false;
        if (answer != IDYES)
            continue;
        // The question runs the command itself, whatever its rule says now.
        if (const auto handler =
                handlers_.value(QLatin1String(link.EditMode ? q.saveAction : q.writeAction)))
            handler();
        UpdateActions();
        // A save or write that did not happen would lose the edits: stay open.
        if (*q.changed)
            return false;
    }
    return true;
}

void TKestravaForm::closeEvent(QCloseEvent *event) {
    if (link.Transferring || !FormCloseQuery()) {
        event->ignore();
        return;
    }
    FormClose();
    event->accept();
}

void TKestravaForm::FormClose() {
    closing_ = true;
    Timer1->stop();
    if (link.Linked)
        link.SendCmd(QStringLiteral("R000\r"));
    link.ClosePort();
    settings.ComPort = link.ComPortNo;
    settings.CheckValue = PatchSheet->CheckLevel();
    settings.WriteComPort(*IniFile);
    settings.WriteGeneral(*IniFile);
    StoreWindowPlacement(this, *IniFile);
    settings.WriteCheckValue(*IniFile);
    IniFile->sync();
}

bool TKestravaForm::eventFilter(QObject *watched, QEvent *e) {
    // F1 in an open menu shows that menu's help topic.
    if (e->type() == QEvent::KeyPress && static_cast<QKeyEvent *>(e)->key() == Qt::Key_F1) {
        if (auto *menu = qobject_cast<QMenu *>(watched); menu && helpContexts_.contains(menu)) {
            ShowHelpTopic(helpContexts_.value(menu));
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, e);
}

void TKestravaForm::keyPressEvent(QKeyEvent *e) {
    if (e->key() == Qt::Key_F1) {
        ShowHelpContents();
        return;
    }
    QMainWindow::keyPressEvent(e);
}

} // namespace kestrava
