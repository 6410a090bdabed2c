#include "Soak.h"

#include "CurvePixels.h"
#include "DrawGrid.h"
#include "HistoryWindow.h"
#include "OptDlg.h"

#include <QAbstractItemView>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QGuiApplication>
#include <QLineEdit>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTabWidget>
#include <QTest>
#include <QToolButton>
#include <QTreeWidget>

#include <tuple>

namespace kestrava::test {

namespace {

// What a user does, with its weight and the page it needs (-1: any). In a template,
// {a-b} is a number from a to b, {x|y} one of the words, {cell} what a patch cell is typed
// with, {load} a file to load, {save} a new file name and {answers} up to two answers to the
// questions the step asks ("a:y", "a:n", "a:c"); a question left unanswered is No or Cancel.
struct StepRow {
    int weight;
    int page;
    const char *step;
};
constexpr StepRow kSteps[] = {
    {6, -1, "page {0-2}"},
    {14, 0, "type PatTableGrid {1-12} {1-40} {cell}"},
    {4, 0, "sel PatTableGrid {1-12} {1-40} {1-12} {1-40}"},
    {2, 0, "set {cell} {1-60}-{1-90}"},
    {2, 0, "act SetChSelAction i:{cell}"},
    {4, 0, "patch {0-7}"},
    {5, 0,
     "act {DelPatchAction|UndoPatAction|UndoPatAction|CheckOnAction|CheckOffAction|"
     "TableO2IAction|TableI2OAction|TableW10Action|TableW16Action|DispABChAction}"},
    {5, 0, "act {WritePatAction|WritePatAction|ClrAllPatAction|ClrCurPatAction|ThrCurPatAction}"},
    {3, 0, "act {RedoPatAction|RedoPatAction|CopyPatAction}"},
    {1, 0, "act {GoToOutputAction|FindInputAction} i:{cell}"},
    {2, 0, "clip {cell};{cell};{cell} PastePatAction"},
    {2, 0, "clip {1-1024}:{cell};{1-1024}:{cell} PastePatAction"},
    {1, 0, "act LoadSheetAction f:{sheet.csv|sheet.csv|all.pat}"},
    {1, 0, "act SaveAllPatAction f:{save}.pat"},
    {1, 0, "act SaveCurPatAction f:{save}.pt1"},
    {3, 0, "act {LoadAllPatAction|LoadCurPatAction} f:{load}"},
    {6, 1, "attr {1-60} {1-60} {0-5}"},
    {3, 1, "act {InitLdAtrAction|WriteLdAtrAction|WriteLdAtrAction}"},
    {1, 1, "act CopyLdAtrAction"},
    {1, 1, "clip {0-3};{Normal|On/Off|9} PasteLdAtrAction"},
    {1, 1, "act SaveLdAtrAction f:{save}.atr"},
    {2, 1, "act LoadLdAtrAction f:{load}"},
    {2, 2, "curve {0-3}"},
    {3, 2, "mode {0-2}"},
    {3, 2, "addp {10-260} {10-260}"},
    {3, 2, "drag {0-5} {-40-40} {-40-40}"},
    {2, 2, "delp {0-5}"},
    {4, 2, "type CurveGrid {1-16} {1-32} {0-255|0-255|0-255|300}"},
    {3, 2,
     "act {InitCrvAction|WriteCurveAction|WriteCurveAction|CrvGridW8Action|CrvGridW16Action}"},
    {1, 2, "act SaveCurveAction f:{save}.crv"},
    {2, 2, "act LoadCurveAction f:{load}"},
    {1, -1, "act SaveAllDataAction f:{save}.dat"},
    {2, -1, "act LoadAllDataAction f:{load}"},
    {1, -1, "history {compare|load|close} {0-3}"},
    {1, -1, "history file {0-0} f:{load}"},
    {2, -1, "act ReConnectAction"},
    {1, -1, "opt {1024|512|100} {1024|256} {0-1}"},
    {1, -1, "restart {|edit|}"},
    {7, -1, "fault {refuse|refuseall|garble|drop|silent|unplug} {0-40|0-40|0-700}"},
    {1, -1, "slow {9600|57600|0}"},
};

// Besides the files the soak saves ("s" and the step number): whole, partial and one-patch
// files, files of the wrong kind under each extension, and one that is not there.
const QStringList kLoadable{"all.dat",   "all.pat",   "one.pt1",    "all.atr",
                            "all.crv",   "attrs.dat", "attrs.pat",  "patches.crv",
                            "short.pat", "hello.atr", "missing.dat"};

} // namespace

QString Soak::randomStep(std::mt19937 &rng) const {
    const auto pick = [&rng](int n) { return int(rng() % std::uint32_t(std::max(n, 1))); };
    const auto of = [&](const QStringList &items) { return items.at(pick(int(items.size()))); };
    const auto number = [&](const QString &range) {
        static const QRegularExpression form(QStringLiteral("^(-?\\d+)-(-?\\d+)$"));
        const QRegularExpressionMatch m = form.match(range);
        if (!m.hasMatch())
            return range;
        const int low = m.captured(1).toInt();
        return QString::number(low + pick(m.captured(2).toInt() - low + 1));
    };
    const auto expand = [&](const QString &field) -> QString {
        if (field == u"cell")
            return of({number("1-1024"), number("1-1024"), number("1-1024"), "full", "FF", "FUL",
                       "A" + number("1-512"), "B" + number("1-512"), "_", "0", "2000", "x", "1-3"});
        if (field == u"save")
            return QStringLiteral("s%1").arg(steps_);
        if (field == u"load") {
            QStringList files = kLoadable;
            for (const QFileInfo &f : QDir(dir_.path()).entryInfoList({"s*"}, QDir::Files))
                files.append(f.fileName());
            return of(files);
        }
        return number(of(field.split(u'|')));
    };
    // Steps of the page shown are what a user mostly does; the others are mostly no-ops.
    const int shown = int(rig_->form->ActivePage());
    const auto weight = [shown](const StepRow &r) {
        return r.page == -1 || r.page == shown ? 4 * r.weight : r.weight;
    };
    int total = 0;
    for (const StepRow &r : kSteps)
        total += weight(r);
    int at = pick(total);
    const StepRow *row = kSteps;
    while (at >= weight(*row))
        at -= weight(*row++);

    static const QRegularExpression fields(QStringLiteral("\\{([^}]*)\\}"));
    const QString step = QString::fromLatin1(row->step);
    QString out;
    qsizetype from = 0;
    for (const QRegularExpressionMatch &m : fields.globalMatch(step)) {
        out += step.mid(from, m.capturedStart() - from) + expand(m.captured(1));
        from = m.capturedEnd();
    }
    out += step.mid(from);
    for (int n = pick(3); n > 0; --n)
        out += of({" a:y", " a:y", " a:n", " a:c"});
    return out.simplified();
}

namespace {

bool usable(const QWidget *w) {
    return w && w->isVisible() && w->isEnabled();
}

void clickCell(TDrawGrid *g, int c, int r, Qt::KeyboardModifiers mods = {}) {
    g->scrollToCell(c, r);
    QTest::mouseClick(g->viewport(), Qt::LeftButton, mods, g->cellRect(c, r).center());
}

// A cell clamped into the grid's data cells, as a click that lands somewhere in it.
QPoint dataCell(const TDrawGrid *g, int c, int r) {
    return {std::clamp(c, 1, std::max(1, g->colCount() - 1)),
            std::clamp(r, 1, std::max(1, g->rowCount() - 1))};
}

void typeInto(TDrawGrid *g, int c, int r, const QString &text) {
    if (!usable(g))
        return;
    const QPoint cell = dataCell(g, c, r);
    clickCell(g, cell.x(), cell.y());
    if (text == u"_") { // emptied
        QTest::keyClick(g, Qt::Key_F2);
        if (g->editorOpen())
            g->editor()->clear();
    } else {
        QTest::keyClick(g, text.at(0).toLatin1());
        if (g->editorOpen())
            QTest::keyClicks(g->editor(), text.mid(1));
    }
    if (g->editorOpen())
        QTest::keyClick(g->editor(), Qt::Key_Return);
}

void selectCells(TDrawGrid *g, int c, int r, int c2, int r2) {
    if (!usable(g))
        return;
    const QPoint from = dataCell(g, c, r), to = dataCell(g, c2, r2);
    clickCell(g, from.x(), from.y());
    clickCell(g, to.x(), to.y(), Qt::ShiftModifier);
}

} // namespace

void Soak::run(const QStringList &w) {
    TKestravaForm &form = *rig_->form;
    const QString verb = w.value(0);
    const auto num = [&w](int i) { return w.value(i).toInt(); };
    const auto find = [&form]<class W>(W *, const char *name) {
        return form.findChild<W *>(QLatin1String(name));
    };
    if (verb == u"act") {
        if (const auto id = ActionIdOf(w.value(1)))
            form.ExecuteAction(*id);
    } else if (verb == u"page") {
        find((QTabWidget *)nullptr, "PageControl1")->setCurrentIndex(num(1));
    } else if (verb == u"type") {
        typeInto(find((TDrawGrid *)nullptr, qPrintable(w.value(1))), num(2), num(3), w.value(4));
    } else if (verb == u"clip") { // rows split by ";", cells by ":"
        QString text = w.value(1);
        QGuiApplication::clipboard()->setText(text.replace(u';', u'\n').replace(u':', u'\t'));
        if (const auto id = ActionIdOf(w.value(2)))
            form.ExecuteAction(*id);
    } else if (verb == u"sel") {
        selectCells(find((TDrawGrid *)nullptr, qPrintable(w.value(1))), num(2), num(3), num(4),
                    num(5));
    } else if (verb == u"set") {
        auto *button = find((QToolButton *)nullptr, "PatSetBtn");
        find((QLineEdit *)nullptr, "FromChEdit")->setText(w.value(1));
        find((QLineEdit *)nullptr, "ToChEdit")->setText(w.value(2));
        if (usable(button))
            QTest::mouseClick(button, Qt::LeftButton);
    } else if (verb == u"patch") {
        if (auto *combo = find((QComboBox *)nullptr, "PatNoCombo"); usable(combo))
            combo->setCurrentIndex(num(1));
    } else if (verb == u"attr") {
        runAttr(num(1), num(2), num(3));
    } else if (verb == u"curve") {
        if (auto *combo = find((QComboBox *)nullptr, "CurveComboBox"); usable(combo))
            combo->setCurrentIndex(num(1));
    } else if (verb == u"mode") {
        const auto buttons =
            find((QWidget *)nullptr, "ModeRadioGroup")->findChildren<QRadioButton *>();
        if (QRadioButton *b = buttons.value(num(1)); usable(b))
            QTest::mouseClick(b, Qt::LeftButton);
    } else if (verb == u"addp" || verb == u"drag" || verb == u"delp") {
        runGraph(verb, num(1), num(2), num(3));
    } else if (verb == u"opt") {
        runOptions(num(1), num(2), num(3) != 0);
    } else if (verb == u"history") {
        runHistory(w.value(1), num(2));
    } else if (verb == u"restart") {
        restart(w.value(1) == u"edit");
    }
}

void Soak::runAttr(int from, int to, int item) {
    TKestravaForm &form = *rig_->form;
    auto *grid = form.findChild<TDrawGrid *>(QStringLiteral("LdAtrGrid"));
    selectCells(grid, 1, from, 1, to);
    if (!usable(grid) || !form.ExecuteAction(ActionId::ChgLdAtrAction))
        return;
    auto *combo = form.findChild<QComboBox *>(QStringLiteral("SelCrvComboBox"));
    QAbstractItemView *list = combo->view();
    if (!list->isVisible())
        return;
    const QModelIndex index = list->model()->index(std::clamp(item, 0, combo->count() - 1), 0);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualRect(index).center());
}

// Points of the shown curve by their index, as the user finds their markers.
void Soak::runGraph(const QString &verb, int a, int b, int c) {
    TKestravaForm &form = *rig_->form;
    auto *graph = form.findChild<QWidget *>(QStringLiteral("CrvPaintBox"));
    if (!usable(graph))
        return;
    if (verb == u"addp") {
        QTest::mousePress(graph, Qt::RightButton, {}, QPoint(a, b));
        QTest::mouseRelease(graph, Qt::RightButton, {}, QPoint(a, b));
        form.ExecuteAction(ActionId::AddPAction);
        return;
    }
    const TUserCurve &curve = rig_->curves().Curves[std::size_t(rig_->curves().CurCurve)];
    if (curve.Points.Count() == 0)
        return;
    const TCurvePixels pixels = TCurvePixels::ForWindow(graph->size(), curve.MaxLevel);
    const QPoint at =
        pixels.Marker(curve.Points[std::clamp(a, 0, curve.Points.Count() - 1)]).center();
    QCursor::setPos(graph->mapToGlobal(at));
    QTest::mousePress(graph, Qt::LeftButton, {}, at);
    QPoint to = at;
    if (verb == u"drag") {
        for (int k = 1; k <= 3; ++k) {
            to = at + QPoint(b * k / 3, c * k / 3);
            QTest::mouseMove(graph, to);
        }
    }
    QTest::mouseRelease(graph, Qt::LeftButton, {}, to);
    if (verb == u"delp")
        form.ExecuteAction(ActionId::DelPAction);
}

void Soak::runOptions(int outputs, int inputs, bool warn) {
    rig_->desktop.runModal = [&](QDialog &d) {
        d.findChild<QLineEdit *>(QStringLiteral("MaxTxChEdit"))->setText(QString::number(outputs));
        d.findChild<QLineEdit *>(QStringLiteral("MaxRxChEdit"))->setText(QString::number(inputs));
        d.findChild<QCheckBox *>(QStringLiteral("WarnPatCheckBox"))->setChecked(warn);
        d.done(QDialog::Accepted);
        return d.result();
    };
    rig_->form->findChild<QAction *>(QStringLiteral("OptItem"))->trigger();
    rig_->desktop.runModal = {};
}

// The history window with the snapshot of the given row chosen and closed by a button, or
// ("file") the compare view of a file; a compare view it leads to is closed at once.
void Soak::runHistory(const QString &choice, int row) {
    rig_->desktop.runModal = [&](QDialog &d) {
        auto *tree = d.findChild<QTreeWidget *>(QStringLiteral("HistoryTree"));
        if (tree && tree->topLevelItemCount() > 0)
            tree->setCurrentItem(
                tree->topLevelItem(std::clamp(row, 0, tree->topLevelItemCount() - 1)));
        d.done(!tree                  ? QDialog::Rejected
               : choice == u"load"    ? int(THistoryWindow::LoadChosen)
               : choice == u"compare" ? int(THistoryWindow::CompareChosen)
                                      : QDialog::Rejected);
        return d.result();
    };
    rig_->form->ExecuteAction(choice == u"file" ? ActionId::CompareFileAction
                                                : ActionId::HistoryAction);
    rig_->desktop.runModal = {};
}

// Closes the window as the user does (its questions answered by the step) and starts it
// again, on the unit or, when the unit is away at start-up, in edit mode.
void Soak::restart(bool editMode) {
    rig_->form->close();
    if (rig_->form->isVisible())
        return;
    rig_->form.reset();
    rig_->unit.setAbsent(editMode);
    rig_->boxes.clear();
    rig_->boxes.queueAnswer(IDYES);
    rig_->form = std::make_unique<TKestravaForm>(rig_->settings.path(), rig_->desktop);
    optDlg_ = new TOptDlg(rig_->desktop.boxes, rig_->form.get());
    rig_->form->SetDialogs(optDlg_, nullptr);
    if (rig_->showOnly())
        std::ignore = QTest::qWaitFor([this] { return rig_->timer()->isActive(); }, 5000);
    rig_->unit.setAbsent(false);
    excused_.clear(); // everything is read again
    unread_.clear();
}

// Files the loads can be given besides the ones the soak saved: whole, partial, one-patch,
// and files of the wrong kind under each extension.
} // namespace kestrava::test
