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
    // The editor dies with the viewport after this object is half gone: no reports then.
    if (editor_) {
        editor_->removeEventFilter(this);
        editor_->disconnect(this);
    }
}

// --- Sizes ------------------------------------------------------------------------------

void TDrawGrid::setColCount(int count) {
    count = std::max(count, 2);
    if (count == cols_)
        return;
    if (editorOpen() && editCol_ >= count)
        closeEditor();
    cols_ = count;
    rebuildColLefts();
    updateScrollBars();
    if (col_ >= cols_) {
        // Placed without asking: the old cell no longer exists, so there is nothing to keep.
        col_ = cols_ - 1;
        scrollToCell(col_, row_);
        Q_EMIT currentCellChanged(col_, row_);
    }
    placeEditor();
    viewport()->update();
}

void TDrawGrid::setRowCount(int count) {
    count = std::max(count, 2);
    if (count == rows_)
        return;
    if (editorOpen() && editRow_ >= count)
        closeEditor();
    rows_ = count;
    updateScrollBars();
    if (row_ >= rows_) {
        row_ = rows_ - 1;
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

void TDrawGrid::paintEvent(QPaintEvent *event) {
    if (onPaintBegin)
        onPaintBegin();
    QPainter painter(viewport());
    const QRect dirty = event->rect();
    const QColor background = viewport()->palette().color(viewport()->backgroundRole());

    const int width = viewport()->width();
    const int height = viewport()->height();
    const int pitch = rowHeight_ + 1;
    const int dataX = colLeft(1);
    const int dataY = pitch;
    const int left = leftCol();
    const int top = topRow();

    // Visible extent: last column and row that start inside the viewport.
    int lastCol = left;
    while (lastCol + 1 < cols_ && colLeft(lastCol + 1) - colLeft(left) + dataX < width)
        ++lastCol;
    const int lastRow = std::min(rows_ - 1, top + (height - dataY) / pitch);
    const int gridRight = std::min(width, colLeft(lastCol + 1) - colLeft(left) + dataX);
    const int gridBottom = std::min(height, (lastRow - top + 2) * pitch);
    // Sharp lines take whole device pixels; what lies between them belongs to the
    // cells, or past the last line to the background.
    const TDevicePixels device(painter);
    const bool sharp = sharpLines_ && device.Fractional();
    const auto clear = [&](const QRect &r) {
        if (sharp)
            device.Fill(painter, device.Cell(r), background);
        else
            painter.fillRect(r, background);
    };
    // The cells cover the grid area (the lines come last): only the rest is cleared.
    if (onDrawCell) {
        clear(QRect(gridRight, 0, width - gridRight, height) & dirty);
        clear(QRect(0, gridBottom, gridRight, height - gridBottom) & dirty);
    } else {
        painter.fillRect(dirty, background);
    }

    // Of those, the ones the dirty rectangle touches.
    int firstDirtyCol = left;
    while (firstDirtyCol < lastCol &&
           colLeft(firstDirtyCol + 1) - colLeft(left) + dataX <= dirty.left())
        ++firstDirtyCol;
    const int firstDirtyRow = std::max(top, top + (dirty.top() - dataY) / pitch);
    const int lastDirtyRow = std::min(lastRow, top + (dirty.bottom() - dataY) / pitch);
    const bool fixedRowDirty = dirty.top() < dataY;
    const bool fixedColDirty = dirty.left() < dataX;

    const auto drawCell = [&](int c, int r, const QRect &rect) {
        CellState state;
        state.fixed = c == 0 || r == 0;
        state.selected = !state.fixed && c == col_ && r == row_;
        state.focused = state.selected && hasFocus();
        onDrawCell(painter, c, r, rect, state);
    };

    if (onDrawCell) {
        // One clip for all data cells keeps a careless callback off the fixed cells.
        const QRect dataArea(dataX, dataY, width - dataX, height - dataY);
        if (sharp)
            painter.setClipRect(device.ToLogical(device.Cell(dataArea)));
        else
            painter.setClipRect(dataArea);
        for (int r = firstDirtyRow; r <= lastDirtyRow; ++r) {
            const int y = (r - top + 1) * pitch;
            int x = colLeft(firstDirtyCol) - colLeft(left) + dataX;
            for (int c = firstDirtyCol; c <= lastCol && x <= dirty.right(); ++c) {
                const int w = colWidth(c);
                drawCell(c, r, QRect(x, y, w, rowHeight_));
                x += w + 1;
            }
        }
        painter.setClipping(false);
        if (fixedRowDirty) {
            if (fixedColDirty)
                drawCell(0, 0, QRect(0, 0, colWidth(0), rowHeight_));
            int x = colLeft(firstDirtyCol) - colLeft(left) + dataX;
            for (int c = firstDirtyCol; c <= lastCol && x <= dirty.right(); ++c) {
                const int w = colWidth(c);
                drawCell(c, 0, QRect(x, 0, w, rowHeight_));
                x += w + 1;
            }
        }
        if (fixedColDirty) {
            for (int r = firstDirtyRow; r <= lastDirtyRow; ++r)
                drawCell(0, r, QRect(0, (r - top + 1) * pitch, colWidth(0), rowHeight_));
        }
    }

    // Grid lines last, so that they frame whatever the cells drew.
    const QColor line = palette().color(QPalette::Mid);
    const auto fillLine = [&](const QRect &r) {
        if (sharp)
            device.Fill(painter, device.Line(r), line);
        else
            painter.fillRect(r, line);
    };
    int x = colLeft(1) - 1;
    fillLine(QRect(x, 0, 1, gridBottom));
    for (int c = left; c <= lastCol; ++c) {
        x += colWidth(c) + 1;
        if (x >= dirty.left() && x <= dirty.right())
            fillLine(QRect(x, 0, 1, gridBottom));
    }
    fillLine(QRect(0, dataY - 1, gridRight, 1));
    for (int r = firstDirtyRow; r <= lastDirtyRow; ++r)
        fillLine(QRect(0, (r - top + 2) * pitch - 1, gridRight, 1));
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
