#include "ActionMap.h"

#include <QAbstractButton>
#include <QMenu>
#include <QToolButton>

namespace kestrava {

TActionMap::TActionMap(std::function<UiState()> state, QObject *parent)
    : QObject(parent), state_(std::move(state)) {
    for (int i = 0; i < ActionCount; ++i) {
        const ActionRule &rule = RuleOf(ActionId(i));
        auto *a = new QAction(this);
        a->setObjectName(QLatin1String(ActionName(rule.id)));
        QList<QKeySequence> keys{QKeySequence(rule.shortcut)};
        if (rule.shortcut2)
            keys.append(QKeySequence(rule.shortcut2));
        a->setShortcuts(keys);
        a->setCheckable(rule.checked != nullptr);
        a->setText(EvaluateAction(rule, UiState{}).caption);
        connect(a, &QAction::triggered, this, [this, i] { Execute(ActionId(i)); });
        actions_[std::size_t(i)] = a;
    }
}

void TActionMap::On(ActionId id, std::function<void()> handler) {
    handlers_[std::size_t(id)] = std::move(handler);
}

bool TActionMap::Execute(ActionId id) {
    // The rule decides, not QAction::isEnabled(): Qt disables every hidden action,
    // while a command hidden on this page may still be run by code.
    if (!handlers_[std::size_t(id)])
        return false;
    // Qt has toggled a checkable action by itself: show the state again, run or not.
    shown_.reset();
    UpdateActions();
    if (!EvaluateAction(RuleOf(id), state_()).enabled)
        return false;
    {
        const CommandScope command(*this);
        handlers_[std::size_t(id)]();
    }
    shown_.reset();
    UpdateActions();
    return true;
}

void TActionMap::Run(ActionId id) {
    if (const auto &handler = handlers_[std::size_t(id)]) {
        const CommandScope command(*this);
        handler();
    }
    shown_.reset();
    UpdateActions();
}

void TActionMap::UpdateActions() {
    const UiState s = state_();
    if (shown_ == s)
        return;
    shown_ = s;
    for (int i = 0; i < ActionCount; ++i) {
        QAction *a = actions_[std::size_t(i)];
        const ActionLook look = EvaluateAction(RuleOf(ActionId(i)), s);
        a->setVisible(look.visible);
        a->setEnabled(look.enabled);
        if (a->isCheckable())
            a->setChecked(look.checked);
        a->setText(look.caption);
    }
}

void TActionMap::Bind(QAbstractButton *button, ActionId id) {
    QAction *a = Action(id);
    if (auto *tool = qobject_cast<QToolButton *>(button)) {
        tool->setDefaultAction(a);
    } else {
        connect(button, &QAbstractButton::clicked, a, &QAction::trigger);
        connect(a, &QAction::changed, button, [button, a] {
            button->setText(a->text());
            button->setEnabled(a->isEnabled());
        });
    }
    button->setVisible(a->isVisible());
    connect(a, &QAction::visibleChanged, button,
            [button, a] { button->setVisible(a->isVisible()); });
}

QMenu *TActionMap::Popup(const char *name, std::initializer_list<ActionId> items, QWidget *parent) {
    auto *menu = new QMenu(parent);
    menu->setObjectName(QLatin1String(name));
    for (ActionId id : items) {
        if (id == Separator)
            menu->addSeparator();
        else
            menu->addAction(Action(id));
    }
    connect(menu, &QMenu::aboutToShow, this, &TActionMap::UpdateActions);
    return menu;
}

} // namespace kestrava
