#include "MainMenu.h"

#include "ActionMap.h"
#include "Usr_help.h"

#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>

namespace kestrava {

TMainMenu::TMainMenu(QMenuBar *bar, TActionMap &actions, const TDesktop &desktop)
    : QObject(bar), desktop_(desktop) {
    const auto item = [this](const QString &caption, const char *name) {
        auto *a = new QAction(caption, this);
        a->setObjectName(QLatin1String(name));
        return a;
    };
    ExitItem = item(tr("終了(&X)"), "ExitItem");
    OptItem = item(tr("オプション設定(&O)"), "OptItem");
    HelpContentsItem = item(tr("目次(&C)"), "HelpContentsItem");
    HelpContentsItem->setVisible(HelpFileExists(desktop_));
    HelpAboutItem = item(tr("バージョン情報(&A)"), "HelpAboutItem");

    bar->setNativeMenuBar(false);
    const auto add = [&](const QString &title, const char *name, int helpContext,
                         std::initializer_list<QAction *> items) {
        QMenu *menu = bar->addMenu(title);
        menu->setObjectName(QLatin1String(name));
        helpContexts_.insert(menu, helpContext);
        for (QAction *a : items) {
            if (a)
                menu->addAction(a);
            else
                menu->addSeparator();
        }
        connect(menu, &QMenu::aboutToShow, &actions, &TActionMap::UpdateActions);
        menu->installEventFilter(this);
    };
    const auto a = [&actions](ActionId id) { return actions.Action(id); };
    QAction *const sep = nullptr;
    using enum ActionId;
    add(tr("ファイル(&F)"), "File1", HelpContext::File,
        {a(SaveAllDataAction),
         a(LoadAllDataAction),
         sep,
         a(SaveAllPatAction),
         a(SaveCurPatAction),
         sep,
         a(LoadAllPatAction),
         a(LoadCurPatAction),
         a(LoadSheetAction),
         sep,
         a(PrintSheetAction),
         sep,
         a(SaveLdAtrAction),
         a(LoadLdAtrAction),
         sep,
         a(SaveCurveAction),
         a(LoadCurveAction),
         sep,
         a(CompareFileAction),
         a(HistoryAction),
         sep,
         ExitItem});
    add(tr("編集(&E)"), "Edit1", HelpContext::Edit,
        {a(UndoPatAction),
         a(RedoPatAction),
         sep,
         a(CopyPatAction),
         a(PastePatAction),
         a(CopyLdAtrAction),
         a(PasteLdAtrAction),
         sep,
         a(GoToOutputAction),
         a(FindInputAction),
         sep,
         a(SetChSelAction),
         a(DelPatchAction),
         sep,
         a(ClrCurPatAction),
         a(ThrCurPatAction),
         sep,
         a(ClrAllPatAction),
         sep,
         a(InitLdAtrAction),
         a(InitCrvAction)});
    add(tr("リモート(&R)"), "Rmote1", HelpContext::Remote,
        {a(WritePatAction), a(WriteLdAtrAction), a(WriteCurveAction), sep, a(ReConnectAction), sep,
         a(CheckOnAction), a(CheckOffAction)});
    add(tr("表示(&V)"), "Show1", HelpContext::View,
        {a(TableO2IAction), a(TableI2OAction), sep, a(TableW10Action), a(TableW12Action),
         a(TableW16Action), a(TableW20Action), a(CrvGridW8Action), a(CrvGridW16Action), sep,
         a(DispABChAction)});
    add(tr("設定(&O)"), "Option1", HelpContext::Options, {OptItem});
    add(tr("ヘルプ(&H)"), "Help1", HelpContext::Help,
        {HelpContentsItem, sep, HelpAboutItem, a(GoWebAction)});
}

bool TMainMenu::eventFilter(QObject *watched, QEvent *e) {
    if (e->type() == QEvent::KeyPress && static_cast<QKeyEvent *>(e)->key() == Qt::Key_F1 &&
        helpContexts_.contains(watched)) {
        ShowHelpTopic(desktop_, helpContexts_.value(watched));
        return true;
    }
    return QObject::eventFilter(watched, e);
}

} // namespace kestrava
