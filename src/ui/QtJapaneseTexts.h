#pragma once

#include <QTranslator>

namespace kestrava {

// Installs Qt's own Japanese texts (the standard buttons read はい, いいえ, キャンセル).
// The translator must live as long as the application.
bool InstallQtJapaneseTexts(QTranslator &translator);

} // namespace kestrava
