#include "CurveTransfer.h"

#include "Abort.h"
#include "BlockTransfer.h"
#include "Usr_misc.h"
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

bool FetchCurves(TransferEnv &env, TCurveSet &curves) {
    if (env.link.EditMode || !env.link.Linked)
        return false;
    if (curves.CurvesInSync)
        return true;
    TransferringScope transferring(env);
    BracketScope bracket(env, Texts::tr("カーブデータ取得中"));
    try {
        curves.ResetAll();
        QueryBlocks(env, kTableBase, kTableBlocks, {0, kTableBlocks + 1},
                    [&curves](int b, QStringView reply) {
                        const auto levels = DecodeBlock(reply, -1);
                        TUserCurve &curve = curves.Curves[std::size_t(b / kBlocksPerCurve)];
                        for (int k = 0; k < kBlockValues; ++k)
                            curve.Table[std::size_t(kBlockValues * (b % kBlocksPerCurve) + k)] =
                                levels[k];
                    });
        QueryBlocks(env, kPointBase, kCurves, {}, [&curves](int c, QStringView reply) {
            const auto values = DecodeBlock(reply, -1);
            TUserCurve &curve = curves.Curves[std::size_t(c)];
            curve.Mode = values[0];
            // The spline needs distinct inputs: a repeated input, or one at the end
            // points, adds nothing.
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
        });
        curves.MarkFetched();
        return true;
    } catch (const EAbort &) {
        env.boxes.Error(Texts::tr("取得に失敗しました"));
        return false;
    }
}

bool WriteCurves(TransferEnv &env, TCurveSet &curves) {
    TransferringScope transferring(env);
    BracketScope bracket(env, Texts::tr("カーブ書込中"));
    try {
        SendBlocks(env, kTableBlocks, {0, kTableBlocks},
                   [&curves](int b) { return CurveTableBlockCommand(curves, b); });
        SendBlocks(env, kCurves, {}, [&curves](int c) {
            return CurvePointBlockCommand(curves.Curves[std::size_t(c)], c);
        });
        SendOrAbort(env, QStringLiteral("WC\r"));
        curves.MarkWritten();
        return true;
    } catch (const EAbort &) {
        env.boxes.Error(Texts::tr("転送に失敗しました"));
        return false;
    }
}

} // namespace kestrava
