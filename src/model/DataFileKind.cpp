#include "DataFileKind.h"

#include "TextLines.h"

#include <QCoreApplication>
#include <QFileInfo>

namespace kestrava {

namespace {

TFileKindInfo
kindInfo(FileKind kind, const char *ext, const char *filter, QList<DataSection> sections,
         TReadResult (*read)(const QStringList &, TPatchModel &, TLoadAttrModel &, TCurveSet &)) {
    TFileKindInfo k;
    k.kind = kind;
    k.ext = QString::fromLatin1(ext);
    k.defaultExt = k.ext.toUpper();
    k.filterText = filter;
    k.sections = std::move(sections);
    k.read = read;
    return k;
}

TReadResult readAllData(const QStringList &lines, TPatchModel &patches, TLoadAttrModel &attrs,
                        TCurveSet &curves) {
    return ReadAllDataFile(lines, patches, attrs, curves);
}

TReadResult readPatches(const QStringList &lines, TPatchModel &patches, TLoadAttrModel &,
                        TCurveSet &) {
    return ReadPatchFile(lines, patches);
}

TReadResult readAttributes(const QStringList &lines, TPatchModel &, TLoadAttrModel &attrs,
                           TCurveSet &) {
    return ReadAttributeFile(lines, attrs);
}

TReadResult readCurves(const QStringList &lines, TPatchModel &, TLoadAttrModel &,
                       TCurveSet &curves) {
    return ReadCurveFile(lines, curves);
}

} // namespace

const QList<TFileKindInfo> &DataFileKinds() {
    using S = DataSection;
    static const QList<TFileKindInfo> kinds{
        kindInfo(FileKind::AllData, "dat",
                 QT_TRANSLATE_NOOP("DataFileKind", "データファイル (*.dat)|*.DAT"),
                 {S::AllPatches, S::Attributes, S::Curves}, readAllData),
        kindInfo(FileKind::AllPatches, "pat",
                 QT_TRANSLATE_NOOP("DataFileKind", "パッチデータ (*.pat)|*.PAT"), {S::AllPatches},
                 readPatches),
        kindInfo(FileKind::OnePatch, "pt1",
                 QT_TRANSLATE_NOOP("DataFileKind", "パッチデータ (*.pt1)|*.PT1"), {S::CurrentPatch},
                 readPatches),
        kindInfo(FileKind::Attributes, "atr",
                 QT_TRANSLATE_NOOP("DataFileKind", "負荷属性データ (*.atr)|*.ATR"), {S::Attributes},
                 readAttributes),
        kindInfo(FileKind::Curves, "crv",
                 QT_TRANSLATE_NOOP("DataFileKind", "カーブデータ (*.crv)|*.CRV"), {S::Curves},
                 readCurves),
    };
    return kinds;
}

QString TFileKindInfo::filter() const {
    return QCoreApplication::translate("DataFileKind", filterText);
}

const TFileKindInfo *FileKindInfo(FileKind kind) {
    for (const TFileKindInfo &k : DataFileKinds())
        if (k.kind == kind)
            return &k;
    return nullptr;
}

FileKind FileKindOf(const QString &fileName) {
    const QString ext = QFileInfo(fileName).suffix();
    for (const TFileKindInfo &k : DataFileKinds())
        if (ext.compare(k.ext, Qt::CaseInsensitive) == 0)
            return k.kind;
    return FileKind::None;
}

namespace {

TReadResult cannotRead() {
    TReadResult r;
    r.ok = false;
    r.rule = TReadRule::CannotRead;
    return r;
}

} // namespace

TReadResult ReadDataFile(FileKind kind, const QString &fileName, TPatchModel &patches,
                         TLoadAttrModel &attrs, TCurveSet &curves) {
    QStringList lines;
    if (!FileKindInfo(kind) || !LoadTextLines(fileName, lines))
        return cannotRead();
    return ReadDataLines(kind, lines, patches, attrs, curves);
}

TReadResult ReadDataLines(FileKind kind, const QStringList &lines, TPatchModel &patches,
                          TLoadAttrModel &attrs, TCurveSet &curves) {
    const TFileKindInfo *k = FileKindInfo(kind);
    return k ? k->read(lines, patches, attrs, curves) : cannotRead();
}

QList<DataSection> HeldSections(FileKind kind, const TReadReport &found) {
    QList<DataSection> held;
    if (const TFileKindInfo *k = FileKindInfo(kind)) {
        for (DataSection s : k->sections) {
            const bool met = s == DataSection::Attributes ? found.attributeSection
                             : s == DataSection::Curves   ? found.curveSections.any()
                                                          : found.patchSections.any();
            if (met)
                held.append(s);
        }
    }
    return held;
}

bool HoldsSectionsOf(FileKind kind, const TReadReport &found) {
    return !HeldSections(kind, found).isEmpty();
}

bool TLoadFile::LayOver(TPatchModel &patches, TLoadAttrModel &attrs, TCurveSet &curves) const {
    return Usable() && ReadDataLines(kind, lines, patches, attrs, curves).ok;
}

TLoadFile ReadLoadFile(FileKind kind, const QString &fileName, int curPatch) {
    QStringList lines;
    if (!FileKindInfo(kind) || !LoadTextLines(fileName, lines)) {
        TLoadFile f;
        f.kind = kind;
        f.read = cannotRead();
        return f;
    }
    return ReadLoadLines(kind, std::move(lines), curPatch);
}

TLoadFile ReadLoadLines(FileKind kind, QStringList lines, int curPatch) {
    TLoadFile f;
    f.kind = kind;
    f.lines = std::move(lines);
    TPatchModel patches;
    patches.SelectCurrent(curPatch);
    TLoadAttrModel attrs;
    TCurveSet curves;
    f.read = ReadDataLines(kind, f.lines, patches, attrs, curves);
    return f;
}

bool WriteDataFileLines(FileKind kind, QStringList &lines, const TPatchModel &patches,
                        const TLoadAttrModel &attrs, const TCurveSet &curves) {
    const TFileKindInfo *k = FileKindInfo(kind);
    if (!k)
        return false;
    QStringList out;
    for (DataSection s : k->sections) {
        switch (s) {
        case DataSection::AllPatches:
            WritePatchSections(out, patches);
            break;
        case DataSection::CurrentPatch:
            if (!WriteOnePatchSection(out, patches, patches.CurPatch))
                return false;
            break;
        case DataSection::Attributes:
            WriteAttributeSection(out, attrs);
            break;
        case DataSection::Curves:
            WriteCurveSections(out, curves);
            break;
        }
    }
    lines += out;
    return true;
}

} // namespace kestrava
