#include "CliOptions.h"

namespace kestrava::cli {

namespace {

struct CommandShape {
    const char *name;
    int argCount;
};

constexpr CommandShape kCommands[] = {{"info", 0}, {"backup", 1}, {"restore", 1}, {"check", 1}};

} // namespace

QString CliUsage() {
    return QStringLiteral(
        "Usage: kestrava-cli [--port PORT] [--settings FILE] [--quiet] COMMAND [FILE]\n"
        "\n"
        "The VELQARIN DMX512 patch unit from the command line.\n"
        "\n"
        "Commands:\n"
        "  info           link to the unit and print its firmware, current patch and\n"
        "                 DMX line status\n"
        "  backup FILE    fetch from the unit what FILE holds and write it; the kind\n"
        "                 follows the extension: .dat all data, .pat all patches,\n"
        "                 .pt1 the unit's current patch, .atr load attributes,\n"
        "                 .crv curves. Nothing is written to the unit.\n"
        "  restore FILE   read FILE, then write it to the unit and store it there; a\n"
        "                 file that does not read sends nothing\n"
        "  check FILE     read FILE without a unit and say whether it reads\n"
        "\n"
        "Options:\n"
        "  --port PORT      COM number from the port table of the settings file, or a\n"
        "                   device path such as /dev/ttyUSB0 (default: the ComPort setting)\n"
        "  --settings FILE  settings file to use instead of kestrava.INI beside the program\n"
        "  --quiet          no progress bar\n"
        "  --help           this text\n"
        "\n"
        "Exit status: 0 success, 1 failure (the reason on stderr), 2 usage error.\n");
}

CliOptions ParseCliOptions(const QStringList &arguments) {
    CliOptions o;
    QStringList positional;
    for (int i = 1; i < arguments.size(); ++i) {
        const QString &a = arguments[i];
        if (a == QLatin1String("--help") || a == QLatin1String("-h")) {
            o.help = true;
        } else if (a == QLatin1String("--quiet") || a == QLatin1String("-q")) {
            o.quiet = true;
        } else if (a == QLatin1String("--port") || a == QLatin1String("--settings")) {
            if (i + 1 >= arguments.size()) {
                o.error = a + QStringLiteral(" needs a value");
                return o;
            }
            (a == QLatin1String("--port") ? o.port : o.settingsFile) = arguments[++i];
        } else if (a.startsWith(QLatin1String("--port="))) {
            o.port = a.mid(7);
        } else if (a.startsWith(QLatin1String("--settings="))) {
            o.settingsFile = a.mid(11);
        } else if (a.startsWith(u'-') && a.size() > 1) {
            o.error = QStringLiteral("unknown option ") + a;
            return o;
        } else {
            positional.append(a);
        }
    }
    if (o.help)
        return o;
    if (positional.isEmpty()) {
        o.error = QStringLiteral("no command given");
        return o;
    }
    o.command = positional.takeFirst();
    o.args = positional;
    for (const CommandShape &c : kCommands) {
        if (o.command == QLatin1String(c.name)) {
            if (o.args.size() != c.argCount)
                o.error = QStringLiteral("%1 takes %2 argument(s)").arg(o.command).arg(c.argCount);
            return o;
        }
    }
    o.error = QStringLiteral("unknown command ") + o.command;
    return o;
}

} // namespace kestrava::cli
