#include "AppSettings.h"
#include "LinkSettings.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace kestrava;

class TestSettings : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void defaults() {
        QTemporaryDir dir;
        QSettings ini(dir.filePath("none.INI"), QSettings::IniFormat);
        TAppSettings s;
        s.ReadCreate(ini);
        s.ReadShow(ini);
        QCOMPARE(s.MaxTxChannel, 1024);
        QCOMPARE(s.MaxRxChannel, 1024);
        QCOMPARE(s.PatTableMode, 0);
        QCOMPARE(s.PatTableWidth, 10);
        QCOMPARE(s.CrvGridWidth, 8);
        QCOMPARE(s.CheckValue, 255);
        QVERIFY(s.WarnChgPatch);
        QVERIFY(!s.DispAbCh);
        QVERIFY(!QFile::exists(dir.filePath("none.INI"))); // reading creates nothing
    }

    void corrections_data() {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("stored");
        QTest::addColumn<int>("read");
        QTest::newRow("width 14") << "PatTableWidth"
                                  << "14" << 10;
        QTest::newRow("width 16") << "PatTableWidth"
                                  << "16" << 16;
        QTest::newRow("width not a number") << "PatTableWidth"
                                            << "wide" << 10;
        QTest::newRow("mode 2") << "PatTableMode"
                                << "2" << 0;
        QTest::newRow("mode -1") << "PatTableMode"
                                 << "-1" << 0;
        QTest::newRow("mode 1") << "PatTableMode"
                                << "1" << 1;
        QTest::newRow("curve grid 12") << "CrvGridWidth"
                                       << "12" << 8;
        QTest::newRow("curve grid 16") << "CrvGridWidth"
                                       << "16" << 16;
        QTest::newRow("outputs 0") << "MaxTxChannel"
                                   << "0" << 1;
        QTest::newRow("outputs 5000") << "MaxTxChannel"
                                      << "5000" << 1024;
        QTest::newRow("inputs 512") << "MaxRxChannel"
                                    << "512" << 512;
        QTest::newRow("check 300") << "CheckValue"
                                   << "300" << 255;
        QTest::newRow("check 7") << "CheckValue"
                                 << "7" << 7;
        QTest::newRow("port 20 as read") << "Serial/ComPort"
                                         << "20" << 20;
        QTest::newRow("port not a number") << "Serial/ComPort"
                                           << "x" << 1;
        QTest::newRow("warning 0") << "WarnChgPatch"
                                   << "0" << 0;
        QTest::newRow("warning 5 is true") << "WarnChgPatch"
                                           << "5" << 1;
        QTest::newRow("A/B 1") << "DispAbCh"
                               << "1" << 1;
    }
    void corrections() {
        QFETCH(QString, key);
        QFETCH(QString, stored);
        QFETCH(int, read);
        QTemporaryDir dir;
        QSettings ini(dir.filePath("k.INI"), QSettings::IniFormat);
        ini.setValue(key, stored);
        ini.sync();
        TAppSettings s;
        s.ReadCreate(ini);
        s.ReadShow(ini);
        const QHash<QString, int> got = {
            {"PatTableWidth", s.PatTableWidth},
            {"PatTableMode", s.PatTableMode},
            {"CrvGridWidth", s.CrvGridWidth},
            {"MaxTxChannel", s.MaxTxChannel},
            {"MaxRxChannel", s.MaxRxChannel},
            {"CheckValue", s.CheckValue},
            {"Serial/ComPort", TLinkSettings(ini.fileName()).ComPort()},
            {"WarnChgPatch", int(s.WarnChgPatch)},
            {"DispAbCh", int(s.DispAbCh)}};
        QCOMPARE(got.value(key), read);
    }

    void writtenAsAProfileFile() {
        QTemporaryDir dir;
        const QString path = dir.filePath("k.INI");
        {
            QSettings ini(path, QSettings::IniFormat);
            ini.setValue("PatTableWidth", 14);
            TAppSettings s;
            s.ReadCreate(ini);
            s.ReadShow(ini);
            s.WriteGeneral(ini);
            s.WriteCheckValue(ini);
        }
        TLinkSettings(path).SetComPort(3);
        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QString text = QString::fromUtf8(f.readAll());
        QVERIFY2(text.contains("[General]"), qPrintable(text));
        QVERIFY(text.contains("[Serial]"));
        for (const char *line : {"ComPort=3", "PatTableWidth=10", "PatTableMode=0",
                                 "CrvGridWidth=8", "MaxTxChannel=1024", "MaxRxChannel=1024",
                                 "WarnChgPatch=1", "DispAbCh=0", "CheckValue=255"})
            QVERIFY2(text.contains(QString::fromLatin1(line)), line);
        QVERIFY(!text.contains("true"));
    }
};

QTEST_GUILESS_MAIN(TestSettings)
#include "tst_settings.moc"
