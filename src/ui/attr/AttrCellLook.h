#pragma once

#include "CellPainter.h"
#include "LoadAttrModel.h"

#include <QColor>
#include <QString>

namespace kestrava {

// What a cell of the load attribute grid depends on.
struct TAttrCellInput {
    const TLoadAttrs &attrs;
    bool ab = false;      // outputs labelled A001..B512 instead of 1..1024
    int patTableMode = 0; // the patch table's view: the header's edge shows only in view 0
    QColor window, windowText, highlight, highlightText, buttonText;
};

// The label of output o (0-based) in the fixed column. Kept for the whole run, so
// painting a column of labels allocates nothing.
const QString &AttrRowLabel(int output, bool ab);

// How the cell (col, row) of the load attribute grid looks; selected applies to data
// cells only.
TCellLook AttrCellLook(const TAttrCellInput &in, int col, int row, bool selected);

} // namespace kestrava
