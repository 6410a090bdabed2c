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

void diffPatch(QStringList &out, const QString &patch, const TPatch &unit, const TPatch &file,
               bool ab) {
    for (int o = 0; o < OutputCount; ++o) {
        const PatchEntry u = unit[std::size_t(o)];
        const PatchEntry f = file[std::size_t(o)];
        if (u != f)
            out << QStringLiteral("patch %1 output %2: ").arg(patch, ChannelText(o, ab)) +
                       sides(InputToken(u, ab), InputToken(f, ab));
    }
}

void diffAttributes(QStringList &out, const TLoadAttrs &unit, const TLoadAttrs &file, bool ab) {
    for (int o = 0; o < LoadAttrCount; ++o) {
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

void diffCurve(QStringList &out, int curve, const TUserCurve &unit, const TUserCurve &file) {
    const QString head = QStringLiteral("curve %1 ").arg(curve + 1);
    if (unit.Mode != file.Mode)
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

// A file stands in for the unit only when it holds every part the other file holds.
bool holdsAll(FileKind kind, const QList<DataSection> &sections) {
    const QList<DataSection> &held = FileKindInfo(kind)->sections;
    for (DataSection s : sections)
        if (!held.contains(s))
            return false;
    return true;
}

} // namespace

QStringList DiffDataSets(const QList<DataSection> &sections, const TDataSet &unit,
                         const TDataSet &file, const TDiffOptions &options) {
    QStringList out;
    for (DataSection s : sections) {
        switch (s) {
        case DataSection::AllPatches:
            for (int p = 0; p < PatchCount; ++p)
                diffPatch(out, QString::number(p + 1), unit.patches.Patches[std::size_t(p)],
                          file.patches.Patches[std::size_t(p)], options.ab);
            break;
        case DataSection::CurrentPatch:
            if (unit.patches.HasCurrent() && file.patches.HasCurrent())
                diffPatch(out, options.currentPatch, *unit.patches.Current(),
                          *file.patches.Current(), options.ab);
            break;
        case DataSection::Attributes:
            diffAttributes(out, unit.attrs.LoadAttrs, file.attrs.LoadAttrs, options.ab);
            break;
        case DataSection::Curves:
            for (int c = 0; c < UserCurveCount; ++c)
                diffCurve(out, c, unit.curves.Curves[std::size_t(c)],
                          file.curves.Curves[std::size_t(c)]);
            break;
        }
    }
    return out;
}

int RunDiff(const CliOptions &o, TransferProgress &progress) {
    const QString fileName = o.args.value(0);
    const FileKind kind = FileKindOf(fileName);
    if (kind == FileKind::None) {
        PrintErr(QStringLiteral("kestrava-cli: ") + KindError(fileName));
        return kDiffFailed;
    }
    const QList<DataSection> &sections = FileKindInfo(kind)->sections;
    // Eight patch memories each: kept off the stack.
    const auto file = std::make_unique<TDataSet>();
    const auto unit = std::make_unique<TDataSet>();
    // The file is read first: one that does not read costs the unit nothing.
    if (!ReadDataSet(kind, fileName, *file))
        return kDiffFailed;
    TDiffOptions options{o.ab, QStringLiteral("*")};
    if (!o.offline.isEmpty()) {
        const FileKind otherKind = FileKindOf(o.offline);
        if (otherKind == FileKind::None) {
            PrintErr(QStringLiteral("kestrava-cli: ") + KindError(o.offline));
            return kDiffFailed;
        }
        if (!holdsAll(otherKind, sections)) {
            PrintErr(QStringLiteral("kestrava-cli: %1 does not hold what %2 holds")
                         .arg(o.offline, fileName));
            return kDiffFailed;
        }
        if (!ReadDataSet(otherKind, o.offline, *unit))
            return kDiffFailed;
    } else {
        TUnitSession session(o);
        if (!session.LinkUp() || !session.Fetch(sections, *unit, progress))
            return kDiffFailed;
        options.currentPatch = QString::number(session.UnitPatch() + 1);
    }
    const QStringList lines = DiffDataSets(sections, *unit, *file, options);
    for (const QString &line : lines)
        std::printf("%s\n", line.toUtf8().constData());
    std::fflush(stdout);
    return lines.isEmpty() ? 0 : 1;
}

} // namespace kestrava::cli
