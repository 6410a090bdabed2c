#include "ComPortMap.h"

#include "Usr_com_std.h"

#include <QDir>
#include <QFileInfo>
#include <QSerialPortInfo>
#include <QSettings>

#include <algorithm>

namespace kestrava {

namespace {

QString portKey(int number) {
    return QStringLiteral("Ports/COM%1").arg(number);
}

// "FT232R USB UART, FTDI, A50285BI, usb-FTDI_..._A50285BI-if00-port0 (ttyUSB0)": all that
// tells two adapters of one kind apart, then the name users see in /dev
QString friendlyName(const ComDevice &d) {
    QStringList known;
    for (const QString &part :
         {d.description, d.manufacturer, d.serialNumber, QFileInfo(d.stablePath).fileName()})
        if (!part.isEmpty())
            known.append(part);
    if (known.isEmpty())
        return d.portName;
    return known.join(QStringLiteral(", ")) + QStringLiteral(" (") + d.portName + u')';
}

// A mapped path that is no serial device (the simulated unit's link), with what it leads to.
QString linkName(const QString &path, const QString &canonical) {
    if (canonical == path)
        return path;
    const QString dev = QStringLiteral("/dev/");
    return path + QStringLiteral(" (") +
           (canonical.startsWith(dev) ? canonical.mid(dev.size()) : canonical) + u')';
}

} // namespace

bool ComDeviceSource::pathExists(const QString &path) const {
    return QFileInfo::exists(path);
}

QString ComDeviceSource::canonicalPath(const QString &path) const {
    const QString c = QFileInfo(path).canonicalFilePath();
    return c.isEmpty() ? path : c;
}

QList<ComDevice> SystemComDeviceSource::presentDevices() const {
    // by-id names survive re-plugging into another USB socket, tty names do not
    QHash<QString, QString> stableOf;
    const QDir byId(QStringLiteral("/dev/serial/by-id"));
    for (const QFileInfo &fi :
         byId.entryInfoList(QDir::System | QDir::Files | QDir::NoDotAndDotDot))
        stableOf.insert(fi.canonicalFilePath(), fi.absoluteFilePath());

    QList<ComDevice> devices;
    for (const QSerialPortInfo &info : QSerialPortInfo::availablePorts()) {
        ComDevice d;
        d.portName = info.portName();
        d.location = info.systemLocation();
        d.stablePath = stableOf.value(QFileInfo(d.location).canonicalFilePath());
        d.description = info.description();
        d.manufacturer = info.manufacturer();
        d.serialNumber = info.serialNumber();
        devices.append(d);
    }
    return devices;
}

ComPortMap::ComPortMap(QString settingsFile, const ComDeviceSource &source)
    : settingsFile_(std::move(settingsFile)), source_(source) {}

QString ComPortMap::mappedPath(int number) const {
    if (settingsFile_.isEmpty())
        return {};
    QSettings ini(settingsFile_, QSettings::IniFormat);
    return ini.value(portKey(number)).toString().trimmed();
}

QString ComPortMap::deviceFor(int number) {
    if (number < 1 || number > kMaxComPort)
        return {};
#ifdef Q_OS_WIN
    return QStringLiteral("\\\\.\\COM%1").arg(number);
#else
    QString path = mappedPath(number);
    if (path.isEmpty()) {
        // A device plugged in since the last listing has no number yet.
        scan();
        path = mappedPath(number);
    }
    return path;
#endif
}

QList<ComPortMapping> ComPortMap::mappings() const {
    QList<ComPortMapping> list;
    for (int n = 1; n <= kMaxComPort; ++n) {
        const QString path = mappedPath(n);
        if (!path.isEmpty())
            list.append({n, path, source_.pathExists(path)});
    }
    return list;
}

QList<ComPortEntry> ComPortMap::scan() {
    QList<ComPortEntry> entries;
    const QList<ComDevice> devices = source_.presentDevices();
#ifdef Q_OS_WIN
    for (const ComDevice &d : devices) {
        if (!d.portName.startsWith(QLatin1String("COM"), Qt::CaseInsensitive))
            continue;
        bool ok = false;
        const int n = d.portName.mid(3).toInt(&ok);
        if (ok)
            entries.append({n, deviceFor(n), d.description + QLatin1Char(' ')});
    }
#else
    std::array<QString, kMaxComPort + 1> mapped;
    for (int n = 1; n <= kMaxComPort; ++n)
        mapped[n] = mappedPath(n);

    std::array<bool, kMaxComPort + 1> listed{};
    QList<ComDevice> unnumbered;
    for (const ComDevice &d : devices) {
        const QString canon = source_.canonicalPath(d.location);
        int number = 0;
        for (int n = 1; n <= kMaxComPort && number == 0; ++n) {
            if (mapped[n].isEmpty())
                continue;
            if (mapped[n] == d.stablePath || mapped[n] == d.location ||
                source_.canonicalPath(mapped[n]) == canon)
                number = n;
        }
        if (number == 0) {
            unnumbered.append(d);
            continue;
        }
        if (!listed[number])
            entries.append({number, mapped[number], friendlyName(d)});
        listed[number] = true;
    }

    if (!unnumbered.isEmpty() && !settingsFile_.isEmpty()) {
        QSettings ini(settingsFile_, QSettings::IniFormat);
        for (const ComDevice &d : unnumbered) {
            int number = 0;
            for (int n = 1; n <= kMaxComPort && number == 0; ++n)
                if (mapped[n].isEmpty())
                    number = n;
            if (number == 0)
                break; // like COM17 and above, such a device cannot be used
            mapped[number] = d.stablePath.isEmpty() ? d.location : d.stablePath;
            ini.setValue(portKey(number), mapped[number]);
            entries.append({number, mapped[number], friendlyName(d)});
            listed[number] = true;
        }
        ini.sync();
    }

    // Pseudo-terminals and links (the simulated unit) are not reported as serial
    // devices, so a mapped path that exists is listed too.
    for (int n = 1; n <= kMaxComPort; ++n)
        if (!listed[n] && !mapped[n].isEmpty() && source_.pathExists(mapped[n]))
            entries.append({n, mapped[n], linkName(mapped[n], source_.canonicalPath(mapped[n]))});
#endif
    std::sort(entries.begin(), entries.end(),
              [](const ComPortEntry &a, const ComPortEntry &b) { return a.number < b.number; });
    return entries;
}

const ComDeviceSource &SystemComDevices() {
    static const SystemComDeviceSource system;
    return system;
}

} // namespace kestrava
