#pragma once

// Unit memories and data files for tests that load files onto the simulated unit.

#include "DataFile.h"
#include "GoldenModels.h"
#include "UnitSim.h"

#include <QStringList>

#include <algorithm>

namespace kestrava::test {

// A unit memory in which the patches, attributes and curves all differ from one another.
inline sim::UnitMemory distinct() {
    sim::UnitMemory m = sim::UnitMemory::factoryDefault();
    for (int p = 0; p < 8; ++p)
        for (int o = 0; o < 1024; ++o)
            m.patches[p][o] = (o * 3 + p * 101) % 1024;
    for (int o = 0; o < 1024; ++o)
        m.attributes[o] = o % 3;
    for (int c = 0; c < 4; ++c)
        for (int i = 0; i < 256; ++i)
            m.curveTables[c][i] = (i * (c + 2)) % 256;
    return m;
}

// Models as the unit holds them.
inline sim::UnitMemory unitOf(const DataModels &g) {
    sim::UnitMemory m;
    for (int p = 0; p < 8; ++p)
        for (int o = 0; o < 1024; ++o) {
            const PatchEntry v = g.patches.Patches[p][o];
            m.patches[p][o] = v == pvFull ? 0x8FF : v < 0 || v >= 1024 ? 0xFFF : v;
        }
    std::copy(g.attrs.LoadAttrs.begin(), g.attrs.LoadAttrs.end(), m.attributes.begin());
    for (int c = 0; c < 4; ++c) {
        const TUserCurve &curve = g.curves.Curves[c];
        std::copy(curve.Table.begin(), curve.Table.end(), m.curveTables[c].begin());
        m.pointBlocks[c].fill(0);
        m.pointBlocks[c][0] = curve.Mode;
        int slot = 1;
        for (const TCurvePoint &pt : curve.Points)
            if (pt.X > 0 && pt.X < 255)
                m.pointBlocks[c][slot++] = pt.X;
    }
    return m;
}

// The golden state as the unit holds it.
inline sim::UnitMemory goldenUnit() {
    return unitOf(GoldenModels());
}

// Whether an all-data file holds exactly the parts given ("P1 P2 A C") and each equals before.
inline bool holdsUnitParts(const QString &file, const sim::UnitMemory &before,
                           const QString &parts) {
    DataModels d;
    const TReadResult r = ReadAllDataFile(file, d.patches, d.attrs, d.curves);
    const sim::UnitMemory m = unitOf(d);
    QStringList held;
    for (int p = 0; p < 8; ++p)
        if (r.found.patchSections.test(p))
            held << QStringLiteral("P%1").arg(p + 1);
    if (r.found.attributeSection)
        held << QStringLiteral("A");
    if (r.found.curveSections.all())
        held << QStringLiteral("C");
    bool same = r.ok && held.join(u' ') == parts;
    for (int p = 0; p < 8; ++p)
        same = same && (!r.found.patchSections.test(p) || m.patches[p] == before.patches[p]);
    same = same && (!r.found.attributeSection || m.attributes == before.attributes);
    return same && (!r.found.curveSections.any() ||
                    (m.curveTables == before.curveTables && m.pointBlocks == before.pointBlocks));
}

// A file of parts: "P2:10" ten lines of [Patch2] routing input 1, "P*:10" the same in
// [Patch*], "A:32" 32 lines of On/Off attributes, "C3" curve 3 as a flat polyline at 7.
inline QStringList fileOf(const QString &contents) {
    QStringList lines;
    for (const QString &part : contents.split(u' ', Qt::SkipEmptyParts)) {
        const int n = part.section(u':', 1).toInt();
        if (part.startsWith(u'P'))
            lines << QStringLiteral("[Patch%1]").arg(part.mid(1, 1))
                  << QStringList(n, QStringList(16, QStringLiteral("0001")).join(u','));
        else if (part.startsWith(u'A'))
            lines << QStringLiteral("[Attribute]")
                  << QStringList(n, QStringList(16, QStringLiteral("081")).join(u','));
        else
            lines << QStringLiteral("[Curve%1]").arg(part.mid(1, 1)) << QStringLiteral("Mode=1")
                  << QStringLiteral("Points=0,255")
                  << QStringList(16, QStringList(16, QStringLiteral("7")).join(u','));
    }
    return lines;
}

// What the unit holds after such a file was loaded over before.
inline sim::UnitMemory withFile(sim::UnitMemory m, const QString &contents, int curPatch) {
    for (const QString &part : contents.split(u' ', Qt::SkipEmptyParts)) {
        const int n = 16 * part.section(u':', 1).toInt();
        if (part.startsWith(u'P')) {
            const int p = part[1] == u'*' ? curPatch : part.mid(1, 1).toInt() - 1;
            std::fill_n(m.patches[p].begin(), n, 0);
        } else if (part.startsWith(u'A')) {
            std::fill_n(m.attributes.begin(), n, 0x081);
        } else {
            const int c = part.mid(1, 1).toInt() - 1;
            m.curveTables[c].fill(7);
            m.pointBlocks[c].fill(0);
            m.pointBlocks[c][0] = 1;
        }
    }
    return m;
}

// The unit's request log by kind: a block write as its address ("S400"), anything else as sent.
inline QStringList shape(const QStringList &log) {
    QStringList s;
    for (const QString &r : log)
        s << (r.startsWith(u'S') && r.size() > 7 ? r.left(4) : r);
    return s;
}

// "S400".."S43F", "Q000"..: requests of consecutive addresses.
inline QStringList addresses(char kind, int first, int count) {
    QStringList s;
    for (int a = first; a < first + count; ++a)
        s << QLatin1Char(kind) + QStringLiteral("%1").arg(a, 3, 16, QLatin1Char('0')).toUpper();
    return s;
}

// The eight memories written as a load writes them, the unit left on current.
inline QStringList allPatchesWritten(int current) {
    QStringList s;
    for (int p = 0; p < 8; ++p)
        s << QStringLiteral("P00%1").arg(p) << addresses('S', 0x400, 64) << QStringLiteral("WP");
    return s << QStringLiteral("P00%1").arg(current);
}

} // namespace kestrava::test
