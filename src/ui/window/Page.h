#pragma once

#include "ActionRules.h"
#include "Desktop.h"

namespace kestrava {

class TActionMap;
class TStatusBar;
struct TAppSettings;
struct TransferEnv;

// What every page is built with besides the model it edits.
struct TPageContext {
    TransferEnv &env; // the link and the transfer bracket
    TAppSettings &settings;
    TActionMap &actions; // the page registers its commands' handlers here
    TStatusBar &status;
    const TDesktop &desktop; // the boxes, and whatever else a page asks of the desktop
};

// What the main window asks of each of its tab pages.
class TPage {
public:
    virtual ~TPage() = default;

    // The page's views off while a transfer runs (and back on after it).
    virtual void SetViewsEnabled(bool on) = 0;
    // Shows the models' data again (after a transfer, a load or a reconnect).
    virtual void Refresh() = 0;
    // The page became the shown one, or is about to stop being it.
    virtual void Activated() {}
    virtual void Leaving() {}
    // The display settings (view, widths, A/B notation, channel counts) changed.
    virtual void SettingsChanged() {}
    // The window's 100 ms tick while the page is shown.
    virtual void Tick() {}
    // The page's part of what the action rules look at.
    virtual void FillState(UiState &s) const { (void)s; }
};

} // namespace kestrava
