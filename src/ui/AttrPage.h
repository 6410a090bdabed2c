#pragma once

#include "LoadAttrModel.h"
#include "Page.h"

#include <QWidget>

class QComboBox;
class QFrame;
class QTableWidget;
class QToolButton;

namespace kestrava {

// The load attribute page: one row for every output with its attribute.
class TAttrPage : public QWidget, public TPage {
    Q_OBJECT
public:
    TAttrPage(TLoadAttrModel &attrs, TPageContext context, QWidget *parent = nullptr);

    // TPage
    void SetViewsEnabled(bool on) override;
    void Refresh() override;
    void Activated() override;
    void SettingsChanged() override;

private:
    void RefreshGrid(); // the rows from LoadAttrs

    TLoadAttrModel &attrs_;
    TPageContext ctx_;
    QFrame *OutAtrTopPanel;
    QToolButton *WriteLdAtrBtn;
    QTableWidget *LdAtrGrid;
    QFrame *InpCrvPanel;
    QComboBox *SelCrvComboBox;
};

} // namespace kestrava
