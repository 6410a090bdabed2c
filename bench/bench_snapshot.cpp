// The wire time a snapshot adds to each overwriting command when memory holds nothing of the
// unit in sync (the command-line tool's case, and the editor's after edits): the reads of
// the parts the command overwrites, against the simulated unit paced at 57600 baud. A part
// memory holds in sync and unchanged costs nothing.

#include "Snapshot.h"
#include "UnitLink.h"
#include "UnitSim.h"
#include "Usr_misc.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QSettings>
#include <QTemporaryDir>

#include <cstdio>

using namespace kestrava;

namespace {

struct Row {
    const char *commands;
    TSnapshotParts parts;
};

} // namespace

int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    const QString settings = dir.filePath(QStringLiteral("kestrava.INI"));
    QSettings(settings, QSettings::IniFormat).setValue(QStringLiteral("History/Keep"), 1);

    StderrResponder responder;
    sim::UnitSimOptions options;
    options.baud = 57600;
    sim::UnitSim unit(options);
    QString error;
    if (!unit.start(&error)) {
        std::fprintf(stderr, "simulator: %s\n", qPrintable(error));
        return 1;
    }
    TUnitLink link{TBoxes(responder)};
    link.UseSettingsFile(settings);
    if (!link.OpenDevice(unit.devicePath()) || !link.LinkUp()) {
        std::fprintf(stderr, "no link to the simulator\n");
        return 1;
    }
    NullProgress progress;
    TransferEnv env{link, progress};
    TPatchModel patches;
    patches.SelectCurrent(0);
    const TLoadAttrModel attrs;
    const TCurveSet curves;
    const std::bitset<PatchCount> one(1);
    const Row rows[] = {
        {"load all data, restore .dat", TSnapshotParts::All()},
        {"load all patches, clear all, restore .pat", {std::bitset<PatchCount>().set()}},
        {"load/clear/one-to-one this patch, .pt1", {one}},
        {"write or load attributes, restore .atr", {{}, true, false}},
        {"write or load curves, restore .crv", {{}, false, true}},
    };
    for (const Row &row : rows) {
        TSnapshot snapshot(env, QStringLiteral("Bench"), row.parts, patches, attrs, curves);
        unit.clearLog();
        QElapsedTimer t;
        t.start();
        if (!snapshot.Take()) {
            std::fprintf(stderr, "snapshot failed\n");
            return 1;
        }
        std::printf("%-44s %5lld requests %8.1f ms\n", row.commands,
                    static_cast<long long>(unit.requestLog().size()), t.nsecsElapsed() / 1e6);
        std::fflush(stdout);
    }
    link.RemoteOff();
    return 0;
}
