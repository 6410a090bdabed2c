#include "UnitLink.h"

#include "ComPortMap.h"
#include "NumberText.h"
#include "Usr_com_std.h"
#include "Usr_misc.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QElapsedTimer>

namespace kestrava {

namespace {

// The status word's bits for the two DMX lines; the unit's other bits mean nothing here.
constexpr int kDmxLineABit = 0x001;
constexpr int kDmxLineBBit = 0x010;

// Decrements BusyCount on every exit, after any message box has been closed.
class BusyScope {
public:
    explicit BusyScope(int &count) : count_(count) { ++count_; }
    ~BusyScope() { --count_; }
    BusyScope(const BusyScope &) = delete;
    BusyScope &operator=(const BusyScope &) = delete;

private:
    int &count_;
};

} // namespace

QString FormatFirmwareVersion(int version) {
    if (version <= 0)
        return QStringLiteral("_.__");
    return QString::asprintf("%4.2f", version / 100.0);
}

bool TUnitLink::SendCmd(const QString &command) {
    if (command.isEmpty())
        return false;
    BusyScope busy(BusyCount);
    WriteComText(ComPortNo, command);

    const qint64 budget = qint64(kAckPolls) * kAckPollMs;
    qint64 spent = 0;
    QElapsedTimer wall;
    wall.start();
    int received = 0;
    bool ok = false;
    // Bytes do not spend the budget; a unit streaming garbage must still end the wait.
    while (spent < budget && wall.elapsed() < 2 * budget) {
        if (ComInQueue(ComPortNo) > 0) {
            const int b = ReadComByte(ComPortNo);
            if (b < 0)
                continue;
            ++received;
            if (received == 1) {
                ok = b == '!';
            } else if (received == 2) {
                if (b == '\r')
                    return ok;
                ok = false;
            }
            continue;
        }
        QElapsedTimer t;
        t.start();
        WaitComData(ComPortNo, int(std::min<qint64>(kAckPollMs, budget - spent)));
        spent += std::max<qint64>(t.elapsed(), 1);
    }
    if (received == 0) {
        MarkLost();
        boxes_.Error(QCoreApplication::translate("UnitLink", "応答がありません"));
        return false;
    }
    return ok && received == 1;
}

QString TUnitLink::QueryCmd(const QString &command) {
    if (command.isEmpty())
        return {};
    BusyScope busy(BusyCount);
    WriteComText(ComPortNo, command);
    const QString line = ReadComLine(ComPortNo, kReplyWaits);
    return line == QLatin1String("?") ? QString() : line;
}

bool TUnitLink::OpenPort() {
    device_.clear();
    PortOpen = OpenComPort(ComPortNo, kUnitBaudCode, 0, portTableFile(), Settings.Devices());
    openError_ = PortOpen ? QString() : LastComOpenError();
    return PortOpen;
}

bool TUnitLink::OpenDevice(const QString &devicePath) {
    device_ = devicePath;
    PortOpen = OpenComDevice(ComPortNo, devicePath, kUnitBaudCode, 0);
    openError_ = PortOpen ? QString() : LastComOpenError();
    return PortOpen;
}

void TUnitLink::ClosePort() {
    CloseComPort(ComPortNo);
    PortOpen = false;
}

QString TUnitLink::portTableFile() const {
    return Settings.File();
}

bool TUnitLink::HungUp() const {
    return ComPortHungUp(ComPortNo);
}

bool TUnitLink::reopen() {
    return device_.isEmpty() ? OpenPort() : OpenDevice(device_);
}

bool TUnitLink::ChangePort(int newPort) {
    if (Linked)
        RemoteOff(); // the old unit is left in local mode; its answer does not matter
    ClosePort();
    ComPortNo = newPort;
    OpenPort();
    // Bytes a device sends while it settles are not an answer to anything.
    const QDeadlineTimer settle(kPortSettleMs);
    while (!settle.hasExpired()) {
        WaitComData(ComPortNo, int(settle.remainingTime()));
        PurgeComRx(ComPortNo);
    }
    return PortOpen;
}

bool TUnitLink::LinkUp() {
    // A port whose line hung up (the unit was unplugged) is opened again, so that a unit
    // plugged back in links without a restart.
    if (!IsComPortOpen(ComPortNo) && !reopen()) {
        MarkLost();
        return false;
    }
    Linked = true;
    if (!SendCmd(QStringLiteral("\rR001\r"))) {
        MarkLost();
        return false;
    }
    const QString v = QueryCmd(QStringLiteral("Q800\r"));
    FirmwareVersion = v.size() == 3 ? HexValue(v, -1) : 0;
    fetchedInSession_ = 0;
    return true;
}

bool TUnitLink::RemoteOn() {
    return SendCmd(QStringLiteral("R001\r"));
}

bool TUnitLink::RemoteOff() {
    return SendCmd(QStringLiteral("R000\r"));
}

int TUnitLink::QueryCurrentPatch() {
    const QString v = QueryCmd(QStringLiteral("Q801\r"));
    const int p = v.size() == 3 ? HexValue(v, -1) : -1;
    // the memory holds eight patches; anything else is no patch
    return (p >= 0 && p <= 7) ? p : -1;
}

std::optional<TDmxLines> TUnitLink::PollStatus() {
    const QString v = QueryCmd(QStringLiteral("Q802\r"));
    if (v.size() != 3)
        return std::nullopt;
    const int word = HexValue(v, 0);
    return TDmxLines{(word & kDmxLineABit) != 0, (word & kDmxLineBBit) != 0};
}

bool TUnitLink::IsIdle() const {
    return BusyCount < 1 && ComOutQueue(ComPortNo) < 1 && ComInQueue(ComPortNo) < 1;
}

void TUnitLink::PurgeInput() {
    PurgeComRx(ComPortNo);
}

} // namespace kestrava
