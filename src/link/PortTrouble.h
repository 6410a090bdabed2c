#pragma once

#include <QList>
#include <QString>

// Why a serial device did not open, in words that say how to fix it: on Linux the user is
// often not in the device's group, or a program such as ModemManager or brltty holds it.

namespace kestrava {

struct PortHolder {
    QString name; // the process's command name
    qint64 pid = 0;
};

// The processes that hold the device open, from /proc (only those the caller may inspect),
// and when none of them can be seen, the known port-grabbing services that are running
// (pid 0 when the process could not be seen holding it).
QList<PortHolder> PortHolders(const QString &device);

// The texts for a device that is absent, that the user may not open, or that is busy.
QString DescribeMissingDevice(const QString &device);
QString DescribeDeniedDevice(const QString &device);
QString DescribeBusyDevice(const QString &device);
// The wording of DescribeBusyDevice for given holders.
QString BusyDeviceText(const QString &device, const QList<PortHolder> &holders);

} // namespace kestrava
