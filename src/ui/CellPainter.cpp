#include "CellPainter.h"

#include <QPainter>
#include <QRect>

namespace kestrava {

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
    p.fillRect(r, look.fill);
    if (look.edge) {
        // One-pixel rectangles rather than lines: the same pixels, a cheaper path.
        const Edge &e = edgeOf(look.fill);
        p.fillRect(QRect(r.left(), r.top(), r.width(), 1), e.light);
        p.fillRect(QRect(r.left(), r.top(), 1, r.height()), e.light);
        p.fillRect(QRect(r.left(), r.bottom(), r.width(), 1), e.dark);
        p.fillRect(QRect(r.right(), r.top(), 1, r.height()), e.dark);
    }
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
    p.setPen(QPen(color, 1, Qt::DotLine));
    p.setBrush(Qt::NoBrush);
    p.drawRect(rect.adjusted(1, 1, -2, -2));
}

} // namespace kestrava
