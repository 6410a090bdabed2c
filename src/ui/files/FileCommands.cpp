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

TFileCommands::TFileCommands(TPatchModel &patches, TLoadAttrModel &attrs, TCurveSet &curves,
                             TransferEnv &env, TActionMap &actions, TStatusBar &status,
                             QObject *parent)
    : QObject(parent), link_(env.link), patches_(patches), attrs_(attrs), curves_(curves),
      env_(env), actions_(actions), status_(status) {
    using enum ActionId;
    const std::pair<ActionId, bool (TFileCommands::*)()> commands[] = {
        {SaveAllDataAction, &TFileCommands::SaveAllDataActionExecute},
        {LoadAllDataAction, &TFileCommands::LoadAllDataActionExecute},
        {SaveAllPatAction, &TFileCommands::SaveAllPatActionExecute},
        {SaveCurPatAction, &TFileCommands::SaveCurPatActionExecute},
        {LoadAllPatAction, &TFileCommands::LoadAllPatActionExecute},
        {LoadCurPatAction, &TFileCommands::LoadCurPatActionExecute},
        {SaveLdAtrAction, &TFileCommands::SaveLdAtrActionExecute},
        {LoadLdAtrAction, &TFileCommands::LoadLdAtrActionExecute},
        {SaveCurveAction, &TFileCommands::SaveCurveActionExecute},
        {LoadCurveAction, &TFileCommands::LoadCurveActionExecute},
    };
    for (const auto &[id, command] : commands)
        actions_.On(id, [this, command] { (this->*command)(); });
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

bool TFileCommands::store(const QString &file, const QStringList &lines) const {
    if (SaveTextLines(file, lines))
        return true;
    env_.boxes.Error(tr("保存に失敗しました"));
    return false;
}

TLoadFile TFileCommands::readForLoad(FileKind kind, const QString &file) const {
    return ReadLoadFile(kind, file, patches_.CurPatch);
}

bool TFileCommands::allInSync() const {
    return std::ranges::all_of(patches_.PatchInSync, [](bool s) { return s; }) &&
           attrs_.LdAtrInSync && curves_.CurvesInSync;
}

bool TFileCommands::SaveAllDataActionExecute() {
    clearMessagePanel();
    const QString file = askFile(true, FileKind::AllData, ActionId::SaveAllDataAction);
    if (file.isEmpty())
        return false;
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
    ok = ok && (link_.EditMode || allInSync());
    QStringList lines;
    WriteDataFileLines(FileKind::AllData, lines, patches_, attrs_, curves_);
    if (!ok || !SaveTextLines(file, lines)) {
        env_.boxes.Error(tr("保存に失敗しました"));
        return false;
    }
    env_.boxes.Info(tr("保存が完了しました"));
    return true;
}

bool TFileCommands::SaveAllPatActionExecute() {
    clearMessagePanel();
    const QString file = askFile(true, FileKind::AllPatches, ActionId::SaveAllPatAction);
    if (file.isEmpty())
        return false;
    if (!link_.EditMode && !FetchAllPatches(env_, patches_))
        return false;
    QStringList lines;
    WriteDataFileLines(FileKind::AllPatches, lines, patches_, attrs_, curves_);
    if (!store(file, lines))
        return false;
    if (link_.EditMode) {
        patches_.MarkStored();
        patches_.ClearUndo();
    }
    env_.boxes.Info(tr("保存が完了しました"));
    return true;
}

bool TFileCommands::SaveCurPatActionExecute() {
    clearMessagePanel();
    const QString file = askFile(true, FileKind::OnePatch, ActionId::SaveCurPatAction);
    if (file.isEmpty())
        return false;
    QStringList lines;
    if (!WriteDataFileLines(FileKind::OnePatch, lines, patches_, attrs_, curves_)) {
        env_.boxes.Error(tr("保存に失敗しました"));
        return false;
    }
    return store(file, lines);
}

bool TFileCommands::SaveLdAtrActionExecute() {
    clearMessagePanel();
    const QString file = askFile(true, FileKind::Attributes, ActionId::SaveLdAtrAction);
    if (file.isEmpty())
        return false;
    QStringList lines;
    WriteDataFileLines(FileKind::Attributes, lines, patches_, attrs_, curves_);
    if (!store(file, lines))
        return false;
    if (link_.EditMode)
        attrs_.MarkStored();
    return true;
}

bool TFileCommands::SaveCurveActionExecute() {
    const QString file = askFile(true, FileKind::Curves, ActionId::SaveCurveAction);
    if (file.isEmpty())
        return false;
    QStringList lines;
    WriteDataFileLines(FileKind::Curves, lines, patches_, attrs_, curves_);
    if (!store(file, lines))
        return false;
    if (link_.EditMode)
        curves_.MarkStored();
    return true;
}

bool TFileCommands::LoadAllDataActionExecute() {
    clearMessagePanel();
    const QString file = askFile(false, FileKind::AllData, ActionId::LoadAllDataAction);
    if (file.isEmpty())
        return false;
    const TLoadFile load = readForLoad(FileKind::AllData, file);
    if (!load.Usable()) {
        env_.boxes.Error(tr("読込・転送に失敗しました"));
        return false;
    }
    if (!link_.Linked) {
        load.LayOver(patches_, attrs_, curves_);
        if (!link_.EditMode)
            MarkUnwritten(load.read.found, patches_, attrs_, curves_);
        Q_EMIT AllCurvesReplaced();
        Q_EMIT Loaded();
        return true;
    }
    const bool ok = TransferLoadedAllData(env_, patches_, attrs_, curves_, load);
    Q_EMIT AllCurvesReplaced();
    Q_EMIT Loaded();
    return ok;
}

bool TFileCommands::LoadAllPatActionExecute() {
    clearMessagePanel();
    const QString file = askFile(false, FileKind::AllPatches, ActionId::LoadAllPatAction);
    if (file.isEmpty())
        return false;
    const TLoadFile load = readForLoad(FileKind::AllPatches, file);
    if (!load.Usable()) {
        env_.boxes.Error(tr("ファイルの読込に失敗しました"));
        return false;
    }
    if (!link_.Linked) {
        load.LayOver(patches_, attrs_, curves_);
        if (link_.EditMode) {
            Q_EMIT PatchesReplaced();
            return true;
        }
        MarkPatchesUnwritten(patches_, load.read.found);
        Q_EMIT Loaded();
        return true;
    }
    Q_EMIT PatchSelectionDropped();
    const bool ok = TransferLoadedPatches(env_, patches_, load);
    Q_EMIT Loaded();
    return ok;
}

bool TFileCommands::LoadCurPatActionExecute() {
    clearMessagePanel();
    const QString file = askFile(false, FileKind::OnePatch, ActionId::LoadCurPatAction);
    if (file.isEmpty())
        return false;
    // Only the current patch is loaded, also from a file of all patches: its own section.
    const TLoadFile load = readForLoad(FileKind::OnePatch, file);
    const int p = patches_.CurPatch;
    if (!load.Usable() || !patches_.HasCurrent() ||
        !load.read.found.patchSections.test(std::size_t(p))) {
        env_.boxes.Error(tr("ファイルの読込に失敗しました"));
        return false;
    }
    if (!link_.Linked) {
        LayOverCurrentPatch(load, patches_);
        if (link_.EditMode) {
            Q_EMIT PatchesReplaced();
            return true;
        }
        patches_.MarkUnsent(p);
        Q_EMIT Loaded();
        return true;
    }
    Q_EMIT PatchSelectionDropped();
    const bool ok = TransferLoadedCurrentPatch(env_, patches_, load);
    Q_EMIT Loaded();
    return ok;
}

bool TFileCommands::LoadLdAtrActionExecute() {
    const QString file = askFile(false, FileKind::Attributes, ActionId::LoadLdAtrAction);
    if (file.isEmpty())
        return false;
    const TLoadFile load = readForLoad(FileKind::Attributes, file);
    if (!load.Usable()) {
        env_.boxes.Error(tr("読込に失敗しました"));
        return false;
    }
    load.LayOver(patches_, attrs_, curves_);
    if (!link_.EditMode)
        MarkUnwritten(load.read.found, patches_, attrs_, curves_);
    Q_EMIT Loaded();
    actions_.Execute(ActionId::WriteLdAtrAction);
    return link_.EditMode || !attrs_.LdAtrChanged;
}

bool TFileCommands::LoadCurveActionExecute() {
    const QString file = askFile(false, FileKind::Curves, ActionId::LoadCurveAction);
    if (file.isEmpty())
        return false;
    const TLoadFile load = readForLoad(FileKind::Curves, file);
    if (!load.Usable()) {
        env_.boxes.Error(tr("読込に失敗しました"));
        return false;
    }
    load.LayOver(patches_, attrs_, curves_);
    if (!link_.EditMode)
        MarkUnwritten(load.read.found, patches_, attrs_, curves_);
    actions_.Execute(ActionId::WriteCurveAction);
    const bool written = link_.EditMode || !curves_.CurveChanged;
    Q_EMIT CurvesLoaded();
    Q_EMIT Loaded();
    return written;
}

} // namespace kestrava
