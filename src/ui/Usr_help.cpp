#include "Usr_help.h"

#include "SettingsPath.h"
#include "Usr_misc.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>

namespace kestrava {

namespace {

UrlOpener &opener() {
    static UrlOpener o;
    return o;
}

QString &helpFolder() {
    static QString folder;
    return folder;
}

bool openUrl(const QUrl &url) {
    return opener() ? opener()(url) : QDesktopServices::openUrl(url);
}

} // namespace

QString HelpFilePathFor(const QString &programDir) {
    const QString name = QStringLiteral("kestrava.html");
    const QString beside = QDir(programDir).filePath(name);
    if (QFileInfo(beside).isFile())
        return beside;
    const QString installed = QDir(KestravaDataFolderFor(programDir)).filePath(name);
    return QFileInfo(installed).isFile() ? installed : beside;
}

QString HelpFilePath() {
    if (!helpFolder().isEmpty())
        return QDir(helpFolder()).filePath(QStringLiteral("kestrava.html"));
    return HelpFilePathFor(QCoreApplication::applicationDirPath());
}

bool HelpFileExists() {
    return QFileInfo(HelpFilePath()).isFile();
}

void SetHelpFolder(const QString &folder) {
    helpFolder() = folder;
}

bool ShowHelpTopic(int context) {
    if (HelpFileExists()) {
        QUrl url = QUrl::fromLocalFile(QFileInfo(HelpFilePath()).absoluteFilePath());
        if (context > 0)
            url.setFragment(QStringLiteral("context-%1").arg(context));
        if (openUrl(url))
            return true;
    }
    ShowErrorBox(QCoreApplication::translate("Usr_help", "ヘルプを表示できませんでした"));
    return false;
}

bool ShowHelpContents() {
    return ShowHelpTopic(0);
}

bool GoWeb() {
    if (openUrl(QUrl(QString::fromLatin1(kMakerWebAddress))))
        return true;
    ShowErrorBox(QCoreApplication::translate("Usr_help", "ホームページを表示できませんでした"));
    return false;
}

UrlOpener SetUrlOpener(UrlOpener o) {
    UrlOpener previous = std::move(opener());
    opener() = std::move(o);
    return previous;
}

} // namespace kestrava
