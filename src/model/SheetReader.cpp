#include "SheetReader.h"

#include "ChannelNotation.h"

#include <QCoreApplication>
#include <QRegularExpression>

#include <algorithm>

namespace kestrava {

namespace {

struct Texts {
    Q_DECLARE_TR_FUNCTIONS(SheetReader)
};

// A field of an RFC 4180 record may come quoted; the sheet's own never hold a separator.
QString unquoted(QString cell) {
    cell = cell.trimmed();
    if (cell.size() >= 2 && cell.startsWith(u'"') && cell.endsWith(u'"'))
        cell = cell.mid(1, cell.size() - 2).replace(QStringLiteral("\"\""), QStringLiteral("\""));
    return cell.trimmed();
}

struct Row {
    int line = 0;
    QStringList cells;
};

// The exported sheet: patch,output,output_ab,input,input_ab,attribute.
bool isExportHeader(const QStringList &cells) {
    return cells.size() >= 4 && cells[0].compare(u"patch", Qt::CaseInsensitive) == 0 &&
           cells[1].compare(u"output", Qt::CaseInsensitive) == 0;
}

class Reader {
public:
    explicit Reader(const TSheetLimits &limits) : limits_(limits) {}

    bool Value(const Row &row, int patch, const QString &outputCell, const QString &inputCell) {
        const int o = ParseChannel(outputCell);
        if (o < 0 || o >= limits_.outputs)
            return fail(row, Texts::tr("出力 %1 は範囲外です").arg(outputCell));
        return Input(row, patch, o, inputCell);
    }
    bool Input(const Row &row, int patch, int output, const QString &inputCell) {
        const std::optional<PatchEntry> v = ReadSheetInput(inputCell, limits_.inputs);
        if (!v)
            return fail(row, Texts::tr("入力 %1 を読めません").arg(inputCell));
        reading.values.append({patch, output, *v});
        return true;
    }
    bool fail(const Row &row, const QString &reason) {
        reading.values.clear();
        reading.badRow = row.line;
        reading.reason = reason;
        return false;
    }

    TSheetReading reading;

private:
    const TSheetLimits &limits_;
};

QList<Row> splitRows(const QString &text) {
    QStringList lines = text.split(QRegularExpression(QStringLiteral("\r\n|\n|\r")));
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast(); // the line end of the last row
    const bool tabs =
        std::any_of(lines.begin(), lines.end(), [](const QString &l) { return l.contains(u'\t'); });
    QList<Row> rows;
    for (int i = 0; i < lines.size(); ++i) {
        QStringList cells = lines[i].split(tabs ? u'\t' : u',');
        for (QString &c : cells)
            c = unquoted(c);
        // Cells a spreadsheet leaves empty beyond output and input say nothing.
        while (cells.size() > 2 && cells.last().isEmpty())
            cells.removeLast();
        rows.append({i + 1, cells});
    }
    return rows;
}

void readExported(Reader &r, const QList<Row> &rows) {
    for (const Row &row : rows.mid(1)) {
        if (row.cells.size() == 1 && row.cells[0].isEmpty())
            continue;
        const QString page = row.cells.value(0);
        const int patch = page == u"*" ? -1 : page.toInt() - 1;
        if (page != u"*" && !IsPatchIndex(patch)) {
            r.fail(row, Texts::tr("パッチ %1 は範囲外です").arg(page));
            return;
        }
        if (!r.Value(row, patch, row.cells.value(1), row.cells.value(3)))
            return;
    }
}

} // namespace

QString TSheetReading::Message() const {
    return Texts::tr("%1 行目: %2").arg(badRow).arg(reason);
}

QList<int> TSheetReading::Patches() const {
    QList<int> patches;
    for (const TSheetValue &v : values)
        if (!patches.contains(v.patch))
            patches.append(v.patch);
    std::sort(patches.begin(), patches.end());
    return patches;
}

std::optional<PatchEntry> ReadSheetInput(const QString &cell, int inputs) {
    const QString t = cell.trimmed().toUpper();
    if (t.isEmpty() || t == u"-")
        return pvNone;
    if (t == u"FULL" || t == u"FUL" || t == u"FF")
        return pvFull;
    const int m = ParseChannel(t);
    if (m < 0 || m >= inputs)
        return std::nullopt;
    return m;
}

TSheetReading ReadPatchSheet(const QString &sheetText, const TSheetLimits &limits) {
    const QList<Row> rows = splitRows(sheetText);
    Reader r(limits);
    if (!rows.isEmpty() && isExportHeader(rows[0].cells)) {
        readExported(r, rows);
        return r.reading;
    }
    const bool twoColumns =
        std::any_of(rows.begin(), rows.end(), [](const Row &row) { return row.cells.size() > 1; });
    int output = limits.first;
    // One row: false when it stops the reading.
    const auto read = [&](const Row &row) {
        const qsizetype cells = row.cells.size();
        if (cells > 2 || (twoColumns && cells != 2 && !row.cells[0].isEmpty()))
            return r.fail(row, Texts::tr("列の数が合いません"));
        if (twoColumns) // an empty row of a two-column sheet says nothing
            return cells < 2 || r.Value(row, -1, row.cells[0], row.cells[1]);
        if (output >= limits.outputs)
            return r.fail(row, Texts::tr("出力の数より行が多すぎます"));
        return r.Input(row, -1, output++, row.cells[0]);
    };
    for (const Row &row : rows)
        if (!read(row))
            break;
    return r.reading;
}

QList<QStringList> PatchClipRows(const TPatch &patch, const QList<int> &outputs, bool ab) {
    QList<QStringList> rows;
    for (const int o : outputs) {
        const PatchEntry v = patch[std::size_t(o)];
        rows.append(
            {ChannelText(o, ab), v == pvFull ? QStringLiteral("FULL") : ChannelText(v, ab)});
    }
    return rows;
}

QList<LoadAttr> ReadAttrSheet(const QString &sheetText, QString &error) {
    const QStringList names = LoadAttrSelectorItems();
    QList<LoadAttr> codes;
    for (const Row &row : splitRows(sheetText)) {
        const QString cell = row.cells.last();
        bool number = false;
        const int code = cell.toInt(&number);
        const auto byName = std::find_if(names.begin(), names.end(), [&](const QString &n) {
            return n.compare(cell, Qt::CaseInsensitive) == 0;
        });
        if (number && IsValidLoadAttr(code)) {
            codes.append(code);
        } else if (byName != names.end()) {
            codes.append(*IndexToLoadAttr(int(byName - names.begin())));
        } else {
            TSheetReading bad{{}, row.line, Texts::tr("属性 %1 を読めません").arg(cell)};
            error = bad.Message();
            return {};
        }
    }
    return codes;
}

QString SheetClipText(const QList<QStringList> &rows) {
    QString out;
    for (const QStringList &row : rows)
        out += row.join(u'\t') + u'\n';
    return out;
}

QString SheetClipHtml(const QList<QStringList> &rows) {
    QString out = QStringLiteral("<table>\n");
    for (const QStringList &row : rows) {
        out += QStringLiteral("<tr>");
        for (const QString &cell : row)
            out += QStringLiteral("<td>%1</td>").arg(cell.toHtmlEscaped());
        out += QStringLiteral("</tr>\n");
    }
    return out + QStringLiteral("</table>\n");
}

} // namespace kestrava
