#include "InstallLayout.h"

#include "SettingsPath.h"

#include <QCoreApplication>
#include <QDir>
#include <QStandardPaths>

namespace kestrava {

QString FileDialogStartFolderFor(const QString &programDir) {
    if (!IsInstalledLayout(programDir))
        return programDir;
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return documents.isEmpty() ? QDir::homePath() : documents;
}

QString FileDialogStartFolder() {
    return FileDialogStartFolderFor(QCoreApplication::applicationDirPath());
}

} // namespace kestrava
