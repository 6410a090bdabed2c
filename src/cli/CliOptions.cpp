#include "CliOptions.h"

namespace kestrava::cli {

namespace {

struct CommandShape {
    const char *name;
    int argCount;
    int optionalArgs = 0; // how many of argCount may be left out
};

constexpr CommandShape kCommands[] = {{"info", 0},   {"backup", 1}, {"restore", 1},
                                      {"check", 1},  {"diff", 1},   {"export", 1, 1},
                                      {"import", 1}, {"ports", 0},  {"history", 0}};

// The options that belong to one command; the command is checked once it is known.
struct CommandOption {
    const char *name;
    const char *commands; // separated by blanks
    bool takesValue;

    bool Of(const QString &command) const {
        return QString::fromLatin1(commands).split(u' ').contains(command);
    }
};

constexpr CommandOption kCommandOptions[] = {
    {"--ab", "diff", false},
    {"--offline", "diff", true},
    {"--csv", "export", false},
    {"--html", "export", false},
    {"-o", "export import", true},
    {"--output", "export import", true},
    {"--from-unit", "export", false},
    {"--patch", "export import", true},
    {"--patched-only", "export", false},
};

const CommandOption *commandOption(const QString &arg) {
    for (const CommandOption &c : kCommandOptions)
        if (arg == QLatin1String(c.name) ||
            (c.takesValue && arg.startsWith(QLatin1String(c.name) + u'=')))
            return &c;
    return nullptr;
}

// Stores one command option; returns the usage error, or "".
QString takeCommandOption(CliOptions &o, const QString &name, const QString &value) {
    if (name == QLatin1String("--ab")) {
        o.ab = true;
    } else if (name == QLatin1String("--offline")) {
        o.offline = value;
    } else if (name == QLatin1String("--csv") || name == QLatin1String("--html")) {
        const QString format = name.mid(2);
        if (!o.format.isEmpty() && o.format != format)
            return QStringLiteral("choose one of --csv and --html");
        o.format = format;
    } else if (name == QLatin1String("-o") || name == QLatin1String("--output")) {
        o.outputPath = value;
    } else if (name == QLatin1String("--from-unit")) {
        o.fromUnit = true;
    } else if (name == QLatin1String("--patched-only")) {
        o.patchedOnly = true;
    } else if (name == QLatin1String("--patch")) {
        bool ok = false;
        o.patch = value.toInt(&ok);
        if (!ok || o.patch < 1 || o.patch > 8)
            return QStringLiteral("--patch takes a patch number 1..8");
    }
    return QString();
}

// The rules between export's source, format and file, once everything is parsed.
QString checkExport(const CliOptions &o) {
    if (o.format.isEmpty())
        return QStringLiteral("export needs --csv or --html");
    if (o.fromUnit == !o.args.isEmpty())
        return QStringLiteral("export takes either a data file or --from-unit");
    return QString();
}

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
        "                 file that does not read sends nothing. What the unit held\n"
        "                 of what it overwrites is kept in the history first.\n"
        "  check FILE     read FILE without a unit and say whether restore would take\n"
        "                 it: it must read and hold a section of its kind\n"
        "  diff FILE [--ab] [--offline OTHER]\n"
        "                 compare what FILE holds with the unit (a .pt1 with the unit's\n"
        "                 current patch) and print one line per difference:\n"
        "                   patch 3 output 12: unit 45, file 46\n"
        "                   attribute output 513: unit On/Off, file User 2\n"
        "                   curve 2 input 128: unit 128, file 140\n"
        "                   curve 4 mode: unit 1, file 2\n"
        "                   curve 4 points: unit 0,64,255, file 0,128,255\n"
        "                 An input is its number, FULL, or - when not patched. Only\n"
        "                 what FILE holds is compared and fetched: the patches,\n"
        "                 attributes and curves it has sections for, a short section\n"
        "                 as far as it goes. The unit is left on its current patch\n"
        "                 with remote mode off. Exit status: 0 equal, 1 different,\n"
        "                 2 failure (wrong usage, a file that does not read or holds\n"
        "                 nothing of its kind, no unit).\n"
        "    --ab           outputs and inputs as A001..B512 instead of 1..1024\n"
        "    --offline OTHER  no unit: the data file OTHER stands in for it and its\n"
        "                   values are the ones printed as \"unit\". OTHER must hold\n"
        "                   every value FILE holds; a .pt1 compares only with a .pt1,\n"
        "                   its patch named \"*\".\n"
        "  export FILE --csv|--html [--patch N] [-o OUT]\n"
        "  export --from-unit --csv|--html [--patch N] [-o OUT]\n"
        "                 the patch sheet of a data file (.dat, .pat, .pt1) or of the\n"
        "                 unit: per patch one row for each of the 1024 outputs with its\n"
        "                 input and load attribute. Of a file, only the patches it\n"
        "                 holds; an input or attribute it does not hold is left empty.\n"
        "    --csv          patch,output,output_ab,input,input_ab,attribute; CR LF\n"
        "    --html         printable, each patch from a page of its own, up to 256\n"
        "                   outputs a page in four column groups; every page with the\n"
        "                   program version, the date and the page number, and the\n"
        "                   unit's firmware with --from-unit\n"
        "    --patch N      only patch N (1..8); a file must hold it\n"
        "    --patched-only leave out the outputs without an input\n"
        "    -o OUT         write to the file OUT instead of stdout (\"-\": stdout)\n"
        "  import SHEET -o FILE [--patch N]\n"
        "                 read a patch sheet (the CSV export writes, or rows of output\n"
        "                 and input in either notation, comma- or tab-separated) and\n"
        "                 write it as a data file: a .pat gets a [PatchN] section for\n"
        "                 each patch the sheet holds (a sheet without a patch column\n"
        "                 is patch N, 1 by default); a .pt1 takes a sheet of one\n"
        "                 patch. Outputs the sheet leaves out are not patched. A row\n"
        "                 that does not read writes nothing and is named on stderr.\n"
        "  ports          list the serial ports present as the options dialog does\n"
        "                 (number, product, maker, serial number, /dev/serial/by-id\n"
        "                 name, device), giving a new device its COM number; then each\n"
        "                 COM number of the settings file with its path and whether\n"
        "                 the device is present:\n"
        "                   COM2=/dev/serial/by-id/usb-FTDI_..-port0 present\n"
        "                 Sends nothing to any device.\n"
        "  history        list the snapshots of the history folder, newest first, one\n"
        "                 line each: date and time, command, firmware, what it holds\n"
        "                 and its path, separated by tabs:\n"
        "                   2026-12-10 07:05:12  Restore  1.65  Patch1 Patch2  /...dat\n"
        "                 The folder is \"history\" beside the settings file, or in the\n"
        "                 user's data folder for an installed Kestrava. A snapshot is\n"
        "                 an all-data file: restore takes it like any other.\n"
        "\n"
        "Options:\n"
        "  --port PORT      COM number from the port table of the settings file, or a\n"
        "                   device path such as /dev/ttyUSB0 (default: the ComPort setting)\n"
        "  --settings FILE  settings file to use instead of the editor's kestrava.INI\n"
        "  --quiet          no progress bar\n"
        "  --help           this text\n"
        "\n"
        "Exit status (diff: above): 0 success, 1 failure (the reason on stderr),\n"
        "2 usage error.\n");
}

CliOptions ParseCliOptions(const QStringList &arguments) {
    CliOptions o;
    QStringList positional;
    QStringList commandOptions;
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
        } else if (const CommandOption *c = commandOption(a)) {
            const QString name = QString::fromLatin1(c->name);
            QString value;
            if (c->takesValue && a == name) {
                if (i + 1 >= arguments.size()) {
                    o.error = a + QStringLiteral(" needs a value");
                    return o;
                }
                value = arguments[++i];
            } else if (c->takesValue) {
                value = a.mid(name.size() + 1);
            }
            commandOptions.append(name);
            o.error = c->takesValue && value.isEmpty() ? name + QStringLiteral(" needs a value")
                                                       : takeCommandOption(o, name, value);
            if (!o.error.isEmpty())
                return o;
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
            if (o.args.size() > c.argCount || o.args.size() < c.argCount - c.optionalArgs)
                o.error = QStringLiteral("%1 takes %2 argument(s)").arg(o.command).arg(c.argCount);
            for (const QString &name : commandOptions)
                if (!commandOption(name)->Of(o.command))
                    o.error = QStringLiteral("%1 is an option of %2")
                                  .arg(name, QLatin1String(commandOption(name)->commands));
            if (o.error.isEmpty() && o.command == QLatin1String("export"))
                o.error = checkExport(o);
            if (o.error.isEmpty() && o.command == QLatin1String("import") && o.outputPath.isEmpty())
                o.error = QStringLiteral("import needs -o FILE.pat or -o FILE.pt1");
            return o;
        }
    }
    o.error = QStringLiteral("unknown command ") + o.command;
    return o;
}

} // namespace kestrava::cli
