#pragma once

#include "ComPorts.h"

#include <QString>
#include <QStringList>

// The link's part of the settings file: the unit's COM port ([Serial] ComPort) and, where
// the system has no COM numbers of its own, the port table ([Ports] COM1..COM16). The
// editor and the command-line tool share the file.

namespace kestrava {

class TLinkSettings {
public:
    TLinkSettings() = default;
    explicit TLinkSettings(QString file, const ComDeviceSource &devices = SystemComDevices())
        : file_(std::move(file)), devices_(&devices) {}

    const QString &File() const { return file_; }
    // What the port table's numbers are given to.
    const ComDeviceSource &Devices() const { return *devices_; }

    // [Serial] ComPort; 1 when it is missing or not an integer.
    int ComPort() const;
    void SetComPort(int port) const;

    // The options dialog's port items, as ComPortItems gives them for this file.
    QStringList ComPortItems() const;

private:
    QString file_;
    const ComDeviceSource *devices_ = &SystemComDevices();
};

} // namespace kestrava
