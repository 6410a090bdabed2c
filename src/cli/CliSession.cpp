#include "CliSession.h"

#include "AttrTransfer.h"
#include "ComPorts.h"
#include "CurveTransfer.h"
#include "PatchTransfer.h"
#include "Usr_misc.h"

#include <cstdio>

namespace kestrava::cli {

namespace {

// The reason's first line goes in the parentheses; what to do about it follows on its own lines.
void sayUnusable(const QString &port, const QString &reason) {
    const qsizetype lineEnd = reason.indexOf(u'\n');
    PrintErr(Texts::tr("%1:無効 (%2)").arg(port, reason.left(lineEnd)) +
             (lineEnd < 0 ? QString() : reason.mid(lineEnd)));
}

} // namespace

// Opens the unit's port as the program does; on failure says why.
bool OpenUnitPort(TUnitLink &link, const CliOptions &o) {
    link.UseSettingsFile(o.settingsFile);
    const bool isPath = o.port.contains(u'/') || o.port.startsWith(QLatin1String("\\\\"));
    if (isPath) {
        link.ComPortNo = 1;
        if (link.OpenDevice(o.port))
            return true;
        sayUnusable(o.port, link.OpenError());
        return false;
    }
    link.ComPortNo = o.port.isEmpty() ? link.Settings.ComPort() : o.port.toInt();
    if (link.OpenPort())
        return true;
    const QString reason = (link.ComPortNo < 1 || link.ComPortNo > kMaxComPort)
                               ? QStringLiteral("COM1..COM16 only")
                               : link.OpenError();
    sayUnusable(QStringLiteral("COM%1").arg(link.ComPortNo), reason);
    return false;
}

void PrintErr(const QString &text) {
    std::fprintf(stderr, "%s\n", text.toUtf8().constData());
    std::fflush(stderr);
}

int UsageError(const QString &text) {
    PrintErr(QStringLiteral("kestrava-cli: ") + text);
    return 2;
}

QString KindError(const QString &file) {
    return QStringLiteral("%1: the extension must be .dat, .pat, .pt1, .atr or .crv").arg(file);
}

namespace {

bool refuseFile(const QString &file, const QString &why) {
    PrintErr(Texts::tr("ファイルの読込に失敗しました: %1: %2").arg(file, why));
    return false;
}

} // namespace

bool ReadUsableFile(FileKind kind, const QString &file, int curPatch, TLoadFile &load) {
    load = ReadLoadFile(kind, file, curPatch);
    if (!load.read)
        return refuseFile(file, load.read.message());
    if (!load.Usable())
        return refuseFile(file, QStringLiteral("no section of this kind of file"));
    return true;
}

bool ReadFileForUnit(FileKind kind, const QString &file, int curPatch, TLoadFile &load) {
    if (!ReadUsableFile(kind, file, curPatch, load))
        return false;
    if (kind == FileKind::OnePatch &&
        (!IsPatchIndex(curPatch) || !load.read.found.patchSections.test(std::size_t(curPatch))))
        return refuseFile(file, QStringLiteral("no section for the unit's current patch"));
    return true;
}

TUnitSession::TUnitSession(const CliOptions &o) : opened_(OpenUnitPort(link, o)) {}

TUnitSession::~TUnitSession() {
    if (linked_ && link.Linked) {
        NullProgress silent;
        TransferEnv env{link, silent};
        if (patchMoved_)
            SelectUnitPatch(env, unitPatch_);
        link.RemoteOff();
    }
    link.ClosePort();
}

bool TUnitSession::LinkUp() {
    linked_ = opened_ && link.LinkUp();
    if (linked_)
        unitPatch_ = link.QueryCurrentPatch();
    return linked_;
}

bool TUnitSession::Fetch(const QList<DataSection> &sections, TDataSet &d,
                         TransferProgress &progress) {
    TransferEnv env{link, progress};
    d.patches.SelectCurrent(unitPatch_);
    for (DataSection s : sections) {
        bool ok = false;
        switch (s) {
        case DataSection::AllPatches:
            // FetchAllPatches comes back to the unit's patch only when it gets that far.
            patchMoved_ = true;
            ok = FetchAllPatches(env, d.patches);
            patchMoved_ = !ok;
            break;
        case DataSection::CurrentPatch:
            ok = d.patches.HasCurrent() && FetchCurrentPatch(env, d.patches);
            if (!d.patches.HasCurrent())
                link.Boxes().Error(Texts::tr("取得に失敗しました")); // the unit named no patch
            break;
        case DataSection::Attributes:
            ok = FetchLoadAttrs(env, d.attrs);
            break;
        case DataSection::Curves:
            ok = FetchCurves(env, d.curves);
            break;
        }
        if (!ok)
            return false;
    }
    return true;
}

} // namespace kestrava::cli
