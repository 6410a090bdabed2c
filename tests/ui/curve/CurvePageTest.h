#pragma once

// What the curve page tests share: the page on its rig, its widgets by their names, and
// the operator's ways of working it.

#include "CurveCellLook.h"
#include "CurveGraph.h"
#include "CurvePage.h"
#include "CurveTable.h"
#include "DrawGrid.h"
#include "UiRigs.h"

#include <QApplication>
#include <QComboBox>
#include <QMenu>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOptionButton>
#include <QTest>

namespace kestrava::test {

using Points = QList<QPoint>; // control points as (X, Y)

class CurvePageTest : public QObject {
protected:
    std::unique_ptr<CurvePageRig> rig_;

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
    // A right click at pos on target: the press the graph remembers, then the popup.
    void openPopup(QWidget *target, QPoint pos) {
        QTest::mousePress(target, Qt::RightButton, {}, pos);
        QTest::mouseRelease(target, Qt::RightButton, {}, pos);
        QContextMenuEvent event(QContextMenuEvent::Mouse, pos, target->mapToGlobal(pos));
        QApplication::sendEvent(target, &event);
        QTRY_VERIFY(popup()->isVisible());
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

    // The page on a fresh rig, shown and active.
    void startRig() {
        rig_ = std::make_unique<CurvePageRig>();
        QVERIFY(rig_->link.Linked);
        QVERIFY(ShowActive(rig_->window));
    }
};

} // namespace kestrava::test
