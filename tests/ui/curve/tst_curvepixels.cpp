// The curve graph's pixel arithmetic, the value grid's cell looks and texts, and the
// graph's painting, also on a display scaled by 1.5 (the whole program runs scaled).

#include "CurveCellLook.h"
#include "CurveGraph.h"
#include "CurvePixels.h"

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QSet>
#include <QTest>

using namespace kestrava;

Q_DECLARE_METATYPE(QList<int>)

namespace {

// A curve with these points (X, Y pairs), in this mode, table recalculated.
TUserCurve curveWith(std::initializer_list<std::pair<int, int>> points, int mode) {
    TUserCurve c;
    c.Reset();
    c.Points.Clear();
    for (const auto &[x, y] : points)
        c.Points.Add({x, y});
    c.Mode = mode;
    c.Recalculate();
    return c;
}

const TCurvePixels kGraph = TCurvePixels::ForWindow(QSize(325, 325));

QRgb rgb(const QColor &c) {
    return c.rgb();
}

QSet<QRgb> graphColours() {
    return {rgb(TCurveGraph::Background),  rgb(TCurveGraph::Plot),
            rgb(TCurveGraph::GridLine),    rgb(TCurveGraph::CurveLine),
            rgb(TCurveGraph::PointMarker), rgb(TCurveGraph::PickedMarker)};
}

// Device pixels of the plot area (logical 5 up to W + 6, exclusive) at a scale.
QRect devicePlot(qreal dpr) {
    const auto d = [dpr](int v) { return int(std::ceil(v * dpr - 1e-9)); };
    return QRect(QPoint(d(5), d(5)), QPoint(d(320) - 1, d(320) - 1));
}

// The graph of the shown curve painted into an image at a scale.
QImage painted(TCurveSet &curves, qreal dpr = 1) {
    TCurveGraph graph(curves, QSize(325, 325));
    graph.resize(325, 325);
    QImage image(int(std::ceil(325 * dpr)), int(std::ceil(325 * dpr)),
                 QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(dpr);
    image.fill(Qt::white);
    QPainter p(&image);
    graph.PaintTo(p);
    p.end();
    return image;
}

} // namespace

class TestCurvePixels : public QObject {
    Q_OBJECT

    // The scaled checks: every plot pixel in the graph's colours, and a vertical and a
    // horizontal grid line exactly one device pixel wide.
    static void checkSharp(const QImage &image, qreal dpr) {
        const QSet<QRgb> colours = graphColours();
        const QRect plot = devicePlot(dpr);
        QVERIFY(QRect(QPoint(0, 0), image.size()).contains(plot));
        for (int y = plot.top(); y <= plot.bottom(); ++y)
            for (int x = plot.left(); x <= plot.right(); ++x)
                if (!colours.contains(image.pixel(x, y) | 0xff000000u))
                    QFAIL(qPrintable(QStringLiteral("blended pixel %1 at (%2, %3)")
                                         .arg(image.pixel(x, y), 8, 16)
                                         .arg(x)
                                         .arg(y)));
        const auto d = [dpr](int v) { return int(std::ceil(v * dpr - 1e-9)); };
        const QRgb navy = rgb(TCurveGraph::GridLine);
        const QRgb black = rgb(TCurveGraph::Plot);
        const int lineX = d(kGraph.Px(63)); // the grid line of input 63
        const int y = d(200);               // away from every other line and the curve
        QCOMPARE(image.pixel(lineX, y) | 0xff000000u, navy);
        QCOMPARE(image.pixel(lineX - 1, y) | 0xff000000u, black);
        QCOMPARE(image.pixel(lineX + 1, y) | 0xff000000u, black);
        const int lineY = d(kGraph.Py(127)); // the grid line of level 127
        const int x = d(200);
        QCOMPARE(image.pixel(x, lineY) | 0xff000000u, navy);
        QCOMPARE(image.pixel(x, lineY - 1) | 0xff000000u, black);
        QCOMPARE(image.pixel(x, lineY + 1) | 0xff000000u, black);
    }

private Q_SLOTS:
    void graphWindowGivesThePlotSize() {
        QCOMPARE(kGraph.W(), 314);
        QCOMPARE(kGraph.H(), 314);
        QCOMPARE(kGraph.PlotRect(), QRect(5, 5, 315, 315));
    }

    void positions_data() {
        QTest::addColumn<QString>("what");
        QTest::addColumn<int>("value");
        QTest::addColumn<int>("pixel");
        // trunc(x * 314 / 255.0 + 0.5) + 5
        QTest::newRow("input 0 at the margin") << "px" << 0 << 5;
        QTest::newRow("input 128 rounds half up") << "px" << 128 << 163;
        QTest::newRow("input 255 at the right") << "px" << 255 << 319;
        // trunc(314 * (255 - v) / 255.0 + 0.5) + 5
        QTest::newRow("level 255 at the top") << "row" << 255 << 5;
        QTest::newRow("level 128") << "row" << 128 << 161;
        QTest::newRow("level 0 at the bottom") << "row" << 0 << 319;
        // a right press at x adds at trunc(x * 255 / 314.0 + 0.5), margin not taken off
        QTest::newRow("add at 100") << "add" << 100 << 81;
        QTest::newRow("add past the plot") << "add" << 324 << 255;
        // a drag takes the margin off and clamps to the plot
        QTest::newRow("drag input at the left bound") << "dragx" << 85 << 65;
        QTest::newRow("drag input left of the plot") << "dragx" << -40 << 0;
        QTest::newRow("drag Y at 100") << "dragy" << 100 << 77;
        QTest::newRow("drag Y below the plot") << "dragy" << 400 << 255;
    }
    void positions() {
        QFETCH(QString, what);
        QFETCH(int, value);
        QFETCH(int, pixel);
        const int got = what == "px"      ? kGraph.Px(value)
                        : what == "row"   ? kGraph.LevelRow(value)
                        : what == "add"   ? kGraph.AddInput(value)
                        : what == "dragx" ? kGraph.DragInput(value)
                                          : kGraph.DragY(value);
        QCOMPARE(got, pixel);
    }

    // The marker of (128, 127) spans a + 1 .. a + 8 with a = 158 and b + 1 .. b + 8 with
    // b = 156; a pointer on the pixel beyond misses.
    void hitTest_data() {
        QTest::addColumn<QList<int>>("xs"); // points' inputs, Y 127 each
        QTest::addColumn<QPoint>("pos");
        QTest::addColumn<int>("hit");
        const QList<int> one{0, 128, 255};
        QTest::newRow("top left pixel") << one << QPoint(159, 157) << 1;
        QTest::newRow("bottom right pixel") << one << QPoint(166, 164) << 1;
        QTest::newRow("right of the square") << one << QPoint(167, 160) << -1;
        QTest::newRow("left of the square") << one << QPoint(158, 160) << -1;
        QTest::newRow("below the square") << one << QPoint(160, 165) << -1;
        // inputs 10 and 12 overlap: a pointer on both picks the later one
        QTest::newRow("overlap: last wins") << QList<int>{0, 10, 12, 255} << QPoint(18, 160) << 2;
        QTest::newRow("overlap: only the first")
            << QList<int>{0, 10, 12, 255} << QPoint(14, 160) << 1;
    }
    void hitTest() {
        QFETCH(QList<int>, xs);
        QFETCH(QPoint, pos);
        QFETCH(int, hit);
        TPointList points;
        for (int x : xs)
            points.Add({x, 127});
        QCOMPARE(kGraph.HitTest(points, pos), hit);
    }

    void dragBounds_data() {
        QTest::addColumn<int>("index");
        QTest::addColumn<QRect>("bounds");
        // points 0, 64, 100, 128, 255: columns trunc(X * 314 / 255 + 1.5) + 5 of the
        // neighbours, right and bottom exclusive in the formula, inclusive here
        QTest::newRow("first point") << 0 << QRect(QPoint(5, 5), QPoint(84, 319));
        QTest::newRow("between 64 and 128") << 2 << QRect(QPoint(85, 5), QPoint(163, 319));
        QTest::newRow("last point") << 4 << QRect(QPoint(164, 5), QPoint(318, 319));
    }
    void dragBounds() {
        QFETCH(int, index);
        QFETCH(QRect, bounds);
        TPointList points;
        for (int x : {0, 64, 100, 128, 255})
            points.Add({x, 100});
        QCOMPARE(kGraph.DragBounds(points, index), bounds);
    }

    void cellLook_data() {
        QTest::addColumn<int>("mode");
        QTest::addColumn<int>("col");
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("offBy"); // the point's Y minus the table's, at input 64
        QTest::addColumn<bool>("picked");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QColor>("frame"); // invalid: none
        QTest::addColumn<bool>("redText");
        const QColor none, green(0, 128, 0), red(255, 0, 0);
        // width 8: input 64 is column 1 of row 9
        QTest::newRow("row header") << 2 << 0 << 9 << 0 << false << " 64" << none << false;
        QTest::newRow("column header") << 2 << 8 << 0 << 0 << false << "  7" << none << false;
        QTest::newRow("point framed green") << 2 << 1 << 9 << 0 << false << " 80" << green << false;
        QTest::newRow("picked point red") << 2 << 1 << 9 << 0 << true << " 80" << red << false;
        QTest::newRow("1 off: black text") << 2 << 1 << 9 << 1 << false << " 80" << green << false;
        QTest::newRow("2 off: red text") << 2 << 1 << 9 << -2 << false << " 80" << green << true;
        QTest::newRow("mode 0: no frame") << 0 << 1 << 9 << 2 << true << " 80" << none << false;
        QTest::newRow("no point: no frame") << 2 << 2 << 9 << 0 << false << " 65" << none << false;
    }
    void cellLook() {
        QFETCH(int, mode);
        QFETCH(int, col);
        QFETCH(int, row);
        QFETCH(int, offBy);
        QFETCH(bool, picked);
        QFETCH(QString, text);
        QFETCH(QColor, frame);
        QFETCH(bool, redText);
        TUserCurve c;
        c.Reset();
        c.Mode = mode;
        c.Table[64] = 80;
        c.Table[65] = 65;
        TCurvePoint &p = c.Points.Add({64, 255 - 80 + offBy});
        p.Selected = picked;
        c.Points.SortByInput();
        const TCurveCellInput in{c,        8,         Qt::gray,  Qt::darkGray,
                                 Qt::blue, Qt::white, Qt::white, Qt::black};
        const TCurveCellLook look = CurveCellLook(in, col, row, false);
        QCOMPARE(look.text, text);
        QCOMPARE(look.frame, frame);
        QCOMPARE(look.textColor == QColor(255, 0, 0), redText);
        QCOMPARE(look.edge, col == 0 || row == 0);
    }

    void selectedCellIsHighlighted() {
        TUserCurve c;
        c.Reset();
        const TCurveCellInput in{c,        16,         Qt::gray,  Qt::darkGray,
                                 Qt::blue, Qt::yellow, Qt::white, Qt::black};
        const TCurveCellLook look = CurveCellLook(in, 16, 16, true);
        QCOMPARE(look.text, QStringLiteral("255"));
        QCOMPARE(look.fill, QColor(Qt::blue));
        QCOMPARE(look.textColor, QColor(Qt::yellow));
    }

    void cellOfInput_data() {
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("input");
        QTest::addColumn<QPoint>("cell");
        QTest::newRow("16: input 255") << 16 << 255 << QPoint(16, 16);
        QTest::newRow("16: input 16 starts row 2") << 16 << 16 << QPoint(1, 2);
        QTest::newRow("8: input 255") << 8 << 255 << QPoint(8, 32);
        QTest::newRow("8: input 0") << 8 << 0 << QPoint(1, 1);
    }
    void cellOfInput() {
        QFETCH(int, width);
        QFETCH(int, input);
        QFETCH(QPoint, cell);
        QCOMPARE(CurveCellOfInput(width, input), cell);
        QCOMPARE(CurveCellInput(width, cell.x(), cell.y()), input);
    }

    void statusTexts_data() {
        QTest::addColumn<int>("input");
        QTest::addColumn<int>("level");
        QTest::addColumn<QString>("status");
        QTest::addColumn<QString>("click");
        QTest::newRow("128") << 128 << 128 << QStringLiteral("入力=128 : 出力= 128 (50.2%)")
                             << QStringLiteral("入力=128 : 出力=128");
        QTest::newRow("small") << 5 << 0 << QStringLiteral("入力=  5 : 出力=   0 ( 0.0%)")
                               << QStringLiteral("入力=  5 : 出力=  0");
        QTest::newRow("full") << 255 << 255 << QStringLiteral("入力=255 : 出力= 255 (100.0%)")
                              << QStringLiteral("入力=255 : 出力=255");
        QTest::newRow("negative level counts as 0%")
            << 7 << -1 << QStringLiteral("入力=  7 : 出力=  -1 ( 0.0%)")
            << QStringLiteral("入力=  7 : 出力= -1");
    }
    void statusTexts() {
        QFETCH(int, input);
        QFETCH(int, level);
        QFETCH(QString, status);
        QFETCH(QString, click);
        QCOMPARE(CurveStatusText(input, level, 255), status);
        QCOMPARE(CurveClickText(input, level), click);
    }

    // Unscaled: the background, the plot, the grid lines, the curve and the markers each
    // where the formulas put them.
    void paintsWhereTheFormulasSay_data() {
        QTest::addColumn<QPoint>("pixel");
        QTest::addColumn<QColor>("colour");
        QTest::newRow("window corner") << QPoint(0, 0) << TCurveGraph::Background;
        QTest::newRow("right of the plot") << QPoint(320, 100) << TCurveGraph::Background;
        QTest::newRow("inside the plot") << QPoint(100, 200) << TCurveGraph::Plot;
        QTest::newRow("bottom grid line") << QPoint(200, 319) << TCurveGraph::GridLine;
        QTest::newRow("above the bottom line") << QPoint(200, 318) << TCurveGraph::Plot;
        QTest::newRow("right grid line") << QPoint(319, 200) << TCurveGraph::GridLine;
        QTest::newRow("left of the right line") << QPoint(318, 200) << TCurveGraph::Plot;
        QTest::newRow("top left corner") << QPoint(5, 5) << TCurveGraph::GridLine;
        QTest::newRow("grid line of input 63") << QPoint(83, 250) << TCurveGraph::GridLine;
        QTest::newRow("grid line of Y 191") << QPoint(100, 240) << TCurveGraph::GridLine;
        // polyline 0, 128, 255 at Y 255, 64, 255: input 128 is level 191
        QTest::newRow("curve at input 128") << QPoint(163, 84) << TCurveGraph::CurveLine;
        QTest::newRow("marker of the end point") << QPoint(1, 315) << TCurveGraph::PointMarker;
        QTest::newRow("marker corner beyond") << QPoint(9, 323) << TCurveGraph::PointMarker;
        QTest::newRow("picked marker") << QPoint(159, 80) << TCurveGraph::PickedMarker;
        QTest::newRow("hollow marker") << QPoint(320, 320) << TCurveGraph::Background;
    }
    void paintsWhereTheFormulasSay() {
        QFETCH(QPoint, pixel);
        QFETCH(QColor, colour);
        TCurveSet curves;
        curves.Curves[0] = curveWith({{0, 255}, {128, 64}, {255, 255}}, cmPolyline);
        curves.Curves[0].Points[1].Selected = true;
        const QImage image = painted(curves);
        QCOMPARE(QColor(image.pixel(pixel)), colour);
    }

    // The yellow line goes through the pixel of every input, however steep it turns.
    void curvePassesEveryInput() {
        TCurveSet curves;
        TUserCurve &c = curves.Curves[0];
        for (int i = 0; i < 256; ++i)
            c.Table[std::size_t(i)] = (i * 37 + (i % 7) * 40) % 256;
        const QImage image = painted(curves);
        for (int i = 0; i < 256; ++i)
            QCOMPARE(QColor(image.pixel(kGraph.Px(i), kGraph.LevelRow(c.Table[std::size_t(i)]))),
                     TCurveGraph::CurveLine);
    }

    void noMarkersInMode0() {
        TCurveSet curves;
        curves.Curves[0] = curveWith({{0, 255}, {128, 64}, {255, 255}}, cmPolyline);
        curves.Curves[0].Mode = cmIndividual;
        const QImage image = painted(curves);
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                QVERIFY(QColor(image.pixel(x, y)) != TCurveGraph::PointMarker);
    }

    // Painted into an image of device pixel ratio 1.5.
    void sharpInAScaledImage() {
        TCurveSet curves;
        curves.Curves[0] =
            curveWith({{0, 255}, {60, 200}, {140, 40}, {200, 90}, {255, 0}}, cmCurve);
        curves.Curves[0].Points[2].Selected = true;
        const QImage image = painted(curves, 1.5);
        checkSharp(image, 1.5);
    }

    // The real widget on a display scaled by 1.5 (this program runs with QT_SCALE_FACTOR
    // 1.5): its grab is sharp, and the mouse works in the graph's own pixels.
    void sharpOnAScaledDisplay() {
        QCOMPARE(qApp->devicePixelRatio(), 1.5);
        TCurveSet curves;
        curves.Curves[0] = curveWith({{0, 255}, {128, 127}, {255, 0}}, cmCurve);
        TCurveGraph graph(curves, QSize(325, 325));
        graph.resize(325, 325);
        graph.show();
        QVERIFY(QTest::qWaitForWindowExposed(&graph));
        const QImage image = graph.grab().toImage();
        QCOMPARE(image.devicePixelRatio(), 1.5);
        checkSharp(image, 1.5);

        QTest::mousePress(&graph, Qt::LeftButton, {}, QPoint(163, 161)); // marker centre
        QVERIFY(curves.Curves[0].Points[1].Dragging);
        QTest::mouseMove(&graph, QPoint(163, 100));
        QTest::mouseRelease(&graph, Qt::LeftButton, {}, QPoint(163, 100));
        QCOMPARE(curves.Curves[0].Points[1].Y, kGraph.DragY(100));
    }
};

int main(int argc, char **argv) {
    qputenv("QT_SCALE_FACTOR", "1.5");
    QApplication app(argc, argv);
    TestCurvePixels test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_curvepixels.moc"
