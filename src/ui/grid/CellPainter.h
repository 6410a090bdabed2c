#pragma once

#include <QBrush>
#include <QColor>
#include <QFont>
#include <QHash>
#include <QRect>
#include <QStaticText>
#include <QString>
#include <QTransform>

class QPainter;

namespace kestrava {

// How one cell of an owner-drawn grid looks.
struct TCellLook {
    QString text;
    QColor fill;
    QColor textColor;
    bool edge = false; // a raised edge: lighter top and left, darker bottom and right
    Qt::Alignment align = Qt::AlignRight;
};

// The device pixels behind a painter's logical coordinates. At a fractional display
// scale a logical pixel covers one or two device pixels, so one-pixel grid lines come
// out uneven. A sharp grid gives each line whole device pixels (one below scale 2)
// where its logical position rounds to, and each cell the device pixels between its
// lines. At integral scales that is exactly what logical drawing gives.
class TDevicePixels {
public:
    explicit TDevicePixels(const QPainter &p);
    bool Fractional() const { return fractional_; }
    int LineWidth() const { return line_; } // device pixels of a grid line
    int X(int x) const;                     // device column of a logical x
    int Y(int y) const;
    // The device pixels between the grid lines around a logical cell (the lines
    // sit just left of and above it, and just right of and below it).
    QRect Cell(const QRect &logical) const;
    // The device pixels of a grid line given as a logical rectangle one pixel thin.
    QRect Line(const QRect &logical) const;
    // A logical rectangle the painter maps onto exactly these device pixels, for
    // fills and clips.
    QRectF ToLogical(const QRect &device) const;
    void Fill(QPainter &p, const QRect &device, const QBrush &brush) const;

private:
    QTransform toDevice_;
    QTransform toLogical_;
    bool fractional_ = false;
    int line_ = 1;
};

// Draws grid cells: the fill, the raised edge, the text placed by its alignment and
// the focus rectangle. Texts are laid out once and kept, so a full repaint of a
// large grid stays within a frame.
class TCellPainter {
public:
    explicit TCellPainter(const QFont &font = QFont());
    // A new font drops every text laid out with the old one.
    void SetFont(const QFont &font);
    // Cells of a grid with sharp lines (TDrawGrid::setSharpLines): at fractional
    // scales fills, edges and the focus rectangle keep to whole device pixels.
    void SetSharp(bool on) { sharp_ = on; }

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
    void paintText(QPainter &p, const QRect &r, const TCellLook &look) const;
    void paintSharp(QPainter &p, const TDevicePixels &device, const QRect &r,
                    const TCellLook &look) const;
    const Edge &edgeOf(const QColor &fill) const;

    QFont font_;
    bool sharp_ = false;
    mutable QHash<QString, QStaticText> texts_;
    mutable QHash<QRgb, Edge> edges_;
};

} // namespace kestrava
