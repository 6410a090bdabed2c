#pragma once

#include "ActionRules.h"
#include "DataSetDiff.h"

#include <QDialog>
#include <QList>

class QTreeWidget;

namespace kestrava {

// The differences between the unit (memory in edit mode) and a data file, grouped by patch,
// attributes and curve, each group with its count, in the window's language.
class TCompareView : public QDialog {
    Q_OBJECT
public:
    TCompareView(const QString &fileName, const QList<TDataDifference> &differences, bool ab,
                 QWidget *parent = nullptr);

    QTreeWidget *Tree() const { return tree_; }

Q_SIGNALS:
    // A difference was double-clicked: the page of its output (patch: the memory, else -1).
    void GoTo(kestrava::Page page, int patch, int output);

private:
    QTreeWidget *tree_;
};

} // namespace kestrava
