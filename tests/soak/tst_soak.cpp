#include "Soak.h"

#include <QFile>
#include <QTest>

using namespace kestrava::test;

// The whole window under random use and random faults, against a simulated unit.
// KESTRAVA_SOAK_SEED and KESTRAVA_SOAK_SECONDS choose the run; a failing run prints its
// sequence cut down, ready to be a row of sequencesThatFailed.
class TestSoak : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void randomUse() {
        const quint64 seed = qEnvironmentVariable("KESTRAVA_SOAK_SEED").toULongLong(nullptr, 0);
        const qint64 budgetMs = qEnvironmentVariableIntValue("KESTRAVA_SOAK_SECONDS") * 1000LL;
        std::mt19937 rng(std::uint32_t(seed ^ (seed >> 32)));
        QElapsedTimer clock;
        clock.start();
        int steps = 0;
        int runs = 0;
        while (clock.elapsed() < budgetMs || runs == 0) {
            ++runs;
            // Runs of a few dozen steps: a failure then cuts down in reasonable time.
            QStringList sequence{QStringLiteral("unit %1").arg(rng())};
            Soak soak(sequence.first().section(u' ', 1).toUInt());
            QString failure;
            bool ok = soak.start(&failure);
            for (int n = 20 + int(rng() % 40); ok && n > 0; --n, ++steps) {
                sequence.append(soak.randomStep(rng));
                ok = soak.step(sequence.last(), &failure);
            }
            if (ok)
                ok = soak.finish(&failure);
            if (!ok) {
                qInfo().noquote() << "seed" << seed << "failed after" << steps + 1
                                  << "steps:" << failure << "\n"
                                  << "as run:\n  " << sequence.join(u"\n  ");
                const QStringList cut = CutDown(sequence, 240'000);
                qInfo().noquote() << "cut down, failing with:" << RunSequence(cut)
                                  << "\n        QTest::newRow(\"...\") << QStringList{\"" +
                                         cut.join(u"\",\n            \"") + "\"};";
                QFAIL(qPrintable(failure));
            }
        }
        qInfo().noquote() << "seed" << seed << ":" << runs << "runs," << steps << "steps in"
                          << clock.elapsed() / 1000 << "s";
    }

    // Sequences the soak found, cut down: each broke a rule once.
    void sequencesThatFailed_data() {
        QTest::addColumn<QStringList>("steps");
        // A reconnect from edit mode fetched nothing and showed emptied memory as the unit's.
        QTest::newRow("edit mode, reconnect") << QStringList{"unit 168495843", "restart edit"};
        // A save's walk could not put the unit back on the shown patch, and the next typed
        // edit reached another memory.
        QTest::newRow("walk not put back, edit") << QStringList{
            "unit 89797473", "fault refuseall 438 a:y a:n",
            "act SaveAllPatAction f:s18.pat a:n a:c", "type PatTableGrid 6 21 FF a:y a:c"};
        // The unit refused a patch switch: the window showed the new memory as the unit's.
        QTest::newRow("switch refused, edit") << QStringList{"unit 89797473", "fault refuse 1",
                                                             "patch 3", "type PatTableGrid 2 2 FF"};
        // An undo refused part-way left the unit holding a mix the window did not show.
        QTest::newRow("undo refused part-way") << QStringList{
            "unit 1536251849", "type PatTableGrid 4 23 A72", "fault refuse 4", "act UndoPatAction"};
        // A curve written, then fetched at start-up: its table was recalculated from its points
        // and shown, unmarked, as the unit's.
        QTest::newRow("curve fetched, recalculated") << QStringList{
            "unit 270475118", "page 2 a:c a:c", "mode 2", "addp 16 96", "restart a:y"};
    }
    void sequencesThatFailed() {
        QFETCH(QStringList, steps);
        QCOMPARE(RunSequence(steps), QString());
    }

    // A sequence from a file, one step a line (KESTRAVA_SOAK_REPLAY), run as the rows run.
    void replay() {
        QFile file(qEnvironmentVariable("KESTRAVA_SOAK_REPLAY"));
        if (!file.open(QIODevice::ReadOnly))
            QSKIP("no sequence to replay");
        const QStringList steps =
            QString::fromUtf8(file.readAll()).split(u'\n', Qt::SkipEmptyParts);
        int failedAt = -1;
        const QString failure = RunSequence(steps, &failedAt);
        QVERIFY2(failure.isEmpty(),
                 qPrintable(QStringLiteral("step %1: %2").arg(failedAt).arg(failure)));
    }
};

QTEST_MAIN(TestSoak)
#include "tst_soak.moc"
