#pragma once

#include "Curve.h"
#include "DataFile.h"
#include "LoadAttrModel.h"
#include "PatchModel.h"

#include <QList>
#include <QString>
#include <QStringList>

// The five kinds of data file: what each is called, which parts it holds in which order,
// and how it is read and written. The editor's file commands and the command-line tool
// both go through this table.

namespace kestrava {

enum class FileKind { None, AllData, AllPatches, OnePatch, Attributes, Curves };

// The parts of a data file.
enum class DataSection {
    AllPatches,   // "[Patch1]".."[Patch8]"
    CurrentPatch, // "[Patch*]": the current patch
    Attributes,   // "[Attribute]"
    Curves,       // "[Curve1]".."[Curve4]"
};

struct TFileKindInfo {
    FileKind kind = FileKind::None;
    QString ext;                 // without the dot, lower case: "dat"
    QString defaultExt;          // what a save dialog appends: "DAT"
    const char *filterText = ""; // file dialog filter, "text (*.dat)|*.DAT", untranslated
    QList<DataSection> sections;
    // Fills the models a file of this kind holds from its lines; the others are not touched.
    TReadResult (*read)(const QStringList &lines, TPatchModel &patches, TLoadAttrModel &attrs,
                        TCurveSet &curves) = nullptr;

    QString filter() const; // filterText translated
};

// The five kinds in the order AllData, AllPatches, OnePatch, Attributes, Curves.
const QList<TFileKindInfo> &DataFileKinds();
// The entry of a kind; nullptr for FileKind::None.
const TFileKindInfo *FileKindInfo(FileKind kind);

// From the extension, without regard to case: .dat .pat .pt1 .atr .crv
FileKind FileKindOf(const QString &fileName);

// Reads fileName, or lines already loaded, with the reader of the kind.
TReadResult ReadDataFile(FileKind kind, const QString &fileName, TPatchModel &patches,
                         TLoadAttrModel &attrs, TCurveSet &curves);
TReadResult ReadDataLines(FileKind kind, const QStringList &lines, TPatchModel &patches,
                          TLoadAttrModel &attrs, TCurveSet &curves);

// The parts of the kind that a read met a section of, in the kind's order: what a command
// works on, rather than all the kind could hold.
QList<DataSection> HeldSections(FileKind kind, const TReadReport &found);
// Whether a read met any such section: a patch section for the two patch kinds,
// "[Attribute]", a curve section, or any of the three for all data.
bool HoldsSectionsOf(FileKind kind, const TReadReport &found);

// A data file read for a load before memory is touched: it is read over scratch models, so
// what it holds is known first, and laid over memory only when the load goes on.
struct TLoadFile {
    FileKind kind = FileKind::None;
    QStringList lines;
    TReadResult read;

    // Read without breaking a rule, and holding something of its kind.
    bool Usable() const { return read.ok && HoldsSectionsOf(kind, read.found); }
    // The file's values over the models (what it leaves out keeps memory's values). A file
    // that read once reads again, as long as the current patch is the one it was read for.
    bool LayOver(TPatchModel &patches, TLoadAttrModel &attrs, TCurveSet &curves) const;
};

// curPatch: the memory a "[Patch*]" section stands for.
TLoadFile ReadLoadFile(FileKind kind, const QString &fileName, int curPatch);
TLoadFile ReadLoadLines(FileKind kind, QStringList lines, int curPatch);
// Appends the sections of a file of this kind to lines. False, with nothing appended, for
// FileKind::None or a one-patch file while there is no current patch.
bool WriteDataFileLines(FileKind kind, QStringList &lines, const TPatchModel &patches,
                        const TLoadAttrModel &attrs, const TCurveSet &curves);

} // namespace kestrava
