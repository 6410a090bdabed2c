#include "DrawGrid.h"
#include "KestravaForm.h"
#include "PatchPage.h"
#include "PatchTable.h"
#include "ScriptedResponder.h"
#include "UnitSim.h"
#include "Usr_spbar.h"

#include <QApplication>
#include <QMouseEvent>
#include <QRegularExpression>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

using namespace kestrava;
using kestrava::test::ScriptedResponder;

// The patch page driven with the keyboard and the mouse, linked to a simulated unit.
class TestPatchPage : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;
    std::unique_ptr<sim::UnitSim> unit_;
    std::unique_ptr<ScriptedResponder> boxes_;
    std::unique_ptr<ScopedMessageResponder> scope_;
    std::unique_ptr<TKestravaForm> form_;

    TDrawGrid *grid() const { return form_->PatchSheet->PatTableGrid; }

    void click(int col, int row, Qt::KeyboardModifiers mods = {}) {
        grid()->scrollToCell(col, row);
        QTest::mouseClick(grid()->viewport(), Qt::LeftButton, mods,
                          grid()->cellRect(col, row).center());
    }
    void type(const QString &text) {
        QTest::keyClick(grid(), text.at(0).toLatin1());
        QVERIFY(grid()->editorOpen());
        QTest::keyClicks(grid()->editor(), text.mid(1));
        QTest::keyClick(grid()->editor(), Qt::Key_Return);
    }

private Q_SLOTS:
    void init() {
        unit_ = std::make_unique<sim::UnitSim>();
        QVERIFY(unit_->start());
        const QString ini = dir_.filePath("kestrava.INI");
        QFile::remove(ini);
        {
            QSettings s(ini, QSettings::IniFormat);
            s.setValue("Ports/COM9", unit_->devicePath());
            s.setValue("Serial/ComPort", 9);
        }
        boxes_ = std::make_unique<ScriptedResponder>();
        scope_ = std::make_unique<ScopedMessageResponder>(boxes_.get());
        form_ = std::make_unique<TKestravaForm>(ini);
        form_->show();
        QVERIFY(QTest::qWaitForWindowExposed(form_.get()));
        QApplication::setActiveWindow(form_.get());
        QVERIFY(QTest::qWaitForWindowActive(form_.get()));
        QTRY_VERIFY_WITH_TIMEOUT(unit_->requestLog().contains("Q802"), 5000);
        unit_->clearLog();
    }
    void cleanup() {
        form_->patches.PatchChanged = false;
        form_->close();
        form_.reset();
        scope_.reset();
        boxes_.reset();
        unit_.reset();
    }

    void typedInputsReachTheUnit_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("request");
        QTest::addColumn<int>("entry");
        QTest::newRow("12") << "12"
                            << "S00000B" << 11;
        QTest::newRow("full") << "full"
                              << "S0008FF" << int(pvFull);
        QTest::newRow("FF") << "FF"
                            << "S0008FF" << int(pvFull);
        QTest::newRow("b1") << "b1"
                            << "S000200" << 512;
    }
    void typedInputsReachTheUnit() {
        QFETCH(QString, typed);
        QFETCH(QString, request);
        QFETCH(int, entry);
        click(1, 1);
        type(typed);
        QTRY_COMPARE(form_->patches.Patches[0][0], entry);
        QCOMPARE(unit_->requestLog(), QStringList{request});
        QVERIFY(form_->patches.PatchChanged);
        QCOMPARE(grid()->col(), 2); // the cursor moved on to output 2
        QTRY_VERIFY(form_->StatusBar1->panelText(3).contains(QStringLiteral("  変更有")));
    }

    void rangeTypedIntoSelection() {
        click(3, 1);                    // output 3
        click(6, 1, Qt::ShiftModifier); // outputs 3..6
        QCOMPARE(form_->PatchSheet->Table->SelectedCount(), 4);
        type("20");
        QCOMPARE(unit_->requestLog(), (QStringList{"S002013", "S003013", "S004013", "S005013"}));
        // written outputs are deselected; the cursor's arrival on output 7 selects it
        QCOMPARE(form_->PatchSheet->Table->SelectedCount(), 1);
        QVERIFY(form_->PatchSheet->Table->SelectedOutputs()[6]);
        QCOMPARE(grid()->col(), 7);
        // undo puts the memory back and writes it to the unit
        unit_->clearLog();
        QTest::keyClick(grid(), Qt::Key_Z, Qt::ControlModifier);
        QTRY_COMPARE_WITH_TIMEOUT(unit_->requestLog().size(), 65, 2000);
        QCOMPARE(unit_->requestLog().last(), QStringLiteral("WP"));
        QCOMPARE(form_->patches.Patches[0][3], 3);
    }

    void selectionWithCtrlAndDrag() {
        TPatchTable *table = form_->PatchSheet->Table;
        click(2, 1);
        click(5, 1, Qt::ControlModifier);
        click(8, 2, Qt::ControlModifier);
        QCOMPARE(table->SelectedCount(), 3);
        QVERIFY(table->SelectedOutputs()[1] && table->SelectedOutputs()[4] &&
                table->SelectedOutputs()[17]);
        // a drag from output 5 (the last anchor was 18) to output 9 selects 5..9
        click(5, 1);
        QTest::mousePress(grid()->viewport(), Qt::LeftButton, {}, grid()->cellRect(5, 1).center());
        QMouseEvent move(QEvent::MouseMove, QPointF(grid()->cellRect(9, 1).center()),
                         grid()->viewport()->mapToGlobal(QPointF(grid()->cellRect(9, 1).center())),
                         Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(grid()->viewport(), &move);
        QTest::mouseRelease(grid()->viewport(), Qt::LeftButton, {},
                            grid()->cellRect(9, 1).center());
        QCOMPARE(table->SelectedCount(), 5);
        for (int o = 4; o <= 8; ++o)
            QVERIFY(table->SelectedOutputs()[std::size_t(o)]);
        // a filler cell cannot be selected: width 10 with A/B, row 52 holds outputs 511, 512
        form_->Action("DispABChAction")->trigger();
        QCOMPARE(grid()->rowCount(), 105);
        click(1, 52);
        QCOMPARE(table->CurrentCellOutput(), 510);
        click(5, 52);
        QCOMPARE(grid()->col(), 1); // refused
        QCOMPARE(table->CurrentCellOutput(), 510);
        form_->Action("DispABChAction")->trigger();
        QCOMPARE(grid()->rowCount(), 104);
        QCOMPARE(unit_->requestLog().filter(QRegularExpression("^[SO]")), QStringList());
    }

    void deleteKeyUnpatches() {
        click(5, 1);
        QTest::keyClick(grid(), Qt::Key_Delete);
        QCOMPARE(unit_->requestLog(), QStringList{"S004FFF"});
        QCOMPARE(form_->patches.Patches[0][4], pvNone);
    }

    void checkFollowsTheCursorAndStopsOffThePage() {
        form_->PatchSheet->CheckOnBtn->click();
        QCOMPARE(unit_->requestLog().last(), QStringLiteral("O000")); // the current cell
        click(2, 1);
        click(3, 1);
        QCOMPARE(unit_->requestLog().mid(1), (QStringList{"O001", "O002"}));
        form_->ShowPage(Page::Attr);
        QCOMPARE(unit_->requestLog().last(), QStringLiteral("OFFF"));
        QVERIFY(form_->PatchSheet->CheckOffBtn->isChecked());
    }

    void patchSwitchAsksAboutChanges_data() {
        QTest::addColumn<int>("answer");
        QTest::addColumn<int>("patchAfter");
        QTest::newRow("yes writes") << int(IDYES) << 1;
        QTest::newRow("no keeps the change") << int(IDNO) << 1;
        QTest::newRow("cancel stays") << int(IDCANCEL) << 0;
    }
    void patchSwitchAsksAboutChanges() {
        QFETCH(int, answer);
        QFETCH(int, patchAfter);
        click(1, 1);
        type("7");
        boxes_->queueAnswer(answer);
        unit_->clearLog();
        QComboBox *combo = form_->PatchSheet->PatNoCombo;
        combo->setCurrentIndex(1);
        QCOMPARE(boxes_->texts(),
                 QStringList{QStringLiteral("パッチ1の変更内容を書き込みますか?")});
        QCOMPARE(form_->patches.CurPatch, patchAfter);
        QCOMPARE(combo->currentIndex(), patchAfter);
        QCOMPARE(unit_->requestLog().contains("WP"), answer == IDYES);
        // fetching patch 2 (not yet in sync) clears the flag after No; Cancel keeps patch 1
        QCOMPARE(form_->patches.PatchChanged, answer == IDCANCEL);
        QVERIFY(form_->patches.UndoList.IsEmpty()); // emptied also on Cancel
        if (answer != IDCANCEL)
            QVERIFY(unit_->requestLog().contains("P001"));
    }
};

QTEST_MAIN(TestPatchPage)
#include "tst_patchpage.moc"
