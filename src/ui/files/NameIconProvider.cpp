#include "NameIconProvider.h"

#include <QApplication>
#include <QFileInfo>
#include <QStyle>

namespace kestrava {

namespace {

QStyle::StandardPixmap pixmapOf(QAbstractFileIconProvider::IconType type) {
    switch (type) {
    case QAbstractFileIconProvider::Computer:
        return QStyle::SP_ComputerIcon;
    case QAbstractFileIconProvider::Desktop:
        return QStyle::SP_DesktopIcon;
    case QAbstractFileIconProvider::Trashcan:
        return QStyle::SP_TrashIcon;
    case QAbstractFileIconProvider::Network:
        return QStyle::SP_DriveNetIcon;
    case QAbstractFileIconProvider::Drive:
        return QStyle::SP_DriveHDIcon;
    case QAbstractFileIconProvider::Folder:
        return QStyle::SP_DirIcon;
    case QAbstractFileIconProvider::File:
        break;
    }
    return QStyle::SP_FileIcon;
}

// The texts Qt's own dialog uses for these, with its translations.
QString dialogText(const char *text) {
    return QCoreApplication::translate("QFileDialog", text);
}

} // namespace

QIcon TNameIconProvider::icon(IconType type) const {
    return QApplication::style()->standardIcon(pixmapOf(type));
}

QIcon TNameIconProvider::icon(const QFileInfo &info) const {
    if (info.isRoot())
        return icon(Drive);
    if (info.isDir())
        return QApplication::style()->standardIcon(info.isSymLink() ? QStyle::SP_DirLinkIcon
                                                                    : QStyle::SP_DirIcon);
    return QApplication::style()->standardIcon(info.isSymLink() ? QStyle::SP_FileLinkIcon
                                                                : QStyle::SP_FileIcon);
}

QString TNameIconProvider::type(const QFileInfo &info) const {
    if (info.isRoot())
        return dialogText("Drive");
    if (info.isDir())
        return dialogText("Folder");
    if (info.isFile()) {
        const QString suffix = info.suffix();
        return suffix.isEmpty() ? dialogText("File") : dialogText("%1 File").arg(suffix.toUpper());
    }
    if (info.isSymLink())
        return dialogText("Shortcut");
    return dialogText("Unknown");
}

} // namespace kestrava
