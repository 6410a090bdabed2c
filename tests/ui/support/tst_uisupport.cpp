#include "AppIdentity.h"
#include "QtDialogResponder.h"
#include "QtNameFilter.h"
#include "Usr_ctrl.h"
#include "Usr_spbar.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include <limits>

using namespace kestrava;

class TestUiSupport : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void cleanup() {
        while (QGuiApplication::overrideCursor())
            QGuiApplication::restoreOverrideCursor();
    }

    void upDownTextRange_data() {
        QTest::addColumn<int>("minimum");
        QTest::addColumn<int>("maximum");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("inRange");
        QTest::newRow("0") << 1 << 512 << "0" << false;
        QTest::newRow("513") << 1 << 512 << "513" << false;
        QTest::newRow("empty") << 1 << 512 << "" << false;
        QTest::newRow("1") << 1 << 512 << "1" << true;
        QTest::newRow("512") << 1 << 512 << "512" << true;
        QTest::newRow("abc") << 1 << 512 << "abc" << false;
        QTest::newRow("too long for int") << 1 << 512 << "99999999999" << false;
        QTest::newRow("negative range, -1") << -5 << -1 << "-1" << true;
        constexpr int lowest = std::numeric_limits<int>::min();
        QTest::newRow("unreadable at INT_MIN") << lowest << 0 << "x" << false;
    }
    void upDownTextRange() {
        QFETCH(int, minimum);
        QFETCH(int, maximum);
        QFETCH(QString, text);
        QFETCH(bool, inRange);
        QLineEdit edit(text);
        TUpDown ud;
        ud.setRange(minimum, maximum);
        QVERIFY(IsUpDownTextInRange(&ud)); // no edit attached yet
        ud.setAssociate(&edit);
        QCOMPARE(IsUpDownTextInRange(&ud), inRange);
    }

    void steppingStartsFromTheEdit_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("key"); // 0: the up button
        QTest::addColumn<QString>("expected");
        QTest::newRow("up key") << "10" << int(Qt::Key_Up) << "11";
        QTest::newRow("down key") << "10" << int(Qt::Key_Down) << "9";
        QTest::newRow("up at maximum") << "1024" << int(Qt::Key_Up) << "1024";
        QTest::newRow("down at minimum") << "1" << int(Qt::Key_Down) << "1";
        QTest::newRow("above range") << "5000" << int(Qt::Key_Down) << "1023";
        QTest::newRow("unreadable uses position") << "" << int(Qt::Key_Up) << "101";
        QTest::newRow("up button") << "10" << 0 << "11";
    }
    void steppingStartsFromTheEdit() {
        QFETCH(QString, text);
        QFETCH(int, key);
        QFETCH(QString, expected);
        QLineEdit edit;
        TUpDown ud;
        ud.setRange(1, 1024);
        ud.setAssociate(&edit);
        SetUpDownPosition(&ud, 100);
        QCOMPARE(edit.text(), QStringLiteral("100"));
        edit.setText(text);
        if (key)
            QTest::keyClick(&edit, Qt::Key(key));
        else
            ud.findChild<QToolButton *>(QStringLiteral("up"))->click();
        QCOMPARE(edit.text(), expected);
        QCOMPARE(ud.position(), expected.toInt());
    }

    void barCoversItsPanel() {
        TStatusBar sb({150, 150, 200, 50});
        StatusBarProgress progress(&sb, 2);
        QProgressBar *bar = progress.bar();
        QVERIFY(bar);
        QCOMPARE(bar->geometry(), QRect(302, 2, 198, sb.height() - 2));
        QVERIFY(sb.panel(2)->geometry().contains(bar->geometry()));
        QCOMPARE(bar->minimum(), 0);
        QCOMPARE(bar->maximum(), 100);
        QVERIFY(bar->isHidden());
        sb.resize(1000, sb.height()); // computed once
        QCOMPARE(bar->geometry().topLeft(), QPoint(302, 2));
    }

    // A text longer than its panel widens the panel, never narrows it, and the bar moves
    // along to stay over its own panel.
    void longTextWidensItsPanel() {
        TStatusBar sb({150, 150, 200, 50});
        StatusBarProgress progress(&sb, 2);
        progress.setTextPanel(1);
        sb.setPanelText(0, QStringLiteral("COM1"));
        QCOMPARE(sb.panelWidth(0), 150);
        const QString text = QStringLiteral("Loading or sending the whole show file, slowly");
        progress.Start(text);
        QVERIFY(sb.panelWidth(1) > 150);
        QVERIFY(sb.panel(1)->contentsRect().width() >=
                sb.panel(1)->fontMetrics().horizontalAdvance(text));
        QVERIFY(sb.panel(2)->geometry().contains(progress.bar()->geometry()));
        progress.Finish(QString());
        QVERIFY(sb.panelWidth(1) > 150);
    }

    void startAndFinish() {
        TStatusBar sb({150, 150, 200, 50});
        StatusBarProgress progress(&sb, 2);
        progress.setTextPanel(1);
        sb.setPanelText(1, QStringLiteral("前回"));
        sb.setPanelText(2, QStringLiteral("残り"));
        progress.Start(QStringLiteral("パッチ取得中"));
        QVERIFY(QGuiApplication::overrideCursor());
        QCOMPARE(QGuiApplication::overrideCursor()->shape(), Qt::WaitCursor);
        QCOMPARE(sb.panelText(1), QStringLiteral("パッチ取得中"));
        QCOMPARE(sb.panelText(2), QString());
        QVERIFY(!progress.bar()->isHidden());
        QCOMPARE(progress.bar()->value(), 0);
        progress.SetFraction(0.5);
        progress.Start(QStringLiteral("再開")); // restarts from 0, one hourglass only
        QCOMPARE(progress.bar()->value(), 0);
        progress.Finish(QString());
        QCOMPARE(QGuiApplication::overrideCursor(), nullptr);
        QVERIFY(progress.bar()->isHidden());
        QCOMPARE(progress.bar()->value(), 100);
        QCOMPARE(sb.panelText(1), QString());
    }

    void setFraction_data() {
        QTest::addColumn<double>("fraction");
        QTest::addColumn<int>("position");
        QTest::newRow("1.5") << 1.5 << 100;
        QTest::newRow("1/64") << 0.015625 << 1;
        QTest::newRow("0.0155") << 0.0155 << 1;
    }
    void setFraction() {
        QFETCH(double, fraction);
        QFETCH(int, position);
        TStatusBar sb({150, 150, 200, 50});
        StatusBarProgress progress(&sb, 2);
        progress.Start(QString());
        progress.SetFraction(0.3);
        progress.SetFraction(fraction);
        QCOMPARE(progress.bar()->value(), position);
    }

    void withoutBarOnlyTheCursorChanges_data() {
        QTest::addColumn<bool>("withStatusBar");
        QTest::addColumn<int>("barPanel");
        QTest::newRow("panel 4 of four") << true << 4;
        QTest::newRow("negative panel") << true << -1;
        QTest::newRow("no status bar") << false << 2;
    }
    void withoutBarOnlyTheCursorChanges() {
        QFETCH(bool, withStatusBar);
        QFETCH(int, barPanel);
        TStatusBar sb({150, 150, 200, 50});
        for (int i = 0; i < 4; ++i)
            sb.setPanelText(i, QString::number(i));
        StatusBarProgress progress(withStatusBar ? &sb : nullptr, barPanel);
        progress.setTextPanel(1);
        QCOMPARE(progress.bar(), nullptr);
        QCOMPARE(sb.findChildren<QProgressBar *>().size(), 0);
        progress.Start(QStringLiteral("転送中"));
        QVERIFY(QGuiApplication::overrideCursor());
        progress.SetFraction(0.5);
        progress.Finish(QStringLiteral("完了"));
        QCOMPARE(QGuiApplication::overrideCursor(), nullptr);
        for (int i = 0; i < 4; ++i)
            QCOMPARE(sb.panelText(i), QString::number(i));
    }

    void cursorStackStaysBalanced() {
        QGuiApplication::setOverrideCursor(Qt::CrossCursor); // someone else's
        {
            TStatusBar sb({150, 150, 200, 50});
            StatusBarProgress progress(&sb, 2);
            progress.Finish(QString()); // without Start: not ours to pop
            QCOMPARE(QGuiApplication::overrideCursor()->shape(), Qt::CrossCursor);
            progress.Start(QString());
            progress.Start(QString());
            progress.Finish(QString());
            QCOMPARE(QGuiApplication::overrideCursor()->shape(), Qt::CrossCursor);
            progress.Start(QString()); // destroyed before Finish
        }
        QCOMPARE(QGuiApplication::overrideCursor()->shape(), Qt::CrossCursor);
        QGuiApplication::restoreOverrideCursor();
        QCOMPARE(QGuiApplication::overrideCursor(), nullptr);
    }

    void messageBoxes_data() {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("press"); // a button, "escape" or "close"
        QTest::addColumn<int>("icon");
        QTest::addColumn<int>("buttons");
        QTest::addColumn<int>("result");
        const int ok = QMessageBox::Ok;
        const int yesNo = QMessageBox::Yes | QMessageBox::No;
        const int ync = yesNo | QMessageBox::Cancel;
        const auto row = [](const char *name, MsgKind kind, const char *press) -> QTestData & {
            return QTest::newRow(name) << int(kind) << QString::fromLatin1(press);
        };
        row("error ok", MsgKind::Error, "ok") << int(QMessageBox::Critical) << ok << IDOK;
        row("warning ok", MsgKind::Warning, "ok") << int(QMessageBox::Warning) << ok << IDOK;
        row("info ok", MsgKind::Info, "ok") << int(QMessageBox::NoIcon) << ok << IDOK;
        row("error escape", MsgKind::Error, "escape") << int(QMessageBox::Critical) << ok << IDOK;
        row("yesno yes", MsgKind::YesNo, "yes") << int(QMessageBox::Question) << yesNo << IDYES;
        row("error yesno no", MsgKind::ErrorYesNo, "no")
            << int(QMessageBox::Critical) << yesNo << IDNO;
        row("yesno escape", MsgKind::YesNo, "escape")
            << int(QMessageBox::Question) << yesNo << IDNO;
        row("yesno close", MsgKind::YesNo, "close") << int(QMessageBox::Question) << yesNo << IDNO;
        row("ync yes", MsgKind::YesNoCancel, "yes") << int(QMessageBox::Question) << ync << IDYES;
        row("ync no", MsgKind::YesNoCancel, "no") << int(QMessageBox::Question) << ync << IDNO;
        row("ync cancel", MsgKind::YesNoCancel, "cancel")
            << int(QMessageBox::Question) << ync << IDCANCEL;
        row("ync escape", MsgKind::YesNoCancel, "escape")
            << int(QMessageBox::Question) << ync << IDCANCEL;
        row("ync close", MsgKind::YesNoCancel, "close")
            << int(QMessageBox::Question) << ync << IDCANCEL;
    }
    // The box the responder runs, shown without a modal loop and answered as a user would.
    void messageBoxes() {
        QFETCH(int, kind);
        QFETCH(QString, press);
        QFETCH(int, icon);
        QFETCH(int, buttons);
        QFETCH(int, result);
        QWidget owner;
        owner.show();
        owner.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&owner));
        const auto box =
            BuildMessageBox(MsgKind(kind), QStringLiteral("本文\n2行目"), QStringLiteral("題"));
        QCOMPARE(int(box->icon()), icon);
        QCOMPARE(int(box->standardButtons()), buttons);
        QCOMPARE(box->windowTitle(), QStringLiteral("題"));
        QCOMPARE(box->text(), QStringLiteral("本文\n2行目"));
        QCOMPARE(box->parentWidget(), &owner);
        box->show();
        QVERIFY(QTest::qWaitForWindowExposed(box.get()));
        if (press == QLatin1String("escape"))
            QTest::keyClick(box.get(), Qt::Key_Escape);
        else if (press == QLatin1String("close"))
            box->close();
        else
            box->button(press == QLatin1String("ok")    ? QMessageBox::Ok
                        : press == QLatin1String("yes") ? QMessageBox::Yes
                        : press == QLatin1String("no")  ? QMessageBox::No
                                                        : QMessageBox::Cancel)
                ->click();
        QVERIFY(box->isHidden());
        QCOMPARE(MessageBoxAnswer(*box, MsgKind(kind)), result);
    }

    // Every box and dialog carries exactly the caption asked for, the default ones
    // included, through the same path as the program (the public call, the responder,
    // the real Qt dialog), and nothing is appended to it.
    void captionsAreExact_data() {
        QTest::addColumn<QString>("call");
        QTest::addColumn<QString>("caption"); // as passed; "" asks for the default
        QTest::addColumn<QString>("title");
        QTest::newRow("error, default") << "error"
                                        << ""
                                        << "エラー";
        QTest::newRow("warning, default") << "warning"
                                          << ""
                                          << "警告";
        QTest::newRow("info, default") << "info"
                                       << ""
                                       << "確認";
        QTest::newRow("yes/no, default") << "yesno"
                                         << ""
                                         << "確認";
        QTest::newRow("yes/no/cancel, default") << "ync"
                                                << ""
                                                << "確認";
        QTest::newRow("error yes/no, default") << "erroryesno"
                                               << ""
                                               << "エラー";
        QTest::newRow("yes/no, named") << "yesno"
                                       << "起動確認"
                                       << "起動確認";
        QTest::newRow("yes/no/cancel, named") << "ync"
                                              << "終了確認"
                                              << "終了確認";
        QTest::newRow("warning, named") << "warning"
                                        << "オプション設定"
                                        << "オプション設定";
        QTest::newRow("file dialog") << "file"
                                     << "全データを保存"
                                     << "全データを保存";
        QTest::newRow("text input") << "input"
                                    << "パッチ番号"
                                    << "パッチ番号";
    }
    void captionsAreExact() {
        QFETCH(QString, call);
        QFETCH(QString, caption);
        QFETCH(QString, title);
        // Named as the program names itself: a display name would be added here.
        SetApplicationIdentity();
        struct Builder : MessageResponder {
            QStringList titles;
            int respond(MsgKind kind, const QString &text, const QString &cap) override {
                titles << BuildMessageBox(kind, text, cap)->windowTitle();
                return IDOK;
            }
            QString fileDialog(const FileDialogRequest &request) override {
                titles << BuildFileDialog(request)->windowTitle();
                return {};
            }
            bool inputQuery(const QString &cap, const QString &prompt, QString &value) override {
                titles << BuildInputDialog(cap, prompt, value)->windowTitle();
                return false;
            }
        } builder;
        const TBoxes says(builder);
        const QString text = QStringLiteral("本文");
        if (call == QLatin1String("error"))
            says.Error(text, caption);
        else if (call == QLatin1String("warning"))
            says.Warning(text, caption);
        else if (call == QLatin1String("info"))
            says.Info(text, caption);
        else if (call == QLatin1String("yesno"))
            says.AskYesNo(text, caption);
        else if (call == QLatin1String("ync"))
            says.AskYesNoCancel(text, caption);
        else if (call == QLatin1String("erroryesno"))
            says.AskErrorYesNo(text, caption);
        else if (call == QLatin1String("file"))
            says.FileDialog({true, caption, QStringLiteral("データファイル (*.dat)|*.DAT"),
                             QStringLiteral("DAT"), QString(), QString()});
        else {
            QString value = QStringLiteral("1");
            says.InputQuery(caption, QStringLiteral("番号"), value);
        }
        QCOMPARE(builder.titles, QStringList(title));
    }

    // The platform appends an application display name to every window title; the
    // program must not have one apart from its plain name.
    void noDisplayNameForThePlatformToAppend() {
        const QString before = QCoreApplication::applicationName();
        SetApplicationIdentity();
        QCOMPARE(QCoreApplication::applicationName(), QStringLiteral("Kestrava"));
        QVERIFY(!QGuiApplication::windowIcon().isNull());
        // A display name of its own would not follow the application name.
        QCoreApplication::setApplicationName(QStringLiteral("kestrava-probe"));
        const QString display = QGuiApplication::applicationDisplayName();
        QCoreApplication::setApplicationName(before);
        QCOMPARE(display, QStringLiteral("kestrava-probe"));
    }

    void nameFilter_data() {
        QTest::addColumn<QString>("filter");
        QTest::addColumn<QString>("expected");
        QTest::newRow("data") << "データファイル (*.dat)|*.DAT"
                              << "データファイル (*.dat *.DAT)";
        QTest::newRow("lower-case mask") << "カーブデータ (*.crv)|*.crv"
                                         << "カーブデータ (*.crv *.CRV)";
        QTest::newRow("two kinds") << "パッチデータ (*.pt1)|*.PT1|すべて (*.*)|*.*"
                                   << "パッチデータ (*.pt1 *.PT1);;すべて (*)";
        QTest::newRow("two patterns") << "Text|*.TXT;*.LOG"
                                      << "Text (*.txt *.TXT *.log *.LOG)";
        QTest::newRow("no mask") << "パッチデータ (*.pat)"
                                 << "パッチデータ (*.pat *.PAT)";
        QTest::newRow("trailing bar") << "負荷属性データ (*.atr)|*.ATR|"
                                      << "負荷属性データ (*.atr *.ATR)";
        QTest::newRow("empty") << ""
                               << "";
    }
    void nameFilter() {
        QFETCH(QString, filter);
        QFETCH(QString, expected);
        QCOMPARE(QtNameFilter(filter), expected);
    }

    void fileDialog_data() {
        QTest::addColumn<QString>("typed"); // "" cancels
        QTest::addColumn<QString>("chosen");
        QTest::newRow("name without extension") << "abc"
                                                << "abc.DAT";
        QTest::newRow("cancelled") << ""
                                   << "";
    }
    void fileDialog() {
        QFETCH(QString, typed);
        QFETCH(QString, chosen);
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        FileDialogRequest req{true,
                              QStringLiteral("全データを保存"),
                              QStringLiteral("データファイル (*.dat)|*.DAT"),
                              QStringLiteral("DAT"),
                              dir.path(),
                              QStringLiteral("*.dat")};
        const auto d = BuildFileDialog(req);
        QCOMPARE(d->windowTitle(), QStringLiteral("全データを保存"));
        QCOMPARE(d->nameFilters(), QStringList(QStringLiteral("データファイル (*.dat *.DAT)")));
        QCOMPARE(d->defaultSuffix(), QStringLiteral("DAT"));
        QCOMPARE(d->directory().absolutePath(), QDir(dir.path()).absolutePath());
        QCOMPARE(d->acceptMode(), QFileDialog::AcceptSave);
        d->show();
        QVERIFY(QTest::qWaitForWindowExposed(d.get()));
        if (typed.isEmpty()) {
            d->reject();
        } else {
            auto *name = d->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
            QVERIFY(name);
            QTest::keyClicks(name, typed);
            d->findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Save)->click();
        }
        QTRY_VERIFY(d->isHidden());
        QCOMPARE(ChosenFile(*d), chosen.isEmpty() ? QString() : dir.filePath(chosen));
    }
};

QTEST_MAIN(TestUiSupport)
#include "tst_uisupport.moc"
