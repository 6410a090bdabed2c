#pragma once

#include "DataFile.h"
#include "LoadAttrModel.h"
#include "PatchModel.h"

#include <QList>

namespace kestrava {

// One patch of the sheet and its entries.
struct TSheetPage {
    int patch = 0;        // the memory, 0..7
    bool current = false; // a one-patch file's "[Patch*]", which names no memory
    TPatch entries{};
    int held = OutputCount; // outputs from 1 whose input the source holds
};

// One output's row of a page: the output, its input and its attribute, each only where the
// source holds it.
struct TSheetRow {
    int output = 0;
    bool inputHeld = false;
    PatchEntry input = pvNone;
    bool attributeHeld = false;
    LoadAttr attribute = laNormal;
};

// What the patch sheet shows, whatever it is printed as.
struct TPatchSheet {
    QList<TSheetPage> pages;
    TLoadAttrs attrs{};
    int attrsHeld = 0; // outputs from 1 whose attribute the source holds

    // A column of attributes only when the source holds any.
    bool HasAttributeColumn() const { return attrsHeld > 0; }
    TSheetRow Row(const TSheetPage &page, int output) const;
};

// The sheet of memory as fetched whole: every patch, or only patch `only` (1..8; 0 for all),
// and every attribute.
TPatchSheet MemoryPatchSheet(const TPatchModel &patches, const TLoadAttrModel &attrs, int only);
// The sheet of a file read over the models: the pages of the patches it holds (of the one
// asked for, `only` as above), or of its "[Patch*]" when one; no page when it holds none.
TPatchSheet FilePatchSheet(const TPatchModel &patches, const TLoadAttrModel &attrs,
                           const TReadReport &found, bool one, int only);

} // namespace kestrava
