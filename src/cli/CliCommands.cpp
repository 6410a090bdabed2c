#include "CliCommands.h"

#include "AttrTransfer.h"
#include "CliSession.h"
#include "ComPortMap.h"
#include "CurveTransfer.h"
#include "DataFileKind.h"
#include "DataTransfer.h"
#include "PatchTransfer.h"
#include "SettingsPath.h"
#include "Snapshot.h"
#include "TextLines.h"
#include "UnitLink.h"
#include "Usr_misc.h"

#include <QDir>

#include <cstdio>

namespace kestrava::cli {

int RunInfo(const CliOptions &o) {
    TUnitSession s(o);
    if (!s.LinkUp())
        return 1;
    const int patch = s.UnitPatch();
    const TDmxLines lines = s.link.PollStatus().value_or(TDmxLines{});
    std::printf("firmware=%s\n",
                FormatFirmwareVersion(s.link.FirmwareVersion).toUtf8().constData());
    if (patch < 0)
        std::printf("patch=none\n");
    else
        std::printf("patch=%d\n", patch + 1);
    std::printf("dmx_a=%d\ndmx_b=%d\n", lines.lineA ? 1 : 0, lines.lineB ? 1 : 0);
    std::fflush(stdout);
    return 0;
}

int RunBackup(const CliOptions &o, TransferProgress &progress) {
    const QString file = o.args.value(0);
    const FileKind kind = FileKindOf(file);
    if (kind == FileKind::None)
        return UsageError(KindError(file));
    // The session puts the unit back on its own patch when a fetch that walks the
    // patches fails part-way.
    TUnitSession s(o);
    TDataSet d;
    if (!s.LinkUp() || !s.Fetch(FileKindInfo(kind)->sections, d, progress))
        return 1;
    QStringList lines;
    if (!WriteDataFileLines(kind, lines, d.patches, d.attrs, d.curves) ||
        !SaveTextLines(file, lines)) {
        s.link.Boxes().Error(Texts::tr("保存に失敗しました"));
        return 1;
    }
    return 0;
}

int RunRestore(const CliOptions &o, TransferProgress &progress) {
    const QString file = o.args.value(0);
    const FileKind kind = FileKindOf(file);
    if (kind == FileKind::None)
        return UsageError(KindError(file));
    // Read before the unit hears anything: a file that does not read sends nothing.
    TDataSet d;
    TLoadFile load;
    if (!ReadFileForUnit(kind, file, d.patches.CurPatch, load))
        return 1;
    TUnitSession s(o);
    if (!s.LinkUp())
        return 1;
    const int unitPatch = s.UnitPatch();
    if (unitPatch != d.patches.CurPatch) {
        // "[Patch*]" stands for the unit's current patch: read again for that one.
        d.patches.SelectCurrent(unitPatch);
        if (!ReadFileForUnit(kind, file, unitPatch, load))
            return 1;
    }
    // Nothing of the unit's is in memory: whatever the file leaves out is fetched from the
    // unit before anything is written, so a restore never writes blanks in its place.
    const TReadReport &found = load.read.found;
    TransferEnv env{s.link, progress};
    const QString kRestore = QStringLiteral("Restore");
    bool ok = false;
    switch (kind) {
    case FileKind::AllData:
        ok = TransferLoadedAllData(env, d.patches, d.attrs, d.curves, load, kRestore);
        break;
    case FileKind::AllPatches:
        ok = TransferLoadedPatches(env, d.patches, load, kRestore);
        break;
    case FileKind::OnePatch:
        ok = TransferLoadedCurrentPatch(env, d.patches, load, kRestore);
        break;
    case FileKind::Attributes:
        ok = TSnapshot(env, kRestore, {{}, true, false}, d.patches, d.attrs, d.curves).Take() &&
             (found.FillsAttributes() || FetchLoadAttrs(env, d.attrs)) &&
             load.LayOver(d.patches, d.attrs, d.curves) && WriteLoadAttrs(env, d.attrs);
        break;
    case FileKind::Curves:
        ok = TSnapshot(env, kRestore, {{}, false, true}, d.patches, d.attrs, d.curves).Take() &&
             (found.HoldsAllCurves() || FetchCurves(env, d.curves)) &&
             load.LayOver(d.patches, d.attrs, d.curves) && WriteCurves(env, d.curves);
        break;
    case FileKind::None:
        break;
    }
    return ok ? 0 : 1;
}

int RunCheck(const CliOptions &o) {
    const QString file = o.args.value(0);
    const FileKind kind = FileKindOf(file);
    if (kind == FileKind::None)
        return UsageError(KindError(file));
    TLoadFile load;
    if (!ReadUsableFile(kind, file, TPatchModel().CurPatch, load))
        return 1;
    std::printf("%s: ok\n", file.toUtf8().constData());
    return 0;
}

int RunHistory(const CliOptions &o) {
    for (const THistoryEntry &e : ListHistory(KestravaHistoryFolderFor(o.settingsFile)))
        std::printf("%s\t%s\t%s\t%s\t%s\n",
                    e.when.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")).toUtf8().constData(),
                    e.command.toUtf8().constData(), e.firmware.toUtf8().constData(),
                    HoldsText(e.holds).toUtf8().constData(),
                    QDir::toNativeSeparators(e.path).toUtf8().constData());
    std::fflush(stdout);
    return 0;
}

int RunPorts(const CliOptions &o) {
    // The listing first: it gives a device seen for the first time its number.
    for (const QString &item : ComPortItems(o.settingsFile))
        std::printf("%s\n", item.toUtf8().constData());
    std::printf("\n");
    for (const ComPortMapping &m : ComPortMap(o.settingsFile).mappings())
        std::printf("COM%d=%s %s\n", m.number, m.path.toUtf8().constData(),
                    m.present ? "present" : "absent");
    std::fflush(stdout);
    return 0;
}

} // namespace kestrava::cli
