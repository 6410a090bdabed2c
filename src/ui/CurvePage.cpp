#include "CurvePage.h"

#include "ActionMap.h"
#include "AppSettings.h"
#include "CurveTransfer.h"
#include "UiNames.h"
#include "Usr_misc_input.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QCoreApplication>
#include <QFrame>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QRadioButton>
#include <QScrollArea>
#include <QTableWidget>
#include <QToolButton>
#include <QVBoxLayout>

namespace kestrava {

TCurvePage::TCurvePage(TCurveSet &curves, TPageContext context, QWidget *parent)
    : QWidget(parent), curves_(curves), ctx_(context) {
    setObjectName(QStringLiteral("CurveSheet"));
    setContextMenuPolicy(Qt::CustomContextMenu);
    auto *page = new QVBoxLayout(this);
    page->setContentsMargins(0, 0, 0, 0);
    page->setSpacing(0);

    CurveTopPanel = named(new QFrame(this), "CurveTopPanel");
    CurveTopPanel->setFixedHeight(45);
    auto *top = new QHBoxLayout(CurveTopPanel);
    top->setContentsMargins(6, 4, 6, 4);
    auto *label2 = named(new QLabel(tr("カーブNo."), CurveTopPanel), "Label2");
    CurveComboBox = named(new QComboBox(CurveTopPanel), "CurveComboBox");
    for (int c = 1; c <= 4; ++c)
        CurveComboBox->addItem(QStringLiteral("User %1").arg(c));
    CurveComboBox->setCurrentIndex(curves_.CurCurve);
    top->addWidget(label2);
    top->addWidget(CurveComboBox);
    top->addStretch(1);
    WriteCurveBtn = named(new QToolButton(CurveTopPanel), "WriteCurveBtn");
    top->addWidget(WriteCurveBtn);
    page->addWidget(CurveTopPanel);

    auto *body = new QHBoxLayout;
    body->setContentsMargins(0, 0, 0, 0);
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
    CurveScrBox = named(new QScrollArea(GraphPanel), "CurveScrBox");
    CurveScrBox->setFrameShape(QFrame::NoFrame);
    CurveScrBox->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    CurveScrBox->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    CurveScrBox->setWidgetResizable(true);
    // The curve editor draws the graph here.
    CrvPaintBox = named(new QWidget, "CrvPaintBox");
    CrvPaintBox->setAutoFillBackground(true);
    QPalette black = CrvPaintBox->palette();
    black.setColor(QPalette::Window, Qt::black);
    CrvPaintBox->setPalette(black);
    CurveScrBox->setWidget(CrvPaintBox);
    graphInner->addWidget(CurveScrBox);
    graphBox->addWidget(GraphPanel);

    ModeRadioGroup = named(new QGroupBox(CrvGraphPanel), "ModeRadioGroup");
    auto *modes = new QHBoxLayout(ModeRadioGroup);
    ModeButtons = new QButtonGroup(this);
    const char *captions[] = {"個別", "折線", "曲線"};
    for (int m = 0; m < 3; ++m) {
        auto *b = new QRadioButton(tr(captions[m]), ModeRadioGroup);
        ModeButtons->addButton(b, m);
        modes->addWidget(b);
    }
    graphBox->addWidget(ModeRadioGroup);
    graphBox->addStretch(1);
    body->addWidget(CrvGraphPanel);

    CurveGrid = named(new QTableWidget(33, 9, this), "CurveGrid");
    CurveGrid->horizontalHeader()->setDefaultSectionSize(30);
    CurveGrid->verticalHeader()->setDefaultSectionSize(24);
    body->addWidget(CurveGrid, 1);
    page->addLayout(body, 1);

    ShowCurveMode();
    RefreshView();

    using enum ActionId;
    ctx_.actions.On(GetCurveAction, [this] { fetchCurvesAndShowMode(); });
    ctx_.actions.On(WriteCurveAction, [this] { WriteCurves(ctx_.env, curves_); });
    for (const auto &[id, width] : {std::pair{CrvGridW8Action, 8}, std::pair{CrvGridW16Action, 16}})
        ctx_.actions.On(id, [this, width] {
            ctx_.settings.CrvGridWidth = width;
            RefreshView();
        });
    ctx_.actions.Bind(WriteCurveBtn, WriteCurveAction);
    QMenu *popup = ctx_.actions.Popup(
        "PopCrvMenu",
        {AddPAction, DelPAction, InitCrvAction, Separator, LoadCurveAction, SaveCurveAction}, this);
    connect(this, &QWidget::customContextMenuRequested, this,
            [this, popup](QPoint p) { popup->popup(mapToGlobal(p)); });
}

void TCurvePage::fetchCurvesAndShowMode() {
    FetchCurves(ctx_.env, curves_);
    // The mode selector shows the fetched mode; a change there recalculates.
    ShowCurveMode();
    curves_.CurveChanged = false;
    RefreshView();
}

void TCurvePage::Refresh() {
    RefreshView();
}

void TCurvePage::Activated() {
    RefreshView();
}

void TCurvePage::FillState(UiState &s) const {
    const QWidget *under = WindowUnderCursor();
    s.overCurveGraph = under && (under == CurveScrBox || CurveScrBox->isAncestorOf(under));
    if (const TUserCurve *c = curves_.Current()) {
        s.curvePoints = c->Points.Count();
        s.curveIndividual = c->Mode == cmIndividual;
        const TCurvePoint *p = c->Points.FindSelected();
        s.pointDeletable = p && p->X != 0 && p->X != CurveMaxInput;
    }
}

void TCurvePage::SetViewsEnabled(bool on) {
    CurveGrid->setEnabled(on);
    CrvPaintBox->setEnabled(on);
}

void TCurvePage::ShowCurveMode() {
    const TUserCurve *c = curves_.Current();
    const int mode = c ? c->Mode : -1;
    const QSignalBlocker block(ModeButtons);
    if (QAbstractButton *b = ModeButtons->button(mode)) {
        b->setChecked(true);
    } else {
        ModeButtons->setExclusive(false);
        for (QAbstractButton *other : ModeButtons->buttons())
            other->setChecked(false);
        ModeButtons->setExclusive(true);
    }
}

void TCurvePage::RefreshView() {
    if (!isVisible())
        return;
    CrvPaintBox->update();
}

} // namespace kestrava
