#include "Usr_com_std.h"

#include "ComPortMap.h"
#include "PortTrouble.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QSerialPort>
#include <QThread>

#include <array>
#include <memory>

#ifndef Q_OS_WIN
#include <poll.h>
#include <unistd.h>
#endif
#ifdef Q_OS_LINUX
#include <linux/serial.h>
#include <sys/ioctl.h>
#endif

namespace kestrava {

namespace {

struct Slot {
    std::unique_ptr<QSerialPort> port;
    QString device;
    bool discardNul = true;
    bool hungUp = false; // the handle was closed because the line went away
    QByteArray rx;       // bytes taken from the driver, NULs already dropped
    const LowLatencyControl *latency = nullptr;
    std::optional<int> driverFlags; // what low-latency mode replaced, put back at close
};

std::array<Slot, kMaxComPort + 1> &table() {
    static std::array<Slot, kMaxComPort + 1> ports;
    return ports;
}

QString &lastOpenError() {
    static QString text;
    return text;
}

// Empties a slot, the driver's own flags put back first while the handle is still open.
void release(Slot &s) {
    if (s.port && s.port->isOpen() && s.latency && s.driverFlags)
        s.latency->Restore(s.port->handle(), *s.driverFlags);
    s = Slot{};
}

Slot *openSlot(int port) {
    if (port < 1 || port > kMaxComPort)
        return nullptr;
    Slot &s = table()[port];
    return s.port && !s.hungUp ? &s : nullptr;
}

// Whether an error the port reported means that the line itself is gone. A busy or
// refused write is an error too, so the device is asked whether it has hung up.
bool lineGone(QSerialPort &sp, QSerialPort::SerialPortError error) {
    if (error == QSerialPort::NoError || error == QSerialPort::TimeoutError || !sp.isOpen())
        return false;
#ifdef Q_OS_WIN
    return error == QSerialPort::ResourceError; // what Qt reports for a removed device
#else
    pollfd p{int(sp.handle()), POLLIN, 0};
    if (::poll(&p, 1, 0) < 0)
        return true;
    return (p.revents & (POLLHUP | POLLERR | POLLNVAL)) != 0;
#endif
}

// On a line that is gone, Qt would retry the unsent bytes for ever (a busy event loop) and
// the handle could never be used again: drop both. The object stays in the slot until the
// port is closed or opened anew, because this may run inside its own signal.
bool hangUpIfGone(Slot &s, QSerialPort::SerialPortError error) {
    if (!s.port || s.hungUp || !lineGone(*s.port, error))
        return false;
    s.port->close();
    s.rx.clear();
    s.hungUp = true;
    return true;
}

bool hangUpIfGone(Slot &s) {
    return s.port && hangUpIfGone(s, s.port->error());
}

// Takes what the driver holds into the slot's buffer. False on a line error,
// which is cleared so that the next call starts clean.
bool drain(Slot &s) {
    QSerialPort &sp = *s.port;
    if (sp.bytesAvailable() == 0 && !sp.waitForReadyRead(0) &&
        sp.error() == QSerialPort::TimeoutError)
        sp.clearError(); // nothing waiting is not a line error
    if (sp.error() != QSerialPort::NoError) {
        if (!hangUpIfGone(s))
            sp.clearError();
        return false;
    }
    const QByteArray got = sp.readAll();
    if (s.discardNul) {
        for (char c : got)
            if (c != '\0')
                s.rx.append(c);
    } else {
        s.rx.append(got);
    }
    return true;
}

QString describeOpenFailure(const QSerialPort &sp, const QString &device) {
    switch (sp.error()) {
    case QSerialPort::DeviceNotFoundError:
        return DescribeMissingDevice(device);
    case QSerialPort::PermissionError:
#ifndef Q_OS_WIN
        if (::access(device.toLocal8Bit().constData(), R_OK | W_OK) != 0)
            return DescribeDeniedDevice(device);
#endif
        return DescribeBusyDevice(device);
    default:
        return QCoreApplication::translate("Usr_com_std", "%1 を開けません: %2")
            .arg(device, sp.errorString());
    }
}

} // namespace

std::optional<int> LowLatencyControl::Request(qintptr handle) const {
#ifdef Q_OS_LINUX
    serial_struct ss{};
    if (::ioctl(int(handle), TIOCGSERIAL, &ss) != 0)
        return std::nullopt;
    const int before = ss.flags;
    ss.flags |= ASYNC_LOW_LATENCY;
    if (::ioctl(int(handle), TIOCSSERIAL, &ss) != 0)
        return std::nullopt;
    return before;
#else
    Q_UNUSED(handle);
    return std::nullopt;
#endif
}

void LowLatencyControl::Restore(qintptr handle, int flags) const {
#ifdef Q_OS_LINUX
    serial_struct ss{};
    if (::ioctl(int(handle), TIOCGSERIAL, &ss) != 0)
        return;
    ss.flags = flags;
    ::ioctl(int(handle), TIOCSSERIAL, &ss);
#else
    Q_UNUSED(handle);
    Q_UNUSED(flags);
#endif
}

const LowLatencyControl &SystemLowLatency() {
    static const LowLatencyControl system;
    return system;
}

int BaudRateOfCode(int code) {
    switch (code) {
    case 7:
        return 1200;
    case 9:
        return 2400;
    case 10:
        return 4800;
    case 12:
        return 9600;
    case 13:
        return 19200;
    case 14:
        return 38400;
    case 15:
        return 57600;
    case 16:
        return 115200;
    default:
        return code; // 31250 included
    }
}

ComLineSettings LineSettingsOfFlags(int lineFlags) {
    ComLineSettings l;
    l.stopBits = (lineFlags & kLineFlag2StopBits) ? QSerialPort::TwoStop : QSerialPort::OneStop;
    if ((lineFlags & kLineFlagParity) && (lineFlags & kLineFlagEvenParity))
        l.parity = QSerialPort::EvenParity;
    else if (lineFlags & kLineFlagParity)
        l.parity = QSerialPort::OddParity;
    else
        l.parity = QSerialPort::NoParity;
    return l;
}

bool OpenComPort(int port, int baudCode, int lineFlags, const QString &settingsFile,
                 const ComDeviceSource &devices) {
    if (port < 1 || port > kMaxComPort || baudCode < 1)
        return false;
    const QString device = ComPortMap(settingsFile, devices).deviceFor(port);
    if (device.isEmpty()) {
        lastOpenError() =
            QCoreApplication::translate("Usr_com_std", "COM%1 に割り当てられた装置がありません")
                .arg(port);
        return false;
    }
    return OpenComDevice(port, device, baudCode, lineFlags);
}

bool OpenComDevice(int port, const QString &devicePath, int baudCode, int lineFlags,
                   const LowLatencyControl &latency) {
    if (port < 1 || port > kMaxComPort || baudCode < 1)
        return false;
    auto sp = std::make_unique<QSerialPort>();
    sp->setPortName(devicePath);
    if (!sp->open(QIODevice::ReadWrite)) {
        lastOpenError() = describeOpenFailure(*sp, devicePath);
        return false;
    }
    const int rate = BaudRateOfCode(baudCode);
    const ComLineSettings line = LineSettingsOfFlags(lineFlags);
    const bool configured = sp->setBaudRate(rate) && sp->setDataBits(QSerialPort::Data8) &&
                            sp->setParity(QSerialPort::Parity(line.parity)) &&
                            sp->setStopBits(QSerialPort::StopBits(line.stopBits));
    Slot &s = table()[port];
    release(s);
    if (!configured) {
        lastOpenError() = QCoreApplication::translate("Usr_com_std", "%1 を設定できません: %2")
                              .arg(devicePath, sp->errorString());
        sp->close();
        return false;
    }
    sp->clearError();
    sp->clear(QSerialPort::Input);
    sp->clearError();
    // A line that goes away while nobody uses the port is closed from the event loop, where
    // Qt would otherwise keep trying to read it.
    QSerialPort *raw = sp.get();
    QObject::connect(
        raw, &QSerialPort::errorOccurred, raw,
        [port, raw](QSerialPort::SerialPortError error) {
            Slot &slot = table()[port];
            if (slot.port.get() == raw)
                hangUpIfGone(slot, error);
        },
        Qt::QueuedConnection);
    // Silently without where the driver has no such mode: the port works as before.
    s.driverFlags = latency.Request(sp->handle());
    s.latency = &latency;
    s.port = std::move(sp);
    s.device = devicePath;
    s.discardNul = rate != 31250; // MIDI speed: NUL is data there
    lastOpenError().clear();
    return true;
}

void CloseComPort(int port) {
    if (port >= 1 && port <= kMaxComPort)
        release(table()[port]); // a hung-up slot too
}

bool IsComPortOpen(int port) {
    return openSlot(port) != nullptr;
}

bool ComPortHungUp(int port) {
    return port >= 1 && port <= kMaxComPort && table()[port].hungUp;
}

QString ComPortDevice(int port) {
    const Slot *s = openSlot(port);
    return s ? s->device : QString();
}

QString LastComOpenError() {
    return lastOpenError();
}

bool WriteComText(int port, const QString &text) {
    Slot *s = openSlot(port);
    if (!s)
        return false;
    const QByteArray bytes = text.toLatin1();
    QSerialPort &sp = *s->port;
    bool written = sp.write(bytes) == bytes.size();
    sp.flush();
    while (written && sp.bytesToWrite() > 0)
        written = sp.waitForBytesWritten(1000);
    if (!written)
        hangUpIfGone(*s);
    return written && !s->hungUp;
}

void PurgeComRx(int port) {
    Slot *s = openSlot(port);
    if (!s)
        return;
    s->port->clearError();
    s->port->clear(QSerialPort::Input);
    s->port->readAll(); // Qt's own buffer, in case the driver flush left it
    s->rx.clear();
    if (!hangUpIfGone(*s))
        s->port->clearError();
}

int ComInQueue(int port) {
    Slot *s = openSlot(port);
    if (!s || !drain(*s))
        return 0;
    return int(s->rx.size());
}

int ComOutQueue(int port) {
    Slot *s = openSlot(port);
    if (!s)
        return 0;
    return int(s->port->bytesToWrite());
}

int ReadComByte(int port) {
    Slot *s = openSlot(port);
    if (!s)
        return -1;
    if (s->rx.isEmpty() && !drain(*s))
        return -1;
    if (s->rx.isEmpty())
        return -1;
    const int b = static_cast<unsigned char>(s->rx.at(0));
    s->rx.remove(0, 1);
    return b;
}

bool WaitComData(int port, int ms) {
    QElapsedTimer timer;
    timer.start();
    Slot *s = openSlot(port);
    if (s) {
        if (!s->rx.isEmpty() || s->port->bytesAvailable() > 0)
            return true;
        if (s->port->waitForReadyRead(ms))
            return true;
        if (!hangUpIfGone(*s))
            s->port->clearError();
    }
    // A line that hangs up reports "readable" at once; the caller's time must still pass.
    const qint64 left = ms - timer.elapsed();
    if (left > 0)
        QThread::msleep(static_cast<unsigned long>(left));
    return false;
}

QString ReadComLine(int port, int waits) {
    if (!openSlot(port) || waits <= 0)
        return {};
    constexpr int kWaitMs = 10;
    const qint64 budget = qint64(waits) * kWaitMs;
    qint64 spent = 0;
    QByteArray line;
    for (;;) {
        if (ComInQueue(port) > 0) {
            const int b = ReadComByte(port);
            if (b < 0)
                return {};
            if (b == '\r' || b == '\n')
                return QString::fromLatin1(line);
            line.append(char(b));
            if (line.size() >= 255)
                return QString::fromLatin1(line);
            continue;
        }
        if (spent >= budget)
            return QString::fromLatin1(line);
        QElapsedTimer t;
        t.start();
        WaitComData(port, int(std::min<qint64>(kWaitMs, budget - spent)));
        spent += std::max<qint64>(t.elapsed(), 1);
    }
}

int ListComPorts(QStringList *target, bool withNames, const QString &settingsFile,
                 const ComDeviceSource &devices) {
    const QList<ComPortEntry> entries = ComPortMap(settingsFile, devices).scan();
    QStringList items;
    for (const ComPortEntry &e : entries)
        items.append(withNames ? QStringLiteral("%1: %2").arg(e.number).arg(e.friendlyName)
                               : QString::number(e.number));
    if (target)
        *target = items;
    return int(items.size());
}

} // namespace kestrava
