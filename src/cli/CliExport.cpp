#include "CliExport.h"

#include "ChannelNotation.h"
#include "CliSession.h"
#include "CliTokens.h"

#include <QFileInfo>
#include <QSaveFile>

#include <cstdio>
#include <memory>

#ifdef Q_OS_WIN
#include <fcntl.h>
#include <io.h>
#endif

namespace kestrava::cli {

namespace {

constexpr int kUsage = 2;

QString pageName(const TSheetPage &page) {
    return page.current ? QStringLiteral("*") : QString::number(page.patch + 1);
}

// The cells of one output's row: output, output A/B, input, input A/B, attribute.
QStringList rowCells(const TSheetRow &row) {
    const int o = row.output;
    return {ChannelText(o, false), ChannelText(o, true),
            row.inputHeld ? InputToken(row.input, false) : QString(),
            row.inputHeld ? InputToken(row.input, true) : QString(),
            row.attributeHeld ? LoadAttrText(row.attribute) : QString()};
}

const char kHtmlHead[] = R"(<!DOCTYPE html>
<html lang="en">
<head>
<meta charset="utf-8">
<title>Kestrava patch sheet: %1</title>
<style>
@page { margin: 12mm; }
body { font-family: sans-serif; font-size: 9pt; }
section { break-before: page; page-break-before: always; }
section:first-of-type { break-before: auto; page-break-before: auto; }
h1 { font-size: 14pt; margin: 0 0 2pt; }
p { margin: 0 0 6pt; }
table { border-collapse: collapse; }
thead { display: table-header-group; }
tr { break-inside: avoid; page-break-inside: avoid; }
th, td { border: 1px solid #888; padding: 0 6pt; text-align: right; }
th { background: #eee; }
td.attr { text-align: left; }
</style>
</head>
<body>
)";

QString htmlAbout(const TSheetHeading &heading) {
    QStringList parts{heading.source.toHtmlEscaped(),
                      QStringLiteral("Kestrava ") + heading.version};
    if (!heading.firmware.isEmpty())
        parts << QStringLiteral("unit firmware ") + heading.firmware;
    return parts.join(QStringLiteral(" &middot; "));
}

bool writeOutput(const QString &path, const QByteArray &bytes) {
    if (path.isEmpty() || path == QLatin1String("-")) {
#ifdef Q_OS_WIN
        _setmode(_fileno(stdout), _O_BINARY); // the CR LF of the sheet, unchanged
#endif
        const bool ok =
            std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout) == size_t(bytes.size());
        return std::fflush(stdout) == 0 && ok;
    }
    QSaveFile f(path);
    if (f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size() && f.commit())
        return true;
    PrintErr(Texts::tr("保存に失敗しました: %1 (%2)").arg(path, f.errorString()));
    return false;
}

int usageError(const QString &text) {
    PrintErr(QStringLiteral("kestrava-cli: ") + text);
    return kUsage;
}

// The sheet of the unit: only the patch asked for is fetched (those marked in sync are not).
int unitSheet(const CliOptions &o, TDataSet &data, TPatchSheet &sheet, TSheetHeading &heading,
              TransferProgress &progress) {
    std::bitset<PatchCount> wanted;
    if (o.patch == 0)
        wanted.set();
    else if (IsPatchIndex(o.patch - 1))
        wanted.set(std::size_t(o.patch - 1));
    data.patches.LimitFetchTo(wanted);
    TUnitSession session(o);
    if (!session.LinkUp() ||
        !session.Fetch({DataSection::AllPatches, DataSection::Attributes}, data, progress))
        return 1;
    heading.source = QStringLiteral("unit");
    heading.firmware = FormatFirmwareVersion(session.link.FirmwareVersion);
    sheet = MemoryPatchSheet(data.patches, data.attrs, o.patch);
    return 0;
}

// The sheet of a file: what it holds, read as check and restore read it.
int fileSheet(const CliOptions &o, TDataSet &data, TPatchSheet &sheet, TSheetHeading &heading) {
    const QString file = o.args.value(0);
    const FileKind kind = FileKindOf(file);
    if (kind == FileKind::None)
        return usageError(KindError(file));
    const QList<DataSection> &sections = FileKindInfo(kind)->sections;
    const bool one = sections.contains(DataSection::CurrentPatch);
    if (!one && !sections.contains(DataSection::AllPatches))
        return usageError(QStringLiteral("%1 holds no patch").arg(file));
    if (one && o.patch != 0)
        return usageError(QStringLiteral("%1 holds one patch: no --patch").arg(file));
    TLoadFile load;
    if (!ReadUsableFile(kind, file, data.patches.CurPatch, load) ||
        !load.LayOver(data.patches, data.attrs, data.curves))
        return 1;
    heading.source = QFileInfo(file).fileName();
    sheet = FilePatchSheet(data.patches, data.attrs, load.read.found, one, o.patch);
    if (!sheet.pages.isEmpty())
        return 0;
    PrintErr(o.patch == 0 ? Texts::tr("%1: パッチのデータがありません").arg(file)
                          : Texts::tr("%1: パッチ%2のデータがありません").arg(file).arg(o.patch));
    return 1;
}

} // namespace

QByteArray SheetCsv(const TPatchSheet &sheet) {
    QString out = QStringLiteral("patch,output,output_ab,input,input_ab,attribute\r\n");
    for (const TSheetPage &page : sheet.pages)
        for (int o = 0; o < OutputCount; ++o)
            out += pageName(page) + u',' + rowCells(sheet.Row(page, o)).join(u',') +
                   QStringLiteral("\r\n");
    return out.toLatin1(); // every token is ASCII
}

QByteArray SheetHtml(const TPatchSheet &sheet, const TSheetHeading &heading) {
    QString out = QString::fromLatin1(kHtmlHead).arg(heading.source.toHtmlEscaped());
    const QString about = htmlAbout(heading);
    const bool attrs = sheet.HasAttributeColumn();
    for (const TSheetPage &page : sheet.pages) {
        out += QStringLiteral("<section>\n<h1>Patch %1</h1>\n<p>%2</p>\n<table>\n")
                   .arg(pageName(page), about);
        out += QStringLiteral("<thead><tr><th>Output</th><th>A/B</th><th>Input</th><th>A/B</th>");
        out += attrs ? QStringLiteral("<th>Attribute</th></tr></thead>\n<tbody>\n")
                     : QStringLiteral("</tr></thead>\n<tbody>\n");
        for (int o = 0; o < OutputCount; ++o) {
            const QStringList c = rowCells(sheet.Row(page, o));
            out += QStringLiteral("<tr><td>%1</td><td>%2</td><td>%3</td><td>%4</td>")
                       .arg(c[0], c[1], c[2], c[3]);
            out += attrs ? QStringLiteral("<td class=\"attr\">%1</td></tr>\n").arg(c[4])
                         : QStringLiteral("</tr>\n");
        }
        out += QStringLiteral("</tbody>\n</table>\n</section>\n");
    }
    out += QStringLiteral("</body>\n</html>\n");
    return out.toUtf8();
}

int RunExport(const CliOptions &o, TransferProgress &progress) {
    const auto data = std::make_unique<TDataSet>(); // eight patch memories: off the stack
    TPatchSheet sheet;
    TSheetHeading heading;
    heading.version = ProgramVersion();
    const int status = o.fromUnit ? unitSheet(o, *data, sheet, heading, progress)
                                  : fileSheet(o, *data, sheet, heading);
    if (status != 0)
        return status;
    return writeOutput(o.outputPath, o.format == QLatin1String("html") ? SheetHtml(sheet, heading)
                                                                       : SheetCsv(sheet))
               ? 0
               : 1;
}

} // namespace kestrava::cli
