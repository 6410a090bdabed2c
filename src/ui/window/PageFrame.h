#pragma once

#include "ActionRules.h"

#include <initializer_list>

class QFrame;
class QHBoxLayout;
class QMenu;
class QToolButton;
class QVBoxLayout;
class QWidget;

namespace kestrava {

class TActionMap;
class TDrawGrid;

// What the three pages share: the page is a column of touching parts whose first is the
// top panel, a row of the page's controls that ends with its write button.
class TPageFrame {
public:
    TPageFrame(QWidget *page, const char *topPanelName);

    QVBoxLayout *Column() const { return column_; }
    QFrame *TopPanel() const { return top_; }
    QHBoxLayout *TopRow() const { return row_; }
    // Ends the top row: the write button at its right end, showing its action.
    QToolButton *AddWriteButton(const char *name, TActionMap &actions, ActionId write);

private:
    QVBoxLayout *column_;
    QFrame *top_;
    QHBoxLayout *row_;
};

// A page's grid: the area past the last cell dark.
TDrawGrid *NewPageGrid(QWidget *parent, const char *name);

// The grid's popup menu of these actions, opened where the grid is right-clicked.
QMenu *AttachGridPopup(TDrawGrid *grid, TActionMap &actions, const char *menuName,
                       std::initializer_list<ActionId> items, QWidget *page);

} // namespace kestrava
