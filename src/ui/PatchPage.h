#pragma once

#include "PatchModel.h"

#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QSlider>
#include <QToolButton>
#include <QWidget>

namespace kestrava {

class TDrawGrid;
class TPatchTable;

// The patch page: the patch number, the output check panel, the SET tool bar and
// the patch table.
class TPatchPage : public QWidget {
    Q_OBJECT
public:
    explicit TPatchPage(TPatchModel &patches, QWidget *parent = nullptr);

    // Selects PatNoCombo's item without running the user's patch-change handler.
    void SelectPatNo(int patch);
    // PatTableGrid and PatNoCombo off while a transfer runs on this page.
    void SetViewsEnabled(bool on);
    void RepaintTable();
    // Lays the table out: output-to-input (mode 0) with width outputs a row, or one
    // row for each input, FULL and unpatched (mode 1); the SET edits follow the view.
    void LayoutTable(int mode, int width, bool ab);

    int CheckLevel() const { return CheckLvlBar->value(); }
    void SetCheckLevel(int level); // without sending it

    TPatchTable *Table = nullptr;

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
    TDrawGrid *PatTableGrid;

Q_SIGNALS:
    // The user picked another patch number (not a programmatic selection).
    void PatNoComboChange(int index);
    void CheckLvlBarChange(int level);
    void FromChEditEnter();
    void ToChEditEnter();

private:
    TPatchModel &patches_;
    bool eventFilter(QObject *watched, QEvent *event) override;
    bool selecting_ = false;
};

} // namespace kestrava
