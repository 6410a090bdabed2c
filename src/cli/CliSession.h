#pragma once

#include "CliOptions.h"
#include "Curve.h"
#include "DataFileKind.h"
#include "DataSetDiff.h"
#include "LoadAttrModel.h"
#include "PatchModel.h"
#include "Progress.h"
#include "UnitLink.h"

#include <QCoreApplication>
#include <QString>

namespace kestrava::cli {

// The messages the tool says in the user's language (the editor's choice of language).
struct Texts {
    Q_DECLARE_TR_FUNCTIONS(KestravaCli)
};

void PrintErr(const QString &text);
// "kestrava-cli: " and text on stderr; the exit code of a command used wrongly (2).
int UsageError(const QString &text);
// Opens the unit's port from the options (a COM number or a device path); on failure
// says why on stderr.
bool OpenUnitPort(TUnitLink &link, const CliOptions &o);
QString KindError(const QString &file);

// Reads a data file as a load reads it, "[Patch*]" standing for curPatch, and says on stderr
// why it cannot be used: the line and rule that failed, or that it holds nothing of its kind.
// check, restore, diff and export all decide by it, so none accepts a file another refuses.
bool ReadUsableFile(FileKind kind, const QString &file, int curPatch, TLoadFile &load);
// The same for a file taken to the unit: a one-patch file also needs a section for curPatch,
// the unit's current patch.
bool ReadFileForUnit(FileKind kind, const QString &file, int curPatch, TLoadFile &load);

// The unit for one command: the port opened as the program opens it, remote mode on, and on
// the way out the unit on the patch it was found on and remote mode off, also after a
// failed transfer. A unit that stopped answering is not sent anything more.
class TUnitSession {
    // Every box goes to stderr: nobody is there to answer a question.
    StderrResponder stderr_;

public:
    explicit TUnitSession(const CliOptions &o);
    ~TUnitSession();
    TUnitSession(const TUnitSession &) = delete;
    TUnitSession &operator=(const TUnitSession &) = delete;

    // Port open, remote mode on, the firmware and current patch read. False when the port
    // did not open or the unit did not answer (already reported).
    bool LinkUp();
    // The patch the unit was on (0..7), or -1 when it named none.
    int UnitPatch() const { return unitPatch_; }
    // Fetches the given parts into d; the current patch is the unit's. Patches already
    // marked in sync in d are not fetched. Failures are reported.
    bool Fetch(const QList<DataSection> &sections, TDataSet &d, TransferProgress &progress);

    TUnitLink link{TBoxes(stderr_)};

private:
    bool opened_;
    bool linked_ = false;
    bool patchMoved_ = false; // a transfer walked the patches and may not have come back
    int unitPatch_ = -1;
};

} // namespace kestrava::cli
