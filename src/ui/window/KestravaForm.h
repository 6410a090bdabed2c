#pragma once

#include "ActionRules.h"
#include "AppSettings.h"
#include "Curve.h"
#include "Desktop.h"
#include "LoadAttrModel.h"
#include "PatchModel.h"
#include "TransferEnv.h"
#include "UnitLink.h"

#include <QMainWindow>

#include <array>
#include <memory>

class QAction;
class QSettings;
class QTabWidget;
class QTimer;

namespace kestrava {

namespace test {
struct FormRig;
}

class StatusBarProgress;
class TAboutBox;
class TActionMap;
class TAttrPage;
class TCurvePage;
class TFileCommands;
class THistoryCommands;
class TMainMenu;
class TOptDlg;
class TPage;
class TPatchPage;
class TStatusBar;

// The main window: owns the models, the link, the settings, the pages and the
// action map for the whole run; routes page changes, runs the timer, start-up and
// close. What a page does lives on the page.
class TKestravaForm : public QMainWindow {
    Q_OBJECT
public:
    // FormCreate: the models at their start values and the settings read. The desktop
    // outlives the window.
    TKestravaForm(const QString &settingsPath, const TDesktop &desktop, QWidget *parent = nullptr);
    TKestravaForm(const QString &, TDesktop &&, QWidget * = nullptr) = delete;
    ~TKestravaForm() override;

    // The dialogs created after the window; they live as long as the program.
    void SetDialogs(TOptDlg *optDlg, TAboutBox *aboutBox);

    QAction *Action(ActionId id) const;
    // Applies every action's update rule to its action (and the buttons that follow it).
    void UpdateActions();
    UiState CurrentState() const;
    // Runs an action's handler if its rule enables it now; returns whether it ran.
    bool ExecuteAction(ActionId id);

    Page ActivePage() const;
    void ShowPage(Page page);

    // The link panel from the link's state now.
    void RefreshLinkPanel();
    // The questions about unsaved changes; false keeps the window open.
    bool FormCloseQuery();

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    // The test rig reaches the models and the link as the window's parts do.
    friend struct test::FormRig;

    TUnitLink link;
    TPatchModel patches;
    TLoadAttrModel attrs;
    TCurveSet curves;
    TAppSettings settings;

    QTabWidget *PageControl1 = nullptr;
    TPatchPage *PatchSheet = nullptr;
    TAttrPage *LdAtrSheet = nullptr;
    TCurvePage *CurveSheet = nullptr;
    TStatusBar *StatusBar1 = nullptr;
    QTimer *Timer1 = nullptr;

    // Handlers of this window's own commands.
    void WMStartUp();
    void ReConnectActionExecute();
    void Timer1Timer();
    void OptItemClick();
    void HelpAboutItemClick();

    TPage *activePage() const;
    void createStatusBar();
    void createPages();
    void connectHandlers(const TMainMenu &menu);
    void FormShow();
    void FormClose();
    void PageControl1Changing(int leaving);
    void PageControl1Change();
    void settingsChanged();
    void refreshPortTip();

    const TDesktop &desktop_;
    std::unique_ptr<QSettings> IniFile;
    std::unique_ptr<TransferProgress> bracket_;
    std::unique_ptr<TransferEnv> env_;
    TActionMap *actions_ = nullptr;
    TFileCommands *files_ = nullptr;
    THistoryCommands *history_ = nullptr;
    StatusBarProgress *progress_ = nullptr;
    std::array<TPage *, 3> pages_{};
    TOptDlg *optDlg_ = nullptr;
    TAboutBox *aboutBox_ = nullptr;
    bool shown_ = false;
    bool closing_ = false;
    int pageIndex_ = 0;
    int tickPhase_ = 0;
};

} // namespace kestrava
