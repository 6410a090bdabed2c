#pragma once

#include <array>
#include <cstdint>
#include <vector>

namespace kestrava {

// How a curve's table follows from its control points. Mode is stored as a plain integer
// because a faulty transfer can deliver any value; other values derive nothing.
enum TCurveMode : std::int32_t {
    cmIndividual = 0, // the table is edited entry by entry
    cmPolyline = 1,   // straight lines between consecutive points
    cmCurve = 2,      // parametric natural cubic spline through the points
};

inline constexpr int CurveTableSize = 256;
inline constexpr int CurveMaxInput = 255;
inline constexpr int CurveMaxPoints = 16;         // what the editor lets the operator place
inline constexpr int CurveMaxInteriorPoints = 15; // slots in the unit's point block
inline constexpr int DefaultMaxLevel = 255;

using TCurveTable = std::array<std::int32_t, CurveTableSize>;

struct TCurvePoint {
    std::int32_t X = 0; // input level 0..255
    std::int32_t Y = 0; // MaxLevel - output level: 0 is the top of the graph
    bool Dragging = false;
    bool Selected = false;

    bool operator==(const TCurvePoint &) const = default;
};

// Control points by value. Pointers and references into the list stay valid only until the
// list next changes (add, delete, clear, sort).
class TPointList {
public:
    using const_iterator = std::vector<TCurvePoint>::const_iterator;
    using iterator = std::vector<TCurvePoint>::iterator;

    int Count() const { return int(m_points.size()); }
    bool IsEmpty() const { return m_points.empty(); }
    TCurvePoint &operator[](int i) { return m_points.at(std::size_t(i)); }
    const TCurvePoint &operator[](int i) const { return m_points.at(std::size_t(i)); }
    iterator begin() { return m_points.begin(); }
    iterator end() { return m_points.end(); }
    const_iterator begin() const { return m_points.begin(); }
    const_iterator end() const { return m_points.end(); }

    TCurvePoint &Add(const TCurvePoint &point);
    void Delete(int index);
    void Clear() { m_points.clear(); }
    int IndexOf(const TCurvePoint *point) const; // -1 when not in this list

    void SortByInput(); // by X ascending; points of equal X keep their order
    void ClearDragging();
    void ClearSelected();
    TCurvePoint *FindSelected();
    const TCurvePoint *FindSelected() const;
    TCurvePoint *FindByInput(int x);
    const TCurvePoint *FindByInput(int x) const;
    int InteriorCount() const; // points strictly between input 0 and input 255

    bool operator==(const TPointList &) const = default;

private:
    std::vector<TCurvePoint> m_points;
};

// Graph size in pixels for the view; 255 x 255 without a graph window.
struct TCurveGeometry {
    int GraphWidth = 255;
    int GraphHeight = 255;

    bool operator==(const TCurveGeometry &) const = default;
};

class TUserCurve {
public:
    TUserCurve(); // mode 0, identity table, no points

    std::int32_t Mode = cmIndividual;
    TCurveTable Table{};
    TPointList Points;
    std::int32_t MaxLevel = DefaultMaxLevel;
    TCurveGeometry Geometry;

    // Identity-like table for maxLevel and the two end points; Mode is kept.
    void Reset(int maxLevel = DefaultMaxLevel);
    // Rebuilds Table from Points according to Mode. Defined for any point list.
    void Recalculate();
    // Adds a point at x (clamped to 0..255) on the current table and sorts. Refuses an input
    // that another point already holds: returns nullptr and changes nothing.
    TCurvePoint *AddPoint(int x);
    void DeleteSelected();
    void SyncPointsToTable();
    void SnapPointsToTable();

    bool operator==(const TUserCurve &) const = default;

private:
    void FillPolyline();
    void FillSpline();
    void SampleSpline(const std::vector<double> &PX, const std::vector<double> &PY);
    std::int32_t LevelY(int x) const; // MaxLevel - Table[x], x clamped to the table
};

// The four user curves with the one shown and the flags that relate them to the unit.
// Outside the model the flags are read, and changed only through the verbs that say what
// happened.
class TCurveSet {
public:
    TCurveSet(); // every curve reset to the default with mode 0

    std::array<TUserCurve, 4> Curves;
    int CurCurve = 0;
    bool CurveChanged = false;
    bool CurvesInSync = false;

    // An edit the unit has not stored yet: closing asks about it.
    void MarkEdited() { CurveChanged = true; }
    // Read from the unit: a further fetch transfers nothing.
    void MarkFetched() { CurvesInSync = true; }
    // Nothing left to store: a fetch was made, or (in edit mode) a file holds the curves.
    void MarkStored() { CurveChanged = false; }
    // Sent to the unit and stored there.
    void MarkWritten() {
        CurvesInSync = true;
        CurveChanged = false;
    }
    // A file's curves laid over memory, not (yet) sent.
    void MarkUnsent() {
        CurvesInSync = false;
        CurveChanged = true;
    }
    // A new link: the unit may hold anything, and the next fetch reads it again.
    void Forget() {
        CurvesInSync = false;
        CurveChanged = false;
    }

    TUserCurve *Current();
    const TUserCurve *Current() const;
    void ResetAll(); // Reset(255) and mode 0 on all four
};

} // namespace kestrava
