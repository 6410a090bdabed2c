#include "UnitLink.h"

#include "Usr_com_std.h"
#include "Usr_misc.h"

#include <QCoreApplication>
#include <QElapsedTimer>

namespace kestrava {

namespace {

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

int HexValue(QStringView digits, int fallback) {
    if (digits.isEmpty() || digits.size() > 7)
        return fallback;
    int value = 0;
    for (QChar c : digits) {
        const int d = (c >= u'0' && c <= u'9')   ? c.unicode() - '0'
                      : (c >= u'A' && c <= u'F') ? c.unicode() - 'A' + 10
                      : (c >= u'a' && c <= u'f') ? c.unicode() - 'a' + 10
                                                 : -1;
        if (d < 0)
            return fallback;
        value = value * 16 + d;
    }
    return value;
}

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
        Linked = false;
        ShowErrorBox(QCoreApplication::translate("UnitLink", "応答がありません"));
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
    PortOpen = OpenComPort(ComPortNo, kUnitBaudCode, 0);
    return PortOpen;
}

bool TUnitLink::OpenDevice(const QString &devicePath) {
    PortOpen = OpenComDevice(ComPortNo, devicePath, kUnitBaudCode, 0);
    return PortOpen;
}

void TUnitLink::ClosePort() {
    CloseComPort(ComPortNo);
    PortOpen = false;
}

bool TUnitLink::LinkUp() {
    Linked = true;
    if (!SendCmd(QStringLiteral("\rR001\r"))) {
        Linked = false;
        return false;
    }
    const QString v = QueryCmd(QStringLiteral("Q800\r"));
    FirmwareVersion = v.size() == 3 ? HexValue(v, -1) : 0;
    return true;
}

int TUnitLink::QueryCurrentPatch() {
    const QString v = QueryCmd(QStringLiteral("Q801\r"));
    const int p = v.size() == 3 ? HexValue(v, -1) : -1;
    // the memory holds eight patches; anything else is no patch
    return (p >= 0 && p <= 7) ? p : -1;
}

int TUnitLink::QueryStatus() {
    const QString v = QueryCmd(QStringLiteral("Q802\r"));
    return v.size() == 3 ? HexValue(v, -1) : -1;
}

} // namespace kestrava
