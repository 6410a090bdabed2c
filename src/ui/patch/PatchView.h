#pragma once

#include <QList>

namespace kestrava {

// What the patch editing commands need of the patch table, so that they can be
// written and tested apart from the grid widget.
class IPatchView {
public:
    virtual ~IPatchView() = default;
    virtual int TableMode() const = 0;              // 0 output-to-input, 1 input-to-output
    virtual QList<int> SelectedOutputs() const = 0; // ascending
    virtual void Deselect(int output) = 0;
    virtual void DropSelection() = 0;          // every output and the anchor
    virtual int CurrentCellOutput() const = 0; // -1 none
    virtual int CurrentRow() const = 0;        // the grid's current row (fixed row is 0)
    virtual void SetCurrentRow(int row) = 0;
    virtual void MoveCursorToOutput(int output) = 0;
    virtual void RefreshOutputCell(int output) = 0;
    virtual void RepaintTable() = 0; // grid and window
    virtual void FocusTable() = 0;
    virtual bool CheckOn() const = 0;               // CheckOnBtn is down
    virtual void ShowCheckedOutput(int output) = 0; // -1 none
};

} // namespace kestrava
