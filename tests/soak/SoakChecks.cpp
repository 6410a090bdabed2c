#include "Soak.h"

#include "CurveTransfer.h"
#include "DataSetDiff.h"
#include "WireCodes.h"

#include <QEventLoop>
#include <QTest>
#include <QTimer>

#include <ctime>

// The rules the window must keep after every step, and the final write and read back.
namespace kestrava::test {

namespace {

constexpr int kAttrDomain = Soak::kAttrDomain;
constexpr int kCurveDomain = Soak::kCurveDomain;
constexpr int kDomains = Soak::kDomains;
// The link gives up after about a second of silence; more than this between two requests of
// one step is a wait the user should not have had.
constexpr qint64 kLongestWaitMs = 1500;
// Idle, the window handles its timers' own events: Timer1's ten ticks and two polls come to
// about 35 a second. The CPU they take is 0.02 s at most in a build as shipped; without
// optimisation, and with the sanitizers, the same work takes several times longer.
constexpr int kIdleEvents = 80;
#ifdef __OPTIMIZE__
constexpr double kBuildSlowness = 1.0;
#else
constexpr double kBuildSlowness = 2.5;
#endif
#ifdef KESTRAVA_SANITIZED
constexpr double kIdleCpuSeconds = 0.02 * kBuildSlowness * 2;
#else
constexpr double kIdleCpuSeconds = 0.02 * kBuildSlowness;
#endif

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

// Counts the events the window's thread handles.
class EventCounter : public QObject {
public:
    EventCounter() { QCoreApplication::instance()->installEventFilter(this); }
    ~EventCounter() override { QCoreApplication::instance()->removeEventFilter(this); }
    int count = 0;

protected:
    bool eventFilter(QObject *, QEvent *) override {
        ++count;
        return false;
    }
};

struct IdleSecond {
    double cpu;
    int events;
    bool quiet() const { return cpu <= kIdleCpuSeconds && events <= kIdleEvents; }
};

// One second of the window's own event loop, as when nobody touches it: QTest::qWait wakes
// a hundred times a second and would be measured with the window.
IdleSecond measureIdleSecond() {
    QEventLoop idle;
    QTimer::singleShot(1000, &idle, &QEventLoop::quit);
    const EventCounter events;
    const double before = threadCpuSeconds();
    idle.exec();
    return {threadCpuSeconds() - before, events.count};
}

} // namespace
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

void Soak::afterStep(bool lossy, const Snapshot &before, bool readsFetch) {
    // Blocks read and written in this step, by domain.
    int patch = before.unitPatch;
    std::array<int, kDomains> reads{};
    std::array<int, kDomains> writes{};
    int run = 0; // blocks of the shown patch read in a row, with no edit after them
    for (const QString &r : rig_->unit.requestLog()) {
        if (!readsFetch && r.startsWith(u'Q'))
            continue;
        if (r == u"C" || r == u"T" || (r.startsWith(u'S') && r.size() != 4 + kBlockDigits) ||
            (r.startsWith(u'S') && r.at(1) == u'4'))
            run = 0;
        bool ok = false;
        const int address = r.mid(1, 3).toInt(&ok, 16);
        if (!ok)
            continue;
        if (r.size() == 4 && r.startsWith(u'P'))
            patch = address;
        if (r.size() == 4 && r.startsWith(u'P'))
            run = 0;
        else if (r.size() == 4 && r.startsWith(u'Q') && address <= 0x03F)
            ++run;
        if (!r.startsWith(u'Q') && !(r.startsWith(u'S') && r.size() == 4 + kBlockDigits))
            continue;
        auto &count = r.startsWith(u'Q') ? reads : writes;
        const int base = address & 0xF00;
        if ((base == 0x000 || base == 0x400) && IsPatchIndex(patch))
            ++count[std::size_t(patch)];
        else if (base == 0x500)
            ++count[kAttrDomain];
        else if (base == 0x600)
            ++count[kCurveDomain];
    }
    readWhole_ = !lossy && run >= 64 && patch == rig_->patches().CurPatch;
    const Snapshot after = snapshot();
    for (int d = 0; d < kDomains; ++d) {
        const int whole = d == kCurveDomain ? 68 : 64;
        const int read = reads[std::size_t(d)];
        // Read whole, in a step without a lost answer: known again.
        if (!lossy && read >= whole) {
            std::erase_if(excused_, [d](const Entry &e) { return e.domain == d; });
            std::erase_if(unread_, [d](const Entry &e) { return e.domain == d; });
        }
        // A fetch that fails part-way keeps what it read and what memory held before, and
        // clears no mark: as prescribed, so excused until the next whole read.
        const bool fetchFailed = read > 0 && read < whole && writes[std::size_t(d)] == 0;
        for (int at = 0; at < after.memory[std::size_t(d)].size(); ++at) {
            const auto differs = [&](const Snapshot &x) {
                return x.memory[std::size_t(d)][at] != x.unit[std::size_t(d)][at];
            };
            const auto moved = [&](const std::array<QList<int>, kDomains> &x,
                                   const std::array<QList<int>, kDomains> &y) {
                return x[std::size_t(d)][at] != y[std::size_t(d)][at];
            };
            if (fetchFailed && differs(after))
                unread_.insert({d, at});
            if (lossy && (moved(before.memory, after.memory) || moved(before.unit, after.unit)))
                excused_.insert({d, at});
        }
    }
}

// The first entry where a and b differ that no lost answer (nor, in memory, a failed fetch)
// excuses; -1 when none.
int Soak::differsAt(const QList<int> &a, const QList<int> &b, int domain, bool inMemory) const {
    for (int at = 0; at < a.size(); ++at)
        if (a[at] != b[at] && !excused_.count({domain, at}) &&
            !(inMemory && unread_.count({domain, at})))
            return at;
    return -1;
}

bool Soak::checkUnit(QString *failure) const {
    const TUnitLink &link = rig_->link();
    if (!link.Linked || link.EditMode)
        return true;
    const TPatchModel &p = rig_->patches();
    const TLoadAttrModel &a = rig_->attrs();
    const TCurveSet &c = rig_->curves();
    if (readWhole_ && p.PatchChanged) {
        *failure = QStringLiteral("patch %1 was read whole from the unit and is still marked "
                                  "changed")
                       .arg(p.CurPatch + 1);
        return false;
    }
    const Snapshot now = snapshot();
    for (int d = 0; d < kDomains; ++d) {
        const QList<int> &mem = now.memory[std::size_t(d)];
        const QList<int> &unit = now.unit[std::size_t(d)];
        const int at = differsAt(mem, unit, d, true);
        if (at < 0)
            continue;
        // Shown data that differs must say it was changed; other memories must not claim to
        // hold what the unit holds.
        const bool marked = d == p.CurPatch    ? p.PatchChanged
                            : d < PatchCount   ? !p.PatchInSync[std::size_t(d)]
                            : d == kAttrDomain ? a.LdAtrChanged
                                               : c.CurveChanged;
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

bool Soak::checkUntouched(const Snapshot &before, QString *failure) const {
    const Snapshot now = snapshot();
    for (int d = 0; d < kDomains; ++d) {
        const QList<int> &was = before.unit[std::size_t(d)];
        const QList<int> &is = now.unit[std::size_t(d)];
        if (was != is) {
            *failure =
                QStringLiteral("unlinked, a step changed the unit's %1 at %2")
                    .arg(domainName(d))
                    .arg(std::mismatch(was.begin(), was.end(), is.begin()).first - was.begin());
            return false;
        }
    }
    return true;
}

void Soak::noteSave() {
    const TPatchModel &p = rig_->patches();
    atSave_ = std::make_unique<SavedView>(SavedView{TDataSet{p, rig_->attrs(), rig_->curves()},
                                                    {},
                                                    rig_->link().Linked && !rig_->link().EditMode,
                                                    rig_->unit.memory()});
    if (p.HasCurrent())
        atSave_->changed[std::size_t(p.CurPatch)] = p.PatchChanged;
    atSave_->changed[kAttrDomain] = rig_->attrs().LdAtrChanged;
    atSave_->changed[kCurveDomain] = rig_->curves().CurveChanged;
}

bool Soak::checkSavedFile(QString *failure) {
    if (!atSave_ || !QFileInfo::exists(lastSave_))
        return true;
    const SavedView view = std::move(*std::exchange(atSave_, nullptr));
    const FileKind kind = FileKindOf(lastSave_);
    const TLoadFile file = ReadLoadFile(kind, lastSave_, view.shown.patches.CurPatch);
    TDataSet onFile = view.shown;
    if (!file.Usable() || !file.LayOver(onFile.patches, onFile.attrs, onFile.curves)) {
        *failure = QStringLiteral("the saved %1 does not read back").arg(lastSave_);
        return false;
    }
    const auto diffs =
        DiffDataSets(HeldSections(kind, file.read.found), file.read.found, view.shown, onFile);
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
    // Saved while linked, the file stands for the unit: what it holds that the window does
    // not mark as changed must be what the unit holds.
    const TReadReport &held = file.read.found;
    const Parts parts{onFile.patches, onFile.attrs, onFile.curves};
    for (int d = 0; d < kDomains && view.standsForUnit; ++d) {
        const bool holds = d < PatchCount     ? held.patchSections[std::size_t(d)]
                           : d == kAttrDomain ? held.attributeSection
                                              : held.curveSections.any();
        if (holds && !view.changed[std::size_t(d)] &&
            differsAt(memoryCodes(parts, d), unitCodes(view.unit, d), d, false) >= 0) {
            *failure = QStringLiteral("the saved %1 holds %2 that the unit does not hold")
                           .arg(QFileInfo(lastSave_).fileName(), domainName(d));
            return false;
        }
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
    // A window that keeps itself busy is busy every second; one slow second of a shared
    // machine is not that.
    IdleSecond least{1.0, 1 << 30};
    for (int tries = 0; tries < 3 && !least.quiet(); ++tries) {
        const IdleSecond second = measureIdleSecond();
        least = {std::min(least.cpu, second.cpu), std::min(least.events, second.events)};
    }
    if (!least.quiet()) {
        *failure = QStringLiteral("idle for a second, the window used %1 s of CPU and handled "
                                  "%2 events")
                       .arg(least.cpu)
                       .arg(least.events);
        return false;
    }
    return true;
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
    // What the window shows as the unit's (data a failed fetch left out of sync it does not
    // claim), written whole and read back.
    const TPatchModel &p = rig_->patches();
    const Parts parts{p, rig_->attrs(), rig_->curves()};
    std::array<QList<int>, kDomains> shown;
    std::array<bool, kDomains> claimed{};
    for (int d = 0; d < kDomains; ++d) {
        shown[std::size_t(d)] = memoryCodes(parts, d);
        // A patch is written by its edits and stored whole, so only one read in full counts.
        claimed[std::size_t(d)] = d < PatchCount ? p.PatchInSync[std::size_t(d)]
                                  : d == kAttrDomain
                                      ? rig_->attrs().LdAtrInSync || rig_->attrs().LdAtrChanged
                                      : rig_->curves().CurvesInSync || rig_->curves().CurveChanged;
    }
    const Page pages[] = {Page::Patch, Page::Attr, Page::Curve};
    const ActionId writes[] = {ActionId::WritePatAction, ActionId::WriteLdAtrAction,
                               ActionId::WriteCurveAction};
    for (int k = 0; k < 3; ++k) {
        rig_->boxes.queueAnswer(IDYES);
        form.ShowPage(pages[k]);
        form.ExecuteAction(writes[k]);
    }
    if (!rig_->link().Linked)
        return true; // the writes found the line hung up earlier: nothing was written whole
    const sim::UnitMemory written = unit.memory();
    // Read back as the user reads everything again: a reconnect forgets and fetches.
    form.ExecuteAction(ActionId::ReConnectAction);
    const Snapshot now = snapshot();
    for (int d = 0; d < kDomains; ++d) {
        const bool fetched = d >= PatchCount || d == p.CurPatch;
        // What a command whose answer was lost touched may be either value until now.
        if (claimed[std::size_t(d)] &&
            (differsAt(unitCodes(written, d), shown[std::size_t(d)], d, false) >= 0 ||
             (fetched &&
              differsAt(now.memory[std::size_t(d)], shown[std::size_t(d)], d, false) >= 0))) {
            *failure = QStringLiteral("after writing everything and reading it back, %1 is not "
                                      "what the window showed")
                           .arg(domainName(d));
            return false;
        }
    }
    excused_.clear();
    unread_.clear();
    return checkUnit(failure);
}

} // namespace kestrava::test
