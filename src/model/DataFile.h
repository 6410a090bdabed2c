#pragma once

#include "Curve.h"
#include "LoadAttrModel.h"
#include "PatchModel.h"

#include <QString>
#include <QStringList>

#include <array>
#include <bitset>

namespace kestrava {

// Highest input channel number a patch field may hold: what three hexadecimal digits carry.
inline constexpr int MaxFileInputChannel = 4096;

// Why a read failed.
enum class TReadRule {
    None,
    CannotRead,         // the file could not be opened or read
    DataBeforeHeader,   // a data line before any section header
    PatchHeaderNumber,  // "[Patch" header whose number this reader does not take
    NoCurrentPatch,     // "[Patch*]" data while there is no current patch
    PatchFieldCount,    // patch data line without 16 fields
    PatchTooManyValues, // more than 1024 patch values in a section
    PatchInputRange,    // patch field with a number outside 0..4096
    AttrFieldCount,     // attribute data line without 16 fields
    AttrTooManyValues,  // more than 1024 attribute values
    AttrCode,           // attribute code other than 000..003, 080, 081
    CurveHeaderNumber,  // "[Curve" header whose number is not 1..4
    UnknownHeader,      // a header this reader does not know
    CurveFieldCount,    // curve table line without 16 fields
    CurveTooManyValues, // more than 256 table values in a section
    CurveValueRange,    // table value outside 0..255
    CurveMode,          // "Mode=" with a number other than 0, 1, 2
    CurveTooManyPoints, // more interior control points than the unit's 15 slots
};

QString ReadRuleText(TReadRule rule);

// What a read met of the sections its reader takes, and how far each got, so that a command
// can tell a file that holds nothing for it, and which values the file leaves to memory.
// A section holds its values from output 1 on; a repeated header starts again there, so the
// longest one counts. A curve section holds its whole table and points (its header starts the
// curve afresh) but its mode only with a "Mode=" line.
struct TReadReport {
    std::bitset<PatchCount> patchSections;     // by memory ("[Patch*]" counts as the current one)
    std::array<int, PatchCount> patchValues{}; // the most values one section stored, from output 1
    bool attributeSection = false;
    int attributeValues = 0; // the most values one "[Attribute]" section stored
    std::bitset<4> curveSections;
    std::bitset<4> curveModes; // curve sections with a "Mode=" line

    // Every value other holds is held here too (an empty section is covered by its header).
    bool Covers(const TReadReport &other) const;

    bool FillsPatch(int p) const {
        return IsPatchIndex(p) && patchValues[std::size_t(p)] >= OutputCount;
    }
    bool FillsAttributes() const { return attributeValues >= LoadAttrCount; }
    bool HoldsAllCurves() const { return curveSections.all(); }
};

// Outcome of a read: line is the 1-based line that broke the rule (0 for the file as a whole).
struct TReadResult {
    bool ok = true;
    int line = 0;
    TReadRule rule = TReadRule::None;
    TReadReport found;

    explicit operator bool() const { return ok; }
    QString ruleText() const { return ReadRuleText(rule); }
    QString message() const; // "line 12: ..." for reports
};

// Section writers: each appends its lines.
void WritePatchSections(QStringList &lines, const TPatchModel &patches);
// "[PatchN]" and the 64 lines of memory patch (0..7).
void WriteNumberedPatchSection(QStringList &lines, const TPatchModel &patches, int patch);
// "[Patch*]" and the 64 lines of one memory; false and nothing written for a bad index.
bool WriteOnePatchSection(QStringList &lines, const TPatchModel &patches, int patch);
void WriteAttributeSection(QStringList &lines, const TLoadAttrModel &attrs);
void WriteCurveSections(QStringList &lines, const TCurveSet &curves);

// Readers. Each reads the whole text into a copy of the data it fills and applies the copy
// only when no rule was broken, so a failed read leaves the models as they were. Flags are
// not touched; that is up to the command. The QStringList forms read lines already loaded.
TReadResult ReadPatchFile(const QString &fileName, TPatchModel &patches);
TReadResult ReadPatchFile(const QStringList &lines, TPatchModel &patches);
TReadResult ReadAllDataFile(const QString &fileName, TPatchModel &patches, TLoadAttrModel &attrs,
                            TCurveSet &curves);
TReadResult ReadAllDataFile(const QStringList &lines, TPatchModel &patches, TLoadAttrModel &attrs,
                            TCurveSet &curves);
TReadResult ReadAttributeFile(const QString &fileName, TLoadAttrModel &attrs);
TReadResult ReadAttributeFile(const QStringList &lines, TLoadAttrModel &attrs);
TReadResult ReadCurveFile(const QString &fileName, TCurveSet &curves);
TReadResult ReadCurveFile(const QStringList &lines, TCurveSet &curves);

} // namespace kestrava
