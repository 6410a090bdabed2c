#pragma once

#include "ActionRules.h"

#include <QAction>
#include <QObject>

#include <array>
#include <functional>
#include <optional>

class QAbstractButton;
class QMenu;

namespace kestrava {

// In a list of menu items: a separator line.
inline constexpr ActionId Separator = ActionId::Count;

// Every QAction of the main window by id, with its rule and its handler. One
// UpdateActions() applies every rule; a handler runs only when its rule enables it.
class TActionMap : public QObject {
    Q_OBJECT
public:
    // state: what the rules look at, taken fresh at each use.
    TActionMap(std::function<UiState()> state, QObject *parent);

    QAction *Action(ActionId id) const { return actions_[std::size_t(id)]; }
    // The handler that triggering the action runs (one for each action).
    void On(ActionId id, std::function<void()> handler);
    // Runs the handler when the rule enables the action now; returns whether it ran.
    bool Execute(ActionId id);
    // Runs the handler whatever the rule says (the close question's own commands).
    void Run(ActionId id);
    void UpdateActions();
    // The button shows the action's caption, follows its enabled state and its
    // visibility, and triggers it.
    void Bind(QAbstractButton *button, ActionId id);
    // A popup menu of these actions whose rules are applied before it opens.
    QMenu *Popup(const char *name, std::initializer_list<ActionId> items, QWidget *parent);

    // A command is running: its transfers, or a box it shows, whose event loop runs the
    // timer. Handlers that are not actions (cell edits, the patch chooser) hold a scope too.
    bool CommandRunning() const { return running_ > 0; }
    class CommandScope {
    public:
        explicit CommandScope(TActionMap &map) : map_(map) { ++map_.running_; }
        ~CommandScope() { --map_.running_; }
        CommandScope(const CommandScope &) = delete;
        CommandScope &operator=(const CommandScope &) = delete;

    private:
        TActionMap &map_;
    };

private:
    int running_ = 0;
    std::function<UiState()> state_;
    // The state the actions last showed: the timer's refresh costs nothing while it holds.
    std::optional<UiState> shown_;
    std::array<QAction *, ActionCount> actions_{};
    std::array<std::function<void()>, ActionCount> handlers_{};
};

} // namespace kestrava
