#pragma once

#include "GridDelegate.h"

#include <QAbstractScrollArea>
#include <QBasicTimer>
#include <QLineEdit>
#include <QPointer>
#include <QRect>

#include <vector>

namespace kestrava {

// The owner-drawn grid of the three pages: one fixed row and one fixed column that
// stay put while the rest scrolls, every cell drawn by its delegate, a current cell
// that the delegate may refuse to move to, and an in-place editor. Only the visible
// cells are painted and nothing is kept per cell, so 1025 x 1027 cells cost the
// same as 11 x 52.
class TDrawGrid : public QAbstractScrollArea {
    Q_OBJECT
public:
    explicit TDrawGrid(QWidget *parent = nullptr);
    ~TDrawGrid() override;

    // Without a delegate the grid shows its lines on the background, and nothing
    // refuses a move. A delegate of another grid leaves that one.
    void setDelegate(TGridDelegate *delegate);

    void setColCount(int count); // fixed column included
    void setRowCount(int count); // fixed row included
    int colCount() const { return cols_; }
    int rowCount() const { return rows_; }
    void setDefaultColWidth(int width);
    void setColWidth(int col, int width); // overrides the default for one column
    int colWidth(int col) const;
    void setRowHeight(int height);
    int rowHeight() const { return rowHeight_; }
    void setEditable(bool on);
    bool editable() const { return editable_; }
    // Grid lines of whole device pixels at fractional display scales (one pixel below
    // scale 2); the cells then paint through a sharp TCellPainter to meet them.
    void setSharpLines(bool on);

    int col() const { return col_; }
    int row() const { return row_; }
    // Moves the current cell through the delegate's selectCell; returns whether it moved.
    // A move to the cell that is already current does nothing and asks nothing.
    bool setCurrentCell(int col, int row);
    QRect cellRect(int col, int row) const; // in viewport coordinates; empty when not visible
    bool cellAt(const QPoint &viewportPos, int *col, int *row) const;
    void invalidateCell(int col, int row);
    void scrollToCell(int col, int row);
    // The cell a navigation key (arrows, Page Up/Down, Home, End, with Ctrl) moves to;
    // (-1, -1) for any other key.
    QPoint navigationTarget(const QKeyEvent *event) const;

    // The in-place editor. Keystrokes report the text to the delegate's setEditText as
    // it changes; when editing ends (Enter, a click elsewhere, a move) it is reported
    // once more, unchanged, which tells the page the edit is finished. Escape cancels:
    // the editor closes without that report and cancelEdit is told instead.
    void openEditor(const QString &initialKey = QString());
    void closeEditor();
    bool editorOpen() const;
    QLineEdit *editor() const { return editor_; }

Q_SIGNALS:
    void currentCellChanged(int col, int row);

protected:
    void paintEvent(QPaintEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void timerEvent(QTimerEvent *event) override;
    void hideEvent(QHideEvent *event) override;
    void changeEvent(QEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void scrollContentsBy(int dx, int dy) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    struct Paint; // one paint: its painter, the cells it covers, the ones it must redraw
    void setCount(int &count, int &current, int edited, int newCount);
    Paint paintArea(QPainter &painter, const QRect &dirty) const;
    void clearOutsideCells(const Paint &paint) const;
    void drawCells(const Paint &paint) const;
    void drawCellRun(const Paint &paint, int row, int y) const;
    void drawCell(const Paint &paint, int col, int row, const QRect &rect) const;
    void drawLines(const Paint &paint) const;
    int colLeft(int col) const; // content x of a column's left edge
    void updateScrollBars();
    void placeEditor();
    void rebuildColLefts();
    int leftCol() const; // first scrolled data column shown
    int topRow() const;  // first scrolled data row shown
    int fullRowsShown() const;
    int firstColShowing(int col) const; // the left column that shows col fully at the right
    bool navigate(const QKeyEvent *event);
    void finishEdit(bool cancel);
    void editorTextChanged(const QString &text);
    QPoint pastEdge(const QPoint &viewportPos) const; // -1, 0 or 1 for each axis
    QPoint edgeCellPoint(const QPoint &viewportPos) const;
    void followDrag(const QMouseEvent *event);
    void endDrag();
    void autoScrollStep();

    TGridDelegate *delegate_ = nullptr;
    int cols_ = 2;
    int rows_ = 2;
    int defaultColWidth_ = 64;
    std::vector<int> colWidths_; // 0: the default
    std::vector<int> colLefts_;  // content x of each column's left edge, and the total at the end
    int rowHeight_ = 24;
    int col_ = 1;
    int row_ = 1;
    bool editable_ = false;
    bool sharpLines_ = false;
    QPointer<QLineEdit> editor_;
    QObject *editorObject_ = nullptr;
    QString editStartText_;
    int editCol_ = -1;
    int editRow_ = -1;
    bool endingEdit_ = false; // the final report is running (it may re-enter the grid)
    bool silentText_ = false; // the editor text is being set without a report
    bool dragging_ = false;   // the left button went down in the grid and is still held
    QPoint dragPos_;          // the pointer's last place in the drag
    Qt::KeyboardModifiers dragModifiers_;
    QBasicTimer autoScroll_; // runs only while a drag is held past an edge
};

} // namespace kestrava
