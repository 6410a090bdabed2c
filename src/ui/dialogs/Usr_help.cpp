#include "Usr_help.h"

#include "SettingsPath.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QUrl>

namespace kestrava {

namespace {

QString helpPageName(UiLanguage language) {
    return language == UiLanguage::Japanese
               ? QStringLiteral("kestrava.html")
               : QStringLiteral("kestrava_%1.html").arg(UiLanguageCode(language));
}

// The page of the language in the first folder that has it, else the Japanese page
// likewise; when there is none, the Japanese page's path in the first folder.
QString findPage(const QStringList &folders, UiLanguage language) {
    for (const UiLanguage l : {language, UiLanguage::Japanese})
        for (const QString &folder : folders) {
            const QString path = QDir(folder).filePath(helpPageName(l));
            if (QFileInfo(path).isFile())
                return path;
        }
    return QDir(folders.first()).filePath(helpPageName(UiLanguage::Japanese));
}

} // namespace

QString HelpFilePathFor(const QString &programDir, UiLanguage language) {
    return findPage({programDir, KestravaDataFolderFor(programDir)}, language);
}

QString HelpFilePath(const TDesktop &desktop) {
    if (desktop.helpFolder.isEmpty())
        return HelpFilePathFor(QCoreApplication::applicationDirPath(), desktop.helpLanguage);
    return findPage({desktop.helpFolder}, desktop.helpLanguage);
}

bool HelpFileExists(const TDesktop &desktop) {
    return QFileInfo(HelpFilePath(desktop)).isFile();
}

bool ShowHelpTopic(const TDesktop &desktop, int context) {
    if (HelpFileExists(desktop)) {
        QUrl url = QUrl::fromLocalFile(QFileInfo(HelpFilePath(desktop)).absoluteFilePath());
        if (context > 0)
            url.setFragment(QStringLiteral("context-%1").arg(context));
        if (desktop.OpenUrl(url))
            return true;
    }
    desktop.boxes.Error(QCoreApplication::translate("Usr_help", "ヘルプを表示できませんでした"));
    return false;
}

bool ShowHelpContents(const TDesktop &desktop) {
    return ShowHelpTopic(desktop, 0);
}

bool GoWeb(const TDesktop &desktop) {
    if (desktop.OpenUrl(QUrl(QString::fromLatin1(kMakerWebAddress))))
        return true;
    desktop.boxes.Error(
        QCoreApplication::translate("Usr_help", "ホームページを表示できませんでした"));
    return false;
}

} // namespace kestrava
