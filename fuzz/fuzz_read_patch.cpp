#include "FuzzCheck.h"

using namespace kestrava;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const QStringList lines = fuzz::Lines(data, size);
    for (int current : {0, 5, -1}) {
        TPatchModel model;
        model.CurPatch = current;
        const TPatchModel before = model;
        const TReadResult r = ReadPatchFile(lines, model);
        if (!r) {
            fuzz::CheckFailure(r, lines);
            FUZZ_CHECK(model.Patches == before.Patches);
            continue;
        }
        for (const TPatch &p : model.Patches) {
            for (PatchEntry v : p)
                FUZZ_CHECK(v >= pvFull && v < MaxFileInputChannel);
        }
        QStringList out;
        WritePatchSections(out, model);
        TPatchModel again;
        FUZZ_CHECK(ReadPatchFile(out, again).ok);
        FUZZ_CHECK(again.Patches == model.Patches);
    }
    return 0;
}
