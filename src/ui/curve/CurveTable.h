#pragma once

#include "CellPainter.h"
#include "Curve.h"
#include "GridDelegate.h"
#include "Usr_misc.h"

#include <QObject>
#include <QString>

class QKeyEvent;
class QMouseEvent;

namespace kestrava {

class TDrawGrid;

// CurveGrid's behaviour: the shown curve's 256 levels, `width` a row, with the control
// points framed, the current cell that follows a picked point, and typing a level in
// (mode 0 only).
class TCurveValueTable : public QObject, public TGridDelegate {
    Q_OBJECT
public:
    TCurveValueTable(TDrawGrid *grid, TCurveSet &curves, TBoxes boxes, QObject *parent = nullptr);

    // 8 or 16 values a row (anything else is 8); the current cell keeps its input.
    void SetGridWidth(int width);
    int GridWidth() const { return width_; }
    // The input of the current cell.
    int CurrentInput() const;
    // The current cell moves to an input (clamped to 0..255) and the grid repaints.
    void FollowInput(int input);
    void Repaint();
    // Typing follows the shown curve's mode: levels are typed in mode 0 only.
    void FollowMode();

Q_SIGNALS:
    // A value cell was clicked, or the keyboard moved the current cell onto it.
    void CellClicked(int col, int row);
    // A typed level went into the table.
    void LevelTyped();

private:
    // TGridDelegate
    void drawCell(QPainter &p, int col, int row, const QRect &rect, TGridCellState state) override;
    QString editText(int col, int row) override;
    void setEditText(int col, int row, const QString &text) override;
    void cancelEdit(int col, int row) override;
    bool mousePress(QMouseEvent *e) override;
    bool keyDown(QKeyEvent *e) override;

    void commit(int col, int row, const QString &text);

    TDrawGrid *grid_;
    TCurveSet &curves_;
    TBoxes boxes_;
    TCellPainter painter_;
    int width_ = 8;
    QString editText_; // the editor's text as last reported
};

} // namespace kestrava
