#include "DataSetDiff.h"

#include <algorithm>

namespace kestrava {

namespace {

TDataDifference difference(DiffPart part, int at, int unit, int file) {
    TDataDifference d;
    d.part = part;
    d.at = at;
    d.unit = unit;
    d.file = file;
    return d;
}

void diffPatch(QList<TDataDifference> &out, int patch, bool current, const TPatch &unit,
               const TPatch &file, int held) {
    for (int o = 0; o < std::min(held, OutputCount); ++o) {
        const PatchEntry u = unit[std::size_t(o)];
        const PatchEntry f = file[std::size_t(o)];
        if (u != f) {
            out.append(difference(DiffPart::Patch, o, u, f));
            out.last().patch = patch;
            out.last().current = current;
        }
    }
}

void diffAttributes(QList<TDataDifference> &out, const TLoadAttrs &unit, const TLoadAttrs &file,
                    int held) {
    for (int o = 0; o < std::min(held, LoadAttrCount); ++o) {
        const LoadAttr u = unit[std::size_t(o)];
        const LoadAttr f = file[std::size_t(o)];
        if (u != f)
            out.append(difference(DiffPart::Attribute, o, u, f));
    }
}

QList<int> pointInputs(const TPointList &points) {
    QList<int> xs;
    for (const TCurvePoint &p : points)
        xs << p.X;
    return xs;
}

void diffCurve(QList<TDataDifference> &out, int curve, const TUserCurve &unit,
               const TUserCurve &file, bool modeHeld) {
    const qsizetype first = out.size();
    if (modeHeld && unit.Mode != file.Mode)
        out.append(difference(DiffPart::CurveMode, -1, unit.Mode, file.Mode));
    QList<int> unitInputs = pointInputs(unit.Points);
    QList<int> fileInputs = pointInputs(file.Points);
    if (unitInputs != fileInputs) {
        out.append(difference(DiffPart::CurvePoints, -1, 0, 0));
        out.last().unitInputs = std::move(unitInputs);
        out.last().fileInputs = std::move(fileInputs);
    }
    for (int i = 0; i < CurveTableSize; ++i) {
        const int u = unit.Table[std::size_t(i)];
        const int f = file.Table[std::size_t(i)];
        if (u != f)
            out.append(difference(DiffPart::CurveTable, i, u, f));
    }
    for (qsizetype i = first; i < out.size(); ++i)
        out[i].curve = curve;
}

} // namespace

QList<TDataDifference> DiffDataSets(const QList<DataSection> &sections, const TReadReport &held,
                                    const TDataSet &unit, const TDataSet &file) {
    QList<TDataDifference> out;
    for (DataSection s : sections) {
        switch (s) {
        case DataSection::AllPatches:
            for (int p = 0; p < PatchCount; ++p)
                if (held.patchSections.test(std::size_t(p)))
                    diffPatch(out, p, false, unit.patches.Patches[std::size_t(p)],
                              file.patches.Patches[std::size_t(p)],
                              held.patchValues[std::size_t(p)]);
            break;
        case DataSection::CurrentPatch:
            if (unit.patches.HasCurrent() && file.patches.HasCurrent())
                diffPatch(out, file.patches.CurPatch, true, *unit.patches.Current(),
                          *file.patches.Current(),
                          held.patchValues[std::size_t(file.patches.CurPatch)]);
            break;
        case DataSection::Attributes:
            if (held.attributeSection)
                diffAttributes(out, unit.attrs.LoadAttrs, file.attrs.LoadAttrs,
                               held.attributeValues);
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

bool StandsFor(const TLoadFile &other, const TLoadFile &file) {
    return (other.kind == FileKind::OnePatch) == (file.kind == FileKind::OnePatch) &&
           other.read.found.Covers(file.read.found);
}

} // namespace kestrava
