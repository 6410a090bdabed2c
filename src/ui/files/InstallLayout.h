#pragma once

#include <QString>

namespace kestrava {

// Where the file dialogs open first: the user's documents folder for an installed
// Kestrava (its program folder belongs to the system), the program's own folder for one
// run from where it was built or copied, next to its settings and help.
QString FileDialogStartFolder();
QString FileDialogStartFolderFor(const QString &programDir);

} // namespace kestrava
