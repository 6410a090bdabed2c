#include "HistoryCommands.h"

#include "ActionMap.h"
#include "AppSettings.h"
#include "CompareView.h"
#include "Desktop.h"
#include "FileCommands.h"
#include "HistoryWindow.h"
#include "InstallLayout.h"
#include "Snapshot.h"

#include <memory>

namespace kestrava {

THistoryCommands::THistoryCommands(TPatchModel &patches, TLoadAttrModel &attrs, TCurveSet &curves,
                                   TransferEnv &env, TActionMap &actions, const TDesktop &desktop,
                                   TFileCommands &files, const TAppSettings &settings,
                                   QWidget *window)
    : QObject(window), patches_(patches), attrs_(attrs), curves_(curves), env_(env),
      actions_(actions), desktop_(desktop), files_(files), settings_(settings), window_(window) {
    actions_.On(ActionId::CompareFileAction, [this] {
        QStringList filters;
        for (const TFileKindInfo &k : DataFileKinds())
            filters << k.filter();
        FileDialogRequest r;
        r.title = actions_.Action(ActionId::CompareFileAction)->text();
        r.filter = filters.join(u'|');
        r.initialDir = FileDialogStartFolder();
        const QString file = env_.boxes.FileDialog(r);
        if (!file.isEmpty())
            Compare(file);
    });
    actions_.On(ActionId::HistoryAction, [this] { showHistory(); });
}

bool THistoryCommands::Differences(const QString &file, QList<TDataDifference> &out) {
    const FileKind kind = FileKindOf(file);
    const TLoadFile load = ReadLoadFile(kind, file, patches_.CurPatch);
    if (kind == FileKind::None || !load.Usable()) {
        env_.boxes.Error(tr("ファイルの読込に失敗しました"));
        return false;
    }
    // Eight patch memories on each side: kept off the stack.
    const auto fileSide = std::make_unique<TDataSet>();
    fileSide->patches.SelectCurrent(patches_.CurPatch);
    load.LayOver(fileSide->patches, fileSide->attrs, fileSide->curves);
    const TReadReport &found = load.read.found;
    const auto unitSide = std::make_unique<TDataSet>(TDataSet{patches_, attrs_, curves_});
    if (env_.link.Linked && !env_.link.EditMode) {
        const auto unit = std::make_unique<TSnapshot>(
            env_, QStringLiteral("Compare"),
            TSnapshotParts{found.patchSections, found.attributeSection, found.curveSections.any()},
            patches_, attrs_, curves_);
        unit->ReadAlways();
        if (!unit->ReadAttrsAndCurves() || !unit->ReadPatches())
            return false;
        *unitSide = unit->Data();
    }
    out = DiffDataSets(HeldSections(kind, found), found, *unitSide, *fileSide);
    return true;
}

void THistoryCommands::Compare(const QString &file) {
    QList<TDataDifference> differences;
    if (!Differences(file, differences))
        return;
    TCompareView view(file, differences, settings_.DispAbCh, window_);
    connect(&view, &TCompareView::GoTo, this, [this, &view](Page page, int patch, int output) {
        view.accept();
        Q_EMIT GoTo(page, patch, output);
    });
    desktop_.RunModal(view);
}

void THistoryCommands::showHistory() {
    THistoryWindow window(HistoryFolder(env_.link), desktop_, window_);
    const int choice = desktop_.RunModal(window);
    const QString path = window.ChosenPath();
    if (path.isEmpty())
        return;
    if (choice == THistoryWindow::CompareChosen)
        Compare(path);
    else if (choice == THistoryWindow::LoadChosen)
        files_.LoadFile(FileKind::AllData, path);
}

} // namespace kestrava
