#include "PatchSheet.h"

namespace kestrava {

TSheetRow TPatchSheet::Row(const TSheetPage &page, int output) const {
    const auto at = std::size_t(output);
    const bool input = output < page.held;
    const bool attribute = output < attrsHeld;
    return {output, input, input ? page.entries[at] : pvNone, attribute,
            attribute ? attrs[at] : laNormal};
}

TPatchSheet MemoryPatchSheet(const TPatchModel &patches, const TLoadAttrModel &attrs, int only) {
    TPatchSheet sheet;
    for (int p = 0; p < PatchCount; ++p)
        if (only == 0 || only == p + 1)
            sheet.pages.append({.patch = p, .entries = patches.Patches[std::size_t(p)]});
    sheet.attrs = attrs.LoadAttrs;
    sheet.attrsHeld = LoadAttrCount;
    return sheet;
}

TPatchSheet FilePatchSheet(const TPatchModel &patches, const TLoadAttrModel &attrs,
                           const TReadReport &found, bool one, int only) {
    TPatchSheet sheet;
    for (int p = 0; p < PatchCount; ++p) {
        const auto at = std::size_t(p);
        if (found.patchSections.test(at) &&
            (one ? p == patches.CurPatch : only == 0 || only == p + 1))
            sheet.pages.append({p, one, patches.Patches[at], found.patchValues[at]});
    }
    sheet.attrs = attrs.LoadAttrs;
    sheet.attrsHeld = found.attributeSection ? found.attributeValues : 0;
    return sheet;
}

} // namespace kestrava
