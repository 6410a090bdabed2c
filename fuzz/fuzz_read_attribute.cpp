#include "FuzzCheck.h"

using namespace kestrava;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const QStringList lines = fuzz::Lines(data, size);
    TLoadAttrModel attrs;
    attrs.LoadAttrs[7] = 2; // something a failed read must leave in place
    const TLoadAttrModel before = attrs;
    const TReadResult r = ReadAttributeFile(lines, attrs);
    if (!r) {
        fuzz::CheckFailure(r, lines);
        FUZZ_CHECK(attrs.LoadAttrs == before.LoadAttrs);
        return 0;
    }
    for (LoadAttr a : attrs.LoadAttrs)
        FUZZ_CHECK(IsValidLoadAttr(a));
    QStringList out;
    WriteAttributeSection(out, attrs);
    TLoadAttrModel again;
    FUZZ_CHECK(ReadAttributeFile(out, again).ok);
    FUZZ_CHECK(again.LoadAttrs == attrs.LoadAttrs);
    return 0;
}
