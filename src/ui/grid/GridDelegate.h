#pragma once

#include <QString>

class QKeyEvent;
class QMouseEvent;
class QPainter;
class QRect;

namespace kestrava {

class TDrawGrid;

struct TGridCellState {
    bool fixed = false;    // the fixed row or column
    bool selected = false; // the current cell (data cells only)
    bool focused = false;  // the current cell while the grid has the focus
};

// What a TDrawGrid asks of the table behind it: how to draw a cell, whether the current
// cell may move, the in-place editor's texts, and the keys and mouse first. A grid has
// at most one delegate and does not own it; whichever of the two goes first unhooks
// them, so neither ever reaches the other once it is gone.
class TGridDelegate {
public:
    TGridDelegate(const TGridDelegate &) = delete;
    TGridDelegate &operator=(const TGridDelegate &) = delete;

    // Before the cells of one paint are drawn.
    virtual void paintBegin() {}
    // Must paint every pixel of the cell's rectangle.
    virtual void drawCell(QPainter &p, int col, int row, const QRect &rect,
                          TGridCellState state) = 0;
    // The current cell is about to move there; false refuses the move.
    virtual bool selectCell(int, int) { return true; }
    // The text the in-place editor opens with.
    virtual QString editText(int, int) { return {}; }
    // The editor's text as it changes, and once more unchanged when the edit ends.
    virtual void setEditText(int, int, const QString &) {}
    // Escape closed the editor: no final report comes.
    virtual void cancelEdit(int, int) {}
    // Each returns true when it handled the event: the grid then leaves it alone.
    virtual bool keyDown(QKeyEvent *) { return false; }
    virtual bool mousePress(QMouseEvent *) { return false; }
    // Also told, while the left button drags past an edge of the scrolled cells and
    // dragScrolls() holds, of a move onto the edge cell after each scrolling step.
    virtual bool mouseMove(QMouseEvent *) { return false; }
    // Before the grid opens the editor on a double click.
    virtual bool mouseDoubleClick(QMouseEvent *) { return false; }
    // Whether a drag past an edge scrolls the cells: only where a drag selects.
    virtual bool dragScrolls() const { return false; }

protected:
    TGridDelegate() = default;
    ~TGridDelegate();

private:
    friend class TDrawGrid;
    TDrawGrid *grid_ = nullptr;
};

} // namespace kestrava
