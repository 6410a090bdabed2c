#pragma once

#include "LinkSettings.h"
#include "Usr_misc.h"

#include <QString>

#include <optional>
#include <utility>

// The link to the patch unit: its state fields, the two transactions every command is
// made of, and the verbs of the link itself (remote mode, status, port changes), so that
// nobody outside the link writes its protocol texts.

namespace kestrava {

// A command answered by "!" CR: 50 empty polls of 20 ms, about one second of silence.
constexpr int kAckPolls = 50;
constexpr int kAckPollMs = 20;
// A query answered by one line: 100 waits of 10 ms.
constexpr int kReplyWaits = 100;
// A newly opened port is given this long to settle before it is used.
constexpr int kPortSettleMs = 100;

// The DMX lines on which the unit receives a signal.
struct TDmxLines {
    bool lineA = false;
    bool lineB = false;
};

// The firmware version as shown to the user: "1.65" for 165, "_.__" when unknown.
QString FormatFirmwareVersion(int version);

// Outside the link its fields are read, and changed only through its verbs; BusyCount only
// by the transactions themselves.
class TUnitLink {
public:
    // boxes: where a silent unit is reported.
    explicit TUnitLink(TBoxes boxes) : boxes_(boxes) {}

    int ComPortNo = 1;
    bool PortOpen = false;
    bool Linked = false;
    bool EditMode = false;
    bool Transferring = false;
    int BusyCount = 0;
    int FirmwareVersion = 0; // x 100; 0 not read, -1 not hexadecimal
    // Where ComPortNo finds its device (the port table) and the ComPort setting.
    TLinkSettings Settings;

    // One acknowledged transaction: true only when "!" and CR came back. A unit
    // that sends nothing at all clears Linked and is reported once.
    bool SendCmd(const QString &command);
    // One query: the reply line, or "" when nothing usable came back.
    QString QueryCmd(const QString &command);

    // The user chose to work on memory only: no unit is asked for anything.
    void EnterEditMode() { EditMode = true; }
    // A reconnect reached the unit: memory follows the unit again.
    void LeaveEditMode() { EditMode = false; }
    // The unit stopped answering: the commands that need it stay off until a reconnect.
    void MarkLost() { Linked = false; }
    // A command that moves data began: the actions that would cut into it stay off. Returns
    // what Transferring was, for EndTransferring to put back (a command run inside another).
    bool BeginTransferring() { return std::exchange(Transferring, true); }
    void EndTransferring(bool outer) { Transferring = outer; }

    // Reads the port and the port table from a settings file.
    void UseSettingsFile(const QString &settingsPath) { Settings = TLinkSettings(settingsPath); }
    // Opens the port the settings name, as the program starts.
    bool OpenSavedPort() {
        ComPortNo = Settings.ComPort();
        return OpenPort();
    }
    // Opens ComPortNo (or a device path) at 57600 8N1 and sets PortOpen.
    bool OpenPort();
    bool OpenDevice(const QString &devicePath);
    void ClosePort();
    // Why the last open failed, for the user ("" after a successful open).
    QString OpenError() const { return openError_; }
    // The line went away under the open port (the unit was unplugged). PortOpen stays set
    // until LinkUp tries the port again.
    bool HungUp() const;
    // The options dialog's port change: remote mode off while linked, the old port closed,
    // newPort opened and given time to settle. Returns PortOpen.
    bool ChangePort(int newPort);

    // Remote mode on and identification, as a reconnect begins: the port opened again when
    // its line hung up or it is not open, Linked set, "\rR001\r", then FirmwareVersion from
    // "Q800\r". Returns false (Linked cleared) when the port does not open (PortOpen then
    // cleared too, without any wait) or the unit did not acknowledge.
    bool LinkUp();
    bool RemoteOn();  // "R001\r", as at start-up
    bool RemoteOff(); // "R000\r", as at close
    // The unit's current patch from "Q801\r": 0..7, or -1 when unusable.
    int QueryCurrentPatch();
    // The DMX lines of the status word from "Q802\r" (text that is not hexadecimal reads as
    // no line), or nothing when the unit gave no 3-character reply.
    std::optional<TDmxLines> PollStatus();
    // No transaction under way and nothing waiting to be sent or read: a poll may go out.
    bool IsIdle() const;
    // Discards what was received and not read.
    void PurgeInput();
    // The boxes the link reports through, for the commands that run over it.
    const TBoxes &Boxes() const { return boxes_; }
    // Whether patch memory p (0..31) is fetched for the first time since LinkUp; noted, so
    // that the history keeps one copy of each memory per link session.
    bool FirstFetchInSession(int p) {
        const quint32 bit = quint32(1) << p;
        const bool first = (fetchedInSession_ & bit) == 0;
        fetchedInSession_ |= bit;
        return first;
    }

private:
    bool reopen();
    QString portTableFile() const;

    TBoxes boxes_;
    QString device_; // the device OpenDevice opened, reopened by LinkUp; "" for ComPortNo's
    QString openError_;
    quint32 fetchedInSession_ = 0;
};

} // namespace kestrava
