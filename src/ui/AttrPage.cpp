#include "AttrPage.h"

#include "ActionMap.h"
#include "AttrTransfer.h"
#include "ChannelNotation.h"

#include <QComboBox>
#include <QFrame>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QMenu>
#include <QTableWidget>
#include <QToolButton>
#include <QVBoxLayout>

namespace kestrava {

TAttrPage::TAttrPage(TLoadAttrModel &attrs, TPageContext context, QWidget *parent)
    : QWidget(parent), attrs_(attrs), ctx_(context) {
    setObjectName(QStringLiteral("LdAtrSheet"));
    auto *page = new QVBoxLayout(this);
    page->setContentsMargins(0, 0, 0, 0);
    page->setSpacing(0);

    OutAtrTopPanel = new QFrame(this);
    OutAtrTopPanel->setObjectName(QStringLiteral("OutAtrTopPanel"));
    OutAtrTopPanel->setFixedHeight(45);
    auto *top = new QHBoxLayout(OutAtrTopPanel);
    top->setContentsMargins(6, 4, 6, 4);
    top->addStretch(1);
    WriteLdAtrBtn = new QToolButton(OutAtrTopPanel);
    WriteLdAtrBtn->setObjectName(QStringLiteral("WriteLdAtrBtn"));
    top->addWidget(WriteLdAtrBtn);
    page->addWidget(OutAtrTopPanel);

    // The owner-drawn grid with the in-place selector comes with the attribute page.
    LdAtrGrid = new QTableWidget(LoadAttrCount, 1, this);
    LdAtrGrid->setObjectName(QStringLiteral("LdAtrGrid"));
    LdAtrGrid->setHorizontalHeaderLabels({QStringLiteral("負荷属性")});
    LdAtrGrid->horizontalHeader()->setDefaultSectionSize(99);
    LdAtrGrid->verticalHeader()->setDefaultSectionSize(24);
    LdAtrGrid->verticalHeader()->setMinimumWidth(42);
    LdAtrGrid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    LdAtrGrid->setContextMenuPolicy(Qt::CustomContextMenu);
    page->addWidget(LdAtrGrid, 1);

    InpCrvPanel = new QFrame(this);
    InpCrvPanel->setObjectName(QStringLiteral("InpCrvPanel"));
    InpCrvPanel->setFixedSize(104, 24);
    SelCrvComboBox = new QComboBox(InpCrvPanel);
    SelCrvComboBox->setObjectName(QStringLiteral("SelCrvComboBox"));
    SelCrvComboBox->addItems(LoadAttrSelectorItems());
    SelCrvComboBox->setGeometry(0, 0, 104, 24);
    InpCrvPanel->hide();

    RefreshGrid();

    using enum ActionId;
    ctx_.actions.On(GetLdAtrAcion, [this] {
        FetchLoadAttrs(ctx_.env, attrs_);
        RefreshGrid();
    });
    ctx_.actions.On(WriteLdAtrAction, [this] { WriteLoadAttrs(ctx_.env, attrs_); });
    ctx_.actions.Bind(WriteLdAtrBtn, WriteLdAtrAction);
    QMenu *popup =
        ctx_.actions.Popup("PopAtrMenu", {ChgLdAtrAction, Separator, InitLdAtrAction}, this);
    connect(LdAtrGrid, &QWidget::customContextMenuRequested, this,
            [this, popup](QPoint p) { popup->popup(LdAtrGrid->viewport()->mapToGlobal(p)); });
}

void TAttrPage::Refresh() {
    RefreshGrid();
}

void TAttrPage::Activated() {
    LdAtrGrid->setFocus();
}

void TAttrPage::SettingsChanged() {
    RefreshGrid();
}

void TAttrPage::SetViewsEnabled(bool on) {
    LdAtrGrid->setEnabled(on);
}

void TAttrPage::RefreshGrid() {
    QStringList rows;
    rows.reserve(LoadAttrCount);
    for (int o = 0; o < LoadAttrCount; ++o)
        rows.append(ChannelText(o, false));
    LdAtrGrid->setVerticalHeaderLabels(rows);
    for (int o = 0; o < LoadAttrCount; ++o) {
        const QString text = LoadAttrText(attrs_.LoadAttrs[std::size_t(o)]);
        if (QTableWidgetItem *item = LdAtrGrid->item(o, 0))
            item->setText(text);
        else
            LdAtrGrid->setItem(o, 0, new QTableWidgetItem(text));
    }
}

} // namespace kestrava
