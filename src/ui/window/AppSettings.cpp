#include "AppSettings.h"

#include <algorithm>

namespace kestrava {

int ReadIniInt(QSettings &ini, const QString &key, int defaultValue) {
    const QVariant v = ini.value(key);
    if (!v.isValid())
        return defaultValue;
    bool ok = false;
    const int n = v.toString().trimmed().toInt(&ok);
    return ok ? n : defaultValue;
}

bool ReadIniBool(QSettings &ini, const QString &key, bool defaultValue) {
    return ReadIniInt(ini, key, defaultValue ? 1 : 0) != 0;
}

void TAppSettings::ReadCreate(QSettings &ini) {
    // Channel counts outside 1..OutputCount would make the views index past the memory.
    MaxTxChannel =
        std::clamp(ReadIniInt(ini, QStringLiteral("MaxTxChannel"), OutputCount), 1, OutputCount);
    MaxRxChannel =
        std::clamp(ReadIniInt(ini, QStringLiteral("MaxRxChannel"), OutputCount), 1, OutputCount);
    WarnChgPatch = ReadIniBool(ini, QStringLiteral("WarnChgPatch"), true);
    DispAbCh = ReadIniBool(ini, QStringLiteral("DispAbCh"), false);
    PatTableMode = ReadIniInt(ini, QStringLiteral("PatTableMode"), 0);
    if (PatTableMode != 0 && PatTableMode != 1)
        PatTableMode = 0;
    PatTableWidth = ReadIniInt(ini, QStringLiteral("PatTableWidth"), 10);
    if (PatTableWidth != 10 && PatTableWidth != 12 && PatTableWidth != 16 && PatTableWidth != 20)
        PatTableWidth = 10;
    CrvGridWidth = ReadIniInt(ini, QStringLiteral("CrvGridWidth"), 8);
    if (CrvGridWidth != 8 && CrvGridWidth != 16)
        CrvGridWidth = 8;
}

void TAppSettings::ReadShow(QSettings &ini) {
    CheckValue = std::clamp(ReadIniInt(ini, QStringLiteral("CheckValue"), 255), 0, 255);
}

void TAppSettings::WriteGeneral(QSettings &ini) const {
    ini.setValue(QStringLiteral("DispAbCh"), DispAbCh ? 1 : 0);
    ini.setValue(QStringLiteral("PatTableMode"), PatTableMode);
    ini.setValue(QStringLiteral("PatTableWidth"), PatTableWidth);
    ini.setValue(QStringLiteral("CrvGridWidth"), CrvGridWidth);
    ini.setValue(QStringLiteral("MaxTxChannel"), MaxTxChannel);
    ini.setValue(QStringLiteral("MaxRxChannel"), MaxRxChannel);
    ini.setValue(QStringLiteral("WarnChgPatch"), WarnChgPatch ? 1 : 0);
}

void TAppSettings::WriteCheckValue(QSettings &ini) const {
    ini.setValue(QStringLiteral("CheckValue"), CheckValue);
}

} // namespace kestrava
