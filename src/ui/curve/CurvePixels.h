#pragma once

#include "Curve.h"

#include <QPoint>
#include <QRect>
#include <QSize>

namespace kestrava {

// Where inputs, levels and control points sit in the curve graph window, which
// marker the pointer is on and where a dragged point may go. Pixels are those of
// the graph window's client area (logical pixels); nothing here paints.
class TCurvePixels {
public:
    static constexpr int Margin = 5; // from the window's corner to the plot area

    // w, h: the plot's width and height (W, H); both at least 1.
    TCurvePixels(int w, int h, int maxLevel = DefaultMaxLevel);
    // W and H for a graph window of this client size: 11 pixels less each way.
    static TCurvePixels ForWindow(QSize client, int maxLevel = DefaultMaxLevel);

    int W() const { return w_; }
    int H() const { return h_; }
    int MaxLevel() const { return maxLevel_; }

    int Px(int input) const;       // the column of an input level
    int Py(double y) const;        // the row of a graph coordinate Y (0 at the top)
    int LevelRow(int level) const; // the row of an output level
    QRect PlotRect() const;        // the black area: (5, 5) up to (W + 6, H + 6) exclusive
    // The marker square of a point: its outline is drawn through the corners of this
    // rectangle's pixels and the one beyond (a 9-pixel outline); the pixels inside the
    // rectangle (8 x 8) are what the hit test counts.
    QRect Marker(const TCurvePoint &p) const;
    // The index of the point whose marker holds pos, the last such in list order; -1 none.
    int HitTest(const TPointList &points, QPoint pos) const;
    // Where the pointer may go while the point at index is dragged (right and bottom
    // inclusive): between the neighbours' columns (the window's left or the plot's right
    // edge without one), over the plot's height.
    QRect DragBounds(const TPointList &points, int index) const;
    // A drag's pointer position as an input (margin taken off, clamped to the plot).
    int DragInput(int x) const;
    // A drag's pointer position as a graph coordinate Y (margin taken off, clamped).
    int DragY(int y) const;
    // The input a right press at x adds a point at (no margin taken off), 0..255.
    int AddInput(int x) const;

private:
    int w_;
    int h_;
    int maxLevel_;
};

// A left press at pos on the curve: the selection is dropped, and the point under pos,
// if any, becomes the dragged and selected one. Returns its index, -1 for none.
int BeginDrag(TUserCurve &curve, const TCurvePixels &pixels, QPoint pos);
// The dragged point follows pos: Y always, X only for an interior point and only to an
// input no other point holds; the points are sorted again and the table recalculated.
// Returns the point's input, or -1 when no point is being dragged.
int DragTo(TUserCurve &curve, const TCurvePixels &pixels, QPoint pos);

} // namespace kestrava
