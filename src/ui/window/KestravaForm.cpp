#include "KestravaForm.h"

#include "AboutBox.h"
#include "ActionMap.h"
#include "AttrPage.h"
#include "CloseQuestions.h"
#include "CurvePage.h"
#include "FileCommands.h"
#include "FirstPaint.h"
#include "HistoryCommands.h"
#include "MainMenu.h"
#include "OptDlg.h"
#include "PageBracket.h"
#include "PatchPage.h"
#include "StatusText.h"
#include "Usr_env.h"
#include "Usr_help.h"
#include "Usr_misc.h"
#include "Usr_spbar.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QMenuBar>
#include <QSettings>
#include <QTabWidget>
#include <QTimer>
#include <QVBoxLayout>

namespace kestrava {

namespace {

constexpr int kTimerMs = 100;
constexpr int kFirstPaintWaitMs = 1000;

} // namespace

TKestravaForm::TKestravaForm(const QString &settingsPath, const TDesktop &desktop, QWidget *parent)
    : QMainWindow(parent), link(desktop.boxes), desktop_(desktop),
      IniFile(std::make_unique<QSettings>(settingsPath, QSettings::IniFormat)) {
    setObjectName(QStringLiteral("KestravaForm"));
    setWindowTitle(QStringLiteral("Kestrava"));
    setMinimumSize(800, 241);
    resize(792, 551);
    link.UseSettingsFile(settingsPath);

    settings.ReadCreate(*IniFile);
    patches.MaxTxChannel = settings.MaxTxChannel;
    patches.MaxRxChannel = settings.MaxRxChannel;
    patches.ResetAllPatches();
    attrs.LoadAttrs.fill(laNormal);
    curves.ResetAll();

    createStatusBar();
    bracket_ = std::make_unique<TPageBracket>(*progress_, [this] { return activePage(); });
    env_ = std::make_unique<TransferEnv>(TransferEnv{link, *bracket_, [this] { UpdateActions(); }});
    actions_ = new TActionMap([this] { return CurrentState(); }, this);
    createPages();
    files_ = new TFileCommands(patches, attrs, curves, *env_, *actions_, *StatusBar1, this);
    history_ = new THistoryCommands(patches, attrs, curves, *env_, *actions_, desktop_, *files_,
                                    settings, this);
    const auto *menu = new TMainMenu(menuBar(), *actions_, desktop_);
    connectHandlers(*menu);

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
                [this](int context) { ShowHelpTopic(desktop_, context); });
}

QAction *TKestravaForm::Action(ActionId id) const {
    return actions_->Action(id);
}

void TKestravaForm::UpdateActions() {
    actions_->UpdateActions();
}

bool TKestravaForm::ExecuteAction(ActionId id) {
    return actions_->Execute(id);
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
    const TPageContext context{*env_, settings, *actions_, *StatusBar1, desktop_};
    PatchSheet = new TPatchPage(patches, attrs, context, PageControl1);
    LdAtrSheet = new TAttrPage(attrs, context, PageControl1);
    CurveSheet = new TCurvePage(curves, context, PageControl1);
    pages_ = {PatchSheet, LdAtrSheet, CurveSheet};
    PageControl1->addTab(PatchSheet, tr("パッチ"));
    PageControl1->addTab(LdAtrSheet, tr("負荷属性"));
    PageControl1->addTab(CurveSheet, tr("カーブ編集"));
    box->addWidget(PageControl1, 1);
    box->addWidget(StatusBar1);
    setCentralWidget(central);
}

void TKestravaForm::connectHandlers(const TMainMenu &menu) {
    using enum ActionId;
    actions_->On(ReConnectAction, [this] { ReConnectActionExecute(); });
    actions_->On(DispABChAction, [this] {
        settings.DispAbCh = !settings.DispAbCh;
        settingsChanged();
    });
    actions_->On(GoWebAction, [this] { GoWeb(desktop_); });

    connect(files_, &TFileCommands::Loaded, this, [this] {
        for (TPage *page : pages_)
            page->Refresh();
    });
    connect(files_, &TFileCommands::PatchesReplaced, PatchSheet, &TPatchPage::ShowChosenPatch);
    connect(history_, &THistoryCommands::GoTo, this, [this](Page page, int patch, int output) {
        ShowPage(page);
        if (page == Page::Patch && patch == patches.CurPatch)
            PatchSheet->ShowOutput(output);
    });
    connect(files_, &TFileCommands::PatchSelectionDropped, PatchSheet, &TPatchPage::DropSelection);
    connect(files_, &TFileCommands::CurvesLoaded, CurveSheet, &TCurvePage::ShowCurveMode);
    connect(files_, &TFileCommands::AllCurvesReplaced, CurveSheet, &TCurvePage::FollowCurveMode);

    connect(menu.ExitItem, &QAction::triggered, this, &QWidget::close);
    connect(menu.OptItem, &QAction::triggered, this, &TKestravaForm::OptItemClick);
    connect(menu.HelpContentsItem, &QAction::triggered, this,
            [this] { ShowHelpContents(desktop_); });
    connect(menu.HelpAboutItem, &QAction::triggered, this, &TKestravaForm::HelpAboutItemClick);
    connect(PageControl1, &QTabWidget::currentChanged, this, [this](int index) {
        PageControl1Changing(pageIndex_);
        pageIndex_ = index;
        PageControl1Change();
    });
}

Page TKestravaForm::ActivePage() const {
    return Page(PageControl1->currentIndex());
}

TPage *TKestravaForm::activePage() const {
    return pages_[std::size_t(PageControl1->currentIndex())];
}

void TKestravaForm::ShowPage(Page page) {
    PageControl1->setCurrentIndex(int(page));
}

UiState TKestravaForm::CurrentState() const {
    UiState s = WindowState(ActivePage(), link, patches, settings);
    for (const TPage *page : pages_)
        if (page)
            page->FillState(s);
    return s;
}

void TKestravaForm::settingsChanged() {
    for (TPage *page : pages_)
        page->SettingsChanged();
    UpdateActions();
}

void TKestravaForm::showEvent(QShowEvent *event) {
    QMainWindow::showEvent(event);
    if (!shown_) {
        shown_ = true;
        FormShow();
    }
}

void TKestravaForm::FormShow() {
    RestoreWindowPlacement(this, *IniFile, 800, 600, desktop_.frame);
    settings.ReadShow(*IniFile);
    PatchSheet->SetCheckLevel(settings.CheckValue);
    settingsChanged();
    link.OpenSavedPort();
    refreshPortTip();
    // The check blocks until the unit answers: the window is painted first.
    new TAfterFirstPaint(StatusBar1, kFirstPaintWaitMs, [this] { WMStartUp(); });
}

void TKestravaForm::WMStartUp() {
    if (closing_)
        return;
    UpdateActions();
    repaint();
    if (!link.RemoteOn()) {
        if (!desktop_.boxes.AskYesNo(
                tr("パッチユニットが見つかりません。\n編集モードで起動しますか?"),
                tr("起動確認"))) {
            close();
            return;
        }
        link.EnterEditMode();
    }
    Timer1->start();
    if (link.EditMode) {
        PatchSheet->SelectPatNo(0);
        UpdateActions();
        return;
    }
    ReConnectActionExecute();
}

void TKestravaForm::ReConnectActionExecute() {
    Timer1->stop();
    ShowPage(Page::Patch);
    patches.ResetAllPatches();
    PatchSheet->ForgetCheck();
    curves.Forget();
    attrs.Forget();
    if (link.LinkUp()) {
        // Out of edit mode before the fetches, which read nothing in edit mode: a reconnect
        // from it would otherwise show emptied memory as the unit's.
        link.LeaveEditMode();
        patches.SelectCurrent(link.QueryCurrentPatch());
        PatchSheet->SelectPatNo(patches.CurPatch);
        ExecuteAction(ActionId::GetTableAction);
        ExecuteAction(ActionId::GetLdAtrAcion);
        ExecuteAction(ActionId::GetCurveAction);
        PatchSheet->CheckLvlBarChange();
    } else if (!link.PortOpen) {
        // A silent unit has said so through the link; a port that cannot be opened says why.
        desktop_.boxes.Error(QCoreApplication::translate("UnitLink", "応答がありません") + u'\n' +
                             link.OpenError());
    }
    settingsChanged();
    refreshPortTip(); // the reconnect reopened the port, or found it gone
    RefreshLinkPanel();
    Timer1->start();
}

void TKestravaForm::Timer1Timer() {
    tickPhase_ = (tickPhase_ + 1) % 5;
    if (tickPhase_ == 0)
        RefreshLinkPanel();
    activePage()->Tick();
    UpdateActions();
}

void TKestravaForm::RefreshLinkPanel() {
    TDmxLines lines; // none unless this refresh polled
    // Inside a command the poll waits: its question must not stack on the command's boxes,
    // nor its reconnect run in the middle of the command's transfers.
    if (!link.EditMode && link.Linked && link.IsIdle() && !actions_->CommandRunning()) {
        Timer1->stop();
        if (const std::optional<TDmxLines> polled = link.PollStatus()) {
            lines = *polled;
            Timer1->start();
        } else {
            link.MarkLost();
            UpdateActions();
            StatusBar1->setPanelText(
                0, LinkPanelText(false, link.ComPortNo, false, link.PortOpen, {}));
            if (desktop_.boxes.AskErrorYesNo(tr("リモート接続が切れました\n再接続しますか?"),
                                             tr("エラー")))
                ReConnectActionExecute();
        }
    }
    StatusBar1->setPanelText(
        0, LinkPanelText(link.EditMode, link.ComPortNo, link.Linked, link.PortOpen, lines));
}

// The port panel's tooltip tells why the port could not be opened.
void TKestravaForm::refreshPortTip() {
    StatusBar1->panel(0)->setToolTip(link.PortOpen ? QString() : link.OpenError());
}

void TKestravaForm::PageControl1Changing(int leaving) {
    pages_[std::size_t(leaving)]->Leaving();
}

void TKestravaForm::PageControl1Change() {
    UpdateActions();
    StatusBar1->setPanelText(3, QString());
    activePage()->Activated();
    update();
}

void TKestravaForm::OptItemClick() {
    if (!optDlg_)
        return;
    optDlg_->Load(link.Settings.ComPortItems(), link.ComPortNo, settings.MaxRxChannel,
                  settings.MaxTxChannel, settings.WarnChgPatch);
    optDlg_->SetPortLister([this] { return link.Settings.ComPortItems(); });
    if (desktop_.RunModal(*optDlg_) != QDialog::Accepted)
        return;
    const int port = optDlg_->ComPortNumber();
    if (port > 0 && port != link.ComPortNo) {
        link.ChangePort(port);
        refreshPortTip();
        ReConnectActionExecute();
    }
    optDlg_->ApplyChannelCounts(settings, patches);
    settingsChanged();
    settings.WarnChgPatch = optDlg_->Warn();
}

void TKestravaForm::HelpAboutItemClick() {
    if (!aboutBox_)
        return;
    aboutBox_->Prepare(link.FirmwareVersion);
    desktop_.RunModal(*aboutBox_);
}

bool TKestravaForm::FormCloseQuery() {
    for (const TCloseQuestion &q : CloseQuestions(patches, attrs, curves)) {
        if (!*q.changed)
            continue;
        const int answer =
            desktop_.boxes.AskYesNoCancel(link.EditMode ? q.toSave : q.toWrite, tr("終了確認"));
        if (answer == IDCANCEL)
            return false;
        if (answer != IDYES)
            continue;
        // The question runs the command itself, whatever its rule says now.
        actions_->Run(link.EditMode ? q.saveAction : q.writeAction);
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
        link.RemoteOff();
    link.ClosePort();
    settings.CheckValue = PatchSheet->CheckLevel();
    link.Settings.SetComPort(link.ComPortNo);
    IniFile->sync(); // take in the port before the window's keys are written
    settings.WriteGeneral(*IniFile);
    StoreWindowPlacement(this, *IniFile, desktop_.frame);
    settings.WriteCheckValue(*IniFile);
    IniFile->sync();
}

void TKestravaForm::keyPressEvent(QKeyEvent *e) {
    if (e->key() == Qt::Key_F1) {
        ShowHelpContents(desktop_);
        return;
    }
    QMainWindow::keyPressEvent(e);
}

} // namespace kestrava
