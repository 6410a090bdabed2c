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
    QString error; // usage error, when not empty
};

CliOptions ParseCliOptions(const QStringList &arguments);
QString CliUsage();

} // namespace kestrava::cli
