// The curve page driven with the mouse and the keyboard, linked to a simulated unit.

#include "CurveCellLook.h"
#include "CurveGraph.h"
#include "CurvePage.h"
#include "CurveTable.h"
#include "DataFile.h"
#include "DrawGrid.h"
#include "TextLines.h"
#include "UiRigs.h"

#include <QApplication>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QCursor>
#include <QMenu>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOptionButton>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

using namespace kestrava;

using Points = QList<QPoint>; // control points as (X, Y)
Q_DECLARE_METATYPE(Points)

class TestCurvePage : public QObject {
    Q_OBJECT

    std::unique_ptr<test::CurvePageRig> rig_;

    template <class W>
    W *widget(const char *name) const {
        return rig_->window.findChild<W *>(QLatin1String(name));
    }
    TCurveGraph *graph() const { return widget<TCurveGraph>("CrvPaintBox"); }
    TDrawGrid *grid() const { return widget<TDrawGrid>("CurveGrid"); }
    QComboBox *combo() const { return widget<QComboBox>("CurveComboBox"); }
    QMenu *popup() const { return widget<QMenu>("PopCrvMenu"); }
    TUserCurve &curve() const { return *rig_->curves.Current(); }
    TCurvePixels pixels() const { return graph()->Pixels(); }
    QAction *action(ActionId id) const { return rig_->actions.Action(id); }
    QString panel3() const { return rig_->status->panelText(3); }

    QRadioButton *modeButton(int mode) const {
        const char *captions[] = {"個別", "折線", "曲線"};
        for (QRadioButton *b : rig_->window.findChildren<QRadioButton *>())
            if (b->text() == QString::fromUtf8(captions[mode]))
                return b;
        return nullptr;
    }
    // The operator's click on a mode.
    void clickMode(int mode) {
        QRadioButton *b = modeButton(mode);
        QStyleOptionButton option;
        option.initFrom(b);
        option.text = b->text();
        const QRect hit = b->style()->subElementRect(QStyle::SE_RadioButtonClickRect, &option, b);
        QTest::mouseClick(b, Qt::LeftButton, {}, hit.center());
    }

    // The shown curve holds these points in this mode, its table derived from them, and
    // the selector shows the mode; nothing counts as changed.
    void prepare(const Points &points, int mode) {
        TUserCurve &c = curve();
        c.Points.Clear();
        for (const QPoint &p : points)
            c.Points.Add({p.x(), p.y()});
        c.Mode = mode;
        c.Recalculate();
        rig_->curvePage->ShowCurveMode();
        rig_->curves.CurveChanged = false;
    }
    QPoint markerCentre(int x) const {
        const TCurvePoint *p = curve().Points.FindByInput(x);
        return p ? QPoint(pixels().Px(p->X), pixels().Py(p->Y)) : QPoint(-100, -100);
    }
    void drag(QPoint from, const QList<QPoint> &moves) {
        QTest::mousePress(graph(), Qt::LeftButton, {}, from);
        for (const QPoint &to : moves)
            QTest::mouseMove(graph(), to);
        QTest::mouseRelease(graph(), Qt::LeftButton, {}, moves.isEmpty() ? from : moves.last());
    }
    // What no drag may break: sorted distinct inputs 0..255 with the end points in place,
    // Y on the graph.
    static void checkPoints(const TUserCurve &c) {
        QVERIFY(c.Points.Count() >= 2);
        QCOMPARE(c.Points[0].X, 0);
        QCOMPARE(c.Points[c.Points.Count() - 1].X, 255);
        for (int i = 0; i < c.Points.Count(); ++i) {
            QVERIFY(c.Points[i].Y >= 0 && c.Points[i].Y <= 255);
            if (i > 0)
                QVERIFY2(c.Points[i - 1].X < c.Points[i].X, "two points at one input");
        }
    }
    void click(int col, int row) {
        grid()->scrollToCell(col, row);
        QTest::mouseClick(grid()->viewport(), Qt::LeftButton, {},
                          grid()->cellRect(col, row).center());
    }
    void clickInput(int x) {
        const QPoint cell = CurveCellOfInput(rig_->settings.CrvGridWidth, x);
        click(cell.x(), cell.y());
    }
    QImage graphImage() const { return graph()->grab().toImage(); }

private Q_SLOTS:
    void init() {
        rig_ = std::make_unique<test::CurvePageRig>();
        QVERIFY(rig_->link.Linked);
        rig_->window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&rig_->window));
        QApplication::setActiveWindow(&rig_->window);
        QVERIFY(QTest::qWaitForWindowActive(&rig_->window));
    }
    void cleanup() { rig_.reset(); }

    // Points 0, 64, 100, 128, 255; the one at 100 (Y 150) is dragged.
    void drags_data() {
        QTest::addColumn<int>("from");    // input of the dragged point
        QTest::addColumn<QPoint>("step"); // pointer moves by this, `steps` times
        QTest::addColumn<int>("steps");
        QTest::addColumn<QPoint>("end"); // expected X and Y after the release
        // pointer y 100 is Y 77
        QTest::newRow("end point 0 only up and down") << 0 << QPoint(20, -40) << 10 << QPoint(0, 0);
        QTest::newRow("end point 255 only up and down")
            << 255 << QPoint(-20, -15) << 8 << QPoint(255, 0);
        // stepping left stops at the first input right of 64; the pointer never gets past
        QTest::newRow("stopped by the neighbour at 64")
            << 100 << QPoint(-1, 0) << 60 << QPoint(65, 150);
        QTest::newRow("stopped by the neighbour at 128")
            << 100 << QPoint(1, 0) << 60 << QPoint(127, 150);
        // a jump onto 128's input: X stays, Y follows
        QTest::newRow("onto another point's input")
            << 100 << QPoint(35, -60) << 1 << QPoint(100, 102);
        QTest::newRow("far below the plot") << 100 << QPoint(0, 100) << 3 << QPoint(100, 255);
        QTest::newRow("far above the plot") << 100 << QPoint(0, -100) << 3 << QPoint(100, 0);
    }
    void drags() {
        QFETCH(int, from);
        QFETCH(QPoint, step);
        QFETCH(int, steps);
        QFETCH(QPoint, end);
        prepare({{0, 255}, {64, 191}, {100, 150}, {128, 120}, {255, 0}}, cmPolyline);
        const QPoint start = markerCentre(from);
        QList<QPoint> moves;
        for (int i = 1; i <= steps; ++i)
            moves.append(start + step * i);
        const QRect bounds = pixels().DragBounds(
            curve().Points, curve().Points.IndexOf(curve().Points.FindByInput(from)));
        const auto inside = [&bounds](QPoint p) {
            return QPoint(std::clamp(p.x(), bounds.left(), bounds.right()),
                          std::clamp(p.y(), bounds.top(), bounds.bottom()));
        };
        QCursor::setPos(graph()->mapToGlobal(inside(start)));
        QTest::mousePress(graph(), Qt::LeftButton, {}, start);
        QVERIFY(graph()->Dragging());
        for (const QPoint &to : moves) {
            QTest::mouseMove(graph(), to);
            // the pointer is held where the point may go
            QVERIFY(bounds.contains(graph()->mapFromGlobal(QCursor::pos())));
            if (to != inside(to))
                QCOMPARE(graph()->mapFromGlobal(QCursor::pos()), inside(to));
            checkPoints(curve());
            // the grid's current cell follows the point
            QCOMPARE(rig_->curvePage->Table().CurrentInput(), curve().Points.FindSelected()->X);
        }
        QTest::mouseRelease(graph(), Qt::LeftButton, {}, moves.last());
        QVERIFY(!graph()->Dragging());
        const TCurvePoint *p = curve().Points.FindSelected();
        QVERIFY(p);
        QVERIFY(!p->Dragging);
        QCOMPARE(QPoint(p->X, p->Y), end);
        checkPoints(curve());
        // the table follows the points: polyline, so exact at each point
        QCOMPARE(curve().Table[std::size_t(p->X)], 255 - p->Y);
        QVERIFY(rig_->curves.CurveChanged);
        QCOMPARE(panel3(), CurveStatusText(p->X, curve().Table[std::size_t(p->X)], 255));
    }

    // A release snaps points 2 or more levels off the table onto it and leaves 1 level.
    void releaseSnaps_data() {
        QTest::addColumn<int>("off");
        QTest::addColumn<int>("y");
        QTest::newRow("1 level off stays") << 1 << 101;
        QTest::newRow("2 levels off snaps") << 2 << 100;
        QTest::newRow("2 levels the other way snaps") << -2 << 100;
    }
    void releaseSnaps() {
        QFETCH(int, off);
        QFETCH(int, y);
        prepare({{0, 255}, {60, 100}, {200, 40}, {255, 0}}, cmPolyline);
        // the table says Y 100 at input 60 (level 155); the point is `off` from it
        curve().Points[1].Y = 100 + off;
        const QPoint on = markerCentre(60);
        QTest::mousePress(graph(), Qt::LeftButton, {}, on);
        QVERIFY(curve().Points[1].Dragging);
        QTest::mouseRelease(graph(), Qt::LeftButton, {}, on);
        QCOMPARE(curve().Points[1].Y, y);
        QCOMPARE(curve().Table[60], 255 - y);
    }

    void mode0HasNoMarkersAndNoDrag() {
        prepare({{0, 255}, {100, 150}, {255, 0}}, cmIndividual);
        const QImage image = graphImage();
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                QVERIFY(QColor(image.pixel(x, y)) != TCurveGraph::PointMarker);
        const TUserCurve before = curve();
        drag(markerCentre(100), {markerCentre(100) + QPoint(10, -40)});
        QCOMPARE(curve().Points, before.Points);
        QCOMPARE(curve().Table, before.Table);
        QVERIFY(!rig_->curves.CurveChanged);
    }

    // Add shows only over the graph, and then only below 16 points outside mode 0.
    void addPointRules_data() {
        QTest::addColumn<int>("points");
        QTest::addColumn<int>("mode");
        QTest::addColumn<bool>("enabled");
        QTest::newRow("15 points") << 15 << int(cmCurve) << true;
        QTest::newRow("16 points") << 16 << int(cmCurve) << false;
        QTest::newRow("mode 0") << 4 << int(cmIndividual) << false;
    }
    void addPointRules() {
        QFETCH(int, points);
        QFETCH(int, mode);
        QFETCH(bool, enabled);
        Points list;
        for (int i = 0; i < points; ++i)
            list.append(QPoint(i == points - 1 ? 255 : i * 16, 255 - i * 16));
        prepare(list, mode);
        QCursor::setPos(graph()->mapToGlobal(QPoint(150, 150)));
        rig_->actions.UpdateActions();
        QVERIFY(action(ActionId::AddPAction)->isVisible());
        QCOMPARE(action(ActionId::AddPAction)->isEnabled(), enabled);
    }

    // The popup opened over the graph has the point items, elsewhere on the page not.
    void popupPointItemsOnlyOverTheGraph_data() {
        QTest::addColumn<bool>("overGraph");
        QTest::newRow("over the graph") << true;
        QTest::newRow("over the value grid") << false;
    }
    void popupPointItemsOnlyOverTheGraph() {
        QFETCH(bool, overGraph);
        QWidget *target = overGraph ? static_cast<QWidget *>(graph()) : grid()->viewport();
        const QPoint pos(40, 40);
        QCursor::setPos(target->mapToGlobal(pos));
        QContextMenuEvent event(QContextMenuEvent::Mouse, pos, target->mapToGlobal(pos));
        QApplication::sendEvent(target, &event);
        QTRY_VERIFY(popup()->isVisible());
        QCOMPARE(action(ActionId::AddPAction)->isVisible(), overGraph);
        QCOMPARE(action(ActionId::DelPAction)->isVisible(), overGraph);
        QVERIFY(action(ActionId::InitCrvAction)->isVisible());
        popup()->close();
    }

    // A right press remembers where; the add command puts a point at that input.
    void rightPressAddsThere() {
        prepare({{0, 255}, {255, 0}}, cmCurve);
        QTest::mousePress(graph(), Qt::RightButton, {}, QPoint(100, 60));
        QTest::mouseRelease(graph(), Qt::RightButton, {}, QPoint(100, 60));
        QVERIFY(rig_->actions.Execute(ActionId::AddPAction));
        // x 100 without the margin taken off is input 81, on the table (identity)
        const TCurvePoint *p = curve().Points.FindByInput(81);
        QVERIFY(p);
        QCOMPARE(p->Y, 255 - 81);
        QCOMPARE(curve().Points.Count(), 3);
        QVERIFY(rig_->curves.CurveChanged);
        // the same place again adds nothing
        rig_->curves.CurveChanged = false;
        QVERIFY(rig_->actions.Execute(ActionId::AddPAction));
        QCOMPARE(curve().Points.Count(), 3);
        QVERIFY(!rig_->curves.CurveChanged);
    }

    // Clicking a value cell picks the point at its input; delete follows the pick.
    void deleteFollowsThePick_data() {
        QTest::addColumn<int>("input");
        QTest::addColumn<bool>("deletable");
        QTest::newRow("end point 0") << 0 << false;
        QTest::newRow("end point 255") << 255 << false;
        QTest::newRow("interior point") << 128 << true;
        QTest::newRow("no point") << 77 << false;
    }
    void deleteFollowsThePick() {
        QFETCH(int, input);
        QFETCH(bool, deletable);
        prepare({{0, 255}, {128, 40}, {255, 0}}, cmPolyline);
        clickInput(input);
        QCOMPARE(panel3(), CurveClickText(input, curve().Table[std::size_t(input)]));
        const TCurvePoint *picked = curve().Points.FindSelected();
        QCOMPARE(picked ? picked->X : -1, input == 77 ? -1 : input);
        QCOMPARE(rig_->actions.Execute(ActionId::DelPAction), deletable);
        QCOMPARE(curve().Points.Count(), deletable ? 2 : 3);
        if (deletable) // the table is the straight line again
            QCOMPARE(curve().Table[128], 128);
    }

    void initialiseAsks_data() {
        QTest::addColumn<int>("answer");
        QTest::newRow("yes") << int(IDYES);
        QTest::newRow("no") << int(IDNO);
    }
    void initialiseAsks() {
        QFETCH(int, answer);
        prepare({{0, 255}, {128, 40}, {255, 0}}, cmCurve);
        const TUserCurve before = curve();
        rig_->boxes.queueAnswer(answer);
        QVERIFY(rig_->actions.Execute(ActionId::InitCrvAction));
        QCOMPARE(rig_->boxes.texts(), QStringList{QStringLiteral("このカーブを初期化しますか")});
        if (answer == IDYES) {
            QCOMPARE(curve().Points.Count(), 2);
            QCOMPARE(curve().Table[128], 128);
            QCOMPARE(curve().Mode, int(cmCurve));
            QVERIFY(rig_->curves.CurveChanged);
        } else {
            QCOMPARE(curve(), before);
            QVERIFY(!rig_->curves.CurveChanged);
        }
    }

    // Typing in mode 0 at input 10 (level 10): the value goes in at the end of the edit
    // and the cursor moves on; what is out of range is refused with the warning.
    void typing_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("level");
        QTest::addColumn<bool>("warned");
        QTest::newRow("200") << "200" << 200 << false;
        QTest::newRow("0") << "0" << 0 << false;
        QTest::newRow("255") << "255" << 255 << false;
        QTest::newRow("300") << "300" << 10 << true;
        QTest::newRow("256") << "256" << 10 << true;
        QTest::newRow("-5") << "-5" << 10 << true;
        QTest::newRow("huge") << "99999999999999999999" << 10 << true;
        QTest::newRow("abc is 0") << "abc" << 0 << false;
    }
    void typing() {
        QFETCH(QString, typed);
        QFETCH(int, level);
        QFETCH(bool, warned);
        prepare({{0, 255}, {255, 0}}, cmIndividual);
        clickInput(10);
        QTest::keyClick(grid(), typed.at(0).toLatin1());
        QVERIFY(grid()->editorOpen());
        QTest::keyClicks(grid()->editor(), typed.mid(1));
        QTest::keyClick(grid()->editor(), Qt::Key_Return);
        QVERIFY(!grid()->editorOpen());
        QCOMPARE(curve().Table[10], level);
        QCOMPARE(rig_->boxes.texts(),
                 warned ? QStringList{QStringLiteral("値が範囲外です")} : QStringList());
        QCOMPARE(rig_->curves.CurveChanged, !warned);
        QCOMPARE(rig_->curvePage->Table().CurrentInput(), warned ? 10 : 11);
        QCOMPARE(panel3(), warned ? CurveClickText(10, 10) : CurveStatusText(11, 11, 255));
    }

    void escapeCancelsTyping() {
        prepare({{0, 255}, {255, 0}}, cmIndividual);
        clickInput(10);
        QTest::keyClick(grid(), '2');
        QTest::keyClicks(grid()->editor(), "00");
        QTest::keyClick(grid()->editor(), Qt::Key_Escape);
        QVERIFY(!grid()->editorOpen());
        // nothing was written, nothing moved, nothing asked; a later edit starts afresh
        QCOMPARE(curve().Table[10], 10);
        QVERIFY(!rig_->curves.CurveChanged);
        QCOMPARE(rig_->curvePage->Table().CurrentInput(), 10);
        QVERIFY(rig_->boxes.boxes().isEmpty());
        QTest::keyClick(grid(), Qt::Key_F2);
        QTest::keyClick(grid()->editor(), Qt::Key_Return);
        QCOMPARE(curve().Table[10], 10);
        QCOMPARE(rig_->curvePage->Table().CurrentInput(), 11);
    }

    void noTypingOutsideMode0() {
        prepare({{0, 255}, {255, 0}}, cmPolyline);
        clickInput(10);
        QTest::keyClick(grid(), '7');
        QVERIFY(!grid()->editorOpen());
        QCOMPARE(curve().Table[10], 10);
        clickMode(cmIndividual);
        QTest::keyClick(grid(), '7');
        QVERIFY(grid()->editorOpen());
    }

    void width16() {
        QVERIFY(rig_->actions.Execute(ActionId::CrvGridW16Action));
        QCOMPARE(rig_->settings.CrvGridWidth, 16);
        QCOMPARE(grid()->colCount(), 17);
        QCOMPARE(grid()->rowCount(), 17);
        click(16, 16);
        QCOMPARE(panel3(), QStringLiteral("入力=255 : 出力=255"));
        QVERIFY(rig_->actions.Execute(ActionId::CrvGridW8Action));
        QCOMPARE(grid()->colCount(), 9);
        QCOMPARE(grid()->rowCount(), 33);
        QCOMPARE(rig_->curvePage->Table().CurrentInput(), 255); // the cell kept its input
    }

    // The selector's click: selection dropped, mode set, table from the points, points
    // snapped, typing only in mode 0, changed.
    void modeClick() {
        prepare({{0, 255}, {100, 30}, {255, 0}}, cmIndividual);
        curve().Points[1].Y = 30; // as placed, whatever the mode change to 0 made of it
        curve().Points[1].Selected = true;
        curve().Table.fill(0);
        clickMode(cmPolyline);
        QCOMPARE(curve().Mode, int(cmPolyline));
        QVERIFY(!curve().Points.FindSelected());
        QCOMPARE(curve().Table[100], 225);
        QCOMPARE(curve().Table[50], 113);
        QVERIFY(rig_->curves.CurveChanged);
        QVERIFY(!grid()->editorOpen());
        QTest::keyClick(grid(), '1');
        QVERIFY(!grid()->editorOpen());
        // the same mode clicked again changes nothing
        rig_->curves.CurveChanged = false;
        clickMode(cmPolyline);
        QVERIFY(!rig_->curves.CurveChanged);
    }

    // From a mode-0 curve to a mode-2 curve: the new curve goes through the mode change.
    void switchingToACurveRunsItsModeChange() {
        prepare({{0, 255}, {255, 0}}, cmIndividual);
        TUserCurve &second = rig_->curves.Curves[1];
        second.Points.Clear();
        for (const auto &[x, y] : {std::pair{0, 255}, {80, 60}, {170, 40}, {255, 0}})
            second.Points.Add({x, y});
        second.Mode = cmCurve;
        second.Table.fill(7); // stale: not what the points say
        // what the mode change makes of it: from the points, snapped, once more
        TUserCurve expected = second;
        expected.Recalculate();
        expected.SnapPointsToTable();
        expected.Recalculate();
        combo()->setFocus();
        QTest::keyClick(combo(), Qt::Key_Down);
        QCOMPARE(rig_->curves.CurCurve, 1);
        QVERIFY(modeButton(cmCurve)->isChecked());
        QCOMPARE(second.Table, expected.Table);
        QCOMPARE(second.Points, expected.Points);
        QVERIFY(rig_->curves.CurveChanged);
        clickInput(100);
        QTest::keyClick(grid(), '5');
        QVERIFY(!grid()->editorOpen());
        // back to the mode-0 curve: typing again
        QTest::keyClick(combo(), Qt::Key_Up);
        QVERIFY(modeButton(cmIndividual)->isChecked());
        QTest::keyClick(grid(), '5');
        QVERIFY(grid()->editorOpen());
    }

    // Panel 3 is the page's only while it is shown.
    void panel3OnlyWhileShown() {
        prepare({{0, 255}, {100, 30}, {255, 0}}, cmPolyline);
        rig_->curvePage->Leaving();
        rig_->status->setPanelText(3, QStringLiteral("other page"));
        clickMode(cmCurve);
        rig_->curvePage->Refresh();
        QCOMPARE(panel3(), QStringLiteral("other page"));
        rig_->curvePage->Activated();
        const int x = rig_->curvePage->Table().CurrentInput();
        QCOMPARE(panel3(), CurveStatusText(x, curve().Table[std::size_t(x)], 255));
    }

    void writeSendsWhatTheModelHolds() {
        prepare({{0, 255}, {30, 200}, {90, 60}, {200, 20}, {255, 0}}, cmCurve);
        rig_->curves.Curves[3].Table[17] = 99; // another curve, mode 0
        rig_->curves.CurveChanged = true;
        QTest::mouseClick(widget<QToolButton>("WriteCurveBtn"), Qt::LeftButton);
        QCOMPARE(rig_->unit.storeCount(QStringLiteral("WC")), 1);
        const sim::UnitMemory stored = rig_->unit.storedMemory();
        for (int c = 0; c < 4; ++c) {
            const TUserCurve &model = rig_->curves.Curves[std::size_t(c)];
            QCOMPARE(stored.curveTables[std::size_t(c)], model.Table);
            std::array<int, 16> block{model.Mode};
            int slot = 1;
            for (const TCurvePoint &p : model.Points)
                if (p.X > 0 && p.X < 255)
                    block[std::size_t(slot++)] = p.X;
            QCOMPARE(stored.pointBlocks[std::size_t(c)], block);
        }
        QVERIFY(!rig_->curves.CurveChanged);
        QCOMPARE(rig_->progress.starts.last(), QStringLiteral("カーブ書込中"));
    }

    // A fetch shows the fetched mode; the change of the selector recalculates the shown
    // curve from its points, and nothing counts as changed afterwards.
    void fetchShowsTheModeAndRecalculates() {
        sim::UnitMemory memory = sim::UnitMemory::factoryDefault();
        memory.pointBlocks[0] = {2, 0x40, 0xC0};
        for (int i = 0; i < 256; ++i)
            memory.curveTables[0][std::size_t(i)] = i / 2; // not what a spline gives
        rig_->unit.setMemory(memory);
        clickMode(cmIndividual);
        rig_->curves.CurvesInSync = false;
        QVERIFY(rig_->actions.Execute(ActionId::GetCurveAction));
        QVERIFY(modeButton(cmCurve)->isChecked());
        QCOMPARE(curve().Mode, int(cmCurve));
        // the fetched table, its points on it, then the mode change
        TUserCurve expected;
        expected.Points.Clear();
        for (int x : {0, 64, 192, 255})
            expected.Points.Add({x, 255 - x / 2});
        for (int i = 0; i < 256; ++i)
            expected.Table[std::size_t(i)] = i / 2;
        expected.Mode = cmCurve;
        expected.Recalculate();
        expected.SnapPointsToTable();
        expected.Recalculate();
        QCOMPARE(curve().Table, expected.Table);
        QVERIFY(curve().Table != memory.curveTables[0]);
        QVERIFY(!rig_->curves.CurveChanged);
        QVERIFY(rig_->curves.CurvesInSync);
    }

    // In the whole window: Load curves writes what it read, then the selector follows the
    // shown curve and its mode change recalculates it from its points.
    void loadCurvesRunsTheModeChange() {
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("shaped.crv"));
        TCurveSet saved;
        TUserCurve &c = saved.Curves[0];
        c.Mode = cmCurve;
        c.Points.Clear();
        for (int x : {0, 64, 192, 255})
            c.Points.Add({x, 0});
        for (int i = 0; i < 256; ++i)
            c.Table[std::size_t(i)] = i / 2; // not what the spline through the points gives
        QStringList lines;
        WriteCurveSections(lines, saved);
        QVERIFY(SaveTextLines(file, lines));

        test::FormRig rig;
        QVERIFY(rig.showLinked());
        rig.form->ShowPage(Page::Curve);
        rig.boxes.queueFile(file);
        QVERIFY(rig.form->ExecuteAction(ActionId::LoadCurveAction));
        QCOMPARE(rig.unit.storeCount(QStringLiteral("WC")), 1);
        QCOMPARE(rig.unit.storedMemory().curveTables[0], c.Table); // written as read
        auto *page = rig.form->findChild<TCurvePage *>(QStringLiteral("CurveSheet"));
        QRadioButton *spline = nullptr;
        for (QRadioButton *b : page->findChildren<QRadioButton *>())
            if (b->text() == QStringLiteral("曲線"))
                spline = b;
        QVERIFY(spline && spline->isChecked());
        TUserCurve expected = c;
        expected.SyncPointsToTable();
        expected.Recalculate();
        expected.SnapPointsToTable();
        expected.Recalculate();
        QCOMPARE(rig.form->curves.Curves[0].Table, expected.Table);
        QVERIFY(expected.Table != c.Table);
        QVERIFY(rig.form->curves.CurveChanged);
        const int x = page->Table().CurrentInput();
        QCOMPARE(rig.form->StatusBar1->panelText(3),
                 CurveStatusText(x, expected.Table[std::size_t(x)], 255));
        rig.closeQuietly();
    }

    // The graph and the grid are off while a transfer runs, on again after it.
    void viewsOffDuringATransfer() {
        test::FormRig rig;
        QVERIFY(rig.showLinked());
        rig.form->ShowPage(Page::Curve);
        auto *graph = rig.form->findChild<TCurveGraph *>(QStringLiteral("CrvPaintBox"));
        auto *grid = rig.form->findChild<TDrawGrid *>(QStringLiteral("CurveGrid"));
        QVERIFY(graph && grid && graph->isEnabled() && grid->isEnabled());
        rig.unit.setRefused({QStringLiteral("WC")});
        bool offDuringBox = false;
        rig.boxes.onBox([&](const test::ScriptedResponder::Box &) {
            offDuringBox = !graph->isEnabled() && !grid->isEnabled();
        });
        QTest::mouseClick(rig.form->findChild<QToolButton *>(QStringLiteral("WriteCurveBtn")),
                          Qt::LeftButton);
        QCOMPARE(rig.boxes.texts(), QStringList{QStringLiteral("転送に失敗しました")});
        QVERIFY(offDuringBox);
        QVERIFY(graph->isEnabled() && grid->isEnabled());
        rig.closeQuietly();
    }

    // A technician shapes curve 2 with the mouse and writes it.
    void shapeCurve2AndWriteIt() {
        combo()->setFocus();
        QTest::keyClick(combo(), Qt::Key_Down);
        clickMode(cmCurve);
        QMenu *menu = popup();
        for (const QPoint at : {QPoint(90, 200), QPoint(220, 120)}) {
            QTest::mousePress(graph(), Qt::RightButton, {}, at);
            QTest::mouseRelease(graph(), Qt::RightButton, {}, at);
            QCursor::setPos(graph()->mapToGlobal(at));
            QContextMenuEvent event(QContextMenuEvent::Mouse, at, graph()->mapToGlobal(at));
            QApplication::sendEvent(graph(), &event);
            QTRY_VERIFY(menu->isVisible());
            QAction *add = action(ActionId::AddPAction);
            QVERIFY(add->isVisible() && add->isEnabled());
            QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(add).center());
            QTRY_VERIFY(!menu->isVisible());
        }
        QCOMPARE(curve().Points.Count(), 4);
        const int first = curve().Points[1].X;
        const int second = curve().Points[2].X;
        drag(markerCentre(first),
             {markerCentre(first) + QPoint(0, -30), markerCentre(first) + QPoint(4, -60)});
        drag(markerCentre(second), {markerCentre(second) + QPoint(-3, 40)});
        checkPoints(curve());
        QCOMPARE(curve().Points.Count(), 4);
        const TCurvePoint &moved = curve().Points[2];
        QVERIFY(moved.Selected);
        // the yellow curve and the grid show the shaped table
        const QImage image = graphImage();
        for (int x : {0, 40, moved.X, 220, 255}) {
            const QPoint on(pixels().Px(x), pixels().LevelRow(curve().Table[std::size_t(x)]));
            QCOMPARE(QColor(image.pixel(on)), TCurveGraph::CurveLine);
        }
        QCOMPARE(rig_->curvePage->Table().CurrentInput(), moved.X);
        const QPoint cell = CurveCellOfInput(8, moved.X);
        const QImage cells = grid()->viewport()->grab().toImage();
        QCOMPARE(QColor(cells.pixel(grid()->cellRect(cell.x(), cell.y()).topLeft())),
                 QColor(255, 0, 0));
        QCOMPARE(panel3(), CurveStatusText(moved.X, curve().Table[std::size_t(moved.X)], 255));
        QVERIFY(rig_->curves.CurveChanged);

        QTest::mouseClick(widget<QToolButton>("WriteCurveBtn"), Qt::LeftButton);
        QCOMPARE(rig_->unit.storeCount(QStringLiteral("WC")), 1);
        const TUserCurve &model = rig_->curves.Curves[1];
        QCOMPARE(rig_->unit.storedMemory().curveTables[1], model.Table);
        QCOMPARE(rig_->unit.storedMemory().pointBlocks[1],
                 (std::array<int, 16>{2, curve().Points[1].X, curve().Points[2].X}));
        QVERIFY(!rig_->curves.CurveChanged);
    }
};

QTEST_MAIN(TestCurvePage)
#include "tst_curvepage.moc"
