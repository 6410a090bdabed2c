#pragma once

#include "AppSettings.h"
#include "PatchModel.h"
#include "PatchView.h"
#include "SheetReader.h"
#include "TransferEnv.h"

#include <QString>

namespace kestrava {

// The patch editing commands (cell edit, SET, sequential channels, un-patch, undo)
// and the output check, written against the table's interface so that they run
// without the grid widget. Messages go through the environment's boxes.
class TPatchEditor {
public:
    // settings is read at each use (WarnChgPatch, DispAbCh), so it must outlive the editor.
    TPatchEditor(TPatchModel &patches, TransferEnv &env, IPatchView &view,
                 const TAppSettings &settings);

    // Shown where a number lies outside what the unit or the settings allow.
    static QString RangeMessage();

    // Asked before output o is re-patched in the input-to-output view.
    bool ConfirmOverwrite(int o);
    // A finished in-place edit of cell (c, r); editStartText is what the editor opened with.
    void ApplyCellEdit(int c, int r, const QString &value, const QString &editStartText);
    // SET: inputText names one input, outputListText a list of outputs (whichever edit
    // holds them in the current view). True when the edits are to be emptied.
    bool ToolBarPatch(const QString &inputText, const QString &outputListText);
    // Consecutive inputs for the selected outputs, the first one asked for.
    void SetChSel();
    // The first input SetChSel proposes.
    QString ProposedFirstInput() const;
    void DelPatch();
    // Sheet text laid on the current patch from the current output on: every row read
    // before anything changes, one undo step, each change sent as a typed one is.
    void Paste(const QString &sheetText);
    // Values read from a sheet (outputs and inputs checked against the limits) laid on.
    void PasteValues(const QList<TSheetValue> &values);
    void Undo();
    void Redo();

    // The output check. Nothing reaches the unit unless it is linked.
    void CheckOutputAt(int o);
    void CheckOn();
    void CheckOff();
    // True when the level was sent (the level label then shows it).
    bool CheckLevel(int level);

    // The check goes off here without a command to the unit.
    void ForgetCheck();
    int CheckOutput() const { return checkOutput_; } // -1 none

private:
    void applyInputToOutput(int r, const QString &value);
    void applyOutputToInput(const QString &value, const QString &editStartText);
    // The cursor to the output after the last one written (or on it at the end).
    void moveCursorAfter(int last);
    void markWritten(int o);
    int selectedCount() const;
    void showCheck(int o);
    void sendRestored(); // after undo or redo: the whole memory to the unit

    TPatchModel &patches_;
    TransferEnv &env_;
    IPatchView &view_;
    const TAppSettings &settings_;
    int checkOutput_ = -1;
};

} // namespace kestrava
