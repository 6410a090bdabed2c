#pragma once

#include "Desktop.h"

#include <QHash>
#include <QObject>

class QAction;
class QMenuBar;

namespace kestrava {

class TActionMap;

// The main menu bar: File, Edit, Remote, View, Options and Help, each applying the
// action rules before it opens; F1 in an open menu shows that menu's help topic.
class TMainMenu : public QObject {
    Q_OBJECT
public:
    TMainMenu(QMenuBar *bar, TActionMap &actions, const TDesktop &desktop);

    // The window's own items, beside the actions of the action map; their handlers
    // are the window's.
    QAction *ExitItem;
    QAction *OptItem;
    QAction *HelpContentsItem; // shown only when there is a help page
    QAction *HelpAboutItem;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    const TDesktop &desktop_;
    QHash<QObject *, int> helpContexts_;
};

} // namespace kestrava
