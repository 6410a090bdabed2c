#include "AttrTable.h"

#include "ChannelNotation.h"

#include "AppSettings.h"
#include "AttrCellLook.h"
#include "DrawGrid.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>

#include <algorithm>

namespace kestrava {

namespace {

constexpr int kRows = LoadAttrCount + 1; // the header and one row for every output
constexpr int kCodeColWidth = 99;

} // namespace

TAttrTable::TAttrTable(TDrawGrid *grid, TLoadAttrModel &attrs, const TAppSettings &settings,
                       QObject *parent)
    : QObject(parent), grid_(grid), attrs_(attrs), settings_(settings),
      selector_(new TAttrSelector(grid->viewport(), grid)), painter_(grid->font()) {
    grid_->setColCount(2);
    grid_->setRowCount(kRows);
    grid_->setRowHeight(24);
    grid_->setColWidth(0, grid_->fontMetrics().horizontalAdvance(QStringLiteral("A000")) + 8);
    grid_->setColWidth(1, kCodeColWidth);
    grid_->setSharpLines(true);
    painter_.SetSharp(true);

    grid_->setDelegate(this);

    // Scrolled away from its cell, the selector would sit over another row.
    for (QScrollBar *bar : {grid_->verticalScrollBar(), grid_->horizontalScrollBar()})
        connect(bar, &QScrollBar::valueChanged, selector_, &TAttrSelector::Close);
    connect(selector_, &TAttrSelector::Applied, this, &TAttrTable::ApplySelector);
}

int TAttrTable::CurrentRow() const {
    return grid_->row();
}

int TAttrTable::FirstSelectedRow() const {
    return std::min(grid_->row(), selectionEnd_);
}

int TAttrTable::LastSelectedRow() const {
    return std::max(grid_->row(), selectionEnd_);
}

void TAttrTable::drawCell(QPainter &p, int c, int r, const QRect &rect, TGridCellState state) {
    const QPalette &pal = grid_->palette();
    const TAttrCellInput in{attrs_.LoadAttrs,
                            settings_.DispAbCh,
                            settings_.PatTableMode,
                            pal.color(QPalette::Base),
                            pal.color(QPalette::Text),
                            pal.color(QPalette::Highlight),
                            pal.color(QPalette::HighlightedText),
                            pal.color(QPalette::ButtonText)};
    const bool selected = c >= 1 && r >= FirstSelectedRow() && r <= LastSelectedRow();
    const TCellLook look = AttrCellLook(in, c, r, selected);
    painter_.Paint(p, rect, look);
    if (state.focused)
        painter_.PaintFocus(p, rect, look.textColor);
}

// --- Selection ----------------------------------------------------------------------

// The grid asks before its current cell moves: the selection collapses onto it.
bool TAttrTable::selectCell(int, int r) {
    selectionEnd_ = r;
    grid_->viewport()->update();
    return true;
}

void TAttrTable::moveCurrent(int row) {
    row = std::clamp(row, 1, kRows - 1);
    if (!grid_->setCurrentCell(1, row)) {
        // Already there: only the selection collapses.
        selectionEnd_ = grid_->row();
        grid_->viewport()->update();
    }
}

void TAttrTable::moveSelectionEnd(int row) {
    selectionEnd_ = std::clamp(row, 1, kRows - 1);
    grid_->scrollToCell(1, selectionEnd_);
    grid_->viewport()->update();
}

int TAttrTable::rowTarget(const QKeyEvent *e, int from) const {
    const int page = grid_->verticalScrollBar()->pageStep();
    const bool ctrl = e->modifiers() & Qt::ControlModifier;
    switch (e->key()) {
    case Qt::Key_Up:
        return from - 1;
    case Qt::Key_Down:
        return from + 1;
    case Qt::Key_PageUp:
        return from - page;
    case Qt::Key_PageDown:
        return from + page;
    case Qt::Key_Home:
        return ctrl ? 1 : from;
    case Qt::Key_End:
        return ctrl ? kRows - 1 : from;
    case Qt::Key_Left:
    case Qt::Key_Right:
        return from; // the one data column
    default:
        return -1;
    }
}

bool TAttrTable::keyDown(QKeyEvent *e) {
    switch (e->key()) {
    case Qt::Key_Delete:
        ResetCurrentRow();
        return true;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        OpenSelector();
        return false; // as the grid had it: the key goes on
    default:
        break;
    }
    const bool shift = e->modifiers() & Qt::ShiftModifier;
    const int target = rowTarget(e, shift ? selectionEnd_ : grid_->row());
    if (target < 0)
        return false;
    if (shift)
        moveSelectionEnd(target);
    else
        moveCurrent(target);
    return true;
}

bool TAttrTable::mousePress(QMouseEvent *e) {
    dragging_ = false;
    int c, r;
    if (e->button() != Qt::LeftButton || !grid_->cellAt(e->position().toPoint(), &c, &r) || c < 1 ||
        r < 1)
        return false;
    dragging_ = true;
    if (e->modifiers() & Qt::ShiftModifier) {
        // The current cell stays; the selection's other end comes here.
        grid_->setFocus(Qt::MouseFocusReason);
        moveSelectionEnd(r);
        return true;
    }
    if (r == grid_->row()) {
        // The grid does not ask about a click on its current cell.
        selectionEnd_ = r;
        grid_->viewport()->update();
    }
    return false; // the grid takes the focus and moves, asking selectCell
}

bool TAttrTable::mouseMove(QMouseEvent *e) {
    if (!(e->buttons() & Qt::LeftButton) || !dragging_) {
        dragging_ = false;
        return false;
    }
    // Past the top or bottom the grid scrolls on its own and reports the edge row.
    const QPoint at(grid_->cellRect(0, 0).center().x(), e->position().toPoint().y());
    int c, r;
    if (grid_->cellAt(at, &c, &r) && r >= 1 && r != selectionEnd_)
        moveSelectionEnd(r);
    return false;
}

bool TAttrTable::mouseDoubleClick(QMouseEvent *e) {
    int c, r;
    if (e->button() == Qt::LeftButton && grid_->cellAt(e->position().toPoint(), &c, &r) && c == 1 &&
        r >= 1 && r == grid_->row())
        OpenSelector();
    return true;
}

// --- Editing ------------------------------------------------------------------------

void TAttrTable::OpenSelector() {
    if (grid_->col() != 1 || selector_->IsOpen() || !grid_->isEnabled())
        return;
    const int row = grid_->row();
    grid_->scrollToCell(1, row);
    const TEditRange range{1, row, FirstSelectedRow(), LastSelectedRow()};
    selector_->Open(range, grid_->cellRect(1, row),
                    LoadAttrToIndex(attrs_.LoadAttrs[std::size_t(row - 1)]));
}

void TAttrTable::ApplySelector(const TEditRange &range, int index) {
    const std::optional<LoadAttr> code = IndexToLoadAttr(index);
    if (code && range.first != -1 && range.last != -1 && range.first <= range.last) {
        for (int o = std::max(range.first - 1, 0); o <= std::min(range.last - 1, LoadAttrCount - 1);
             ++o)
            attrs_.LoadAttrs[std::size_t(o)] = *code;
    }
    edited();
}

QList<QStringList> TAttrTable::CopyRows() const {
    QList<QStringList> rows;
    for (int r = FirstSelectedRow(); r <= LastSelectedRow() && r <= LoadAttrCount; ++r)
        rows.append({ChannelText(r - 1, settings_.DispAbCh),
                     LoadAttrText(attrs_.LoadAttrs[std::size_t(r - 1)])});
    return rows;
}

void TAttrTable::PasteAttrs(const QList<LoadAttr> &codes) {
    if (codes.isEmpty())
        return;
    const int first = FirstSelectedRow() - 1;
    const int count = codes.size() == 1 ? LastSelectedRow() - first : int(codes.size());
    for (int k = 0; k < count && first + k < LoadAttrCount; ++k)
        attrs_.LoadAttrs[std::size_t(first + k)] = codes.value(k, codes.first());
    edited();
}

void TAttrTable::ResetCurrentRow() {
    const int row = grid_->row();
    if (row < 1 || row > LoadAttrCount)
        return;
    attrs_.LoadAttrs[std::size_t(row - 1)] = laNormal;
    edited();
    if (row < LoadAttrCount)
        moveCurrent(row + 1);
}

void TAttrTable::ResetAll() {
    attrs_.SetAllNormal();
    edited();
}

void TAttrTable::edited() {
    attrs_.MarkEdited();
    grid_->viewport()->update();
    Q_EMIT Changed();
}

void TAttrTable::Repaint() {
    grid_->viewport()->repaint();
}

void TAttrTable::SetEnabled(bool on) {
    // Switched off, the grid loses the focus; it takes it back when it had it.
    if (!on)
        refocus_ = grid_->hasFocus() || selector_->isAncestorOf(QApplication::focusWidget());
    grid_->setEnabled(on);
    selector_->setEnabled(on);
    if (on && refocus_ && grid_->isVisible())
        grid_->setFocus(Qt::OtherFocusReason);
}

} // namespace kestrava
