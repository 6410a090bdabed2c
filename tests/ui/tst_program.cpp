#include <QDir>
#include <QElapsedTimer>
#include <QLockFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

// The program as a whole: the single-instance guard.
class TestProgram : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void secondInstanceEndsSilently() {
        QTemporaryDir tmp;
        // the guard lives in the temporary folder; this test holds it as a first copy would
        QLockFile first(QDir(tmp.path()).filePath("Kestrava_is_running"));
        QVERIFY(first.tryLock(0));

        QProcess second;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("TMPDIR", tmp.path());
        env.insert("QT_QPA_PLATFORM", "offscreen");
        second.setProcessEnvironment(env);
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
};

QTEST_GUILESS_MAIN(TestProgram)
#include "tst_program.moc"
