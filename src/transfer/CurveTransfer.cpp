#include "CurveTransfer.h"

#include "BlockTransfer.h"
#include "WireCodes.h"

#include <QCoreApplication>

#include <set>

namespace kestrava {

namespace {

constexpr int kCurves = 4;
constexpr int kBlocksPerCurve = CurveTableSize / kBlockValues;
constexpr int kTableBlocks = kCurves * kBlocksPerCurve;
constexpr int kTableBase = 0x600;
constexpr int kPointBase = 0x640;

struct Texts {
    Q_DECLARE_TR_FUNCTIONS(CurveTransfer)
};

} // namespace

QString CurveTableBlockCommand(const TCurveSet &curves, int block) {
    const TUserCurve &curve = curves.Curves[std::size_t(block / kBlocksPerCurve)];
    const int first = kBlockValues * (block % kBlocksPerCurve);
    QString cmd = QStringLiteral("S") + Hex3(kTableBase + block);
    for (int k = 0; k < kBlockValues; ++k)
        cmd += CurveLevelCode(curve.Table[std::size_t(first + k)]);
    return cmd + u'\r';
}

QString CurvePointBlockCommand(const TUserCurve &curve, int curveIndex) {
    QString cmd = QStringLiteral("S") + Hex3(kPointBase + curveIndex) + CurveModeCode(curve.Mode);
    int used = 0;
    for (const TCurvePoint &p : curve.Points) {
        // the end points are implied; inputs outside the table cannot be points
        if (p.X <= 0 || p.X >= CurveMaxInput || used == CurveMaxInteriorPoints)
            continue;
        cmd += Hex3(p.X);
        ++used;
    }
    for (; used < CurveMaxInteriorPoints; ++used)
        cmd += QStringLiteral("000");
    return cmd + u'\r';
}

namespace {

void takeTableBlock(TCurveSet &curves, int b, QStringView reply) {
    const auto levels = DecodeBlock(reply, -1);
    TUserCurve &curve = curves.Curves[std::size_t(b / kBlocksPerCurve)];
    for (int k = 0; k < kBlockValues; ++k)
        curve.Table[std::size_t(kBlockValues * (b % kBlocksPerCurve) + k)] = levels[k];
}

void takePointBlock(TUserCurve &curve, QStringView reply) {
    const auto values = DecodeBlock(reply, -1);
    curve.Mode = values[0];
    // The spline needs distinct inputs: a repeated input, or one at the end points, adds
    // nothing.
    std::set<int> seen;
    for (const TCurvePoint &p : curve.Points)
        seen.insert(p.X);
    for (int s = 1; s < kBlockValues; ++s) {
        const int x = values[std::size_t(s)];
        if (x == 0)
            break;
        if (x < 0 || x > CurveMaxInput || !seen.insert(x).second)
            continue;
        TCurvePoint point;
        point.X = x;
        point.Y = curve.MaxLevel;
        curve.Points.Add(point);
    }
    curve.Points.SortByInput();
    curve.SyncPointsToTable();
}

// The tables first, the bar running over them (one step short when fetched), then the point
// blocks, which leave the bar alone.
TBlockPart curvePart(TCurveSet &curves) {
    TBlockPart part;
    part.runs.push_back({kTableBase,
                         kTableBlocks,
                         {0, kTableBlocks + 1},
                         {0, kTableBlocks},
                         [&curves](int b, QStringView reply) { takeTableBlock(curves, b, reply); },
                         [&curves](int b) { return CurveTableBlockCommand(curves, b); }});
    part.runs.push_back(
        {kPointBase,
         kCurves,
         {},
         {},
         [&curves](int c, QStringView reply) {
             takePointBlock(curves.Curves[std::size_t(c)], reply);
         },
         [&curves](int c) { return CurvePointBlockCommand(curves.Curves[std::size_t(c)], c); }});
    part.commit = QStringLiteral("WC\r");
    part.beforeFetch = [&curves] { curves.ResetAll(); };
    part.fetched = [&curves] { curves.MarkFetched(); };
    part.written = [&curves] { curves.MarkWritten(); };
    part.fetchText = Texts::tr("カーブデータ取得中");
    part.fetchFailed = Texts::tr("取得に失敗しました");
    part.writeText = Texts::tr("カーブ書込中");
    part.writeFailed = Texts::tr("転送に失敗しました");
    return part;
}

} // namespace

bool FetchCurves(TransferEnv &env, TCurveSet &curves) {
    if (env.link.EditMode || !env.link.Linked)
        return false;
    if (curves.CurvesInSync)
        return true;
    return FetchBlockPart(env, curvePart(curves));
}

bool WriteCurves(TransferEnv &env, TCurveSet &curves) {
    return WriteBlockPart(env, curvePart(curves));
}

} // namespace kestrava
