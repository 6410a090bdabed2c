#pragma once

#include <QString>

namespace kestrava {

// Where the programs keep their files. A program run from its own folder (the build
// folder, or a copy anywhere) keeps everything beside itself. An installed program is
// one whose folder has "../share/kestrava/" next to it (bin/ and share/ under one
// prefix): its read-only files (the help page, and compiled translations in a
// "translations" folder) are in that data folder, and the user's settings in the
// per-user configuration folder, whatever the rights on bin/ are (root can write
// /usr/bin, yet that is no place for one user's settings).
bool IsInstalledLayout(const QString &programDir);
// "../share/kestrava" of an installed program (as a clean absolute path), the program's
// own folder otherwise.
QString KestravaDataFolderFor(const QString &programDir);
// A read-only file of the suite (a path relative to the folders above): beside the
// program first, then in an installed program's data folder; empty when in neither.
QString FindProgramFile(const QString &programDir, const QString &relativePath);

// The per-user configuration folder ("~/.config/Kestrava" on Linux). The editor's
// QStandardPaths::AppConfigLocation; named here so that the command-line tool, which
// has an application name of its own, finds the same folder.
QString KestravaConfigFolder();

// The settings file "kestrava.INI": beside the program when it runs from its own folder
// and that folder (or the file) can be written; in KestravaConfigFolder() for an
// installed program, or when beside the program it could not be written, so that
// settings are never silently lost. Every program of the suite (the editor and the
// command-line tool) uses the same file.
QString KestravaSettingsPath();
// Where the file goes for a given program folder. Creates the configuration folder when
// that is the answer.
QString KestravaSettingsPathFor(const QString &programDir);

// The editor's QStandardPaths::AppDataLocation ("~/.local/share/Kestrava" on Linux), named
// here for the same reason as the configuration folder.
QString KestravaUserDataFolder();
// Where the snapshots of the unit's data go for a given settings file: "history" in the
// user's data folder when the settings live in the configuration folder (an installed
// program), beside the settings file otherwise; "" without a settings file.
QString KestravaHistoryFolderFor(const QString &settingsFile);

} // namespace kestrava
