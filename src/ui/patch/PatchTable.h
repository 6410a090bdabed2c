#pragma once

#include "CellPainter.h"
#include "GridDelegate.h"
#include "PatchLayout.h"
#include "PatchModel.h"
#include "PatchView.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QObject>
#include <QPoint>
#include <QString>

#include <array>
#include <optional>

namespace kestrava {

class TDrawGrid;

// PatTableGrid's behaviour: the two views of the current patch memory, the
// selection of outputs, the keys and the handshake with the in-place editor.
class TPatchTable : public QObject, public IPatchView, public TGridDelegate {
    Q_OBJECT
public:
    TPatchTable(TDrawGrid *grid, TPatchModel &patches, QObject *parent = nullptr);

    // Lays the grid out for a view, a width and a notation.
    void Layout(int mode, int width, bool ab);
    const TPatchLayout &CurrentLayout() const { return layout_; }
    TDrawGrid *Grid() const { return grid_; }

    // IPatchView
    int TableMode() const override { return layout_.mode; }
    QList<int> SelectedOutputs() const override;
    void Deselect(int output) override;
    void DropSelection() override;
    int CurrentCellOutput() const override;
    int CurrentRow() const override;
    void SetCurrentRow(int row) override;
    void MoveCursorToOutput(int output) override;
    void RefreshOutputCell(int output) override;
    void RepaintTable() override;
    void FocusTable() override;
    bool CheckOn() const override { return checkOnDown_; }
    void ShowCheckedOutput(int output) override;

    void SetCheckOnDown(bool down) { checkOnDown_ = down; }
    bool IsSelected(int output) const;
    int SelectedCount() const;
    void ClearSelection();
    // The output's cell becomes the current one, in either view; false when no cell shows it.
    bool GoToOutput(int output);
    // Exactly these outputs selected (output-to-input view), the first of them the anchor.
    void SelectOutputs(const QList<int> &outputs);
    // The output a cell stands for in the current view, -1 none.
    int OutputOfCell(int col, int row) const;

Q_SIGNALS:
    // An in-place edit finished with value; startText is what the editor opened with.
    void CellEdited(int col, int row, const QString &value, const QString &startText);
    void SelectionChanged();
    // The cursor moved to an output while ON is down: the check follows it.
    void CheckRequested(int output);
    void DeletePressed();

private:
    // TGridDelegate
    void paintBegin() override;
    void drawCell(QPainter &p, int col, int row, const QRect &rect, TGridCellState state) override;
    bool selectCell(int col, int row) override;
    QString editText(int col, int row) override;
    void setEditText(int col, int row, const QString &value) override;
    void cancelEdit(int col, int row) override;
    bool keyDown(QKeyEvent *e) override;
    bool mouseMove(QMouseEvent *e) override;
    bool dragScrolls() const override { return true; }

    void extendSelection(int output);
    bool jumpToOutput(QPoint target, bool towardsEnd);

    TDrawGrid *grid_;
    TPatchModel &patches_;
    TPatchLayout layout_;
    std::array<bool, OutputCount> selected_{};
    int anchor_ = 0;
    QPoint dragCell_{-1, -1};
    TCellPainter painter_;
    TOutputsByInput byInput_;
    bool movingCursor_ = false;
    bool checkOnDown_ = false;
    int checkOutput_ = -1;
    std::optional<std::array<bool, OutputCount>> selectedBeforeEdit_;
    QString editText_;
    QString editStartText_;
};

} // namespace kestrava
