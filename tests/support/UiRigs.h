#pragma once

#include "ActionMap.h"
#include "AppSettings.h"
#include "Curve.h"
#include "KestravaForm.h"
#include "LoadAttrModel.h"
#include "PatchModel.h"
#include "PatchPage.h"
#include "RecordingProgress.h"
#include "ScriptedResponder.h"
#include "UiTexts.h"
#include "UnitSim.h"
#include "Usr_misc.h"
#include "Usr_spbar.h"

#include <QTemporaryDir>
#include <QTimer>
#include <QWidget>

#include <memory>

namespace kestrava {
class TAttrPage;
class TCurvePage;
} // namespace kestrava

namespace kestrava::test {

// Shows a top-level window and waits until it is exposed and active.
bool ShowActive(QWidget &window);

// A settings file in a folder of its own that gives COM9 to a device.
class SettingsFile {
public:
    SettingsFile();
    QString path() const { return dir_.filePath(QStringLiteral("kestrava.INI")); }
    // Starts the file afresh with COM port number port mapped to device, and the texts in
    // a language ("ja" unless a test asks for English).
    void mapPort(const QString &device, int port = 9,
                 const QString &language = QStringLiteral("ja"));

private:
    QTemporaryDir dir_;
};

// The whole main window on a settings file that maps COM9 to a simulated unit, with
// the message boxes answered by a script.
struct FormRig {
    explicit FormRig(sim::UnitSimOptions options = {},
                     const QString &language = QStringLiteral("ja"));
    ~FormRig();
    // Shows the window, waits until it is active and, unless the unit is absent,
    // until the start-up has polled the status once; the request log then starts empty.
    bool showLinked();
    bool showOnly();
    // Lets the window close without its questions about unsaved changes.
    void closeQuietly();
    // The window's parts, reached as its own pages reach them.
    TUnitLink &link() const { return form->link; }
    TPatchModel &patches() const { return form->patches; }
    TLoadAttrModel &attrs() const { return form->attrs; }
    TCurveSet &curves() const { return form->curves; }
    const TAppSettings &appSettings() const { return form->settings; }
    TStatusBar *statusBar() const { return form->StatusBar1; }
    QTimer *timer() const { return form->Timer1; }
    QString panel(int i) const { return statusBar()->panelText(i); }

    sim::UnitSim unit;
    SettingsFile settings;
    ScriptedResponder boxes;
    TDesktop desktop{TBoxes(boxes)}; // a test may hook it before the form uses it
    std::unique_ptr<TUiTexts> texts; // as the program: chosen by the settings file
    std::unique_ptr<TKestravaForm> form;
};

// What a page is built with, without the main window: the models, a link to a
// simulated unit, the settings, an action map whose state the page fills in, and a
// status bar. The transfer bracket only records.
struct PageRig {
    explicit PageRig(sim::UnitSimOptions options = {});
    ~PageRig();
    // The unit linked as a reconnect links it (remote mode, identification).
    bool linkUp();
    UiState state() const;
    // Shows the page under test above the status bar, as the window does.
    void place(TPage *shownPage, QWidget *widget, Page kind);

    sim::UnitSim unit;
    ScriptedResponder boxes;
    TDesktop desktop{TBoxes(boxes)};
    RecordingProgress progress;
    TUnitLink link{TBoxes(boxes)};
    TPatchModel patches;
    TLoadAttrModel attrs;
    TCurveSet curves;
    TAppSettings settings;
    QWidget window;
    TStatusBar *status;
    TActionMap actions;
    TransferEnv env{link, progress, [this] { actions.UpdateActions(); }};
    TPageContext context() { return {env, settings, actions, *status, desktop}; }
    TPage *page = nullptr; // the page under test fills its part of the state
    QTimer *ticker;        // the window's 100 ms tick of the shown page
    Page shown = Page::Patch;
};

// The patch page alone, linked to the unit and showing its current patch.
struct PatchPageRig : PageRig {
    explicit PatchPageRig(sim::UnitSimOptions options = {});
    TPatchPage *patchPage;
};

// The curve page alone, shown as the active page, linked to the unit with the curves
// fetched as a reconnect fetches them.
struct CurvePageRig : PageRig {
    explicit CurvePageRig(sim::UnitSimOptions options = {});
    TCurvePage *curvePage;
};

// The load attribute page alone and shown as the active page, linked to the unit with
// the unit's attributes fetched.
struct AttrPageRig : PageRig {
    explicit AttrPageRig(sim::UnitSimOptions options = {});
    TAttrPage *attrPage;
};

} // namespace kestrava::test
