#pragma once

#include "LoadAttrModel.h"
#include "Page.h"
#include "PatchModel.h"

#include <QWidget>

#include <memory>

class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QSlider;
class QToolButton;

namespace kestrava {

class TDrawGrid;
class TPatchEditor;
class TPatchTable;

// The patch page: the patch number, the output check panel, the SET tool bar and
// the patch table, with the handlers of the patch commands.
class TPatchPage : public QWidget, public TPage {
    Q_OBJECT
public:
    // attrs is only read: panel 3 shows the current output's load attribute.
    TPatchPage(TPatchModel &patches, const TLoadAttrModel &attrs, TPageContext context,
               QWidget *parent = nullptr);
    ~TPatchPage() override;

    // TPage
    void SetViewsEnabled(bool on) override;
    void Refresh() override;
    void Leaving() override;
    void SettingsChanged() override;
    void Tick() override;
    void FillState(UiState &s) const override;

    // Selects PatNoCombo's item without running the user's patch-change handler.
    void SelectPatNo(int patch);
    // Shows the memory chosen in PatNoCombo again (after a load or clearing all).
    void ShowChosenPatch();
    // Selection and anchor dropped (the loaded patch replaces what was selected).
    void DropSelection();
    // The grid's cursor on an output of the shown patch.
    void ShowOutput(int output);
    // The check goes off without a command (a reconnect starts from no check).
    void ForgetCheck();
    // Sends the check level as the reconnect does.
    void CheckLvlBarChange();
    int CheckLevel() const;
    void SetCheckLevel(int level); // without sending it

    TPatchTable &Table() const { return *table_; }

private:
    void buildWidgets();
    QFrame *buildCheckPanel();
    void connectCommands();
    void registerCommands();
    void registerSheetCommands();
    void connectControls();
    void connectTable();
    void layoutTable();
    void PatNoComboChange(int index);
    void ToolBarPatchActionExecute();
    void ClearOrThroughActionExecute(bool through);
    void ClrAllPatActionExecute();
    void RefreshInfoPanel();
    void followCheckActions();
    bool eventFilter(QObject *watched, QEvent *event) override;

    TPatchModel &patches_;
    const TLoadAttrModel &attrs_;
    TPageContext ctx_;
    std::unique_ptr<TPatchTable> table_;
    std::unique_ptr<TPatchEditor> editor_;
    bool selecting_ = false;
    bool layoutAb_ = false;

    QFrame *PatTopPanel = nullptr;
    QComboBox *PatNoCombo = nullptr;
    QFrame *ChkPanel = nullptr;
    QToolButton *CheckOnBtn = nullptr;
    QToolButton *CheckOffBtn = nullptr;
    QLabel *LevelLabel = nullptr;
    QSlider *CheckLvlBar = nullptr;
    QLineEdit *FromChEdit = nullptr;
    QLineEdit *ToChEdit = nullptr;
    QToolButton *PatSetBtn = nullptr;
    QToolButton *WritePatBtn = nullptr;
    TDrawGrid *PatTableGrid = nullptr;
};

} // namespace kestrava
