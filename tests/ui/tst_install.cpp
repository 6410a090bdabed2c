#include "InstallLayout.h"
#include "SettingsPath.h"
#include "Usr_help.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

using namespace kestrava;

namespace {

void touch(const QString &path) {
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    QVERIFY2(file.open(QIODevice::WriteOnly), qPrintable(path));
}

QString documentsFolder() {
    return QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
}

// The value of "Key=" in a desktop entry.
QString desktopValue(const QString &path, const QString &key) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return {};
    const QStringList lines = QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'));
    for (const QString &line : lines)
        if (line.startsWith(key + QLatin1Char('=')))
            return line.mid(key.size() + 1);
    return {};
}

} // namespace

class TestInstall : public QObject {
    Q_OBJECT

private:
    QTemporaryDir installed_;

    QString prefixPath(const QString &relative) const { return installed_.filePath(relative); }

private Q_SLOTS:
    void initTestCase() {
        QStandardPaths::setTestModeEnabled(true);
        QVERIFY(installed_.isValid());
        QProcess install;
        install.start(QStringLiteral(KESTRAVA_CMAKE),
                      {QStringLiteral("--install"), QStringLiteral(KESTRAVA_BUILD_DIR),
                       QStringLiteral("--prefix"), installed_.path()});
        QVERIFY(install.waitForFinished(120000));
        QVERIFY2(install.exitStatus() == QProcess::NormalExit && install.exitCode() == 0,
                 install.readAllStandardError().constData());
    }

    // Which help page is opened for a program folder: beside the program first, then the
    // data folder of an installed one.
    void helpLookup_data() {
        QTest::addColumn<QStringList>("files"); // made under an empty prefix
        QTest::addColumn<QString>("expected");  // relative to the prefix
        QTest::addColumn<bool>("found");
        QTest::addColumn<bool>("english");

        QTest::newRow("build folder")
            << QStringList{"bin/kestrava.html"} << "bin/kestrava.html" << true << false;
        QTest::newRow("installed") << QStringList{"share/kestrava/kestrava.html"}
                                   << "share/kestrava/kestrava.html" << true << false;
        QTest::newRow("a copy beside an installed program comes first")
            << QStringList{"bin/kestrava.html", "share/kestrava/kestrava.html"}
            << "bin/kestrava.html" << true << false;
        QTest::newRow("installed without help") << QStringList{"share/kestrava/translations/x"}
                                                << "bin/kestrava.html" << false << false;
        QTest::newRow("no help anywhere") << QStringList{} << "bin/kestrava.html" << false << false;
        QTest::newRow("help of another program")
            << QStringList{"share/other/kestrava.html"} << "bin/kestrava.html" << false << false;
        QTest::newRow("English installed")
            << QStringList{"share/kestrava/kestrava.html", "share/kestrava/kestrava_en.html"}
            << "share/kestrava/kestrava_en.html" << true << true;
        QTest::newRow("English beside comes first")
            << QStringList{"bin/kestrava_en.html", "share/kestrava/kestrava_en.html"}
            << "bin/kestrava_en.html" << true << true;
        QTest::newRow("no English page: the Japanese one")
            << QStringList{"share/kestrava/kestrava.html"} << "share/kestrava/kestrava.html" << true
            << true;
        QTest::newRow("Japanese never opens the English page")
            << QStringList{"bin/kestrava_en.html"} << "bin/kestrava.html" << false << false;
    }
    void helpLookup() {
        QFETCH(QStringList, files);
        QFETCH(QString, expected);
        QFETCH(bool, found);
        QFETCH(bool, english);
        QTemporaryDir prefix;
        QVERIFY(QDir().mkpath(prefix.filePath(QStringLiteral("bin"))));
        for (const QString &file : files)
            touch(prefix.filePath(file));
        const QString path = HelpFilePathFor(prefix.filePath(QStringLiteral("bin")),
                                             english ? UiLanguage::English : UiLanguage::Japanese);
        QCOMPARE(QDir::cleanPath(path), prefix.filePath(expected));
        QCOMPARE(QFileInfo(path).isFile(), found);
    }

    // A help folder given to the desktop is the only place looked at, even when the
    // program's own lookup would find a page.
    void helpFolderSeamWins() {
        QTemporaryDir empty;
        StderrResponder boxes;
        TDesktop desktop{TBoxes(boxes)};
        QVERIFY(HelpFileExists(desktop)); // the build copies the page beside the test programs
        desktop.helpFolder = empty.path();
        QCOMPARE(HelpFilePath(desktop),
                 QDir(empty.path()).filePath(QStringLiteral("kestrava.html")));
        QVERIFY(!HelpFileExists(desktop));
    }

    void dialogFolder_data() {
        QTest::addColumn<QString>("share");
        QTest::addColumn<bool>("documents"); // false: the program's folder
        QTest::newRow("build folder") << "" << false;
        QTest::newRow("installed") << "share/kestrava" << true;
        QTest::newRow("share of other programs only") << "share/other" << false;
    }
    void dialogFolder() {
        QFETCH(QString, share);
        QFETCH(bool, documents);
        QTemporaryDir prefix;
        const QString bin = prefix.filePath(QStringLiteral("bin"));
        QVERIFY(QDir().mkpath(bin));
        if (!share.isEmpty())
            QVERIFY(QDir().mkpath(prefix.filePath(share)));
        QCOMPARE(FileDialogStartFolderFor(bin), documents ? documentsFolder() : bin);
    }

    // cmake --install of this build: the installed programs find their help and keep
    // their files in the user's folders.
    void installedProgramsFindTheirFiles() {
        const QString bin = prefixPath(QStringLiteral("bin"));
        QCOMPARE(HelpFilePathFor(bin), prefixPath(QStringLiteral("share/kestrava/kestrava.html")));
        QVERIFY(QFileInfo(HelpFilePathFor(bin)).isFile());
        QCOMPARE(QFileInfo(KestravaSettingsPathFor(bin)).path(), KestravaConfigFolder());
        QCOMPARE(FileDialogStartFolderFor(bin), documentsFolder());
        QCOMPARE(HelpFilePathFor(bin, UiLanguage::English),
                 prefixPath(QStringLiteral("share/kestrava/kestrava_en.html")));
        QCOMPARE(ProgramTranslationFor(bin, UiLanguage::English),
                 prefixPath(QStringLiteral("share/kestrava/translations/kestrava_en.qm")));
    }

    // The installed command-line tool finds its translation: asked in English, it answers
    // in English.
    void installedProgramSpeaksEnglish() {
        QTemporaryDir dir;
        const QString ini = dir.filePath(QStringLiteral("kestrava.INI"));
        QSettings(ini, QSettings::IniFormat).setValue(QStringLiteral("Language"), "en");
        QProcess run;
        run.start(prefixPath(QStringLiteral("bin/kestrava-cli")),
                  {QStringLiteral("--settings"), ini, QStringLiteral("--port"), QStringLiteral("8"),
                   QStringLiteral("info")});
        QVERIFY(run.waitForFinished(30000));
        QCOMPARE(run.exitCode(), 1);
        const QString err = QString::fromUtf8(run.readAllStandardError());
        QVERIFY2(err.contains(QStringLiteral("COM8:Unavailable (No device is assigned to COM8)")),
                 qPrintable(err));
    }

    void onlyTheProgramsAreInstalled() {
        const QStringList programs = QDir(prefixPath(QStringLiteral("bin"))).entryList(QDir::Files);
        QCOMPARE(programs, (QStringList{"kestrava", "kestrava-cli", "kestrava-unitsim"}));
        QDirIterator all(installed_.path(), QDir::Files, QDirIterator::Subdirectories);
        while (all.hasNext()) {
            const QString name = QFileInfo(all.next()).fileName();
            QVERIFY2(!name.endsWith(QLatin1String(".a")) && !name.endsWith(QLatin1String(".h")),
                     qPrintable(name));
        }
    }

    void installedProgramsStart_data() {
        QTest::addColumn<QString>("program");
        QTest::addColumn<QString>("firstWords");
        QTest::newRow("kestrava-cli") << "kestrava-cli"
                                      << "Usage: kestrava-cli";
        QTest::newRow("kestrava-unitsim") << "kestrava-unitsim"
                                          << "Usage: ";
    }
    void installedProgramsStart() {
        QFETCH(QString, program);
        QFETCH(QString, firstWords);
        QProcess run;
        run.start(prefixPath(QStringLiteral("bin/") + program), {QStringLiteral("--help")});
        QVERIFY(run.waitForFinished(30000));
        QCOMPARE(run.exitCode(), 0);
        QVERIFY2(run.readAllStandardOutput().startsWith(firstWords.toUtf8()), qPrintable(program));
    }

    // Every icon of the theme is the size its folder says, and drawn (not blank).
    void iconsAreRendered() {
        const QDir hicolor(prefixPath(QStringLiteral("share/icons/hicolor")));
        const QStringList sizes = hicolor.entryList(QDir::Dirs | QDir::NoDotAndDotDot);
        QVERIFY(sizes.size() >= 4);
        const QRegularExpression square(QStringLiteral("^(\\d+)x\\1$"));
        for (const QString &size : sizes) {
            QVERIFY2(square.match(size).hasMatch(), qPrintable(size));
            const QImage image(hicolor.filePath(size + QStringLiteral("/apps/kestrava.png")));
            const int side = size.section(QLatin1Char('x'), 0, 0).toInt();
            QCOMPARE(image.size(), QSize(side, side));
            QCOMPARE(image.pixelColor(0, 0).alpha(), 0);                 // transparent corner
            QCOMPARE(image.pixelColor(side / 2, side / 2).alpha(), 255); // drawn middle
        }
    }

    // The desktop entry starts an installed program with an installed icon, and the
    // metainfo names that entry.
    void desktopEntryMatches() {
        const QString entry = prefixPath(QStringLiteral("share/applications/kestrava.desktop"));
        const QString exec = desktopValue(entry, QStringLiteral("Exec"));
        QVERIFY(QFileInfo(prefixPath(QStringLiteral("bin/") + exec)).isExecutable());
        const QString icon = desktopValue(entry, QStringLiteral("Icon"));
        QVERIFY(QFile::exists(
            prefixPath(QStringLiteral("share/icons/hicolor/48x48/apps/%1.png").arg(icon))));

        const QStringList metainfo =
            QDir(prefixPath(QStringLiteral("share/metainfo"))).entryList(QDir::Files);
        QCOMPARE(metainfo.size(), 1);
        QFile xml(prefixPath(QStringLiteral("share/metainfo/") + metainfo.first()));
        QVERIFY(xml.open(QIODevice::ReadOnly));
        const QString text = QString::fromUtf8(xml.readAll());
        QVERIFY(text.contains(
            QStringLiteral("<launchable type=\"desktop-id\">kestrava.desktop</launchable>")));
        const QString id =
            text.section(QStringLiteral("<id>"), 1).section(QStringLiteral("</id>"), 0, 0);
        QCOMPARE(metainfo.first(), id + QStringLiteral(".metainfo.xml"));
    }

    void manPagesForEveryProgram() {
        const QStringList programs = QDir(prefixPath(QStringLiteral("bin"))).entryList(QDir::Files);
        QVERIFY(!programs.isEmpty());
        for (const QString &program : programs)
            QVERIFY2(
                QFile::exists(prefixPath(QStringLiteral("share/man/man1/%1.1.gz").arg(program))),
                qPrintable(program));
    }
};

QTEST_MAIN(TestInstall)
#include "tst_install.moc"
