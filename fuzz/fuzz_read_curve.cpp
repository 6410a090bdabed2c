#include "FuzzCheck.h"

using namespace kestrava;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const QStringList lines = fuzz::Lines(data, size);
    TCurveSet curves;
    const TCurveSet before = curves;
    const TReadResult r = ReadCurveFile(lines, curves);
    if (!r) {
        fuzz::CheckFailure(r, lines);
        FUZZ_CHECK(curves.Curves == before.Curves);
        return 0;
    }
    fuzz::CheckCurvesInRange(curves);
    QStringList out;
    WriteCurveSections(out, curves);
    TCurveSet again;
    FUZZ_CHECK(ReadCurveFile(out, again).ok);
    FUZZ_CHECK(again.Curves == curves.Curves);
    return 0;
}
