#include "CurvePage.h"

#include "ActionMap.h"
#include "AppSettings.h"
#include "CurveCellLook.h"
#include "CurveGraph.h"
#include "CurveTable.h"
#include "CurveTransfer.h"
#include "DrawGrid.h"
#include "PageFrame.h"
#include "Snapshot.h"
#include "UiNames.h"
#include "Usr_misc.h"
#include "Usr_spbar.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QFrame>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QRadioButton>
#include <QTimer>
#include <QVBoxLayout>

namespace kestrava {

namespace {

constexpr QSize kGraphWindow(325, 325); // CurveScrBox: W and H follow from it

} // namespace

TCurvePage::TCurvePage(TCurveSet &curves, TPageContext context, QWidget *parent)
    : QWidget(parent), curves_(curves), ctx_(context) {
    setObjectName(QStringLiteral("CurveSheet"));
    buildWidgets();
    table_ = std::make_unique<TCurveValueTable>(CurveGrid, curves_, ctx_.desktop.boxes);
    table_->SetGridWidth(ctx_.settings.CrvGridWidth);
    // The selector shows the mode it starts with; nothing is recalculated for that.
    if (const TUserCurve *c = curves_.Current())
        showModeIndex(c->Mode);
    table_->FollowMode();
    connectCommands();
}

TCurvePage::~TCurvePage() = default;

void TCurvePage::buildWidgets() {
    setContextMenuPolicy(Qt::CustomContextMenu);
    TPageFrame frame(this, "CurveTopPanel");
    CurveTopPanel = frame.TopPanel();
    auto *label2 = named(new QLabel(tr("カーブNo."), CurveTopPanel), "Label2");
    CurveComboBox = named(new QComboBox(CurveTopPanel), "CurveComboBox");
    for (int c = 1; c <= int(curves_.Curves.size()); ++c)
        CurveComboBox->addItem(QStringLiteral("User %1").arg(c));
    CurveComboBox->setCurrentIndex(curves_.CurCurve);
    frame.TopRow()->addWidget(label2);
    frame.TopRow()->addWidget(CurveComboBox);
    WriteCurveBtn = frame.AddWriteButton("WriteCurveBtn", ctx_.actions, ActionId::WriteCurveAction);

    auto *body = new QHBoxLayout;
    body->setContentsMargins(0, 0, 0, 0);
    body->setSpacing(0);
    buildGraphPanel();
    body->addWidget(CrvGraphPanel);
    CurveGrid = NewPageGrid(this, "CurveGrid");
    body->addWidget(CurveGrid, 1);
    frame.Column()->addLayout(body, 1);
}

void TCurvePage::buildGraphPanel() {
    CrvGraphPanel = named(new QFrame(this), "CrvGraphPanel");
    CrvGraphPanel->setFixedWidth(345);
    auto *graphBox = new QVBoxLayout(CrvGraphPanel);
    graphBox->setContentsMargins(8, 8, 8, 8);
    GraphPanel = named(new QFrame(CrvGraphPanel), "GraphPanel");
    GraphPanel->setFixedSize(329, 329);
    GraphPanel->setFrameShape(QFrame::Panel);
    GraphPanel->setFrameShadow(QFrame::Sunken);
    auto *graphInner = new QVBoxLayout(GraphPanel);
    graphInner->setContentsMargins(2, 2, 2, 2);
    CurveScrBox = named(new QFrame(GraphPanel), "CurveScrBox");
    CurveScrBox->setFrameShape(QFrame::NoFrame);
    CurveScrBox->setFixedSize(kGraphWindow);
    CrvPaintBox = named(new TCurveGraph(curves_, kGraphWindow, CurveScrBox), "CrvPaintBox");
    CrvPaintBox->setGeometry(QRect(QPoint(0, 0), kGraphWindow));
    graphInner->addWidget(CurveScrBox);
    graphBox->addWidget(GraphPanel);

    ModeRadioGroup = named(new QGroupBox(CrvGraphPanel), "ModeRadioGroup");
    auto *modes = new QHBoxLayout(ModeRadioGroup);
    ModeButtons = new QButtonGroup(this);
    const char *captions[] = {QT_TR_NOOP("個別"), QT_TR_NOOP("折線"), QT_TR_NOOP("曲線")};
    for (int m = 0; m < 3; ++m) {
        auto *b = new QRadioButton(tr(captions[m]), ModeRadioGroup);
        ModeButtons->addButton(b, m);
        modes->addWidget(b);
    }
    graphBox->addWidget(ModeRadioGroup);
    graphBox->addStretch(1);
}

void TCurvePage::connectCommands() {
    TActionMap &a = ctx_.actions;
    using enum ActionId;
    a.On(GetCurveAction, [this] { GetCurveActionExecute(); });
    a.On(WriteCurveAction, [this] {
        TSnapshot snapshot(ctx_.env, QStringLiteral("WriteCurve"), {{}, false, true}, {}, {},
                           curves_);
        if (snapshot.Take())
            WriteCurves(ctx_.env, curves_);
        RefreshView();
    });
    a.On(AddPAction, [this] { AddPActionExecute(); });
    a.On(DelPAction, [this] { DelPActionExecute(); });
    a.On(InitCrvAction, [this] { InitCrvActionExecute(); });
    a.On(CrvGridW8Action, [this] { CrvGridWActionExecute(8); });
    a.On(CrvGridW16Action, [this] { CrvGridWActionExecute(16); });

    QMenu *popup = a.Popup(
        "PopCrvMenu",
        {AddPAction, DelPAction, InitCrvAction, Separator, LoadCurveAction, SaveCurveAction}, this);
    // The point items belong to where the popup was asked for, not to where the pointer is
    // while it is open: the timer's refreshes must not take them away under the pointer.
    connect(this, &QWidget::customContextMenuRequested, this, [this, popup](QPoint p) {
        popupOnGraph_ = CurveScrBox->rect().contains(CurveScrBox->mapFrom(this, p));
        popup->popup(mapToGlobal(p));
    });
    // Reset after the chosen item has run: Qt hides the menu before it triggers the item.
    connect(popup, &QMenu::aboutToHide, this, [this] {
        QTimer::singleShot(0, this, [this] {
            popupOnGraph_ = false;
            ctx_.actions.UpdateActions();
        });
    });

    connect(CurveComboBox, &QComboBox::currentIndexChanged, this, &TCurvePage::CurveComboBoxChange);
    connect(ModeButtons, &QButtonGroup::idClicked, this, [this](int id) {
        if (id == shownMode_)
            return;
        shownMode_ = id;
        ModeRadioGroupClick();
    });

    connect(CrvPaintBox, &TCurveGraph::Picked, this, [this](int input) {
        if (input >= 0)
            table_->FollowInput(input);
        RefreshView();
        ctx_.actions.UpdateActions();
    });
    connect(CrvPaintBox, &TCurveGraph::Dragged, this, [this](int input) {
        table_->FollowInput(input);
        curveEdited();
    });
    connect(CrvPaintBox, &TCurveGraph::Released, this, [this] {
        RefreshView();
        ctx_.actions.UpdateActions();
    });
    connect(table_.get(), &TCurveValueTable::CellClicked, this, &TCurvePage::CurveGridClick);
    connect(table_.get(), &TCurveValueTable::LevelTyped, this, &TCurvePage::curveEdited);
}

int TCurvePage::modeIndex() const {
    return ModeButtons->checkedId();
}

void TCurvePage::setModeIndex(int index) {
    if (showModeIndex(index))
        ModeRadioGroupClick();
}

bool TCurvePage::showModeIndex(int index) {
    if (index < 0 || index > 2)
        index = -1;
    if (index == shownMode_)
        return false;
    shownMode_ = index;
    if (QAbstractButton *b = ModeButtons->button(index)) {
        b->setChecked(true);
    } else {
        ModeButtons->setExclusive(false);
        for (QAbstractButton *other : ModeButtons->buttons())
            other->setChecked(false);
        ModeButtons->setExclusive(true);
    }
    return true;
}

void TCurvePage::ModeRadioGroupClick() {
    TUserCurve *c = curves_.Current();
    if (!c)
        return;
    c->Points.ClearSelected();
    c->Mode = modeIndex();
    c->Recalculate();
    c->SnapPointsToTable();
    c->Recalculate();
    table_->FollowMode();
    RefreshView();
    curves_.MarkEdited();
    ctx_.actions.UpdateActions();
}

void TCurvePage::ShowCurveMode() {
    if (const TUserCurve *c = curves_.Current())
        setModeIndex(c->Mode);
    RefreshView();
}

void TCurvePage::FollowCurveMode() {
    if (const TUserCurve *c = curves_.Current())
        showModeIndex(c->Mode);
    RefreshView();
    ctx_.actions.UpdateActions();
}

void TCurvePage::CurveComboBoxChange(int index) {
    if (index < 0 || index >= int(curves_.Curves.size()))
        return;
    curves_.CurCurve = index;
    setModeIndex(curves_.Current()->Mode);
    table_->FollowMode();
    RefreshView();
    ctx_.actions.UpdateActions();
}

void TCurvePage::CurveGridClick(int col, int row) {
    TUserCurve *c = curves_.Current();
    if (!c)
        return;
    const int k = table_->GridWidth() * (row - 1) + col;
    ctx_.status.setPanelText(3, k >= 1 && k <= CurveTableSize
                                    ? CurveClickText(k - 1, c->Table[std::size_t(k - 1)])
                                    : QString());
    if (modeIndex() == 0)
        return;
    c->Points.ClearSelected();
    if (TCurvePoint *p = c->Points.FindByInput(k - 1))
        p->Selected = true;
    table_->Repaint();
    CrvPaintBox->update();
    ctx_.actions.UpdateActions();
}

void TCurvePage::AddPActionExecute() {
    TUserCurve *c = curves_.Current();
    // An input that already has its point adds nothing.
    if (!c || !c->AddPoint(CrvPaintBox->Pixels().AddInput(CrvPaintBox->AddPointX())))
        return;
    c->Recalculate();
    curveEdited();
}

void TCurvePage::DelPActionExecute() {
    TUserCurve *c = curves_.Current();
    if (!c)
        return;
    c->DeleteSelected();
    c->Recalculate();
    curveEdited();
}

void TCurvePage::InitCrvActionExecute() {
    TUserCurve *c = curves_.Current();
    if (!c || !ctx_.desktop.boxes.AskYesNo(tr("このカーブを初期化しますか")))
        return;
    c->Reset(DefaultMaxLevel); // the mode stays
    curveEdited();
}

void TCurvePage::GetCurveActionExecute() {
    FetchCurves(ctx_.env, curves_);
    // Only the selector follows the fetched mode: recalculating the table from its points
    // here would show, as the unit's, a table the unit does not hold.
    FollowCurveMode();
    curves_.MarkStored();
}

void TCurvePage::CrvGridWActionExecute(int width) {
    ctx_.settings.CrvGridWidth = width;
    table_->SetGridWidth(width);
    RefreshView();
}

void TCurvePage::curveEdited() {
    curves_.MarkEdited();
    RefreshView();
    ctx_.actions.UpdateActions();
}

void TCurvePage::RefreshView() {
    table_->FollowMode();
    table_->Repaint();
    CrvPaintBox->update();
    if (!active_)
        return;
    const TUserCurve *c = curves_.Current();
    const int x = table_->CurrentInput();
    ctx_.status.setPanelText(3, c ? CurveStatusText(x, c->Table[std::size_t(x)], c->MaxLevel)
                                  : QString());
}

void TCurvePage::Refresh() {
    RefreshView();
}

void TCurvePage::Activated() {
    active_ = true;
    RefreshView();
}

void TCurvePage::Leaving() {
    active_ = false;
}

void TCurvePage::SettingsChanged() {
    table_->SetGridWidth(ctx_.settings.CrvGridWidth);
    RefreshView();
}

void TCurvePage::FillState(UiState &s) const {
    s.overCurveGraph = popupOnGraph_;
    if (const TUserCurve *c = curves_.Current()) {
        s.curvePoints = c->Points.Count();
        s.curveIndividual = modeIndex() == 0;
        const TCurvePoint *p = c->Points.FindSelected();
        s.pointDeletable = p && p->X != 0 && p->X != CurveMaxInput;
    }
}

void TCurvePage::SetViewsEnabled(bool on) {
    CurveGrid->setEnabled(on);
    CrvPaintBox->setEnabled(on);
}

} // namespace kestrava
