#pragma once

#include "CliOptions.h"
#include "LoadAttrModel.h"
#include "PatchModel.h"
#include "Progress.h"

#include <QByteArray>
#include <QList>
#include <QString>

namespace kestrava::cli {

// One patch of the sheet: its name ("3", or "*" for a one-patch file) and its entries.
struct TSheetPage {
    QString patch;
    TPatch entries{};
    int held = OutputCount; // outputs from 1 whose input the source holds
};

// What the patch sheet shows, whatever it is printed as.
struct TPatchSheet {
    QList<TSheetPage> pages;
    TLoadAttrs attrs{};
    int attrsHeld = 0; // outputs from 1 whose attribute the source holds
    QString source;    // the data file's name, or "unit"
    QString version;   // this program's version
    QString firmware;  // the unit's firmware version, "" for a file
};

// RFC 4180: the header patch,output,output_ab,input,input_ab,attribute, then one record per
// output of every page; ASCII, CR LF after every record. An input or attribute the source
// does not hold is empty.
QByteArray SheetCsv(const TPatchSheet &sheet);
// A printable page: each patch a section that starts a new printed page, headed by the
// patch, the source and the versions; one table row per output.
QByteArray SheetHtml(const TPatchSheet &sheet);

// kestrava-cli export: 0 written, 1 failure, 2 usage.
int RunExport(const CliOptions &o, TransferProgress &progress);

} // namespace kestrava::cli
