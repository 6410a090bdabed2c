#include "Soak.h"

#include "ActionIds.h"
#include "CurvePixels.h"
#include "CurveTransfer.h"
#include "DataSetDiff.h"
#include "DrawGrid.h"
#include "OptDlg.h"
#include "TextLines.h"
#include "WireCodes.h"

#include <QAbstractItemView>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QTabWidget>
#include <QTest>
#include <QToolButton>

#include <ctime>
#include <tuple>

namespace kestrava::test {

namespace {

constexpr int kAttrDomain = PatchCount;
constexpr int kCurveDomain = PatchCount + 1;
constexpr int kDomains = PatchCount + 2;
constexpr int kCurveEntries = 4 * CurveTableSize + 4 * kBlockValues;
// The link gives up after about a second of silence; more than this between two requests of
// one step is a wait the user should not have had.
constexpr qint64 kLongestWaitMs = 1500;
constexpr double kIdleCpuSeconds = 0.02;

QList<int> codesOf(const QString &digits) {
    QList<int> out;
    for (qsizetype i = 0; i + 3 <= digits.size(); i += 3)
        out.append(digits.mid(i, 3).toInt(nullptr, 16));
    return out;
}

struct Parts {
    const TPatchModel &patches;
    const TLoadAttrModel &attrs;
    const TCurveSet &curves;
};

// Memory and unit as wire codes, one list per domain: what the invariants compare.
QList<int> memoryCodes(const Parts &f, int domain) {
    QList<int> out;
    if (domain < PatchCount) {
        for (PatchEntry v : f.patches.Patches[std::size_t(domain)])
            out.append(PatchEntryCode(v).toInt(nullptr, 16));
    } else if (domain == kAttrDomain) {
        for (LoadAttr a : f.attrs.LoadAttrs)
            out.append(LoadAttrCode(a).toInt(nullptr, 16));
    } else {
        for (int b = 0; b < 64; ++b)
            out += codesOf(CurveTableBlockCommand(f.curves, b).mid(4, kBlockDigits));
        for (int c = 0; c < 4; ++c)
            out += codesOf(
                CurvePointBlockCommand(f.curves.Curves[std::size_t(c)], c).mid(4, kBlockDigits));
    }
    return out;
}

QList<int> unitCodes(const sim::UnitMemory &m, int domain) {
    QList<int> out;
    if (domain < PatchCount) {
        for (int code : m.patches[std::size_t(domain)])
            out.append(PatchEntryCode(PatchEntryFromCode(Hex3(code))).toInt(nullptr, 16));
    } else if (domain == kAttrDomain) {
        out = QList<int>(m.attributes.begin(), m.attributes.end());
    } else {
        for (const auto &t : m.curveTables)
            out += QList<int>(t.begin(), t.end());
        for (const auto &p : m.pointBlocks)
            out += QList<int>(p.begin(), p.end());
    }
    return out;
}

QString domainName(int d) {
    return d < PatchCount     ? QStringLiteral("patch %1").arg(d + 1)
           : d == kAttrDomain ? QStringLiteral("attributes")
                              : QStringLiteral("curves");
}

double threadCpuSeconds() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) / 1e9;
}

} // namespace

struct Soak::Snapshot {
    std::array<QList<int>, kDomains> memory;
    std::array<QList<int>, kDomains> unit;
    int unitPatch = 0;
};

Soak::Soak(quint32 unitSeed) {
    clock_.start();
    sim::UnitSimOptions o;
    o.linkPath = dir_.filePath(QStringLiteral("unit"));
    o.onRequest = [this](const QString &, const QByteArray &) {
        const std::lock_guard lock(timesMutex_);
        requestTimes_.append(clock_.elapsed());
    };
    std::mt19937 rng(unitSeed);
    sim::UnitMemory m = sim::UnitMemory::factoryDefault();
    for (auto &patch : m.patches)
        for (int &code : patch)
            code = rng() % 4 == 0 ? int(rng() % 1024) : rng() % 9 == 0 ? 0x8FF : 0xFFF;
    for (int &a : m.attributes)
        a = std::array{0x080, 0x081, 0, 1, 2, 3}[rng() % 6];
    o.currentPatch = int(rng() % PatchCount);
    rig_ = std::make_unique<FormRig>(o, QStringLiteral("en"));
    rig_->unit.setMemory(m);
    writeSeedFiles(unitSeed);
}

Soak::~Soak() {
    rig_->unit.clearFaults();
    rig_.reset(); // the unit's thread reports to the members below until it stops
}

bool Soak::start(QString *failure) {
    optDlg_ = new TOptDlg(rig_->desktop.boxes, rig_->form.get());
    rig_->form->SetDialogs(optDlg_, nullptr);
    if (!rig_->showLinked()) {
        *failure = QStringLiteral("the window did not link to the unit at start-up");
        return false;
    }
    return checkUnit(failure);
}

bool Soak::step(const QString &line, QString *failure) {
    ++steps_;
    QStringList words;
    for (const QString &w : line.split(u' ', Qt::SkipEmptyParts)) {
        if (w.startsWith(u"a:"))
            rig_->boxes.queueAnswer(w == u"a:y" ? IDYES : w == u"a:n" ? IDNO : IDCANCEL);
        else if (w.startsWith(u"f:"))
            rig_->boxes.queueFile(pathOf(w.mid(2)));
        else if (w.startsWith(u"i:"))
            rig_->boxes.queueInput(w.mid(2));
        else
            words.append(w);
        if (w.startsWith(u"f:") && line.startsWith(u"act Save"))
            lastSave_ = pathOf(w.mid(2));
    }
    if (words.value(0) == u"fault" || words.value(0) == u"slow") {
        arm(words);
        return true;
    }
    const Snapshot before = snapshot();
    rig_->unit.clearLog();
    {
        const std::lock_guard lock(timesMutex_);
        requestTimes_.clear();
    }
    run(words);
    const qint64 ended = clock_.elapsed();
    QTest::qWait(150); // the timer's tick and poll, as between a user's clicks
    if (qEnvironmentVariableIsSet("KESTRAVA_SOAK_VERBOSE"))
        qInfo().noquote() << line << "|" << rig_->unit.requestLog().mid(0, 6).join(u' ')
                          << rig_->unit.requestLog().size() << "|"
                          << rig_->boxes.texts().join(u" / ").replace(u'\n', u' ');
    const bool lossy = faultFired();
    rig_->unit.clearFaults();
    if (rig_->unit.lineClosed())
        rig_->unit.start(); // plugged in again, on the same path
    rig_->boxes.clear();
    afterStep(lossy, before);
    const bool ok = (words.value(0) == u"restart" || checkWaits(ended, failure)) &&
                    checkUnit(failure) && checkSavedFile(failure) &&
                    (steps_ % 8 != 0 || checkIdle(failure));
    lastSave_.clear();
    return ok;
}

void Soak::arm(const QStringList &words) {
    sim::UnitSim &unit = rig_->unit;
    const QString kind = words.value(1);
    const int n = words.value(2).toInt();
    if (words.value(0) == u"slow") {
        unit.setBaud(kind.toInt());
        return;
    }
    armed_ = kind;
    armedAt_ = n;
    if (kind == u"refuse")
        unit.setFaultAt(n, sim::UnitSim::Fault::Refuse);
    else if (kind == u"garble")
        unit.setFaultAt(n, sim::UnitSim::Fault::Garble);
    else if (kind == u"drop")
        unit.setFaultAt(n, sim::UnitSim::Fault::Drop);
    else if (kind == u"silent")
        unit.setSilentAfter(n);
    else if (kind == u"unplug")
        unit.setCloseAfter(n);
}

// Whether the armed fault met a request that the unit may have acted on unheard.
bool Soak::faultFired() {
    const QString kind = std::exchange(armed_, QString());
    sim::UnitSim &unit = rig_->unit;
    if (kind == u"garble" || kind == u"drop")
        return !unit.faultPending();
    if (kind == u"silent")
        return unit.requestLog().size() > armedAt_;
    if (kind == u"unplug")
        return unit.lineClosed();
    return false;
}

Soak::Snapshot Soak::snapshot() const {
    Snapshot s;
    const Parts parts{rig_->patches(), rig_->attrs(), rig_->curves()};
    const sim::UnitMemory m = rig_->unit.memory();
    for (int d = 0; d < kDomains; ++d) {
        s.memory[std::size_t(d)] = memoryCodes(parts, d);
        s.unit[std::size_t(d)] = unitCodes(m, d);
    }
    s.unitPatch = rig_->unit.currentPatch();
    return s;
}

void Soak::afterStep(bool lossy, const Snapshot &before) {
    // A domain read whole from the unit, in a step without a lost answer, is known again.
    std::set<int> read;
    int patch = before.unitPatch;
    std::array<int, kDomains> blocks{};
    for (const QString &r : rig_->unit.requestLog()) {
        int address = 0;
        bool ok = false;
        if (r.size() == 4 && r.startsWith(u'P'))
            patch = r.mid(1).toInt(&ok, 16);
        else if (r.size() == 4 && r.startsWith(u'Q'))
            address = r.mid(1).toInt(&ok, 16);
        if (!ok || r.startsWith(u'P'))
            continue;
        if (address <= 0x03F && IsPatchIndex(patch))
            ++blocks[std::size_t(patch)];
        else if (address >= 0x500 && address <= 0x53F)
            ++blocks[kAttrDomain];
        else if (address >= 0x600 && address <= 0x643)
            ++blocks[kCurveDomain];
    }
    for (int d = 0; d < kDomains; ++d)
        if (!lossy && blocks[std::size_t(d)] >= (d == kCurveDomain ? 68 : 64))
            std::erase_if(excused_, [d](const Entry &e) { return e.domain == d; });
    if (!lossy)
        return;
    const Snapshot after = snapshot();
    for (int d = 0; d < kDomains; ++d)
        for (int at = 0; at < before.memory[std::size_t(d)].size(); ++at)
            if (before.memory[std::size_t(d)][at] != after.memory[std::size_t(d)][at] ||
                before.unit[std::size_t(d)][at] != after.unit[std::size_t(d)][at])
                excused_.insert({d, at});
}

bool Soak::checkUnit(QString *failure) const {
    const TUnitLink &link = rig_->link();
    if (!link.Linked || link.EditMode)
        return true;
    const TPatchModel &p = rig_->patches();
    const TLoadAttrModel &a = rig_->attrs();
    const TCurveSet &c = rig_->curves();
    const Snapshot now = snapshot();
    for (int d = 0; d < kDomains; ++d) {
        const QList<int> &mem = now.memory[std::size_t(d)];
        const QList<int> &unit = now.unit[std::size_t(d)];
        int at = 0;
        while (at < mem.size() && (mem[at] == unit[at] || excused_.count({d, at})))
            ++at;
        if (at == mem.size())
            continue;
        // Shown data that differs must say it was changed, or that it is not the unit's: a
        // fetch that fails part-way keeps the blocks it read and leaves the data out of sync.
        const bool marked = d == p.CurPatch    ? p.PatchChanged || !p.PatchInSync[std::size_t(d)]
                            : d < PatchCount   ? !p.PatchInSync[std::size_t(d)]
                            : d == kAttrDomain ? a.LdAtrChanged || !a.LdAtrInSync
                                               : c.CurveChanged || !c.CurvesInSync;
        if (!marked) {
            *failure = QStringLiteral("%1 differs from the unit at %2 (window %3, unit %4) and "
                                      "is not marked")
                           .arg(domainName(d))
                           .arg(at)
                           .arg(mem[at], 3, 16, QChar(u'0'))
                           .arg(unit[at], 3, 16, QChar(u'0'));
            return false;
        }
    }
    return true;
}

bool Soak::checkSavedFile(QString *failure) {
    if (lastSave_.isEmpty() || !QFileInfo::exists(lastSave_))
        return true;
    const FileKind kind = FileKindOf(lastSave_);
    const TLoadFile file = ReadLoadFile(kind, lastSave_, rig_->patches().CurPatch);
    TDataSet shown{rig_->patches(), rig_->attrs(), rig_->curves()};
    TDataSet onFile = shown;
    if (!file.Usable() || !file.LayOver(onFile.patches, onFile.attrs, onFile.curves)) {
        *failure = QStringLiteral("the saved %1 does not read back").arg(lastSave_);
        return false;
    }
    const auto diffs =
        DiffDataSets(HeldSections(kind, file.read.found), file.read.found, shown, onFile);
    if (!diffs.isEmpty()) {
        const TDataDifference &first = diffs.first();
        *failure = QStringLiteral("the saved %1 differs from the window in %2 values, first "
                                  "part %3 patch %4 curve %5 at %6: window %7, file %8")
                       .arg(QFileInfo(lastSave_).fileName())
                       .arg(diffs.size())
                       .arg(int(first.part))
                       .arg(first.patch + 1)
                       .arg(first.curve + 1)
                       .arg(first.at)
                       .arg(first.unit)
                       .arg(first.file);
        return false;
    }
    return true;
}

bool Soak::checkWaits(qint64 ended, QString *failure) {
    QList<qint64> times;
    {
        const std::lock_guard lock(timesMutex_);
        times = requestTimes_;
    }
    times.erase(std::remove_if(times.begin(), times.end(), [ended](qint64 t) { return t > ended; }),
                times.end());
    times.append(ended);
    for (qsizetype i = 1; i < times.size(); ++i) {
        if (times[i] - times[i - 1] > kLongestWaitMs) {
            *failure =
                QStringLiteral("a wait on the unit lasted %1 ms").arg(times[i] - times[i - 1]);
            return false;
        }
    }
    return true;
}

bool Soak::checkIdle(QString *failure) {
    const double before = threadCpuSeconds();
    QTest::qWait(1000);
    const double spent = threadCpuSeconds() - before;
    if (spent > kIdleCpuSeconds) {
        *failure = QStringLiteral("idle for a second, the window used %1 s of CPU").arg(spent);
        return false;
    }
    return true;
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
}

// Files the loads can be given besides the ones the soak saved: whole, partial, one-patch,
// and files of the wrong kind under each extension.
void Soak::writeSeedFiles(quint32 seed) {
    std::mt19937 rng(seed ^ 0x5eedu);
    TDataSet d;
    for (auto &patch : d.patches.Patches)
        for (PatchEntry &v : patch)
            v = rng() % 3 == 0 ? PatchEntry(rng() % 1024) : pvNone;
    for (LoadAttr &a : d.attrs.LoadAttrs)
        a = rng() % 2 ? laOnOff : LoadAttr(rng() % 4);
    d.curves.Curves[1].Mode = cmPolyline;
    d.curves.Curves[1].AddPoint(100);
    d.curves.Curves[1].Recalculate();
    const auto write = [&](const QString &name, FileKind kind) {
        QStringList lines;
        WriteDataFileLines(kind, lines, d.patches, d.attrs, d.curves);
        SaveTextLines(pathOf(name), lines);
        return lines;
    };
    write(QStringLiteral("all.dat"), FileKind::AllData);
    const QStringList patches = write(QStringLiteral("all.pat"), FileKind::AllPatches);
    write(QStringLiteral("one.pt1"), FileKind::OnePatch);
    const QStringList attrs = write(QStringLiteral("all.atr"), FileKind::Attributes);
    write(QStringLiteral("all.crv"), FileKind::Curves);
    SaveTextLines(pathOf(QStringLiteral("attrs.dat")), attrs);
    SaveTextLines(pathOf(QStringLiteral("attrs.pat")), attrs);
    SaveTextLines(pathOf(QStringLiteral("patches.crv")), patches);
    // the first patch section only, cut short part-way
    SaveTextLines(pathOf(QStringLiteral("short.pat")), patches.mid(0, 300));
    SaveTextLines(pathOf(QStringLiteral("hello.atr")), {QStringLiteral("hello")});
}

namespace {

const QStringList &LoadableFiles() {
    static const QStringList files{"all.dat",   "all.pat",   "one.pt1",    "all.atr",
                                   "all.crv",   "attrs.dat", "attrs.pat",  "patches.crv",
                                   "short.pat", "hello.atr", "missing.dat"};
    return files;
}

} // namespace

QString Soak::randomStep(std::mt19937 &rng) const {
    const auto pick = [&rng](int n) { return int(rng() % std::uint32_t(std::max(n, 1))); };
    const auto of = [&](const QStringList &items) { return items.at(pick(int(items.size()))); };
    const auto cellText = [&] {
        switch (pick(8)) {
        case 0:
            return of({"full", "FF", "FUL"});
        case 1:
            return QStringLiteral("A%1").arg(1 + pick(512));
        case 2:
            return QStringLiteral("B%1").arg(1 + pick(512));
        case 3:
            return of({"_", "0", "2000", "x", "1-3"});
        default:
            return QString::number(1 + pick(1024));
        }
    };
    const QString saveAs = QStringLiteral("s%1").arg(steps_);
    const auto act = [&](const QStringList &names) { return QStringLiteral("act ") + of(names); };
    const auto save = [&](const QString &action, const QString &ext) {
        return QStringLiteral("act %1 f:%2.%3").arg(action, saveAs, ext);
    };
    const auto load = [&](const QString &action) {
        QStringList files = LoadableFiles();
        for (const QFileInfo &f : QDir(dir_.path()).entryInfoList({"s*"}, QDir::Files))
            files.append(f.fileName());
        return QStringLiteral("act %1 f:%2").arg(action, of(files));
    };
    // Weight, the page the step needs (-1 any), the step.
    struct Row {
        int weight;
        int page;
        std::function<QString()> make;
    };
    constexpr int kPatch = 0, kAttr = 1, kCurve = 2, kAny = -1;
    const std::vector<Row> table{
        {6, kAny, [&] { return QStringLiteral("page %1").arg(pick(3)); }},
        {14, kPatch,
         [&] {
             return QStringLiteral("type PatTableGrid %1 %2 %3")
                 .arg(1 + pick(12))
                 .arg(1 + pick(40))
                 .arg(cellText());
         }},
        {4, kPatch,
         [&] {
             return QStringLiteral("sel PatTableGrid %1 %2 %3 %4")
                 .arg(1 + pick(12))
                 .arg(1 + pick(40))
                 .arg(1 + pick(12))
                 .arg(1 + pick(40));
         }},
        {2, kPatch,
         [&] {
             return QStringLiteral("set %1 %2-%3")
                 .arg(cellText())
                 .arg(1 + pick(60))
                 .arg(1 + pick(90));
         }},
        {2, kPatch, [&] { return QStringLiteral("act SetChSelAction i:%1").arg(cellText()); }},
        {4, kPatch, [&] { return QStringLiteral("patch %1").arg(pick(PatchCount)); }},
        {5, kPatch,
         [&] {
             return act({"DelPatchAction", "UndoPatAction", "UndoPatAction", "CheckOnAction",
                         "CheckOffAction", "TableO2IAction", "TableI2OAction", "TableW10Action",
                         "TableW16Action", "DispABChAction"});
         }},
        {5, kPatch,
         [&] {
             return act({"WritePatAction", "WritePatAction", "ClrAllPatAction", "ClrCurPatAction",
                         "ThrCurPatAction"});
         }},
        {2, kPatch,
         [&] {
             return pick(2) ? save("SaveAllPatAction", "pat") : save("SaveCurPatAction", "pt1");
         }},
        {3, kPatch, [&] { return load(pick(2) ? "LoadAllPatAction" : "LoadCurPatAction"); }},
        {6, kAttr,
         [&] {
             return QStringLiteral("attr %1 %2 %3")
                 .arg(1 + pick(60))
                 .arg(1 + pick(60))
                 .arg(pick(6));
         }},
        {3, kAttr,
         [&] {
             return act({"InitLdAtrAction", "WriteLdAtrAction", "WriteLdAtrAction"});
         }},
        {1, kAttr, [&] { return save("SaveLdAtrAction", "atr"); }},
        {2, kAttr, [&] { return load("LoadLdAtrAction"); }},
        {2, kCurve, [&] { return QStringLiteral("curve %1").arg(pick(4)); }},
        {3, kCurve, [&] { return QStringLiteral("mode %1").arg(pick(3)); }},
        {3, kCurve,
         [&] { return QStringLiteral("addp %1 %2").arg(10 + pick(250)).arg(10 + pick(250)); }},
        {3, kCurve,
         [&] {
             return QStringLiteral("drag %1 %2 %3")
                 .arg(pick(6))
                 .arg(pick(81) - 40)
                 .arg(pick(81) - 40);
         }},
        {2, kCurve, [&] { return QStringLiteral("delp %1").arg(pick(6)); }},
        {4, kCurve,
         [&] {
             return QStringLiteral("type CurveGrid %1 %2 %3")
                 .arg(1 + pick(16))
                 .arg(1 + pick(32))
                 .arg(pick(10) ? QString::number(pick(256)) : "300");
         }},
        {3, kCurve,
         [&] {
             return act({"InitCrvAction", "WriteCurveAction", "WriteCurveAction", "CrvGridW8Action",
                         "CrvGridW16Action"});
         }},
        {1, kCurve, [&] { return save("SaveCurveAction", "crv"); }},
        {2, kCurve, [&] { return load("LoadCurveAction"); }},
        {1, kAny, [&] { return save("SaveAllDataAction", "dat"); }},
        {2, kAny, [&] { return load("LoadAllDataAction"); }},
        {2, kAny, [&] { return QStringLiteral("act ReConnectAction"); }},
        {1, kAny,
         [&] {
             return QStringLiteral("opt %1 %2 %3")
                 .arg(of({"1024", "512", "100"}), of({"1024", "256"}))
                 .arg(pick(2));
         }},
        {1, kAny,
         [&] { return pick(3) ? QStringLiteral("restart") : QStringLiteral("restart edit"); }},
        {6, kAny,
         [&] {
             return QStringLiteral("fault %1 %2")
                 .arg(of({"refuse", "garble", "drop", "silent", "unplug"}))
                 .arg(pick(40));
         }},
        {1, kAny,
         [&] {
             return QStringLiteral("slow %1").arg(of({"9600", "57600", "0"}));
         }},
    };
    // Steps of the page shown are what a user mostly does; the others are mostly no-ops.
    const int shown = int(rig_->form->ActivePage());
    const auto weight = [shown](const Row &r) {
        return r.page == -1 || r.page == shown ? 4 * r.weight : r.weight;
    };
    int total = 0;
    for (const Row &r : table)
        total += weight(r);
    int at = pick(total);
    auto row = table.begin();
    while (at >= weight(*row))
        at -= weight(*row++);
    QString step = row->make();
    for (int n = pick(3); n > 0; --n)
        step += of({" a:y", " a:y", " a:n", " a:c"});
    return step;
}

bool Soak::finish(QString *failure) {
    sim::UnitSim &unit = rig_->unit;
    unit.clearFaults();
    unit.setBaud(0);
    if (unit.lineClosed())
        unit.start();
    TKestravaForm &form = *rig_->form;
    if (!rig_->link().Linked || rig_->link().EditMode) {
        rig_->boxes.queueAnswer(IDYES);
        form.ExecuteAction(ActionId::ReConnectAction);
    }
    if (!rig_->link().Linked)
        return true; // reconnect refused: nothing left to compare
    // What the window shows, written whole and read back.
    const Parts parts{rig_->patches(), rig_->attrs(), rig_->curves()};
    std::array<QList<int>, kDomains> shown;
    for (int d = 0; d < kDomains; ++d)
        shown[std::size_t(d)] = memoryCodes(parts, d);
    const Page pages[] = {Page::Patch, Page::Attr, Page::Curve};
    const ActionId writes[] = {ActionId::WritePatAction, ActionId::WriteLdAtrAction,
                               ActionId::WriteCurveAction};
    for (int k = 0; k < 3; ++k) {
        rig_->boxes.queueAnswer(IDYES);
        form.ShowPage(pages[k]);
        form.ExecuteAction(writes[k]);
    }
    const sim::UnitMemory written = unit.memory();
    const std::array<bool, PatchCount> inSync = rig_->patches().PatchInSync;
    // Read back as the user reads everything again: a reconnect forgets and fetches.
    form.ExecuteAction(ActionId::ReConnectAction);
    excused_.clear();
    const Snapshot now = snapshot();
    const int cur = rig_->patches().CurPatch;
    for (int d = 0; d < kDomains; ++d) {
        const bool fetched = d >= PatchCount || d == cur;
        const bool held = fetched || inSync[std::size_t(d)];
        if (held && (unitCodes(written, d) != shown[std::size_t(d)] ||
                     (fetched && now.memory[std::size_t(d)] != shown[std::size_t(d)]))) {
            *failure = QStringLiteral("after writing everything and reading it back, %1 is not "
                                      "what the window showed")
                           .arg(domainName(d));
            return false;
        }
    }
    return checkUnit(failure);
}

QString RunSequence(const QStringList &steps, int *failedAt) {
    QString failure;
    Soak soak(steps.value(0).section(u' ', 1).toUInt());
    const auto fail = [&](int at) {
        if (failedAt)
            *failedAt = at;
        return failure;
    };
    if (!soak.start(&failure))
        return fail(0);
    for (int i = 1; i < steps.size(); ++i)
        if (!soak.step(steps[i], &failure))
            return fail(i);
    if (!soak.finish(&failure))
        return fail(int(steps.size()));
    return {};
}

QStringList CutDown(QStringList steps, qint64 budgetMs) {
    QElapsedTimer clock;
    clock.start();
    for (qsizetype chunk = std::max<qsizetype>((steps.size() - 1) / 2, 1); chunk >= 1; chunk /= 2) {
        for (qsizetype at = 1; at < steps.size() && clock.elapsed() < budgetMs;) {
            QStringList shorter = steps;
            shorter.remove(at, std::min(chunk, steps.size() - at));
            int failedAt = 0;
            if (!RunSequence(shorter, &failedAt).isEmpty())
                steps = shorter.mid(0, failedAt + 1);
            else
                at += chunk;
        }
        if (chunk == 1)
            break;
    }
    return steps;
}

} // namespace kestrava::test
