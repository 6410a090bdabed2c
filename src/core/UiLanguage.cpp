#include "UiLanguage.h"

#include "SettingsPath.h"

#include <QCoreApplication>
#include <QLocale>
#include <QSettings>
#include <QTranslator>

namespace kestrava {

UiLanguage ChooseUiLanguage(const QString &setting, const QStringList &preferredLanguages) {
    const QString code = setting.trimmed().toLower();
    if (code == QLatin1String("ja"))
        return UiLanguage::Japanese;
    if (code == QLatin1String("en"))
        return UiLanguage::English;
    const bool english = !preferredLanguages.isEmpty() &&
                         QLocale(preferredLanguages.first()).language() == QLocale::English;
    return english ? UiLanguage::English : UiLanguage::Japanese;
}

UiLanguage UiLanguageOf(const QString &settingsPath) {
    const QSettings ini(settingsPath, QSettings::IniFormat);
    // A key outside any group is QSettings' way to [General].
    return ChooseUiLanguage(ini.value(QStringLiteral("Language")).toString(),
                            QLocale::system().uiLanguages());
}

QString UiLanguageCode(UiLanguage language) {
    return language == UiLanguage::English ? QStringLiteral("en") : QStringLiteral("ja");
}

QString ProgramTranslationFor(const QString &programDir, UiLanguage language) {
    if (language == UiLanguage::Japanese)
        return {};
    return FindProgramFile(
        programDir, QStringLiteral("translations/kestrava_%1.qm").arg(UiLanguageCode(language)));
}

bool InstallProgramTranslation(QTranslator &translator, const QString &programDir,
                               UiLanguage language) {
    const QString file = ProgramTranslationFor(programDir, language);
    return !file.isEmpty() && translator.load(file) &&
           QCoreApplication::installTranslator(&translator);
}

} // namespace kestrava
