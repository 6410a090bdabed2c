#pragma once

#include "CliSession.h"
#include "DataFileKind.h"
#include "TextLines.h"
#include "UnitSim.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QSettings>
#include <QStringList>
#include <QTemporaryDir>

// Runs kestrava-cli as a process and the small file handling the command tests share.

namespace kestrava::cli::test {

struct CliRun {
    int status = -1; // -1: crashed or timed out
    QByteArray out;
    QString err;
    qint64 ms = 0; // how long the run took
    QStringList lines() const { return QString::fromUtf8(out).split(u'\n', Qt::SkipEmptyParts); }
};

// The tool speaks the language of its settings file: Japanese, the texts the tests read,
// unless a test wrote a language there.
inline void PinLanguage(const QString &settingsFile) {
    QSettings s(settingsFile, QSettings::IniFormat);
    if (!s.contains(QStringLiteral("Language")))
        s.setValue(QStringLiteral("Language"), QStringLiteral("ja"));
}

// runAs: a command that runs the tool as another user (its program and arguments).
inline CliRun RunCli(const QString &settingsFile, const QStringList &args,
                     const QStringList &runAs = {}) {
    PinLanguage(settingsFile);
    QProcess p;
    const QStringList command =
        runAs + QStringList{QStringLiteral(KESTRAVA_CLI), "--settings", settingsFile} + args;
    p.setProgram(command.first());
    p.setArguments(command.mid(1));
    QElapsedTimer t;
    t.start();
    p.start();
    CliRun r;
    if (!p.waitForFinished(20000)) {
        p.kill();
        p.waitForFinished();
        return r;
    }
    r.ms = t.elapsed();
    r.status = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.out = p.readAllStandardOutput();
    r.err = QString::fromUtf8(p.readAllStandardError());
    return r;
}

// A simulated unit's options with its current patch chosen.
inline sim::UnitSimOptions OnPatch(int currentPatch) {
    sim::UnitSimOptions o;
    o.currentPatch = currentPatch;
    return o;
}

// A test's own folder, with the settings file the tool is run with.
class CliFolder {
protected:
    QString path(const QString &name) const { return dir_.filePath(name); }
    CliRun cli(const QStringList &args, const QStringList &runAs = {}) const {
        return RunCli(path("kestrava.INI"), args, runAs);
    }
    QTemporaryDir dir_;
};

// Writes d as a file of the kind its name gives (a one-patch file holds d's current patch).
inline bool WriteDataSet(const QString &file, const TDataSet &d) {
    QStringList lines;
    return WriteDataFileLines(FileKindOf(file), lines, d.patches, d.attrs, d.curves) &&
           SaveTextLines(file, lines);
}

} // namespace kestrava::cli::test
