#pragma once

#include "CliOptions.h"
#include "PatchSheet.h"
#include "Progress.h"

#include <QByteArray>
#include <QString>

namespace kestrava::cli {

// How the sheet is headed: its source, the data file's name or "unit", and the versions.
struct TSheetHeading {
    QString source;
    QString version;  // this program's version
    QString firmware; // the unit's firmware version, "" for a file
};

// RFC 4180: the header patch,output,output_ab,input,input_ab,attribute, then one record per
// output of every page; ASCII, CR LF after every record. An input or attribute the source
// does not hold is empty.
QByteArray SheetCsv(const TPatchSheet &sheet);
// A printable page: each patch a section that starts a new printed page, headed by the
// patch, the source and the versions; one table row per output.
QByteArray SheetHtml(const TPatchSheet &sheet, const TSheetHeading &heading);

// kestrava-cli export: 0 written, 1 failure, 2 usage.
int RunExport(const CliOptions &o, TransferProgress &progress);

} // namespace kestrava::cli
