#pragma once

#include "Curve.h"
#include "Page.h"

#include <QWidget>

#include <memory>

class QButtonGroup;
class QComboBox;
class QFrame;
class QGroupBox;
class QToolButton;

namespace kestrava {

class TCurveGraph;
class TCurveValueTable;
class TDrawGrid;

// The curve page: the curve chooser, the graph with its mode selector and the value
// grid, with the handlers of the curve commands.
class TCurvePage : public QWidget, public TPage {
    Q_OBJECT
public:
    TCurvePage(TCurveSet &curves, TPageContext context, QWidget *parent = nullptr);
    ~TCurvePage() override;

    // TPage
    void SetViewsEnabled(bool on) override;
    void Refresh() override;
    void Activated() override;
    void Leaving() override;
    void SettingsChanged() override;
    void FillState(UiState &s) const override;

    // The mode selector shows the shown curve's mode; when that changes its value the
    // mode change runs for the curve as a click would. Then the view is refreshed.
    void ShowCurveMode();
    // The selector shows the shown curve's mode and nothing else happens: the curves were
    // replaced as they are, their tables and changed flag already what they should be.
    void FollowCurveMode();

    TCurveGraph &Graph() const { return *CrvPaintBox; }
    TCurveValueTable &Table() const { return *table_; }

private:
    void buildWidgets();
    void buildGraphPanel();
    void connectCommands();
    int modeIndex() const; // the selector's index, -1 when none is selected
    // Sets the selector; a change of its value runs ModeRadioGroupClick.
    void setModeIndex(int index);
    // Sets the selector only; whether its value changed.
    bool showModeIndex(int index);
    void ModeRadioGroupClick();
    void CurveComboBoxChange(int index);
    void CurveGridClick(int col, int row);
    void AddPActionExecute();
    void DelPActionExecute();
    void InitCrvActionExecute();
    void GetCurveActionExecute();
    void CrvGridWActionExecute(int width);
    // Shows the curve again: the grid, the graph and, on the active page, panel 3.
    void RefreshView();
    // An edit of the shown curve: marked changed, shown again, the commands follow.
    void curveEdited();

    TCurveSet &curves_;
    TPageContext ctx_;
    std::unique_ptr<TCurveValueTable> table_;
    bool active_ = false;       // the page is the one shown
    int shownMode_ = -1;        // the selector's value as last set or clicked
    bool popupOnGraph_ = false; // the open popup was asked for on the graph

    QFrame *CurveTopPanel = nullptr;
    QComboBox *CurveComboBox = nullptr;
    QToolButton *WriteCurveBtn = nullptr;
    QFrame *CrvGraphPanel = nullptr;
    QFrame *GraphPanel = nullptr;
    QFrame *CurveScrBox = nullptr;
    TCurveGraph *CrvPaintBox = nullptr;
    QGroupBox *ModeRadioGroup = nullptr;
    QButtonGroup *ModeButtons = nullptr;
    TDrawGrid *CurveGrid = nullptr;
};

} // namespace kestrava
