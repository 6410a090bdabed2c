// Transfer time against the wire limit: a full all-data restore and the start-up
// fetch, against the simulated unit paced at 57600 baud (10 bits a byte), with no USB
// adapter between, then behind adapters whose latency timer is 1 ms (low-latency mode) and
// 16 ms (the common default).

#include "AttrTransfer.h"
#include "CurveTransfer.h"
#include "DataTransfer.h"
#include "PatchTransfer.h"
#include "UnitLink.h"
#include "UnitSim.h"
#include "Usr_misc.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <cstdio>

using namespace kestrava;

namespace {

constexpr int kBaud = 57600;

// Bytes on the wire for the requests in the log and the unit's answers to them.
qint64 wireBytes(const QStringList &log) {
    qint64 bytes = 0;
    for (const QString &r : log) {
        bytes += r.size() + 1; // the CR
        if (r.isEmpty())
            continue; // a lone CR is not answered
        if (r.startsWith(u'Q'))
            bytes += (r.mid(1).toInt(nullptr, 16) >= 0x800 ? 3 : 48) + 1;
        else
            bytes += 2; // "!" CR
    }
    return bytes;
}

struct Figure {
    double elapsedMs;
    double wireMs;
    double ratio() const { return elapsedMs / wireMs; }
};

Figure measure(sim::UnitSim &unit, const std::function<bool()> &work) {
    unit.clearLog();
    QElapsedTimer t;
    t.start();
    const bool ok = work();
    const double elapsed = t.nsecsElapsed() / 1e6;
    if (!ok) {
        std::fprintf(stderr, "transfer failed\n");
        std::exit(1);
    }
    const double wire = wireBytes(unit.requestLog()) * 10.0 * 1000.0 / kBaud;
    return {elapsed, wire};
}

void print(const char *what, const Figure &f) {
    std::printf("%-28s elapsed %8.1f ms   wire %8.1f ms   ratio %.3f\n", what, f.elapsedMs,
                f.wireMs, f.ratio());
}

struct Worst {
    double restore = 0;
    double startup = 0;
};

// rounds of both transfers against a unit behind an adapter with the given latency timer.
Worst measureBehind(int usbLatencyMs, int rounds, bool printEach) {
    StderrResponder responder;
    sim::UnitSimOptions options;
    options.baud = kBaud;
    options.usbLatencyMs = usbLatencyMs;
    sim::UnitSim unit(options);
    QString error;
    if (!unit.start(&error)) {
        std::fprintf(stderr, "simulator: %s\n", qPrintable(error));
        std::exit(1);
    }
    TUnitLink link{TBoxes(responder)};
    link.ComPortNo = 1;
    if (!link.OpenDevice(unit.devicePath()) || !link.LinkUp()) {
        std::fprintf(stderr, "no link to the simulator\n");
        std::exit(1);
    }
    NullProgress progress;
    TransferEnv env{link, progress};

    TPatchModel patches;
    TLoadAttrModel attrs;
    TCurveSet curves;
    patches.CurPatch = 0;
    for (int p = 0; p < PatchCount; ++p)
        for (int o = 0; o < OutputCount; ++o)
            patches.Patches[p][o] = (o * 5 + p) % 1024;
    for (int o = 0; o < 1024; ++o)
        attrs.LoadAttrs[o] = o % 4;

    Worst worst;
    for (int i = 0; i < rounds; ++i) {
        const Figure restore =
            measure(unit, [&] { return TransferLoadedAllData(env, patches, attrs, curves); });
        if (printEach)
            print("all-data restore (.dat)", restore);
        worst.restore = std::max(worst.restore, restore.ratio());

        const Figure startup = measure(unit, [&] {
            TPatchModel p;
            TLoadAttrModel a;
            TCurveSet c;
            if (!link.LinkUp())
                return false;
            p.CurPatch = link.QueryCurrentPatch();
            return FetchCurrentPatch(env, p) && FetchLoadAttrs(env, a) && FetchCurves(env, c);
        });
        if (printEach)
            print("start-up fetch", startup);
        worst.startup = std::max(worst.startup, startup.ratio());
    }
    link.SendCmd(QStringLiteral("R000\r"));
    return worst;
}

} // namespace

int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 3;

    const Worst direct = measureBehind(0, rounds, true);
    std::printf("worst ratio: restore %.3f, start-up %.3f (target 1.15)\n", direct.restore,
                direct.startup);
    // What a real unit costs behind a USB adapter: one round each, the timer dwarfs the noise.
    std::printf("usb latency  0 ms: start-up ratio %.2f, restore ratio %.2f\n", direct.startup,
                direct.restore);
    for (int latencyMs : {1, 16}) {
        const Worst behind = measureBehind(latencyMs, 1, false);
        std::printf("usb latency %2d ms: start-up ratio %.2f, restore ratio %.2f\n", latencyMs,
                    behind.startup, behind.restore);
        std::fflush(stdout);
    }
    return direct.restore <= 1.15 && direct.startup <= 1.15 ? 0 : 2;
}
