#include "SheetPrint.h"

#include "ChannelNotation.h"

namespace kestrava {

namespace {

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

QList<TSheetRow> listedRows(const TPatchSheet &sheet, const TSheetPage &page,
                            const TSheetChoice &choice) {
    QList<TSheetRow> rows;
    for (int o = 0; o < OutputCount; ++o) {
        const TSheetRow row = sheet.Row(page, o);
        if (!choice.patchedOnly || (row.inputHeld && row.input != pvNone))
            rows.append(row);
    }
    return rows;
}

const char kHtmlHead[] = R"(<!DOCTYPE html>
<html lang="en">
<head>
<meta charset="utf-8">
<title>Kestrava patch sheet: %1</title>
<style>
@page { size: A4; margin: 10mm; }
body { font-family: sans-serif; font-size: 7.5pt; }
h1 { font-size: 11pt; margin: 0; }
h1.next { page-break-before: always; }
p { margin: 0 0 3pt; }
table { border-collapse: collapse; }
tr { page-break-inside: avoid; }
th, td { border: 1px solid #888; padding-left: 2pt; padding-right: 2pt; text-align: right; white-space: nowrap; }
th { background: #eee; }
td.attr { text-align: left; }
.group { border-left: 2px solid #000; }
</style>
</head>
<body>
)";

QString htmlAbout(const TSheetHeading &heading) {
    QStringList parts{heading.source.toHtmlEscaped(),
                      QStringLiteral("Kestrava ") + heading.version};
    if (!heading.firmware.isEmpty())
        parts << QStringLiteral("unit firmware ") + heading.firmware;
    if (heading.date.isValid())
        parts << heading.date.toString(Qt::ISODate);
    return parts.join(QStringLiteral(" &middot; "));
}

QString groupHeader(bool attrs) {
    QString cells = QStringLiteral("<th class=\"group\">Output</th><th>A/B</th><th>Input</th>"
                                   "<th>A/B</th>");
    return attrs ? cells + QStringLiteral("<th>Attribute</th>") : cells;
}

QString groupCells(const TSheetRow *row, bool attrs) {
    const QStringList c = row ? rowCells(*row) : QStringList(5);
    QString cells = QStringLiteral("<td class=\"group\">%1</td><td>%2</td><td>%3</td><td>%4</td>")
                        .arg(c[0], c[1], c[2], c[3]);
    return attrs ? cells + QStringLiteral("<td class=\"attr\">%1</td>").arg(c[4]) : cells;
}

// One printed page: the groups run down, then across.
QString htmlPage(const QList<TSheetRow> &rows, bool attrs) {
    const qsizetype groupCount = (rows.size() + SheetGroupRows - 1) / SheetGroupRows;
    QString out = QStringLiteral("<table>\n<thead><tr>");
    for (qsizetype g = 0; g < groupCount; ++g)
        out += groupHeader(attrs);
    out += QStringLiteral("</tr></thead>\n<tbody>\n");
    for (qsizetype r = 0; r < std::min<qsizetype>(rows.size(), SheetGroupRows); ++r) {
        out += QStringLiteral("<tr>");
        for (qsizetype g = 0; g < groupCount; ++g) {
            const qsizetype i = g * SheetGroupRows + r;
            out += groupCells(i < rows.size() ? &rows[i] : nullptr, attrs);
        }
        out += QStringLiteral("</tr>\n");
    }
    return out + QStringLiteral("</tbody>\n</table>\n");
}

} // namespace

QString InputToken(PatchEntry v, bool ab) {
    if (v == pvFull)
        return QStringLiteral("FULL");
    if (v < 0)
        return QStringLiteral("-");
    return ChannelText(v, ab);
}

QByteArray SheetCsv(const TPatchSheet &sheet, const TSheetChoice &choice) {
    QString out = QStringLiteral("patch,output,output_ab,input,input_ab,attribute\r\n");
    for (const TSheetPage &page : sheet.pages)
        for (const TSheetRow &row : listedRows(sheet, page, choice))
            out += pageName(page) + u',' + rowCells(row).join(u',') + QStringLiteral("\r\n");
    return out.toLatin1(); // every token is ASCII
}

QByteArray SheetHtml(const TPatchSheet &sheet, const TSheetHeading &heading,
                     const TSheetChoice &choice) {
    constexpr int perPage = SheetGroupRows * SheetGroupsPerPage;
    QList<std::pair<QString, QList<TSheetRow>>> printed; // each printed page's patch and rows
    for (const TSheetPage &page : sheet.pages) {
        const QList<TSheetRow> rows = listedRows(sheet, page, choice);
        for (qsizetype i = 0; i == 0 || i < rows.size(); i += perPage)
            printed.append({pageName(page), rows.mid(i, perPage)});
    }
    QString out = QString::fromLatin1(kHtmlHead).arg(heading.source.toHtmlEscaped());
    const QString about = htmlAbout(heading);
    for (qsizetype k = 0; k < printed.size(); ++k) {
        out += QStringLiteral("<h1%1>Patch %2</h1>\n<p>%3 &middot; page %4 of %5</p>\n")
                   .arg(k == 0 ? QString() : QStringLiteral(" class=\"next\""), printed[k].first,
                        about)
                   .arg(k + 1)
                   .arg(printed.size());
        out += htmlPage(printed[k].second, sheet.HasAttributeColumn());
    }
    out += QStringLiteral("</body>\n</html>\n");
    return out.toUtf8();
}

} // namespace kestrava
