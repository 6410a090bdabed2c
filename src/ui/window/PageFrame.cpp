#include "PageFrame.h"

#include "ActionMap.h"
#include "DrawGrid.h"
#include "UiNames.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QMenu>
#include <QToolButton>
#include <QVBoxLayout>

namespace kestrava {

TPageFrame::TPageFrame(QWidget *page, const char *topPanelName)
    : column_(new QVBoxLayout(page)), top_(named(new QFrame(page), topPanelName)),
      row_(new QHBoxLayout(top_)) {
    column_->setContentsMargins(0, 0, 0, 0);
    column_->setSpacing(0);
    top_->setFixedHeight(45);
    row_->setContentsMargins(6, 4, 6, 4);
    column_->addWidget(top_);
}

QToolButton *TPageFrame::AddWriteButton(const char *name, TActionMap &actions, ActionId write) {
    auto *button = named(new QToolButton(top_), name);
    row_->addStretch(1);
    row_->addWidget(button);
    actions.Bind(button, write);
    return button;
}

TDrawGrid *NewPageGrid(QWidget *parent, const char *name) {
    auto *grid = named(new TDrawGrid(parent), name);
    grid->viewport()->setBackgroundRole(QPalette::Dark);
    return grid;
}

QMenu *AttachGridPopup(TDrawGrid *grid, TActionMap &actions, const char *menuName,
                       std::initializer_list<ActionId> items, QWidget *page) {
    QMenu *popup = actions.Popup(menuName, items, page);
    grid->setContextMenuPolicy(Qt::CustomContextMenu);
    QObject::connect(grid, &QWidget::customContextMenuRequested, page,
                     [grid, popup](QPoint p) { popup->popup(grid->viewport()->mapToGlobal(p)); });
    return popup;
}

} // namespace kestrava
