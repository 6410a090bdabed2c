#pragma once

#include "LoadAttrModel.h"
#include "PatchModel.h"
#include "UnitLink.h"

#include <QString>

class QPrinter;

namespace kestrava {

class TPatchEditor;
struct TDesktop;

// A patch sheet file asked for and laid on the current patch by the rules of paste: a sheet
// of one patch whole, of several only the current patch's rows.
void LoadPatchSheetAsked(const TDesktop &desktop, const TPatchModel &patches, TPatchEditor &editor,
                         const QString &title);

// The current patch's sheet as the export prints it, headed by the unit's firmware when
// linked and dated today.
QString CurrentPatchSheetHtml(const TPatchModel &patches, const TLoadAttrModel &attrs,
                              const TUnitLink &link, bool patchedOnly);
// The sheet laid out on the printer's pages and printed; the number of pages.
int PrintSheetHtml(const QString &html, QPrinter &printer);
// The print preview (A4, a check box for the patched outputs only), printing on request.
void PrintPatchSheetAsked(const TDesktop &desktop, const TPatchModel &patches,
                          const TLoadAttrModel &attrs, const TUnitLink &link);

} // namespace kestrava
