#include "Soak.h"

#include "DataSetDiff.h"
#include "OptDlg.h"
#include "SheetPrint.h"
#include "TextLines.h"

#include <QFile>
#include <QTest>

namespace kestrava::test {

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
    // Unlinked, only a reconnect may talk the unit into anything (a replug powers it up anew).
    const bool mustNotWrite = !rig_->link().Linked && !rig_->link().EditMode &&
                              words.value(0) != u"restart" && words.value(1) != u"ReConnectAction";
    rig_->unit.clearLog();
    {
        const std::lock_guard lock(timesMutex_);
        requestTimes_.clear();
    }
    run(words);
    const qint64 ended = clock_.elapsed();
    if (!lastSave_.isEmpty())
        noteSave();
    QTest::qWait(150); // the timer's tick and poll, as between a user's clicks
    if (qEnvironmentVariableIsSet("KESTRAVA_SOAK_VERBOSE"))
        qInfo().noquote() << line << "|" << rig_->unit.requestLog().mid(0, 6).join(u' ')
                          << rig_->unit.requestLog().size() << "|"
                          << rig_->boxes.texts().join(u" / ").replace(u'\n', u' ');
    const bool hungUp = rig_->unit.lineClosed(); // its waits never reach the unit's log
    const bool lossy = faultFired();
    rig_->unit.clearFaults();
    if (rig_->unit.lineClosed())
        rig_->unit.start(); // plugged in again, on the same path
    rig_->boxes.clear();
    // A comparison reads the unit for itself: memory and its marks stay as they were.
    afterStep(lossy, before, !(words.value(0) == u"history" && words.value(1) != u"load"));
    const bool ok = (words.value(0) == u"restart" || hungUp || checkWaits(ended, failure)) &&
                    (!mustNotWrite || hungUp || checkUntouched(before, failure)) &&
                    checkUnit(failure) && checkSavedFile(failure) &&
                    (steps_ % 8 != 0 || checkIdle(failure));
    lastSave_.clear();
    atSave_.reset();
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
    else if (kind == u"refuseall")
        unit.setFaultAt(n, sim::UnitSim::Fault::RefuseFrom);
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
    // a patch sheet of patch 4, as the export writes it
    QFile sheet(pathOf(QStringLiteral("sheet.csv")));
    if (sheet.open(QIODevice::WriteOnly))
        sheet.write(SheetCsv(MemoryPatchSheet(d.patches, d.attrs, 4)));
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
