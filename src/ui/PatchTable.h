#pragma once

#include "PatchLayout.h"
#include "PatchModel.h"
#include "PatchView.h"

#include <QHash>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QObject>
#include <QPoint>
#include <QStaticText>
#include <QString>

#include <array>
#include <functional>

namespace kestrava {

class TDrawGrid;

// PatTableGrid's behaviour: the two views of the current patch memory, the
// selection of outputs, the keys and the handshake with the in-place editor.
class TPatchTable : public QObject, public IPatchView {
    Q_OBJECT
public:
    TPatchTable(TDrawGrid *grid, TPatchModel &patches, QObject *parent = nullptr);

    // Lays the grid out for a view, a width and a notation.
    void Layout(int mode, int width, bool ab);
    const TPatchLayout &CurrentLayout() const { return layout_; }
    TDrawGrid *Grid() const { return grid_; }

    const int *CheckOutput = nullptr; // the output under check, owned by the editing commands
    bool CellEditOpen = false;
    QString PatchEditText;
    QString PatchEditStartText;

    // What a finished edit does (the editing commands), and the check that follows
    // the selection while ON is down.
    std::function<void(int col, int row, const QString &value)> applyCellEdit;
    std::function<void(int output)> checkOutputAt;
    std::function<bool()> checkOnDown;
    std::function<void()> deleteKey;
    std::function<void()> selectionChanged;

    // IPatchView
    int TableMode() const override { return layout_.mode; }
    std::array<bool, 1024> &SelectedOutputs() override { return selected_; }
    int &SelectAnchor() override { return anchor_; }
    int CurrentCellOutput() const override;
    int CurrentRow() const override;
    void SetCurrentRow(int row) override;
    void MoveCursorToOutput(int output) override;
    void RefreshOutputCell(int output) override;
    void RepaintTable() override;
    void FocusTable() override;
    bool CheckOn() const override { return checkOnDown && checkOnDown(); }

    int SelectedCount() const;
    void ClearSelection();
    // The output a cell stands for in the current view, -1 none.
    int OutputOfCell(int col, int row) const;

private:
    bool selectCell(int col, int row);
    void extendSelection(int output);
    bool keyDown(QKeyEvent *e);
    bool mouseMove(QMouseEvent *e);
    const QStaticText &staticText(const QString &text);

    TDrawGrid *grid_;
    TPatchModel &patches_;
    TPatchLayout layout_;
    std::array<bool, 1024> selected_{};
    int anchor_ = 0;
    QPoint dragCell_{-1, -1};
    QHash<QString, QStaticText> texts_;
    bool movingCursor_ = false;
};

} // namespace kestrava
