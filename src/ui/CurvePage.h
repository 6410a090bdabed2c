#pragma once

#include "Curve.h"
#include "Page.h"

#include <QWidget>

class QButtonGroup;
class QComboBox;
class QFrame;
class QGroupBox;
class QLabel;
class QScrollArea;
class QTableWidget;
class QToolButton;

namespace kestrava {

// The curve page: the curve chooser, the graph with its mode selector and the
// value grid.
class TCurvePage : public QWidget, public TPage {
    Q_OBJECT
public:
    TCurvePage(TCurveSet &curves, TPageContext context, QWidget *parent = nullptr);

    // TPage
    void SetViewsEnabled(bool on) override;
    void Refresh() override;
    void Activated() override;
    void FillState(UiState &s) const override;

    // The mode selector follows the shown curve; a mode outside 0..2 selects none.
    void ShowCurveMode();

private:
    void RefreshView();
    void fetchCurvesAndShowMode();

    TCurveSet &curves_;
    TPageContext ctx_;
    QFrame *CurveTopPanel;
    QComboBox *CurveComboBox;
    QToolButton *WriteCurveBtn;
    QFrame *CrvGraphPanel;
    QFrame *GraphPanel;
    QScrollArea *CurveScrBox;
    QWidget *CrvPaintBox;
    QGroupBox *ModeRadioGroup;
    QButtonGroup *ModeButtons;
    QTableWidget *CurveGrid;
};

} // namespace kestrava
