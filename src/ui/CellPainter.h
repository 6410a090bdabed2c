#pragma once

#include <QColor>
#include <QFont>
#include <QHash>
#include <QStaticText>
#include <QString>

class QPainter;
class QRect;

namespace kestrava {

// How one cell of an owner-drawn grid looks.
struct TCellLook {
    QString text;
    QColor fill;
    QColor textColor;
    bool edge = false; // a raised edge: lighter top and left, darker bottom and right
    Qt::Alignment align = Qt::AlignRight;
};

// Draws grid cells: the fill, the raised edge, the text placed by its alignment and
// the focus rectangle. Texts are laid out once and kept, so a full repaint of a
// large grid stays within a frame.
class TCellPainter {
public:
    explicit TCellPainter(const QFont &font = QFont());
    // A new font drops every text laid out with the old one.
    void SetFont(const QFont &font);

    void Paint(QPainter &p, const QRect &rect, const TCellLook &look) const;
    // The dotted focus rectangle of the current cell.
    void PaintFocus(QPainter &p, const QRect &rect, const QColor &color) const;

    // Text offsets: from the side the text is aligned to, and from the top.
    static constexpr int kTextMargin = 4;
    static constexpr int kTextTop = 2;

private:
    struct Edge {
        QColor light, dark;
    };
    const QStaticText &laidOut(const QString &text) const;
    const Edge &edgeOf(const QColor &fill) const;

    QFont font_;
    mutable QHash<QString, QStaticText> texts_;
    mutable QHash<QRgb, Edge> edges_;
};

} // namespace kestrava
