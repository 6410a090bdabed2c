#include "DataFileKind.h"

#include <QFileInfo>

namespace kestrava::cli {

FileKind FileKindOf(const QString &fileName) {
    const QString ext = QFileInfo(fileName).suffix().toLower();
    if (ext == QLatin1String("dat"))
        return FileKind::AllData;
    if (ext == QLatin1String("pat"))
        return FileKind::AllPatches;
    if (ext == QLatin1String("pt1"))
        return FileKind::OnePatch;
    if (ext == QLatin1String("atr"))
        return FileKind::Attributes;
    if (ext == QLatin1String("crv"))
        return FileKind::Curves;
    return FileKind::None;
}

TReadResult ReadDataFile(FileKind kind, const QString &fileName, UnitData &data) {
    switch (kind) {
    case FileKind::AllData:
        return ReadAllDataFile(fileName, data.patches, data.attrs, data.curves);
    case FileKind::AllPatches:
    case FileKind::OnePatch:
        return ReadPatchFile(fileName, data.patches);
    case FileKind::Attributes:
        return ReadAttributeFile(fileName, data.attrs);
    case FileKind::Curves:
        return ReadCurveFile(fileName, data.curves);
    case FileKind::None:
        break;
    }
    TReadResult r;
    r.ok = false;
    r.rule = TReadRule::CannotRead;
    return r;
}

QStringList DataFileLines(FileKind kind, const UnitData &data) {
    QStringList lines;
    switch (kind) {
    case FileKind::AllData:
        WritePatchSections(lines, data.patches);
        WriteAttributeSection(lines, data.attrs);
        WriteCurveSections(lines, data.curves);
        break;
    case FileKind::AllPatches:
        WritePatchSections(lines, data.patches);
        break;
    case FileKind::OnePatch:
        WriteOnePatchSection(lines, data.patches, data.patches.CurPatch);
        break;
    case FileKind::Attributes:
        WriteAttributeSection(lines, data.attrs);
        break;
    case FileKind::Curves:
        WriteCurveSections(lines, data.curves);
        break;
    case FileKind::None:
        break;
    }
    return lines;
}

} // namespace kestrava::cli
