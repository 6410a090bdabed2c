#pragma once

#include "Desktop.h"
#include "UiLanguage.h"

#include <QString>

namespace kestrava {

// Topic numbers of the help page (F1 on a menu or a dialog).
namespace HelpContext {
inline constexpr int Help = 1;
inline constexpr int File = 8;
inline constexpr int Edit = 9;
inline constexpr int Remote = 10;
inline constexpr int View = 11;
inline constexpr int Options = 12;
} // namespace HelpContext

// The maker's web site, opened by GoWebAction.
inline constexpr char kMakerWebAddress[] = "https://www.orv.example/";

// The help page in the desktop's help language, in its help folder, or else
// HelpFilePathFor the program's folder.
QString HelpFilePath(const TDesktop &desktop);
bool HelpFileExists(const TDesktop &desktop);
// The help page ("kestrava.html", in English "kestrava_en.html") beside the program when
// it is there, else the one in the data folder of an installed program
// ("../share/kestrava/"). A missing English page falls back to the Japanese one, which
// beats no help at all; when neither exists, the Japanese path beside the program.
QString HelpFilePathFor(const QString &programDir, UiLanguage language = UiLanguage::Japanese);

// Open the help page at the topic of a context (0 or less: the contents). When there
// is no help page or nothing could open it, an error box says so and the result is false.
bool ShowHelpTopic(const TDesktop &desktop, int context);
bool ShowHelpContents(const TDesktop &desktop);
// Open the maker's web site in the browser; when that cannot start, an error box says
// so and the result is false.
bool GoWeb(const TDesktop &desktop);

} // namespace kestrava
