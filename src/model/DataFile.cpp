#include "DataFile.h"

#include "NumberText.h"
#include "TextLines.h"

#include <algorithm>
#include <optional>

namespace kestrava {

namespace {

constexpr int kFieldsPerLine = 16;
const QLatin1String kPatchPrefix("[Patch");
const QLatin1String kCurvePrefix("[Curve");
const QLatin1String kAttributeHeader("[Attribute]");
const QLatin1String kModePrefix("Mode=");
const QLatin1String kPointsPrefix("Points=");
const QLatin1String kNoneField("____");
const QLatin1String kFullField("FULL");

QString PatchField(PatchEntry v) {
    if (v == pvFull)
        return kFullField;
    if (v < 0)
        return kNoneField;
    return QStringLiteral("%1").arg(qint64(v) + 1, 4, 10, QLatin1Char('0'));
}

template <typename Container, typename Format>
void AppendRows(QStringList &lines, const Container &values, Format format) {
    const int count = int(values.size());
    for (int row = 0; row < count / kFieldsPerLine; ++row) {
        QStringList fields;
        fields.reserve(kFieldsPerLine);
        for (int k = 0; k < kFieldsPerLine; ++k)
            fields.append(format(values[std::size_t(row * kFieldsPerLine + k)]));
        lines.append(fields.join(QLatin1Char(',')));
    }
}

void AppendPatch(QStringList &lines, const TPatch &patch) {
    AppendRows(lines, patch, PatchField);
}

// ---- reading ----

enum class ReaderKind { Patch, AllData, Attribute, Curve };
enum class Section { None, Ignored, Patch, PatchNoCurrent, Attribute, Curve };

bool StartsWithNoCase(const QString &line, QLatin1String prefix) {
    return line.startsWith(prefix, Qt::CaseInsensitive);
}

// The text after the exactly spelled prefix up to the first "]"; empty optional when the
// prefix is not there as spelled (a header in another letter case has no number).
std::optional<QString> HeaderArgument(const QString &line, QLatin1String prefix) {
    const qsizetype at = line.indexOf(prefix);
    if (at < 0)
        return std::nullopt;
    const QString rest = line.mid(at + prefix.size());
    const qsizetype close = rest.indexOf(QLatin1Char(']'));
    return close < 0 ? rest : rest.left(close);
}

int HeaderNumber(const std::optional<QString> &argument) {
    if (!argument)
        return -1;
    const auto n = ParseDecimal(*argument);
    return n && *n >= 0 && *n <= 1000 ? int(*n) : -1;
}

QStringList SplitFields(const QString &line) {
    QStringList fields = line.split(QLatin1Char(','));
    for (QString &f : fields) {
        if (f.size() >= 2 && f.startsWith(QLatin1Char('"')) && f.endsWith(QLatin1Char('"')))
            f = f.mid(1, f.size() - 2);
    }
    return fields;
}

// A readable number outside what a patch entry can travel as is refused rather than stored.
std::optional<PatchEntry> PatchValue(const QString &field) {
    if (field == kNoneField)
        return pvNone;
    if (field == kFullField)
        return pvFull;
    const qint64 n = ParseDecimal(field).value_or(0);
    if (n < 0 || n > MaxFileInputChannel)
        return std::nullopt;
    return PatchEntry(n - 1);
}

LoadAttr AttrValue(const QString &field) {
    const auto v = ParseHex(field);
    if (!v)
        return laNormal;
    return *v > 0xFFFF ? LoadAttr(-1) : LoadAttr(*v);
}

struct Working {
    ReaderKind kind;
    int curPatch = -1;
    TPatches patches;
    TLoadAttrs attrs;
    std::array<TUserCurve, 4> curves;
};

class Reader {
public:
    explicit Reader(Working &w) : m_w(w) {}

    TReadResult Run(const QStringList &lines) {
        for (int i = 0; i < lines.size(); ++i) {
            const QString &line = lines.at(i);
            if (line.isEmpty())
                continue;
            m_line = i + 1;
            const TReadRule broken = IsHeader(line) ? Header(line) : DataLine(line);
            if (broken != TReadRule::None)
                return {false, m_line, broken, m_found};
        }
        if (m_w.kind == ReaderKind::AllData || m_w.kind == ReaderKind::Curve) {
            for (TUserCurve &c : m_w.curves)
                c.SyncPointsToTable();
        }
        return {true, 0, TReadRule::None, m_found};
    }

private:
    bool Reads(ReaderKind a, ReaderKind b) const { return m_w.kind == a || m_w.kind == b; }

    bool IsHeader(const QString &line) const {
        if (m_w.kind == ReaderKind::Patch)
            return StartsWithNoCase(line, kPatchPrefix);
        return line.startsWith(QLatin1Char('['));
    }

    TReadRule Header(const QString &line) {
        m_pos = 0;
        if (StartsWithNoCase(line, kPatchPrefix)) {
            if (!Reads(ReaderKind::Patch, ReaderKind::AllData)) {
                m_section = Section::Ignored;
                return TReadRule::None;
            }
            const auto argument = HeaderArgument(line, kPatchPrefix);
            if (m_w.kind == ReaderKind::Patch && argument == QLatin1String("*")) {
                m_index = m_w.curPatch;
                m_section = IsPatchIndex(m_index) ? Section::Patch : Section::PatchNoCurrent;
                if (m_section == Section::Patch)
                    m_found.patchSections.set(std::size_t(m_index));
                return TReadRule::None;
            }
            const int n = HeaderNumber(argument);
            if (n < 1 || n > PatchCount)
                return TReadRule::PatchHeaderNumber;
            m_index = n - 1;
            m_section = Section::Patch;
            m_found.patchSections.set(std::size_t(m_index));
            return TReadRule::None;
        }
        if (line == kAttributeHeader) {
            m_section = Reads(ReaderKind::AllData, ReaderKind::Attribute) ? Section::Attribute
                                                                          : Section::Ignored;
            m_found.attributeSection = m_found.attributeSection || m_section == Section::Attribute;
            return TReadRule::None;
        }
        if (StartsWithNoCase(line, kCurvePrefix)) {
            if (!Reads(ReaderKind::AllData, ReaderKind::Curve)) {
                m_section = Section::Ignored;
                return TReadRule::None;
            }
            const int n = HeaderNumber(HeaderArgument(line, kCurvePrefix));
            if (n < 1 || n > int(m_w.curves.size()))
                return TReadRule::CurveHeaderNumber;
            m_index = n - 1;
            m_section = Section::Curve;
            m_found.curveSections.set(std::size_t(m_index));
            m_w.curves[std::size_t(m_index)].Reset(DefaultMaxLevel);
            return TReadRule::None;
        }
        if (m_w.kind == ReaderKind::AllData)
            return TReadRule::UnknownHeader;
        m_section = Section::Ignored;
        return TReadRule::None;
    }

    TReadRule DataLine(const QString &line) {
        switch (m_section) {
        case Section::None:
            return m_w.kind == ReaderKind::Patch ? TReadRule::DataBeforeHeader : TReadRule::None;
        case Section::Ignored:
            return TReadRule::None;
        case Section::PatchNoCurrent:
            return TReadRule::NoCurrentPatch;
        case Section::Patch:
            return PatchLine(line);
        case Section::Attribute:
            return AttributeLine(line);
        case Section::Curve:
            return CurveLine(line);
        }
        return TReadRule::None;
    }

    TReadRule PatchLine(const QString &line) {
        const QStringList fields = SplitFields(line);
        if (fields.size() != kFieldsPerLine)
            return TReadRule::PatchFieldCount;
        if (m_pos + kFieldsPerLine > OutputCount)
            return TReadRule::PatchTooManyValues;
        TPatch &patch = m_w.patches[std::size_t(m_index)];
        for (const QString &f : fields) {
            const auto v = PatchValue(f);
            if (!v)
                return TReadRule::PatchInputRange;
            patch[std::size_t(m_pos++)] = *v;
        }
        int &most = m_found.patchValues[std::size_t(m_index)];
        most = std::max(most, m_pos);
        return TReadRule::None;
    }

    TReadRule AttributeLine(const QString &line) {
        const bool lenient = m_w.kind == ReaderKind::AllData;
        const QStringList fields = SplitFields(line);
        if (fields.size() != kFieldsPerLine)
            return lenient ? TReadRule::None : TReadRule::AttrFieldCount;
        for (const QString &f : fields) {
            if (m_pos >= LoadAttrCount) {
                if (lenient)
                    return TReadRule::None;
                return TReadRule::AttrTooManyValues;
            }
            const LoadAttr code = AttrValue(f);
            if (!IsValidLoadAttr(code))
                return TReadRule::AttrCode;
            m_w.attrs[std::size_t(m_pos++)] = code;
            m_found.attributeValues = std::max(m_found.attributeValues, m_pos);
        }
        return TReadRule::None;
    }

    TReadRule CurveLine(const QString &line) {
        TUserCurve &curve = m_w.curves[std::size_t(m_index)];
        if (StartsWithNoCase(line, kModePrefix)) {
            const QString text = line.mid(line.indexOf(QLatin1Char('=')) + 1).trimmed();
            const qint64 mode = ParseDecimal(text).value_or(0);
            if (mode < cmIndividual || mode > cmCurve)
                return TReadRule::CurveMode;
            curve.Mode = std::int32_t(mode);
            m_found.curveModes.set(std::size_t(m_index));
            return TReadRule::None;
        }
        if (StartsWithNoCase(line, kPointsPrefix)) {
            const QString text = line.mid(line.indexOf(QLatin1Char('=')) + 1);
            for (const QString &item : text.split(QLatin1Char(','))) {
                const auto x = ParseDecimal(item);
                if (!x || *x == -1)
                    break;
                // A repeated input would be a second point at the same place: the spline
                // cannot pass through both, so it names the point already there.
                if (*x >= 1 && *x < CurveMaxInput && !curve.Points.FindByInput(int(*x)))
                    curve.Points.Add({std::int32_t(*x), 0});
            }
            curve.Points.SortByInput();
            if (curve.Points.InteriorCount() > CurveMaxInteriorPoints)
                return TReadRule::CurveTooManyPoints;
            return TReadRule::None;
        }
        const bool lenient = m_w.kind == ReaderKind::AllData;
        const QStringList fields = SplitFields(line);
        if (fields.size() != kFieldsPerLine)
            return TReadRule::CurveFieldCount;
        for (const QString &f : fields) {
            if (m_pos >= CurveTableSize) {
                if (lenient)
                    return TReadRule::None;
                return TReadRule::CurveTooManyValues;
            }
            const qint64 v = ParseDecimal(f).value_or(0);
            if (v < 0 || v > 255)
                return TReadRule::CurveValueRange;
            curve.Table[std::size_t(m_pos++)] = std::int32_t(v);
        }
        return TReadRule::None;
    }

    Working &m_w;
    TReadReport m_found;
    Section m_section = Section::None;
    int m_index = 0;
    int m_pos = 0;
    int m_line = 0;
};

TReadResult CannotRead() {
    return {false, 0, TReadRule::CannotRead, {}};
}

} // namespace

QString ReadRuleText(TReadRule rule) {
    switch (rule) {
    case TReadRule::None:
        return QStringLiteral("no rule broken");
    case TReadRule::CannotRead:
        return QStringLiteral("the file cannot be read");
    case TReadRule::DataBeforeHeader:
        return QStringLiteral("data line before any section header");
    case TReadRule::PatchHeaderNumber:
        return QStringLiteral("patch header number is not valid here");
    case TReadRule::NoCurrentPatch:
        return QStringLiteral("[Patch*] data but no current patch");
    case TReadRule::PatchFieldCount:
        return QStringLiteral("patch data line does not have 16 fields");
    case TReadRule::PatchTooManyValues:
        return QStringLiteral("more than 1024 patch values in a section");
    case TReadRule::PatchInputRange:
        return QStringLiteral("input channel outside 0 to 4096");
    case TReadRule::AttrFieldCount:
        return QStringLiteral("attribute data line does not have 16 fields");
    case TReadRule::AttrTooManyValues:
        return QStringLiteral("more than 1024 attribute values");
    case TReadRule::AttrCode:
        return QStringLiteral("attribute code is not 000 to 003, 080 or 081");
    case TReadRule::CurveHeaderNumber:
        return QStringLiteral("curve header number is not 1 to 4");
    case TReadRule::UnknownHeader:
        return QStringLiteral("unknown section header");
    case TReadRule::CurveFieldCount:
        return QStringLiteral("curve table line does not have 16 fields");
    case TReadRule::CurveTooManyValues:
        return QStringLiteral("more than 256 table values in a section");
    case TReadRule::CurveValueRange:
        return QStringLiteral("curve table value outside 0 to 255");
    case TReadRule::CurveMode:
        return QStringLiteral("curve mode is not 0, 1 or 2");
    case TReadRule::CurveTooManyPoints:
        return QStringLiteral("more than 15 control points between the end points");
    }
    return {};
}

bool TReadReport::Covers(const TReadReport &other) const {
    for (std::size_t p = 0; p < patchSections.size(); ++p)
        if (other.patchSections[p] && (!patchSections[p] || patchValues[p] < other.patchValues[p]))
            return false;
    if (other.attributeSection && (!attributeSection || attributeValues < other.attributeValues))
        return false;
    return (other.curveSections & ~curveSections).none() && (other.curveModes & ~curveModes).none();
}

QString TReadResult::message() const {
    if (ok)
        return ruleText();
    if (line <= 0)
        return ruleText();
    return QStringLiteral("line %1: %2").arg(line).arg(ruleText());
}

void WritePatchSections(QStringList &lines, const TPatchModel &patches) {
    for (int p = 0; p < PatchCount; ++p)
        WriteNumberedPatchSection(lines, patches, p);
}

void WriteNumberedPatchSection(QStringList &lines, const TPatchModel &patches, int patch) {
    lines.append(QStringLiteral("[Patch%1]").arg(patch + 1));
    AppendPatch(lines, patches.Patches[std::size_t(patch)]);
}

bool WriteOnePatchSection(QStringList &lines, const TPatchModel &patches, int patch) {
    if (!IsPatchIndex(patch))
        return false;
    lines.append(QStringLiteral("[Patch*]"));
    AppendPatch(lines, patches.Patches[std::size_t(patch)]);
    return true;
}

void WriteAttributeSection(QStringList &lines, const TLoadAttrModel &attrs) {
    lines.append(kAttributeHeader);
    // "%03x" of the code as a 32-bit value, so a stray negative code stays visible as such.
    AppendRows(lines, attrs.LoadAttrs, [](LoadAttr code) {
        return QStringLiteral("%1").arg(quint32(code), 3, 16, QLatin1Char('0'));
    });
}

void WriteCurveSections(QStringList &lines, const TCurveSet &curves) {
    for (int c = 0; c < int(curves.Curves.size()); ++c) {
        const TUserCurve &curve = curves.Curves[std::size_t(c)];
        lines.append(QStringLiteral("[Curve%1]").arg(c + 1));
        lines.append(QStringLiteral("Mode=%1").arg(quint32(curve.Mode)));
        QStringList xs;
        for (const TCurvePoint &p : curve.Points)
            xs.append(QString::number(p.X));
        lines.append(QStringLiteral("Points=") + xs.join(QLatin1Char(',')));
        AppendRows(lines, curve.Table, [](std::int32_t v) { return QString::number(v); });
    }
}

TReadResult ReadPatchFile(const QStringList &lines, TPatchModel &patches) {
    Working w{ReaderKind::Patch, patches.CurPatch, patches.Patches, {}, {}};
    const TReadResult r = Reader(w).Run(lines);
    if (r)
        patches.Patches = w.patches;
    return r;
}

TReadResult ReadAllDataFile(const QStringList &lines, TPatchModel &patches, TLoadAttrModel &attrs,
                            TCurveSet &curves) {
    Working w{ReaderKind::AllData, patches.CurPatch, patches.Patches, attrs.LoadAttrs,
              curves.Curves};
    const TReadResult r = Reader(w).Run(lines);
    if (r) {
        patches.Patches = w.patches;
        attrs.LoadAttrs = w.attrs;
        curves.Curves = w.curves;
    }
    return r;
}

TReadResult ReadAttributeFile(const QStringList &lines, TLoadAttrModel &attrs) {
    Working w{ReaderKind::Attribute, -1, {}, attrs.LoadAttrs, {}};
    const TReadResult r = Reader(w).Run(lines);
    if (r)
        attrs.LoadAttrs = w.attrs;
    return r;
}

TReadResult ReadCurveFile(const QStringList &lines, TCurveSet &curves) {
    Working w{ReaderKind::Curve, -1, {}, {}, curves.Curves};
    const TReadResult r = Reader(w).Run(lines);
    if (r)
        curves.Curves = w.curves;
    return r;
}

TReadResult ReadPatchFile(const QString &fileName, TPatchModel &patches) {
    QStringList lines;
    return LoadTextLines(fileName, lines) ? ReadPatchFile(lines, patches) : CannotRead();
}

TReadResult ReadAllDataFile(const QString &fileName, TPatchModel &patches, TLoadAttrModel &attrs,
                            TCurveSet &curves) {
    QStringList lines;
    return LoadTextLines(fileName, lines) ? ReadAllDataFile(lines, patches, attrs, curves)
                                          : CannotRead();
}

TReadResult ReadAttributeFile(const QString &fileName, TLoadAttrModel &attrs) {
    QStringList lines;
    return LoadTextLines(fileName, lines) ? ReadAttributeFile(lines, attrs) : CannotRead();
}

TReadResult ReadCurveFile(const QString &fileName, TCurveSet &curves) {
    QStringList lines;
    return LoadTextLines(fileName, lines) ? ReadCurveFile(lines, curves) : CannotRead();
}

} // namespace kestrava
