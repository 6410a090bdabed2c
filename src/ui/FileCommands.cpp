#include "FileCommands.h"

#include "DataFile.h"
#include "DataTransfer.h"
#include "PatchTransfer.h"
#include "TextLines.h"
#include "Usr_misc.h"

#include <QCoreApplication>

namespace kestrava {

namespace {

QString tr(const char *text) {
    return QCoreApplication::translate("TFileCommands", text);
}

struct KindText {
    const char *filter;
    const char *ext;
};

} // namespace

QString TFileCommands::askFile(bool save, Kind kind, const QString &action) const {
    static const KindText kinds[] = {
        {"データファイル (*.dat)|*.DAT", "DAT"}, {"パッチデータ (*.pat)|*.PAT", "PAT"},
        {"パッチデータ (*.pt1)|*.PT1", "PT1"},   {"負荷属性データ (*.atr)|*.ATR", "ATR"},
        {"カーブデータ (*.crv)|*.CRV", "CRV"},
    };
    const KindText &k = kinds[int(kind)];
    FileDialogRequest r;
    r.save = save;
    r.title = h.caption(action);
    r.filter = tr(k.filter);
    r.defaultExt = QLatin1String(k.ext);
    r.fileName = QStringLiteral("*.") + QString::fromLatin1(k.ext).toLower();
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
    h.clearMessagePanel();
    const QString file = askFile(true, Kind::AllData, QStringLiteral("SaveAllDataAction"));
    if (file.isEmpty())
        return false;
    bool ok = true;
    if (h.link.Linked) {
        ok = FetchAllPatches(h.env, h.patches);
        ok = ok && h.execute(QStringLiteral("GetLdAtrAcion")) && h.attrs.LdAtrInSync;
        ok = ok && h.execute(QStringLiteral("GetCurveAction")) && h.curves.CurvesInSync;
    }
    QStringList lines;
    WritePatchSections(lines, h.patches);
    WriteAttributeSection(lines, h.attrs);
    WriteCurveSections(lines, h.curves);
    if (!ok || !SaveTextLines(file, lines)) {
        ShowErrorBox(tr("保存に失敗しました"));
        return false;
    }
    ShowInfoBox(tr("保存が完了しました"));
    return true;
}

bool TFileCommands::SaveAllPatActionExecute() {
    h.clearMessagePanel();
    const QString file = askFile(true, Kind::AllPatches, QStringLiteral("SaveAllPatAction"));
    if (file.isEmpty())
        return false;
    if (!h.link.EditMode && !FetchAllPatches(h.env, h.patches))
        return false;
    QStringList lines;
    WritePatchSections(lines, h.patches);
    if (!store(file, lines))
        return false;
    if (h.link.EditMode) {
        h.patches.PatchChanged = false;
        h.patches.ClearUndo();
    }
    ShowInfoBox(tr("保存が完了しました"));
    return true;
}

bool TFileCommands::SaveCurPatActionExecute() {
    h.clearMessagePanel();
    const QString file = askFile(true, Kind::OnePatch, QStringLiteral("SaveCurPatAction"));
    if (file.isEmpty())
        return false;
    QStringList lines;
    if (!WriteOnePatchSection(lines, h.patches, h.patches.CurPatch)) {
        ShowErrorBox(tr("保存に失敗しました"));
        return false;
    }
    return store(file, lines);
}

bool TFileCommands::SaveLdAtrActionExecute() {
    h.clearMessagePanel();
    const QString file = askFile(true, Kind::Attributes, QStringLiteral("SaveLdAtrAction"));
    if (file.isEmpty())
        return false;
    QStringList lines;
    WriteAttributeSection(lines, h.attrs);
    if (!store(file, lines))
        return false;
    if (h.link.EditMode)
        h.attrs.LdAtrChanged = false;
    return true;
}

bool TFileCommands::SaveCurveActionExecute() {
    const QString file = askFile(true, Kind::Curves, QStringLiteral("SaveCurveAction"));
    if (file.isEmpty())
        return false;
    QStringList lines;
    WriteCurveSections(lines, h.curves);
    if (!store(file, lines))
        return false;
    if (h.link.EditMode)
        h.curves.CurveChanged = false;
    return true;
}

bool TFileCommands::LoadAllDataActionExecute() {
    h.clearMessagePanel();
    const QString file = askFile(false, Kind::AllData, QStringLiteral("LoadAllDataAction"));
    if (file.isEmpty())
        return false;
    if (!ReadAllDataFile(file, h.patches, h.attrs, h.curves)) {
        ShowErrorBox(tr("読込・転送に失敗しました"));
        return false;
    }
    h.refreshViews();
    if (!h.link.Linked)
        return true;
    return TransferLoadedAllData(h.env, h.patches, h.attrs, h.curves);
}

bool TFileCommands::LoadAllPatActionExecute() {
    h.clearMessagePanel();
    const QString file = askFile(false, Kind::AllPatches, QStringLiteral("LoadAllPatAction"));
    if (file.isEmpty())
        return false;
    if (!ReadPatchFile(file, h.patches)) {
        ShowErrorBox(tr("ファイルの読込に失敗しました"));
        return false;
    }
    if (h.link.EditMode) {
        h.patNoComboChange();
        return true;
    }
    if (!h.link.Linked) {
        // The link was lost: the file is in memory, and the view shows it.
        h.refreshViews();
        return true;
    }
    h.clearSelection();
    h.refreshViews();
    const bool ok = TransferLoadedPatches(h.env, h.patches);
    h.refreshViews();
    return ok;
}

bool TFileCommands::LoadCurPatActionExecute() {
    h.clearMessagePanel();
    const QString file = askFile(false, Kind::OnePatch, QStringLiteral("LoadCurPatAction"));
    if (file.isEmpty())
        return false;
    if (!ReadPatchFile(file, h.patches)) {
        ShowErrorBox(tr("ファイルの読込に失敗しました"));
        h.patNoComboChange();
        return false;
    }
    if (h.link.EditMode) {
        h.patNoComboChange();
        return true;
    }
    h.clearSelection();
    h.refreshViews();
    const bool ok = TransferLoadedCurrentPatch(h.env, h.patches);
    h.refreshViews();
    return ok;
}

bool TFileCommands::LoadLdAtrActionExecute() {
    const QString file = askFile(false, Kind::Attributes, QStringLiteral("LoadLdAtrAction"));
    if (file.isEmpty())
        return false;
    if (!ReadAttributeFile(file, h.attrs)) {
        ShowErrorBox(tr("読込に失敗しました"));
        return false;
    }
    h.refreshViews();
    h.execute(QStringLiteral("WriteLdAtrAction"));
    return true;
}

bool TFileCommands::LoadCurveActionExecute() {
    const QString file = askFile(false, Kind::Curves, QStringLiteral("LoadCurveAction"));
    if (file.isEmpty())
        return false;
    if (!ReadCurveFile(file, h.curves)) {
        ShowErrorBox(tr("読込に失敗しました"));
        return false;
    }
    h.execute(QStringLiteral("WriteCurveAction"));
    h.showCurveMode();
    h.refreshViews();
    return true;
}

} // namespace kestrava
