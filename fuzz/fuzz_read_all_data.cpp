#include "FuzzCheck.h"

using namespace kestrava;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const QStringList lines = fuzz::Lines(data, size);
    TPatchModel patches;
    TLoadAttrModel attrs;
    TCurveSet curves;
    const TReadResult r = ReadAllDataFile(lines, patches, attrs, curves);
    if (!r) {
        fuzz::CheckFailure(r, lines);
        FUZZ_CHECK(patches.Patches == TPatchModel().Patches);
        FUZZ_CHECK(attrs.LoadAttrs == TLoadAttrModel().LoadAttrs);
        FUZZ_CHECK(curves.Curves == TCurveSet().Curves);
        return 0;
    }
    for (LoadAttr a : attrs.LoadAttrs)
        FUZZ_CHECK(IsValidLoadAttr(a));
    fuzz::CheckCurvesInRange(curves);

    QStringList out;
    WritePatchSections(out, patches);
    WriteAttributeSection(out, attrs);
    WriteCurveSections(out, curves);
    FUZZ_CHECK(out.size() == 661);
    TPatchModel patches2;
    TLoadAttrModel attrs2;
    TCurveSet curves2;
    FUZZ_CHECK(ReadAllDataFile(out, patches2, attrs2, curves2).ok);
    FUZZ_CHECK(patches2.Patches == patches.Patches);
    FUZZ_CHECK(attrs2.LoadAttrs == attrs.LoadAttrs);
    FUZZ_CHECK(curves2.Curves == curves.Curves);
    return 0;
}
