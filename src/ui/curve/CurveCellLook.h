#pragma once

#include "CellPainter.h"
#include "Curve.h"

#include <QColor>
#include <QPoint>
#include <QString>

namespace kestrava {

// The curve's value grid: the inputs of one row follow each other, `width` a row, under
// one fixed row of column numbers and beside one fixed column of row starts.

int CurveGridColCount(int width); // fixed column included
int CurveGridRowCount(int width); // fixed row included
// The input a value cell stands for; beyond 255 for cells past the table.
int CurveCellInput(int width, int col, int row);
// The value cell of an input (clamped to 0..255): (column, row).
QPoint CurveCellOfInput(int width, int input);

// How a value or header cell looks, with the frame that marks a control point.
struct TCurveCellLook : TCellLook {
    QColor frame; // invalid: no frame
};

struct TCurveCellInput {
    const TUserCurve &curve;
    int width = 8;
    QColor buttonFace, buttonText, highlight, highlightText, window, windowText;
};

// selected: the grid's current cell.
TCurveCellLook CurveCellLook(const TCurveCellInput &in, int col, int row, bool selected);

// Panel 3 for an input and its level: 入力=128 : 出力= 128 (50.2%).
QString CurveStatusText(int input, int level, int maxLevel);
// Panel 3 after a click on the value cell of an input: 入力=128 : 出力=128.
QString CurveClickText(int input, int level);

} // namespace kestrava
