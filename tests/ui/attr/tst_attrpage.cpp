#include "AppSettings.h"
#include "AttrCellLook.h"
#include "AttrPage.h"
#include "AttrTable.h"
#include "DrawGrid.h"
#include "UiRigs.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QFrame>
#include <QImage>
#include <QScrollBar>
#include <QSet>
#include <QTabWidget>
#include <QTest>
#include <QToolButton>

using namespace kestrava;
using kestrava::test::ScriptedResponder;

namespace {

const QString kInitQuestion = QStringLiteral("負荷属性を初期化(全てNormal)しますか");

TAttrCellInput lookInput(const TLoadAttrs &attrs, bool ab = false, int mode = 0) {
    return {attrs, ab, mode, Qt::white, Qt::black, Qt::darkBlue, Qt::yellow, Qt::darkGray};
}

// The device pixels of one row (horizontal) or column of an image.
QList<QRgb> scanLine(const QImage &image, int at, bool horizontal) {
    QList<QRgb> line;
    const int n = horizontal ? image.width() : image.height();
    for (int i = 0; i < n; ++i)
        line.append(horizontal ? image.pixel(i, at) : image.pixel(at, i));
    return line;
}

// Lengths of the runs of one colour along a line.
QList<int> runsOf(const QList<QRgb> &line, QRgb colour) {
    QList<int> runs;
    for (int i = 0; i < line.size(); ++i) {
        if (line[i] != colour)
            continue;
        int j = i;
        while (j < line.size() && line[j] == colour)
            ++j;
        runs.append(j - i);
        i = j;
    }
    return runs;
}

} // namespace

// The load attribute page driven with the keyboard and the mouse, linked to a
// simulated unit, and its cells' looks.
class TestAttrPage : public QObject {
    Q_OBJECT

    std::unique_ptr<test::AttrPageRig> rig_;

    TDrawGrid *grid() const { return rig_->window.findChild<TDrawGrid *>("LdAtrGrid"); }
    QComboBox *combo() const { return rig_->window.findChild<QComboBox *>("SelCrvComboBox"); }
    QFrame *panel() const { return rig_->window.findChild<QFrame *>("InpCrvPanel"); }
    TAttrTable &table() const { return rig_->attrPage->Table(); }
    TLoadAttrs &codes() const { return rig_->attrs.LoadAttrs; }
    bool selectorShown() const { return panel()->isVisible(); }

    void click(int col, int row, Qt::KeyboardModifiers mods = {}) {
        grid()->scrollToCell(col, row);
        QTest::mouseClick(grid()->viewport(), Qt::LeftButton, mods,
                          grid()->cellRect(col, row).center());
    }
    // As a real double click arrives: a click, then the double click.
    void doubleClick(int col, int row) {
        click(col, row);
        const QPoint at = grid()->cellRect(col, row).center();
        QTest::mouseDClick(grid()->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseRelease(grid()->viewport(), Qt::LeftButton, {}, at);
    }
    void chooseByClick(int item) {
        QAbstractItemView *list = combo()->view();
        QVERIFY(list->isVisible());
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                          list->visualRect(list->model()->index(item, 0)).center());
    }
    void chooseByKeys(int item) {
        QAbstractItemView *list = combo()->view();
        QVERIFY(list->isVisible());
        for (int i = combo()->currentIndex(); i < item; ++i)
            QTest::keyClick(list, Qt::Key_Down);
        QTest::keyClick(list, Qt::Key_Return);
    }
    void selectRows(const QString &how, int from, int to) {
        click(1, from);
        if (how == "shift-click") {
            click(1, to, Qt::ShiftModifier);
        } else if (how == "shift-keys") {
            for (int r = from; r != to; r += to > from ? 1 : -1)
                QTest::keyClick(grid(), to > from ? Qt::Key_Down : Qt::Key_Up, Qt::ShiftModifier);
        } else if (how == "shift-click, drawn") { // both ends of the range painted selected
            click(1, to, Qt::ShiftModifier);
            const QImage shot = grid()->viewport()->grab().toImage();
            for (const int r : {from, to}) {
                const QRect cell = grid()->cellRect(1, r);
                QCOMPARE(shot.pixelColor(cell.right() - 8, cell.center().y()),
                         grid()->palette().color(QPalette::Highlight));
            }
        } else if (how == "held below") { // past the bottom edge until the grid scrolls to `to`
            QWidget *vp = grid()->viewport();
            QVERIFY(grid()->cellRect(1, to).isEmpty());
            QTest::mousePress(vp, Qt::LeftButton, {}, grid()->cellRect(1, from).center());
            QTest::mouseMove(vp, QPoint(vp->width() / 2, vp->height() + 20));
            QTRY_VERIFY(table().LastSelectedRow() >= to);
            QTest::mouseMove(vp, grid()->cellRect(1, to).center());
            QTest::mouseRelease(vp, Qt::LeftButton, {}, grid()->cellRect(1, to).center());
        } else { // a drag, both ends in view
            grid()->scrollToCell(1, to);
            grid()->scrollToCell(1, from);
            QWidget *vp = grid()->viewport();
            QTest::mousePress(vp, Qt::LeftButton, {}, grid()->cellRect(1, from).center());
            QTest::mouseMove(vp, grid()->cellRect(1, (from + to) / 2).center());
            QTest::mouseMove(vp, grid()->cellRect(1, to).center());
            QTest::mouseRelease(vp, Qt::LeftButton, {}, grid()->cellRect(1, to).center());
        }
    }
    void expectUnchanged(const TLoadAttrs &before) {
        QCOMPARE(codes(), before);
        QVERIFY(!rig_->attrs.LdAtrChanged);
        QVERIFY(!selectorShown());
        QCOMPARE(table().Selector()->EditRange().first, -1);
        QCOMPARE(rig_->unit.requestLog(), QStringList());
    }

private Q_SLOTS:
    void init() {
        rig_ = std::make_unique<test::AttrPageRig>();
        QVERIFY(rig_->link.Linked);
        QVERIFY(test::ShowActive(rig_->window));
        rig_->attrPage->Activated();
    }
    void cleanup() { rig_.reset(); }

    // --- The look of a cell -------------------------------------------------------

    void dataCellLook_data() {
        QTest::addColumn<int>("code");
        QTest::addColumn<bool>("selected");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("fill"); // window, highlight, on/off, curve
        QTest::newRow("Normal") << 128 << false << "Normal"
                                << "window";
        QTest::newRow("On/Off") << 129 << false << "On/Off"
                                << "on/off";
        QTest::newRow("user curve 1") << 0 << false << "User 1"
                                      << "curve";
        QTest::newRow("user curve 4") << 3 << false << "User 4"
                                      << "curve";
        QTest::newRow("a code the unit sent, not one of the six") << 7 << false << "User 8"
                                                                  << "curve";
        QTest::newRow("selected Normal") << 128 << true << "Normal"
                                         << "highlight";
        QTest::newRow("selected curve") << 2 << true << "User 3"
                                        << "highlight";
        // Not only apart: On/Off in its colour, and the curve beside it in the curves' one.
        QTest::newRow("On/Off and the curves as drawn") << 129 << false << "On/Off"
                                                        << "#ddcccc #ccdddd";
    }
    void dataCellLook() {
        QFETCH(int, code);
        QFETCH(bool, selected);
        QFETCH(QString, text);
        QFETCH(QString, fill);
        TLoadAttrs attrs;
        attrs.fill(laNormal);
        attrs[41] = code;
        attrs[42] = 1; // a user curve for comparison
        attrs[43] = laOnOff;
        const TAttrCellInput in = lookInput(attrs);
        const TCellLook look = AttrCellLook(in, 1, 42, selected);
        QCOMPARE(look.text, text);
        QVERIFY(look.align & Qt::AlignLeft);
        QCOMPARE(look.textColor, selected ? in.highlightText : in.windowText);
        QVERIFY(!look.edge);
        const QColor curve = AttrCellLook(in, 1, 43, false).fill;
        const QColor onOff = AttrCellLook(in, 1, 44, false).fill;
        QVERIFY(curve != in.window && onOff != in.window && curve != onOff);
        if (fill == "window")
            QCOMPARE(look.fill, in.window);
        else if (fill == "highlight")
            QCOMPARE(look.fill, in.highlight);
        else if (fill.startsWith(u'#'))
            QCOMPARE((QList<QColor>{look.fill, curve}),
                     (QList<QColor>{QColor(fill.left(7)), QColor(fill.mid(8))}));
        else
            QCOMPARE(look.fill, fill == "curve" ? curve : onOff);
    }

    void rowLabels_data() {
        QTest::addColumn<int>("output"); // 0-based
        QTest::addColumn<bool>("ab");
        QTest::addColumn<QString>("label");
        QTest::addColumn<bool>("lineB");
        QTest::newRow("1") << 0 << false << "1" << false;
        QTest::newRow("A001") << 0 << true << "A001" << false;
        QTest::newRow("512") << 511 << false << "512" << false;
        QTest::newRow("A512") << 511 << true << "A512" << false;
        QTest::newRow("513 without A/B is no line B") << 512 << false << "513" << false;
        QTest::newRow("B001") << 512 << true << "B001" << true;
        QTest::newRow("B512") << 1023 << true << "B512" << true;
    }
    void rowLabels() {
        QFETCH(int, output);
        QFETCH(bool, ab);
        QFETCH(QString, label);
        QFETCH(bool, lineB);
        TLoadAttrs attrs;
        attrs.fill(laNormal);
        const TAttrCellInput in = lookInput(attrs, ab);
        const TCellLook look = AttrCellLook(in, 0, output + 1, false);
        QCOMPARE(look.text, label);
        QVERIFY(look.align & Qt::AlignRight);
        QCOMPARE(look.textColor, in.buttonText);
        const QColor lineA = AttrCellLook(in, 0, 1, false).fill;
        QCOMPARE(look.fill != lineA, lineB);
        QVERIFY(look.fill != AttrCellLook(in, 0, 0, false).fill); // not the header's tint
    }

    void fixedCellEdges_data() {
        QTest::addColumn<int>("col");
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("mode"); // the patch table's view
        QTest::addColumn<bool>("edge");
        QTest::newRow("output header, view 0") << 0 << 0 << 0 << true;
        QTest::newRow("output header, view 1") << 0 << 0 << 1 << true;
        QTest::newRow("label, view 1") << 0 << 700 << 1 << true;
        QTest::newRow("curve header, view 0") << 1 << 0 << 0 << true;
        QTest::newRow("curve header, view 1") << 1 << 0 << 1 << false;
        QTest::newRow("data cell") << 1 << 5 << 0 << false;
    }
    void fixedCellEdges() {
        QFETCH(int, col);
        QFETCH(int, row);
        QFETCH(int, mode);
        QFETCH(bool, edge);
        TLoadAttrs attrs;
        attrs.fill(laNormal);
        QCOMPARE(AttrCellLook(lookInput(attrs, false, mode), col, row, false).edge, edge);
    }

    // At a display scale of 1.5 the lines stay one device pixel wide and no pixel
    // takes a colour that painting at scale 1 does not have (a blend of two fills).
    void sharpAtScaleOneAndAHalf() {
        for (int o = 0; o < LoadAttrCount; ++o)
            codes()[std::size_t(o)] = o % 4 == 1 ? laOnOff : o % 4 == 2 ? (o / 4) % 4 : laNormal;
        rig_->settings.DispAbCh = true;
        rig_->attrPage->SettingsChanged();
        click(1, 3);
        click(1, 6, Qt::ShiftModifier);
        QWidget *vp = grid()->viewport();
        const auto render = [vp](qreal scale) {
            QImage image(vp->size() * scale, QImage::Format_ARGB32_Premultiplied);
            image.setDevicePixelRatio(scale);
            image.fill(Qt::magenta); // what no cell paints
            vp->render(&image);
            return image;
        };
        const QImage one = render(1.0);
        const QImage half = render(1.5);
        const QRgb line = grid()->palette().color(QPalette::Mid).rgb();
        QSet<QRgb> colours;
        for (int y = 0; y < one.height(); ++y)
            for (int x = 0; x < one.width(); ++x)
                colours.insert(one.pixel(x, y));
        QVERIFY(!colours.contains(QColor(Qt::magenta).rgb()));
        // Lines across the rows through a text-free strip of every cell, and down
        // column 1 right of its texts.
        const QRect cell = grid()->cellRect(1, 2);
        const int rowY = int((cell.top() + 1) * 1.5) + 1;
        const int colX = int((cell.right() - 6) * 1.5);
        const QList<QRgb> across = scanLine(half, rowY, true);
        const QList<QRgb> down = scanLine(half, colX, false);
        for (const QList<QRgb> *scan : {&across, &down})
            for (const QRgb pixel : *scan)
                QVERIFY2(colours.contains(pixel), qPrintable(QColor(pixel).name()));
        QCOMPARE(runsOf(across, line), QList<int>({1, 1}));
        const int rowLines = runsOf(scanLine(one, cell.right() - 6, false), line).size();
        QVERIFY(rowLines > 10);
        QCOMPARE(runsOf(down, line), QList<int>(rowLines, 1));
    }

    // --- The selector ------------------------------------------------------------

    void rangeSetFromTheSelector_data() {
        QTest::addColumn<QString>("select");
        QTest::addColumn<int>("from");
        QTest::addColumn<int>("to");
        QTest::addColumn<QString>("open");
        QTest::addColumn<QString>("choose");
        QTest::newRow("shift-click, Enter, click") << "shift-click" << 10 << 20 << "Enter"
                                                   << "click";
        QTest::newRow("upwards with Shift+Up, command, keys")
            << "shift-keys" << 20 << 10 << "command"
            << "keys";
        QTest::newRow("drag, Enter, keys") << "drag" << 10 << 20 << "Enter"
                                           << "keys";
        QTest::newRow("drag upwards, command, click") << "drag" << 20 << 10 << "command"
                                                      << "click";
        QTest::newRow("shift-click seen, Enter, keys")
            << "shift-click, drawn" << 10 << 20 << "Enter"
            << "keys";
        QTest::newRow("drag held below the grid, Enter, click")
            << "held below" << 10 << 20 << "Enter"
            << "click";
    }
    void rangeSetFromTheSelector() {
        QFETCH(QString, select);
        QFETCH(int, from);
        QFETCH(int, to);
        QFETCH(QString, open);
        QFETCH(QString, choose);
        const TLoadAttrs before = codes();
        selectRows(select, from, to);
        QCOMPARE(table().CurrentRow(), from);
        QCOMPARE(table().FirstSelectedRow(), 10);
        QCOMPARE(table().LastSelectedRow(), 20);
        if (open == "Enter")
            QTest::keyClick(grid(), Qt::Key_Return);
        else
            QVERIFY(rig_->actions.Execute(ActionId::ChgLdAtrAction));
        QVERIFY(selectorShown());
        QCOMPARE(panel()->geometry(), grid()->cellRect(1, from));
        QCOMPARE(combo()->currentIndex(), 0); // the current row's Normal
        if (choose == "click")
            chooseByClick(4);
        else
            chooseByKeys(4);
        TLoadAttrs expected = before;
        std::fill(expected.begin() + 9, expected.begin() + 20, 2);
        QCOMPARE(codes(), expected);
        QCOMPARE(AttrCellLook(lookInput(codes()), 1, 15, false).text, QStringLiteral("User 3"));
        QVERIFY(rig_->attrs.LdAtrChanged);
        QVERIFY(!selectorShown());
        QCOMPARE(table().Selector()->EditRange().row, -1);
        QCOMPARE(QApplication::focusWidget(), grid());
        QCOMPARE(rig_->unit.requestLog(), QStringList()); // nothing goes out before the write
    }

    // Rows 10..20 copied as output and name; names or codes pasted onto the range, one
    // filling it all; a cell that does not read changes nothing.
    void copyAndPaste_data() {
        QTest::addColumn<QString>("pasted");
        QTest::addColumn<QList<int>>("codes"); // of rows 10..21 afterwards
        QTest::addColumn<QString>("box");
        const QList<int> normal(12, 128);
        QTest::newRow("one name fills the range") << "on/off\n"
                                                  << (QList<int>(11, 129) << 128) << "";
        QTest::newRow("names and codes from the first row")
            << "10\tUser 2\n3\n129\n"
            << (QList<int>{1, 3, 129} + QList<int>(9, 128)) << "";
        QTest::newRow("a cell that does not read") << "Normal\nUser 9\n" << normal << "2 行目";
    }
    void copyAndPaste() {
        QFETCH(QString, pasted);
        QFETCH(QList<int>, codes);
        QFETCH(QString, box);
        std::fill(this->codes().begin(), this->codes().end(), laNormal);
        this->codes()[11] = 3;
        selectRows("shift-click", 10, 20);
        QTest::keyClick(grid(), Qt::Key_C, Qt::ControlModifier);
        const QStringList rows =
            QGuiApplication::clipboard()->text().split(u'\n', Qt::SkipEmptyParts);
        QCOMPARE(rows.size(), 11);
        QCOMPARE(rows[2], QStringLiteral("12\tUser 4"));
        this->codes()[11] = laNormal;
        QGuiApplication::clipboard()->setText(pasted);
        QTest::keyClick(grid(), Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(QList<int>(this->codes().begin() + 9, this->codes().begin() + 21), codes);
        QCOMPARE(rig_->attrs.LdAtrChanged, box.isEmpty());
        QCOMPARE(rig_->boxes.texts().join(u' ').contains(box), true);
        QCOMPARE(rig_->boxes.texts().isEmpty(), box.isEmpty());
    }

    void doubleClickOpensOverTheRow() {
        codes()[29] = laOnOff;
        doubleClick(1, 30);
        QVERIFY(selectorShown());
        QCOMPARE(panel()->geometry(), grid()->cellRect(1, 30));
        QCOMPARE(combo()->currentIndex(), 1);
        QVERIFY(combo()->view()->isVisible());
        chooseByClick(5);
        QCOMPARE(codes()[29], 3);
        QCOMPARE(std::count(codes().begin(), codes().end(), laNormal), LoadAttrCount - 1);
    }

    void notOpenedOutsideColumnOne_data() {
        QTest::addColumn<int>("col");
        QTest::addColumn<int>("row");
        QTest::newRow("output label") << 0 << 15;
        QTest::newRow("header") << 1 << 0;
    }
    void notOpenedOutsideColumnOne() {
        QFETCH(int, col);
        QFETCH(int, row);
        doubleClick(col, row);
        QVERIFY(!selectorShown());
        QCOMPARE(table().Selector()->EditRange().col, -1);
    }

    void closedWithoutChange_data() {
        QTest::addColumn<QString>("how");
        QTest::newRow("Escape in the open list") << "escape-list";
        QTest::newRow("Escape after the list closed") << "escape";
        QTest::newRow("a click on another row") << "click";
        QTest::newRow("the grid scrolled") << "scroll";
        QTest::newRow("the grid resized") << "resize";
    }
    void closedWithoutChange() {
        QFETCH(QString, how);
        codes()[11] = 1;
        const TLoadAttrs before = codes();
        selectRows("shift-click", 10, 14);
        QTest::keyClick(grid(), Qt::Key_Return);
        QVERIFY(selectorShown());
        if (how == "escape-list") {
            QTest::keyClick(combo()->view(), Qt::Key_Escape);
        } else if (how == "escape") {
            combo()->hidePopup();
            QVERIFY(selectorShown()); // the focus back from the list is no leaving
            QTest::keyClick(combo(), Qt::Key_Escape);
        } else if (how == "click") {
            combo()->hidePopup();
            click(1, 3);
            QCOMPARE(table().CurrentRow(), 3);
        } else if (how == "scroll") {
            grid()->verticalScrollBar()->setValue(200);
        } else {
            rig_->window.resize(rig_->window.width(), rig_->window.height() - 100);
            QTRY_VERIFY(!selectorShown());
        }
        expectUnchanged(before);
    }

    void arrowsInTheOpenListChangeNothing() {
        const TLoadAttrs before = codes();
        selectRows("shift-keys", 5, 8);
        QTest::keyClick(grid(), Qt::Key_Return);
        QAbstractItemView *list = combo()->view();
        for (const auto key : {Qt::Key_Down, Qt::Key_Down, Qt::Key_Down, Qt::Key_Up})
            QTest::keyClick(list, key);
        QVERIFY(list->isVisible());
        QCOMPARE(codes(), before);
        QVERIFY(!rig_->attrs.LdAtrChanged);
        QCOMPARE(table().Selector()->EditRange().last, 8);
        QTest::keyClick(list, Qt::Key_Escape);
        expectUnchanged(before);
    }

    void recordedRange_data() {
        QTest::addColumn<int>("first");
        QTest::addColumn<int>("last");
        QTest::addColumn<int>("index");
        QTest::addColumn<int>("setFrom"); // outputs set, 0-based; -1 none
        QTest::addColumn<int>("setTo");
        QTest::newRow("reversed") << 20 << 10 << 3 << -1 << -1;
        QTest::newRow("empty") << -1 << -1 << 3 << -1 << -1;
        QTest::newRow("no first row") << -1 << 12 << 3 << -1 << -1;
        QTest::newRow("one row") << 7 << 7 << 1 << 6 << 6;
        QTest::newRow("beyond the last output") << 1020 << 1100 << 5 << 1019 << 1023;
        QTest::newRow("no item chosen") << 10 << 12 << -1 << -1 << -1;
    }
    void recordedRange() {
        QFETCH(int, first);
        QFETCH(int, last);
        QFETCH(int, index);
        QFETCH(int, setFrom);
        QFETCH(int, setTo);
        table().ApplySelector(TEditRange{1, 10, first, last}, index);
        const LoadAttr code = index == 1 ? laOnOff : index - 2;
        for (int o = 0; o < LoadAttrCount; ++o)
            QCOMPARE(codes()[std::size_t(o)], o >= setFrom && o <= setTo ? code : laNormal);
        QVERIFY(rig_->attrs.LdAtrChanged); // set even when nothing was
    }

    // --- Delete and initialise ---------------------------------------------------

    void deleteResetsTheCurrentRow_data() {
        QTest::addColumn<int>("from");
        QTest::addColumn<int>("to"); // the other end of the selection
        QTest::addColumn<int>("after");
        QTest::newRow("one row") << 50 << 50 << 51;
        QTest::newRow("several rows selected") << 10 << 20 << 11;
        QTest::newRow("selected upwards") << 20 << 10 << 21;
        QTest::newRow("the last row") << 1024 << 1024 << 1024;
    }
    void deleteResetsTheCurrentRow() {
        QFETCH(int, from);
        QFETCH(int, to);
        QFETCH(int, after);
        codes().fill(1);
        selectRows("shift-click", from, to);
        QTest::keyClick(grid(), Qt::Key_Delete);
        QCOMPARE(codes()[std::size_t(from - 1)], laNormal);
        QCOMPARE(std::count(codes().begin(), codes().end(), laNormal), 1);
        QVERIFY(rig_->attrs.LdAtrChanged);
        QCOMPARE(table().CurrentRow(), after);
        if (after != from)
            QCOMPARE(table().LastSelectedRow() - table().FirstSelectedRow(), 0);
    }

    void initialise_data() {
        QTest::addColumn<int>("answer");
        QTest::newRow("yes") << int(IDYES);
        QTest::newRow("no") << int(IDNO);
    }
    void initialise() {
        QFETCH(int, answer);
        codes()[3] = laOnOff;
        codes()[1023] = 2;
        const TLoadAttrs before = codes();
        rig_->boxes.queueAnswer(answer);
        QVERIFY(rig_->actions.Execute(ActionId::InitLdAtrAction));
        QCOMPARE(rig_->boxes.texts(), QStringList{kInitQuestion});
        QCOMPARE(rig_->boxes.boxes().first().caption, QStringLiteral("確認"));
        const bool yes = answer == IDYES;
        QCOMPARE(std::count(codes().begin(), codes().end(), laNormal),
                 yes ? LoadAttrCount : LoadAttrCount - 2);
        QCOMPARE(codes() == before, !yes);
        QCOMPARE(rig_->attrs.LdAtrChanged, yes);
    }

    // --- To the unit ---------------------------------------------------------------

    // A technician picks User 3 for outputs 100..110 and writes: the unit holds exactly
    // those codes after "WA".
    void writtenToTheUnit() {
        selectRows("shift-keys", 100, 110);
        QTest::keyClick(grid(), Qt::Key_Return);
        chooseByClick(4);
        QVERIFY(rig_->attrs.LdAtrChanged);
        auto *button = rig_->window.findChild<QToolButton *>("WriteLdAtrBtn");
        QVERIFY(button->isVisible() && button->isEnabled());
        rig_->progress.starts.clear();
        QTest::mouseClick(button, Qt::LeftButton);
        QStringList expected;
        for (int b = 0; b < 64; ++b) {
            QString request = QStringLiteral("S%1").arg(0x500 + b, 3, 16).toUpper();
            for (int o = 16 * b; o < 16 * b + 16; ++o)
                request += o >= 99 && o <= 109 ? QStringLiteral("002") : QStringLiteral("080");
            expected << request;
        }
        expected << "WA";
        QCOMPARE(rig_->unit.requestLog(), expected);
        const sim::UnitMemory stored = rig_->unit.storedMemory();
        for (int o = 0; o < LoadAttrCount; ++o)
            QCOMPARE(stored.attributes[std::size_t(o)], codes()[std::size_t(o)]);
        QVERIFY(!rig_->attrs.LdAtrChanged);
        QVERIFY(rig_->attrs.LdAtrInSync);
        QCOMPARE(rig_->progress.starts, QStringList{"負荷属性書込中"});
        QCOMPARE(rig_->progress.open, 0);
    }

    // In the window: every kind of edit leaves the close question to ask, and Yes
    // writes; a transfer disables the grid and the selector while it runs.
    void closeQuestionAfterAnEdit_data() {
        QTest::addColumn<QString>("edit");
        QTest::newRow("Delete") << "delete";
        QTest::newRow("selector") << "selector";
        QTest::newRow("initialise") << "initialise";
    }
    void closeQuestionAfterAnEdit() {
        QFETCH(QString, edit);
        rig_.reset();
        test::FormRig rig;
        sim::UnitMemory memory = sim::UnitMemory::factoryDefault();
        memory.attributes[4] = 0x081;
        memory.attributes[700] = 0x003;
        rig.unit.setMemory(memory);
        QVERIFY(rig.showLinked());
        TKestravaForm &form = *rig.form;
        QCOMPARE(rig.attrs().LoadAttrs[700], 3); // fetched at start-up
        form.ShowPage(Page::Attr);
        auto *grid = form.findChild<TDrawGrid *>("LdAtrGrid");
        QTRY_COMPARE(QApplication::focusWidget(), grid);
        QVERIFY(!rig.attrs().LdAtrChanged);
        if (edit == "delete") {
            QTest::keyClick(grid, Qt::Key_Delete);
        } else if (edit == "selector") {
            QTest::keyClick(grid, Qt::Key_Return);
            auto *list = form.findChild<QComboBox *>("SelCrvComboBox")->view();
            QTest::keyClick(list, Qt::Key_Down);
            QTest::keyClick(list, Qt::Key_Return);
        } else {
            rig.boxes.queueAnswer(IDYES);
            form.Action(ActionId::InitLdAtrAction)->trigger();
        }
        QVERIFY(rig.attrs().LdAtrChanged);
        rig.boxes.clear();
        // The commit refused once: the write fails while the grid is off.
        rig.unit.setRefused({"WA"});
        bool offDuringWrite = false;
        rig.boxes.onBox([&](const ScriptedResponder::Box &box) {
            if (box.text == QStringLiteral("書込に失敗しました"))
                offDuringWrite =
                    !grid->isEnabled() && !form.findChild<QFrame *>("InpCrvPanel")->isEnabled();
        });
        form.Action(ActionId::WriteLdAtrAction)->trigger();
        QVERIFY(offDuringWrite);
        QVERIFY(grid->isEnabled());
        QCOMPARE(QApplication::focusWidget(), grid);
        QVERIFY(rig.attrs().LdAtrChanged);
        rig.unit.setRefused({});
        rig.boxes.clear();
        rig.unit.clearLog();
        rig.boxes.queueAnswer(IDYES);
        QVERIFY(form.close());
        QCOMPARE(rig.boxes.texts(), QStringList{"負荷属性の変更内容を書き込みますか?"});
        QCOMPARE(rig.unit.storeCount("WA"), 1);
        for (int o = 0; o < LoadAttrCount; ++o)
            QCOMPARE(rig.unit.storedMemory().attributes[std::size_t(o)],
                     rig.attrs().LoadAttrs[std::size_t(o)]);
    }
};

QTEST_MAIN(TestAttrPage)
#include "tst_attrpage.moc"
