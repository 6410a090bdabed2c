#pragma once

#include "Curve.h"
#include "CurvePixels.h"

#include <QImage>
#include <QWidget>

#include <optional>

namespace kestrava {

// The shown curve's graph (CrvPaintBox): the plot with its grid lines and the yellow
// curve, the control-point markers outside mode 0, and the mouse that drags them.
class TCurveGraph : public QWidget {
    Q_OBJECT
public:
    // window: the client size of the graph window the graph fills, which fixes W and H.
    TCurveGraph(TCurveSet &curves, QSize window, QWidget *parent = nullptr);

    // The pixel arithmetic for the shown curve.
    TCurvePixels Pixels() const;
    // Where the right button was last pressed on the graph (its x, in graph pixels).
    int AddPointX() const { return addPointX_; }
    bool Dragging() const { return bounds_.has_value(); }
    // Paints the graph at the painter's device pixel ratio: positions are the graph's
    // logical pixels, lines one device pixel wide and nothing blended.
    void PaintTo(QPainter &p);

    // The colours of the graph.
    static const QColor Background, Plot, GridLine, CurveLine, PointMarker, PickedMarker;

Q_SIGNALS:
    // A left press picked the point at input (or none: -1); the selection changed.
    void Picked(int input);
    // The dragged point moved; it now sits at input.
    void Dragged(int input);
    // The drag ended (any button released): the points snapped and the table followed.
    void Released();

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    void paintDevicePixels(QPainter &p, qreal dpr) const;
    QPoint confine(QPoint pos) const;

    TCurveSet &curves_;
    QSize window_;
    int addPointX_ = 0;
    std::optional<QRect> bounds_; // while dragging: where the pointer may go
    QImage image_;                // the graph in device pixels
};

} // namespace kestrava
