#include "ComPortMap.h"
#include "OptDlg.h"
#include "QtDialogResponder.h"
#include "ScriptedResponder.h"

#include <QApplication>
#include <QMessageBox>
#include <QSettings>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using namespace kestrava;
using kestrava::test::ScriptedResponder;

namespace {

const QStringList kPorts = {QStringLiteral("1: USB Serial (ttyUSB0)"),
                            QStringLiteral("3: FT232R USB UART (ttyUSB1)")};

class PluggedDevices : public ComDeviceSource {
public:
    QList<ComDevice> present;
    QList<ComDevice> presentDevices() const override { return present; }
};

ComDevice usbDevice(const QString &name) {
    return {name, "/dev/" + name, {}, QStringLiteral("FT232R USB UART"), {}, {}};
}

} // namespace

class TestOptDlg : public QObject {
    Q_OBJECT

    ScriptedResponder boxes;
    TOptDlg *dlg = nullptr;

    QLineEdit *edit(const QString &name) { return dlg->findChild<QLineEdit *>(name); }
    QPushButton *button(const char *name) {
        return dlg->findChild<QPushButton *>(QLatin1String(name));
    }
    static void retype(QLineEdit *e, const QString &text) {
        e->setFocus();
        e->selectAll();
        QTest::keyClick(e, Qt::Key_Delete);
        QTest::keyClicks(e, text);
    }
    static bool isRed(const QLineEdit *e) {
        return e->palette().color(QPalette::Text) == QColor(Qt::red);
    }

    // The dialog as the program fills it, warning through answers.
    void open(MessageResponder &answers) {
        dlg = new TOptDlg(TBoxes(answers));
        dlg->Load(kPorts, 3, 512, 256, true);
        dlg->show();
        dlg->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(dlg));
    }

private Q_SLOTS:
    void init() {
        boxes.clear();
        open(boxes);
    }
    void cleanup() {
        delete dlg;
        dlg = nullptr;
    }

    void editTextColourFollowsRange_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("red");
        for (const char *name : {"MaxRxChEdit", "MaxTxChEdit"}) {
            const auto row = [name](const char *typed, const char *text, bool red) {
                QTest::addRow("%s %s", name, typed)
                    << QString::fromLatin1(name) << QString::fromLatin1(typed)
                    << QString::fromLatin1(text) << red;
            };
            row("0", "0", true);
            row("1025", "1025", true);
            row("", "", true);
            row("1", "1", false);
            row("1024", "1024", false);
            row("12a34x5", "1234", true); // digits only, four at most
            row("-7", "7", false);
        }
    }
    void editTextColourFollowsRange() {
        QFETCH(QString, name);
        QFETCH(QString, typed);
        QFETCH(QString, text);
        QFETCH(bool, red);
        QLineEdit *e = edit(name);
        QVERIFY(!isRed(e));
        retype(e, QStringLiteral("9999")); // start from red so both directions are seen
        QVERIFY(isRed(e));
        retype(e, typed);
        QCOMPARE(e->text(), text);
        QCOMPARE(isRed(e), red);
        if (!red)
            QCOMPARE(e->palette().color(QPalette::Text),
                     QApplication::palette(e).color(QPalette::Text));
    }

    void leavingRedEditWarnsOnceAndKeepsFocus_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("text");
        for (const char *name : {"MaxRxChEdit", "MaxTxChEdit"})
            for (const char *text : {"0", "1025", ""})
                QTest::addRow("%s '%s'", name, text)
                    << QString::fromLatin1(name) << QString::fromLatin1(text);
    }
    void leavingRedEditWarnsOnceAndKeepsFocus() {
        QFETCH(QString, name);
        QFETCH(QString, text);
        QLineEdit *e = edit(name);
        retype(e, text);
        QTest::keyClick(e, Qt::Key_Tab);
        QTRY_COMPARE(boxes.boxes().size(), 1);
        QTest::qWait(50);
        QCOMPARE(boxes.boxes().size(), 1);
        QCOMPARE(boxes.boxes()[0].kind, MsgKind::Warning);
        QCOMPARE(boxes.boxes()[0].caption, QStringLiteral("警告"));
        QCOMPARE(boxes.boxes()[0].text,
                 QStringLiteral("入力した数値[") + text + QStringLiteral("]は範囲を超えています"));
        QTRY_COMPARE(QApplication::focusWidget(), e);
    }

    void leavingNormalEditIsQuiet() {
        retype(edit(QStringLiteral("MaxRxChEdit")), QStringLiteral("100"));
        QTest::keyClick(edit(QStringLiteral("MaxRxChEdit")), Qt::Key_Tab);
        QTest::qWait(50);
        QVERIFY(boxes.boxes().isEmpty());
        QCOMPARE(QApplication::focusWidget(), edit(QStringLiteral("MaxTxChEdit")));
    }

    // Another window coming to the front is not leaving the edit.
    void deactivationIsNotLeaving() {
        QLineEdit *e = edit(QStringLiteral("MaxRxChEdit"));
        retype(e, QStringLiteral("0"));
        QWidget other;
        other.show();
        other.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&other));
        QVERIFY(!e->hasFocus());
        QTest::qWait(50);
        QVERIFY(boxes.boxes().isEmpty());
    }

    // With the real box, its own window taking the focus must not count as leaving.
    void realWarningBoxDoesNotRepeat() {
        QtDialogResponder real;
        delete dlg;
        open(real);
        QStringList shown;
        QTimer answer;
        connect(&answer, &QTimer::timeout, this, [&shown] {
            if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
                shown << box->text();
                box->button(QMessageBox::Ok)->click();
            }
        });
        answer.start(10);
        QLineEdit *e = edit(QStringLiteral("MaxTxChEdit"));
        retype(e, QStringLiteral("0"));
        QTest::keyClick(e, Qt::Key_Tab);
        QTRY_COMPARE(shown.size(), 1);
        QTest::qWait(200);
        QCOMPARE(shown, QStringList(QStringLiteral("入力した数値[0]は範囲を超えています")));
        // The test platform does not hand activation back after the box; the focus
        // child is what the window shows once it is active again.
        QTRY_COMPARE(dlg->focusWidget(), e);
    }

    void okRefusedWhileOutOfRange_data() {
        QTest::addColumn<QString>("name");
        QTest::newRow("inputs") << "MaxRxChEdit";
        QTest::newRow("outputs") << "MaxTxChEdit";
    }
    void okRefusedWhileOutOfRange() {
        QFETCH(QString, name);
        QLineEdit *e = edit(name);
        retype(e, QStringLiteral("1025"));
        button("OKBtn")->click();
        QTest::keyClick(e, Qt::Key_Return); // the default button
        dlg->done(QDialog::Accepted);
        QVERIFY(dlg->isVisible());
        QVERIFY(boxes.boxes().isEmpty());
        retype(e, QStringLiteral("1024"));
        button("OKBtn")->click();
        QVERIFY(!dlg->isVisible());
        QCOMPARE(dlg->result(), int(QDialog::Accepted));
        QCOMPARE(name == QLatin1String("MaxRxChEdit") ? dlg->MaxRxText() : dlg->MaxTxText(),
                 QStringLiteral("1024"));
    }

    void cancelAlwaysCloses_data() {
        QTest::addColumn<int>("how");
        QTest::newRow("cancel clicked") << 0;
        QTest::newRow("escape") << 1;
        QTest::newRow("window closed") << 2;
    }
    void cancelAlwaysCloses() {
        QFETCH(int, how);
        QLineEdit *e = edit(QStringLiteral("MaxRxChEdit"));
        retype(e, QStringLiteral("0"));
        if (how == 0) { // the events of a real click come apart
            QTest::mousePress(button("CancelBtn"), Qt::LeftButton);
            QTest::qWait(20);
            QTest::mouseRelease(button("CancelBtn"), Qt::LeftButton);
        } else if (how == 1)
            QTest::keyClick(e, Qt::Key_Escape);
        else
            dlg->close();
        QVERIFY(!dlg->isVisible());
        QCOMPARE(dlg->result(), int(QDialog::Rejected));
        QTest::qWait(50);
        QVERIFY(boxes.boxes().isEmpty());
    }

    void loadFillsEveryControl_data() {
        QTest::addColumn<int>("port");
        QTest::addColumn<int>("index");
        QTest::addColumn<int>("maxRx");
        QTest::addColumn<QString>("rxText");
        QTest::addColumn<bool>("warn");
        QTest::newRow("port 3") << 3 << 1 << 100 << "100" << true;
        QTest::newRow("port 1") << 1 << 0 << 1024 << "1024" << false;
        QTest::newRow("port 5 absent") << 5 << -1 << 2000 << "1024" << true;
        QTest::newRow("no port") << 0 << -1 << 0 << "1" << false;
    }
    void loadFillsEveryControl() {
        QFETCH(int, port);
        QFETCH(int, index);
        QFETCH(int, maxRx);
        QFETCH(QString, rxText);
        QFETCH(bool, warn);
        retype(edit(QStringLiteral("MaxTxChEdit")), QStringLiteral("0"));
        dlg->Load(kPorts, port, maxRx, 64, warn);
        auto *combo = dlg->findChild<QComboBox *>(QStringLiteral("ComPortCombo"));
        QCOMPARE(combo->count(), 2);
        QCOMPARE(combo->currentIndex(), index);
        QCOMPARE(dlg->ComPortText(), index < 0 ? QString() : kPorts[index]);
        QCOMPARE(dlg->MaxRxText(), rxText);
        QCOMPARE(dlg->MaxTxText(), QStringLiteral("64"));
        QVERIFY(!isRed(edit(QStringLiteral("MaxTxChEdit"))));
        QCOMPARE(dlg->Warn(), warn);
        QCOMPARE(dlg->findChild<TUpDown *>(QStringLiteral("MaxRxUpDown"))->maximum(), 1024);
    }

    // The unit, unplugged, is plugged in at the second question.
    void finderChoosesThePortThatAppeared_data() {
        QTest::addColumn<QString>("unit"); // "": nothing is plugged in
        QTest::addColumn<bool>("goOn");    // the second question answered yes
        QTest::addColumn<QString>("chosen");
        QTest::newRow("a new device gets the lowest free number")
            << "ttyUSB1" << true << "3: FT232R USB UART (ttyUSB1)";
        QTest::newRow("a known device keeps its number")
            << "ttyUSB7" << true << "5: FT232R USB UART (ttyUSB7)";
        QTest::newRow("nothing appears") << "" << true << kPorts[1];
        QTest::newRow("stopped before plugging in") << "ttyUSB1" << false << kPorts[1];
    }
    void finderChoosesThePortThatAppeared() {
        QFETCH(QString, unit);
        QFETCH(bool, goOn);
        QFETCH(QString, chosen);
        QTemporaryDir dir;
        const QString ini = dir.filePath(QStringLiteral("kestrava.INI"));
        QSettings(ini, QSettings::IniFormat).setValue("Ports/COM5", "/dev/ttyUSB7");
        PluggedDevices devices;
        devices.present = {usbDevice("ttyUSB0"), usbDevice("ttyUSB9")};
        int asked = 0;
        boxes.onBox([&](const ScriptedResponder::Box &) {
            if (++asked == 2 && !unit.isEmpty())
                devices.present.append(usbDevice(unit));
        });
        boxes.queueAnswer(IDYES);
        boxes.queueAnswer(goOn ? IDYES : IDNO);
        dlg->SetPortLister([&] { return ComPortItems(ini, devices); });
        QTest::mouseClick(button("FindPortBtn"), Qt::LeftButton);
        boxes.onBox({});
        QCOMPARE(dlg->ComPortText(), chosen);
        QCOMPARE(boxes.boxes().size(), goOn && unit.isEmpty() ? 3 : 2); // the third: none found
        QVERIFY(!boxes.unexpected());
    }

    void f1AsksForHelp() {
        QSignalSpy help(dlg, &TOptDlg::helpRequested);
        QTest::keyClick(edit(QStringLiteral("MaxRxChEdit")), Qt::Key_F1);
        QCOMPARE(help.size(), 1);
        QCOMPARE(help[0][0].toInt(), 12);
        QVERIFY(dlg->isVisible());
    }
};

QTEST_MAIN(TestOptDlg)
#include "tst_optdlg.moc"
