// Arbitrary point lists, as a faulty unit or a careless caller could leave them: unsorted,
// repeated, outside 0..255, too few. Every operation must stay defined and in the table.
#include "Curve.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

using namespace kestrava;

namespace {

template <typename T>
T Take(const uint8_t *&data, size_t &size) {
    T v{};
    const size_t n = size < sizeof v ? size : sizeof v;
    std::memcpy(&v, data, n);
    data += n;
    size -= n;
    return v;
}

void Check(bool cond, const char *what) {
    if (!cond) {
        std::fprintf(stderr, "check failed: %s\n", what);
        std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    TUserCurve curve;
    const uint8_t header = Take<uint8_t>(data, size);
    curve.Mode = header & 3;
    if (header & 4)
        curve.Reset(Take<int16_t>(data, size));
    const bool wide = header & 8; // full 32-bit coordinates instead of small ones
    curve.Points.Clear();
    while (size > 0 && curve.Points.Count() < 64) {
        TCurvePoint p;
        if (wide) {
            p.X = Take<int32_t>(data, size);
            p.Y = Take<int32_t>(data, size);
        } else {
            p.X = Take<int8_t>(data, size) + 128 + (Take<uint8_t>(data, size) & 1 ? 64 : 0) - 32;
            p.Y = Take<uint8_t>(data, size);
        }
        p.Selected = p.X & 1;
        curve.Points.Add(p);
    }
    if (header & 16)
        curve.Points.SortByInput();

    curve.Recalculate();
    const int top = curve.MaxLevel;
    if (curve.Mode == cmCurve && curve.Points.Count() >= 3) {
        for (int v : curve.Table)
            Check(v >= 0 && v <= top, "spline table outside 0..MaxLevel");
    }
    curve.SnapPointsToTable();
    curve.SyncPointsToTable();
    curve.AddPoint(Take<int16_t>(data, size));
    curve.DeleteSelected();
    curve.Recalculate();
    return 0;
}
