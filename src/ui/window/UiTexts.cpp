#include "UiTexts.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>

namespace kestrava {

TUiTexts::TUiTexts(const QString &settingsPath)
    : TUiTexts(UiLanguageOf(settingsPath), QCoreApplication::applicationDirPath()) {}

TUiTexts::TUiTexts(UiLanguage language, const QString &programDir) : language_(language) {
    if (language == UiLanguage::Japanese)
        installed_ = translator_.load(QLocale(QLocale::Japanese), QStringLiteral("qtbase"),
                                      QStringLiteral("_"),
                                      QLibraryInfo::path(QLibraryInfo::TranslationsPath)) &&
                     QCoreApplication::installTranslator(&translator_);
    else
        installed_ = InstallProgramTranslation(translator_, programDir, language);
}

TUiTexts::~TUiTexts() {
    QCoreApplication::removeTranslator(&translator_);
}

} // namespace kestrava
