#pragma once

#include "ComPorts.h"

#include <QString>
#include <QStringList>

#include <optional>

// Byte-level access to serial ports by COM number (1..16). The module keeps one
// process-wide table of open ports, so any caller can use a port by number once
// it has been opened. It knows nothing of the unit's protocol.

namespace kestrava {

constexpr int kUnitBaudCode = 15; // 57600 baud
constexpr int kLineFlag2StopBits = 1 << 2;
constexpr int kLineFlagParity = 1 << 3;
constexpr int kLineFlagEvenParity = 1 << 4;

// Baud rate for a configuration code; codes outside the table are literal rates.
int BaudRateOfCode(int code);

// QSerialPort's Parity and StopBits values for a LineFlags word.
struct ComLineSettings {
    int parity = 0;
    int stopBits = 1;
};
ComLineSettings LineSettingsOfFlags(int lineFlags);

// Low-latency mode of a port's driver. USB serial adapters hold short replies for a latency
// timer (16 ms on common chips) unless asked for low latency, and every transaction here
// waits for a short reply.
class LowLatencyControl {
public:
    virtual ~LowLatencyControl() = default;
    // Asks the driver of an open handle for low latency; the driver's flags to put back at
    // close, or nothing when it has no such mode (a pseudo-terminal, a built-in UART).
    virtual std::optional<int> Request(qintptr handle) const;
    virtual void Restore(qintptr handle, int flags) const;
};
const LowLatencyControl &SystemLowLatency();

// The device of the port number comes from the port table kept in settingsFile (see
// ComPortMap).
bool OpenComPort(int port, int baudCode, int lineFlags, const QString &settingsFile,
                 const ComDeviceSource &devices = SystemComDevices());
// Opens a given device into a table slot, bypassing the port map.
bool OpenComDevice(int port, const QString &devicePath, int baudCode, int lineFlags,
                   const LowLatencyControl &latency = SystemLowLatency());
void CloseComPort(int port);
bool WriteComText(int port, const QString &text);
void PurgeComRx(int port);
int ComInQueue(int port);
int ComOutQueue(int port);
int ReadComByte(int port);
QString ReadComLine(int port, int waits);

// Waits up to ms for received bytes, returning early the moment one arrives.
// Returns false when the port is unusable (then the caller's time is not spent).
bool WaitComData(int port, int ms);

// Why the last OpenComPort/OpenComDevice failed, for the user ("" after success).
QString LastComOpenError();
bool IsComPortOpen(int port); // false after a hang-up too
// The line went away under an open port (device unplugged, the far end closed): what was
// not sent was dropped and the handle closed. Stays true until the port is closed or opened.
bool ComPortHungUp(int port);
QString ComPortDevice(int port); // device path of an open slot

int ListComPorts(QStringList *target, bool withNames, const QString &settingsFile,
                 const ComDeviceSource &devices = SystemComDevices());

} // namespace kestrava
