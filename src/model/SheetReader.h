#pragma once

#include "LoadAttrModel.h"
#include "PatchModel.h"

#include <QList>
#include <QString>

#include <optional>

namespace kestrava {

// One value a sheet gives: the input (or pvFull, pvNone) of an output of a patch.
struct TSheetValue {
    int patch = -1; // 0..7, or -1 where the sheet names no memory (a "*" page or no column)
    int output = 0;
    PatchEntry input = pvNone;
};

// Where a sheet's values may land: a column of inputs starts at output `first`.
struct TSheetLimits {
    int first = 0;
    int outputs = OutputCount;
    int inputs = ChannelCount;
};

// What a sheet read gave; nothing at all when a row stopped it.
struct TSheetReading {
    QList<TSheetValue> values; // in the order of the rows
    int badRow = 0;            // the 1-based line that stopped the reading, 0 when none
    QString reason;

    bool Ok() const { return badRow == 0; }
    QString Message() const; // the row and the reason, for a box
    // The patches the values name, -1 included, each once, in ascending order.
    QList<int> Patches() const;
};

// A cell read as a typed one is: a channel in either notation below `inputs`, "FULL",
// "FUL" or "FF" for full, empty (or the sheet's "-") for none; nullopt when it does not read.
std::optional<PatchEntry> ReadSheetInput(const QString &cell, int inputs);

// Rows separated by tabs (when any row holds one) or commas: the header and columns of the
// exported sheet, two columns of output and input, or one column of inputs laid from
// limits.first on. The first row that does not read stops it all.
TSheetReading ReadPatchSheet(const QString &text, const TSheetLimits &limits);

// The rows of outputs as the table shows them: output and input, "FULL", empty for none.
QList<QStringList> PatchClipRows(const TPatch &patch, const QList<int> &outputs, bool ab);

// Attributes by name ("Normal", "On/Off", "User 1".."User 4", any case) or code (128, 129,
// 0..3), one a row, the last cell of a row; reading stops at the first row that does not
// read, naming it in `error`.
QList<LoadAttr> ReadAttrSheet(const QString &text, QString &error);

// Rows of cells as a spreadsheet takes them from the clipboard: tab-separated lines, and the
// same as an HTML table.
QString SheetClipText(const QList<QStringList> &rows);
QString SheetClipHtml(const QList<QStringList> &rows);

} // namespace kestrava
