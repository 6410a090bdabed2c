#include "SettingsPath.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <grp.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace kestrava;

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

class TestSettingsPath : public QObject {
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
};

QTEST_GUILESS_MAIN(TestSettingsPath)
#include "tst_settingspath.moc"
