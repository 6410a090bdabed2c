#pragma once

#include "LoadAttrModel.h"

#include <QComboBox>
#include <QFrame>
#include <QTableWidget>
#include <QToolButton>
#include <QWidget>

namespace kestrava {

// The load attribute page: one row for every output with its attribute.
class TAttrPage : public QWidget {
    Q_OBJECT
public:
    explicit TAttrPage(TLoadAttrModel &attrs, QWidget *parent = nullptr);

    void SetViewsEnabled(bool on);
    void RefreshGrid(); // the rows from LoadAttrs

    QFrame *OutAtrTopPanel;
    QToolButton *WriteLdAtrBtn;
    QTableWidget *LdAtrGrid;
    QFrame *InpCrvPanel;
    QComboBox *SelCrvComboBox;

private:
    TLoadAttrModel &attrs_;
};

} // namespace kestrava
