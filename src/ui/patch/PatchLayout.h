#pragma once

#include "CellPainter.h"
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
    int maxTx = OutputCount;
    int maxRx = OutputCount;

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

// The outputs of one memory grouped by what drives them, in output order: the
// input-to-output view asks for the n-th output of a row for every cell it paints.
class TOutputsByInput {
public:
    void Build(const TPatch &patch);
    // The n-th (1-based) output driven by v (an input, pvFull or pvNone), -1 none.
    int Nth(PatchEntry v, int n) const;

private:
    static int keyOf(PatchEntry v);               // -1 for a value no row shows
    static constexpr int kKeys = OutputCount + 2; // inputs, FULL, not patched
    std::array<int, kKeys + 1> start_{};
    std::array<int, OutputCount> outputs_{};
};

// How one cell looks: its text, fill and text colour, and whether it gets a raised edge.
struct TPatchCellLook : TCellLook {
    bool drawn = true; // false: nothing is drawn (no current patch)
};

struct TPatchCellInput {
    const TPatchLayout &layout;
    const TPatchModel &patches;
    const std::array<bool, OutputCount> &selected;
    int checkOutput = -1;
    QColor workspace, highlight, highlightText, windowColor, windowText, buttonText;
    const TOutputsByInput *byInput = nullptr; // built for the current memory, when at hand
};

TPatchCellLook PatchCellLook(const TPatchCellInput &in, int col, int row, bool stateSelected);

} // namespace kestrava
