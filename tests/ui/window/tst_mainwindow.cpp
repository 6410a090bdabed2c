#include "DrawGrid.h"
#include "KestravaForm.h"
#include "OptDlg.h"
#include "PatchPage.h"
#include "UiRigs.h"
#include "Usr_spbar.h"

#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QMenuBar>
#include <QProgressBar>
#include <QRegularExpression>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

#include <QTimer>
#include <chrono>
#include <ctime>
#include <mutex>
#include <optional>

using namespace kestrava;
using kestrava::test::ScriptedResponder;

namespace {

const QString kNoUnit =
    QStringLiteral("パッチユニットが見つかりません。\n編集モードで起動しますか?");
const QString kLost = QStringLiteral("リモート接続が切れました\n再接続しますか?");

// The requests of a linked start-up, up to the first status poll.
QStringList startupSequence() {
    QStringList s{"R001", "", "R001", "Q800", "Q801"};
    for (int b = 0; b < 64; ++b)
        s << QStringLiteral("Q%1").arg(b, 3, 16, QLatin1Char('0')).toUpper();
    for (int b = 0; b < 64; ++b)
        s << QStringLiteral("Q%1").arg(0x500 + b, 3, 16).toUpper();
    for (int b = 0; b < 68; ++b)
        s << QStringLiteral("Q%1").arg(0x600 + b, 3, 16).toUpper();
    s << "O8FF"
      << "Q802";
    return s;
}

double processCpuSeconds() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) / 1e9;
}

// Records when a widget is painted and, for a progress bar, the value it shows then.
class PaintRecorder : public QObject {
public:
    using Clock = std::chrono::steady_clock;
    explicit PaintRecorder(QWidget *w) { w->installEventFilter(this); }
    bool eventFilter(QObject *watched, QEvent *e) override {
        if (e->type() == QEvent::Paint) {
            if (!first)
                first = Clock::now();
            if (auto *bar = qobject_cast<QProgressBar *>(watched); bar && bar->isVisible())
                values.append(bar->value());
        }
        return false;
    }
    std::optional<Clock::time_point> first;
    QList<int> values;
};

} // namespace

class TestMainWindow : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;

    static void verifyEveryKeyWritten(const QSettings &written) {
        for (const char *key :
             {"Serial/ComPort", "DispAbCh", "PatTableMode", "PatTableWidth", "CrvGridWidth",
              "MaxTxChannel", "MaxRxChannel", "WarnChgPatch", "CheckValue", "WinLeft", "WinTop",
              "WinWidth", "WinHeight", "WinState"})
            QVERIFY2(written.contains(key), key);
    }

private Q_SLOTS:
    void startUpLinked() {
        sim::UnitSimOptions o;
        o.currentPatch = 2;
        test::FormRig rig(o);
        sim::UnitSim &unit = rig.unit;
        const ScriptedResponder &boxes = rig.boxes;
        {
            TKestravaForm &form = *rig.form;
            form.show();
            QTRY_VERIFY_WITH_TIMEOUT(unit.requestLog().contains("Q802"), 5000);
            QCOMPARE(unit.requestLog(), startupSequence());
            QVERIFY(boxes.boxes().isEmpty());
            QVERIFY(rig.link().Linked);
            QVERIFY(!rig.link().EditMode);
            QCOMPARE(rig.link().FirmwareVersion, 100);
            QCOMPARE(rig.patches().CurPatch, 2);
            QCOMPARE(form.findChild<QComboBox *>("PatNoCombo")->currentIndex(), 2);
            QVERIFY(rig.patches().PatchInSync[2]);
            QVERIFY(rig.attrs().LdAtrInSync);
            QVERIFY(rig.curves().CurvesInSync);
            QVERIFY(rig.timer()->isActive());
            QTRY_COMPARE(rig.panel(0), QStringLiteral("COM9:接続  DMX:AB"));
            QCOMPARE(form.Action(ActionId::LoadAllDataAction)->text(),
                     QStringLiteral("全データをファイルから読込・転送"));

            // Qt unchecks a checked action on a click; the view it shows is still the same
            QAction *o2i = form.Action(ActionId::TableO2IAction);
            o2i->trigger();
            QTest::qWait(250);
            QVERIFY(o2i->isChecked());

            // polled every 500 ms
            unit.clearLog();
            QTest::qWait(1600);
            const int polls = unit.requestLog().count("Q802");
            QVERIFY2(polls >= 2 && polls <= 4, qPrintable(QString::number(polls)));

            // File > Exit closes through the close path
            unit.clearLog();
            QVERIFY(form.menuBar()->findChild<QMenu *>("File1"));
            form.findChild<QAction *>(QStringLiteral("ExitItem"))->trigger();
            QVERIFY(!form.isVisible());
            QCOMPARE(unit.requestLog().last(), QStringLiteral("R000"));
        }
        QSettings written(rig.settings.path(), QSettings::IniFormat);
        verifyEveryKeyWritten(written);
        QCOMPARE(written.value("Serial/ComPort").toInt(), 9);
        QCOMPARE(written.value("Ports/COM9").toString(), unit.devicePath()); // kept
    }

    void startUpWithoutUnit_data() {
        QTest::addColumn<bool>("editMode");
        QTest::newRow("yes: edit mode") << true;
        QTest::newRow("no: the program ends") << false;
    }
    void startUpWithoutUnit() {
        QFETCH(bool, editMode);
        test::FormRig rig;
        sim::UnitSim &unit = rig.unit;
        ScriptedResponder &boxes = rig.boxes;
        TKestravaForm &form = *rig.form;
        unit.setAbsent(true);
        boxes.queueAnswer(editMode ? IDYES : IDNO);
        form.show();
        QTRY_COMPARE_WITH_TIMEOUT(boxes.boxes().size(), 2, 4000);
        QCOMPARE(boxes.texts(), (QStringList{QStringLiteral("応答がありません"), kNoUnit}));
        QCOMPARE(boxes.boxes()[1].caption, QStringLiteral("起動確認"));
        QCOMPARE(boxes.boxes()[1].kind, MsgKind::YesNo);
        if (editMode) {
            QTRY_VERIFY(rig.link().EditMode);
            QVERIFY(form.isVisible());
            QTRY_COMPARE(rig.panel(0), QStringLiteral("編集モード"));
            QVERIFY(!form.findChild<QFrame *>("ChkPanel")->isVisible());
            QVERIFY(!form.Action(ActionId::WritePatAction)->isVisible());
            QVERIFY(form.Action(ActionId::ClrAllPatAction)->isEnabled());
            QCOMPARE(form.Action(ActionId::LoadAllDataAction)->text(),
                     QStringLiteral("全データをファイルから読込"));
            QCOMPARE(unit.requestLog(), QStringList{"R001"}); // no "R000" without a link
            // A reconnect with the unit still absent empties memory and stays in edit mode.
            rig.patches().Patches[0][4] = 7;
            boxes.clear();
            QVERIFY(form.ExecuteAction(ActionId::ReConnectAction));
            QVERIFY(rig.link().EditMode);
            QCOMPARE(rig.patches().Patches[0][4], pvNone);
            QTRY_COMPARE(rig.panel(0), QStringLiteral("編集モード"));
            QVERIFY(form.close());
        } else {
            QTRY_VERIFY(!form.isVisible());
            QCOMPARE(unit.requestLog(), QStringList{"R001"}); // no "R000" without a link
        }
        // The settings are written either way, every key of them.
        verifyEveryKeyWritten(QSettings(rig.settings.path(), QSettings::IniFormat));
        QVERIFY(!boxes.unexpected());
    }

    void closeQuestions_data() {
        QTest::addColumn<bool>("editMode");
        QTest::addColumn<QList<int>>("answers");
        QTest::addColumn<QStringList>("asked");
        QTest::addColumn<bool>("closed");
        const QString save = QStringLiteral("をファイルに保存しますか?");
        const QString write = QStringLiteral("を書き込みますか?");
        QTest::newRow("edit mode: no, no, no")
            << true << QList<int>{IDNO, IDNO, IDNO}
            << QStringList{"パッチ1の変更内容" + save, "負荷属性の変更内容" + save,
                           "カーブの変更内容" + save}
            << true;
        QTest::newRow("edit mode: cancel on the second")
            << true << QList<int>{IDNO, IDCANCEL}
            << QStringList{"パッチ1の変更内容" + save, "負荷属性の変更内容" + save} << false;
        QTest::newRow("edit mode: yes, save dialog cancelled keeps the window")
            << true << QList<int>{IDYES} << QStringList{"パッチ1の変更内容" + save} << false;
        QTest::newRow("edit mode: yes, saved, then no")
            << true << QList<int>{IDYES, IDNO, IDNO}
            << QStringList{"パッチ1の変更内容" + save, "保存が完了しました",
                           "負荷属性の変更内容" + save, "カーブの変更内容" + save}
            << true;
        QTest::newRow("linked: write fails, window stays")
            << false << QList<int>{IDYES} << QStringList{"パッチ1の変更内容" + write} << false;
        QTest::newRow("linked: written, then no")
            << false << QList<int>{IDYES, IDNO, IDNO}
            << QStringList{"パッチ1の変更内容" + write, "負荷属性の変更内容" + write,
                           "カーブの変更内容" + write}
            << true;
    }
    void closeQuestions() {
        QFETCH(bool, editMode);
        QFETCH(QList<int>, answers);
        QFETCH(QStringList, asked);
        QFETCH(bool, closed);
        test::FormRig rig;
        sim::UnitSim &unit = rig.unit;
        ScriptedResponder &boxes = rig.boxes;
        TKestravaForm &form = *rig.form;
        const QString tag = QTest::currentDataTag();
        const bool writeFails = tag.contains("write fails");
        if (editMode)
            unit.setAbsent(true);
        if (editMode)
            boxes.queueAnswer(IDYES);
        form.show();
        QTRY_VERIFY_WITH_TIMEOUT(rig.timer()->isActive(), 4000);
        QCOMPARE(rig.link().EditMode, editMode);
        boxes.clear();
        rig.patches().PatchChanged = true;
        rig.attrs().LdAtrChanged = true;
        rig.curves().CurveChanged = true;
        for (int a : answers)
            boxes.queueAnswer(a);
        if (tag.contains("saved"))
            boxes.queueFile(dir_.filePath("saved.pat"));
        else if (editMode)
            boxes.queueFile(QString()); // the save dialog is cancelled
        if (writeFails)
            unit.setRefused({"WP"});
        QCOMPARE(form.close(), closed);
        QStringList texts = boxes.texts();
        QCOMPARE(texts, asked);
        for (const auto &b : boxes.boxes())
            if (b.kind == MsgKind::YesNoCancel)
                QCOMPARE(b.caption, QStringLiteral("終了確認"));
        QCOMPARE(form.isVisible(), !closed);
        if (!editMode && !writeFails)
            QCOMPARE(unit.storeCount("WP"), 1);
        if (!closed) {
            rig.patches().PatchChanged = rig.attrs().LdAtrChanged = rig.curves().CurveChanged =
                false;
            QVERIFY(form.close());
        }
    }

    // The start-up check waits for the first frame, and the progress moves on screen
    // while the paced start-up fetch blocks the event loop.
    void startUpIsSeen() {
        std::mutex lock;
        std::optional<PaintRecorder::Clock::time_point> firstRequest;
        sim::UnitSimOptions o;
        o.baud = 57600;
        o.onRequest = [&](const QString &, const QByteArray &) {
            const std::lock_guard g(lock);
            if (!firstRequest)
                firstRequest = PaintRecorder::Clock::now();
        };
        test::FormRig rig(o);
        PaintRecorder window(rig.statusBar());
        auto *bar = rig.statusBar()->findChild<QProgressBar *>();
        QVERIFY(bar);
        PaintRecorder progress(bar);
        QVERIFY(rig.showLinked());
        const std::lock_guard g(lock);
        QVERIFY(window.first && firstRequest);
        QVERIFY(*window.first < *firstRequest);
        int between = 0;
        for (int v : progress.values)
            between += v > bar->minimum() && v < bar->maximum();
        QVERIFY2(between >= 3, qPrintable(QString::number(between)));
    }

    // The unit is unplugged while linked, then plugged back in on the same path.
    void unplugAndPlugBackIn() {
        sim::UnitSimOptions o;
        o.linkPath = dir_.filePath("unit");
        test::FormRig rig(o);
        TKestravaForm &form = *rig.form;
        QVERIFY(rig.showLinked());
        rig.boxes.queueAnswer(IDNO);
        QElapsedTimer unplugged;
        unplugged.start();
        rig.unit.stop();
        QTRY_COMPARE_WITH_TIMEOUT(rig.boxes.boxes().size(), 1, 2000);
        QVERIFY2(unplugged.elapsed() < 1500, qPrintable(QString::number(unplugged.elapsed())));
        QCOMPARE(rig.boxes.texts(), QStringList{kLost});
        QCOMPARE(rig.panel(0), QStringLiteral("COM9:切断  DMX:--"));
        const QString info = rig.panel(3);

        // After No nothing polls, nothing spins and the panels stay as they are.
        const double cpuBefore = processCpuSeconds();
        QTest::qWait(1000);
        const double cpu = processCpuSeconds() - cpuBefore;
        qInfo("process CPU in 1 s after the unplug: %.3f s", cpu);
        QVERIFY2(cpu < 0.2, qPrintable(QString::number(cpu)));
        QCOMPARE(rig.boxes.boxes().size(), 1);
        QVERIFY(!rig.timer()->isActive());
        QCOMPARE(rig.panel(0), QStringLiteral("COM9:切断  DMX:--"));
        QCOMPARE(rig.panel(3), info);

        // A reconnect while the unit is away cannot open the port.
        QVERIFY(form.ExecuteAction(ActionId::ReConnectAction));
        QVERIFY(!rig.link().Linked && !rig.link().PortOpen);
        QCOMPARE(rig.panel(0), QStringLiteral("COM9:無効  DMX:--"));
        const QString why = rig.statusBar()->panel(0)->toolTip();
        QVERIFY(!why.isEmpty());
        QCOMPARE(rig.boxes.texts().last(), QStringLiteral("応答がありません\n") + why);

        // Plugged back in: the next reconnect links again without a restart.
        rig.boxes.clear();
        rig.unit.clearFaults();
        QVERIFY(rig.unit.start());
        QVERIFY(form.ExecuteAction(ActionId::ReConnectAction));
        QVERIFY(rig.link().Linked);
        QVERIFY(rig.patches().PatchInSync[0]);
        QTRY_COMPARE(rig.panel(0), QStringLiteral("COM9:接続  DMX:AB"));
        QVERIFY(rig.boxes.boxes().isEmpty());
    }

    // A unit that names no current patch: nothing is shown or fetched of the patches.
    void reconnectWithoutCurrentPatch() {
        test::FormRig rig;
        TKestravaForm &form = *rig.form;
        QVERIFY(rig.showLinked());
        rig.unit.setReplyOverride(QStringLiteral("Q801"), QByteArray("?\r"));
        QVERIFY(form.ExecuteAction(ActionId::ReConnectAction));
        QVERIFY(rig.link().Linked);
        QCOMPARE(rig.patches().CurPatch, -1);
        QCOMPARE(form.findChild<QComboBox *>("PatNoCombo")->currentIndex(), -1);
        QVERIFY(!rig.unit.requestLog().contains(QStringLiteral("Q000")));
        QVERIFY(rig.attrs().LdAtrInSync && rig.curves().CurvesInSync);
        QVERIFY(rig.boxes.boxes().isEmpty());
        QVERIFY(form.close());
    }

    void unitGoesSilent() {
        test::FormRig rig;
        sim::UnitSim &unit = rig.unit;
        ScriptedResponder &boxes = rig.boxes;
        TKestravaForm &form = *rig.form;
        QVERIFY(rig.showLinked());
        boxes.queueAnswer(IDNO);
        unit.setAbsent(true);
        QTRY_COMPARE_WITH_TIMEOUT(boxes.boxes().size(), 1, 4000);
        QCOMPARE(boxes.texts(), QStringList{kLost});
        QCOMPARE(boxes.boxes()[0].caption, QStringLiteral("エラー"));
        QCOMPARE(boxes.boxes()[0].kind, MsgKind::ErrorYesNo);
        QVERIFY(!rig.link().Linked);
        QVERIFY(!rig.timer()->isActive());
        QCOMPARE(rig.panel(0), QStringLiteral("COM9:切断  DMX:--"));
        QTest::qWait(1200);
        QCOMPARE(boxes.boxes().size(), 1); // asked once
        QCOMPARE(form.Action(ActionId::LoadAllDataAction)->text(),
                 QStringLiteral("全データをファイルから読込"));
        QVERIFY(form.close());
    }

    void optionsDialog_data() {
        QTest::addColumn<bool>("accept");
        QTest::addColumn<int>("port");
        QTest::addColumn<bool>("reconnects");
        QTest::newRow("cancel after changing everything") << false << 10 << false;
        QTest::newRow("same port, new channel counts") << true << 9 << false;
        QTest::newRow("another port") << true << 10 << true;
    }
    void optionsDialog() {
        QFETCH(bool, accept);
        QFETCH(int, port);
        QFETCH(bool, reconnects);
        sim::UnitSimOptions o;
        o.currentPatch = 5;
        sim::UnitSim second(o);
        QVERIFY(second.start());
        test::FormRig rig;
        sim::UnitSim &first = rig.unit;
        const ScriptedResponder &boxes = rig.boxes;
        TKestravaForm &form = *rig.form;
        QSettings(rig.settings.path(), QSettings::IniFormat)
            .setValue("Ports/COM10", second.devicePath());
        TOptDlg dlg(rig.desktop.boxes, &form);
        form.SetDialogs(&dlg, nullptr);
        QVERIFY(rig.showLinked());

        QStringList offered;
        rig.desktop.runModal = [&](QDialog &d) {
            auto *combo = d.findChild<QComboBox *>("ComPortCombo");
            for (int i = 0; i < combo->count(); ++i)
                offered << combo->itemText(i);
            combo->setCurrentIndex(
                combo->findText(QStringLiteral("%1:").arg(port), Qt::MatchStartsWith));
            d.findChild<QLineEdit *>("MaxRxChEdit")->setText("512");
            d.findChild<QLineEdit *>("MaxTxChEdit")->setText("100");
            d.findChild<QCheckBox *>("WarnPatCheckBox")->setChecked(false);
            d.done(accept ? QDialog::Accepted : QDialog::Rejected);
            return d.result();
        };
        form.findChild<QAction *>(QStringLiteral("OptItem"))->trigger();
        // the simulators' links, among whatever serial devices this machine has
        QCOMPARE(offered.filter(QRegularExpression("^(9|10): /")).size(), 2);
        QVERIFY(offered.indexOf(QRegularExpression("^9: .*")) <
                offered.indexOf(QRegularExpression("^10: .*")));
        QCOMPARE(rig.appSettings().MaxRxChannel, accept ? 512 : 1024);
        QCOMPARE(rig.appSettings().MaxTxChannel, accept ? 100 : 1024);
        QCOMPARE(rig.appSettings().WarnChgPatch, !accept);
        QCOMPARE(rig.link().ComPortNo, reconnects ? 10 : 9);
        QCOMPARE(first.requestLog().contains("R000"), reconnects);
        if (reconnects) {
            QVERIFY(rig.link().Linked);
            QCOMPARE(rig.patches().CurPatch, 5);
            QCOMPARE(second.requestLog().mid(0, 3), (QStringList{"", "R001", "Q800"}));
        } else {
            QVERIFY(second.requestLog().isEmpty());
        }
        if (accept) // 100 outputs, 10 a row
            QCOMPARE(form.findChild<TDrawGrid *>("PatTableGrid")->rowCount(), 11);
        QVERIFY(boxes.boxes().isEmpty());
        QVERIFY(form.close());
    }

    void portThatCannotOpen() {
        test::FormRig rig;
        {
            QSettings ini(rig.settings.path(), QSettings::IniFormat);
            ini.remove("Ports");
            ini.setValue("Serial/ComPort", 20);
        }
        rig.form = std::make_unique<TKestravaForm>(rig.settings.path(), rig.desktop);
        rig.boxes.queueAnswer(IDYES);
        rig.form->show();
        QTRY_VERIFY_WITH_TIMEOUT(rig.link().EditMode, 4000);
        QVERIFY(!rig.link().PortOpen);
        QCOMPARE(rig.boxes.texts().first(), QStringLiteral("応答がありません"));
        rig.link().LeaveEditMode();
        rig.form->RefreshLinkPanel();
        QCOMPARE(rig.panel(0), QStringLiteral("COM20:無効  DMX:--"));
        rig.link().EnterEditMode();
        QVERIFY(rig.form->close());
    }
};

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
