#pragma once

#include "UiLanguage.h"

#include <QString>
#include <QTranslator>

namespace kestrava {

// The window's texts in the language chosen for a settings file: Kestrava's English
// translation, or Qt's own Japanese texts (the standard buttons read はい, いいえ,
// キャンセル) under the Japanese the program is written in. The help page follows the
// same choice. Build it before any window, so that every caption is made in its language.
class TUiTexts {
public:
    explicit TUiTexts(const QString &settingsPath);
    TUiTexts(UiLanguage language, const QString &programDir);
    ~TUiTexts();
    TUiTexts(const TUiTexts &) = delete;
    TUiTexts &operator=(const TUiTexts &) = delete;

    // False when the language's translation was not found (the texts stay Japanese).
    bool Installed() const { return installed_; }
    // The language of the help page: the texts', or Japanese when they stay Japanese.
    UiLanguage HelpLanguage() const { return installed_ ? language_ : UiLanguage::Japanese; }

private:
    UiLanguage language_;
    bool installed_ = false;
    QTranslator translator_;
};

} // namespace kestrava
