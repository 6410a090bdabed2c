#pragma once

#include <QString>
#include <QStringList>

namespace kestrava::cli {

struct CliOptions {
    QString port;         // COM number or device path; empty: the settings' ComPort
    QString settingsFile; // empty: the program's settings file (main fills it in)
    bool quiet = false;
    bool help = false;
    QString command;
    QStringList args;
    // diff and export
    bool ab = false;          // diff: channels in A/B notation
    QString offline;          // diff: the data file compared instead of the unit
    QString format;           // export: "csv" or "html"
    QString outputPath;       // export: where to write; empty or "-": stdout; import: the file
    bool fromUnit = false;    // export: the unit's patches instead of a file's
    int patch = 0;            // export: only this patch (1..8); 0: every patch; import: the
                              // patch of a sheet without a patch column
    bool patchedOnly = false; // export: only outputs with an input

    QString error; // usage error, when not empty
};

CliOptions ParseCliOptions(const QStringList &arguments);
QString CliUsage();

} // namespace kestrava::cli
