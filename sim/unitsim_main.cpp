// kestrava-unitsim: the simulated unit on a pseudo-terminal, for trying the program without
// hardware. Prints the device path, then the line that maps a COM number to it in the
// settings file's [Ports] section, and serves until SIGINT, SIGTERM or SIGHUP.

#include "UnitSim.h"

#include <QCommandLineParser>
#include <QCoreApplication>

#include <csignal>
#include <cstdio>
#include <cstdlib>

#include <pthread.h>

using kestrava::sim::UnitSim;
using kestrava::sim::UnitSimOptions;

namespace {

int parseNumber(const QString &text, int base, int min, int max, const char *what) {
    bool ok = false;
    const int v = text.toInt(&ok, base);
    if (!ok || v < min || v > max) {
        std::fprintf(stderr, "kestrava-unitsim: bad %s: %s\n", what, qPrintable(text));
        std::exit(2);
    }
    return v;
}

QByteArray printable(const QByteArray &bytes) {
    QByteArray out;
    for (char c : bytes) {
        if (c == '\r')
            out += "\\r";
        else if (c == '\n')
            out += "\\n";
        else if (c >= 0x20 && c < 0x7F)
            out += c;
        else
            out += "\\x" + QByteArray::number(uchar(c), 16).rightJustified(2, '0');
    }
    return out;
}

} // namespace

int main(int argc, char *argv[]) {
    // Blocked before any thread starts, so that only sigwait below takes them.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    for (int s : {SIGINT, SIGTERM, SIGHUP})
        sigaddset(&stopSignals, s);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("kestrava-unitsim"));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Simulated patch unit on a pseudo-terminal. Prints the device path, then the line\n"
        "COM9=<path> for the [Ports] section of the settings file; serves until interrupted."));
    parser.addHelpOption();
    const QCommandLineOption linkOpt(QStringLiteral("link"),
                                     QStringLiteral("Make PATH a symbolic link to the device."),
                                     QStringLiteral("PATH"));
    const QCommandLineOption baudOpt(
        QStringLiteral("baud"),
        QStringLiteral("Pace both directions at N baud, 10 bits a byte (default 0: no pacing)."),
        QStringLiteral("N"), QStringLiteral("0"));
    const QCommandLineOption paceOpt(QStringLiteral("pace"),
                                     QStringLiteral("Pace at 57600 baud (same as --baud 57600)."));
    const QCommandLineOption stateOpt(
        QStringLiteral("state"),
        QStringLiteral("Load the unit's stored memory from FILE and save it there on exit."),
        QStringLiteral("FILE"));
    const QCommandLineOption firmwareOpt(
        QStringLiteral("firmware"),
        QStringLiteral("Firmware version x 100, hexadecimal (default 064)."), QStringLiteral("HEX"),
        QStringLiteral("064"));
    const QCommandLineOption patchOpt(
        QStringLiteral("patch"),
        QStringLiteral("Current patch 0..7 at start, 0 being patch 1 (default 0)."),
        QStringLiteral("N"), QStringLiteral("0"));
    const QCommandLineOption statusOpt(
        QStringLiteral("status"),
        QStringLiteral("Status word, hexadecimal: bit 0 DMX line A, bit 4 line B (default 011)."),
        QStringLiteral("HEX"), QStringLiteral("011"));
    const QCommandLineOption latencyOpt(
        QStringLiteral("usb-latency"),
        QStringLiteral("Hold each answer MS milliseconds from its first byte unless 62 bytes "
                       "wait, as a USB adapter's latency timer does (default 0: none)."),
        QStringLiteral("MS"), QStringLiteral("0"));
    const QCommandLineOption logOpt(QStringLiteral("log"),
                                    QStringLiteral("Print each request and its answer to stderr."));
    parser.addOptions({linkOpt, baudOpt, paceOpt, latencyOpt, stateOpt, firmwareOpt, patchOpt,
                       statusOpt, logOpt});
    parser.process(app);
    if (!parser.positionalArguments().isEmpty()) {
        std::fprintf(stderr, "kestrava-unitsim: unexpected argument %s\n",
                     qPrintable(parser.positionalArguments().constFirst()));
        return 2;
    }

    UnitSimOptions options;
    options.linkPath = parser.value(linkOpt);
    options.stateFile = parser.value(stateOpt);
    options.baud = parser.isSet(paceOpt)
                       ? 57600
                       : parseNumber(parser.value(baudOpt), 10, 0, 10'000'000, "baud rate");
    options.usbLatencyMs = parseNumber(parser.value(latencyOpt), 10, 0, 1000, "latency");
    options.firmware = parseNumber(parser.value(firmwareOpt), 16, 0, 0xFFF, "firmware");
    options.currentPatch = parseNumber(parser.value(patchOpt), 10, 0, 7, "patch");
    options.status = parseNumber(parser.value(statusOpt), 16, 0, 0xFFF, "status");
    if (parser.isSet(logOpt)) {
        options.onRequest = [](const QString &request, const QByteArray &reply) {
            std::fprintf(stderr, "%s -> %s\n", printable(request.toLatin1()).constData(),
                         reply.isEmpty() ? "(no answer)" : printable(reply).constData());
            std::fflush(stderr);
        };
    }

    UnitSim sim(options);
    QString error;
    if (!sim.start(&error)) {
        std::fprintf(stderr, "kestrava-unitsim: %s\n", qPrintable(error));
        return 1;
    }
    const QString path = options.linkPath.isEmpty() ? sim.devicePath() : options.linkPath;
    std::printf("%s\n", qPrintable(path));
    std::fflush(stdout);
    std::printf("COM9=%s\n", qPrintable(path));
    std::fflush(stdout);

    int received = 0;
    sigwait(&stopSignals, &received);
    sim.stop();
    return 0;
}
