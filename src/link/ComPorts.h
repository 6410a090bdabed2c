#pragma once

#include <QString>
#include <QStringList>

// COM port numbers and the items that offer them for choice, without the byte-level
// port access.

namespace kestrava {

constexpr int kMaxComPort = 16; // COM1..COM16; higher numbers cannot be used

class ComDeviceSource;
// The system's serial devices: whom the port table asks unless it is given another source.
const ComDeviceSource &SystemComDevices();

// The present ports as items "3: USB Serial Port (ttyUSB0)", sorted by number. Where the
// system has no COM numbers, settingsFile keeps them (section Ports); a device seen for the
// first time gets the lowest free number there.
QStringList ComPortItems(const QString &settingsFile,
                         const ComDeviceSource &devices = SystemComDevices());
// Integer value of an item's text up to its first ":" (0 when not a number).
int ComPortItemNumber(const QString &item);
// Index of the first item of after whose number no item of before has, or -1.
int AppearedComPortItem(const QStringList &before, const QStringList &after);
// Index of the item naming the port (port 0: the item "none"), or -1.
int SelectComPortItem(const QStringList &items, int port);

} // namespace kestrava
