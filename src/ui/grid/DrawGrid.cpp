#include "DrawGrid.h"

#include "CellPainter.h"

#include <QApplication>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>

#include <algorithm>

namespace kestrava {

// Geometry: every column takes its width plus one pixel of grid line at its right, every
// row its height plus one line below. The scroll bars count whole cells (value 0 shows
// data column or row 1 next to the fixed one), so a scrolled cell is either wholly
// hidden under nothing or shown from its left/top edge: data cells never reach under
// the fixed row or column.

TDrawGrid::TDrawGrid(QWidget *parent) : QAbstractScrollArea(parent) {
    setFocusPolicy(Qt::StrongFocus);
    viewport()->setMouseTracking(true);
    // paintEvent fills every pixel it is asked for.
    viewport()->setAutoFillBackground(false);
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    for (QScrollBar *bar : {horizontalScrollBar(), verticalScrollBar()}) {
        bar->setTracking(true);
        bar->setSingleStep(1);
    }

    editor_ = new QLineEdit(viewport());
    editorObject_ = editor_;
    editor_->setFrame(false);
    editor_->hide();
    editor_->installEventFilter(this);
    connect(editor_, &QLineEdit::textChanged, this, &TDrawGrid::editorTextChanged);

    rebuildColLefts();
    updateScrollBars();
}

TDrawGrid::~TDrawGrid() {
    setDelegate(nullptr);
    // The editor dies with the viewport after this object is half gone: no reports then.
    if (editor_) {
        editor_->removeEventFilter(this);
        editor_->disconnect(this);
    }
}

void TDrawGrid::setDelegate(TGridDelegate *delegate) {
    if (delegate == delegate_)
        return;
    if (delegate_)
        delegate_->grid_ = nullptr;
    if (delegate && delegate->grid_)
        delegate->grid_->setDelegate(nullptr);
    delegate_ = delegate;
    if (delegate_)
        delegate_->grid_ = this;
    viewport()->update();
}

TGridDelegate::~TGridDelegate() {
    if (grid_)
        grid_->setDelegate(nullptr);
}

// --- Sizes ------------------------------------------------------------------------------

void TDrawGrid::setColCount(int count) {
    setCount(cols_, col_, editCol_, count);
}

void TDrawGrid::setRowCount(int count) {
    setCount(rows_, row_, editRow_, count);
}

// One axis of either: its count, the current cell's and the edited cell's place on it.
void TDrawGrid::setCount(int &count, int &current, int edited, int newCount) {
    newCount = std::max(newCount, 2);
    if (newCount == count)
        return;
    if (editorOpen() && edited >= newCount)
        closeEditor();
    count = newCount;
    rebuildColLefts();
    updateScrollBars();
    if (current >= count) {
        // Placed without asking: the old cell no longer exists, so there is nothing to keep.
        current = count - 1;
        scrollToCell(col_, row_);
        Q_EMIT currentCellChanged(col_, row_);
    }
    placeEditor();
    viewport()->update();
}

void TDrawGrid::setDefaultColWidth(int width) {
    defaultColWidth_ = std::max(width, 1);
    rebuildColLefts();
    updateScrollBars();
    placeEditor();
    viewport()->update();
}

void TDrawGrid::setColWidth(int col, int width) {
    if (col < 0)
        return;
    if (static_cast<size_t>(col) >= colWidths_.size())
        colWidths_.resize(col + 1, 0);
    colWidths_[col] = std::max(width, 0);
    rebuildColLefts();
    updateScrollBars();
    placeEditor();
    viewport()->update();
}

int TDrawGrid::colWidth(int col) const {
    if (col >= 0 && static_cast<size_t>(col) < colWidths_.size() && colWidths_[col] > 0)
        return colWidths_[col];
    return defaultColWidth_;
}

void TDrawGrid::setRowHeight(int height) {
    rowHeight_ = std::max(height, 1);
    updateScrollBars();
    placeEditor();
    viewport()->update();
}

void TDrawGrid::setEditable(bool on) {
    if (!on)
        closeEditor();
    editable_ = on;
}

void TDrawGrid::setSharpLines(bool on) {
    sharpLines_ = on;
    viewport()->update();
}

void TDrawGrid::rebuildColLefts() {
    colLefts_.resize(cols_ + 1);
    int x = 0;
    for (int c = 0; c < cols_; ++c) {
        colLefts_[c] = x;
        x += colWidth(c) + 1;
    }
    colLefts_[cols_] = x;
}

int TDrawGrid::colLeft(int col) const {
    return colLefts_[col];
}

int TDrawGrid::leftCol() const {
    return 1 + horizontalScrollBar()->value();
}
int TDrawGrid::topRow() const {
    return 1 + verticalScrollBar()->value();
}

int TDrawGrid::fullRowsShown() const {
    const int pitch = rowHeight_ + 1;
    return std::max(1, (viewport()->height() - pitch) / pitch);
}

int TDrawGrid::firstColShowing(int col) const {
    const int room = viewport()->width() - colLeft(1);
    int left = col;
    while (left > 1 && colLeft(col + 1) - colLeft(left - 1) <= room)
        --left;
    return left;
}

void TDrawGrid::updateScrollBars() {
    const int rowsShown = fullRowsShown();
    QScrollBar *v = verticalScrollBar();
    v->setPageStep(rowsShown);
    v->setRange(0, std::max(0, rows_ - 1 - rowsShown));

    const int lastLeft = firstColShowing(cols_ - 1);
    QScrollBar *h = horizontalScrollBar();
    h->setPageStep(std::max(1, cols_ - lastLeft));
    h->setRange(0, lastLeft - 1);
}

// --- Geometry ---------------------------------------------------------------------------

QRect TDrawGrid::cellRect(int col, int row) const {
    if (col < 0 || col >= cols_ || row < 0 || row >= rows_)
        return {};
    int x = 0;
    if (col > 0) {
        const int left = leftCol();
        if (col < left)
            return {};
        x = colLeft(col) - colLeft(left) + colLeft(1);
    }
    int y = 0;
    if (row > 0) {
        const int top = topRow();
        if (row < top)
            return {};
        y = (row - top + 1) * (rowHeight_ + 1);
    }
    if (x >= viewport()->width() || y >= viewport()->height())
        return {};
    return QRect(x, y, colWidth(col), rowHeight_);
}

bool TDrawGrid::cellAt(const QPoint &viewportPos, int *col, int *row) const {
    const int x = viewportPos.x();
    const int y = viewportPos.y();
    if (x < 0 || y < 0 || x >= viewport()->width() || y >= viewport()->height())
        return false;
    int c = 0;
    if (x >= colLeft(1)) {
        const int contentX = x - colLeft(1) + colLeft(leftCol());
        c = int(std::upper_bound(colLefts_.begin(), colLefts_.end(), contentX) -
                colLefts_.begin()) -
            1;
    }
    const int pitch = rowHeight_ + 1;
    const int r = y < pitch ? 0 : topRow() + (y - pitch) / pitch;
    if (c >= cols_ || r >= rows_)
        return false;
    if (col)
        *col = c;
    if (row)
        *row = r;
    return true;
}

void TDrawGrid::invalidateCell(int col, int row) {
    const QRect rect = cellRect(col, row);
    if (!rect.isEmpty())
        viewport()->update(rect);
}

void TDrawGrid::scrollToCell(int col, int row) {
    if (col >= 1 && col < cols_) {
        QScrollBar *h = horizontalScrollBar();
        if (col < leftCol())
            h->setValue(col - 1);
        else if (colLeft(col + 1) - colLeft(leftCol()) > viewport()->width() - colLeft(1))
            h->setValue(firstColShowing(col) - 1);
    }
    if (row >= 1 && row < rows_) {
        QScrollBar *v = verticalScrollBar();
        const int shown = fullRowsShown();
        if (row < topRow())
            v->setValue(row - 1);
        else if (row >= topRow() + shown)
            v->setValue(row - shown);
    }
}

void TDrawGrid::scrollContentsBy(int, int) {
    viewport()->update();
    placeEditor();
}

void TDrawGrid::resizeEvent(QResizeEvent *event) {
    QAbstractScrollArea::resizeEvent(event);
    updateScrollBars();
    placeEditor();
}

// --- Painting ---------------------------------------------------------------------------

struct TDrawGrid::Paint {
    explicit Paint(QPainter &p) : painter(p), device(p) {}

    QPainter &painter;
    const TDevicePixels device;
    // Sharp lines take whole device pixels; what lies between them belongs to the
    // cells, or past the last line to the background.
    bool sharp = false;
    QRect dirty;
    int width = 0, height = 0, pitch = 1;
    int dataX = 0, dataY = 0; // where the scrolled cells start
    int left = 1, top = 1;    // the first scrolled column and row shown
    int lastCol = 0, lastRow = 0;
    int gridRight = 0, gridBottom = 0; // past the last line
    int firstDirtyCol = 1, firstDirtyRow = 1, lastDirtyRow = 0;

    int colX(const TDrawGrid &grid, int col) const {
        return grid.colLeft(col) - grid.colLeft(left) + dataX;
    }
    void fill(const QRect &r, const QColor &color, bool line) const {
        if (sharp)
            device.Fill(painter, line ? device.Line(r) : device.Cell(r), color);
        else
            painter.fillRect(r, color);
    }
};

TDrawGrid::Paint TDrawGrid::paintArea(QPainter &painter, const QRect &dirty) const {
    Paint p(painter);
    p.sharp = sharpLines_ && p.device.Fractional();
    p.dirty = dirty;
    p.width = viewport()->width();
    p.height = viewport()->height();
    p.pitch = rowHeight_ + 1;
    p.dataX = colLeft(1);
    p.dataY = p.pitch;
    p.left = leftCol();
    p.top = topRow();
    // Visible extent: last column and row that start inside the viewport.
    p.lastCol = p.left;
    while (p.lastCol + 1 < cols_ && p.colX(*this, p.lastCol + 1) < p.width)
        ++p.lastCol;
    p.lastRow = std::min(rows_ - 1, p.top + (p.height - p.dataY) / p.pitch);
    p.gridRight = std::min(p.width, p.colX(*this, p.lastCol + 1));
    p.gridBottom = std::min(p.height, (p.lastRow - p.top + 2) * p.pitch);
    // Of those, the ones the dirty rectangle touches.
    p.firstDirtyCol = p.left;
    while (p.firstDirtyCol < p.lastCol && p.colX(*this, p.firstDirtyCol + 1) <= dirty.left())
        ++p.firstDirtyCol;
    p.firstDirtyRow = std::max(p.top, p.top + (dirty.top() - p.dataY) / p.pitch);
    p.lastDirtyRow = std::min(p.lastRow, p.top + (dirty.bottom() - p.dataY) / p.pitch);
    return p;
}

void TDrawGrid::paintEvent(QPaintEvent *event) {
    if (delegate_)
        delegate_->paintBegin();
    QPainter painter(viewport());
    const Paint paint = paintArea(painter, event->rect());
    clearOutsideCells(paint);
    if (delegate_)
        drawCells(paint);
    drawLines(paint);
}

void TDrawGrid::clearOutsideCells(const Paint &p) const {
    const QColor background = viewport()->palette().color(viewport()->backgroundRole());
    if (!delegate_) {
        p.painter.fillRect(p.dirty, background);
        return;
    }
    // The cells cover the grid area (the lines come last): only the rest is cleared.
    p.fill(QRect(p.gridRight, 0, p.width - p.gridRight, p.height) & p.dirty, background, false);
    p.fill(QRect(0, p.gridBottom, p.gridRight, p.height - p.gridBottom) & p.dirty, background,
           false);
}

void TDrawGrid::drawCells(const Paint &p) const {
    // One clip for all data cells keeps a careless delegate off the fixed cells.
    const QRect dataArea(p.dataX, p.dataY, p.width - p.dataX, p.height - p.dataY);
    if (p.sharp)
        p.painter.setClipRect(p.device.ToLogical(p.device.Cell(dataArea)));
    else
        p.painter.setClipRect(dataArea);
    for (int r = p.firstDirtyRow; r <= p.lastDirtyRow; ++r)
        drawCellRun(p, r, (r - p.top + 1) * p.pitch);
    p.painter.setClipping(false);
    const bool fixedColDirty = p.dirty.left() < p.dataX;
    if (p.dirty.top() < p.dataY) {
        if (fixedColDirty)
            drawCell(p, 0, 0, QRect(0, 0, colWidth(0), rowHeight_));
        drawCellRun(p, 0, 0);
    }
    if (fixedColDirty) {
        for (int r = p.firstDirtyRow; r <= p.lastDirtyRow; ++r)
            drawCell(p, 0, r, QRect(0, (r - p.top + 1) * p.pitch, colWidth(0), rowHeight_));
    }
}

// The scrolled cells of one row that the dirty rectangle touches.
void TDrawGrid::drawCellRun(const Paint &p, int row, int y) const {
    int x = p.colX(*this, p.firstDirtyCol);
    for (int c = p.firstDirtyCol; c <= p.lastCol && x <= p.dirty.right(); ++c) {
        const int w = colWidth(c);
        drawCell(p, c, row, QRect(x, y, w, rowHeight_));
        x += w + 1;
    }
}

void TDrawGrid::drawCell(const Paint &p, int c, int r, const QRect &rect) const {
    TGridCellState state;
    state.fixed = c == 0 || r == 0;
    state.selected = !state.fixed && c == col_ && r == row_;
    state.focused = state.selected && hasFocus();
    delegate_->drawCell(p.painter, c, r, rect, state);
}

// Grid lines last, so that they frame whatever the cells drew.
void TDrawGrid::drawLines(const Paint &p) const {
    const QColor line = palette().color(QPalette::Mid);
    int x = p.dataX - 1;
    p.fill(QRect(x, 0, 1, p.gridBottom), line, true);
    for (int c = p.left; c <= p.lastCol; ++c) {
        x += colWidth(c) + 1;
        if (x >= p.dirty.left() && x <= p.dirty.right())
            p.fill(QRect(x, 0, 1, p.gridBottom), line, true);
    }
    p.fill(QRect(0, p.dataY - 1, p.gridRight, 1), line, true);
    for (int r = p.firstDirtyRow; r <= p.lastDirtyRow; ++r)
        p.fill(QRect(0, (r - p.top + 2) * p.pitch - 1, p.gridRight, 1), line, true);
}

void TDrawGrid::focusInEvent(QFocusEvent *event) {
    QAbstractScrollArea::focusInEvent(event);
    invalidateCell(col_, row_);
}

void TDrawGrid::focusOutEvent(QFocusEvent *event) {
    // A box or another window took over: its release will not come here.
    endDrag();
    QAbstractScrollArea::focusOutEvent(event);
    invalidateCell(col_, row_);
}

} // namespace kestrava
