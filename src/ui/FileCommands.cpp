#include "FileCommands.h"

#include "ActionMap.h"
#include "DataFile.h"
#include "DataFileKind.h"
#include "DataTransfer.h"
#include "PatchTransfer.h"
#include "TextLines.h"
#include "Usr_misc.h"
#include "Usr_spbar.h"

#include <QCoreApplication>

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
    r.initialDir = QCoreApplication::applicationDirPath();
    return RunFileDialog(r);
}

bool TFileCommands::store(const QString &file, const QStringList &lines) const {
    if (SaveTextLines(file, lines))
        return true;
    ShowErrorBox(tr("保存に失敗しました"));
    return false;
}

bool TFileCommands::SaveAllDataActionExecute() {
    clearMessagePanel();
    const QString file = askFile(true, FileKind::AllData, ActionId::SaveAllDataAction);
    if (file.isEmpty())
        return false;
    bool ok = true;
    if (link_.Linked) {
        ok = FetchAllPatches(env_, patches_);
        ok = ok && actions_.Execute(ActionId::GetLdAtrAcion) && attrs_.LdAtrInSync;
        ok = ok && actions_.Execute(ActionId::GetCurveAction) && curves_.CurvesInSync;
    }
    QStringList lines;
    WriteDataFileLines(FileKind::AllData, lines, patches_, attrs_, curves_);
    if (!ok || !SaveTextLines(file, lines)) {
        ShowErrorBox(tr("保存に失敗しました"));
        return false;
    }
    ShowInfoBox(tr("保存が完了しました"));
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
        patches_.PatchChanged = false;
        patches_.ClearUndo();
    }
    ShowInfoBox(tr("保存が完了しました"));
    return true;
}

bool TFileCommands::SaveCurPatActionExecute() {
    clearMessagePanel();
    const QString file = askFile(true, FileKind::OnePatch, ActionId::SaveCurPatAction);
    if (file.isEmpty())
        return false;
    QStringList lines;
    if (!WriteDataFileLines(FileKind::OnePatch, lines, patches_, attrs_, curves_)) {
        ShowErrorBox(tr("保存に失敗しました"));
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
        attrs_.LdAtrChanged = false;
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
        curves_.CurveChanged = false;
    return true;
}

bool TFileCommands::LoadAllDataActionExecute() {
    clearMessagePanel();
    const QString file = askFile(false, FileKind::AllData, ActionId::LoadAllDataAction);
    if (file.isEmpty())
        return false;
    if (!ReadAllDataFile(file, patches_, attrs_, curves_)) {
        ShowErrorBox(tr("読込・転送に失敗しました"));
        return false;
    }
    Q_EMIT Loaded();
    if (!link_.Linked)
        return true;
    return TransferLoadedAllData(env_, patches_, attrs_, curves_);
}

bool TFileCommands::LoadAllPatActionExecute() {
    clearMessagePanel();
    const QString file = askFile(false, FileKind::AllPatches, ActionId::LoadAllPatAction);
    if (file.isEmpty())
        return false;
    if (!ReadPatchFile(file, patches_)) {
        ShowErrorBox(tr("ファイルの読込に失敗しました"));
        return false;
    }
    if (link_.EditMode) {
        Q_EMIT PatchesReplaced();
        return true;
    }
    if (!link_.Linked) {
        // The link was lost: the file is in memory, and the view shows it.
        Q_EMIT Loaded();
        return true;
    }
    Q_EMIT PatchSelectionDropped();
    Q_EMIT Loaded();
    const bool ok = TransferLoadedPatches(env_, patches_);
    Q_EMIT Loaded();
    return ok;
}

bool TFileCommands::LoadCurPatActionExecute() {
    clearMessagePanel();
    const QString file = askFile(false, FileKind::OnePatch, ActionId::LoadCurPatAction);
    if (file.isEmpty())
        return false;
    if (!ReadPatchFile(file, patches_)) {
        ShowErrorBox(tr("ファイルの読込に失敗しました"));
        Q_EMIT PatchesReplaced();
        return false;
    }
    if (link_.EditMode) {
        Q_EMIT PatchesReplaced();
        return true;
    }
    Q_EMIT PatchSelectionDropped();
    Q_EMIT Loaded();
    const bool ok = TransferLoadedCurrentPatch(env_, patches_);
    Q_EMIT Loaded();
    return ok;
}

bool TFileCommands::LoadLdAtrActionExecute() {
    const QString file = askFile(false, FileKind::Attributes, ActionId::LoadLdAtrAction);
    if (file.isEmpty())
        return false;
    if (!ReadAttributeFile(file, attrs_)) {
        ShowErrorBox(tr("読込に失敗しました"));
        return false;
    }
    Q_EMIT Loaded();
    actions_.Execute(ActionId::WriteLdAtrAction);
    return true;
}

bool TFileCommands::LoadCurveActionExecute() {
    const QString file = askFile(false, FileKind::Curves, ActionId::LoadCurveAction);
    if (file.isEmpty())
        return false;
    if (!ReadCurveFile(file, curves_)) {
        ShowErrorBox(tr("読込に失敗しました"));
        return false;
    }
    actions_.Execute(ActionId::WriteCurveAction);
    Q_EMIT CurvesLoaded();
    Q_EMIT Loaded();
    return true;
}

} // namespace kestrava
