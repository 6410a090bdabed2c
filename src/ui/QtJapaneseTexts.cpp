#include "QtJapaneseTexts.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>

namespace kestrava {

bool InstallQtJapaneseTexts(QTranslator &translator) {
    if (!translator.load(QLocale(QLocale::Japanese), QStringLiteral("qtbase"), QStringLiteral("_"),
                         QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        return false;
    return QCoreApplication::installTranslator(&translator);
}

} // namespace kestrava
