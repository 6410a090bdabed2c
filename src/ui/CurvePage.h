#pragma once

#include "Curve.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QScrollArea>
#include <QTableWidget>
#include <QToolButton>
#include <QWidget>

namespace kestrava {

// The curve page: the curve chooser, the graph with its mode selector and the
// value grid.
class TCurvePage : public QWidget {
    Q_OBJECT
public:
    explicit TCurvePage(TCurveSet &curves, QWidget *parent = nullptr);

    void SetViewsEnabled(bool on);
    // The mode selector follows the shown curve; a mode outside 0..2 selects none.
    void ShowCurveMode();
    void RefreshView();

    QFrame *CurveTopPanel;
    QLabel *Label2;
    QComboBox *CurveComboBox;
    QToolButton *WriteCurveBtn;
    QFrame *CrvGraphPanel;
    QFrame *GraphPanel;
    QScrollArea *CurveScrBox;
    QWidget *CrvPaintBox;
    QGroupBox *ModeRadioGroup;
    QButtonGroup *ModeButtons;
    QTableWidget *CurveGrid;

private:
    TCurveSet &curves_;
};

} // namespace kestrava
