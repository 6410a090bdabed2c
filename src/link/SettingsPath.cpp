#include "SettingsPath.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace kestrava {

QString KestravaSettingsPathFor(const QString &programDir) {
    const QString beside = QDir(programDir).filePath(QStringLiteral("kestrava.INI"));
    const QFileInfo file(beside);
    const bool usable = file.exists() ? file.isWritable() : QFileInfo(programDir).isWritable();
    if (usable)
        return beside;
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
                           QStringLiteral("/Kestrava");
    QDir().mkpath(folder);
    return folder + QStringLiteral("/kestrava.INI");
}

QString KestravaSettingsPath() {
    return KestravaSettingsPathFor(QCoreApplication::applicationDirPath());
}

} // namespace kestrava
