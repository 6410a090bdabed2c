#include "CliCommands.h"

#include "AttrTransfer.h"
#include "CliSession.h"
#include "CurveTransfer.h"
#include "DataFileKind.h"
#include "DataTransfer.h"
#include "PatchTransfer.h"
#include "TextLines.h"
#include "UnitLink.h"
#include "Usr_misc.h"

#include <cstdio>

namespace kestrava::cli {

namespace {

// The unit's data as the command-line tool holds it.
struct UnitData {
    TPatchModel patches;
    TLoadAttrModel attrs;
    TCurveSet curves;
};

TReadResult readData(FileKind kind, const QString &file, UnitData &d) {
    return ReadDataFile(kind, file, d.patches, d.attrs, d.curves);
}

// The port open and the unit in remote mode; "R000\r" and the port closed at the end.
class Session {
public:
    explicit Session(const CliOptions &o) : opened_(OpenUnitPort(link, o)) {}
    ~Session() {
        if (linked_)
            link.RemoteOff();
        link.ClosePort();
    }
    Session(const Session &) = delete;
    Session &operator=(const Session &) = delete;

    // False when the port did not open or the unit did not answer (already reported).
    bool linkUp() {
        linked_ = opened_ && link.LinkUp();
        return linked_;
    }

    TUnitLink link;

private:
    bool opened_;
    bool linked_ = false;
};

int usageError(const QString &text) {
    PrintErr(QStringLiteral("kestrava-cli: ") + text);
    return 2;
}

QString kindError(const QString &file) {
    return QStringLiteral("%1: the extension must be .dat, .pat, .pt1, .atr or .crv").arg(file);
}

// Reads a file for a restore (curPatch: what "[Patch*]" stands for); says which line and rule
// failed when it does not read, or that it holds nothing to restore.
bool readForRestore(FileKind kind, const QString &file, int curPatch, TLoadFile &load) {
    load = ReadLoadFile(kind, file, curPatch);
    QString why;
    if (!load.read)
        why = load.read.message();
    else if (!load.Usable())
        why = QStringLiteral("no section of this kind of file");
    else if (kind == FileKind::OnePatch &&
             (!IsPatchIndex(curPatch) ||
              !load.read.found.patchSections.test(std::size_t(curPatch))))
        why = QStringLiteral("no section for the unit's current patch");
    if (!why.isEmpty())
        PrintErr(Texts::tr("ファイルの読込に失敗しました: %1: %2").arg(file, why));
    return why.isEmpty();
}

} // namespace

int RunInfo(const CliOptions &o) {
    Session s(o);
    if (!s.linkUp())
        return 1;
    const int patch = s.link.QueryCurrentPatch();
    const int word = std::max(s.link.PollStatus(), 0);
    std::printf("firmware=%s\n",
                FormatFirmwareVersion(s.link.FirmwareVersion).toUtf8().constData());
    if (patch < 0)
        std::printf("patch=none\n");
    else
        std::printf("patch=%d\n", patch + 1);
    std::printf("dmx_a=%d\ndmx_b=%d\n", (word & 0x001) ? 1 : 0, (word & 0x010) ? 1 : 0);
    std::fflush(stdout);
    return 0;
}

int RunBackup(const CliOptions &o, TransferProgress &progress) {
    const QString file = o.args.value(0);
    const FileKind kind = FileKindOf(file);
    if (kind == FileKind::None)
        return usageError(kindError(file));
    Session s(o);
    if (!s.linkUp())
        return 1;
    UnitData d;
    d.patches.CurPatch = s.link.QueryCurrentPatch();
    TransferEnv env{s.link, progress};
    bool ok = false;
    switch (kind) {
    case FileKind::AllData:
        ok = FetchAllData(env, d.patches, d.attrs, d.curves);
        break;
    case FileKind::AllPatches:
        ok = FetchAllPatches(env, d.patches);
        break;
    case FileKind::OnePatch:
        ok = d.patches.HasCurrent() && FetchCurrentPatch(env, d.patches);
        if (!d.patches.HasCurrent())
            ShowErrorBox(Texts::tr("取得に失敗しました")); // the unit named no patch
        break;
    case FileKind::Attributes:
        ok = FetchLoadAttrs(env, d.attrs);
        break;
    case FileKind::Curves:
        ok = FetchCurves(env, d.curves);
        break;
    case FileKind::None:
        break;
    }
    if (!ok)
        return 1;
    QStringList lines;
    if (!WriteDataFileLines(kind, lines, d.patches, d.attrs, d.curves) ||
        !SaveTextLines(file, lines)) {
        ShowErrorBox(Texts::tr("保存に失敗しました"));
        return 1;
    }
    return 0;
}

int RunRestore(const CliOptions &o, TransferProgress &progress) {
    const QString file = o.args.value(0);
    const FileKind kind = FileKindOf(file);
    if (kind == FileKind::None)
        return usageError(kindError(file));
    // Read before the unit hears anything: a file that does not read sends nothing.
    UnitData d;
    TLoadFile load;
    if (!readForRestore(kind, file, d.patches.CurPatch, load))
        return 1;
    Session s(o);
    if (!s.linkUp())
        return 1;
    const int unitPatch = s.link.QueryCurrentPatch();
    if (unitPatch != d.patches.CurPatch) {
        // "[Patch*]" stands for the unit's current patch: read again for that one.
        d.patches.CurPatch = unitPatch;
        if (!readForRestore(kind, file, unitPatch, load))
            return 1;
    }
    // Nothing of the unit's is in memory: whatever the file leaves out is fetched from the
    // unit before anything is written, so a restore never writes blanks in its place.
    const TReadReport &found = load.read.found;
    TransferEnv env{s.link, progress};
    bool ok = false;
    switch (kind) {
    case FileKind::AllData:
        ok = TransferLoadedAllData(env, d.patches, d.attrs, d.curves, load);
        break;
    case FileKind::AllPatches:
        ok = TransferLoadedPatches(env, d.patches, load);
        break;
    case FileKind::OnePatch:
        ok = TransferLoadedCurrentPatch(env, d.patches, load);
        break;
    case FileKind::Attributes:
        ok = (found.FillsAttributes() || FetchLoadAttrs(env, d.attrs)) &&
             load.LayOver(d.patches, d.attrs, d.curves) && WriteLoadAttrs(env, d.attrs);
        break;
    case FileKind::Curves:
        ok = (found.HoldsAllCurves() || FetchCurves(env, d.curves)) &&
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
        return usageError(kindError(file));
    UnitData d;
    const TReadResult read = readData(kind, file, d);
    if (!read) {
        PrintErr(QStringLiteral("%1: %2").arg(file, read.message()));
        return 1;
    }
    std::printf("%s: ok\n", file.toUtf8().constData());
    return 0;
}

} // namespace kestrava::cli
