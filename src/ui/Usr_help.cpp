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

bool openUrl(const QUrl &url) {
    return opener() ? opener()(url) : QDesktopServices::openUrl(url);
}

} // namespace

QString HelpFilePathFor(const QString &programDir, UiLanguage language) {
    if (language != UiLanguage::Japanese) {
        const QString page = FindProgramFile(programDir, helpPageName(language));
        if (!page.isEmpty())
            return page;
    }
    const QString page = FindProgramFile(programDir, helpPageName(UiLanguage::Japanese));
    return page.isEmpty() ? QDir(programDir).filePath(helpPageName(UiLanguage::Japanese)) : page;
}

QString HelpFilePath() {
    if (helpFolder().isEmpty())
        return HelpFilePathFor(QCoreApplication::applicationDirPath(), helpLanguage());
    const QDir folder(helpFolder());
    const QString translated = folder.filePath(helpPageName(helpLanguage()));
    return QFileInfo(translated).isFile() ? translated
                                          : folder.filePath(helpPageName(UiLanguage::Japanese));
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
