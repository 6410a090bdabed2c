#pragma once

#include "DataSetDiff.h"
#include "UiRigs.h"

#include <QElapsedTimer>
#include <QStringList>
#include <QTemporaryDir>

#include <array>
#include <memory>
#include <mutex>
#include <random>
#include <set>

namespace kestrava {
class TOptDlg;
}

namespace kestrava::test {

// One run of the whole window against a simulated unit: steps as a user takes them, faults
// injected through the simulator, and after every step the checks that the window never
// claims what the unit does not hold. A step is one line of text, so that a sequence prints
// as it is replayed.
class Soak {
public:
    // Memory and unit as wire codes, by domain: 0..7 the patch memories, then the
    // attributes, then the curves (their tables, then their point blocks).
    static constexpr int kAttrDomain = 8;
    static constexpr int kCurveDomain = 9;
    static constexpr int kDomains = 10;

    // unitSeed: what the unit holds at power-on.
    explicit Soak(quint32 unitSeed);
    ~Soak();

    bool start(QString *failure);
    // Runs one step and checks after it; false with the broken rule in failure.
    bool step(const QString &line, QString *failure);
    // Writes everything, fetches it back and compares with what the window showed.
    bool finish(QString *failure);

    // A step chosen with the table's weights, from what the window shows now.
    QString randomStep(std::mt19937 &rng) const;

private:
    struct Entry {
        int domain; // 0..7 a patch memory, 8 the attributes, 9 the curves
        int at;
        auto operator<=>(const Entry &) const = default;
    };
    struct Snapshot {
        std::array<QList<int>, kDomains> memory;
        std::array<QList<int>, kDomains> unit;
        int unitPatch = 0;
    };
    // The window as a save left it: later in the step a poll may reconnect and forget.
    struct SavedView {
        TDataSet shown;
        std::array<bool, kDomains> changed{};
        bool standsForUnit = false; // saved linked, outside edit mode
        sim::UnitMemory unit;
    };

    void run(const QStringList &words);
    void runAttr(int from, int to, int item);
    void runGraph(const QString &verb, int a, int b, int c);
    void runOptions(int outputs, int inputs, bool warn);
    void runHistory(const QString &choice, int row);
    void restart(bool editMode);
    void arm(const QStringList &words);
    bool faultFired();
    void afterStep(bool lossy, const Snapshot &before, bool readsFetch);
    int differsAt(const QList<int> &a, const QList<int> &b, int domain, bool inMemory) const;
    bool checkUnit(QString *failure) const;
    bool checkUntouched(const Snapshot &before, QString *failure) const;
    bool checkSavedFile(QString *failure);
    bool checkWaits(qint64 ended, QString *failure);
    bool checkIdle(QString *failure);
    Snapshot snapshot() const;
    void noteSave();
    QString pathOf(const QString &name) const { return dir_.filePath(name); }
    void writeSeedFiles(quint32 seed);

    QTemporaryDir dir_;
    std::unique_ptr<FormRig> rig_;
    TOptDlg *optDlg_ = nullptr; // the window's child
    std::set<Entry> excused_;   // touched by a command whose answer was lost
    std::set<Entry> unread_;    // left by a fetch that failed part-way
    QString lastSave_;          // the file the current step saves to, if any
    std::unique_ptr<SavedView> atSave_;
    QString armed_; // the fault waiting for the next step
    int armedAt_ = 0;
    bool readWhole_ = false; // the shown patch was read whole last in the step
    int steps_ = 0;
    mutable std::mutex timesMutex_;
    QList<qint64> requestTimes_; // ms on clock_, of each request since the step began
    QElapsedTimer clock_;
};

// Runs steps until one breaks a rule or the list ends, then the final check. Returns the
// failure ("" when none); the steps run are those up to and including the failing one.
QString RunSequence(const QStringList &steps, int *failedAt = nullptr);

// Drops steps while the sequence still fails, for at most budgetMs.
QStringList CutDown(QStringList steps, qint64 budgetMs);

} // namespace kestrava::test
