#include "SingleInstance.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QLockFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using namespace kestrava;

namespace {

// The program as another session of a user would start it: its own runtime folder
// and temporary folder.
QProcessEnvironment session(const QString &runtimeDir, const QString &tempDir) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("XDG_RUNTIME_DIR", runtimeDir);
    env.insert("TMPDIR", tempDir);
    env.insert("QT_QPA_PLATFORM", "offscreen");
    return env;
}

QString lockIn(const QTemporaryDir &dir) {
    return dir.filePath(QString::fromLatin1(kInstanceLockName));
}

} // namespace

// The program as a whole: the single-instance guard.
class TestProgram : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() {
#if !defined(Q_OS_UNIX) || defined(Q_OS_DARWIN)
        QSKIP("the runtime folder is given through XDG_RUNTIME_DIR here only");
#endif
    }

    void secondInstanceEndsSilently() {
        QTemporaryDir runtime; // private to the user, as a runtime folder is
        QTemporaryDir tmp;
        QVERIFY(runtime.isValid() && tmp.isValid());
        // This test holds the guard as a first copy of the same user would.
        QLockFile first(lockIn(runtime));
        QVERIFY(first.tryLock(0));

        QProcess second;
        second.setProcessEnvironment(session(runtime.path(), tmp.path()));
        QElapsedTimer t;
        t.start();
        second.start(QStringLiteral(KESTRAVA_PROGRAM), {});
        QVERIFY(second.waitForFinished(10000));
        QCOMPARE(second.exitStatus(), QProcess::NormalExit);
        QCOMPARE(second.exitCode(), 255); // -1
        QVERIFY(second.readAllStandardOutput().isEmpty());
        QVERIFY(t.elapsed() < 5000);
        QVERIFY(first.isLocked()); // the first is left alone
    }

    // A Kestrava of another user holds its guard where this user's program does not
    // look: in that user's runtime folder, or (as before) in the shared temporary
    // folder. This user's program starts all the same and takes a guard of its own.
    void anotherUsersCopyDoesNotBlock_data() {
        QTest::addColumn<bool>("heldInSharedTemp");
        QTest::newRow("held in the other user's runtime folder") << false;
        QTest::newRow("held in the shared temporary folder") << true;
    }
    void anotherUsersCopyDoesNotBlock() {
        QFETCH(bool, heldInSharedTemp);
        QTemporaryDir otherRuntime;
        QTemporaryDir sharedTemp;
        QTemporaryDir ownRuntime;
        QVERIFY(otherRuntime.isValid() && sharedTemp.isValid() && ownRuntime.isValid());
        QLockFile other(lockIn(heldInSharedTemp ? sharedTemp : otherRuntime));
        QVERIFY(other.tryLock(0));

        QProcess program;
        program.setProcessEnvironment(session(ownRuntime.path(), sharedTemp.path()));
        program.start(QStringLiteral(KESTRAVA_PROGRAM), {});
        QVERIFY(program.waitForStarted(10000));
        // Running, holding its own guard: it has got past the guard.
        QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(lockIn(ownRuntime)) ||
                                     program.state() == QProcess::NotRunning,
                                 10000);
        const bool running = program.state() == QProcess::Running;
        program.kill();
        program.waitForFinished(10000);
        QVERIFY2(running, qPrintable(QStringLiteral("ended with %1").arg(program.exitCode())));
        QVERIFY(other.isLocked());
    }

    // In process: the guard of one folder blocks a second taker; another folder's does not.
    void guardIsPerFolder() {
        QTemporaryDir a;
        QTemporaryDir b;
        QVERIFY(a.isValid() && b.isValid());
        const auto first = LockSingleInstance(a.path());
        QVERIFY(first);
        QCOMPARE(first->fileName(), lockIn(a));
        QVERIFY(!LockSingleInstance(a.path()));
        QVERIFY(LockSingleInstance(b.path()));
    }

    void guardLivesInTheRuntimeFolder() {
        QTemporaryDir runtime;
        QVERIFY(runtime.isValid());
        const QByteArray before = qgetenv("XDG_RUNTIME_DIR");
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime.path()));
        const QString path = InstanceLockPath();
        if (before.isEmpty())
            qunsetenv("XDG_RUNTIME_DIR");
        else
            qputenv("XDG_RUNTIME_DIR", before);
        QCOMPARE(path, lockIn(runtime));
    }
};

QTEST_GUILESS_MAIN(TestProgram)
#include "tst_program.moc"
