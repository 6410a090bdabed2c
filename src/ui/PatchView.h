#pragma once

#include <array>

namespace kestrava {

// What the patch editing commands need of the patch table, so that they can be
// written and tested apart from the grid widget.
class IPatchView {
public:
    virtual ~IPatchView() = default;
    virtual int TableMode() const = 0; // 0 output-to-input, 1 input-to-output
    virtual std::array<bool, 1024> &SelectedOutputs() = 0;
    virtual int &SelectAnchor() = 0;
    virtual int CurrentCellOutput() const = 0; // -1 none
    virtual int CurrentRow() const = 0;        // the grid's current row (fixed row is 0)
    virtual void SetCurrentRow(int row) = 0;
    virtual void MoveCursorToOutput(int output) = 0;
    virtual void RefreshOutputCell(int output) = 0;
    virtual void RepaintTable() = 0; // grid and window
    virtual void FocusTable() = 0;
    virtual bool CheckOn() const = 0; // CheckOnBtn is down
};

} // namespace kestrava
