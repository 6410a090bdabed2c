#include "PatchTable.h"

#include "ChannelNotation.h"
#include "DrawGrid.h"
#include "Usr_ctrl.h"
#include "Usr_misc_input.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

namespace kestrava {

TPatchTable::TPatchTable(TDrawGrid *grid, TPatchModel &patches, QObject *parent)
    : QObject(parent), grid_(grid), patches_(patches), painter_(grid->font()) {
    grid_->setRowHeight(24);
    grid_->setEditable(true);
    grid_->setDefaultColWidth(grid_->fontMetrics().horizontalAdvance(QStringLiteral("A000")) + 8);

    grid_->setDelegate(this);
}

void TPatchTable::paintBegin() {
    if (layout_.mode == 1 && patches_.Current())
        byInput_.Build(*patches_.Current());
}

void TPatchTable::drawCell(QPainter &p, int c, int r, const QRect &rect, TGridCellState state) {
    const QPalette &pal = grid_->palette();
    const TPatchCellInput in{layout_,
                             patches_,
                             selected_,
                             checkOutput_,
                             pal.color(QPalette::Dark),
                             pal.color(QPalette::Highlight),
                             pal.color(QPalette::HighlightedText),
                             pal.color(QPalette::Base),
                             pal.color(QPalette::Text),
                             pal.color(QPalette::ButtonText),
                             layout_.mode == 1 ? &byInput_ : nullptr};
    const TPatchCellLook look = PatchCellLook(in, c, r, state.selected && !state.fixed);
    if (!look.drawn) {
        p.fillRect(rect, pal.color(QPalette::Dark));
        return;
    }
    painter_.Paint(p, rect, look);
    if (state.focused && !state.fixed)
        painter_.PaintFocus(p, rect, look.textColor);
}

QString TPatchTable::editText(int c, int r) {
    QString text;
    if (!patches_.HasCurrent())
        return text;
    if (layout_.mode == 1) {
        const int o = patches_.NthOutputOf(patches_.RowValue(r), c);
        text = (o >= 0 && o < patches_.MaxTxChannel) ? ChannelText(o, layout_.ab)
                                                     : QStringLiteral(" ");
    } else {
        const int o = layout_.OutputAtCell(c, r);
        if (o < 0) {
            text = QStringLiteral(" ");
        } else {
            selectedBeforeEdit_ = selected_;
            selected_[std::size_t(o)] = true;
            const PatchEntry v = (*patches_.Current())[std::size_t(o)];
            text = v >= 0 ? ChannelText(v, layout_.ab) : QStringLiteral(" ");
        }
    }
    editText_ = editStartText_ = text;
    return text;
}

void TPatchTable::cancelEdit(int, int) {
    // Nothing of the edit stays: not even the cell it selected when it opened.
    if (selectedBeforeEdit_) {
        selected_ = *selectedBeforeEdit_;
        selectedBeforeEdit_.reset();
        Q_EMIT SelectionChanged();
    }
    editText_.clear();
    RepaintTable();
    FocusTable();
}

void TPatchTable::setEditText(int c, int r, const QString &value) {
    if (value != editText_) {
        editText_ = value; // typing in progress
        return;
    }
    selectedBeforeEdit_.reset();
    if (patches_.HasCurrent()) {
        Q_EMIT CellEdited(c, r, value, editStartText_);
        RepaintTable();
        FocusTable();
    }
}

void TPatchTable::Layout(int mode, int width, bool ab) {
    layout_.mode = mode;
    layout_.width = (width == 10 || width == 12 || width == 16 || width == 20) ? width : 10;
    layout_.ab = ab;
    layout_.maxTx = patches_.MaxTxChannel;
    layout_.maxRx = patches_.MaxRxChannel;
    grid_->setColCount(layout_.ColCount());
    grid_->setRowCount(layout_.RowCount());
    if (mode == 0) {
        for (int o = patches_.MaxTxChannel; o < OutputCount; ++o)
            selected_[std::size_t(o)] = false;
        if (SelectedCount() == 0)
            MoveCursorToOutput(0);
    } else {
        ClearSelection();
        anchor_ = -1;
        grid_->setCurrentCell(1, 1);
    }
    RepaintTable();
}

int TPatchTable::OutputOfCell(int col, int row) const {
    if (!patches_.HasCurrent())
        return -1;
    return layout_.mode == 0 ? layout_.OutputAtCell(col, row)
                             : patches_.NthOutputOf(patches_.RowValue(row), col);
}

int TPatchTable::CurrentCellOutput() const {
    return OutputOfCell(grid_->col(), grid_->row());
}

int TPatchTable::CurrentRow() const {
    return grid_->row();
}

void TPatchTable::SetCurrentRow(int row) {
    grid_->setCurrentCell(grid_->col(), row);
}

int TPatchTable::SelectedCount() const {
    return int(std::count(selected_.begin(), selected_.end(), true));
}

void TPatchTable::ClearSelection() {
    selected_.fill(false);
    Q_EMIT SelectionChanged();
}

void TPatchTable::DropSelection() {
    ClearSelection();
    anchor_ = -1;
}

QList<int> TPatchTable::SelectedOutputs() const {
    QList<int> outputs;
    for (int o = 0; o < OutputCount; ++o)
        if (selected_[std::size_t(o)])
            outputs.append(o);
    return outputs;
}

bool TPatchTable::IsSelected(int o) const {
    return o >= 0 && o < OutputCount && selected_[std::size_t(o)];
}

void TPatchTable::Deselect(int o) {
    if (o >= 0 && o < OutputCount)
        selected_[std::size_t(o)] = false;
}

void TPatchTable::ShowCheckedOutput(int o) {
    checkOutput_ = o;
    RepaintTable();
}

void TPatchTable::extendSelection(int o) {
    if (anchor_ < 0) {
        selected_.fill(false);
        selected_[std::size_t(o)] = true;
        anchor_ = o;
        return;
    }
    selected_.fill(false);
    for (int i = std::min(anchor_, o); i <= std::max(anchor_, o); ++i)
        selected_[std::size_t(i)] = true;
}

bool TPatchTable::selectCell(int c, int r) {
    if (movingCursor_ || !patches_.HasCurrent())
        return true;
    int o;
    if (layout_.mode == 1) {
        o = patches_.NthOutputOf(patches_.RowValue(r), c);
        if (o < 0)
            return true;
    } else {
        o = layout_.OutputAtCell(c, r);
        if (o < 0)
            return false;
        if (IsKeyDown(Qt::Key_Shift) && SelectedCount() > 0) {
            extendSelection(o);
        } else if (IsKeyDown(Qt::Key_Control)) {
            selected_[std::size_t(o)] = true;
            anchor_ = o;
        } else {
            selected_.fill(false);
            selected_[std::size_t(o)] = true;
            anchor_ = o;
        }
        RepaintTable();
        Q_EMIT SelectionChanged();
    }
    if (o < patches_.MaxTxChannel && CheckOn())
        Q_EMIT CheckRequested(o);
    return true;
}

bool TPatchTable::mouseMove(QMouseEvent *e) {
    if (!(e->buttons() & Qt::LeftButton)) {
        dragCell_ = {-1, -1};
        return false;
    }
    if (layout_.mode != 0)
        return false;
    int c, r;
    if (!grid_->cellAt(e->position().toPoint(), &c, &r) || QPoint(c, r) == dragCell_)
        return false;
    dragCell_ = {c, r};
    const int o = layout_.OutputAtCell(c, r);
    if (o < 0 || SelectedCount() == 0)
        return false;
    extendSelection(o);
    RepaintTable();
    Q_EMIT SelectionChanged();
    return false;
}

bool TPatchTable::keyDown(QKeyEvent *e) {
    const int key = e->key();
    const bool editing = grid_->editorOpen();
    if (editing && (key == Qt::Key_PageUp || key == Qt::Key_PageDown || key == Qt::Key_Up ||
                    key == Qt::Key_Down))
        return true;
    if (editing || layout_.mode != 0) {
        if (!editing && key == Qt::Key_Delete) {
            Q_EMIT DeletePressed();
            return true;
        }
        return false;
    }
    if (key == Qt::Key_Left && grid_->col() == 1) {
        const int o = layout_.OutputAtCell(1, grid_->row());
        if (o > 0) {
            MoveCursorToOutput(o - 1);
            return true;
        }
    } else if (key == Qt::Key_Right) {
        const int o = CurrentCellOutput();
        if (o != -1 && o < patches_.MaxTxChannel - 1 &&
            (grid_->col() == grid_->colCount() - 1 || o == LineChannelCount - 1)) {
            MoveCursorToOutput(o + 1);
            return true;
        }
    } else if (key == Qt::Key_Delete) {
        Q_EMIT DeletePressed();
        return true;
    } else if (key == Qt::Key_PageUp || key == Qt::Key_PageDown || key == Qt::Key_Home ||
               key == Qt::Key_End) {
        return jumpToOutput(grid_->navigationTarget(e),
                            key == Qt::Key_PageDown || key == Qt::Key_End);
    }
    return false;
}

// A jump that ends on a cell standing for no output (a filler cell of line A, or past
// the last output) lands on the nearest output before it, or after it for jumps
// towards the start; the grid would otherwise refuse the move and stay put.
bool TPatchTable::jumpToOutput(QPoint target, bool towardsEnd) {
    if (!patches_.HasCurrent() || layout_.OutputAtCell(target.x(), target.y()) >= 0)
        return false; // the grid moves there itself
    const int w = layout_.width;
    const int cells = (grid_->rowCount() - 1) * w;
    const int from = (target.y() - 1) * w + target.x() - 1;
    const auto outputAt = [&](int i) { return layout_.OutputAtCell(i % w + 1, i / w + 1); };
    int o = -1;
    for (int step : {towardsEnd ? -1 : 1, towardsEnd ? 1 : -1}) {
        for (int i = from; o < 0 && i >= 0 && i < cells; i += step)
            o = outputAt(i);
        if (o >= 0)
            break;
    }
    if (o < 0)
        return true;
    const QPoint cell = layout_.CellOfOutput(o);
    grid_->setCurrentCell(cell.x(), cell.y());
    return true;
}

void TPatchTable::MoveCursorToOutput(int o) {
    if (o < 0 || layout_.mode != 0)
        return;
    SuspendRedraw(grid_);
    const QPoint target = layout_.CellOfOutput(o);
    const int c = grid_->col(), r = grid_->row();
    bool columnFirst;
    if (layout_.OutputAtCell(c, target.y()) < 0)
        columnFirst = true;
    else if (layout_.OutputAtCell(target.x(), r) < 0)
        columnFirst = false;
    else
        columnFirst = c == target.x();
    movingCursor_ = true;
    if (columnFirst)
        grid_->setCurrentCell(target.x(), r);
    else
        grid_->setCurrentCell(c, target.y());
    QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    movingCursor_ = false;
    grid_->setCurrentCell(target.x(), target.y());
    ResumeRedraw(grid_);
}

bool TPatchTable::GoToOutput(int o) {
    const TPatch *patch = patches_.Current();
    if (!patch || o < 0 || o >= patches_.MaxTxChannel)
        return false;
    if (layout_.mode == 0) {
        MoveCursorToOutput(o);
        return true;
    }
    // The output's row is what drives it; its column, its place among the outputs of that row.
    const PatchEntry v = (*patch)[std::size_t(o)];
    if (v >= layout_.maxRx)
        return false; // an input the view has no row for
    const int row = v == pvFull ? layout_.maxRx + 1 : v == pvNone ? layout_.maxRx + 2 : v + 1;
    int col = 1;
    while (patches_.NthOutputOf(v, col) != o)
        ++col;
    grid_->setCurrentCell(col, row);
    return true;
}

void TPatchTable::SelectOutputs(const QList<int> &outputs) {
    selected_.fill(false);
    for (const int o : outputs)
        if (o >= 0 && o < patches_.MaxTxChannel)
            selected_[std::size_t(o)] = true;
    anchor_ = outputs.value(0, -1);
    RepaintTable();
    Q_EMIT SelectionChanged();
}

void TPatchTable::RefreshOutputCell(int o) {
    if (o < 0 || o >= patches_.MaxTxChannel)
        return;
    selected_[std::size_t(o)] = false;
    const QPoint cell = layout_.CellOfOutput(o);
    grid_->invalidateCell(cell.x(), cell.y());
    grid_->viewport()->repaint(grid_->cellRect(cell.x(), cell.y()));
}

void TPatchTable::RepaintTable() {
    grid_->viewport()->update();
}

void TPatchTable::FocusTable() {
    grid_->setFocus();
}

} // namespace kestrava
