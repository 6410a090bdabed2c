#pragma once

#include "AttrSelector.h"
#include "CellPainter.h"
#include "GridDelegate.h"
#include "LoadAttrModel.h"

#include <QObject>

class QKeyEvent;
class QMouseEvent;

namespace kestrava {

class TDrawGrid;
struct TAppSettings;

// LdAtrGrid's behaviour: one row for every output with its load attribute, a range
// of selected rows, the keys, and the in-place selector that sets the range.
class TAttrTable : public QObject, public TGridDelegate {
    Q_OBJECT
public:
    // settings is read when painting: the A/B notation and the patch table's view.
    TAttrTable(TDrawGrid *grid, TLoadAttrModel &attrs, const TAppSettings &settings,
               QObject *parent = nullptr);

    TDrawGrid *Grid() const { return grid_; }
    TAttrSelector *Selector() const { return selector_; }
    int CurrentRow() const;
    // The selected rows (grid rows, 1 for output 1), the current row among them.
    int FirstSelectedRow() const;
    int LastSelectedRow() const;

    // Opens the selector over the current cell for the selected rows (column 1 only).
    void OpenSelector();
    // Sets every output of the rows first..last to the selector's item index; a
    // reversed or empty range sets nothing. The attributes count as changed either way.
    void ApplySelector(const TEditRange &range, int index);
    // The selected rows as output and attribute name.
    QList<QStringList> CopyRows() const;
    // Attributes laid on the selected rows from the first on; a single one fills them all.
    void PasteAttrs(const QList<LoadAttr> &codes);
    // The current row back to Normal, then down one row unless it is the last.
    void ResetCurrentRow();
    // Every output back to Normal.
    void ResetAll();
    // Paints the rows again, now (after a fetch, a load or a write).
    void Repaint();
    void SetEnabled(bool on);

Q_SIGNALS:
    // An edit changed the attributes (LdAtrChanged is set).
    void Changed();

private:
    // TGridDelegate
    void drawCell(QPainter &p, int col, int row, const QRect &rect, TGridCellState state) override;
    bool selectCell(int col, int row) override;
    bool keyDown(QKeyEvent *e) override;
    bool mousePress(QMouseEvent *e) override;
    bool mouseMove(QMouseEvent *e) override;
    bool mouseDoubleClick(QMouseEvent *e) override;
    bool dragScrolls() const override { return true; }

    int rowTarget(const QKeyEvent *e, int from) const; // -1: not a row key
    void moveCurrent(int row);                         // selection collapses onto it
    void moveSelectionEnd(int row);                    // the current row stays
    void edited();

    TDrawGrid *grid_;
    TLoadAttrModel &attrs_;
    const TAppSettings &settings_;
    TAttrSelector *selector_;
    TCellPainter painter_;
    int selectionEnd_ = 1; // the other end of the selected rows from the current row
    bool dragging_ = false;
    bool refocus_ = false; // the grid had the focus when a transfer switched it off
};

} // namespace kestrava
