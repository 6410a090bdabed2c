#pragma once

#include "Curve.h"
#include "LoadAttrModel.h"
#include "PatchModel.h"

#include <QDir>
#include <QString>

namespace kestrava::test {

struct DataModels {
    TPatchModel patches;
    TLoadAttrModel attrs;
    TCurveSet curves;
};

// A golden data file of tests/model/golden, from any test folder's KESTRAVA_TEST_DATA.
inline QString GoldenPath(const QString &name) {
    return QDir(qEnvironmentVariable("KESTRAVA_TEST_DATA"))
        .filePath(QStringLiteral("../model/golden/") + name);
}

// The state the golden files were written from (by a separate generator, then checked by hand
// against the file format: headers, 16 fields a line, "%04u"/"____"/"FULL" patch fields,
// "%03x" codes, Mode/Points lines, CR LF after every line, no byte-order mark).
inline DataModels GoldenModels() {
    DataModels m;
    m.patches.ThroughPatch(0);
    TPatch &p2 = m.patches.Patches[1];
    p2[0] = 511;
    p2[1] = pvFull;
    p2[15] = 1023;
    p2[16] = 0;
    p2[1023] = pvFull;
    p2[500] = 2047;
    p2[700] = 4095;
    TPatch &p8 = m.patches.Patches[7];
    p8[1020] = 9;
    p8[1021] = pvFull;
    p8[1022] = 99;
    p8[1023] = 999;

    TLoadAttrs &a = m.attrs.LoadAttrs;
    a[0] = 0;
    a[1] = 1;
    a[2] = 2;
    a[3] = 3;
    a[4] = laOnOff;
    a[1023] = laOnOff;
    a[512] = 2;

    auto setCurve = [&](int c, int mode, QList<int> xs, auto table) {
        TUserCurve &curve = m.curves.Curves[c];
        curve.Mode = mode;
        curve.Points.Clear();
        for (int x : xs)
            curve.Points.Add({x, 0});
        for (int i = 0; i < 256; ++i)
            curve.Table[i] = table(i);
        curve.SyncPointsToTable();
    };
    setCurve(1, cmPolyline, {0, 64, 192, 255}, [](int i) { return 255 - i; });
    setCurve(2, cmCurve, {0, 10, 200, 255}, [](int i) { return i * i / 255; });
    setCurve(3, cmIndividual, {0, 255}, [](int i) { return i < 128 ? 0 : 255; });
    return m;
}

} // namespace kestrava::test
