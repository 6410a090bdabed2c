#include "CurveGraph.h"

#include <QCursor>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace kestrava {

const QColor TCurveGraph::Background(128, 128, 128);
const QColor TCurveGraph::Plot(0, 0, 0);
const QColor TCurveGraph::GridLine(0, 0, 128);
const QColor TCurveGraph::CurveLine(255, 255, 0);
const QColor TCurveGraph::PointMarker(0, 128, 0);
const QColor TCurveGraph::PickedMarker(255, 0, 0);

namespace {

// The graph pixel a mouse event is in (positions can fall between pixels when scaled).
QPoint pixelOf(const QMouseEvent *e) {
    return QPoint(int(std::floor(e->position().x())), int(std::floor(e->position().y())));
}

// Some platforms (Wayland) do not let a program move the pointer.
bool pointerMovable() {
    return !QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
}

} // namespace

TCurveGraph::TCurveGraph(TCurveSet &curves, QSize window, QWidget *parent)
    : QWidget(parent), curves_(curves), window_(window) {
    // paintEvent covers every pixel.
    setAttribute(Qt::WA_OpaquePaintEvent);
}

TCurvePixels TCurveGraph::Pixels() const {
    const TUserCurve *c = curves_.Current();
    return TCurvePixels::ForWindow(window_, c ? c->MaxLevel : DefaultMaxLevel);
}

void TCurveGraph::paintEvent(QPaintEvent *) {
    QPainter p(this);
    PaintTo(p);
}

void TCurveGraph::PaintTo(QPainter &p) {
    const qreal dpr = p.device() ? p.device()->devicePixelRatio() : 1.0;
    const QSize size(int(std::ceil(width() * dpr)), int(std::ceil(height() * dpr)));
    if (image_.size() != size)
        image_ = QImage(size, QImage::Format_ARGB32_Premultiplied);
    image_.setDevicePixelRatio(1.0);
    {
        QPainter device(&image_);
        paintDevicePixels(device, dpr);
    }
    // Drawn 1:1 onto the device's pixels.
    image_.setDevicePixelRatio(dpr);
    p.drawImage(QPointF(0, 0), image_);
}

// Painted in device pixels: every logical position maps to the first device pixel of its
// logical pixel, fills cover whole device pixels and lines are one device pixel wide, so
// that a scaled display shows the graph sharp and in its own colours only.
void TCurveGraph::paintDevicePixels(QPainter &p, qreal dpr) const {
    const auto d = [dpr](int v) { return int(std::ceil(v * dpr - 1e-9)); };
    p.fillRect(QRect(QPoint(0, 0), image_.size()), Background);
    const TUserCurve *curve = curves_.Current();
    if (!curve)
        return;
    const TCurvePixels px = Pixels();
    const QRect plot = px.PlotRect();
    p.fillRect(QRect(QPoint(d(plot.left()), d(plot.top())),
                     QPoint(d(plot.right() + 1) - 1, d(plot.bottom() + 1) - 1)),
               Plot);

    const int m = TCurvePixels::Margin;
    p.setPen(QPen(GridLine, 0));
    for (int i = 0; i <= CurveMaxInput; ++i) {
        if (i == 0 || i % 64 == 63) {
            const int x = d(px.Px(i));
            p.drawLine(x, d(m), x, d(px.H() + m));
        }
    }
    const int q = std::max((px.MaxLevel() + 1) / 4, 1);
    for (int j = 0; j <= px.MaxLevel(); ++j) {
        if (j == 0 || j % q == q - 1) {
            const int y = d(px.Py(j));
            p.drawLine(d(m), y, d(px.W() + m), y);
        }
    }

    QPolygon line(CurveTableSize);
    for (int i = 0; i < CurveTableSize; ++i)
        line[i] = QPoint(d(px.Px(i)), d(px.LevelRow(curve->Table[std::size_t(i)])));
    p.setPen(QPen(CurveLine, 0));
    p.drawPolyline(line);
    // The rasteriser may step beside a vertex where a segment turns: each input's own
    // pixel is set besides.
    p.drawPoints(line);

    if (curve->Mode == cmIndividual)
        return;
    p.setBrush(Qt::NoBrush);
    for (const TCurvePoint &point : curve->Points) {
        const QRect marker = px.Marker(point);
        const QPoint from(d(marker.left()), d(marker.top()));
        const QPoint to(d(marker.left() + 8), d(marker.top() + 8));
        p.setPen(QPen(point.Dragging || point.Selected ? PickedMarker : PointMarker, 0));
        p.drawRect(QRect(from, QSize(to.x() - from.x(), to.y() - from.y())));
    }
}

QPoint TCurveGraph::confine(QPoint pos) const {
    if (!bounds_)
        return pos;
    return QPoint(std::clamp(pos.x(), bounds_->left(), bounds_->right()),
                  std::clamp(pos.y(), bounds_->top(), bounds_->bottom()));
}

void TCurveGraph::mousePressEvent(QMouseEvent *event) {
    const QPoint pos = pixelOf(event);
    if (event->button() == Qt::RightButton) {
        addPointX_ = pos.x();
        return;
    }
    TUserCurve *curve = curves_.Current();
    if (event->button() != Qt::LeftButton || !curve || curve->Mode == cmIndividual)
        return;
    const TCurvePixels px = Pixels();
    const int hit = BeginDrag(*curve, px, pos);
    if (hit >= 0)
        bounds_ = px.DragBounds(curve->Points, hit);
    update();
    Q_EMIT Picked(hit >= 0 ? curve->Points[hit].X : -1);
}

void TCurveGraph::mouseMoveEvent(QMouseEvent *event) {
    if (!bounds_)
        return;
    // The pointer stays where the point may go: held there where the platform can move
    // it, and taken as being there where it cannot.
    const QPoint pos = pixelOf(event);
    const QPoint inside = confine(pos);
    if (inside != pos && pointerMovable())
        QCursor::setPos(mapToGlobal(inside));
    TUserCurve *curve = curves_.Current();
    if (!curve)
        return;
    const int input = DragTo(*curve, Pixels(), inside);
    if (input < 0)
        return;
    update();
    Q_EMIT Dragged(input);
}

void TCurveGraph::mouseReleaseEvent(QMouseEvent *) {
    bounds_.reset();
    if (TUserCurve *curve = curves_.Current()) {
        curve->Points.ClearDragging();
        curve->SnapPointsToTable();
        curve->Recalculate();
    }
    update();
    Q_EMIT Released();
}

} // namespace kestrava
