#pragma once

#include "PatchModel.h"

#include <QColor>
#include <QPoint>
#include <QString>

#include <array>

namespace kestrava {

// Where the outputs sit in the patch table, for both views.
struct TPatchLayout {
    int mode = 0;   // 0 output-to-input, 1 input-to-output
    int width = 10; // outputs a row in the output-to-input view
    bool ab = false;
    int maxTx = 1024;
    int maxRx = 1024;

    int ColCount() const; // fixed column included
    int RowCount() const; // fixed row included
    // Output-to-input view: the output a cell stands for, -1 for none (fixed cells,
    // the filler at the end of line A, outputs beyond MaxTxChannel).
    int OutputAtCell(int col, int row) const;
    // Output-to-input view: the cell of an output (column, row).
    QPoint CellOfOutput(int output) const;

private:
    int filler() const; // cells that end line A when line B starts a fresh row
};

// How one cell looks: its text, fill and text colour, and whether it gets a raised edge.
struct TPatchCellLook {
    QString text;
    QColor fill;
    QColor textColor;
    bool edge = false;
    bool drawn = true; // false: nothing is drawn (no current patch)
};

struct TPatchCellInput {
    const TPatchLayout &layout;
    const TPatchModel &patches;
    const std::array<bool, 1024> &selected;
    int checkOutput = -1;
    QColor workspace, highlight, highlightText, windowColor, windowText, buttonText;
};

TPatchCellLook PatchCellLook(const TPatchCellInput &in, int col, int row, bool stateSelected);

} // namespace kestrava
