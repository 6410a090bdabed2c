#include "DrawGrid.h"

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QProcess>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>

#include <set>
#include <utility>

using namespace kestrava;

namespace {

const QColor fixedFill(255, 0, 0);
const QColor dataFill(0, 0, 255);

struct Drawn {
    int col;
    int row;
    QRect rect;
    TGridCellState state;
};

// A window with the grid and one other focusable widget, shown and active; the window
// is the grid's delegate. It records the cells drawn and logs what the grid asks and
// reports; it takes the keys in takenKeys, refuses moves to refusedCol, moves the
// current cell to moveOnReport from every edit report, and paints carelessly on request.
struct Window : TGridDelegate {
    QStringList log;
    QString startText;
    std::vector<Drawn> drawn;
    QList<int> takenKeys;
    int keysSeen = 0;
    int refusedCol = -1;
    QPoint moveOnReport{-1, -1};
    bool careless = false; // spills data cells up and left; leaves odd fixed rows unpainted
    QWidget top;           // last: goes first, while the grid may still report
    TDrawGrid *grid;
    QLineEdit *other;

    Window(int cols, int rows, QSize size = QSize(400, 300)) {
        grid = new TDrawGrid(&top);
        other = new QLineEdit(&top);
        grid->setGeometry(QRect(QPoint(0, 0), size));
        other->setGeometry(size.width(), 0, 100, 30);
        top.resize(size.width() + 100, size.height());
        grid->setColCount(cols);
        grid->setRowCount(rows);
        grid->setDefaultColWidth(40);
        grid->setColWidth(0, 60);
        grid->setRowHeight(24);
        grid->setDelegate(this);
        top.show();
        if (!QTest::qWaitForWindowActive(&top))
            qWarning("window not active");
        grid->setFocus();
    }

    void drawCell(QPainter &p, int c, int r, const QRect &rect, TGridCellState state) override {
        drawn.push_back({c, r, rect, state});
        if (!careless)
            p.fillRect(rect, grid->palette().color(QPalette::Base));
        else if (c == 0 && r % 2)
            return; // left to the background: nothing may cover it either
        else if (c == 0 || r == 0)
            p.fillRect(rect, fixedFill);
        else
            p.fillRect(rect.adjusted(-30, -30, 0, 0), dataFill);
    }
    bool selectCell(int c, int r) override {
        log << QStringLiteral("select %1,%2").arg(c).arg(r);
        return c != refusedCol;
    }
    QString editText(int c, int r) override {
        log << QStringLiteral("get %1,%2").arg(c).arg(r);
        return startText;
    }
    void setEditText(int c, int r, const QString &text) override {
        log << QStringLiteral("set %1,%2 %3").arg(c).arg(r).arg(text);
        if (moveOnReport.x() < 0)
            return;
        grid->closeEditor(); // re-entry does nothing
        grid->setCurrentCell(moveOnReport.x(), moveOnReport.y());
    }
    void cancelEdit(int c, int r) override { log << QStringLiteral("cancel %1,%2").arg(c).arg(r); }
    bool keyDown(QKeyEvent *event) override {
        ++keysSeen;
        return takenKeys.contains(event->key());
    }

    void recordEdits(const QString &text) {
        grid->setEditable(true);
        startText = text;
        log.clear();
    }

    QWidget *keyTarget() const {
        return grid->editorOpen() ? static_cast<QWidget *>(grid->editor()) : grid;
    }

    void click(int col, int row) {
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->cellRect(col, row).center());
    }
};

std::vector<Drawn> paintOnce(Window &w) {
    w.drawn.clear();
    QImage image(w.grid->viewport()->size(), QImage::Format_ARGB32_Premultiplied);
    w.grid->viewport()->render(&image);
    return w.drawn;
}

} // namespace

class TestDrawGrid : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void paintsOnlyVisibleCells_data() {
        QTest::addColumn<int>("scrollCol");
        QTest::addColumn<int>("scrollRow");
        QTest::newRow("home") << 1 << 1;
        QTest::newRow("middle") << 500 << 600;
        QTest::newRow("far corner") << 1024 << 1026;
    }
    void paintsOnlyVisibleCells() {
        QFETCH(int, scrollCol);
        QFETCH(int, scrollRow);
        Window w(1025, 1027);
        TDrawGrid &grid = *w.grid;
        grid.scrollToCell(scrollCol, scrollRow);
        QVERIFY(!grid.cellRect(scrollCol, scrollRow).isEmpty());

        const std::vector<Drawn> drawn = paintOnce(w);
        const QSize view = grid.viewport()->size();
        // Fixed column 60 + line, data columns 40 + line; rows 24 + line.
        const int left = grid.horizontalScrollBar()->value() + 1;
        const int top = grid.verticalScrollBar()->value() + 1;
        const int dataCols = qMin((view.width() - 61 + 40) / 41, grid.colCount() - left);
        const int dataRows = qMin((view.height() - 25 + 24) / 25, grid.rowCount() - top);
        QCOMPARE(int(drawn.size()), (dataCols + 1) * (dataRows + 1));

        std::set<std::pair<int, int>> seen;
        int fixedCount = 0;
        for (const Drawn &d : drawn) {
            QVERIFY2(seen.insert({d.col, d.row}).second, "a cell was drawn twice");
            QCOMPARE(d.rect, grid.cellRect(d.col, d.row));
            QVERIFY(d.rect.intersects(QRect(QPoint(), view)));
            QCOMPARE(d.state.fixed, d.col == 0 || d.row == 0);
            if (d.state.fixed) {
                ++fixedCount;
                continue;
            }
            QVERIFY2(d.rect.left() >= 61 && d.rect.top() >= 25, "data cell under a fixed one");
        }
        QCOMPARE(fixedCount, dataCols + dataRows + 1);
        QVERIFY(seen.count({0, 0}));
        // Whatever is scrolled in sits right next to the fixed row and column.
        QCOMPARE(grid.cellRect(left, top).topLeft(), QPoint(61, 25));
        QVERIFY(seen.count({left, 0}) && seen.count({0, top}) && seen.count({left, top}));
        QVERIFY(grid.cellRect(left - 1, top).isEmpty() || left == 1);
    }

    void noDelegateStillPaints() {
        Window w(1025, 1027);
        w.grid->setDelegate(nullptr);
        QImage image(w.grid->viewport()->size(), QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        w.grid->viewport()->render(&image);
        const QColor background = w.grid->viewport()->palette().color(QPalette::Base);
        QCOMPARE(image.pixelColor(70, 30).rgba(), background.rgba()); // inside data cell (1,1)
        QCOMPARE(image.pixelColor(60, 30).rgba(), w.grid->palette().color(QPalette::Mid).rgba());
    }

    // A careless delegate that paints beyond its rectangle must not reach the fixed cells,
    // also when the logical pixels do not map 1:1 onto device pixels.
    void fixedCellsStayClean_data() {
        QTest::addColumn<qreal>("scale");
        QTest::newRow("1") << 1.0;
        QTest::newRow("1.5") << 1.5;
        QTest::newRow("2") << 2.0;
    }
    void fixedCellsStayClean() {
        QFETCH(qreal, scale);
        Window w(1025, 1027);
        TDrawGrid &grid = *w.grid;
        grid.scrollToCell(300, 300);
        w.careless = true;
        QImage image(grid.viewport()->size() * scale, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        image.setDevicePixelRatio(scale);
        grid.viewport()->render(&image);

        const auto at = [&](QPointF logical) {
            return image.pixelColor((logical * scale).toPoint());
        };
        const QRect cornerRow = grid.cellRect(0, 0);
        const QRect firstData = grid.cellRect(grid.horizontalScrollBar()->value() + 1,
                                              grid.verticalScrollBar()->value() + 1);
        QCOMPARE(at(cornerRow.center()), fixedFill);
        QCOMPARE(at(firstData.center()), dataFill);
        // No data colour anywhere in the fixed row or column.
        const int fixedRight = int(60 * scale);
        const int fixedBottom = int(24 * scale);
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                if (x < fixedRight || y < fixedBottom)
                    QVERIFY2(image.pixelColor(x, y) != dataFill,
                             qPrintable(QStringLiteral("data colour at %1,%2").arg(x).arg(y)));
        // Every row of the fixed column is filled down to the last visible row.
        int rows = 0;
        for (int r = grid.verticalScrollBar()->value() + 1;; ++r, ++rows) {
            const QRect rect = grid.cellRect(0, r);
            if (rect.isEmpty() || !grid.viewport()->rect().contains(rect.center()))
                break;
            if (r % 2 == 0)
                QCOMPARE(at(rect.center()), fixedFill);
        }
        QVERIFY(rows >= 5);
    }

    void cellAtRoundTrip_data() {
        QTest::addColumn<int>("scrollCol");
        QTest::addColumn<int>("scrollRow");
        QTest::newRow("home") << 1 << 1;
        QTest::newRow("scrolled") << 700 << 42;
        QTest::newRow("end") << 1024 << 1026;
    }
    void cellAtRoundTrip() {
        QFETCH(int, scrollCol);
        QFETCH(int, scrollRow);
        Window w(1025, 1027);
        TDrawGrid &grid = *w.grid;
        grid.setColWidth(3, 90); // one odd column among the default ones
        grid.scrollToCell(scrollCol, scrollRow);
        const int left = grid.horizontalScrollBar()->value() + 1;
        const int top = grid.verticalScrollBar()->value() + 1;
        int checked = 0;
        for (int r : {0, top, top + 1, top + 5}) {
            for (int c : {0, left, left + 1, left + 3}) {
                if (c >= grid.colCount() || r >= grid.rowCount())
                    continue;
                const QRect rect = grid.cellRect(c, r);
                QVERIFY(!rect.isEmpty());
                QCOMPARE(rect.width(), grid.colWidth(c));
                for (QPoint p : {rect.topLeft(), rect.center(), rect.bottomRight()}) {
                    int col = -1;
                    int row = -1;
                    QVERIFY(grid.cellAt(p, &col, &row));
                    QCOMPARE(col, c);
                    QCOMPARE(row, r);
                }
                ++checked;
            }
        }
        QVERIFY(checked >= 4);
        if (top > 1)
            QVERIFY(grid.cellRect(left, top - 1).isEmpty());
        if (left > 1)
            QVERIFY(grid.cellRect(left - 1, top).isEmpty());
        QVERIFY(!grid.cellAt(QPoint(-1, 5), nullptr, nullptr));
        QVERIFY(grid.cellRect(1025, 1).isEmpty());
    }

    void cellAtPastTheLastCell() {
        Window w(3, 4);
        int col = -1;
        int row = -1;
        QVERIFY(w.grid->cellAt(QPoint(61 + 41 + 20, 25 * 3 + 5), &col, &row));
        QCOMPARE(col, 2);
        QCOMPARE(row, 3);
        QVERIFY(!w.grid->cellAt(QPoint(61 + 2 * 41 + 5, 5), &col, &row));
        QVERIFY(!w.grid->cellAt(QPoint(5, 4 * 25 + 5), &col, &row));
    }

    void navigation_data() {
        QTest::addColumn<QPoint>("start");
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<QPoint>("expected"); // x = column, y = row; -1 = a page away
        const int none = Qt::NoModifier;
        QTest::newRow("right") << QPoint(1, 1) << int(Qt::Key_Right) << none << QPoint(2, 1);
        QTest::newRow("left at the start")
            << QPoint(1, 5) << int(Qt::Key_Left) << none << QPoint(1, 5);
        QTest::newRow("right at the end")
            << QPoint(30, 5) << int(Qt::Key_Right) << none << QPoint(30, 5);
        QTest::newRow("up at the top") << QPoint(4, 1) << int(Qt::Key_Up) << none << QPoint(4, 1);
        QTest::newRow("down") << QPoint(4, 1) << int(Qt::Key_Down) << none << QPoint(4, 2);
        QTest::newRow("down at the bottom")
            << QPoint(4, 99) << int(Qt::Key_Down) << none << QPoint(4, 99);
        QTest::newRow("home") << QPoint(17, 40) << int(Qt::Key_Home) << none << QPoint(1, 40);
        QTest::newRow("end") << QPoint(3, 40) << int(Qt::Key_End) << none << QPoint(30, 40);
        QTest::newRow("ctrl+home")
            << QPoint(17, 40) << int(Qt::Key_Home) << int(Qt::ControlModifier) << QPoint(1, 1);
        QTest::newRow("ctrl+end") << QPoint(3, 4) << int(Qt::Key_End) << int(Qt::ControlModifier)
                                  << QPoint(30, 99);
        QTest::newRow("page down")
            << QPoint(3, 4) << int(Qt::Key_PageDown) << none << QPoint(3, -1);
        QTest::newRow("page down clamps")
            << QPoint(3, 97) << int(Qt::Key_PageDown) << none << QPoint(3, 99);
        QTest::newRow("page up clamps")
            << QPoint(3, 2) << int(Qt::Key_PageUp) << none << QPoint(3, 1);
        QTest::newRow("shift+down moves too")
            << QPoint(4, 1) << int(Qt::Key_Down) << int(Qt::ShiftModifier) << QPoint(4, 2);
    }
    void navigation() {
        QFETCH(QPoint, start);
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QFETCH(QPoint, expected);
        Window w(31, 100);
        TDrawGrid &grid = *w.grid;
        QVERIFY(grid.setCurrentCell(start.x(), start.y()) || start == QPoint(1, 1));
        const int page = (grid.viewport()->height() - 25) / 25;
        QVERIFY(page >= 5);
        if (expected.y() == -1)
            expected.setY(start.y() + page);
        QSignalSpy moved(&grid, &TDrawGrid::currentCellChanged);

        QTest::keyClick(&grid, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
        QCOMPARE(QPoint(grid.col(), grid.row()), expected);
        QCOMPARE(moved.count(), expected == start ? 0 : 1);
        // The new current cell is wholly in view.
        const QRect rect = grid.cellRect(grid.col(), grid.row());
        QVERIFY(!rect.isEmpty());
        QVERIFY(grid.viewport()->rect().contains(rect));
    }

    void clickSelects() {
        Window w(31, 100);
        TDrawGrid &grid = *w.grid;
        QSignalSpy moved(&grid, &TDrawGrid::currentCellChanged);
        w.click(3, 4);
        QCOMPARE(QPoint(grid.col(), grid.row()), QPoint(3, 4));
        QCOMPARE(moved.count(), 1);
        w.click(0, 6); // fixed cells are not selectable
        w.click(5, 0);
        QCOMPARE(QPoint(grid.col(), grid.row()), QPoint(3, 4));
    }

    void refusedMove_data() {
        QTest::addColumn<QString>("how");
        QTest::newRow("key") << "key";
        QTest::newRow("click") << "click";
        QTest::newRow("call") << "call";
    }
    void refusedMove() {
        QFETCH(QString, how);
        Window w(31, 100);
        TDrawGrid &grid = *w.grid;
        QVERIFY(grid.setCurrentCell(2, 3));
        w.log.clear();
        w.refusedCol = 3;
        QSignalSpy moved(&grid, &TDrawGrid::currentCellChanged);
        if (how == "key")
            QTest::keyClick(&grid, Qt::Key_Right);
        else if (how == "click")
            w.click(3, 3);
        else
            QVERIFY(!grid.setCurrentCell(3, 3));
        QCOMPARE(w.log, QStringList{"select 3,3"});
        QCOMPARE(QPoint(grid.col(), grid.row()), QPoint(2, 3));
        QCOMPARE(moved.count(), 0);

        bool refusedDrawnSelected = false;
        bool currentDrawnSelected = false;
        for (const Drawn &d : paintOnce(w)) {
            if (d.col == 3 && d.row == 3)
                refusedDrawnSelected = d.state.selected;
            if (d.col == 2 && d.row == 3)
                currentDrawnSelected = d.state.selected;
        }
        QVERIFY(!refusedDrawnSelected);
        QVERIFY(currentDrawnSelected);

        // Staying where one is asks nothing.
        w.log.clear();
        QVERIFY(!grid.setCurrentCell(2, 3));
        QVERIFY(w.log.isEmpty());
    }

    void keyHookStopsTheGrid_data() {
        QTest::addColumn<int>("key");
        QTest::newRow("right") << int(Qt::Key_Right);
        QTest::newRow("page down") << int(Qt::Key_PageDown);
        QTest::newRow("F2") << int(Qt::Key_F2);
        QTest::newRow("typed 5") << int(Qt::Key_5);
    }
    void keyHookStopsTheGrid() {
        QFETCH(int, key);
        Window w(31, 100);
        w.recordEdits("x");
        TDrawGrid &grid = *w.grid;
        w.takenKeys = {key};
        QTest::keyClick(&grid, Qt::Key(key), Qt::NoModifier);
        QCOMPARE(w.keysSeen, 1);
        QCOMPARE(QPoint(grid.col(), grid.row()), QPoint(1, 1));
        QVERIFY(!grid.editorOpen());
        QVERIFY(w.log.isEmpty());
        // Keys the hook leaves alone still work.
        QTest::keyClick(&grid, Qt::Key_Down);
        QCOMPARE(w.keysSeen, 2);
        QCOMPARE(grid.row(), 2);
    }

    // Script words: a single character is typed; Enter, Escape, F2, Down, Tab are keys;
    // "click" presses on cell (2,3); "dblclick" double-clicks the current cell; "away"
    // gives the focus to another widget; "close" calls closeEditor(); "swallow" makes
    // the delegate take Up and Down from then on.
    void editHandshake_data() {
        QTest::addColumn<QString>("start");
        QTest::addColumn<QString>("script");
        QTest::addColumn<QStringList>("expected");
        QTest::addColumn<bool>("openAtEnd");
        QTest::addColumn<QPoint>("cellAtEnd");
        const QPoint home(1, 1);
        QTest::newRow("typed 1 0 Enter")
            << " "
            << "1 0 Enter" << QStringList{"get 1,1", "set 1,1 1", "set 1,1 10", "set 1,1 10"}
            << false << home;
        QTest::newRow("Escape after typing")
            << "5"
            << "7 Escape" << QStringList{"get 1,1", "set 1,1 7", "cancel 1,1"} << false << home;
        QTest::newRow("F2 then Enter")
            << "A001"
            << "F2 Enter" << QStringList{"get 1,1", "set 1,1 A001"} << false << home;
        QTest::newRow("F2 then Escape")
            << "A001"
            << "F2 Escape" << QStringList{"get 1,1", "cancel 1,1"} << false << home;
        QTest::newRow("typing the start text reports nothing until the end")
            << "3"
            << "3 Enter" << QStringList{"get 1,1", "set 1,1 3"} << false << home;
        QTest::newRow("F2 keeps the editor open") << "12"
                                                  << "F2" << QStringList{"get 1,1"} << true << home;
        QTest::newRow("Down ends, then moves")
            << " "
            << "3 Down" << QStringList{"get 1,1", "set 1,1 3", "set 1,1 3", "select 1,2"} << false
            << QPoint(1, 2);
        QTest::newRow("Down swallowed while editing")
            << " "
            << "swallow 3 Down" << QStringList{"get 1,1", "set 1,1 3"} << true << home;
        QTest::newRow("click elsewhere ends before the move")
            << " "
            << "4 click" << QStringList{"get 1,1", "set 1,1 4", "set 1,1 4", "select 2,3"} << false
            << QPoint(2, 3);
        QTest::newRow("Tab ends") << " "
                                  << "9 Tab" << QStringList{"get 1,1", "set 1,1 9", "set 1,1 9"}
                                  << false << home;
        QTest::newRow("focus leaving ends")
            << " "
            << "8 away" << QStringList{"get 1,1", "set 1,1 8", "set 1,1 8"} << false << home;
        QTest::newRow("closeEditor ends")
            << "B"
            << "F2 close" << QStringList{"get 1,1", "set 1,1 B"} << false << home;
        QTest::newRow("double click opens")
            << "7"
            << "dblclick 1 Enter" << QStringList{"get 1,1", "set 1,1 71", "set 1,1 71"} << false
            << home;
        QTest::newRow("Enter opens, Enter ends")
            << "6"
            << "Enter Enter" << QStringList{"get 1,1", "set 1,1 6"} << false << home;
    }
    void editHandshake() {
        QFETCH(QString, start);
        QFETCH(QString, script);
        QFETCH(QStringList, expected);
        QFETCH(bool, openAtEnd);
        QFETCH(QPoint, cellAtEnd);
        Window w(31, 100);
        w.recordEdits(start);
        TDrawGrid &grid = *w.grid;

        for (const QString &word : script.split(' ')) {
            QWidget *target = w.keyTarget();
            if (word.size() == 1) {
                QTest::keyClick(target, word.at(0).toLatin1());
            } else if (word == "Enter") {
                QTest::keyClick(target, Qt::Key_Return);
            } else if (word == "Escape") {
                QTest::keyClick(target, Qt::Key_Escape);
            } else if (word == "F2") {
                QTest::keyClick(target, Qt::Key_F2);
            } else if (word == "Down") {
                QTest::keyClick(target, Qt::Key_Down);
            } else if (word == "Tab") {
                QTest::keyClick(target, Qt::Key_Tab);
            } else if (word == "click") {
                w.click(2, 3);
            } else if (word == "dblclick") {
                const QPoint at = grid.cellRect(grid.col(), grid.row()).center();
                QTest::mouseDClick(grid.viewport(), Qt::LeftButton, {}, at);
                QVERIFY(grid.editorOpen());
                // Without a typed key the start text is selected, so typing replaces it.
                QVERIFY(grid.editor()->hasSelectedText());
                grid.editor()->end(false);
            } else if (word == "away") {
                w.other->setFocus();
            } else if (word == "close") {
                grid.closeEditor();
            } else if (word == "swallow") {
                w.takenKeys = {Qt::Key_Up, Qt::Key_Down};
            } else {
                QFAIL(qPrintable("unknown script word " + word));
            }
        }
        QCOMPARE(w.log, expected);
        QCOMPARE(grid.editorOpen(), openAtEnd);
        QCOMPARE(grid.editor()->isVisible(), openAtEnd);
        QCOMPARE(QPoint(grid.col(), grid.row()), cellAtEnd);
        if (openAtEnd) {
            QCOMPARE(grid.editor()->geometry(), grid.cellRect(grid.col(), grid.row()));
        } else if (w.top.isActiveWindow() && script.contains("away")) {
            QVERIFY(w.other->hasFocus());
        }
    }

    void notEditableNeverOpens() {
        Window w(31, 100);
        w.recordEdits("x");
        TDrawGrid &grid = *w.grid;
        grid.setEditable(false);
        QTest::keyClick(&grid, Qt::Key_F2);
        QTest::keyClick(&grid, '4');
        QTest::mouseDClick(grid.viewport(), Qt::LeftButton, {}, grid.cellRect(1, 1).center());
        QVERIFY(!grid.editorOpen());
        QVERIFY(w.log.isEmpty());
    }

    // The final report may move the current cell (the patch page does) or open a modal box;
    // neither may end the edit twice or fight the move.
    void finalReportMayMoveTheCell() {
        Window w(31, 100);
        w.recordEdits(" ");
        TDrawGrid &grid = *w.grid;
        QTest::keyClick(&grid, '5');
        QVERIFY(grid.editorOpen());
        w.moveOnReport = QPoint(4, 4);
        QTest::keyClick(grid.editor(), Qt::Key_Return);
        QVERIFY(!grid.editorOpen());
        QCOMPARE(QPoint(grid.col(), grid.row()), QPoint(4, 4));
        QCOMPARE(w.log, (QStringList{"get 1,1", "set 1,1 5", "set 1,1 5", "select 4,4"}));
    }

    void editorFollowsScrolling() {
        Window w(31, 100);
        w.recordEdits("1");
        TDrawGrid &grid = *w.grid;
        QVERIFY(grid.setCurrentCell(2, 3));
        QTest::keyClick(&grid, Qt::Key_F2);
        QVERIFY(grid.editorOpen());
        grid.verticalScrollBar()->setValue(1);
        QVERIFY(grid.editorOpen());
        QCOMPARE(grid.editor()->geometry(), grid.cellRect(2, 3));
        QCOMPARE(grid.editor()->geometry().top(), 2 * 25);
        grid.verticalScrollBar()->setValue(10); // scrolled out: the edit ends
        QVERIFY(!grid.editorOpen());
        QCOMPARE(w.log, (QStringList{"select 2,3", "get 2,3", "set 2,3 1"}));
    }

    void shrinkingMovesTheCurrentCell_data() {
        QTest::addColumn<int>("cols");
        QTest::addColumn<int>("rows");
        QTest::addColumn<QPoint>("expected");
        QTest::addColumn<int>("changes");
        QTest::newRow("fewer columns") << 5 << 100 << QPoint(4, 40) << 1;
        QTest::newRow("fewer rows") << 31 << 10 << QPoint(8, 9) << 1;
        QTest::newRow("both") << 3 << 3 << QPoint(2, 2) << 2;
        QTest::newRow("still inside") << 9 << 41 << QPoint(8, 40) << 0;
        QTest::newRow("below the minimum") << 0 << 1 << QPoint(1, 1) << 2;
    }
    void shrinkingMovesTheCurrentCell() {
        QFETCH(int, cols);
        QFETCH(int, rows);
        QFETCH(QPoint, expected);
        QFETCH(int, changes);
        Window w(31, 100);
        TDrawGrid &grid = *w.grid;
        QVERIFY(grid.setCurrentCell(8, 40));
        w.log.clear();
        QSignalSpy moved(&grid, &TDrawGrid::currentCellChanged);
        grid.setColCount(cols);
        grid.setRowCount(rows);
        QCOMPARE(QPoint(grid.col(), grid.row()), expected);
        QCOMPARE(moved.count(), changes);
        QVERIFY(w.log.isEmpty()); // a vanished cell cannot be kept, so nobody is asked
        QVERIFY(grid.col() < grid.colCount() && grid.row() < grid.rowCount());
        QVERIFY(!grid.cellRect(grid.col(), grid.row()).isEmpty());
        QVERIFY(grid.verticalScrollBar()->maximum() <= qMax(0, grid.rowCount() - 2));
    }

    void shrinkingClosesTheEditorOnARemovedCell() {
        Window w(31, 100);
        w.recordEdits("9");
        TDrawGrid &grid = *w.grid;
        QVERIFY(grid.setCurrentCell(8, 40));
        QTest::keyClick(&grid, Qt::Key_F2);
        grid.setRowCount(20);
        QVERIFY(!grid.editorOpen());
        QCOMPARE(w.log.last(), QStringLiteral("set 8,40 9"));
    }

    void invalidateCellRepaintsOnlyThatCell() {
        Window w(1025, 1027);
        TDrawGrid &grid = *w.grid;
        QTest::qWait(50);
        w.drawn.clear();
        grid.invalidateCell(3, 4);
        QTRY_VERIFY(!w.drawn.empty());
        QCOMPARE(int(w.drawn.size()), 1);
        QCOMPARE(QPoint(w.drawn[0].col, w.drawn[0].row), QPoint(3, 4));
    }

    // The same suite once more with every logical pixel one and a half device pixels.
    void wholeSuiteAtScaleOneAndAHalf() {
        if (qEnvironmentVariableIsSet("QT_SCALE_FACTOR"))
            QSKIP("this run is the scaled one");
        QProcess child;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QT_SCALE_FACTOR", "1.5");
        env.insert("QT_QPA_PLATFORM", "offscreen");
        child.setProcessEnvironment(env);
        child.setProcessChannelMode(QProcess::MergedChannels);
        child.start(QCoreApplication::applicationFilePath(), {});
        QVERIFY(child.waitForFinished(120000));
        const QByteArray output = child.readAll();
        QVERIFY2(child.exitStatus() == QProcess::NormalExit && child.exitCode() == 0,
                 output.constData());
        QVERIFY(output.contains("0 failed"));
    }
};

QTEST_MAIN(TestDrawGrid)
#include "tst_drawgrid.moc"
