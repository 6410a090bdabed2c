#include "AboutBox.h"
#include "AttrCellLook.h"
#include "CurveCellLook.h"
#include "DataFileKind.h"
#include "OptDlg.h"
#include "PatchLayout.h"
#include "StatusText.h"
#include "UiLanguage.h"
#include "UiRigs.h"
#include "UiTexts.h"
#include "Usr_help.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QCoreApplication>
#include <QCryptographicHash>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QSettings>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QXmlStreamReader>

using namespace kestrava;
using kestrava::test::FormRig;

namespace {

bool hasJapanese(const QString &text) {
    static const QRegularExpression kana(
        QStringLiteral("[\\x{3000}-\\x{30ff}\\x{3400}-\\x{9fff}\\x{ff00}-\\x{ffef}]"));
    return text.contains(kana);
}

struct Message {
    QString context, source, translation;
    bool finished = false;
};

// The messages of a .ts file (without vanished and obsolete ones).
QList<Message> readTs(const QString &path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QList<Message> messages;
    QString context;
    Message m;
    QString type;
    QXmlStreamReader xml(&file);
    while (!xml.atEnd()) {
        xml.readNext();
        const auto name = xml.name();
        if (xml.isEndElement() && name == QLatin1String("message") &&
            type != QLatin1String("vanished") && type != QLatin1String("obsolete"))
            messages.append(m);
        if (!xml.isStartElement())
            continue;
        if (name == QLatin1String("name")) {
            context = xml.readElementText();
        } else if (name == QLatin1String("message")) {
            m = Message{context, {}, {}, false};
            type.clear();
        } else if (name == QLatin1String("source")) {
            m.source = xml.readElementText();
        } else if (name == QLatin1String("translation")) {
            type = xml.attributes().value(QLatin1String("type")).toString();
            m.translation = xml.readElementText();
            m.finished = type.isEmpty() && !m.translation.isEmpty();
        }
    }
    return xml.hasError() ? QList<Message>{} : messages;
}

QSet<QString> placeholders(const QString &text) {
    QSet<QString> found;
    static const QRegularExpression arg(QStringLiteral("%\\d+"));
    for (auto it = arg.globalMatch(text); it.hasNext();)
        found.insert(it.next().captured());
    return found;
}

// Collects every text the user can see in a widget tree that is still in Japanese.
class TextWalk {
public:
    void see(const QString &where, const QString &text) {
        ++seen_;
        if (hasJapanese(text))
            left_ << where + QStringLiteral(": ") + text;
    }

    void widgets(const QWidget &root) {
        see(root.objectName() + QStringLiteral(" title"), root.windowTitle());
        QList<const QWidget *> all{&root};
        for (const QWidget *w : root.findChildren<QWidget *>())
            all << w;
        for (const QWidget *w : all) {
            const QString name = w->objectName();
            see(name + QStringLiteral(" tooltip"), w->toolTip());
            if (auto *l = qobject_cast<const QLabel *>(w))
                see(name, l->text());
            if (auto *b = qobject_cast<const QAbstractButton *>(w))
                see(name, b->text());
            if (auto *g = qobject_cast<const QGroupBox *>(w))
                see(name, g->title());
            if (auto *m = qobject_cast<const QMenu *>(w))
                see(name, m->title());
            if (auto *c = qobject_cast<const QComboBox *>(w))
                for (int i = 0; i < c->count(); ++i)
                    see(name, c->itemText(i));
            if (auto *t = qobject_cast<const QTabWidget *>(w))
                for (int i = 0; i < t->count(); ++i)
                    see(name, t->tabText(i));
        }
        for (const QAction *a : root.findChildren<QAction *>()) {
            see(a->objectName(), a->text());
            see(a->objectName() + QStringLiteral(" tooltip"), a->toolTip());
        }
    }

    void boxes(const QList<test::ScriptedResponder::Box> &boxes) {
        for (const auto &b : boxes) {
            see(QStringLiteral("box"), b.text);
            see(QStringLiteral("box caption"), b.caption);
        }
    }

    int seen() const { return seen_; }
    const QStringList &left() const { return left_; }

private:
    int seen_ = 0;
    QStringList left_;
};

void settle() {
    for (int i = 0; i < 5; ++i)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
}

} // namespace

class TestTranslations : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // Every message of the translation is finished, English, and keeps the placeholders
    // and the accelerator of its source.
    void translationFileIsComplete() {
        const QList<Message> messages = readTs(QStringLiteral(KESTRAVA_TS_FILE));
        QVERIFY(messages.size() > 100);
        QStringList faults;
        for (const Message &m : messages) {
            const QString id = m.context + QStringLiteral(" / ") + m.source;
            if (!m.finished)
                faults << QStringLiteral("unfinished: ") + id;
            else if (hasJapanese(m.translation))
                faults << QStringLiteral("still Japanese: ") + id;
            if (placeholders(m.source) != placeholders(m.translation))
                faults << QStringLiteral("placeholders differ: ") + id;
            if (m.source.contains(u'&') != m.translation.contains(u'&'))
                faults << QStringLiteral("accelerator: ") + id;
        }
        QVERIFY2(faults.isEmpty(), qPrintable(faults.join(u'\n')));
    }

    // lupdate over today's sources finds no text the translation lacks and none it no
    // longer needs.
    void translationCoversTheSources() {
        QTemporaryDir dir;
        const QString ts = dir.filePath(QStringLiteral("kestrava_en.ts"));
        QVERIFY(QFile::copy(QStringLiteral(KESTRAVA_TS_FILE), ts));
        QFile::setPermissions(ts, QFile::ReadOwner | QFile::WriteOwner);
        QProcess lupdate;
        lupdate.start(QStringLiteral(KESTRAVA_LUPDATE),
                      {QStringLiteral("-silent"), QStringLiteral("-locations"),
                       QStringLiteral("none"), QStringLiteral(KESTRAVA_SOURCE_DIR "/src"),
                       QStringLiteral("-ts"), ts});
        QVERIFY(lupdate.waitForFinished(120000));
        QCOMPARE(lupdate.exitCode(), 0);
        const QList<Message> before = readTs(QStringLiteral(KESTRAVA_TS_FILE));
        QStringList now;
        for (const Message &m : readTs(ts))
            now << m.context + QStringLiteral(" / ") + m.source +
                       (m.finished ? QString() : QStringLiteral("  (new)"));
        QStringList was;
        for (const Message &m : before)
            was << m.context + QStringLiteral(" / ") + m.source;
        now.sort();
        was.sort();
        QCOMPARE(now, was);
    }

    // The programs' texts and help follow the language; Japanese is the texts themselves.
    void textsFollowTheLanguage_data() {
        QTest::addColumn<bool>("english");
        QTest::addColumn<QString>("fileMenu");
        QTest::addColumn<QString>("noResponse");
        QTest::addColumn<QString>("helpPage");
        QTest::newRow("ja") << false << "ファイル(&F)"
                            << "応答がありません"
                            << "kestrava.html";
        QTest::newRow("en") << true << "&File"
                            << "No response from the unit"
                            << "kestrava_en.html";
    }
    void textsFollowTheLanguage() {
        QFETCH(bool, english);
        QFETCH(QString, fileMenu);
        QFETCH(QString, noResponse);
        QFETCH(QString, helpPage);
        auto menu = [] {
            return QCoreApplication::translate("kestrava::TMainMenu", "ファイル(&F)");
        };
        auto link = [] { return QCoreApplication::translate("UnitLink", "応答がありません"); };
        {
            const TUiTexts texts(english ? UiLanguage::English : UiLanguage::Japanese,
                                 QCoreApplication::applicationDirPath());
            QVERIFY(texts.Installed());
            QCOMPARE(menu(), fileMenu);
            QCOMPARE(link(), noResponse);
            test::ScriptedResponder boxes;
            const TDesktop desktop{.boxes = TBoxes(boxes), .helpLanguage = texts.HelpLanguage()};
            QCOMPARE(QFileInfo(HelpFilePath(desktop)).fileName(), helpPage);
            QVERIFY(HelpFileExists(desktop));
        }
        QCOMPARE(menu(), QStringLiteral("ファイル(&F)"));
    }

    // The whole window in English, linked and in edit mode, every page, its dialogs and
    // the questions it asks: no text is left in Japanese.
    void englishWindow_data() {
        QTest::addColumn<bool>("editMode");
        QTest::newRow("linked") << false;
        QTest::newRow("edit mode") << true;
    }
    void englishWindow() {
        QFETCH(bool, editMode);
        FormRig rig({}, QStringLiteral("en"));
        QVERIFY(rig.texts->Installed());
        TKestravaForm &form = *rig.form;
        if (editMode) {
            rig.unit.setAbsent(true);
            rig.boxes.queueAnswer(IDYES);
            QVERIFY(rig.showOnly());
            QTRY_VERIFY_WITH_TIMEOUT(form.link.EditMode, 4000);
        } else {
            QVERIFY(rig.showLinked());
        }
        TextWalk walk;
        for (const Page page : {Page::Patch, Page::Attr, Page::Curve}) {
            form.ShowPage(page);
            settle();
            walk.widgets(form);
        }
        // The questions of the commands that ask first (all answered No) and of closing.
        using enum ActionId;
        for (const ActionId id :
             {ClrAllPatAction, ClrCurPatAction, InitLdAtrAction, InitCrvAction}) {
            form.ShowPage(id == InitLdAtrAction ? Page::Attr
                          : id == InitCrvAction ? Page::Curve
                                                : Page::Patch);
            rig.boxes.queueAnswer(IDNO);
            form.ExecuteAction(id);
        }
        // The file dialogs of a save and a load (both cancelled).
        form.ShowPage(Page::Patch);
        for (const ActionId id : {SaveAllDataAction, LoadAllDataAction}) {
            rig.boxes.queueFile(QString());
            form.ExecuteAction(id);
        }
        QCOMPARE(rig.boxes.fileDialogs().size(), 2);
        for (const FileDialogRequest &dialog : rig.boxes.fileDialogs()) {
            walk.see(QStringLiteral("file dialog"), dialog.title);
            walk.see(QStringLiteral("file dialog filter"), dialog.filter);
        }
        form.patches.PatchChanged = form.attrs.LdAtrChanged = form.curves.CurveChanged = true;
        for (int i = 0; i < 3; ++i)
            rig.boxes.queueAnswer(IDNO);
        QVERIFY(form.FormCloseQuery());
        walk.boxes(rig.boxes.boxes());
        QVERIFY(rig.boxes.boxes().size() >= (editMode ? 8 : 6));

        TOptDlg options(rig.desktop.boxes, &form);
        walk.widgets(options);
        TAboutBox about(&form);
        walk.widgets(about);
        QVERIFY2(walk.left().isEmpty(), qPrintable(walk.left().join(u'\n')));
        QVERIFY(walk.seen() > 200);
        rig.closeQuietly();
        // Closing writes the settings and keeps the language the user chose.
        QCOMPARE(QSettings(rig.settings.path(), QSettings::IniFormat).value("Language"),
                 QVariant(QStringLiteral("en")));
    }

    // Texts drawn into the grids, the status panels and the file dialog filters.
    void englishDrawnTexts() {
        const TUiTexts texts(UiLanguage::English, QCoreApplication::applicationDirPath());
        TextWalk walk;
        TPatchModel patches;
        patches.CurPatch = 0;
        std::array<bool, OutputCount> selected{};
        for (const int mode : {0, 1}) {
            const TPatchLayout l{mode, 10, false, OutputCount, 16};
            const TPatchCellInput in{l, patches, selected, -1, {}, {}, {}, {}, {}, {}};
            for (const int row : {0, 17, 18})
                walk.see(QStringLiteral("patch header"), PatchCellLook(in, 0, row, false).text);
        }
        TLoadAttrs attrs{};
        const TAttrCellInput attrIn{attrs, false, 0, {}, {}, {}, {}, {}};
        for (const int col : {0, 1})
            walk.see(QStringLiteral("attribute header"), AttrCellLook(attrIn, col, 0, false).text);
        for (const bool edit : {false, true})
            for (const bool linked : {false, true})
                for (const bool open : {false, true})
                    walk.see(QStringLiteral("panel 0"), LinkPanelText(edit, 1, linked, open, {}));
        for (const int mode : {0, 1})
            walk.see(QStringLiteral("panel 3"),
                     InfoPanelText(true, 0, mode, false, 1024, 0, 2, true));
        walk.see(QStringLiteral("curve panel"), CurveStatusText(128, 128, 255));
        walk.see(QStringLiteral("curve click"), CurveClickText(128, 128));
        for (const TFileKindInfo &kind : DataFileKinds())
            walk.see(QStringLiteral("filter"), kind.filter());
        QVERIFY2(walk.left().isEmpty(), qPrintable(walk.left().join(u'\n')));
    }
};

QTEST_MAIN(TestTranslations)
#include "tst_translations.moc"
