// Painting the patch table: one full 1920 x 1080 viewport of each view with all
// 1024 outputs patched, and switching between the views; painting the load attribute
// grid with every kind of code over the same area. Each figure is the median
// wall time and the median CPU time of the painting thread (the latter holds when
// other work shares the machine).

#include "AppSettings.h"
#include "AttrTable.h"
#include "DrawGrid.h"
#include "PatchTable.h"

#include "BenchTiming.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QPainter>

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

} // namespace

int main(int argc, char **argv) {
    qputenv("QT_QPA_PLATFORM",
            qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
    const int rounds = argc > 1 ? std::max(3, std::atoi(argv[1])) : 30;

    TPatchModel patches;
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
    }
    {
        TLoadAttrModel attrs;
        for (int o = 0; o < LoadAttrCount; ++o)
            attrs.LoadAttrs[std::size_t(o)] = o % 3 == 0 ? laNormal : o % 3 == 1 ? laOnOff : o % 4;
        TAppSettings settings;
        settings.DispAbCh = true;
        TDrawGrid attrGrid;
        attrGrid.resize(grid.size());
        TAttrTable attrTable(&attrGrid, attrs, settings);
        attrGrid.show();
        attrGrid.setFocus();
        QApplication::processEvents();
        const auto [wall, cpu] = measure([&] { paint(attrGrid); });
        const auto [renderWall, renderCpu] = measure([&] { render(attrGrid, target); });
        std::printf("viewport %-26s median %5.2f ms, CPU %5.2f ms (target < 2); "
                    "through render() %5.2f ms, CPU %5.2f ms\n",
                    "load attributes", wall, cpu, renderWall, renderCpu);
        ok = ok && wall < 2;
    }
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
