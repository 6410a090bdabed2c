// Painting the patch table: one full 1920 x 1080 viewport of each view with all
// 1024 outputs patched, and switching between the views.

#include "DrawGrid.h"
#include "PatchTable.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QPainter>

#include <algorithm>
#include <cstdio>
#include <vector>

using namespace kestrava;

namespace {

double medianMs(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// Renders the whole grid as the screen would get it.
void paint(TDrawGrid &grid, QImage &target) {
    target.fill(Qt::white);
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

    struct View {
        const char *name;
        int mode;
        int width;
    };
    const View views[] = {{"output-to-input, 20 a row", 0, 20}, {"input-to-output", 1, 20}};
    bool ok = true;
    for (const View &v : views) {
        table.Layout(v.mode, v.width, true);
        QApplication::processEvents();
        paint(grid, target); // warm-up
        std::vector<double> ms;
        for (int i = 0; i < rounds; ++i) {
            QElapsedTimer t;
            t.start();
            paint(grid, target);
            ms.push_back(t.nsecsElapsed() / 1e6);
        }
        const double m = medianMs(ms);
        std::printf("viewport %-28s median %6.2f ms (target < 8)\n", v.name, m);
        ok = ok && m < 8;
    }
    std::vector<double> switches;
    for (int i = 0; i < rounds; ++i) {
        QElapsedTimer t;
        t.start();
        table.Layout(i % 2 ? 0 : 1, 20, true);
        paint(grid, target);
        switches.push_back(t.nsecsElapsed() / 1e6);
    }
    const double s = medianMs(switches);
    std::printf("switch between the views       median %6.2f ms (target < 50)\n", s);
    ok = ok && s < 50;
    return ok ? 0 : 2;
}
