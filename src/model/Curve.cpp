#include "Curve.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>

namespace kestrava {

namespace {

constexpr double kInt32Max = std::numeric_limits<std::int32_t>::max();
constexpr double kInt32Min = std::numeric_limits<std::int32_t>::min();

// trunc() into an int32 that stays defined for any double: out-of-range values saturate and
// NaN gives 0.
std::int32_t Trunc(double v) {
    if (std::isnan(v))
        return 0;
    if (v >= kInt32Max)
        return std::numeric_limits<std::int32_t>::max();
    if (v <= kInt32Min)
        return std::numeric_limits<std::int32_t>::min();
    return std::int32_t(v);
}

std::int32_t Saturate(std::int64_t v) {
    return std::int32_t(std::clamp<std::int64_t>(v, std::numeric_limits<std::int32_t>::min(),
                                                 std::numeric_limits<std::int32_t>::max()));
}

int TableIndex(std::int64_t x) {
    return int(std::clamp<std::int64_t>(x, 0, CurveMaxInput));
}

// Natural cubic spline over the knots T of one coordinate V. Z gets one sixth of the second
// derivative at each knot; H and D are work arrays. Needs n >= 3 and strictly rising T.
void SplineCoefficients(const std::vector<double> &T, const std::vector<double> &V,
                        std::vector<double> &Z, std::vector<double> &H, std::vector<double> &D) {
    const int n = int(T.size());
    std::fill(Z.begin(), Z.end(), 0.0);
    for (int i = 0; i <= n - 2; ++i) {
        H[i] = T[i + 1] - T[i];
        D[i + 1] = (V[i + 1] - V[i]) / H[i];
    }
    Z[1] = D[2] - D[1] - H[0] * Z[0];
    D[1] = 2 * (T[2] - T[0]);
    for (int i = 1; i <= n - 3; ++i) {
        const double q = H[i] / D[i];
        Z[i + 1] = D[i + 2] - D[i + 1] - Z[i] * q;
        D[i + 1] = 2 * (T[i + 2] - T[i]) - H[i] * q;
    }
    Z[n - 2] = Z[n - 2] - H[n - 2] * Z[n - 1];
    for (int i = n - 2; i >= 1; --i)
        Z[i] = (Z[i] - H[i] * Z[i + 1]) / D[i];
}

double SplineAt(double t, const std::vector<double> &T, const std::vector<double> &V,
                const std::vector<double> &Z) {
    int lo = 0;
    int hi = int(T.size()) - 1;
    while (lo < hi) {
        const int mid = (lo + hi) / 2;
        if (T[mid] < t)
            lo = mid + 1;
        else
            hi = mid;
    }
    if (lo > 0)
        --lo;
    const int i = lo;
    const double h = T[i + 1] - T[i];
    const double d = t - T[i];
    return V[i] + d * ((V[i + 1] - V[i]) / h - h * (2 * Z[i] + Z[i + 1]) +
                       d * (3 * Z[i] + d * (Z[i + 1] - Z[i]) / h));
}

} // namespace

// ---- TPointList ----

TCurvePoint &TPointList::Add(const TCurvePoint &point) {
    m_points.push_back(point);
    return m_points.back();
}

void TPointList::Delete(int index) {
    if (index >= 0 && index < Count())
        m_points.erase(m_points.begin() + index);
}

int TPointList::IndexOf(const TCurvePoint *point) const {
    for (int i = 0; i < Count(); ++i) {
        if (&m_points[std::size_t(i)] == point)
            return i;
    }
    return -1;
}

void TPointList::SortByInput() {
    std::stable_sort(m_points.begin(), m_points.end(),
                     [](const TCurvePoint &a, const TCurvePoint &b) { return a.X < b.X; });
}

void TPointList::ClearDragging() {
    for (TCurvePoint &p : m_points)
        p.Dragging = false;
}

void TPointList::ClearSelected() {
    for (TCurvePoint &p : m_points)
        p.Selected = false;
}

TCurvePoint *TPointList::FindSelected() {
    auto it = std::find_if(m_points.begin(), m_points.end(),
                           [](const TCurvePoint &p) { return p.Selected; });
    return it == m_points.end() ? nullptr : &*it;
}

const TCurvePoint *TPointList::FindSelected() const {
    return const_cast<TPointList *>(this)->FindSelected();
}

TCurvePoint *TPointList::FindByInput(int x) {
    auto it = std::find_if(m_points.begin(), m_points.end(),
                           [x](const TCurvePoint &p) { return p.X == x; });
    return it == m_points.end() ? nullptr : &*it;
}

const TCurvePoint *TPointList::FindByInput(int x) const {
    return const_cast<TPointList *>(this)->FindByInput(x);
}

int TPointList::InteriorCount() const {
    return int(std::count_if(m_points.begin(), m_points.end(),
                             [](const TCurvePoint &p) { return p.X > 0 && p.X < CurveMaxInput; }));
}

// ---- TUserCurve ----

TUserCurve::TUserCurve() {
    for (int i = 0; i < CurveTableSize; ++i)
        Table[std::size_t(i)] = i;
}

std::int32_t TUserCurve::LevelY(int x) const {
    return Saturate(std::int64_t(MaxLevel) - Table[std::size_t(TableIndex(x))]);
}

void TUserCurve::Reset(int maxLevel) {
    // A level range of zero or less would leave the graph nothing to divide by.
    MaxLevel = std::max(maxLevel, 1);
    Table[0] = 0;
    for (int i = 1; i < CurveTableSize; ++i)
        Table[std::size_t(i)] = Trunc(double(i) * MaxLevel / 255.0 + 0.5);
    Points.Clear();
    Points.Add({0, LevelY(0)});
    Points.SortByInput();
    Points.Add({CurveMaxInput, LevelY(CurveMaxInput)});
    Points.SortByInput();
}

void TUserCurve::Recalculate() {
    switch (Mode) {
    case cmPolyline:
        FillPolyline();
        break;
    case cmCurve:
        if (Points.Count() == 2)
            FillPolyline();
        else if (Points.Count() >= 3)
            FillSpline();
        break;
    default:
        break;
    }
}

void TUserCurve::FillPolyline() {
    const double m = MaxLevel;
    for (int i = 0; i + 1 < Points.Count(); ++i) {
        const TCurvePoint &p = Points[i];
        const TCurvePoint &q = Points[i + 1];
        if (q.X <= p.X)
            continue;
        const double slope = (double(q.Y) - p.Y) / (double(q.X) - p.X);
        const int from = std::max(p.X, 0);
        const int to = std::min(q.X, CurveMaxInput);
        for (int x = from; x <= to; ++x) {
            const double y = x == q.X ? double(q.Y) : p.Y + slope * (double(x) - p.X);
            Table[std::size_t(x)] = Trunc(m - y + 0.5);
        }
    }
}

void TUserCurve::FillSpline() {
    // A point repeated right after itself has a chord of zero, which would make the
    // parameter stand still and the interval width zero; it adds nothing to the curve.
    std::vector<double> PX;
    std::vector<double> PY;
    PX.reserve(std::size_t(Points.Count()));
    PY.reserve(std::size_t(Points.Count()));
    for (const TCurvePoint &p : Points) {
        if (!PX.empty() && PX.back() == p.X && PY.back() == p.Y)
            continue;
        PX.push_back(p.X);
        PY.push_back(p.Y);
    }
    const int n = int(PX.size());
    if (n < 3)
        FillPolyline();
    else
        SampleSpline(PX, PY);

    const std::int32_t top = std::max(MaxLevel, 0);
    for (std::int32_t &v : Table)
        v = std::clamp(v, 0, top);
}

void TUserCurve::SampleSpline(const std::vector<double> &PX, const std::vector<double> &PY) {
    const int n = int(PX.size());

    const std::size_t size = PX.size();
    std::vector<double> T(size, 0.0);
    for (int i = 1; i < n; ++i) {
        const double dx = PX[i] - PX[i - 1];
        const double dy = PY[i] - PY[i - 1];
        T[i] = T[i - 1] + std::sqrt(dx * dx + dy * dy);
    }
    for (int i = 1; i < n; ++i)
        T[i] = T[i] / T[n - 1];

    std::vector<double> ZX(size);
    std::vector<double> ZY(size);
    std::vector<double> H(size);
    std::vector<double> D(size);
    SplineCoefficients(T, PX, ZX, H, D);
    SplineCoefficients(T, PY, ZY, H, D);

    const TCurvePoint *last = Points.FindByInput(CurveMaxInput);
    const std::int64_t y255 = last ? last->Y : 0;
    const double m = MaxLevel;
    constexpr int kSamples = 1024; // points taken along the spline, not channels
    const double step = 1.0 / (kSamples - 1);
    int prev = -1;
    double L = 0;
    for (int k = 0; k < kSamples; ++k) {
        const double t = k * step;
        const double x = SplineAt(t, T, PX, ZX);
        const double y = SplineAt(t, T, PY, ZY);
        const int xi = TableIndex(Trunc(x + 0.5));
        if (xi == prev)
            continue;
        if (xi == CurveMaxInput) {
            Table[CurveMaxInput] = Saturate(MaxLevel - y255);
            break;
        }
        Table[std::size_t(xi)] = Trunc(m - y);
        const int gap = xi - prev;
        if (k > 0 && gap >= 2) {
            for (int j = 0; j < gap; ++j) {
                const double v = L + ((y - L) / gap) * j;
                Table[std::size_t(prev + j)] = Saturate(std::int64_t(MaxLevel) - Trunc(v + 0.5));
            }
        }
        prev = xi;
        L = y;
    }
}

TCurvePoint *TUserCurve::AddPoint(int x) {
    x = TableIndex(x);
    if (Points.FindByInput(x))
        return nullptr;
    Points.Add({x, LevelY(x)});
    Points.SortByInput();
    return Points.FindByInput(x);
}

void TUserCurve::DeleteSelected() {
    if (const TCurvePoint *p = Points.FindSelected())
        Points.Delete(Points.IndexOf(p));
}

void TUserCurve::SyncPointsToTable() {
    for (TCurvePoint &p : Points)
        p.Y = LevelY(p.X);
}

void TUserCurve::SnapPointsToTable() {
    for (TCurvePoint &p : Points) {
        const std::int32_t v = LevelY(p.X);
        if (std::llabs(std::int64_t(p.Y) - v) >= 2)
            p.Y = v;
    }
}

// ---- TCurveSet ----

TCurveSet::TCurveSet() {
    ResetAll();
}

TUserCurve *TCurveSet::Current() {
    return CurCurve >= 0 && CurCurve < int(Curves.size()) ? &Curves[std::size_t(CurCurve)]
                                                          : nullptr;
}

const TUserCurve *TCurveSet::Current() const {
    return const_cast<TCurveSet *>(this)->Current();
}

void TCurveSet::ResetAll() {
    for (TUserCurve &c : Curves) {
        c.Reset(DefaultMaxLevel);
        c.Mode = cmIndividual;
    }
}

} // namespace kestrava
