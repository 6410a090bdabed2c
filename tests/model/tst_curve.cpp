#include "Curve.h"

#include <QFile>
#include <QtTest>

using namespace kestrava;

namespace {

using Points = QList<QPair<int, int>>;

TUserCurve CurveWith(int mode, const Points &points) {
    TUserCurve c;
    c.Reset(255);
    c.Mode = mode;
    c.Points.Clear();
    for (const auto &[x, y] : points)
        c.Points.Add({x, y});
    return c;
}

QList<int> TableOf(const TUserCurve &c) {
    return QList<int>(c.Table.begin(), c.Table.end());
}

// What a straight line from (x0, y0) to (x1, y1) gives, rounding half up: written out here
// from the line equation so that it does not share code with the model.
int LineLevel(int x, int x0, int y0, int x1, int y1) {
    const double y = y0 + double(y1 - y0) * (x - x0) / double(x1 - x0);
    return int(255 - y + 0.5);
}

} // namespace

class TestCurve : public QObject {
    Q_OBJECT

private slots:
    void resetGivesIdentityAndEndPoints();
    void polyline_data();
    void polyline();
    void polylineLeavesOutsideSpanAndDoesNotClamp();
    void twoPointSplineEqualsPolyline();
    void splineGolden_data();
    void splineGolden();
    void splineEnds();
    void splineIgnoresRepeatedPoint();
    void degenerateListsStayDefined_data();
    void degenerateListsStayDefined();
    void snap_data();
    void snap();
    void addPoint_data();
    void addPoint();
    void deleteSelected();
    void syncUsesTableAndClampsIndex();
};

void TestCurve::resetGivesIdentityAndEndPoints() {
    TUserCurve c;
    c.Mode = cmCurve;
    c.Table.fill(7);
    c.Points.Add({100, 3});
    c.Reset(255);
    QCOMPARE(c.Mode, std::int32_t(cmCurve)); // kept
    for (int i = 0; i < 256; ++i)
        QCOMPARE(c.Table[i], i);
    QCOMPARE(c.Points.Count(), 2);
    QCOMPARE(c.Points[0], (TCurvePoint{0, 255}));
    QCOMPARE(c.Points[1], (TCurvePoint{255, 0}));
}

void TestCurve::polyline_data() {
    QTest::addColumn<Points>("points");
    QTest::addColumn<QList<int>>("inputs");
    QTest::addColumn<QList<int>>("levels");

    // The values are worked out by hand: entry 64 is 255 - 127.5 + 0.5 = 128.
    QTest::newRow("vee") << Points{{0, 255}, {128, 0}, {255, 255}}
                         << QList<int>{0, 64, 127, 128, 255} << QList<int>{0, 128, 253, 255, 0};
    QTest::newRow("end points only")
        << Points{{0, 200}, {255, 55}} << QList<int>{0, 1, 128, 255}
        << QList<int>{55, LineLevel(1, 0, 200, 255, 55), LineLevel(128, 0, 200, 255, 55), 200};
    QTest::newRow("flat") << Points{{0, 100}, {255, 100}} << QList<int>{0, 77, 255}
                          << QList<int>{155, 155, 155};
}

void TestCurve::polyline() {
    QFETCH(Points, points);
    QFETCH(QList<int>, inputs);
    QFETCH(QList<int>, levels);
    TUserCurve c = CurveWith(cmPolyline, points);
    c.Recalculate();
    for (int i = 0; i < inputs.size(); ++i)
        QCOMPARE(c.Table[inputs[i]], levels[i]);
    // Every entry lies on its segment.
    for (int s = 0; s + 1 < points.size(); ++s) {
        const auto [x0, y0] = points[s];
        const auto [x1, y1] = points[s + 1];
        for (int x = x0; x <= x1; ++x)
            QCOMPARE(c.Table[x], LineLevel(x, x0, y0, x1, y1));
    }
}

void TestCurve::polylineLeavesOutsideSpanAndDoesNotClamp() {
    TUserCurve c = CurveWith(cmPolyline, {{10, 300}, {20, -40}});
    c.Table.fill(9);
    c.Recalculate();
    QCOMPARE(c.Table[9], 9);
    QCOMPARE(c.Table[21], 9);
    QCOMPARE(c.Table[10], -44); // trunc(-44.5) goes toward zero
    QCOMPARE(c.Table[20], 295);
}

void TestCurve::twoPointSplineEqualsPolyline() {
    TUserCurve a = CurveWith(cmPolyline, {{0, 30}, {255, 250}});
    TUserCurve b = CurveWith(cmCurve, {{0, 30}, {255, 250}});
    a.Recalculate();
    b.Recalculate();
    QCOMPARE(TableOf(b), TableOf(a));
}

// Each table was computed once by a separate double-precision implementation of the sampling
// (independent of this code base) and then checked by hand at entry 0 (trunc of 255 - Y of the
// first point), entry 255 (255 - Y of the point at 255), at the control points (A: entries just
// under the identity, one or two below because samples are truncated; C: the overshoot above
// 255 is clamped), and D for its backward jumps around the steep step at 100/101.
void TestCurve::splineGolden_data() {
    QTest::addColumn<Points>("points");
    QTest::addColumn<QList<int>>("table");
    QFile f(qEnvironmentVariable("KESTRAVA_TEST_DATA") + "/golden/spline_tables.txt");
    QVERIFY2(f.open(QIODevice::ReadOnly | QIODevice::Text), qPrintable(f.fileName()));
    int rows = 0;
    while (!f.atEnd()) {
        const QString line = QString::fromLatin1(f.readLine()).trimmed();
        if (line.isEmpty() || line.startsWith('#'))
            continue;
        const QStringList parts = line.split('|');
        QCOMPARE(parts.size(), 3);
        Points points;
        for (const QString &p : parts[1].trimmed().split(';')) {
            const QStringList xy = p.split(' ');
            points.append({xy[0].toInt(), xy[1].toInt()});
        }
        QList<int> table;
        for (const QString &v : parts[2].trimmed().split(','))
            table.append(v.toInt());
        QCOMPARE(table.size(), 256);
        QTest::newRow(qPrintable(parts[0].trimmed())) << points << table;
        ++rows;
    }
    QCOMPARE(rows, 4);
}

void TestCurve::splineGolden() {
    QFETCH(Points, points);
    QFETCH(QList<int>, table);
    TUserCurve c = CurveWith(cmCurve, points);
    c.Recalculate();
    QCOMPARE(TableOf(c), table);
}

void TestCurve::splineEnds() {
    TUserCurve c = CurveWith(cmCurve, {{0, 200}, {128, 128}, {255, 17}});
    c.Table.fill(-1);
    c.Recalculate();
    QCOMPARE(c.Table[0], 55); // trunc(255 - 200), no half added
    QCOMPARE(c.Table[255], 255 - 17);
    for (int v : c.Table)
        QVERIFY(v >= 0 && v <= 255); // every entry reached and in range
}

void TestCurve::splineIgnoresRepeatedPoint() {
    const Points clean{{0, 255}, {64, 200}, {192, 40}, {255, 0}};
    TUserCurve a = CurveWith(cmCurve, clean);
    TUserCurve b = CurveWith(cmCurve, {{0, 255}, {64, 200}, {64, 200}, {192, 40}, {255, 0}});
    a.Recalculate();
    b.Recalculate();
    QCOMPARE(TableOf(b), TableOf(a));
}

void TestCurve::degenerateListsStayDefined_data() {
    QTest::addColumn<int>("mode");
    QTest::addColumn<Points>("points");
    QTest::addColumn<bool>("changes");

    const Points three{{0, 255}, {100, 0}, {255, 0}};
    QTest::newRow("individual") << int(cmIndividual) << three << false;
    QTest::newRow("unknown mode 3") << 3 << three << false;
    QTest::newRow("unknown mode -1") << -1 << three << false;
    QTest::newRow("empty, curve") << int(cmCurve) << Points{} << false;
    QTest::newRow("empty, polyline") << int(cmPolyline) << Points{} << false;
    QTest::newRow("one point, curve") << int(cmCurve) << Points{{100, 20}} << false;
    QTest::newRow("one point, polyline") << int(cmPolyline) << Points{{100, 20}} << false;
    QTest::newRow("all the same point")
        << int(cmCurve) << Points{{50, 50}, {50, 50}, {50, 50}} << false;
    QTest::newRow("same X, other Y")
        << int(cmCurve) << Points{{0, 255}, {80, 10}, {80, 200}, {255, 0}} << true;
    QTest::newRow("unsorted") << int(cmCurve) << Points{{255, 0}, {0, 255}, {128, 60}} << true;
    QTest::newRow("unsorted polyline")
        << int(cmPolyline) << Points{{255, 0}, {0, 255}, {128, 60}} << true;
    QTest::newRow("X beyond the table")
        << int(cmCurve) << Points{{-40, 255}, {128, 0}, {600, 90}} << true;
    QTest::newRow("X beyond, polyline") << int(cmPolyline) << Points{{-40, 255}, {600, 90}} << true;
    QTest::newRow("extreme values")
        << int(cmCurve) << Points{{INT_MIN, INT_MAX}, {0, 0}, {INT_MAX, INT_MIN}} << true;
    QTest::newRow("two pairs of repeats")
        << int(cmCurve) << Points{{0, 255}, {0, 255}, {255, 0}, {255, 0}} << true;
}

// Garbage in must not mean undefined behaviour (the sanitizer build checks that), nor a
// table outside the level range where the mode clamps.
void TestCurve::degenerateListsStayDefined() {
    QFETCH(int, mode);
    QFETCH(Points, points);
    QFETCH(bool, changes);
    TUserCurve c = CurveWith(mode, points);
    c.Table.fill(77);
    c.Recalculate();
    const QList<int> table = TableOf(c);
    QCOMPARE(table != QList<int>(256, 77), changes);
    if (mode == cmCurve && points.size() >= 3) {
        for (int v : table)
            QVERIFY(v >= 0 && v <= 255);
    }
    TUserCurve again = CurveWith(mode, points);
    again.Table.fill(77);
    again.Recalculate();
    QCOMPARE(TableOf(again), table); // and deterministic
}

void TestCurve::snap_data() {
    QTest::addColumn<int>("y");
    QTest::addColumn<int>("expected");
    // Table entry 100 is 100, so the point belongs at Y 155.
    QTest::newRow("on the table") << 155 << 155;
    QTest::newRow("one above") << 154 << 154;
    QTest::newRow("one below") << 156 << 156;
    QTest::newRow("two above") << 153 << 155;
    QTest::newRow("two below") << 157 << 155;
    QTest::newRow("far") << 0 << 155;
}

void TestCurve::snap() {
    QFETCH(int, y);
    QFETCH(int, expected);
    TUserCurve c;
    c.Reset(255);
    c.Points.Add({100, y});
    c.Points.SortByInput();
    c.SnapPointsToTable();
    QCOMPARE(c.Points.FindByInput(100)->Y, expected);
    QCOMPARE(c.Points.FindByInput(0)->Y, 255);
}

void TestCurve::addPoint_data() {
    QTest::addColumn<int>("x");
    QTest::addColumn<int>("storedX");
    QTest::newRow("inside") << 40 << 40;
    QTest::newRow("below range") << -20 << 0;
    QTest::newRow("above range") << 999 << 255;
    QTest::newRow("held input") << 200 << -1;
}

void TestCurve::addPoint() {
    QFETCH(int, x);
    QFETCH(int, storedX);
    TUserCurve c;
    c.Reset(255);
    c.Table[40] = 10;
    c.Points.Clear();
    c.Points.Add({200, 0});
    const TPointList before = c.Points;
    TCurvePoint *p = c.AddPoint(x);
    if (storedX < 0) { // refused: no second point at one input
        QVERIFY(!p);
        QCOMPARE(c.Points, before);
        return;
    }
    QVERIFY(p);
    QCOMPARE(p->X, storedX);
    QCOMPARE(p->Y, 255 - c.Table[storedX]);
    QVERIFY(!p->Selected && !p->Dragging);
    QCOMPARE(c.Points.Count(), 2);
    QVERIFY(c.Points[0].X < c.Points[1].X);
}

void TestCurve::deleteSelected() {
    TUserCurve c;
    c.Reset(255);
    c.AddPoint(10);
    c.AddPoint(20);
    c.AddPoint(30);
    c.DeleteSelected(); // nothing selected
    QCOMPARE(c.Points.Count(), 5);
    c.Points.FindByInput(20)->Selected = true;
    c.Points.FindByInput(30)->Selected = true;
    c.DeleteSelected(); // only the first selected one
    QCOMPARE(c.Points.Count(), 4);
    QVERIFY(!c.Points.FindByInput(20));
    QVERIFY(c.Points.FindByInput(30));
    QCOMPARE(c.Points.FindSelected()->X, 30);
}

void TestCurve::syncUsesTableAndClampsIndex() {
    TUserCurve c;
    c.Reset(255);
    c.Table[0] = 5;
    c.Table[255] = 250;
    c.Table[77] = 300; // from a faulty transfer
    c.Points.Add({77, 0});
    c.Points.Add({-3, 0});   // cannot come from the editor, but must not read outside
    c.Points.Add({1000, 0}); // the table
    c.SyncPointsToTable();
    QCOMPARE(c.Points.FindByInput(0)->Y, 250);
    QCOMPARE(c.Points.FindByInput(255)->Y, 5);
    QCOMPARE(c.Points.FindByInput(77)->Y, -45);
    QCOMPARE(c.Points.FindByInput(-3)->Y, 250);
    QCOMPARE(c.Points.FindByInput(1000)->Y, 5);
}

QTEST_GUILESS_MAIN(TestCurve)
#include "tst_curve.moc"
