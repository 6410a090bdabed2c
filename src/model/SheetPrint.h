#pragma once

#include "PatchSheet.h"

#include <QByteArray>
#include <QDate>
#include <QString>

namespace kestrava {

// The input of an output as the diff and the patch sheet print it: "FULL", "-" when not
// patched, else the input number ("12", or with ab "A012").
QString InputToken(PatchEntry v, bool ab);

// How the sheet is headed: its source, the data file's name or "unit", and the versions.
struct TSheetHeading {
    QString source;
    QString version;  // this program's version
    QString firmware; // the unit's firmware version, "" for a file
    QDate date;       // when it was made; none: left out
};

// Which outputs the sheet lists.
struct TSheetChoice {
    bool patchedOnly = false; // only outputs the source holds an input for
};

// A printed page holds this many outputs: column groups side by side, each as many rows
// as fit an A4 page at a size that still reads, so that a patch takes at most four pages.
inline constexpr int SheetGroupRows = 64;
inline constexpr int SheetGroupsPerPage = 4;

// RFC 4180: the header patch,output,output_ab,input,input_ab,attribute, then one record per
// output of every page; ASCII, CR LF after every record. An input or attribute the source
// does not hold is empty.
QByteArray SheetCsv(const TPatchSheet &sheet, const TSheetChoice &choice = {});
// A printable document: each patch starts a new printed page, and every page is headed by
// the patch, the source, the versions, the date and its number.
QByteArray SheetHtml(const TPatchSheet &sheet, const TSheetHeading &heading,
                     const TSheetChoice &choice = {});

} // namespace kestrava
