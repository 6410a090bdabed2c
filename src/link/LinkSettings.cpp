#include "LinkSettings.h"

#include "ComPorts.h"

#include <QSettings>

namespace kestrava {

namespace {

const QString kComPortKey = QStringLiteral("Serial/ComPort");

} // namespace

int TLinkSettings::ComPort() const {
    if (file_.isEmpty())
        return 1;
    const QVariant v = QSettings(file_, QSettings::IniFormat).value(kComPortKey);
    bool ok = false;
    const int port = v.toString().trimmed().toInt(&ok);
    return v.isValid() && ok ? port : 1;
}

void TLinkSettings::SetComPort(int port) const {
    if (file_.isEmpty())
        return;
    QSettings ini(file_, QSettings::IniFormat);
    ini.setValue(kComPortKey, port);
    ini.sync();
}

QStringList TLinkSettings::ComPortItems() const {
    return kestrava::ComPortItems(file_, *devices_);
}

} // namespace kestrava
