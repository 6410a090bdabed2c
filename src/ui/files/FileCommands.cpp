#include "FileCommands.h"

#include "ActionMap.h"
#include "DataFile.h"
#include "DataFileKind.h"
#include "DataTransfer.h"
#include "InstallLayout.h"
#include "PatchTransfer.h"
#include "TextLines.h"
#include "Usr_misc.h"
#include "Usr_spbar.h"

#include <QCoreApplication>

#include <algorithm>

namespace kestrava {

namespace {

// What a save does before it writes its file.
enum class SaveFirst {
    Nothing,
    FetchPatches, // all patches from the unit, unless in edit mode
    FetchAll,     // everything from the unit while linked; the file must then equal it
};

// The model a save in edit mode marks stored (memory is then the data).
enum class Stores { Nothing, Patches, Attrs, Curves };

struct SaveRow {
    ActionId action;
    FileKind kind;
    bool clearsMessage; // the message panel emptied first
    SaveFirst first;
    Stores stores;
    bool saysDone; // "保存が完了しました" at the end
};

using enum ActionId;

const SaveRow kSaves[] = {
    {SaveAllDataAction, FileKind::AllData, true, SaveFirst::FetchAll, Stores::Nothing, true},
    {SaveAllPatAction, FileKind::AllPatches, true, SaveFirst::FetchPatches, Stores::Patches, true},
    {SaveCurPatAction, FileKind::OnePatch, true, SaveFirst::Nothing, Stores::Nothing, false},
    {SaveLdAtrAction, FileKind::Attributes, true, SaveFirst::Nothing, Stores::Attrs, false},
    {SaveCurveAction, FileKind::Curves, false, SaveFirst::Nothing, Stores::Curves, false},
};

// How a load goes to the unit while linked; nullptr: the page's write command takes it there
// (and decides by its own rule whether the unit is linked).
using LoadTransfer = bool (*)(TransferEnv &env, TPatchModel &patches, TLoadAttrModel &attrs,
                              TCurveSet &curves, const TLoadFile &load);

bool transferAllData(TransferEnv &env, TPatchModel &patches, TLoadAttrModel &attrs,
                     TCurveSet &curves, const TLoadFile &load) {
    return TransferLoadedAllData(env, patches, attrs, curves, load);
}

bool transferPatches(TransferEnv &env, TPatchModel &patches, TLoadAttrModel &, TCurveSet &,
                     const TLoadFile &load) {
    return TransferLoadedPatches(env, patches, load);
}

bool transferCurrentPatch(TransferEnv &env, TPatchModel &patches, TLoadAttrModel &, TCurveSet &,
                          const TLoadFile &load) {
    return TransferLoadedCurrentPatch(env, patches, load);
}

struct LoadRow {
    ActionId action;
    FileKind kind;
    bool clearsMessage;
    const char *failure; // the box when the file cannot be used
    LoadTransfer transfer;
    ActionId write = {}; // without a transfer: the command that writes what was loaded
};

const LoadRow kLoads[] = {
    {LoadAllDataAction, FileKind::AllData, true,
     QT_TRANSLATE_NOOP("kestrava::TFileCommands", "読込・転送に失敗しました"), &transferAllData},
    {LoadAllPatAction, FileKind::AllPatches, true,
     QT_TRANSLATE_NOOP("kestrava::TFileCommands", "ファイルの読込に失敗しました"),
     &transferPatches},
    {LoadCurPatAction, FileKind::OnePatch, true,
     QT_TRANSLATE_NOOP("kestrava::TFileCommands", "ファイルの読込に失敗しました"),
     &transferCurrentPatch},
    {LoadLdAtrAction, FileKind::Attributes, false,
     QT_TRANSLATE_NOOP("kestrava::TFileCommands", "読込に失敗しました"), nullptr, WriteLdAtrAction},
    {LoadCurveAction, FileKind::Curves, false,
     QT_TRANSLATE_NOOP("kestrava::TFileCommands", "読込に失敗しました"), nullptr, WriteCurveAction},
};

} // namespace

TFileCommands::TFileCommands(TPatchModel &patches, TLoadAttrModel &attrs, TCurveSet &curves,
                             TransferEnv &env, TActionMap &actions, TStatusBar &status,
                             QObject *parent)
    : QObject(parent), link_(env.link), patches_(patches), attrs_(attrs), curves_(curves),
      env_(env), actions_(actions), status_(status) {
    for (const SaveRow &row : kSaves)
        actions_.On(row.action, [this, kind = row.kind] { Save(kind); });
    for (const LoadRow &row : kLoads)
        actions_.On(row.action, [this, kind = row.kind] { Load(kind); });
}

void TFileCommands::clearMessagePanel() {
    status_.setPanelText(1, QString());
}

QString TFileCommands::askFile(bool save, FileKind kind, ActionId action) const {
    const TFileKindInfo &k = *FileKindInfo(kind);
    FileDialogRequest r;
    r.save = save;
    r.title = actions_.Action(action)->text();
    r.filter = k.filter();
    r.defaultExt = k.defaultExt;
    r.fileName = QStringLiteral("*.") + k.ext;
    r.initialDir = FileDialogStartFolder();
    return env_.boxes.FileDialog(r);
}

bool TFileCommands::allInSync() const {
    return std::ranges::all_of(patches_.PatchInSync, [](bool s) { return s; }) &&
           attrs_.LdAtrInSync && curves_.CurvesInSync;
}

bool TFileCommands::fetchAllForSave() {
    bool ok = true;
    if (link_.Linked) {
        // The fetches clear the changed flags by their own rule; a save changes none.
        const bool attrsChanged = attrs_.LdAtrChanged;
        const bool curvesChanged = curves_.CurveChanged;
        ok = FetchAllPatches(env_, patches_);
        if (ok) {
            actions_.Execute(ActionId::GetLdAtrAcion);
            ok = attrs_.LdAtrInSync;
        }
        if (ok) {
            actions_.Execute(ActionId::GetCurveAction);
            ok = curves_.CurvesInSync;
        }
        // The fetches can only have cleared the flags: earlier edits are still unwritten.
        if (attrsChanged)
            attrs_.MarkEdited();
        if (curvesChanged)
            curves_.MarkEdited();
    }
    // Outside edit mode the file stands for the unit: what memory holds of it must be the
    // unit's, never blanks that were not fetched. In edit mode memory is the data.
    return ok && (link_.EditMode || allInSync());
}

bool TFileCommands::Save(FileKind kind) {
    const SaveRow &row = *std::ranges::find(kSaves, kind, &SaveRow::kind);
    if (row.clearsMessage)
        clearMessagePanel();
    const QString file = askFile(true, kind, row.action);
    if (file.isEmpty())
        return false;
    if (row.first == SaveFirst::FetchPatches && !link_.EditMode && !FetchAllPatches(env_, patches_))
        return false; // the fetch said why
    const bool ready = row.first != SaveFirst::FetchAll || fetchAllForSave();
    QStringList lines;
    if (!ready || !WriteDataFileLines(kind, lines, patches_, attrs_, curves_) ||
        !SaveTextLines(file, lines)) {
        env_.boxes.Error(tr("保存に失敗しました"));
        return false;
    }
    if (link_.EditMode && row.stores == Stores::Patches) {
        patches_.MarkStored();
        patches_.ClearUndo();
    } else if (link_.EditMode && row.stores == Stores::Attrs) {
        attrs_.MarkStored();
    } else if (link_.EditMode && row.stores == Stores::Curves) {
        curves_.MarkStored();
    }
    if (row.saysDone)
        env_.boxes.Info(tr("保存が完了しました"));
    return true;
}

bool TFileCommands::Load(FileKind kind) {
    const LoadRow &row = *std::ranges::find(kLoads, kind, &LoadRow::kind);
    if (row.clearsMessage)
        clearMessagePanel();
    const QString file = askFile(false, kind, row.action);
    return !file.isEmpty() && LoadFile(kind, file);
}

bool TFileCommands::LoadFile(FileKind kind, const QString &file) {
    const LoadRow &row = *std::ranges::find(kLoads, kind, &LoadRow::kind);
    const TLoadFile load = ReadLoadFile(kind, file, patches_.CurPatch);
    // Only the current patch is loaded, also from a file of all patches: its own section.
    const bool usable =
        load.Usable() && (kind != FileKind::OnePatch ||
                          (patches_.HasCurrent() &&
                           load.read.found.patchSections.test(std::size_t(patches_.CurPatch))));
    if (!usable) {
        env_.boxes.Error(tr(row.failure));
        return false;
    }
    if (!row.transfer)
        return layOverAndWrite(load, row.write);
    if (!link_.Linked)
        return layOverMemory(load);
    if (kind != FileKind::AllData)
        Q_EMIT PatchSelectionDropped();
    const bool ok = row.transfer(env_, patches_, attrs_, curves_, load);
    if (kind == FileKind::AllData)
        Q_EMIT AllCurvesReplaced();
    Q_EMIT Loaded();
    return ok;
}

bool TFileCommands::layOverMemory(const TLoadFile &load) {
    if (load.kind == FileKind::OnePatch)
        LayOverCurrentPatch(load, patches_);
    else
        load.LayOver(patches_, attrs_, curves_);
    if (load.kind == FileKind::AllData) {
        if (!link_.EditMode)
            MarkUnwritten(load.read.found, patches_, attrs_, curves_);
        Q_EMIT AllCurvesReplaced();
    } else if (link_.EditMode) {
        Q_EMIT PatchesReplaced();
        return true;
    } else if (load.kind == FileKind::AllPatches) {
        MarkPatchesUnwritten(patches_, load.read.found);
    } else {
        patches_.MarkUnsent(patches_.CurPatch);
    }
    Q_EMIT Loaded();
    return true;
}

bool TFileCommands::layOverAndWrite(const TLoadFile &load, ActionId write) {
    load.LayOver(patches_, attrs_, curves_);
    if (!link_.EditMode)
        MarkUnwritten(load.read.found, patches_, attrs_, curves_);
    const bool attrs = write == ActionId::WriteLdAtrAction;
    if (attrs)
        Q_EMIT Loaded();
    actions_.Execute(write);
    if (attrs)
        return link_.EditMode || !attrs_.LdAtrChanged;
    const bool written = link_.EditMode || !curves_.CurveChanged;
    Q_EMIT CurvesLoaded();
    Q_EMIT Loaded();
    return written;
}

} // namespace kestrava
