#include "CliImport.h"

#include "CliSession.h"
#include "DataFile.h"
#include "DataFileKind.h"
#include "SheetReader.h"
#include "TextLines.h"

#include <QFile>

#include <map>

namespace kestrava::cli {

int RunImport(const CliOptions &o) {
    const QString sheetFile = o.args.value(0);
    const FileKind kind = FileKindOf(o.outputPath);
    if (kind != FileKind::AllPatches && kind != FileKind::OnePatch)
        return UsageError(
            QStringLiteral("import writes a .pat or a .pt1 file: %1").arg(o.outputPath));
    QFile in(sheetFile);
    if (!in.open(QIODevice::ReadOnly) || in.size() > MaxTextFileSize) {
        PrintErr(QStringLiteral("%1: %2").arg(sheetFile, in.errorString()));
        return 1;
    }
    // A file's own patch fields reach beyond the unit's inputs; the sheet may hold them.
    const TSheetReading reading =
        ReadPatchSheet(QString::fromUtf8(in.readAll()), {0, OutputCount, MaxFileInputChannel});
    if (!reading.Ok()) {
        PrintErr(QStringLiteral("%1: %2").arg(sheetFile, reading.Message()));
        return 1;
    }
    const int unnamed = o.patch > 0 ? o.patch - 1 : 0;
    std::map<int, TPatch> patches; // in the order of their sections
    for (const TSheetValue &v : reading.values) {
        auto [at, added] = patches.try_emplace(v.patch < 0 ? unnamed : v.patch);
        if (added)
            at->second.fill(pvNone);
        at->second[std::size_t(v.output)] = v.input;
    }
    if (patches.empty())
        patches[unnamed].fill(pvNone);
    if (kind == FileKind::OnePatch && patches.size() > 1)
        return UsageError(QStringLiteral("%1 holds %2 patches; a .pt1 takes one")
                              .arg(sheetFile)
                              .arg(patches.size()));
    QStringList lines;
    for (const auto &[p, patch] : patches) {
        if (kind == FileKind::OnePatch) {
            TPatchModel one;
            one.Patches[0] = patch;
            WriteOnePatchSection(lines, one, 0);
        } else {
            WriteNumberedPatchSection(lines, patch, p);
        }
    }
    if (!SaveTextLines(o.outputPath, lines)) {
        PrintErr(Texts::tr("保存に失敗しました") + QStringLiteral(": ") + o.outputPath);
        return 1;
    }
    return 0;
}

} // namespace kestrava::cli
