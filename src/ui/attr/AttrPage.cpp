#include "AttrPage.h"

#include "ActionMap.h"
#include "AttrSelector.h"
#include "AttrTable.h"
#include "AttrTransfer.h"
#include "DrawGrid.h"
#include "PageFrame.h"
#include "SheetClipboard.h"
#include "SheetReader.h"
#include "Snapshot.h"
#include "Usr_misc.h"

#include <QApplication>
#include <QVBoxLayout>

namespace kestrava {

TAttrPage::TAttrPage(TLoadAttrModel &attrs, TPageContext context, QWidget *parent)
    : QWidget(parent), attrs_(attrs), ctx_(context) {
    setObjectName(QStringLiteral("LdAtrSheet"));
    TActionMap &a = ctx_.actions;
    using enum ActionId;
    TPageFrame frame(this, "OutAtrTopPanel");
    OutAtrTopPanel = frame.TopPanel();
    WriteLdAtrBtn = frame.AddWriteButton("WriteLdAtrBtn", a, WriteLdAtrAction);
    LdAtrGrid = NewPageGrid(this, "LdAtrGrid");
    frame.Column()->addWidget(LdAtrGrid, 1);
    table_ = std::make_unique<TAttrTable>(LdAtrGrid, attrs_, ctx_.settings);

    a.On(GetLdAtrAcion, [this] {
        FetchLoadAttrs(ctx_.env, attrs_);
        table_->Repaint();
    });
    a.On(WriteLdAtrAction, [this] {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        TSnapshot snapshot(ctx_.env, QStringLiteral("WriteLdAtr"), {{}, true, false}, {}, attrs_,
                           {});
        if (snapshot.Take())
            WriteLoadAttrs(ctx_.env, attrs_);
        QApplication::restoreOverrideCursor();
        table_->Repaint();
    });
    a.On(ChgLdAtrAction, [this] { table_->OpenSelector(); });
    a.On(InitLdAtrAction, [this] { InitLdAtrActionExecute(); });
    a.On(CopyLdAtrAction, [this] { PutSheetOnClipboard(table_->CopyRows()); });
    a.On(PasteLdAtrAction, [this] {
        QString error;
        const QList<LoadAttr> codes = ReadAttrSheet(ClipboardSheetText(), error);
        if (error.isEmpty())
            table_->PasteAttrs(codes);
        else
            ctx_.desktop.boxes.Warning(error);
    });
    AttachGridPopup(LdAtrGrid, a, "PopAtrMenu", {ChgLdAtrAction, Separator, InitLdAtrAction}, this);
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
