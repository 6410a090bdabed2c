// Renders the main window linked to a simulated unit into PNG files, one per page.
// Usage: kestrava-screenshot OUTPUT-PREFIX   (writes PREFIX-patch.png and so on)

#include "CurveGraph.h"
#include "KestravaForm.h"
#include "UiTexts.h"
#include "UnitSim.h"
#include "Usr_misc.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QMouseEvent>
#include <QSettings>
#include <QTemporaryDir>

#include <cstdio>

using namespace kestrava;

namespace {

// User 1 as a spline through several points, as the unit would hold it.
void putShapedCurve(sim::UnitMemory &memory) {
    TUserCurve curve;
    curve.Points.Clear();
    for (const auto &[x, y] :
         {std::pair{0, 255}, {40, 215}, {96, 170}, {150, 60}, {210, 30}, {255, 0}})
        curve.Points.Add({x, y});
    curve.Mode = cmCurve;
    curve.Recalculate();
    for (int i = 0; i < CurveTableSize; ++i)
        memory.curveTables[0][std::size_t(i)] = curve.Table[std::size_t(i)];
    memory.pointBlocks[0] = {cmCurve, 40, 96, 150, 210};
}

// A click on the marker of the point at input 150: picked in the graph and the grid.
void pickCurvePoint(TKestravaForm &form) {
    auto *graph = form.findChild<TCurveGraph *>(QStringLiteral("CrvPaintBox"));
    const TUserCurve *curve = form.curves.Current();
    const TCurvePoint *point = curve ? curve->Points.FindByInput(150) : nullptr;
    if (!graph || !point)
        return;
    const TCurvePixels px = graph->Pixels();
    const QPointF at(px.Px(point->X), px.Py(point->Y));
    for (const QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
        QMouseEvent e(type, at, graph->mapToGlobal(at), Qt::LeftButton,
                      type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton,
                      Qt::NoModifier);
        QApplication::sendEvent(graph, &e);
    }
}

} // namespace

int main(int argc, char **argv) {
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: kestrava-screenshot OUTPUT-PREFIX [ja|en]\n");
        return 2;
    }
    const QString prefix = QString::fromLocal8Bit(argv[1]);
    const QString language = argc > 2 ? QString::fromLocal8Bit(argv[2]) : QStringLiteral("ja");
    StderrResponder quiet;

    sim::UnitSimOptions options;
    options.currentPatch = 0;
    sim::UnitSim unit(options);
    sim::UnitMemory memory = sim::UnitMemory::factoryDefault();
    for (int o = 0; o < 1024; ++o)
        memory.attributes[o] = o % 7 == 2 ? 0x081 : o % 5 == 3 ? (o / 5) % 4 : 0x080;
    putShapedCurve(memory);
    unit.setMemory(memory);
    QString error;
    if (!unit.start(&error)) {
        std::fprintf(stderr, "simulator: %s\n", qPrintable(error));
        return 1;
    }
    QTemporaryDir dir;
    const QString ini = dir.filePath(QStringLiteral("kestrava.INI"));
    {
        QSettings s(ini, QSettings::IniFormat);
        s.setValue(QStringLiteral("Ports/COM9"), unit.devicePath());
        s.setValue(QStringLiteral("Serial/ComPort"), 9);
        s.setValue(QStringLiteral("WinWidth"), 1000);
        s.setValue(QStringLiteral("WinHeight"), 700);
        s.setValue(QStringLiteral("Language"), language);
    }
    const TUiTexts texts(ini);
    const TDesktop desktop{.boxes = TBoxes(quiet), .helpLanguage = texts.HelpLanguage()};
    TKestravaForm form(ini, desktop);
    form.show();
    QElapsedTimer t;
    t.start();
    while (!unit.requestLog().contains(QStringLiteral("Q802")) && t.elapsed() < 10000)
        QApplication::processEvents(QEventLoop::AllEvents, 50);
    QApplication::processEvents();

    const char *pages[] = {"patch", "attributes", "curves"};
    for (int p = 0; p < 3; ++p) {
        form.ShowPage(Page(p));
        if (Page(p) == Page::Curve)
            pickCurvePoint(form);
        for (int i = 0; i < 10; ++i)
            QApplication::processEvents(QEventLoop::AllEvents, 20);
        const QString file = QStringLiteral("%1-%2.png").arg(prefix, QLatin1String(pages[p]));
        if (!form.grab().save(file)) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(file));
            return 1;
        }
        std::printf("%s\n", qPrintable(file));
    }
    form.close();
    return 0;
}
