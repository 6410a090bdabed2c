#include "CliCommands.h"
#include "CliDiff.h"
#include "CliExport.h"
#include "CliImport.h"
#include "CliOptions.h"
#include "SettingsPath.h"
#include "TerminalProgress.h"
#include "UiLanguage.h"

#include <QCoreApplication>
#include <QTranslator>

#include <cstdio>
#include <unistd.h>

using namespace kestrava;

int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    cli::CliOptions o = cli::ParseCliOptions(app.arguments());
    if (o.help) {
        std::fputs(cli::CliUsage().toUtf8().constData(), stdout);
        return 0;
    }
    if (!o.error.isEmpty()) {
        std::fprintf(stderr, "kestrava-cli: %s\n", o.error.toUtf8().constData());
        std::fputs(cli::CliUsage().toUtf8().constData(), stderr);
        return 2;
    }
    if (o.settingsFile.isEmpty())
        o.settingsFile = KestravaSettingsPath();
    // The editor's language: its settings file decides for both.
    QTranslator texts;
    InstallProgramTranslation(texts, QCoreApplication::applicationDirPath(),
                              UiLanguageOf(o.settingsFile));

    cli::TerminalProgress bar(stderr);
    NullProgress silent;
    TransferProgress &progress =
        (!o.quiet && ::isatty(STDERR_FILENO)) ? static_cast<TransferProgress &>(bar) : silent;

    if (o.command == QLatin1String("info"))
        return cli::RunInfo(o);
    if (o.command == QLatin1String("backup"))
        return cli::RunBackup(o, progress);
    if (o.command == QLatin1String("restore"))
        return cli::RunRestore(o, progress);
    if (o.command == QLatin1String("diff"))
        return cli::RunDiff(o, progress);
    if (o.command == QLatin1String("export"))
        return cli::RunExport(o, progress);
    if (o.command == QLatin1String("import"))
        return cli::RunImport(o);
    if (o.command == QLatin1String("ports"))
        return cli::RunPorts(o);
    if (o.command == QLatin1String("history"))
        return cli::RunHistory(o);
    return cli::RunCheck(o);
}
