#include "SettingsPath.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace kestrava {

namespace {

const QString kSettingsFile = QStringLiteral("kestrava.INI");

QString installedDataFolder(const QString &programDir) {
    return QDir::cleanPath(QDir(programDir).absoluteFilePath(QStringLiteral("../share/kestrava")));
}

// QSettings saves through a lock file and a new file beside the old one, so the folder
// must be writable, and the file too when it is there.
bool writableBeside(const QString &programDir) {
    const QFileInfo file(QDir(programDir).filePath(kSettingsFile));
    return QFileInfo(programDir).isWritable() && (!file.exists() || file.isWritable());
}

} // namespace

bool IsInstalledLayout(const QString &programDir) {
    return QFileInfo(installedDataFolder(programDir)).isDir();
}

QString KestravaDataFolderFor(const QString &programDir) {
    return IsInstalledLayout(programDir) ? installedDataFolder(programDir) : programDir;
}

QString FindProgramFile(const QString &programDir, const QString &relativePath) {
    for (const QString &folder : {programDir, KestravaDataFolderFor(programDir)}) {
        const QString path = QDir(folder).filePath(relativePath);
        if (QFileInfo(path).isFile())
            return path;
    }
    return {};
}

QString KestravaConfigFolder() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/Kestrava");
}

QString KestravaSettingsPathFor(const QString &programDir) {
    if (!IsInstalledLayout(programDir) && writableBeside(programDir))
        return QDir(programDir).filePath(kSettingsFile);
    const QString folder = KestravaConfigFolder();
    QDir().mkpath(folder);
    return QDir(folder).filePath(kSettingsFile);
}

QString KestravaUserDataFolder() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
           QStringLiteral("/Kestrava");
}

QString KestravaHistoryFolderFor(const QString &settingsFile) {
    if (settingsFile.isEmpty())
        return {};
    const QFileInfo file(settingsFile);
    const bool configured = file.absoluteDir() == QDir(KestravaConfigFolder());
    const QDir base(configured ? KestravaUserDataFolder() : file.absolutePath());
    return base.filePath(QStringLiteral("history"));
}

QString KestravaSettingsPath() {
    return KestravaSettingsPathFor(QCoreApplication::applicationDirPath());
}

} // namespace kestrava
