#pragma once

#include "LoadAttrModel.h"
#include "Page.h"

#include <QWidget>

#include <memory>

class QFrame;
class QToolButton;

namespace kestrava {

class TAttrTable;
class TDrawGrid;

// The load attribute page: one row for every output with its attribute, changed with
// the in-place selector, Delete and the initialise command, and written to the unit.
class TAttrPage : public QWidget, public TPage {
    Q_OBJECT
public:
    TAttrPage(TLoadAttrModel &attrs, TPageContext context, QWidget *parent = nullptr);
    ~TAttrPage() override;

    // TPage
    void SetViewsEnabled(bool on) override;
    void Refresh() override;
    void Activated() override;
    void Leaving() override;
    void SettingsChanged() override;

    TAttrTable &Table() const { return *table_; }

private:
    void InitLdAtrActionExecute();

    TLoadAttrModel &attrs_;
    TPageContext ctx_;
    std::unique_ptr<TAttrTable> table_;
    QFrame *OutAtrTopPanel = nullptr;
    QToolButton *WriteLdAtrBtn = nullptr;
    TDrawGrid *LdAtrGrid = nullptr;
};

} // namespace kestrava
