#include "DrawGrid.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScrollBar>
#include <QTimerEvent>

// The current cell, the keys and the mouse, and the in-place editor of TDrawGrid.

namespace kestrava {

namespace {

// A row or column per tick: about as fast as the eye can still follow what passes.
constexpr int kAutoScrollMs = 50;

} // namespace

// --- Current cell -----------------------------------------------------------------------

bool TDrawGrid::setCurrentCell(int col, int row) {
    if (col < 1 || col >= cols_ || row < 1 || row >= rows_)
        return false;
    if (col == col_ && row == row_)
        return false;
    closeEditor();
    // The final edit report may itself have moved the cell.
    if (col == col_ && row == row_)
        return false;
    if (delegate_ && !delegate_->selectCell(col, row))
        return false;
    const int oldCol = col_;
    const int oldRow = row_;
    col_ = col;
    row_ = row;
    invalidateCell(oldCol, oldRow);
    scrollToCell(col_, row_);
    invalidateCell(col_, row_);
    Q_EMIT currentCellChanged(col_, row_);
    return true;
}

bool TDrawGrid::navigate(const QKeyEvent *event) {
    const QPoint target = navigationTarget(event);
    if (target.x() < 0)
        return false;
    setCurrentCell(target.x(), target.y());
    return true;
}

QPoint TDrawGrid::navigationTarget(const QKeyEvent *event) const {
    int c = col_;
    int r = row_;
    const bool ctrl = event->modifiers() & Qt::ControlModifier;
    switch (event->key()) {
    case Qt::Key_Left:
        c = std::max(1, c - 1);
        break;
    case Qt::Key_Right:
        c = std::min(cols_ - 1, c + 1);
        break;
    case Qt::Key_Up:
        r = std::max(1, r - 1);
        break;
    case Qt::Key_Down:
        r = std::min(rows_ - 1, r + 1);
        break;
    case Qt::Key_PageUp:
        r = std::max(1, r - fullRowsShown());
        break;
    case Qt::Key_PageDown:
        r = std::min(rows_ - 1, r + fullRowsShown());
        break;
    case Qt::Key_Home:
        c = 1;
        if (ctrl)
            r = 1;
        break;
    case Qt::Key_End:
        c = cols_ - 1;
        if (ctrl)
            r = rows_ - 1;
        break;
    default:
        return {-1, -1};
    }
    return {c, r};
}

// --- Input ------------------------------------------------------------------------------

void TDrawGrid::keyPressEvent(QKeyEvent *event) {
    if (delegate_ && delegate_->keyDown(event))
        return;
    if (navigate(event))
        return;
    if (editable_ && !editorOpen()) {
        const int key = event->key();
        if (key == Qt::Key_F2 || key == Qt::Key_Return || key == Qt::Key_Enter) {
            openEditor();
            return;
        }
        const QString text = event->text();
        const bool command =
            event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);
        if (!command && !text.isEmpty() && text.at(0).isPrint()) {
            openEditor(text);
            return;
        }
    }
    event->ignore();
}

void TDrawGrid::mousePressEvent(QMouseEvent *event) {
    // Set first: the delegate may end the drag at once (a box it shows takes the focus).
    if (event->button() == Qt::LeftButton) {
        dragging_ = true;
        followDrag(event);
    }
    if (delegate_ && delegate_->mousePress(event))
        return;
    int c = -1;
    int r = -1;
    // Read before the edit ends: its final report may scroll.
    const bool onCell = cellAt(event->position().toPoint(), &c, &r);
    setFocus(Qt::MouseFocusReason);
    closeEditor();
    if (onCell && c >= 1 && r >= 1 && event->button() == Qt::LeftButton)
        setCurrentCell(c, r);
}

void TDrawGrid::mouseMoveEvent(QMouseEvent *event) {
    if (event->buttons() & Qt::LeftButton)
        followDrag(event);
    else
        endDrag();
    // Dragging does not move the current cell; the pages extend their own selections.
    if (delegate_)
        delegate_->mouseMove(event);
}

void TDrawGrid::mouseReleaseEvent(QMouseEvent *event) {
    if (event->button() == Qt::LeftButton)
        endDrag();
    QAbstractScrollArea::mouseReleaseEvent(event);
}

// --- Scrolling while a drag is held past an edge ------------------------------------------

QPoint TDrawGrid::pastEdge(const QPoint &pos) const {
    // The fixed row and column count as outside: the scrolled cells lie beyond them.
    const auto side = [](int at, int first, int end) { return at < first ? -1 : at >= end; };
    return {side(pos.x(), colLeft(1), viewport()->width()),
            side(pos.y(), rowHeight_ + 1, viewport()->height())};
}

// A point in the fully shown cell at the edge the pointer is past (its own place on an
// axis it is not past).
QPoint TDrawGrid::edgeCellPoint(const QPoint &pos) const {
    const QPoint past = pastEdge(pos);
    QPoint at = pos;
    if (past.x() != 0) {
        int c = leftCol();
        const int room = viewport()->width() - colLeft(1);
        while (past.x() > 0 && c + 1 < cols_ && colLeft(c + 2) - colLeft(leftCol()) <= room)
            ++c;
        at.setX(cellRect(c, 0).center().x());
    }
    if (past.y() != 0) {
        const int r = past.y() < 0 ? topRow() : std::min(rows_ - 1, topRow() + fullRowsShown() - 1);
        at.setY(cellRect(0, r).center().y());
    }
    return at;
}

void TDrawGrid::followDrag(const QMouseEvent *event) {
    if (!dragging_)
        return;
    dragPos_ = event->position().toPoint();
    dragModifiers_ = event->modifiers();
    // Where a drag selects nothing there is nothing to scroll for.
    if (delegate_ && delegate_->dragScrolls() && pastEdge(dragPos_) != QPoint(0, 0)) {
        if (!autoScroll_.isActive())
            autoScroll_.start(kAutoScrollMs, this);
    } else {
        autoScroll_.stop();
    }
}

void TDrawGrid::endDrag() {
    dragging_ = false;
    autoScroll_.stop();
}

void TDrawGrid::autoScrollStep() {
    const QPoint past = pastEdge(dragPos_);
    QScrollBar *h = horizontalScrollBar();
    QScrollBar *v = verticalScrollBar();
    const QPoint before(h->value(), v->value());
    h->setValue(before.x() + past.x());
    v->setValue(before.y() + past.y());
    // At the end of the cells one more move brings the selection to the edge; then rest.
    if (QPoint(h->value(), v->value()) == before)
        autoScroll_.stop();
    const QPoint at = edgeCellPoint(dragPos_);
    QMouseEvent move(QEvent::MouseMove, at, viewport()->mapToGlobal(at), Qt::NoButton,
                     Qt::LeftButton, dragModifiers_);
    if (delegate_)
        delegate_->mouseMove(&move);
}

void TDrawGrid::timerEvent(QTimerEvent *event) {
    if (event->timerId() == autoScroll_.timerId())
        autoScrollStep();
    else
        QAbstractScrollArea::timerEvent(event);
}

void TDrawGrid::hideEvent(QHideEvent *event) {
    endDrag();
    QAbstractScrollArea::hideEvent(event);
}

void TDrawGrid::changeEvent(QEvent *event) {
    if (event->type() == QEvent::EnabledChange && !isEnabled())
        endDrag();
    QAbstractScrollArea::changeEvent(event);
}

void TDrawGrid::mouseDoubleClickEvent(QMouseEvent *event) {
    if (delegate_ && delegate_->mouseDoubleClick(event))
        return;
    int c = -1;
    int r = -1;
    if (event->button() == Qt::LeftButton && cellAt(event->position().toPoint(), &c, &r) &&
        c == col_ && r == row_)
        openEditor();
}

// --- In-place editor --------------------------------------------------------------------

bool TDrawGrid::editorOpen() const {
    return editCol_ >= 0;
}

void TDrawGrid::openEditor(const QString &initialKey) {
    if (!editable_ || editorOpen() || endingEdit_)
        return;
    scrollToCell(col_, row_);
    if (cellRect(col_, row_).isEmpty())
        return;
    const int c = col_;
    const int r = row_;
    const QString start = delegate_ ? delegate_->editText(c, r) : QString();
    if (c != col_ || r != row_ || editorOpen())
        return; // the delegate moved on
    editCol_ = c;
    editRow_ = r;
    editStartText_ = start;
    silentText_ = true;
    editor_->setText(start);
    silentText_ = false;
    placeEditor();
    editor_->show();
    editor_->setFocus(Qt::OtherFocusReason);
    if (initialKey.isEmpty())
        editor_->selectAll();
    else
        editor_->setText(initialKey); // a typed character replaces the text
}

void TDrawGrid::closeEditor() {
    finishEdit(false);
}

void TDrawGrid::finishEdit(bool cancel) {
    if (!editorOpen() || endingEdit_)
        return;
    endingEdit_ = true;
    const QString text = editor_->text();
    const int c = editCol_;
    const int r = editRow_;
    editCol_ = -1;
    editRow_ = -1;
    if (editor_->hasFocus())
        setFocus(Qt::OtherFocusReason);
    editor_->hide();
    invalidateCell(c, r);
    if (delegate_ && cancel)
        delegate_->cancelEdit(c, r);
    else if (delegate_)
        delegate_->setEditText(c, r, text); // unchanged: the sign that the edit is finished
    endingEdit_ = false;
}

void TDrawGrid::editorTextChanged(const QString &text) {
    if (silentText_ || !editorOpen())
        return;
    if (delegate_)
        delegate_->setEditText(editCol_, editRow_, text);
}

void TDrawGrid::placeEditor() {
    if (!editorOpen())
        return;
    const QRect rect = cellRect(editCol_, editRow_);
    // The editor follows its cell while the cell is in view; scrolled out, the edit ends.
    if (rect.isEmpty()) {
        closeEditor();
        return;
    }
    editor_->setGeometry(rect);
}

bool TDrawGrid::eventFilter(QObject *watched, QEvent *event) {
    // Compared as a plain object: while the editor is being destroyed it is no
    // longer a QLineEdit, and QPointer's cast would say otherwise.
    if (watched != editorObject_ || !editorOpen())
        return QAbstractScrollArea::eventFilter(watched, event);
    if (event->type() == QEvent::KeyPress) {
        auto *key = static_cast<QKeyEvent *>(event);
        switch (key->key()) {
        case Qt::Key_Up:
        case Qt::Key_Down:
        case Qt::Key_PageUp:
        case Qt::Key_PageDown:
            if (delegate_ && delegate_->keyDown(key))
                return true;
            closeEditor();
            navigate(key);
            return true;
        case Qt::Key_Return:
        case Qt::Key_Enter:
        case Qt::Key_Tab:
        case Qt::Key_Backtab:
            closeEditor();
            return true;
        case Qt::Key_Escape:
            finishEdit(true);
            return true;
        default:
            break;
        }
    } else if (event->type() == QEvent::FocusOut) {
        // A popup menu or another window taking the focus leaves the edit open.
        const auto reason = static_cast<QFocusEvent *>(event)->reason();
        QWidget *now = QApplication::focusWidget();
        if (reason != Qt::PopupFocusReason && reason != Qt::ActiveWindowFocusReason &&
            now != this && !isAncestorOf(now))
            closeEditor();
    }
    return QAbstractScrollArea::eventFilter(watched, event);
}

} // namespace kestrava
