#pragma once

#include "UiLanguage.h"
#include "Usr_misc.h"

#include <QMargins>
#include <QString>

#include <functional>

class QDialog;
class QUrl;
class QWidget;

namespace kestrava {

using ModalHook = std::function<int(QDialog &)>;
using UrlOpener = std::function<bool(const QUrl &)>;
using FrameProbe = std::function<QMargins(const QWidget *window)>;

// What the window asks of the desktop around it: the boxes, how a modal dialog runs, how
// an address is opened, what frame the window manager draws and where the help page is.
// The program builds the real one; a test builds one that records and answers. An empty
// hook stands for the real thing.
struct TDesktop {
    TBoxes boxes;
    ModalHook runModal = {}; // empty: QDialog::exec()
    UrlOpener openUrl = {};  // empty: QDesktopServices::openUrl
    FrameProbe frame = {};   // empty: the window's frame geometry
    QString helpFolder = {}; // where the help page is looked for, and only there; empty:
                             // beside the program, then in its data folder
    UiLanguage helpLanguage = UiLanguage::Japanese;

    // Every modal dialog of the program (options, about) runs through here, so that a test
    // drives a dialog and closes it instead of blocking in exec().
    int RunModal(QDialog &dialog) const;
    bool OpenUrl(const QUrl &url) const;
};

} // namespace kestrava
