// The curve page driven with the mouse and the keyboard, linked to a simulated unit:
// the graph, the point commands and the value grid.

#include "CurvePageTest.h"

#include <QContextMenuEvent>
#include <QCursor>

using namespace kestrava;
using test::Points;

Q_DECLARE_METATYPE(Points)

class TestCurvePage : public test::CurvePageTest {
    Q_OBJECT

private Q_SLOTS:
    void init() { startRig(); }
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
        openPopup(graph(), QPoint(150, 150));
        QVERIFY(action(ActionId::AddPAction)->isVisible());
        QCOMPARE(action(ActionId::AddPAction)->isEnabled(), enabled);
        popup()->close();
    }

    // The popup decides its point items where it was asked for: they stay while the pointer
    // is on the open menu and the timer refreshes, and the add item adds at the press.
    void popupPointItemsOnlyOverTheGraph_data() {
        QTest::addColumn<bool>("overGraph");
        QTest::newRow("over the graph") << true;
        QTest::newRow("over the value grid") << false;
    }
    void popupPointItemsOnlyOverTheGraph() {
        QFETCH(bool, overGraph);
        prepare({{0, 255}, {255, 0}}, cmCurve);
        QWidget *target = overGraph ? static_cast<QWidget *>(graph()) : grid()->viewport();
        openPopup(target, QPoint(100, 60));
        QCursor::setPos(popup()->mapToGlobal(popup()->rect().center()));
        rig_->actions.UpdateActions(); // a timer tick
        QCOMPARE(action(ActionId::AddPAction)->isVisible(), overGraph);
        QCOMPARE(action(ActionId::DelPAction)->isVisible(), overGraph);
        QVERIFY(action(ActionId::InitCrvAction)->isVisible());
        if (!overGraph) {
            popup()->close();
            return;
        }
        const QRect item = popup()->actionGeometry(action(ActionId::AddPAction));
        QTest::mouseClick(popup(), Qt::LeftButton, {}, item.center());
        QTRY_COMPARE(curve().Points.Count(), 3);
        QVERIFY(curve().Points.FindByInput(81)); // x 100, as the right press left it
        QTRY_VERIFY(!action(ActionId::AddPAction)->isVisible());
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

    // Moving the current cell with the keyboard counts as a click on the cell it lands on.
    void arrowKeysPickLikeClicks() {
        prepare({{0, 255}, {128, 40}, {255, 0}}, cmPolyline);
        clickInput(120);
        QVERIFY(!curve().Points.FindSelected());
        QTest::keyClick(grid(), Qt::Key_Down); // 8 a row: input 128
        QCOMPARE(rig_->curvePage->Table().CurrentInput(), 128);
        QCOMPARE(panel3(), CurveClickText(128, 215));
        QVERIFY(curve().Points.FindSelected() && curve().Points.FindSelected()->X == 128);
        QTest::keyClick(grid(), Qt::Key_Right);
        QCOMPARE(panel3(), CurveClickText(129, curve().Table[129]));
        QVERIFY(!curve().Points.FindSelected());
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

    // Typing in mode 0 at an input (level = input): the value goes in at the end of the
    // edit and the cursor moves on; what is out of range is refused with the warning.
    void typing_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("level");
        QTest::addColumn<bool>("warned");
        QTest::addColumn<int>("input");
        QTest::newRow("200") << "200" << 200 << false << 10;
        QTest::newRow("0") << "0" << 0 << false << 10;
        QTest::newRow("255") << "255" << 255 << false << 10;
        QTest::newRow("300") << "300" << 10 << true << 10;
        QTest::newRow("256") << "256" << 10 << true << 10;
        QTest::newRow("-5") << "-5" << 10 << true << 10;
        QTest::newRow("huge") << "99999999999999999999" << 10 << true << 10;
        QTest::newRow("abc is 0") << "abc" << 0 << false << 10;
        QTest::newRow("at 254, on to the last input") << "7" << 7 << false << 254;
    }
    void typing() {
        QFETCH(QString, typed);
        QFETCH(int, level);
        QFETCH(bool, warned);
        QFETCH(int, input);
        prepare({{0, 255}, {255, 0}}, cmIndividual);
        clickInput(input);
        QTest::keyClick(grid(), typed.at(0).toLatin1());
        QVERIFY(grid()->editorOpen());
        QTest::keyClicks(grid()->editor(), typed.mid(1));
        QTest::keyClick(grid()->editor(), Qt::Key_Return);
        QVERIFY(!grid()->editorOpen());
        QCOMPARE(curve().Table[std::size_t(input)], level);
        QCOMPARE(rig_->boxes.texts(),
                 warned ? QStringList{QStringLiteral("値が範囲外です")} : QStringList());
        QCOMPARE(rig_->curves.CurveChanged, !warned);
        const int next = warned ? input : input + 1;
        QCOMPARE(rig_->curvePage->Table().CurrentInput(), next);
        QCOMPARE(panel3(),
                 warned ? CurveClickText(input, input) : CurveStatusText(next, next, 255));
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
};

QTEST_MAIN(TestCurvePage)
#include "tst_curvepage.moc"
