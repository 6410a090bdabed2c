// Painting the patch table: one full 1920 x 1080 viewport of each view with all
// 1024 outputs patched, and switching between the views; painting the load attribute
// grid with every kind of code over the same area. Each figure is the median
// wall time and the median CPU time of the painting thread (the latter holds when
// other work shares the machine). The output-to-input viewport is also painted by a
// QTableView over the same texts, the yardstick the owner-drawn grid is held to.

#include "AppSettings.h"
#include "AttrTable.h"
#include "DrawGrid.h"
#include "PatchTable.h"

#include "BenchTiming.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QHeaderView>
#include <QImage>
#include <QPainter>
#include <QStandardItemModel>
#include <QTableView>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <vector>

using namespace kestrava;

namespace {

// Paints the whole viewport as the screen gets it: into the window's backing store.
void paint(TDrawGrid &grid) {
    grid.viewport()->repaint();
}

// The same through QWidget::render into an image, which adds Qt's own copying.
void render(TDrawGrid &grid, QImage &target) {
    QPainter p(&target);
    grid.render(&p);
}

int shownCells(const TDrawGrid &grid) {
    int n = 0;
    for (int r = 1; r < grid.rowCount(); ++r)
        for (int c = 1; c < grid.colCount(); ++c)
            n += !grid.cellRect(c, r).isEmpty();
    return n;
}

// The grid's cells as plain display texts in a QTableView of the same size and cell
// sizes, its headers holding the fixed row and column; prints the cells it shows and
// returns {median wall ms, median CPU ms} of painting its cells and headers.
std::pair<double, double> measureTableView(const TDrawGrid &grid, const TPatchModel &patches,
                                           const TPatchTable &table, int rounds) {
    const std::array<bool, OutputCount> none{};
    const QColor any;
    const TPatchCellInput in{
        table.CurrentLayout(), patches, none, -1, any, any, any, any, any, any};
    const auto item = [&](int col, int row) {
        auto *i = new QStandardItem(PatchCellLook(in, col, row, false).text);
        i->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        return i;
    };
    QStandardItemModel model(grid.rowCount() - 1, grid.colCount() - 1);
    for (int c = 1; c < grid.colCount(); ++c)
        model.setHorizontalHeaderItem(c - 1, item(c, 0));
    for (int r = 1; r < grid.rowCount(); ++r) {
        model.setVerticalHeaderItem(r - 1, item(0, r));
        for (int c = 1; c < grid.colCount(); ++c)
            model.setItem(r - 1, c - 1, item(c, r));
    }
    QTableView view;
    view.setModel(&model);
    // A section holds its cell and the grid line after it.
    for (QHeaderView *h : {view.horizontalHeader(), view.verticalHeader()})
        h->setMinimumSectionSize(1);
    view.horizontalHeader()->setDefaultSectionSize(grid.colWidth(1) + 1);
    view.verticalHeader()->setDefaultSectionSize(grid.rowHeight() + 1);
    view.verticalHeader()->setFixedWidth(grid.colWidth(0) + 1);
    view.horizontalHeader()->setFixedHeight(grid.rowHeight() + 1);
    view.resize(grid.size());
    view.show();
    QApplication::processEvents();
    int shown = 0;
    for (int r = 0; r < model.rowCount(); ++r)
        for (int c = 0; c < model.columnCount(); ++c)
            shown += view.viewport()->rect().intersects(view.visualRect(model.index(r, c)));
    std::printf("QTableView of the same texts shows %d cells, the grid %d\n", shown,
                shownCells(grid));
    return bench::Measure(rounds, [&] {
        view.viewport()->repaint();
        view.horizontalHeader()->viewport()->repaint();
        view.verticalHeader()->viewport()->repaint();
    });
}

void fillPatches(TPatchModel &patches) {
    patches.CurPatch = 0;
    for (int o = 0; o < 1024; ++o) {
        // several outputs share an input; every tenth is FULL, every seventh unpatched
        PatchEntry v = (o / 3) % 1024;
        if (o % 10 == 9)
            v = pvFull;
        else if (o % 7 == 6)
            v = pvNone;
        patches.Patches[0][std::size_t(o)] = v;
    }
}

// The load attribute grid with every kind of code; whether it met its target.
bool benchLoadAttrs(QSize size, QImage &target, int rounds) {
    TLoadAttrModel attrs;
    for (int o = 0; o < LoadAttrCount; ++o)
        attrs.LoadAttrs[std::size_t(o)] = o % 3 == 0 ? laNormal : o % 3 == 1 ? laOnOff : o % 4;
    TAppSettings settings;
    settings.DispAbCh = true;
    TDrawGrid attrGrid;
    attrGrid.resize(size);
    TAttrTable attrTable(&attrGrid, attrs, settings);
    attrGrid.show();
    attrGrid.setFocus();
    QApplication::processEvents();
    const auto [wall, cpu] = bench::Measure(rounds, [&] { paint(attrGrid); });
    const auto [renderWall, renderCpu] = bench::Measure(rounds, [&] { render(attrGrid, target); });
    std::printf("viewport %-26s median %5.2f ms, CPU %5.2f ms (target < 2); "
                "through render() %5.2f ms, CPU %5.2f ms\n",
                "load attributes", wall, cpu, renderWall, renderCpu);
    return wall < 2;
}

} // namespace

int main(int argc, char **argv) {
    qputenv("QT_QPA_PLATFORM",
            qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
    const int rounds = argc > 1 ? std::max(3, std::atoi(argv[1])) : 30;

    TPatchModel patches;
    fillPatches(patches);

    TDrawGrid grid;
    // a 1920 x 1080 screen area whatever the display scale
    const qreal dpr = qApp->devicePixelRatio();
    grid.resize(qRound(1920 / dpr), qRound(1080 / dpr));
    TPatchTable table(&grid, patches);
    grid.show();
    QImage target(grid.size() * grid.devicePixelRatioF(), QImage::Format_ARGB32_Premultiplied);
    target.setDevicePixelRatio(grid.devicePixelRatioF());
    target.fill(Qt::white);

    struct View {
        const char *name;
        int mode;
        int width;
    };
    const View views[] = {{"output-to-input, 20 a row", 0, 20}, {"input-to-output", 1, 20}};
    const auto measure = [rounds](auto f) { return bench::Measure(rounds, f); };
    bool ok = true;
    for (const View &v : views) {
        table.Layout(v.mode, v.width, true);
        QApplication::processEvents();
        const auto [wall, cpu] = measure([&] { paint(grid); });
        const auto [renderWall, renderCpu] = measure([&] { render(grid, target); });
        std::printf("viewport %-26s median %5.2f ms, CPU %5.2f ms (target < 3); "
                    "through render() %5.2f ms, CPU %5.2f ms\n",
                    v.name, wall, cpu, renderWall, renderCpu);
        ok = ok && wall < 3;
        if (v.mode == 0) {
            const auto [tableWall, tableCpu] = measureTableView(grid, patches, table, rounds);
            // CPU time: it holds when other work shares the machine.
            std::printf("viewport %-26s median %5.2f ms, CPU %5.2f ms; "
                        "ratio to QTableView %4.2f (aim <= 0.5)\n",
                        "as QTableView", tableWall, tableCpu, cpu / tableCpu);
        }
    }
    ok = benchLoadAttrs(grid.size(), target, rounds) && ok;
    std::vector<double> switches;
    for (int i = 0; i < rounds; ++i) {
        QElapsedTimer t;
        t.start();
        table.Layout(i % 2 ? 0 : 1, 20, true);
        paint(grid);
        switches.push_back(t.nsecsElapsed() / 1e6);
    }
    const double s = bench::medianMs(switches);
    std::printf("switch between the views       median %6.2f ms (target < 50)\n", s);
    ok = ok && s < 50;
    return ok ? 0 : 2;
}
