// The curve page with the unit and the window: write, fetch and load, the views during a
// transfer, and a curve shaped with the mouse and written.

#include "CurvePageTest.h"
#include "DataFile.h"
#include "TextLines.h"

#include <QContextMenuEvent>
#include <QCursor>
#include <QTemporaryDir>
#include <QToolButton>

using namespace kestrava;

class TestCurveTransfer : public test::CurvePageTest {
    Q_OBJECT

private Q_SLOTS:
    void init() { startRig(); }
    void cleanup() { rig_.reset(); }

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

    // A fetch shows the fetched mode and keeps the table as the unit holds it, even where
    // the spline through its points gives another: nothing counts as changed afterwards.
    void fetchShowsTheModeAndTheUnitsTable() {
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
        QCOMPARE(curve().Table, memory.curveTables[0]);
        QVERIFY(!rig_->curves.CurveChanged);
        QVERIFY(rig_->curves.CurvesInSync);
        // fetched again while in sync: nothing is sent, the selector still shows the mode
        rig_->unit.clearLog();
        QVERIFY(rig_->actions.Execute(ActionId::GetCurveAction));
        QVERIFY(rig_->unit.requestLog().isEmpty());
        QVERIFY(modeButton(cmCurve)->isChecked());
        QVERIFY(!rig_->curves.CurveChanged);
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
        QCOMPARE(rig.curves().Curves[0].Table, expected.Table);
        QVERIFY(expected.Table != c.Table);
        QVERIFY(rig.curves().CurveChanged);
        const int x = page->Table().CurrentInput();
        QCOMPARE(rig.statusBar()->panelText(3),
                 CurveStatusText(x, expected.Table[std::size_t(x)], 255));
        rig.closeQuietly();
    }

    // The graph and the grid are off while a transfer runs, on again after it; a refused
    // store leaves the flags as they were.
    void viewsOffDuringATransfer() {
        test::FormRig rig;
        QVERIFY(rig.showLinked());
        rig.form->ShowPage(Page::Curve);
        auto *graph = rig.form->findChild<TCurveGraph *>(QStringLiteral("CrvPaintBox"));
        auto *grid = rig.form->findChild<TDrawGrid *>(QStringLiteral("CurveGrid"));
        QVERIFY(graph && grid && graph->isEnabled() && grid->isEnabled());
        rig.unit.setRefused({QStringLiteral("WC")});
        TCurveSet &curves = rig.curves();
        curves.CurveChanged = true;
        curves.CurvesInSync = false;
        bool offDuringBox = false;
        rig.boxes.onBox([&](const test::ScriptedResponder::Box &) {
            offDuringBox = !graph->isEnabled() && !grid->isEnabled();
        });
        QTest::mouseClick(rig.form->findChild<QToolButton *>(QStringLiteral("WriteCurveBtn")),
                          Qt::LeftButton);
        QCOMPARE(rig.boxes.texts(), QStringList{QStringLiteral("転送に失敗しました")});
        QVERIFY(offDuringBox);
        QVERIFY(graph->isEnabled() && grid->isEnabled());
        QVERIFY(curves.CurveChanged && !curves.CurvesInSync); // as before the write
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

QTEST_MAIN(TestCurveTransfer)
#include "tst_curvetransfer.moc"
