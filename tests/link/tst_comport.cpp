#include "ComPortMap.h"
#include "LinkSettings.h"
#include "PtyPeer.h"
#include "Usr_com_std.h"

#include <QElapsedTimer>
#include <QFile>
#include <QSerialPort>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

using namespace kestrava;
using kestrava::test::PtyPeer;

namespace {

constexpr int kPort = 5;

class FakeSource : public ComDeviceSource {
public:
    QList<ComDevice> devices;
    QStringList existing;
    QList<ComDevice> presentDevices() const override { return devices; }
    bool pathExists(const QString &p) const override { return existing.contains(p); }
    QString canonicalPath(const QString &p) const override {
        for (const ComDevice &d : devices)
            if (p == d.stablePath)
                return d.location;
        return p;
    }
};

ComDevice device(const QString &name, const QString &stable = {}, const QString &product = {},
                 const QString &maker = {}, const QString &serial = {}) {
    return {name, QStringLiteral("/dev/") + name, stable, product, maker, serial};
}

// The system's low-latency control, watched; or a driver that has the mode, played.
class WatchedLatency : public LowLatencyControl {
public:
    bool playDriver = false;
    mutable int requests = 0;
    mutable std::optional<int> requested; // what Request returned
    mutable std::optional<int> restored;
    std::optional<int> Request(qintptr handle) const override {
        ++requests;
        requested = playDriver ? std::optional<int>(0x1040) : LowLatencyControl::Request(handle);
        return requested;
    }
    void Restore(qintptr handle, int flags) const override {
        restored = flags;
        if (!playDriver)
            LowLatencyControl::Restore(handle, flags);
    }
};

} // namespace

class TestComPort : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void cleanup() { CloseComPort(kPort); }

    void baudCodes_data() {
        QTest::addColumn<int>("code");
        QTest::addColumn<int>("rate");
        const int table[][2] = {{7, 1200},      {9, 2400},   {10, 4800},  {12, 9600},
                                {13, 19200},    {14, 38400}, {15, 57600}, {16, 115200},
                                {31250, 31250}, {8, 8},      {11, 11},    {300, 300}};
        for (const auto &row : table)
            QTest::addRow("code %d", row[0]) << row[0] << row[1];
    }
    void baudCodes() {
        QFETCH(int, code);
        QFETCH(int, rate);
        QCOMPARE(BaudRateOfCode(code), rate);
    }

    void invalidPortsFailWithoutTouchingTheTable_data() {
        QTest::addColumn<int>("port");
        QTest::addColumn<int>("code");
        QTest::newRow("port 0") << 0 << 15;
        QTest::newRow("port 17") << 17 << 15;
        QTest::newRow("negative port") << -3 << 15;
        QTest::newRow("baud code 0") << 1 << 0;
        QTest::newRow("negative baud code") << 1 << -15;
    }
    void invalidPortsFailWithoutTouchingTheTable() {
        QFETCH(int, port);
        QFETCH(int, code);
        PtyPeer peer;
        QVERIFY(peer.ok());
        QVERIFY(!OpenComDevice(port, peer.devicePath(), code, 0));
        QVERIFY(!OpenComPort(port, code, 0, QString()));
        QVERIFY(!IsComPortOpen(port));
    }

    void unopenedPortsYieldFailureValues_data() {
        QTest::addColumn<int>("port");
        QTest::newRow("valid number, not open") << 3;
        QTest::newRow("0") << 0;
        QTest::newRow("17") << 17;
    }
    void unopenedPortsYieldFailureValues() {
        QFETCH(int, port);
        QVERIFY(!WriteComText(port, QStringLiteral("R001\r")));
        QCOMPARE(ComInQueue(port), 0);
        QCOMPARE(ComOutQueue(port), 0);
        QCOMPARE(ReadComByte(port), -1);
        QElapsedTimer t;
        t.start();
        QCOMPARE(ReadComLine(port, 100), QString());
        QVERIFY2(t.elapsed() < 500, "an unopened port must not wait");
        PurgeComRx(port); // must not crash
        CloseComPort(port);
    }

    void bytesBeforeOpenAreGone() {
        PtyPeer peer;
        peer.send("stale bytes\r");
        QThread::msleep(20);
        QVERIFY(OpenComDevice(kPort, peer.devicePath(), kUnitBaudCode, 0));
        QCOMPARE(ComInQueue(kPort), 0);
        peer.send("fresh\r");
        QCOMPARE(ReadComLine(kPort, 100), QStringLiteral("fresh"));
    }

    void portInUseByAnotherProgram() {
        PtyPeer peer;
        QSerialPort other;
        other.setPortName(peer.devicePath());
        QVERIFY(other.open(QIODevice::ReadWrite));
        QVERIFY(!OpenComDevice(kPort, peer.devicePath(), kUnitBaudCode, 0));
        QVERIFY(!IsComPortOpen(kPort));
        QVERIFY2(LastComOpenError().contains(QStringLiteral("使用中")),
                 qPrintable(LastComOpenError()));
        other.close();
        QVERIFY(OpenComDevice(kPort, peer.devicePath(), kUnitBaudCode, 0));
        QVERIFY(LastComOpenError().isEmpty());
    }

    void lowLatencyAskedOnOpenAndUndoneAtClose_data() {
        QTest::addColumn<bool>("playDriver");
        QTest::newRow("a driver with the mode") << true;
        QTest::newRow("a pseudo-terminal refuses") << false;
    }
    void lowLatencyAskedOnOpenAndUndoneAtClose() {
        QFETCH(bool, playDriver);
        WatchedLatency latency;
        latency.playDriver = playDriver;
        PtyPeer peer;
        peer.answerAll("!\r");
        QVERIFY(OpenComDevice(kPort, peer.devicePath(), kUnitBaudCode, 0, latency));
        QCOMPARE(latency.requests, 1);
        QCOMPARE(latency.requested.has_value(), playDriver);
        QVERIFY(WriteComText(kPort, QStringLiteral("R001\r")));
        QCOMPARE(ReadComLine(kPort, 100), QStringLiteral("!"));
        CloseComPort(kPort);
        QCOMPARE(latency.restored, latency.requested);
    }

    void missingDeviceIsReported() {
        QVERIFY(
            !OpenComDevice(kPort, QStringLiteral("/dev/kestrava-no-such-tty"), kUnitBaudCode, 0));
        QVERIFY(!IsComPortOpen(kPort));
        QVERIFY(!LastComOpenError().isEmpty());
    }

    void readLine_data() {
        QTest::addColumn<QByteArray>("incoming");
        QTest::addColumn<int>("waits");
        QTest::addColumn<QString>("line");
        QTest::addColumn<QString>("next"); // what a second read returns
        QTest::newRow("CR ends") << QByteArray("ABC\rDEF\r") << 100 << "ABC"
                                 << "DEF";
        QTest::newRow("LF ends") << QByteArray("ABC\nX\r") << 100 << "ABC"
                                 << "X";
        QTest::newRow("LF first is an empty line") << QByteArray("\nABC\r") << 100 << ""
                                                   << "ABC";
        QTest::newRow("CR LF leaves an empty line") << QByteArray("AB\r\n") << 100 << "AB"
                                                    << "";
        QTest::newRow("partial line after the budget") << QByteArray("ABC") << 5 << "ABC"
                                                       << "";
        QTest::newRow("255 characters cut")
            << QByteArray(300, 'x') + '\r' << 100 << QString(255, u'x') << QString(45, u'x');
        QTest::newRow("exactly 255 then CR")
            << QByteArray(255, 'y') + "\rZ\r" << 100 << QString(255, u'y') << "";
        QTest::newRow("NUL discarded") << QByteArray("A\0B\r", 4) << 100 << "AB"
                                       << "";
    }
    void readLine() {
        QFETCH(QByteArray, incoming);
        QFETCH(int, waits);
        QFETCH(QString, line);
        QFETCH(QString, next);
        PtyPeer peer;
        QVERIFY(OpenComDevice(kPort, peer.devicePath(), kUnitBaudCode, 0));
        peer.send(incoming);
        QCOMPARE(ReadComLine(kPort, waits), line);
        QCOMPARE(ReadComLine(kPort, 5), next);
    }

    void readLineZeroWaits() {
        PtyPeer peer;
        QVERIFY(OpenComDevice(kPort, peer.devicePath(), kUnitBaudCode, 0));
        peer.send("ABC\r");
        QThread::msleep(20);
        QCOMPARE(ReadComLine(kPort, 0), QString());
        QCOMPARE(ReadComLine(kPort, -1), QString());
        QCOMPARE(ReadComLine(kPort, 10), QStringLiteral("ABC"));
    }

    void nulIsDataAtMidiSpeed() {
        PtyPeer peer;
        QVERIFY(OpenComDevice(kPort, peer.devicePath(), 31250, 0));
        peer.send(QByteArray("\0\r", 2));
        QTRY_COMPARE(ComInQueue(kPort), 2);
        QCOMPARE(ReadComByte(kPort), 0);
        QCOMPARE(ReadComByte(kPort), 13);
    }

    void lineFlags_data() {
        QTest::addColumn<int>("flags");
        QTest::addColumn<int>("parity");
        QTest::addColumn<int>("stop");
        QTest::newRow("0: 8N1") << 0 << int(QSerialPort::NoParity) << int(QSerialPort::OneStop);
        QTest::newRow("bit 2: two stop bits")
            << 4 << int(QSerialPort::NoParity) << int(QSerialPort::TwoStop);
        QTest::newRow("bit 3: odd")
            << 8 << int(QSerialPort::OddParity) << int(QSerialPort::OneStop);
        QTest::newRow("bits 3+4: even")
            << 24 << int(QSerialPort::EvenParity) << int(QSerialPort::OneStop);
        QTest::newRow("bit 4 alone: none")
            << 16 << int(QSerialPort::NoParity) << int(QSerialPort::OneStop);
        QTest::newRow("all: even, two stop")
            << 28 << int(QSerialPort::EvenParity) << int(QSerialPort::TwoStop);
    }
    void lineFlags() {
        QFETCH(int, flags);
        QFETCH(int, parity);
        QFETCH(int, stop);
        const ComLineSettings l = LineSettingsOfFlags(flags);
        QCOMPARE(l.parity, parity);
        QCOMPARE(l.stopBits, stop);
    }

    // A pseudo-terminal carries no parity, but rate, width and stop bits reach the tty.
    void lineSettingsReachTheTty_data() {
        QTest::addColumn<int>("code");
        QTest::addColumn<int>("flags");
        QTest::addColumn<bool>("twoStop");
        QTest::addColumn<int>("baud");
        QTest::newRow("the unit's 57600 8N1") << 15 << 0 << false << 57600;
        QTest::newRow("9600, two stop bits") << 12 << 4 << true << 9600;
        QTest::newRow("literal rate 19200") << 19200 << 0 << false << 19200;
    }
    void lineSettingsReachTheTty() {
        QFETCH(int, code);
        QFETCH(int, flags);
        QFETCH(bool, twoStop);
        QFETCH(int, baud);
        PtyPeer peer;
        QVERIFY(OpenComDevice(kPort, peer.devicePath(), code, flags));
        const PtyPeer::LineSettings l = peer.lineSettings();
        QCOMPARE(l.dataBits, 8);
        QCOMPARE(l.twoStopBits, twoStop);
        QCOMPARE(l.baud, baud);
    }

    void writeReachesThePeer() {
        PtyPeer peer;
        QVERIFY(OpenComDevice(kPort, peer.devicePath(), kUnitBaudCode, 0));
        QVERIFY(WriteComText(kPort, QStringLiteral("\rR001\r")));
        QTRY_COMPARE(peer.received(), QByteArray("\rR001\r"));
        QCOMPARE(ComOutQueue(kPort), 0);
    }

    void purgeDiscardsOnlyInput() {
        PtyPeer peer;
        QVERIFY(OpenComDevice(kPort, peer.devicePath(), kUnitBaudCode, 0));
        peer.send("junk");
        QTRY_VERIFY(ComInQueue(kPort) > 0);
        PurgeComRx(kPort);
        QCOMPARE(ComInQueue(kPort), 0);
        QCOMPARE(ReadComByte(kPort), -1);
    }

    void hungUpLineDoesNotSpin() {
        PtyPeer peer;
        QVERIFY(OpenComDevice(kPort, peer.devicePath(), kUnitBaudCode, 0));
        peer.hangUp();
        QElapsedTimer t;
        t.start();
        QCOMPARE(ReadComLine(kPort, 10), QString());
        QVERIFY2(t.elapsed() >= 80, "a hung-up line must still spend its waits");
        QCOMPARE(ReadComByte(kPort), -1);
    }

    // Port numbers on systems without COM numbers of their own.
    void numbering() {
        QTemporaryDir dir;
        const QString ini = dir.filePath(QStringLiteral("kestrava.INI"));
        {
            QSettings s(ini, QSettings::IniFormat);
            s.setValue(QStringLiteral("Ports/COM1"), QStringLiteral("/dev/ttyS0"));
            s.setValue(QStringLiteral("Ports/COM10"), QStringLiteral("/dev/serial/by-id/usb-B"));
            s.setValue(QStringLiteral("Ports/COM3"), QStringLiteral("/dev/ttyUSB7")); // absent now
            s.setValue(QStringLiteral("Ports/COM9"), QStringLiteral("/tmp/sim-link"));
        }
        auto source = std::make_shared<FakeSource>();
        source->devices = {
            device("ttyUSB1", "/dev/serial/by-id/usb-B", "USB-RS485"),
            device("ttyUSB0", "/dev/serial/by-id/usb-FTDI_FT232R_A50285BI-if00-port0",
                   "FT232R USB UART", "FTDI", "A50285BI"),
            device("ttyS0", {}, "Communications Port"),
            device("ttyACM0"),
        };
        source->existing = {QStringLiteral("/tmp/sim-link")};

        QStringList items;
        QCOMPARE(ListComPorts(&items, true, ini, *source), 5);
        const QStringList expected = {
            QStringLiteral("1: Communications Port (ttyS0)"),
            // lowest free number, by-id kept
            QStringLiteral("2: FT232R USB UART, FTDI, A50285BI, "
                           "usb-FTDI_FT232R_A50285BI-if00-port0 (ttyUSB0)"),
            QStringLiteral("4: ttyACM0"),                     // 3 stays reserved for its device
            QStringLiteral("9: /tmp/sim-link"),               // a mapped link that exists
            QStringLiteral("10: USB-RS485, usb-B (ttyUSB1)"), // numeric order, not text order
        };
        QCOMPARE(items, expected);
        QSettings s(ini, QSettings::IniFormat);
        QCOMPARE(s.value(QStringLiteral("Ports/COM2")).toString(),
                 QStringLiteral("/dev/serial/by-id/usb-FTDI_FT232R_A50285BI-if00-port0"));
        QCOMPARE(s.value(QStringLiteral("Ports/COM4")).toString(), QStringLiteral("/dev/ttyACM0"));

        // Numbers are remembered: the same listing again, also without names.
        QCOMPARE(ListComPorts(&items, true, ini, *source), 5);
        QCOMPARE(items, expected);
        QCOMPARE(TLinkSettings(ini, *source).ComPortItems(), expected);
        QCOMPARE(ListComPorts(&items, false, ini, *source), 5);
        QCOMPARE(items, (QStringList{"1", "2", "4", "9", "10"}));
        QCOMPARE(ListComPorts(nullptr, false, ini, *source), 5);
    }

    void sixteenNumbersAtMost() {
        QTemporaryDir dir;
        auto source = std::make_shared<FakeSource>();
        for (int i = 0; i < 18; ++i)
            source->devices.append(device(QStringLiteral("ttyUSB%1").arg(i)));
        QStringList items;
        QCOMPARE(ListComPorts(&items, false, dir.filePath(QStringLiteral("k.INI")), *source), 16);
        QCOMPARE(items.last(), QStringLiteral("16"));
    }

    void openByNumberThroughThePortTable() {
        PtyPeer peer;
        QTemporaryDir dir;
        const QString ini = dir.filePath(QStringLiteral("kestrava.INI"));
        QSettings(ini, QSettings::IniFormat)
            .setValue(QStringLiteral("Ports/COM5"), peer.devicePath());
        auto source = std::make_shared<FakeSource>();
        QVERIFY(OpenComPort(kPort, kUnitBaudCode, 0, ini, *source));
        QCOMPARE(ComPortDevice(kPort), peer.devicePath());
        CloseComPort(kPort);
        QVERIFY(!OpenComPort(6, kUnitBaudCode, 0, ini, *source)); // no device behind COM6
        QVERIFY(LastComOpenError().contains(QStringLiteral("COM6")));
    }

    void deviceGetsANumberWhenFirstOpened() {
        QTemporaryDir dir;
        const QString ini = dir.filePath(QStringLiteral("kestrava.INI"));
        auto source = std::make_shared<FakeSource>();
        source->devices = {device("ttyUSB0")};
        QCOMPARE(ComPortMap(ini, *source).deviceFor(1), QStringLiteral("/dev/ttyUSB0"));
        QCOMPARE(ComPortMap(ini, *source).deviceFor(2), QString());
        QCOMPARE(ComPortMap(ini, *source).deviceFor(17), QString());
    }

    void selectItem_data() {
        QTest::addColumn<QStringList>("items");
        QTest::addColumn<int>("port");
        QTest::addColumn<int>("index");
        const QStringList list{"1: Communications Port ", "3: USB Serial Port "};
        QTest::newRow("port 3") << list << 3 << 1;
        QTest::newRow("port 1") << list << 1 << 0;
        QTest::newRow("port 1 is not 10") << (QStringList{"10: USB-RS485 ", "1: a"}) << 1 << 1;
        QTest::newRow("port 5") << list << 5 << -1;
        QTest::newRow("port 0 without none") << list << 0 << -1;
        QTest::newRow("port 0 with none") << (QStringList{"1: a", "none"}) << 0 << 1;
        QTest::newRow("negative port") << (QStringList{"none"}) << -1 << -1;
        QTest::newRow("no colon") << (QStringList{"2", "12"}) << 12 << 1;
        QTest::newRow("not a number counts as 0") << (QStringList{"x: a", "0: b"}) << 0 << -1;
        QTest::newRow("empty list") << QStringList() << 1 << -1;
    }
    void selectItem() {
        QFETCH(QStringList, items);
        QFETCH(int, port);
        QFETCH(int, index);
        QCOMPARE(SelectComPortItem(items, port), index);
    }

    // The unit's port as the editor and the command-line tool both read it.
    void comPortSetting_data() {
        QTest::addColumn<QString>("text"); // the file's contents
        QTest::addColumn<int>("port");
        QTest::newRow("missing") << "" << 1;
        QTest::newRow("set") << "[Serial]\nComPort=7\n" << 7;
        QTest::newRow("blanks around") << "[Serial]\nComPort= 12 \n" << 12;
        QTest::newRow("not a number") << "[Serial]\nComPort=COM3\n" << 1;
        QTest::newRow("in another section") << "[General]\nComPort=7\n" << 1;
    }
    void comPortSetting() {
        QFETCH(QString, text);
        QFETCH(int, port);
        QTemporaryDir dir;
        const QString ini = dir.filePath(QStringLiteral("kestrava.INI"));
        QFile f(ini);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(text.toLatin1());
        f.close();
        QCOMPARE(TLinkSettings(ini).ComPort(), port);

        // written back where it was read from, the port table beside it left alone
        QSettings(ini, QSettings::IniFormat).setValue(QStringLiteral("Ports/COM3"), "/dev/x");
        TLinkSettings(ini).SetComPort(5);
        QCOMPARE(TLinkSettings(ini).ComPort(), 5);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QString written = QString::fromLatin1(f.readAll());
        QVERIFY2(written.contains(QStringLiteral("[Serial]\nComPort=5\n")), qPrintable(written));
        QCOMPARE(QSettings(ini, QSettings::IniFormat).value(QStringLiteral("Ports/COM3")),
                 QVariant(QStringLiteral("/dev/x")));
    }
};

QTEST_GUILESS_MAIN(TestComPort)
#include "tst_comport.moc"
