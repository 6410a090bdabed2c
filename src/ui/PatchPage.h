#pragma once

#include "PatchModel.h"

#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QSlider>
#include <QTableWidget>
#include <QToolButton>
#include <QWidget>

namespace kestrava {

class TUnitLink;

// The patch page: the patch number, the output check panel, the SET tool bar and
// the patch table.
class TPatchPage : public QWidget {
    Q_OBJECT
public:
    TPatchPage(TPatchModel &patches, TUnitLink &link, QWidget *parent = nullptr);

    // Selects PatNoCombo's item without running the user's patch-change handler.
    void SelectPatNo(int patch);
    // PatTableGrid and PatNoCombo off while a transfer runs on this page.
    void SetViewsEnabled(bool on);
    void RepaintTable();
    // Lays the table out: output-to-input (mode 0) with width outputs a row, or one
    // row for each input, FULL and unpatched (mode 1).
    void LayoutTable(int mode, int width, bool ab);

    int CheckLevel() const { return CheckLvlBar->value(); }
    void SetCheckLevel(int level); // without sending it
    // CheckLvlBarChange: shows the level and sends it, only while linked.
    void CheckLvlBarChange();
    // CheckOffAction: the check ends and CheckOffBtn is down.
    void CheckOffActionExecute();

    int CheckOutput = -1;

    QFrame *PatTopPanel;
    QLabel *Label1;
    QComboBox *PatNoCombo;
    QFrame *ChkPanel;
    QLabel *CheckTitle;
    QToolButton *CheckOnBtn;
    QToolButton *CheckOffBtn;
    QLabel *LevelLabel;
    QSlider *CheckLvlBar;
    QLineEdit *FromChEdit;
    QLineEdit *ToChEdit;
    QToolButton *PatSetBtn;
    QToolButton *WritePatBtn;
    QFrame *Panel2;
    QTableWidget *PatTableGrid;

Q_SIGNALS:
    // The user picked another patch number (not a programmatic selection).
    void PatNoComboChange(int index);

private:
    TPatchModel &patches_;
    TUnitLink &link_;
    bool selecting_ = false;
    int mode_ = 0;
    int width_ = 10;
    bool ab_ = false;
};

} // namespace kestrava
