#include "CellPainter.h"

#include <QPainter>
#include <QRect>

#include <cmath>

namespace kestrava {

TDevicePixels::TDevicePixels(const QPainter &p)
    : toDevice_(p.deviceTransform()), toLogical_(toDevice_.inverted()) {
    const qreal scale = toDevice_.m11();
    fractional_ = std::abs(scale - std::round(scale)) > 1e-6;
    line_ = std::max(1, int(scale));
}

int TDevicePixels::X(int x) const {
    // Rounded as the painter rounds the edges of a fill.
    return qRound(toDevice_.map(QPointF(x, 0)).x());
}

int TDevicePixels::Y(int y) const {
    return qRound(toDevice_.map(QPointF(0, y)).y());
}

QRect TDevicePixels::Cell(const QRect &r) const {
    const int left = X(r.left() - 1) + line_;
    const int top = Y(r.top() - 1) + line_;
    return QRect(left, top, X(r.right() + 1) - left, Y(r.bottom() + 1) - top);
}

QRect TDevicePixels::Line(const QRect &r) const {
    return QRect(QPoint(X(r.left()), Y(r.top())),
                 QPoint(X(r.right()) + line_ - 1, Y(r.bottom()) + line_ - 1));
}

QRectF TDevicePixels::ToLogical(const QRect &d) const {
    // A sixteenth of a device pixel inside every edge: the painter's rounding of the
    // mapped edges then lands on these pixels whatever the floating-point error.
    constexpr qreal inset = 1.0 / 16;
    return toLogical_.mapRect(
        QRectF(d.left() + inset, d.top() + inset, d.width() - 2 * inset, d.height() - 2 * inset));
}

void TDevicePixels::Fill(QPainter &p, const QRect &device, const QBrush &brush) const {
    if (!device.isEmpty())
        p.fillRect(ToLogical(device), brush);
}

TCellPainter::TCellPainter(const QFont &font) : font_(font) {}

void TCellPainter::SetFont(const QFont &font) {
    if (font == font_)
        return;
    font_ = font;
    texts_.clear();
}

const QStaticText &TCellPainter::laidOut(const QString &text) const {
    auto it = texts_.find(text);
    if (it == texts_.end()) {
        QStaticText t(text);
        t.setTextFormat(Qt::PlainText);
        t.prepare(QTransform(), font_);
        it = texts_.insert(text, t);
    }
    return it.value();
}

const TCellPainter::Edge &TCellPainter::edgeOf(const QColor &fill) const {
    auto it = edges_.find(fill.rgba());
    if (it == edges_.end())
        it = edges_.insert(fill.rgba(), Edge{fill.lighter(125), fill.darker(130)});
    return it.value();
}

void TCellPainter::Paint(QPainter &p, const QRect &r, const TCellLook &look) const {
    if (sharp_) {
        const TDevicePixels device(p);
        if (device.Fractional()) {
            paintSharp(p, device, r, look);
            return;
        }
    }
    p.fillRect(r, look.fill);
    if (look.edge) {
        // One-pixel rectangles rather than lines: the same pixels, a cheaper path.
        const Edge &e = edgeOf(look.fill);
        p.fillRect(QRect(r.left(), r.top(), r.width(), 1), e.light);
        p.fillRect(QRect(r.left(), r.top(), 1, r.height()), e.light);
        p.fillRect(QRect(r.left(), r.bottom(), r.width(), 1), e.dark);
        p.fillRect(QRect(r.right(), r.top(), 1, r.height()), e.dark);
    }
    paintText(p, r, look);
}

void TCellPainter::paintSharp(QPainter &p, const TDevicePixels &device, const QRect &r,
                              const TCellLook &look) const {
    const QRect d = device.Cell(r);
    device.Fill(p, d, look.fill);
    if (look.edge) {
        const Edge &e = edgeOf(look.fill);
        const int w = device.LineWidth();
        device.Fill(p, QRect(d.left(), d.top(), d.width(), w), e.light);
        device.Fill(p, QRect(d.left(), d.top(), w, d.height()), e.light);
        device.Fill(p, QRect(d.left(), d.bottom() + 1 - w, d.width(), w), e.dark);
        device.Fill(p, QRect(d.right() + 1 - w, d.top(), w, d.height()), e.dark);
    }
    paintText(p, r, look);
}

void TCellPainter::paintText(QPainter &p, const QRect &r, const TCellLook &look) const {
    if (look.text.isEmpty())
        return;
    const QStaticText &text = laidOut(look.text);
    const qreal w = text.size().width();
    qreal x = r.left() + kTextMargin;
    if (look.align & Qt::AlignRight)
        x = r.right() + 1 - w - kTextMargin;
    else if (look.align & Qt::AlignHCenter)
        x = r.left() + (r.width() - w) / 2;
    if (p.font() != font_)
        p.setFont(font_);
    p.setPen(look.textColor);
    p.drawStaticText(QPointF(x, r.top() + kTextTop), text);
}

void TCellPainter::PaintFocus(QPainter &p, const QRect &rect, const QColor &color) const {
    if (sharp_) {
        const TDevicePixels device(p);
        if (device.Fractional()) {
            // Every other device pixel along a one-pixel frame, inside the cell's edge.
            const QRect d = device.Cell(rect).adjusted(1, 1, -1, -1);
            const QBrush dots(color, Qt::Dense4Pattern);
            device.Fill(p, QRect(d.left(), d.top(), d.width(), 1), dots);
            device.Fill(p, QRect(d.left(), d.bottom(), d.width(), 1), dots);
            device.Fill(p, QRect(d.left(), d.top(), 1, d.height()), dots);
            device.Fill(p, QRect(d.right(), d.top(), 1, d.height()), dots);
            return;
        }
    }
    p.setPen(QPen(color, 1, Qt::DotLine));
    p.setBrush(Qt::NoBrush);
    p.drawRect(rect.adjusted(1, 1, -2, -2));
}

} // namespace kestrava
