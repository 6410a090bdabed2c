#include "FuzzCheck.h"
#include "SheetReader.h"

using namespace kestrava;

// Whatever a sheet gives lies within the limits it was read for; a sheet that stops names a
// row of it and gives nothing.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const QString text = QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
    const TSheetLimits limits{size % 7 == 0 ? 0 : 500, 700, 300};
    const TSheetReading r = ReadPatchSheet(text, limits);
    if (!r.Ok()) {
        FUZZ_CHECK(r.values.isEmpty() && r.badRow >= 1 && !r.reason.isEmpty());
        return 0;
    }
    for (const TSheetValue &v : r.values) {
        FUZZ_CHECK(v.patch >= -1 && v.patch < PatchCount);
        FUZZ_CHECK(v.output >= 0 && v.output < limits.outputs);
        FUZZ_CHECK(v.input == pvNone || v.input == pvFull ||
                   (v.input >= 0 && v.input < limits.inputs));
    }
    return 0;
}
