#include "AttrPage.h"

#include "ActionMap.h"
#include "AttrSelector.h"
#include "AttrTable.h"
#include "AttrTransfer.h"
#include "DrawGrid.h"
#include "UiNames.h"
#include "Usr_misc.h"

#include <QApplication>
#include <QFrame>
#include <QHBoxLayout>
#include <QMenu>
#include <QToolButton>
#include <QVBoxLayout>

namespace kestrava {

TAttrPage::TAttrPage(TLoadAttrModel &attrs, TPageContext context, QWidget *parent)
    : QWidget(parent), attrs_(attrs), ctx_(context) {
    setObjectName(QStringLiteral("LdAtrSheet"));
    auto *page = new QVBoxLayout(this);
    page->setContentsMargins(0, 0, 0, 0);
    page->setSpacing(0);

    OutAtrTopPanel = named(new QFrame(this), "OutAtrTopPanel");
    OutAtrTopPanel->setFixedHeight(45);
    auto *top = new QHBoxLayout(OutAtrTopPanel);
    top->setContentsMargins(6, 4, 6, 4);
    top->addStretch(1);
    WriteLdAtrBtn = named(new QToolButton(OutAtrTopPanel), "WriteLdAtrBtn");
    top->addWidget(WriteLdAtrBtn);
    page->addWidget(OutAtrTopPanel);

    LdAtrGrid = named(new TDrawGrid(this), "LdAtrGrid");
    LdAtrGrid->viewport()->setBackgroundRole(QPalette::Dark);
    LdAtrGrid->setContextMenuPolicy(Qt::CustomContextMenu);
    page->addWidget(LdAtrGrid, 1);
    table_ = std::make_unique<TAttrTable>(LdAtrGrid, attrs_, ctx_.settings);

    TActionMap &a = ctx_.actions;
    using enum ActionId;
    a.On(GetLdAtrAcion, [this] {
        FetchLoadAttrs(ctx_.env, attrs_);
        table_->Repaint();
    });
    a.On(WriteLdAtrAction, [this] {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        WriteLoadAttrs(ctx_.env, attrs_);
        QApplication::restoreOverrideCursor();
        table_->Repaint();
    });
    a.On(ChgLdAtrAction, [this] { table_->OpenSelector(); });
    a.On(InitLdAtrAction, [this] { InitLdAtrActionExecute(); });
    a.Bind(WriteLdAtrBtn, WriteLdAtrAction);
    QMenu *popup = a.Popup("PopAtrMenu", {ChgLdAtrAction, Separator, InitLdAtrAction}, this);
    connect(LdAtrGrid, &QWidget::customContextMenuRequested, this,
            [this, popup](QPoint p) { popup->popup(LdAtrGrid->viewport()->mapToGlobal(p)); });
    connect(table_.get(), &TAttrTable::Changed, &a, &TActionMap::UpdateActions);
}

TAttrPage::~TAttrPage() = default;

void TAttrPage::InitLdAtrActionExecute() {
    if (!ctx_.desktop.boxes.AskYesNo(tr("負荷属性を初期化(全てNormal)しますか")))
        return;
    table_->ResetAll();
}

void TAttrPage::Refresh() {
    table_->Repaint();
}

void TAttrPage::Activated() {
    LdAtrGrid->setFocus();
}

void TAttrPage::Leaving() {
    table_->Selector()->Close();
}

void TAttrPage::SettingsChanged() {
    // The labels follow the notation, the header's edges the patch table's view.
    LdAtrGrid->viewport()->update();
}

void TAttrPage::SetViewsEnabled(bool on) {
    table_->SetEnabled(on);
}

} // namespace kestrava
