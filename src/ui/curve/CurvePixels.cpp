#include "CurvePixels.h"

#include <algorithm>

namespace kestrava {

namespace {

// trunc(v + 0.5): the rounding every position of the graph uses.
int roundUp(double v) {
    return int(v + 0.5);
}

} // namespace

TCurvePixels::TCurvePixels(int w, int h, int maxLevel)
    : w_(std::max(w, 1)), h_(std::max(h, 1)), maxLevel_(std::max(maxLevel, 1)) {}

TCurvePixels TCurvePixels::ForWindow(QSize client, int maxLevel) {
    return TCurvePixels(client.width() - 11, client.height() - 11, maxLevel);
}

int TCurvePixels::Px(int input) const {
    return roundUp(input * w_ / 255.0) + Margin;
}

int TCurvePixels::Py(double y) const {
    return roundUp(y * h_ / maxLevel_) + Margin;
}

int TCurvePixels::LevelRow(int level) const {
    return roundUp(double(h_) * (maxLevel_ - double(level)) / maxLevel_) + Margin;
}

QRect TCurvePixels::PlotRect() const {
    return QRect(Margin, Margin, w_ + 1, h_ + 1);
}

QRect TCurvePixels::Marker(const TCurvePoint &p) const {
    const int a = roundUp(w_ * double(p.X) / 255.0);
    const int b = roundUp(h_ * double(p.Y) / maxLevel_);
    return QRect(a + 1, b + 1, 8, 8);
}

int TCurvePixels::HitTest(const TPointList &points, QPoint pos) const {
    int hit = -1;
    for (int i = 0; i < points.Count(); ++i)
        if (Marker(points[i]).contains(pos))
            hit = i;
    return hit;
}

QRect TCurvePixels::DragBounds(const TPointList &points, int index) const {
    const auto column = [this](const TCurvePoint &p) { return roundUp(p.X * w_ / 255.0 + 1); };
    const int left = index > 0 ? column(points[index - 1]) + Margin : Margin;
    const int right = (index + 1 < points.Count() ? column(points[index + 1]) : w_) + Margin;
    const int top = Margin;
    const int bottom = h_ + 6;
    return QRect(QPoint(left, top), QPoint(right - 1, bottom - 1));
}

int TCurvePixels::DragInput(int x) const {
    const int a = std::clamp(x - Margin, 0, w_);
    return roundUp(a * 255.0 / w_);
}

int TCurvePixels::DragY(int y) const {
    const int b = std::clamp(y - Margin, 0, h_);
    return roundUp(double(b) * maxLevel_ / h_);
}

int TCurvePixels::AddInput(int x) const {
    return std::clamp(roundUp(x * 255.0 / w_), 0, CurveMaxInput);
}

int BeginDrag(TUserCurve &curve, const TCurvePixels &pixels, QPoint pos) {
    curve.Points.ClearSelected();
    const int hit = pixels.HitTest(curve.Points, pos);
    if (hit >= 0) {
        curve.Points[hit].Dragging = true;
        curve.Points[hit].Selected = true;
    }
    return hit;
}

int DragTo(TUserCurve &curve, const TCurvePixels &pixels, QPoint pos) {
    TPointList &points = curve.Points;
    int i = 0;
    while (i < points.Count() && !points[i].Dragging)
        ++i;
    if (i == points.Count())
        return -1;
    TCurvePoint &p = points[i];
    p.Y = pixels.DragY(pos.y());
    if (i > 0 && i + 1 < points.Count()) {
        const int nx = pixels.DragInput(pos.x());
        const TCurvePoint *holder = points.FindByInput(nx);
        if (!holder || holder == &p)
            p.X = nx;
    }
    const int input = p.X;
    points.SortByInput();
    curve.Recalculate();
    return input;
}

} // namespace kestrava
