#include "DrawGrid.h"
#include "PatchSheetFile.h"
#include "PatchTable.h"
#include "TextLines.h"
#include "UiRigs.h"

#include <QComboBox>
#include <QToolButton>

#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QMimeData>
#include <QMouseEvent>
#include <QPageLayout>
#include <QPrinter>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

using namespace kestrava;
using kestrava::test::ScriptedResponder;

// The patch page driven with the keyboard and the mouse, linked to a simulated unit.
class TestPatchPage : public QObject {
    Q_OBJECT

    std::unique_ptr<test::PatchPageRig> rig_;

    TDrawGrid *grid() const { return widget<TDrawGrid>("PatTableGrid"); }
    template <class W>
    W *widget(const char *name) const {
        return rig_->window.findChild<W *>(QLatin1String(name));
    }
    TPatchTable &table() const { return rig_->patchPage->Table(); }
    sim::UnitSim &unit() const { return rig_->unit; }
    TPatchModel &patches() const { return rig_->patches; }
    void toggleAb() {
        rig_->settings.DispAbCh = !rig_->settings.DispAbCh;
        rig_->patchPage->SettingsChanged();
    }

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
        rig_ = std::make_unique<test::PatchPageRig>();
        QVERIFY(rig_->link.Linked);
        QVERIFY(test::ShowActive(rig_->window));
        unit().clearLog();
    }
    void cleanup() { rig_.reset(); }

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
        QTRY_COMPARE(patches().Patches[0][0], entry);
        QCOMPARE(unit().requestLog(), QStringList{request});
        QVERIFY(patches().PatchChanged);
        QCOMPARE(grid()->col(), 2); // the cursor moved on to output 2
        QTRY_VERIFY(rig_->status->panelText(3).contains(QStringLiteral("  変更有")));
    }

    // Escape leaves everything as it was before the editor opened.
    void escapeCancelsTheEdit_data() {
        QTest::addColumn<int>("mode");
        QTest::addColumn<int>("selected");  // outputs 1.. selected before the edit
        QTest::addColumn<QString>("typed"); // before Escape; empty: F2 opens the editor
        QTest::newRow("output-to-input, one output, F2") << 0 << 1 << "";
        QTest::newRow("output-to-input, outputs 1-4, F2") << 0 << 4 << "";
        QTest::newRow("output-to-input, outputs 1-4, typed") << 0 << 4 << "25";
        QTest::newRow("output-to-input, one output, typed") << 0 << 1 << "full";
        QTest::newRow("input-to-output, F2") << 1 << 0 << "";
        QTest::newRow("input-to-output, typed") << 1 << 0 << "7";
    }
    void escapeCancelsTheEdit() {
        QFETCH(int, mode);
        QFETCH(int, selected);
        QFETCH(QString, typed);
        patches().Patches[0][0] = 0; // input 1 drives output 1: a cell in both views
        rig_->settings.PatTableMode = mode;
        rig_->patchPage->SettingsChanged();
        click(1, 1);
        if (selected > 1)
            click(selected, 1, Qt::ShiftModifier);
        const QList<int> before = table().SelectedOutputs();
        const TPatch memory = patches().Patches[0];
        const QPoint cell(grid()->col(), grid()->row());
        unit().clearLog();
        if (typed.isEmpty()) {
            QTest::keyClick(grid(), Qt::Key_F2);
        } else {
            QTest::keyClick(grid(), typed.at(0).toLatin1());
            QTest::keyClicks(grid()->editor(), typed.mid(1));
        }
        QVERIFY(grid()->editorOpen());
        QTest::keyClick(grid()->editor(), Qt::Key_Escape);
        QVERIFY(!grid()->editorOpen());
        QTest::qWait(50);
        QCOMPARE(unit().requestLog(), QStringList());
        QVERIFY(rig_->boxes.boxes().isEmpty());
        QCOMPARE(patches().Patches[0], memory);
        QVERIFY(patches().UndoList.IsEmpty());
        QVERIFY(!patches().PatchChanged);
        QCOMPARE(table().SelectedOutputs(), before);
        QCOMPARE(QPoint(grid()->col(), grid()->row()), cell);
    }

    // Jumps whose target stands for no output land on the nearest output instead of
    // being refused.
    void jumpsLandOnAnOutput_data() {
        QTest::addColumn<int>("width");
        QTest::addColumn<bool>("ab");
        QTest::addColumn<int>("maxTx");
        QTest::addColumn<int>("from");
        QTest::addColumn<int>("key");
        QTest::addColumn<bool>("ctrl");
        QTest::addColumn<int>("to");
        const int pgDn = Qt::Key_PageDown, end = Qt::Key_End, home = Qt::Key_Home;
        QTest::newRow("w10: Page Down past the last output")
            << 10 << false << 1024 << 1004 << pgDn << false << 1023;
        QTest::newRow("w10: Ctrl+End") << 10 << false << 1024 << 0 << end << true << 1023;
        QTest::newRow("w10 A/B: End before the filler")
            << 10 << true << 1024 << 510 << end << false << 511;
        QTest::newRow("w10 A/B: Ctrl+End") << 10 << true << 1024 << 5 << end << true << 1023;
        QTest::newRow("w10 A/B: Ctrl+Home") << 10 << true << 1024 << 1023 << home << true << 0;
        QTest::newRow("w10 A/B, 100 outputs: Page Down")
            << 10 << true << 100 << 95 << pgDn << false << 99;
        QTest::newRow("w16: Ctrl+End") << 16 << false << 1024 << 100 << end << true << 1023;
        QTest::newRow("w16 A/B, 1000 outputs: End")
            << 16 << true << 1000 << 992 << end << false << 999;
    }
    void jumpsLandOnAnOutput() {
        QFETCH(int, width);
        QFETCH(bool, ab);
        QFETCH(int, maxTx);
        QFETCH(int, from);
        QFETCH(int, key);
        QFETCH(bool, ctrl);
        QFETCH(int, to);
        rig_->settings.PatTableWidth = width;
        rig_->settings.DispAbCh = ab;
        patches().MaxTxChannel = maxTx;
        rig_->patchPage->SettingsChanged();
        table().MoveCursorToOutput(from);
        QCOMPARE(table().CurrentCellOutput(), from);
        QTest::keyClick(grid(), Qt::Key(key), ctrl ? Qt::ControlModifier : Qt::NoModifier);
        QCOMPARE(table().CurrentCellOutput(), to);
        QVERIFY(table().IsSelected(to));
    }

    void rangeTypedIntoSelection() {
        click(3, 1);                    // output 3
        click(6, 1, Qt::ShiftModifier); // outputs 3..6
        QCOMPARE(table().SelectedCount(), 4);
        type("20");
        QCOMPARE(unit().requestLog(), (QStringList{"S002013", "S003013", "S004013", "S005013"}));
        // written outputs are deselected; the cursor's arrival on output 7 selects it
        QCOMPARE(table().SelectedCount(), 1);
        QVERIFY(table().IsSelected(6));
        QCOMPARE(grid()->col(), 7);
        // undo puts the memory back and writes it to the unit
        unit().clearLog();
        QTest::keyClick(grid(), Qt::Key_Z, Qt::ControlModifier);
        QTRY_COMPARE_WITH_TIMEOUT(unit().requestLog().size(), 65, 2000);
        QCOMPARE(unit().requestLog().last(), QStringLiteral("WP"));
        QCOMPARE(patches().Patches[0][3], 3);
    }

    void selectionWithCtrlAndDrag() {
        TPatchTable *table = &rig_->patchPage->Table();
        click(2, 1);
        click(5, 1, Qt::ControlModifier);
        click(8, 2, Qt::ControlModifier);
        QCOMPARE(table->SelectedCount(), 3);
        QVERIFY(table->IsSelected(1) && table->IsSelected(4) && table->IsSelected(17));
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
            QVERIFY(table->IsSelected(o));
        // a filler cell cannot be selected: width 10 with A/B, row 52 holds outputs 511, 512
        toggleAb();
        QCOMPARE(grid()->rowCount(), 105);
        click(1, 52);
        QCOMPARE(table->CurrentCellOutput(), 510);
        click(5, 52);
        QCOMPARE(grid()->col(), 1); // refused
        QCOMPARE(table->CurrentCellOutput(), 510);
        toggleAb();
        QCOMPARE(grid()->rowCount(), 104);
        QCOMPARE(unit().requestLog().filter(QRegularExpression("^[SO]")), QStringList());
    }

    // Shift with nothing selected is a plain click, which sets the anchor for the next one.
    void shiftClickWithNothingSelected() {
        rig_->patchPage->DropSelection();
        QCOMPARE(table().SelectedCount(), 0);
        click(5, 1, Qt::ShiftModifier);
        QCOMPARE(table().SelectedOutputs(), QList<int>{4});
        click(7, 1, Qt::ShiftModifier);
        QCOMPARE(table().SelectedOutputs(), (QList<int>{4, 5, 6}));
    }

    void deleteKeyUnpatches() {
        click(5, 1);
        QTest::keyClick(grid(), Qt::Key_Delete);
        QCOMPARE(unit().requestLog(), QStringList{"S004FFF"});
        QCOMPARE(patches().Patches[0][4], pvNone);
    }

    void checkFollowsTheCursorAndStopsOffThePage() {
        widget<QToolButton>("CheckOnBtn")->click();
        QCOMPARE(unit().requestLog().last(), QStringLiteral("O000")); // the current cell
        click(2, 1);
        click(3, 1);
        QCOMPARE(unit().requestLog().mid(1), (QStringList{"O001", "O002"}));
        rig_->patchPage->Leaving(); // the window leaves the page
        QCOMPARE(unit().requestLog().last(), QStringLiteral("OFFF"));
        QVERIFY(widget<QToolButton>("CheckOffBtn")->isChecked());
    }

    void patchSwitchAsksAboutChanges_data() {
        QTest::addColumn<int>("answer");
        QTest::addColumn<int>("patchAfter");
        QTest::addColumn<bool>("targetInSync");
        QTest::newRow("yes writes") << int(IDYES) << 1 << false;
        QTest::newRow("no keeps the change") << int(IDNO) << 1 << false;
        QTest::newRow("cancel stays") << int(IDCANCEL) << 0 << false;
        QTest::newRow("no onto a patch in sync") << int(IDNO) << 1 << true;
    }
    void patchSwitchAsksAboutChanges() {
        QFETCH(int, answer);
        QFETCH(int, patchAfter);
        QFETCH(bool, targetInSync);
        patches().PatchInSync[1] = targetInSync;
        click(1, 1);
        type("7");
        rig_->boxes.queueAnswer(answer);
        unit().clearLog();
        QComboBox *combo = widget<QComboBox>("PatNoCombo");
        combo->setCurrentIndex(1);
        QCOMPARE(rig_->boxes.texts(),
                 QStringList{QStringLiteral("パッチ1の変更内容を書き込みますか?")});
        QCOMPARE(patches().CurPatch, patchAfter);
        QCOMPARE(combo->currentIndex(), patchAfter);
        QCOMPARE(unit().requestLog().contains("WP"), answer == IDYES);
        // fetching patch 2 clears the flag after No; Cancel keeps patch 1, and a patch in
        // sync is not fetched
        QCOMPARE(patches().PatchChanged, answer == IDCANCEL || targetInSync);
        QVERIFY(patches().UndoList.IsEmpty()); // emptied also on Cancel
        if (answer != IDCANCEL)
            QVERIFY(unit().requestLog().contains("P001"));
    }

    // Outputs 2 and 5 are patched to input 3, output 7 is FULL.
    void goToAndFind_data() {
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>("keys");   // G or F, then the text typed into the dialog
        QTest::addColumn<QPoint>("cell");    // the current cell afterwards
        QTest::addColumn<QList<int>>("sel"); // the outputs selected afterwards
        QTest::addColumn<QString>("box");
        QTest::newRow("go to 12") << 0 << "G12" << QPoint(2, 2) << QList<int>{11} << "";
        QTest::newRow("go to B001") << 0 << "Gb001" << QPoint(3, 52) << QList<int>{512} << "";
        QTest::newRow("go to 1025")
            << 0 << "G1025" << QPoint(1, 1) << QList<int>{} << "値が範囲外です";
        QTest::newRow("go to, input-to-output") << 1 << "G5" << QPoint(2, 3) << QList<int>{} << "";
        QTest::newRow("find 3") << 0 << "F3" << QPoint(2, 1) << QList<int>{1, 4} << "";
        QTest::newRow("find full") << 0 << "Ffull" << QPoint(7, 1) << QList<int>{6} << "";
        QTest::newRow("find an input nothing uses")
            << 0 << "F9" << QPoint(1, 1) << QList<int>{} << "9 にパッチされた出力はありません";
        QTest::newRow("find x") << 0 << "Fx" << QPoint(1, 1) << QList<int>{}
                                << "不正な入力チャンネルです";
        QTest::newRow("find 3, input-to-output") << 1 << "F3" << QPoint(1, 3) << QList<int>{} << "";
    }
    void goToAndFind() {
        QFETCH(int, mode);
        QFETCH(QString, keys);
        QFETCH(QPoint, cell);
        QFETCH(QList<int>, sel);
        QFETCH(QString, box);
        patches().Patches[0].fill(pvNone);
        patches().Patches[0][1] = patches().Patches[0][4] = 2;
        patches().Patches[0][6] = pvFull;
        rig_->settings.PatTableMode = mode;
        rig_->patchPage->SettingsChanged();
        rig_->boxes.queueInput(keys.mid(1));
        grid()->setFocus();
        QTest::keyClick(grid(), keys[0].toLatin1(), Qt::ControlModifier);
        QCOMPARE(QPoint(grid()->col(), grid()->row()), cell);
        QCOMPARE(table().SelectedOutputs(), sel);
        QCOMPARE(rig_->boxes.texts(), box.isEmpty() ? QStringList{} : QStringList{box});
    }

    // Through the real clipboard: twelve outputs copied as twelve rows, a two-column block
    // pasted onto exactly its outputs, one undo puts them back, redo again, and a fetch
    // leaves nothing to redo.
    void clipboardPasteUndoRedo() {
        patches().Patches[0][3] = pvFull; // the rest as fetched: output n from input n
        sim::UnitMemory held = unit().memory();
        held.patches[0][3] = 0x8FF;
        unit().setMemory(held);
        table().SelectOutputs({0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11});
        QTest::keyClick(grid(), Qt::Key_C, Qt::ControlModifier);
        const QMimeData *copied = QGuiApplication::clipboard()->mimeData();
        const QStringList rows = copied->text().split(u'\n', Qt::SkipEmptyParts);
        QCOMPARE(rows.size(), 12);
        QCOMPARE(rows[0], QStringLiteral("1\t1"));
        QCOMPARE(rows[3], QStringLiteral("4\tFULL"));
        QVERIFY(copied->html().contains(QStringLiteral("<td>12</td><td>12</td>")));

        const sim::UnitMemory before = unit().memory();
        QString block;
        for (int o = 101; o <= 112; ++o)
            block += QStringLiteral("%1\t%2\r\n").arg(o).arg(o - 50);
        QGuiApplication::clipboard()->setText(block);
        QTest::keyClick(grid(), Qt::Key_V, Qt::ControlModifier);
        sim::UnitMemory pasted = before;
        for (int o = 100; o < 112; ++o)
            pasted.patches[0][std::size_t(o)] = o + 1 - 50 - 1;
        QCOMPARE(unit().memory().patches[0], pasted.patches[0]);
        QCOMPARE(patches().UndoList.Count(), 1);

        QTest::keyClick(grid(), Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(unit().memory().patches[0], before.patches[0]);
        QTest::keyClick(grid(), Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(unit().memory().patches[0], pasted.patches[0]);
        QTest::keyClick(grid(), Qt::Key_Z, Qt::ControlModifier);
        QVERIFY(!patches().RedoList.IsEmpty());
        patches().MarkUnsent(0);
        rig_->actions.Execute(ActionId::GetTableAction);
        QVERIFY(patches().RedoList.IsEmpty());
    }

    // A sheet of one patch is laid on the patch shown whatever it names; of a sheet of
    // several, only the rows of the patch shown.
    void loadSheet_data() {
        QTest::addColumn<QString>("sheet");
        QTest::addColumn<int>("output2"); // the entry of output 2 afterwards
        QTest::addColumn<QString>("box");
        const QString header = QStringLiteral("patch,output,output_ab,input,input_ab,attribute\n");
        QTest::newRow("headerless") << "2,b001\n" << 512 << "";
        QTest::newRow("one patch, another number") << header + "5,2,A002,FULL,FULL,\n"
                                                   << int(pvFull) << "";
        QTest::newRow("several patches") << header + "2,2,A002,9,A009,\n1,2,A002,7,A007,\n"
                                         << 6 << "";
        QTest::newRow("several, none the shown one")
            << header + "2,2,A002,9,A009,\n3,2,A002,7,A007,\n"
            << 1 << "パッチ1の行がありません";
    }
    void loadSheet() {
        QFETCH(QString, sheet);
        QFETCH(int, output2);
        QFETCH(QString, box);
        const QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("plan.csv"));
        QVERIFY(SaveTextLines(file, sheet.split(u'\n')));
        rig_->boxes.queueFile(file);
        QVERIFY(rig_->actions.Execute(ActionId::LoadSheetAction));
        QCOMPARE(patches().Patches[0][1], output2);
        QCOMPARE(unit().memory().patches[0][1], output2 == pvFull ? 0x8FF : output2);
        QCOMPARE(rig_->boxes.texts(), box.isEmpty() ? QStringList{} : QStringList{box});
    }

    // The printed sheet of a patch takes at most four A4 pages, one when few are patched.
    void printFitsA4_data() {
        QTest::addColumn<bool>("patchedOnly");
        QTest::addColumn<int>("pages");
        QTest::newRow("every output") << false << 4;
        QTest::newRow("patched only") << true << 1;
    }
    void printFitsA4() {
        QFETCH(bool, patchedOnly);
        QFETCH(int, pages);
        for (int o = 0; o < 1024; ++o)
            patches().Patches[0][o] = o < 200 ? (o % 7 == 0 ? pvFull : 1023 - o) : pvNone;
        const QTemporaryDir dir;
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(dir.filePath(QStringLiteral("sheet.pdf")));
        printer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                          QMarginsF(10, 10, 10, 10), QPageLayout::Millimeter));
        const QString html = CurrentPatchSheetHtml(patches(), rig_->attrs, rig_->link, patchedOnly);
        QVERIFY(html.contains(QStringLiteral("unit firmware")));
        QCOMPARE(PrintSheetHtml(html, printer), pages);
        QVERIFY(QFileInfo(printer.outputFileName()).size() > 0);
    }

    // Ctrl+V, Ctrl+C and Ctrl+Z in a text field belong to the field.
    void shortcutsLeaveTextFields_data() {
        QTest::addColumn<QString>("field");
        QTest::newRow("cell editor") << "";
        QTest::newRow("FromChEdit") << "FromChEdit";
        QTest::newRow("ToChEdit") << "ToChEdit";
    }
    void shortcutsLeaveTextFields() {
        QFETCH(QString, field);
        click(1, 1);
        QLineEdit *edit = nullptr;
        if (field.isEmpty()) {
            QTest::keyClick(grid(), Qt::Key_F2);
            edit = qobject_cast<QLineEdit *>(grid()->editor());
        } else {
            edit = widget<QLineEdit>(field.toLatin1().constData());
            edit->setFocus();
        }
        QVERIFY(edit && edit->hasFocus());
        const QString before = edit->text();
        QGuiApplication::clipboard()->setText(QStringLiteral("42"));
        QTest::keyClick(edit, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(edit->text().trimmed(), QStringLiteral("42"));
        QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(edit, Qt::Key_C, Qt::ControlModifier);
        QTest::keyClick(edit, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(edit->text(), before);
        QCOMPARE(QGuiApplication::clipboard()->text().trimmed(), QStringLiteral("42"));
        QVERIFY(unit().requestLog().isEmpty());
        QVERIFY(patches().UndoList.IsEmpty());
    }
};

QTEST_MAIN(TestPatchPage)
#include "tst_patchpage.moc"
