#include "CliDiff.h"

#include "ChannelNotation.h"
#include "CliTokens.h"

#include <algorithm>
#include <cstdio>
#include <memory>

namespace kestrava::cli {

namespace {

constexpr int kDiffFailed = 2;

QString sides(const QString &unit, const QString &file) {
    return QStringLiteral("unit %1, file %2").arg(unit, file);
}

void diffPatch(QStringList &out, const QString &patch, const TPatch &unit, const TPatch &file,
               int held, bool ab) {
    for (int o = 0; o < std::min(held, OutputCount); ++o) {
        const PatchEntry u = unit[std::size_t(o)];
        const PatchEntry f = file[std::size_t(o)];
        if (u != f)
            out << QStringLiteral("patch %1 output %2: ").arg(patch, ChannelText(o, ab)) +
                       sides(InputToken(u, ab), InputToken(f, ab));
    }
}

void diffAttributes(QStringList &out, const TLoadAttrs &unit, const TLoadAttrs &file, int held,
                    bool ab) {
    for (int o = 0; o < std::min(held, LoadAttrCount); ++o) {
        const LoadAttr u = unit[std::size_t(o)];
        const LoadAttr f = file[std::size_t(o)];
        if (u != f)
            out << QStringLiteral("attribute output %1: ").arg(ChannelText(o, ab)) +
                       sides(LoadAttrText(u), LoadAttrText(f));
    }
}

QString pointInputs(const TPointList &points) {
    QStringList xs;
    for (const TCurvePoint &p : points)
        xs << QString::number(p.X);
    return xs.join(u',');
}

void diffCurve(QStringList &out, int curve, const TUserCurve &unit, const TUserCurve &file,
               bool modeHeld) {
    const QString head = QStringLiteral("curve %1 ").arg(curve + 1);
    if (modeHeld && unit.Mode != file.Mode)
        out << head + QStringLiteral("mode: ") +
                   sides(QString::number(unit.Mode), QString::number(file.Mode));
    const QString unitPoints = pointInputs(unit.Points);
    const QString filePoints = pointInputs(file.Points);
    if (unitPoints != filePoints)
        out << head + QStringLiteral("points: ") + sides(unitPoints, filePoints);
    for (int i = 0; i < CurveTableSize; ++i) {
        const int u = unit.Table[std::size_t(i)];
        const int f = file.Table[std::size_t(i)];
        if (u != f)
            out << head + QStringLiteral("input %1: ").arg(i) +
                       sides(QString::number(u), QString::number(f));
    }
}

// A file stands in for the unit only when it holds every value the other file holds; a
// "[Patch*]" names no memory, so it stands only for another.
bool standsFor(const TLoadFile &other, const TLoadFile &file) {
    return (other.kind == FileKind::OnePatch) == (file.kind == FileKind::OnePatch) &&
           other.read.found.Covers(file.read.found);
}

} // namespace

QStringList DiffDataSets(const QList<DataSection> &sections, const TReadReport &held,
                         const TDataSet &unit, const TDataSet &file, const TDiffOptions &options) {
    QStringList out;
    for (DataSection s : sections) {
        switch (s) {
        case DataSection::AllPatches:
            for (int p = 0; p < PatchCount; ++p)
                if (held.patchSections.test(std::size_t(p)))
                    diffPatch(out, QString::number(p + 1), unit.patches.Patches[std::size_t(p)],
                              file.patches.Patches[std::size_t(p)],
                              held.patchValues[std::size_t(p)], options.ab);
            break;
        case DataSection::CurrentPatch:
            if (unit.patches.HasCurrent() && file.patches.HasCurrent())
                diffPatch(out, options.currentPatch, *unit.patches.Current(),
                          *file.patches.Current(),
                          held.patchValues[std::size_t(file.patches.CurPatch)], options.ab);
            break;
        case DataSection::Attributes:
            if (held.attributeSection)
                diffAttributes(out, unit.attrs.LoadAttrs, file.attrs.LoadAttrs,
                               held.attributeValues, options.ab);
            break;
        case DataSection::Curves:
            for (int c = 0; c < UserCurveCount; ++c)
                if (held.curveSections.test(std::size_t(c)))
                    diffCurve(out, c, unit.curves.Curves[std::size_t(c)],
                              file.curves.Curves[std::size_t(c)],
                              held.curveModes.test(std::size_t(c)));
            break;
        }
    }
    return out;
}

namespace {

// The unit's side from OTHER, which must stand in for it.
bool readOffline(const CliOptions &o, const TLoadFile &file, TDataSet &unit) {
    const FileKind otherKind = FileKindOf(o.offline);
    if (otherKind == FileKind::None) {
        PrintErr(QStringLiteral("kestrava-cli: ") + KindError(o.offline));
        return false;
    }
    TLoadFile other;
    if (!ReadUsableFile(otherKind, o.offline, unit.patches.CurPatch, other))
        return false;
    if (!standsFor(other, file)) {
        PrintErr(QStringLiteral("kestrava-cli: %1 does not hold what %2 holds")
                     .arg(o.offline, o.args.value(0)));
        return false;
    }
    return other.LayOver(unit.patches, unit.attrs, unit.curves);
}

// The unit's side from the unit: only the parts, and of the patches only the memories, that
// the file holds are fetched. The file is read again for the unit's current patch, as a
// restore reads it (readFor: the patch its "[Patch*]" now stands for).
bool fetchUnit(const CliOptions &o, TLoadFile &file, int &readFor, TDataSet &unit,
               TDiffOptions &options, TransferProgress &progress) {
    TUnitSession session(o);
    if (!session.LinkUp())
        return false;
    const int unitPatch = session.UnitPatch();
    // A unit that names no patch fails the fetch of a one-patch file, which says so.
    if (IsPatchIndex(unitPatch)) {
        if (!ReadFileForUnit(file.kind, o.args.value(0), unitPatch, file))
            return false;
        readFor = unitPatch;
    }
    unit.patches.LimitFetchTo(file.read.found.patchSections);
    options.currentPatch = QString::number(unitPatch + 1);
    return session.Fetch(HeldSections(file.kind, file.read.found), unit, progress);
}

} // namespace

int RunDiff(const CliOptions &o, TransferProgress &progress) {
    const QString fileName = o.args.value(0);
    const FileKind kind = FileKindOf(fileName);
    if (kind == FileKind::None) {
        PrintErr(QStringLiteral("kestrava-cli: ") + KindError(fileName));
        return kDiffFailed;
    }
    // Eight patch memories each: kept off the stack.
    const auto file = std::make_unique<TDataSet>();
    const auto unit = std::make_unique<TDataSet>();
    // The file is read first: one that does not read costs the unit nothing.
    TLoadFile load;
    if (!ReadUsableFile(kind, fileName, file->patches.CurPatch, load))
        return kDiffFailed;
    TDiffOptions options{o.ab, QStringLiteral("*")};
    int readFor = file->patches.CurPatch;
    const bool unitRead = o.offline.isEmpty()
                              ? fetchUnit(o, load, readFor, *unit, options, progress)
                              : readOffline(o, load, *unit);
    file->patches.SelectCurrent(readFor);
    if (!unitRead || !load.LayOver(file->patches, file->attrs, file->curves))
        return kDiffFailed;
    const QStringList lines =
        DiffDataSets(HeldSections(kind, load.read.found), load.read.found, *unit, *file, options);
    for (const QString &line : lines)
        std::printf("%s\n", line.toUtf8().constData());
    std::fflush(stdout);
    return lines.isEmpty() ? 0 : 1;
}

} // namespace kestrava::cli
