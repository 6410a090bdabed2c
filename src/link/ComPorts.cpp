#include "ComPorts.h"

#include "Usr_com_std.h"

namespace kestrava {

QStringList ComPortItems(const QString &settingsFile, const ComDeviceSource &devices) {
    QStringList items;
    ListComPorts(&items, true, settingsFile, devices);
    return items;
}

int ComPortItemNumber(const QString &item) {
    const int colon = item.indexOf(u':');
    bool ok = false;
    const int n = (colon < 0 ? item : item.left(colon)).toInt(&ok);
    return ok ? n : 0;
}

int AppearedComPortItem(const QStringList &before, const QStringList &after) {
    for (int i = 0; i < after.size(); ++i)
        if (SelectComPortItem(before, ComPortItemNumber(after[i])) < 0)
            return i;
    return -1;
}

int SelectComPortItem(const QStringList &items, int port) {
    for (int i = 0; i < items.size(); ++i) {
        // numbers, not texts: "10: ..." must not pass for port 1
        if (port > 0 && ComPortItemNumber(items[i]) == port)
            return i;
        if (port == 0 && items[i] == QLatin1String("none"))
            return i;
    }
    return -1;
}

} // namespace kestrava
