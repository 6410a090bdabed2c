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

UiLanguage &helpLanguage() {
    static UiLanguage language = UiLanguage::Japanese;
    return language;
}

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

bool openUrl(const QUrl &url) {
    return opener() ? opener()(url) : QDesktopServices::openUrl(url);
}

} // namespace

QString HelpFilePathFor(const QString &programDir, UiLanguage language) {
    return findPage({programDir, KestravaDataFolderFor(programDir)}, language);
}

QString HelpFilePath() {
    if (helpFolder().isEmpty())
        return HelpFilePathFor(QCoreApplication::applicationDirPath(), helpLanguage());
    return findPage({helpFolder()}, helpLanguage());
}

bool HelpFileExists() {
    return QFileInfo(HelpFilePath()).isFile();
}

void SetHelpFolder(const QString &folder) {
    helpFolder() = folder;
}

void SetHelpLanguage(UiLanguage language) {
    helpLanguage() = language;
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
