// The curve page: one drag step of a point of a 16-point spline (the move, the
// recalculation and the repaint of the graph and the value grid), and a full repaint of
// the value grid at 16 values a row. Each figure is the median wall time and the median
// CPU time of the painting thread (the latter holds when other work shares the machine).

#include "ActionMap.h"
#include "AppSettings.h"
#include "CurveGraph.h"
#include "CurvePage.h"
#include "DrawGrid.h"
#include "Progress.h"
#include "TransferEnv.h"
#include "UnitLink.h"
#include "Usr_spbar.h"

#include "BenchTiming.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QMouseEvent>
#include <QVBoxLayout>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <vector>

using namespace kestrava;

namespace {

class NoProgress : public TransferProgress {
public:
    void Start(const QString &) override {}
    void SetFraction(double) override {}
    void Finish(const QString &) override {}
};

void mouse(QWidget *w, QEvent::Type type, QPoint pos) {
    const Qt::MouseButtons held =
        type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent e(type, QPointF(pos), QPointF(w->mapToGlobal(pos)), Qt::LeftButton, held,
                  Qt::NoModifier);
    QApplication::sendEvent(w, &e);
}

} // namespace

int main(int argc, char **argv) {
    qputenv("QT_QPA_PLATFORM",
            qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
    const int rounds = argc > 1 ? std::max(3, std::atoi(argv[1])) : 200;

    TCurveSet curves;
    TUserCurve &curve = curves.Curves[0];
    curve.Points.Clear();
    for (int i = 0; i < 15; ++i) // inputs 0, 17, .. 238 on a wave, and 255
        curve.Points.Add({i * 17, 128 + (i % 2 ? 60 : -60) - i * 3});
    curve.Points.Add({255, 0});
    curve.Mode = cmCurve;
    curve.Recalculate();

    StderrResponder responder;
    const TDesktop desktop{TBoxes(responder)};
    TUnitLink link{desktop.boxes};
    NoProgress progress;
    TransferEnv env{link, progress};
    TAppSettings settings;
    QWidget window;
    auto *box = new QVBoxLayout(&window);
    auto *status = new TStatusBar({150, 150, 200, 50}, &window);
    TActionMap actions([] { return UiState{.page = Page::Curve}; }, nullptr);
    auto *page =
        new TCurvePage(curves, TPageContext{env, settings, actions, *status, desktop}, &window);
    box->addWidget(page);
    box->addWidget(status);
    window.resize(792, 551);
    window.show();
    page->ShowCurveMode();
    page->Activated();
    QApplication::processEvents();

    auto *graph = window.findChild<TCurveGraph *>(QStringLiteral("CrvPaintBox"));
    auto *grid = window.findChild<TDrawGrid *>(QStringLiteral("CurveGrid"));
    const auto measure = [rounds](auto f) { return bench::Measure(rounds, f); };

    // The point at input 119 goes up and down by 40 pixels, a step at a time.
    const TCurvePixels px = graph->Pixels();
    const TCurvePoint &p = *curve.Points.FindByInput(119);
    const QPoint start(px.Px(p.X), px.Py(p.Y));
    mouse(graph, QEvent::MouseButtonPress, start);
    int step = 0;
    const auto [dragWall, dragCpu] = measure([&] {
        ++step;
        const int dy = (step % 80 < 40 ? step % 40 : 40 - step % 40) - 20;
        mouse(graph, QEvent::MouseMove, start + QPoint(step % 3, dy));
        graph->repaint();
        grid->viewport()->repaint();
    });
    // The figure counts only if the point really follows the pointer.
    mouse(graph, QEvent::MouseMove, start + QPoint(0, -20));
    const TCurvePoint *dragged = curve.Points.FindSelected();
    const bool followed = dragged && dragged->Dragging && dragged->Y == px.DragY(start.y() - 20);
    mouse(graph, QEvent::MouseButtonRelease, start);
    if (!followed) {
        std::fprintf(stderr, "the dragged point did not follow the pointer\n");
        return 1;
    }
    std::printf("drag step, 16-point spline       median %5.2f ms, CPU %5.2f ms (target < 4)\n",
                dragWall, dragCpu);

    settings.CrvGridWidth = 16;
    page->SettingsChanged();
    QApplication::processEvents();
    const auto [gridWall, gridCpu] = measure([&] { grid->viewport()->repaint(); });
    std::printf("value grid repaint, 16 a row     median %5.2f ms, CPU %5.2f ms (target < 2)\n",
                gridWall, gridCpu);
    return dragWall < 4 && gridWall < 2 ? 0 : 2;
}
