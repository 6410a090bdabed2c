#pragma once

#include "DataFile.h"
#include "TextLines.h"

#include <QByteArray>
#include <QStringList>

#include <cstdio>
#include <cstdlib>

// A broken property is a finding like a crash: report it and stop so libFuzzer keeps the input.
#define FUZZ_CHECK(cond)                                                                           \
    do {                                                                                           \
        if (!(cond)) {                                                                             \
            std::fprintf(stderr, "check failed: %s (%s:%d)\n", #cond, __FILE__, __LINE__);         \
            std::abort();                                                                          \
        }                                                                                          \
    } while (0)

namespace kestrava::fuzz {

inline QStringList Lines(const uint8_t *data, size_t size) {
    return SplitTextLines(QByteArray(reinterpret_cast<const char *>(data), qsizetype(size)));
}

// A failed read names a line of the input (or none) and a rule.
inline void CheckFailure(const TReadResult &r, const QStringList &lines) {
    FUZZ_CHECK(r.rule != TReadRule::None && r.rule != TReadRule::CannotRead);
    FUZZ_CHECK(r.line >= 1 && r.line <= lines.size());
}

// Whatever a reader accepted must be writable and read back to the same values.
inline void CheckCurvesInRange(const TCurveSet &curves) {
    for (const TUserCurve &c : curves.Curves) {
        FUZZ_CHECK(c.Mode >= cmIndividual && c.Mode <= cmCurve);
        FUZZ_CHECK(c.Points.InteriorCount() <= CurveMaxInteriorPoints);
        for (int i = 0; i + 1 < c.Points.Count(); ++i)
            FUZZ_CHECK(c.Points[i].X < c.Points[i + 1].X);
        for (int v : c.Table)
            FUZZ_CHECK(v >= 0 && v <= 255);
        for (int mode : {cmPolyline, cmCurve}) {
            TUserCurve r = c;
            r.Mode = mode;
            r.Recalculate();
            for (int v : r.Table)
                FUZZ_CHECK(v >= 0 && v <= 255);
        }
    }
}

} // namespace kestrava::fuzz
