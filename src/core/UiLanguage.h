#pragma once

#include <QString>
#include <QStringList>

class QTranslator;

namespace kestrava {

// The language every program of the suite speaks. Japanese is the language the texts are
// written in; English comes from a compiled translation.
enum class UiLanguage { Japanese, English };

// "Language" of [General] ("ja" or "en") when it names one of the two; otherwise English
// when the first of the user's preferred languages is English, Japanese in every other
// case (the C locale included).
UiLanguage ChooseUiLanguage(const QString &setting, const QStringList &preferredLanguages);
// The same choice for a settings file and the user's locale. The key is only read:
// settings files keep the keys they have.
UiLanguage UiLanguageOf(const QString &settingsPath);

// "en" or "ja": the suffix of the language's translation and help files.
QString UiLanguageCode(UiLanguage language);

// Where the program's own compiled translation of a language is found, for a program
// folder: its "translations" folder first, then that of an installed program's data
// folder. Empty when there is none (and always for Japanese, the texts' own language).
QString ProgramTranslationFor(const QString &programDir, UiLanguage language);

// Loads the program's translation into translator and installs it; false (and nothing
// installed) for Japanese or when the translation is missing.
bool InstallProgramTranslation(QTranslator &translator, const QString &programDir,
                               UiLanguage language);

} // namespace kestrava
