#include "PatchLayout.h"

#include <QTest>

using namespace kestrava;

class TestPatchLayout : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void rowCounts_data() {
        QTest::addColumn<int>("width");
        QTest::addColumn<bool>("ab");
        QTest::addColumn<int>("maxTx");
        QTest::addColumn<int>("rows");
        QTest::addColumn<int>("filler"); // cells of the last row of line A without an output
        for (int w : {10, 12, 16, 20}) {
            const int perLine = (512 + w - 1) / w;
            QTest::addRow("w%d plain", w) << w << false << 1024 << 1 + (1024 + w - 1) / w << 0;
            QTest::addRow("w%d A/B", w)
                << w << true << 1024 << 1 + 2 * perLine << (512 % w ? w - 512 % w : 0);
            QTest::addRow("w%d A/B, 512 outputs", w)
                << w << true << 512 << 1 + 2 * perLine << (512 % w ? w - 512 % w : 0);
        }
        QTest::newRow("w10 plain 100 outputs") << 10 << false << 100 << 11 << 0;
    }
    void rowCounts() {
        QFETCH(int, width);
        QFETCH(bool, ab);
        QFETCH(int, maxTx);
        QFETCH(int, rows);
        QFETCH(int, filler);
        const TPatchLayout l{0, width, ab, maxTx, 1024};
        QCOMPARE(l.RowCount(), rows);
        QCOMPARE(l.ColCount(), width + 1);
        // every output has exactly one cell, and the cell gives the output back
        QList<int> seen(1024, 0);
        int empty = 0;
        for (int r = 1; r < l.RowCount(); ++r)
            for (int c = 1; c < l.ColCount(); ++c) {
                const int o = l.OutputAtCell(c, r);
                if (o < 0) {
                    ++empty;
                    continue;
                }
                ++seen[o];
                QCOMPARE(l.CellOfOutput(o), QPoint(c, r));
            }
        for (int o = 0; o < maxTx; ++o)
            QCOMPARE(seen[o], 1);
        if (maxTx == 1024) {
            const int cells = (l.RowCount() - 1) * width;
            QCOMPARE(empty, cells - 1024);
            if (ab) {
                const int lastRowOfA = (512 + width - 1) / width;
                int fillerCells = 0;
                for (int c = 1; c <= width; ++c)
                    fillerCells += l.OutputAtCell(c, lastRowOfA) < 0;
                QCOMPARE(fillerCells, filler);
            }
        }
        QCOMPARE(l.OutputAtCell(0, 1), -1);
        QCOMPARE(l.OutputAtCell(1, 0), -1);
    }

    void landmarks() {
        const TPatchLayout ab{0, 10, true, 1024, 1024};
        QCOMPARE(ab.CellOfOutput(512), QPoint(1, 53)); // B001
        QCOMPARE(ab.CellOfOutput(511), QPoint(2, 52)); // A512
        QCOMPARE(ab.OutputAtCell(3, 52), -1);
        QCOMPARE(ab.OutputAtCell(10, 52), -1);
        QCOMPARE(ab.RowCount(), 105);
        const TPatchLayout plain{0, 10, false, 1024, 1024};
        QCOMPARE(plain.RowCount(), 104);
        QCOMPARE(plain.OutputAtCell(3, 2), 12);
        const TPatchLayout i2o{1, 10, false, 1024, 512};
        QCOMPARE(i2o.RowCount(), 515);
        QCOMPARE(i2o.ColCount(), 1025);
    }

    void cellLooks_data() {
        QTest::addColumn<int>("mode");
        QTest::addColumn<int>("col");
        QTest::addColumn<int>("row");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QColor>("fill");
        const QColor window = Qt::white, workspace = Qt::darkGray, highlight = Qt::blue;
        QTest::newRow("o2i corner") << 0 << 0 << 0 << "出力" << QColor(255, 204, 204);
        QTest::newRow("o2i header") << 0 << 3 << 0 << "3" << QColor(255, 221, 221);
        QTest::newRow("o2i row header") << 0 << 0 << 2 << "11" << QColor(255, 221, 221);
        QTest::newRow("o2i patched") << 0 << 1 << 1 << "5" << window;
        QTest::newRow("o2i FULL") << 0 << 2 << 1 << "FULL" << QColor(255, 170, 170);
        QTest::newRow("o2i unpatched") << 0 << 3 << 1 << "" << QColor(170, 170, 204);
        QTest::newRow("o2i selected") << 0 << 4 << 1 << "" << highlight;
        QTest::newRow("o2i under check") << 0 << 5 << 1 << "" << QColor(255, 0, 0);
        QTest::newRow("o2i beyond outputs") << 0 << 1 << 100 << "" << workspace;
        QTest::newRow("i2o corner") << 1 << 0 << 0 << "入力" << QColor(204, 255, 204);
        QTest::newRow("i2o input header") << 1 << 0 << 5 << "5" << QColor(221, 255, 221);
        QTest::newRow("i2o FULL header") << 1 << 0 << 1025 << "常時" << QColor(204, 255, 255);
        QTest::newRow("i2o empty header") << 1 << 0 << 1026 << "空" << QColor(204, 204, 204);
        QTest::newRow("i2o input 5 row") << 1 << 1 << 5 << "1" << window;
        QTest::newRow("i2o FULL row") << 1 << 1 << 1025 << "2" << QColor(255, 170, 170);
        QTest::newRow("i2o empty row") << 1 << 1 << 1026 << "3" << QColor(170, 170, 204);
        QTest::newRow("i2o no second output") << 1 << 2 << 5 << "" << workspace;
    }
    void cellLooks() {
        QFETCH(int, mode);
        QFETCH(int, col);
        QFETCH(int, row);
        QFETCH(QString, text);
        QFETCH(QColor, fill);
        TPatchModel m;
        m.CurPatch = 0;
        m.MaxTxChannel = 990;
        m.Patches[0].fill(7);
        m.Patches[0][0] = 4;      // output 1 from input 5
        m.Patches[0][1] = pvFull; // output 2 at full
        m.Patches[0][2] = pvNone; // output 3 not patched
        m.Patches[0][3] = pvNone;
        m.Patches[0][4] = pvNone;
        std::array<bool, 1024> selected{};
        selected[3] = true;
        const TPatchLayout l{mode, 10, false, m.MaxTxChannel, 1024};
        TPatchCellInput in{l,        m,          selected,  4,         Qt::darkGray,
                           Qt::blue, Qt::yellow, Qt::white, Qt::black, Qt::black};
        const TPatchCellLook look = PatchCellLook(in, col, row, false);
        QCOMPARE(look.text, text);
        QCOMPARE(look.fill, fill);
    }

    void nothingWithoutACurrentPatch() {
        TPatchModel m;
        m.CurPatch = -1;
        std::array<bool, 1024> selected{};
        const TPatchLayout l;
        TPatchCellInput in{l, m, selected, -1, {}, {}, {}, {}, {}, {}};
        QVERIFY(!PatchCellLook(in, 1, 1, false).drawn);
        QVERIFY(PatchCellLook(in, 0, 1, false).drawn); // headers still are
    }

    // The index the input-to-output view paints from gives what scanning the memory gives.
    void outputsByInputAgreeWithTheMemory_data() {
        QTest::addColumn<QString>("pattern");
        QTest::newRow("all unpatched") << "none";
        QTest::newRow("one-to-one") << "through";
        QTest::newRow("shared inputs, FULL and gaps") << "mixed";
        QTest::newRow("every output on input 1024") << "last";
    }
    void outputsByInputAgreeWithTheMemory() {
        QFETCH(QString, pattern);
        TPatchModel m;
        m.CurPatch = 0;
        TPatch &p = m.Patches[0];
        for (int o = 0; o < OutputCount; ++o) {
            PatchEntry v = pvNone;
            if (pattern == "through")
                v = o;
            else if (pattern == "last")
                v = OutputCount - 1;
            else if (pattern == "mixed")
                v = o % 10 == 9 ? pvFull : o % 7 == 6 ? pvNone : (o / 3) % 50;
            p[std::size_t(o)] = v;
        }
        TOutputsByInput index;
        index.Build(p);
        const int ns[] = {-1, 0, 1, 2, 3, 7, 50, 342, 1023, OutputCount, OutputCount + 1};
        for (int row = 0; row <= m.MaxRxChannel + 3; ++row)
            for (const int n : ns)
                QCOMPARE(index.Nth(m.RowValue(row), n), m.NthOutputOf(m.RowValue(row), n));
    }
};

QTEST_GUILESS_MAIN(TestPatchLayout)
#include "tst_patchlayout.moc"
