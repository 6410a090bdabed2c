#include "AboutBox.h"
#include "ScriptedResponder.h"
#include "Usr_env.h"
#include "Usr_help.h"

#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QStringDecoder>
#include <QTemporaryDir>
#include <QtTest>

using namespace kestrava;
using kestrava::test::ScriptedResponder;

class TstAbout : public QObject {
    Q_OBJECT

    QTemporaryDir helpDir_;
    QTemporaryDir emptyDir_;
    QList<QUrl> opened_;
    bool opens_ = true; // what the opener reports
    ScriptedResponder boxes_;
    TDesktop desktop_{.boxes = TBoxes(boxes_), .openUrl = [this](const QUrl &url) {
                          opened_ << url;
                          return opens_;
                      }};

    static QString helpSource() {
        return qEnvironmentVariable("KESTRAVA_TEST_DATA", QStringLiteral(".")) +
               QStringLiteral("/../../src/ui/help/kestrava.html");
    }

private slots:
    void initTestCase() {
        QVERIFY(helpDir_.isValid());
        QVERIFY(emptyDir_.isValid());
        QVERIFY2(QFile::copy(helpSource(), helpDir_.filePath("kestrava.html")),
                 qPrintable(helpSource()));
    }
    void init() {
        opened_.clear();
        opens_ = true;
        boxes_.clear();
    }

    void unitVersion_data() {
        QTest::addColumn<int>("firmware");
        QTest::addColumn<QString>("expected");
        QTest::newRow("1.65") << 165 << "VELQARIN V1.65";
        QTest::newRow("five characters") << 1000 << "VELQARIN V10.00";
        QTest::newRow("small") << 5 << "VELQARIN V0.05";
        QTest::newRow("no unit") << 0 << "VELQARIN V_.__";
        QTest::newRow("negative") << -1 << "VELQARIN V_.__";
    }
    void unitVersion() {
        QFETCH(int, firmware);
        QFETCH(QString, expected);
        TAboutBox box;
        auto *unit = box.findChild<QLabel *>("UnitVersion");
        QVERIFY(unit);
        QCOMPARE(unit->text(), QString());
        box.Prepare(firmware);
        QCOMPARE(unit->text(), expected);
        // The same box is reused: a later showing without a unit must not keep 1.65.
        box.Prepare(0);
        QCOMPARE(unit->text(), QStringLiteral("VELQARIN V_.__"));
    }

    void versionAndNotice() {
        TAboutBox box;
        box.Prepare(165);
        auto *version = box.findChild<QLabel *>("Version");
        auto *notice = box.findChild<QLabel *>("Copyright");
        QVERIFY(version && notice);
        // The project's version as the build states it ("0.1.0"): its first three numbers,
        // then always 0.
        QStringList numbers = QStringLiteral(KESTRAVA_PROJECT_VERSION).split(u'.');
        while (numbers.size() < 3)
            numbers << QStringLiteral("0");
        QCOMPARE(version->text(),
                 QStringLiteral("Version ") + numbers.mid(0, 3).join(u'.') + QStringLiteral(".0"));
        QCOMPARE(notice->text(), QString::fromLatin1(kMakerNotice));
        QVERIFY(!notice->text().isEmpty());
        QCOMPARE(box.windowTitle(), QStringLiteral("バージョン情報"));
        QCOMPARE(box.size(), QSize(354, 222));
        auto *icon = box.findChild<QLabel *>("ProgramIcon");
        QVERIFY(icon && !icon->pixmap().isNull());
    }

    void titleSize_data() {
        QTest::addColumn<QString>("title");
        QTest::addColumn<int>("points");
        QTest::newRow("Kestrava") << QString() << 18;
        QTest::newRow("eight characters") << "12345678" << 18;
        QTest::newRow("nine characters") << "123456789" << 14;
    }
    void titleSize() {
        QFETCH(QString, title);
        QFETCH(int, points);
        TAboutBox box;
        auto *name = box.findChild<QLabel *>("ProductName");
        QVERIFY(name);
        QCOMPARE(name->text(), QStringLiteral("Kestrava"));
        QCOMPARE(name->font().pointSize(), 14);
        if (!title.isEmpty())
            name->setText(title);
        box.show();
        QCOMPARE(name->font().pointSize(), points);
    }

    // As the about item runs it: Prepare, then the modal run; OK and Return close it.
    void closes_data() {
        QTest::addColumn<bool>("byKey");
        QTest::newRow("OK clicked") << false;
        QTest::newRow("Return pressed") << true;
    }
    void closes() {
        QFETCH(bool, byKey);
        TAboutBox box;
        box.Prepare(165);
        desktop_.runModal = [byKey](QDialog &dialog) {
            dialog.show();
            if (!QTest::qWaitForWindowExposed(&dialog))
                return -1;
            if (byKey)
                QTest::keyClick(&dialog, Qt::Key_Return);
            else
                QTest::mouseClick(dialog.findChild<QPushButton *>("OKButton"), Qt::LeftButton);
            return dialog.isVisible() ? -2 : dialog.result();
        };
        const int result = desktop_.RunModal(box);
        QCOMPARE(result, int(QDialog::Accepted));
    }

    void helpTopic_data() {
        QTest::addColumn<int>("context");
        QTest::addColumn<QString>("fragment");
        QTest::newRow("contents") << 0 << QString();
        for (int context : {HelpContext::Help, HelpContext::File, HelpContext::Edit,
                            HelpContext::Remote, HelpContext::View, HelpContext::Options})
            QTest::newRow(qPrintable(QString::number(context)))
                << context << QStringLiteral("context-%1").arg(context);
    }
    void helpTopic() {
        QFETCH(int, context);
        QFETCH(QString, fragment);
        desktop_.helpFolder = helpDir_.path();
        QVERIFY(HelpFileExists(desktop_));
        QVERIFY(context > 0 ? ShowHelpTopic(desktop_, context) : ShowHelpContents(desktop_));
        QCOMPARE(opened_.size(), 1);
        const QUrl url = opened_.first();
        QVERIFY(url.isLocalFile());
        QCOMPARE(QFileInfo(url.toLocalFile()).canonicalFilePath(),
                 QFileInfo(helpDir_.filePath("kestrava.html")).canonicalFilePath());
        QCOMPARE(url.fragment(), fragment);

        // The page has the topic the address points at.
        QFile page(url.toLocalFile());
        QVERIFY(page.open(QIODevice::ReadOnly));
        if (!fragment.isEmpty())
            QVERIFY(page.readAll().contains(QStringLiteral("id=\"%1\"").arg(fragment).toUtf8()));
    }

    // Whatever keeps the page from opening, the user is told once; an opened page says
    // nothing.
    void openingFails_data() {
        QTest::addColumn<QString>("what");
        QTest::addColumn<bool>("helpThere");
        QTest::addColumn<bool>("opens");
        QTest::addColumn<int>("tries");       // how many addresses were handed to the opener
        QTest::addColumn<QString>("message"); // "" for none
        const QString help = QStringLiteral("ヘルプを表示できませんでした");
        const QString web = QStringLiteral("ホームページを表示できませんでした");
        QTest::newRow("contents, opener fails") << "contents" << true << false << 1 << help;
        QTest::newRow("topic, opener fails") << "topic" << true << false << 1 << help;
        QTest::newRow("web, opener fails") << "web" << true << false << 1 << web;
        QTest::newRow("contents, no help page") << "contents" << false << true << 0 << help;
        QTest::newRow("topic, no help page") << "topic" << false << true << 0 << help;
        QTest::newRow("web without a help page") << "web" << false << true << 1 << QString();
        QTest::newRow("topic opens") << "topic" << true << true << 1 << QString();
        QTest::newRow("web opens") << "web" << true << true << 1 << QString();
    }
    void openingFails() {
        QFETCH(QString, what);
        QFETCH(bool, helpThere);
        QFETCH(bool, opens);
        QFETCH(int, tries);
        QFETCH(QString, message);
        desktop_.helpFolder = helpThere ? helpDir_.path() : emptyDir_.path();
        QCOMPARE(HelpFileExists(desktop_), helpThere);
        opens_ = opens;
        const bool shown = what == QLatin1String("contents") ? ShowHelpContents(desktop_)
                           : what == QLatin1String("topic")
                               ? ShowHelpTopic(desktop_, HelpContext::File)
                               : GoWeb(desktop_);
        QCOMPARE(shown, message.isEmpty());
        QCOMPARE(opened_.size(), tries);
        // The maker's page, at a reserved name: nothing real is ever opened by the tests.
        if (what == QLatin1String("web") && tries == 1)
            QVERIFY(opened_.first() == QUrl(QString::fromLatin1(kMakerWebAddress)) &&
                    opened_.first().scheme() == QLatin1String("https") &&
                    opened_.first().host().endsWith(QStringLiteral(".example")));
        if (message.isEmpty()) {
            QVERIFY(boxes_.boxes().isEmpty());
            return;
        }
        QCOMPARE(boxes_.boxes().size(), 1);
        const ScriptedResponder::Box &box = boxes_.boxes().first();
        QCOMPARE(box.kind, MsgKind::Error);
        QCOMPARE(box.text, message);
        QCOMPARE(box.caption, QStringLiteral("エラー"));
    }

    void helpPageIsUtf8() {
        QFile page(helpSource());
        QVERIFY(page.open(QIODevice::ReadOnly));
        const QByteArray bytes = page.readAll();
        QVERIFY(bytes.contains("<meta charset=\"utf-8\">"));
        QStringDecoder decoder(QStringDecoder::Utf8);
        const QString text = decoder.decode(bytes);
        QVERIFY(!decoder.hasError());
        QVERIFY(text.contains(QStringLiteral("dialout")));
    }
};

QTEST_MAIN(TstAbout)
#include "tst_about.moc"
