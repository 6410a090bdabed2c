#include "Progress.h"
#include "ScriptedResponder.h"
#include "SettingsPath.h"
#include "UiLanguage.h"
#include "Usr_misc.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <cmath>

#include <grp.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace kestrava;
using kestrava::test::ScriptedResponder;

Q_DECLARE_METATYPE(kestrava::MsgKind)

namespace {

// The rights on the program's folder only mean something to an ordinary user: root may
// write anywhere. As root, the answer is worked out in a child process that has given up
// root for the "nobody" user.
QString settingsPathAsUser(const QString &programDir) {
    if (::geteuid() != 0)
        return KestravaSettingsPathFor(programDir);
    int pipeEnds[2];
    if (::pipe(pipeEnds) != 0)
        return QStringLiteral("(no pipe)");
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(pipeEnds[0]);
        const gid_t nogroup = 65534;
        if (::setgroups(0, nullptr) != 0 || ::setgid(nogroup) != 0 || ::setuid(65534) != 0)
            ::_exit(3);
        const QByteArray answer = KestravaSettingsPathFor(programDir).toUtf8();
        const bool written = ::write(pipeEnds[1], answer.constData(), answer.size()) ==
                             static_cast<ssize_t>(answer.size());
        ::_exit(written ? 0 : 4);
    }
    ::close(pipeEnds[1]);
    QByteArray answer;
    char buffer[512];
    for (ssize_t n; (n = ::read(pipeEnds[0], buffer, sizeof buffer)) > 0;)
        answer.append(buffer, n);
    ::close(pipeEnds[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return QStringLiteral("(child failed: %1)").arg(status);
    return QString::fromUtf8(answer);
}

bool setMode(const QString &path, QFile::Permissions permissions) {
    return QFile::setPermissions(path, permissions);
}

constexpr QFile::Permissions kOpen = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                                     QFile::ReadGroup | QFile::WriteGroup | QFile::ExeGroup |
                                     QFile::ReadOther | QFile::WriteOther | QFile::ExeOther;
constexpr QFile::Permissions kReadOnly = QFile::ReadOwner | QFile::ExeOwner | QFile::ReadGroup |
                                         QFile::ExeGroup | QFile::ReadOther | QFile::ExeOther;

} // namespace

class TestCore : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    // A prefix as cmake --install lays it out (bin/ and share/kestrava/), or a folder the
    // program was built or copied into; the rights on bin/ and on a kestrava.INI already
    // there; and where the settings file must then be.
    void location_data() {
        QTest::addColumn<QString>("share");    // created next to bin/, "" for none
        QTest::addColumn<bool>("binWritable"); // bin/ itself
        QTest::addColumn<int>("existingIni");  // 0 none, 1 writable, 2 read-only
        QTest::addColumn<bool>("beside");      // true: bin/kestrava.INI; false: config folder

        QTest::newRow("run from its folder") << "" << true << 0 << true;
        QTest::newRow("run from its folder, file there") << "" << true << 1 << true;
        QTest::newRow("folder not writable") << "" << false << 0 << false;
        QTest::newRow("folder not writable, file writable") << "" << false << 1 << false;
        QTest::newRow("file read-only") << "" << true << 2 << false;
        QTest::newRow("installed, bin writable") << "share/kestrava" << true << 0 << false;
        QTest::newRow("installed, a file beside bin") << "share/kestrava" << true << 1 << false;
        QTest::newRow("installed, bin read-only") << "share/kestrava" << false << 0 << false;
        QTest::newRow("share of other programs only") << "share/other" << true << 0 << true;
    }
    void location() {
        QFETCH(QString, share);
        QFETCH(bool, binWritable);
        QFETCH(int, existingIni);
        QFETCH(bool, beside);

        QTemporaryDir prefix;
        QVERIFY(prefix.isValid());
        QVERIFY(setMode(prefix.path(), kOpen));
        const QString bin = prefix.filePath(QStringLiteral("bin"));
        QVERIFY(QDir().mkpath(bin));
        if (!share.isEmpty())
            QVERIFY(QDir().mkpath(prefix.filePath(share)));
        const QString besideIni = QDir(bin).filePath(QStringLiteral("kestrava.INI"));
        if (existingIni != 0) {
            QFile ini(besideIni);
            QVERIFY(ini.open(QIODevice::WriteOnly));
            ini.close();
            QVERIFY(setMode(besideIni, existingIni == 1 ? kOpen : kReadOnly));
        }
        QVERIFY(setMode(bin, binWritable ? kOpen : kReadOnly));

        const QString expected =
            beside ? besideIni
                   : QDir(KestravaConfigFolder()).filePath(QStringLiteral("kestrava.INI"));
        QCOMPARE(settingsPathAsUser(bin), expected);
        QVERIFY(setMode(bin, kOpen)); // so that the folder can be removed
    }

    // The editor keeps its user files in its AppConfigLocation; the command-line tool,
    // named otherwise, must still land in the same folder.
    void configFolderIsTheEditors() {
        const QString previous = QCoreApplication::applicationName();
        QCoreApplication::setApplicationName(QStringLiteral("Kestrava"));
        const QString editors = QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation);
        QCoreApplication::setApplicationName(QStringLiteral("kestrava-cli"));
        const QString tools = KestravaConfigFolder();
        QCoreApplication::setApplicationName(previous);
        QCOMPARE(tools, editors);
    }

    void configFolderIsMade() {
        QDir(KestravaConfigFolder()).removeRecursively();
        QTemporaryDir prefix;
        QVERIFY(QDir().mkpath(prefix.filePath(QStringLiteral("share/kestrava"))));
        const QString path = KestravaSettingsPathFor(prefix.filePath(QStringLiteral("bin")));
        QVERIFY(QFileInfo(QFileInfo(path).path()).isDir());
    }

    void dataFolder_data() {
        QTest::addColumn<QString>("share");
        QTest::addColumn<QString>("expected"); // relative to the prefix
        QTest::newRow("installed") << "share/kestrava"
                                   << "share/kestrava";
        QTest::newRow("build folder") << ""
                                      << "bin";
        QTest::newRow("share of other programs only") << "share/other"
                                                      << "bin";
    }
    void dataFolder() {
        QFETCH(QString, share);
        QFETCH(QString, expected);
        QTemporaryDir prefix;
        QVERIFY(QDir().mkpath(prefix.filePath(QStringLiteral("bin"))));
        if (!share.isEmpty())
            QVERIFY(QDir().mkpath(prefix.filePath(share)));
        QCOMPARE(KestravaDataFolderFor(prefix.filePath(QStringLiteral("bin"))),
                 prefix.filePath(expected));
    }

    void languageChoice_data() {
        QTest::addColumn<QString>("setting");
        QTest::addColumn<QStringList>("preferred");
        QTest::addColumn<bool>("english");
        QTest::newRow("English desktop") << "" << QStringList{"en-US", "en"} << true;
        QTest::newRow("British desktop") << "" << QStringList{"en-GB"} << true;
        QTest::newRow("Japanese desktop") << "" << QStringList{"ja-JP", "ja"} << false;
        QTest::newRow("C locale") << "" << QStringList{"C"} << false;
        QTest::newRow("no language at all") << "" << QStringList{} << false;
        QTest::newRow("German first, English second") << "" << QStringList{"de-DE", "en"} << false;
        QTest::newRow("English first, Japanese second") << "" << QStringList{"en", "ja"} << true;
        QTest::newRow("ja wins over an English desktop") << "ja" << QStringList{"en-US"} << false;
        QTest::newRow("en wins over the C locale") << "en" << QStringList{"C"} << true;
        QTest::newRow("written by hand: EN and spaces") << " EN " << QStringList{"C"} << true;
        QTest::newRow("unknown value: the desktop decides") << "fr" << QStringList{"en-US"} << true;
    }
    void languageChoice() {
        QFETCH(QString, setting);
        QFETCH(QStringList, preferred);
        QFETCH(bool, english);
        QCOMPARE(ChooseUiLanguage(setting, preferred) == UiLanguage::English, english);
    }

    // The key is read, never written: the file keeps its bytes, and a missing file is not
    // created.
    void languageSettingIsOnlyRead() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("kestrava.INI"));
        const QByteArray text = "[General]\r\nLanguage=en\r\nMaxTxChannel=512\r\n";
        {
            QFile f(path);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(text);
        }
        QCOMPARE(UiLanguageOf(path), UiLanguage::English);
        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), text);
        const QString missing = dir.filePath(QStringLiteral("none.INI"));
        UiLanguageOf(missing);
        QVERIFY(!QFile::exists(missing));
    }

    void messageBoxDefaults_data() {
        QTest::addColumn<MsgKind>("kind");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<int>("answer");
        QTest::addColumn<int>("result");
        QTest::newRow("error") << MsgKind::Error << "エラー" << 0 << IDOK;
        QTest::newRow("warning") << MsgKind::Warning << "警告" << 0 << IDOK;
        QTest::newRow("info") << MsgKind::Info << "確認" << 0 << IDOK;
        QTest::newRow("yes/no yes") << MsgKind::YesNo << "確認" << IDYES << 1;
        QTest::newRow("yes/no no") << MsgKind::YesNo << "確認" << IDNO << 0;
        QTest::newRow("error yes/no yes") << MsgKind::ErrorYesNo << "エラー" << IDYES << 1;
        QTest::newRow("yes/no/cancel yes") << MsgKind::YesNoCancel << "確認" << IDYES << IDYES;
        QTest::newRow("yes/no/cancel no") << MsgKind::YesNoCancel << "確認" << IDNO << IDNO;
        QTest::newRow("yes/no/cancel closed")
            << MsgKind::YesNoCancel << "確認" << IDCANCEL << IDCANCEL;
        QTest::newRow("yes/no/cancel odd answer")
            << MsgKind::YesNoCancel << "確認" << IDOK << IDCANCEL;
    }
    void messageBoxDefaults() {
        QFETCH(MsgKind, kind);
        QFETCH(QString, caption);
        QFETCH(int, answer);
        QFETCH(int, result);
        ScriptedResponder boxes;
        const TBoxes says(boxes);
        if (answer)
            boxes.queueAnswer(answer);
        const QString text = QStringLiteral("本文");
        int got = IDOK;
        switch (kind) {
        case MsgKind::Error:
            says.Error(text);
            break;
        case MsgKind::Warning:
            says.Warning(text);
            break;
        case MsgKind::Info:
            says.Info(text);
            break;
        case MsgKind::ErrorYesNo:
            got = says.AskErrorYesNo(text) ? 1 : 0;
            break;
        case MsgKind::YesNo:
            got = says.AskYesNo(text) ? 1 : 0;
            break;
        case MsgKind::YesNoCancel:
            got = says.AskYesNoCancel(text);
            break;
        }
        QCOMPARE(got, result);
        QCOMPARE(boxes.boxes().size(), 1);
        QCOMPARE(boxes.boxes()[0].kind, kind);
        QCOMPARE(boxes.boxes()[0].caption, caption);
        QCOMPARE(boxes.boxes()[0].text, text);
        QVERIFY(!boxes.unexpected());

        // a caption of the caller's own wins
        if (answer)
            boxes.queueAnswer(answer);
        if (kind == MsgKind::YesNoCancel)
            says.AskYesNoCancel(text, QStringLiteral("終了確認"));
        else if (kind == MsgKind::Error)
            says.Error(text, QStringLiteral("終了確認"));
        else
            return;
        QCOMPARE(boxes.boxes().last().caption, QStringLiteral("終了確認"));
    }

    void progressPositions_data() {
        QTest::addColumn<double>("fraction");
        QTest::addColumn<int>("position");
        QTest::newRow("1.5") << 1.5 << 100;
        QTest::newRow("1") << 1.0 << 100;
        QTest::newRow("1/64") << 0.015625 << 1;
        QTest::newRow("0.0155") << 0.0155 << 1;
        QTest::newRow("511/512") << 511.0 / 512 << 99;
        QTest::newRow("0") << 0.0 << 0;
        QTest::newRow("negative") << -0.5 << 0;
        QTest::newRow("NaN") << std::nan("") << 0;
    }
    void progressPositions() {
        QFETCH(double, fraction);
        QFETCH(int, position);
        QCOMPARE(ProgressPosition(fraction), position);
    }
};

QTEST_GUILESS_MAIN(TestCore)
#include "tst_core.moc"
