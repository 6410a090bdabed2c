#pragma once

#include <QString>

// The link to the patch unit: its state fields and the two transactions every
// command is made of.

namespace kestrava {

// A command answered by "!" CR: 50 empty polls of 20 ms, about one second of silence.
constexpr int kAckPolls = 50;
constexpr int kAckPollMs = 20;
// A query answered by one line: 100 waits of 10 ms.
constexpr int kReplyWaits = 100;

// Value of hexadecimal digits as the unit sends them, or fallback when the text
// is not a hexadecimal number.
int HexValue(QStringView digits, int fallback);

// The firmware version as shown to the user: "1.65" for 165, "_.__" when unknown.
QString FormatFirmwareVersion(int version);

class TUnitLink {
public:
    int ComPortNo = 1;
    bool PortOpen = false;
    bool Linked = false;
    bool EditMode = false;
    bool Transferring = false;
    int BusyCount = 0;
    int FirmwareVersion = 0; // x 100; 0 not read, -1 not hexadecimal

    // One acknowledged transaction: true only when "!" and CR came back. A unit
    // that sends nothing at all clears Linked and is reported once.
    bool SendCmd(const QString &command);
    // One query: the reply line, or "" when nothing usable came back.
    QString QueryCmd(const QString &command);

    // Opens ComPortNo (or a device path) at 57600 8N1 and sets PortOpen.
    bool OpenPort();
    bool OpenDevice(const QString &devicePath);
    void ClosePort();

    // Remote mode on and identification, as a reconnect begins: Linked set,
    // "\rR001\r", then FirmwareVersion from "Q800\r". Returns false (Linked
    // cleared) when the unit did not acknowledge.
    bool LinkUp();
    // The unit's current patch from "Q801\r": 0..7, or -1 when unusable.
    int QueryCurrentPatch();
    // The status word from "Q802\r", or -1 when unusable.
    int QueryStatus();
};

} // namespace kestrava
