#pragma once

#include "ComPorts.h"

#include <QList>
#include <QString>

// COM numbers for serial devices. Windows has them natively (\\.\COMn); elsewhere
// the numbers live in the settings file, section Ports, keys COM1..COM16, and a
// device gets the lowest free number the first time it is seen and keeps it, as
// the Windows port database does.

namespace kestrava {

struct ComDevice {
    QString portName;     // e.g. ttyUSB0, or COM3 on Windows
    QString location;     // e.g. /dev/ttyUSB0
    QString stablePath;   // e.g. /dev/serial/by-id/usb-..., empty when none
    QString description;  // the product, e.g. FT232R USB UART
    QString manufacturer; // e.g. FTDI
    QString serialNumber; // e.g. A50285BI
};

class ComDeviceSource {
public:
    virtual ~ComDeviceSource() = default;
    virtual QList<ComDevice> presentDevices() const = 0;
    virtual bool pathExists(const QString &path) const;
    // Resolves links so that a by-id path and its tty compare equal.
    virtual QString canonicalPath(const QString &path) const;
};

// The serial devices the system reports (QSerialPortInfo, /dev/serial/by-id).
class SystemComDeviceSource : public ComDeviceSource {
public:
    QList<ComDevice> presentDevices() const override;
};

struct ComPortEntry {
    int number = 0;
    QString path;
    QString friendlyName;
};

// A COM number of the settings file, whether or not its device is there.
struct ComPortMapping {
    int number = 0;
    QString path;
    bool present = false;
};

class ComPortMap {
public:
    // settingsFile: the INI file that holds the Ports section.
    explicit ComPortMap(QString settingsFile, const ComDeviceSource &source = SystemComDevices());

    // Present ports with their numbers, sorted by number; numbers are assigned and
    // remembered for devices that have none yet.
    QList<ComPortEntry> scan();
    // The device path of a COM number ("" when none).
    QString deviceFor(int number);
    // Every number the settings file gives a device, in number order.
    QList<ComPortMapping> mappings() const;

private:
    QString mappedPath(int number) const;
    QString settingsFile_;
    const ComDeviceSource &source_;
};

} // namespace kestrava
