#include "AttrTransfer.h"
#include "CurveTransfer.h"
#include "DataTransfer.h"
#include "FailureTexts.h"
#include "PatchTransfer.h"
#include "TransferRig.h"

#include <functional>

using namespace kestrava;
using kestrava::test::TransferRig;
using namespace kestrava::test; // the failure texts

namespace {

struct Models {
    TPatchModel patches;
    TLoadAttrModel attrs;
    TCurveSet curves;
    Models() {
        patches.CurPatch = 3;
        patches.PatchChanged = true;
        attrs.LdAtrChanged = true;
        curves.CurveChanged = true;
    }
};

enum class Fault { Silent, Refused, WrongLength, Closed };

struct Op {
    const char *name;
    std::function<bool(TransferRig &, Models &)> run;
    // The request that the fault hits: the sixth of the transfer.
    std::function<QString(const Models &)> sixth;
    // Checks the models after the failure.
    std::function<void(const Models &)> after;
};

const std::vector<Op> &ops() {
    static const std::vector<Op> table = {
        {"fetch patch",
         [](TransferRig &r, Models &m) { return FetchCurrentPatch(r.env, m.patches); },
         [](const Models &) { return QStringLiteral("Q005"); },
         [](const Models &m) {
             QVERIFY(!m.patches.PatchInSync[3]);
             QVERIFY(m.patches.PatchChanged);
             QCOMPARE(m.patches.Patches[3][0], 0); // blocks before the failure stay
             QCOMPARE(m.patches.Patches[3][1023], pvNone);
         }},
        {"fetch attributes",
         [](TransferRig &r, Models &m) { return FetchLoadAttrs(r.env, m.attrs); },
         [](const Models &) { return QStringLiteral("Q505"); },
         [](const Models &m) {
             QVERIFY(!m.attrs.LdAtrInSync);
             QVERIFY(!m.attrs.LdAtrChanged);
         }},
        {"fetch curves", [](TransferRig &r, Models &m) { return FetchCurves(r.env, m.curves); },
         [](const Models &) { return QStringLiteral("Q605"); },
         [](const Models &m) { QVERIFY(!m.curves.CurvesInSync); }},
        {"fetch all patches",
         [](TransferRig &r, Models &m) { return FetchAllPatches(r.env, m.patches); },
         [](const Models &) { return QStringLiteral("Q003"); },
         [](const Models &m) {
             QCOMPARE(m.patches.CurPatch, 3);
             QVERIFY(!m.patches.PatchInSync[0]);
         }},
        {"send all patches",
         [](TransferRig &r, Models &m) { return SendAllPatches(r.env, m.patches); },
         [](const Models &m) { return PatchBlockCommand(m.patches.Patches[0], 4).chopped(1); },
         [](const Models &m) {
             for (bool s : m.patches.PatchInSync)
                 QVERIFY(!s);
         }},
        {"send current patch",
         [](TransferRig &r, Models &m) { return SendCurrentPatch(r.env, m.patches); },
         [](const Models &m) { return PatchBlockCommand(m.patches.Patches[3], 5).chopped(1); },
         [](const Models &m) { QVERIFY(m.patches.PatchChanged); }},
        {"write attributes",
         [](TransferRig &r, Models &m) { return WriteLoadAttrs(r.env, m.attrs); },
         [](const Models &m) { return LoadAttrBlockCommand(m.attrs.LoadAttrs, 5).chopped(1); },
         [](const Models &m) {
             QVERIFY(m.attrs.LdAtrChanged);
             QVERIFY(!m.attrs.LdAtrInSync);
         }},
        {"write curves", [](TransferRig &r, Models &m) { return WriteCurves(r.env, m.curves); },
         [](const Models &m) { return CurveTableBlockCommand(m.curves, 5).chopped(1); },
         [](const Models &m) {
             QVERIFY(m.curves.CurveChanged);
             QVERIFY(!m.curves.CurvesInSync);
         }},
        {"load all data",
         [](TransferRig &r, Models &m) {
             return TransferLoadedAllData(r.env, m.patches, m.attrs, m.curves);
         },
         [](const Models &m) { return PatchBlockCommand(m.patches.Patches[0], 3).chopped(1); },
         [](const Models &m) {
             QVERIFY(m.attrs.LdAtrChanged);
             QVERIFY(m.curves.CurveChanged);
         }},
    };
    return table;
}

} // namespace

Q_DECLARE_METATYPE(Fault)

class TestTransferFaults : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void faults_data() {
        QTest::addColumn<int>("op");
        QTest::addColumn<Fault>("fault");
        QTest::addColumn<QStringList>("boxes");
        QTest::addColumn<bool>("linkedAfter");
        const QStringList fetch{kFetchFailed};
        struct Row {
            int op;
            Fault fault;
            QStringList boxes;
            bool linked;
        };
        const QList<Row> rows = {
            {0, Fault::Silent, fetch, true},
            {0, Fault::Refused, fetch, true},
            {0, Fault::WrongLength, fetch, true},
            {0, Fault::Closed, fetch, true},
            {1, Fault::Silent, fetch, true},
            {1, Fault::Refused, fetch, true},
            {1, Fault::WrongLength, fetch, true},
            {1, Fault::Closed, fetch, true},
            {2, Fault::Silent, fetch, true},
            {2, Fault::Refused, fetch, true},
            {2, Fault::WrongLength, fetch, true},
            {2, Fault::Closed, fetch, true},
            // R002, P000, Q000..Q003, then the fault ends the walk; putting the unit back on
            // its patch meets the silence
            {3, Fault::Silent, {kFetchFailed, kNoResponse}, false},
            {3, Fault::Refused, {kFetchFailed}, true},
            {3, Fault::WrongLength, {kFetchFailed}, true},
            {3, Fault::Closed, {kFetchFailed, kNoResponse}, false},
            {4, Fault::Silent, {kNoResponse}, false},
            {4, Fault::Refused, {}, true},
            {4, Fault::WrongLength, {}, true},
            {4, Fault::Closed, {kNoResponse}, false},
            {5, Fault::Silent, {kNoResponse}, false},
            {5, Fault::Refused, {}, true},
            {6, Fault::Silent, {kNoResponse, kWriteFailed}, false},
            {6, Fault::Refused, {kWriteFailed}, true},
            {6, Fault::WrongLength, {kWriteFailed}, true},
            {6, Fault::Closed, {kNoResponse, kWriteFailed}, false},
            {7, Fault::Silent, {kNoResponse, kTransferFailed}, false},
            {7, Fault::Refused, {kTransferFailed}, true},
            {7, Fault::WrongLength, {kTransferFailed}, true},
            {7, Fault::Closed, {kNoResponse, kTransferFailed}, false},
            {8, Fault::Silent, {kNoResponse, kAllDataFailed}, false},
            {8, Fault::Refused, {kAllDataFailed}, true},
            {8, Fault::Closed, {kNoResponse, kAllDataFailed}, false},
        };
        const char *faultNames[] = {"silent", "refused", "wrong length", "closed"};
        for (const Row &row : rows)
            QTest::addRow("%s, %s", ops()[std::size_t(row.op)].name, faultNames[int(row.fault)])
                << row.op << row.fault << row.boxes << row.linked;
    }

    void faults() {
        QFETCH(int, op);
        QFETCH(Fault, fault);
        QFETCH(QStringList, boxes);
        QFETCH(bool, linkedAfter);
        const Op &o = ops()[std::size_t(op)];
        TransferRig r;
        QVERIFY(r.ready());
        Models m;
        const QString sixth = o.sixth(m);
        const bool ack = sixth.startsWith(u'S');
        switch (fault) {
        case Fault::Silent:
            r.sim.setSilentAfter(5);
            break;
        case Fault::Closed:
            r.sim.setCloseAfter(5);
            break;
        case Fault::Refused:
            r.sim.setRefused({sixth});
            break;
        case Fault::WrongLength:
            r.sim.setReplyOverride(sixth, ack ? QByteArray("!!\r") : QByteArray(47, '0') + '\r');
            break;
        }
        QVERIFY(!o.run(r, m));
        QCOMPARE(r.boxes.texts(), boxes);
        QCOMPARE(r.link.Linked, linkedAfter);
        QCOMPARE(r.progress.open, 0); // the bracket is always closed
        QVERIFY(!r.link.Transferring);
        QCOMPARE(r.link.BusyCount, 0);
        o.after(m);
        // nothing that closes a transfer follows its failure
        const QStringList log = r.sim.requestLog();
        QVERIFY(!log.contains(QStringLiteral("WA")));
        QVERIFY(!log.contains(QStringLiteral("WC")));
        if ((op == 3 || op == 8) && linkedAfter) {
            // the unit is put back on the shown patch, out of the transfer mode; a load that
            // did not reach the unit reads the shown memory again
            const qsizetype realign = log.lastIndexOf(QStringLiteral("P003"));
            QCOMPARE(log.mid(realign, 2), (QStringList{"P003", "R001"}));
            QCOMPARE(log.size() - realign, op == 8 ? 2 + 64 : 2);
        } else if (op != 3) {
            QVERIFY(!log.contains(QStringLiteral("R001")));
        }
    }
};

QTEST_GUILESS_MAIN(TestTransferFaults)
#include "tst_transferfaults.moc"
