#pragma once

#include "ActionRules.h"
#include "AppSettings.h"
#include "Curve.h"
#include "LoadAttrModel.h"
#include "PatchModel.h"
#include "TransferEnv.h"
#include "UnitLink.h"

#include <QAction>
#include <QHash>
#include <QMainWindow>
#include <QMenu>
#include <QSettings>
#include <QTabWidget>
#include <QTimer>

#include <functional>
#include <memory>

namespace kestrava {

class StatusBarProgress;
class TAboutBox;
class TAttrPage;
class TCurvePage;
class TFileCommands;
class TOptDlg;
class TPatchEditor;
class TPatchPage;
class TStatusBar;

// The main window: owns the models, the link and the pages for the whole run and
// maps every command to its handler.
class TKestravaForm : public QMainWindow {
    Q_OBJECT
public:
    // FormCreate: the models at their start values and the settings read.
    explicit TKestravaForm(const QString &settingsPath, QWidget *parent = nullptr);
    ~TKestravaForm() override;

    // The dialogs created after the window; they live as long as the program.
    void SetDialogs(TOptDlg *optDlg, TAboutBox *aboutBox);

    TUnitLink link;
    TPatchModel patches;
    TLoadAttrModel attrs;
    TCurveSet curves;
    TAppSettings settings;
    int TickPhase = 0;
    bool CellEditOpen = false;

    QAction *Action(const QString &name) const { return actions_.value(name); }
    // Applies every action's update rule to its action (and the buttons that follow it).
    void UpdateActions();
    UiState CurrentState() const;
    // Runs an action's handler if its rule enables it now; returns whether it ran.
    bool ExecuteAction(const QString &name);

    Page ActivePage() const;
    void ShowPage(Page page);

    QTabWidget *PageControl1 = nullptr;
    TPatchPage *PatchSheet = nullptr;
    TAttrPage *LdAtrSheet = nullptr;
    TCurvePage *CurveSheet = nullptr;
    TStatusBar *StatusBar1 = nullptr;
    QTimer *Timer1 = nullptr;
    QMenu *PopPatMenu = nullptr;
    QMenu *PopAtrMenu = nullptr;
    QMenu *PopCrvMenu = nullptr;
    QAction *ExitItem = nullptr;
    QAction *OptItem = nullptr;
    QAction *HelpContentsItem = nullptr;
    QAction *HelpAboutItem = nullptr;

    // Handlers of this window's own commands.
    void WMStartUp();
    void ReConnectActionExecute();
    void Timer1Timer();
    void RefreshLinkPanel();
    void OptItemClick();
    void HelpAboutItemClick();
    bool FormCloseQuery();

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    class Bracket;

    void createPages();
    void createActions();
    void createMenus();
    void createStatusBar();
    void connectHandlers();
    void FormShow();
    void FormClose();
    void PageControl1Changing(int leaving);
    void PageControl1Change();
    void PatNoComboChange(int index);
    void relayTable();
    void bindPatchTable();
    void CheckLvlBarChange();
    void ToolBarPatchActionExecute();
    void ClearOrThroughActionExecute(bool through);
    void ClrAllPatActionExecute();
    void RefreshInfoPanel();
    void fetchCurvesAndShowMode();
    void on(const QString &action, std::function<void()> handler);
    QMenu *addMenu(const QString &title, int helpContext, const QStringList &items);

    std::unique_ptr<QSettings> IniFile;
    std::unique_ptr<Bracket> bracket_;
    std::unique_ptr<TransferEnv> env_;
    std::unique_ptr<TFileCommands> files_;
    std::unique_ptr<TPatchEditor> editor_;
    StatusBarProgress *progress_ = nullptr;
    QHash<QString, QAction *> actions_;
    QHash<QString, std::function<void()>> handlers_;
    QHash<QMenu *, int> helpContexts_;
    TOptDlg *optDlg_ = nullptr;
    TAboutBox *aboutBox_ = nullptr;
    bool shown_ = false;
    bool closing_ = false;
    int pageIndex_ = 0;
};

} // namespace kestrava
