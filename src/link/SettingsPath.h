#pragma once

#include <QString>

namespace kestrava {

// The settings file: beside the program ("kestrava.INI"), or in the user's
// configuration folder when the program's folder cannot be written, so that an
// installed program does not silently lose its settings. Every program of the
// suite (the editor and the command-line tool) uses the same file.
QString KestravaSettingsPath();
// Where the file goes for a given program folder.
QString KestravaSettingsPathFor(const QString &programDir);

} // namespace kestrava
