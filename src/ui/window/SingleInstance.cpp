#include "SingleInstance.h"

#include <QDir>
#include <QStandardPaths>

namespace kestrava {

QString InstanceLockPath() {
    QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (folder.isEmpty())
        folder = QDir::tempPath();
    return QDir(folder).filePath(QString::fromLatin1(kInstanceLockName));
}

std::unique_ptr<QLockFile> LockSingleInstance(const QString &folder) {
    const QString path = folder.isEmpty()
                             ? InstanceLockPath()
                             : QDir(folder).filePath(QString::fromLatin1(kInstanceLockName));
    auto lock = std::make_unique<QLockFile>(path);
    if (!lock->tryLock(0))
        return nullptr;
    return lock;
}

} // namespace kestrava
