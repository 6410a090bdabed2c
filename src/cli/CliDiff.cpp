#include "CliDiff.h"

#include "ChannelNotation.h"
#include "CliTokens.h"

#include <cstdio>
#include <memory>

namespace kestrava::cli {

namespace {

constexpr int kDiffFailed = 2;

QString sides(const QString &unit, const QString &file) {
    return QStringLiteral("unit %1, file %2").arg(unit, file);
}

QString inputList(const QList<int> &inputs) {
    QStringList xs;
    for (int x : inputs)
        xs << QString::number(x);
    return xs.join(u',');
}

QString differenceLine(const TDataDifference &d, const TDiffOptions &options) {
    const bool ab = options.ab;
    const QString curve = QStringLiteral("curve %1 ").arg(d.curve + 1);
    switch (d.part) {
    case DiffPart::Patch:
        return QStringLiteral("patch %1 output %2: ")
                   .arg(d.current ? options.currentPatch : QString::number(d.patch + 1),
                        ChannelText(d.at, ab)) +
               sides(InputToken(d.unit, ab), InputToken(d.file, ab));
    case DiffPart::Attribute:
        return QStringLiteral("attribute output %1: ").arg(ChannelText(d.at, ab)) +
               sides(LoadAttrText(d.unit), LoadAttrText(d.file));
    case DiffPart::CurveMode:
        return curve + QStringLiteral("mode: ") +
               sides(QString::number(d.unit), QString::number(d.file));
    case DiffPart::CurvePoints:
        return curve + QStringLiteral("points: ") +
               sides(inputList(d.unitInputs), inputList(d.fileInputs));
    case DiffPart::CurveTable:
        return curve + QStringLiteral("input %1: ").arg(d.at) +
               sides(QString::number(d.unit), QString::number(d.file));
    }
    return {};
}

} // namespace

QStringList DiffLines(const QList<DataSection> &sections, const TReadReport &held,
                      const TDataSet &unit, const TDataSet &file, const TDiffOptions &options) {
    QStringList out;
    for (const TDataDifference &d : DiffDataSets(sections, held, unit, file))
        out << differenceLine(d, options);
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
    if (!StandsFor(other, file)) {
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
        DiffLines(HeldSections(kind, load.read.found), load.read.found, *unit, *file, options);
    for (const QString &line : lines)
        std::printf("%s\n", line.toUtf8().constData());
    std::fflush(stdout);
    return lines.isEmpty() ? 0 : 1;
}

} // namespace kestrava::cli
