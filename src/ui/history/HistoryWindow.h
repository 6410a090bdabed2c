#pragma once

#include "Snapshot.h"

#include <QDialog>
#include <QList>

class QTreeWidget;

namespace kestrava {

struct TDesktop;

// The snapshots of the history folder, newest first. The window ends with what was chosen
// for the selected snapshot; the folder opens from it directly.
class THistoryWindow : public QDialog {
    Q_OBJECT
public:
    enum Choice { CompareChosen = 2, LoadChosen = 3 };

    THistoryWindow(const QString &folder, const TDesktop &desktop, QWidget *parent = nullptr);

    // The selected snapshot's file ("" when none is selected).
    QString ChosenPath() const;
    QTreeWidget *Tree() const { return tree_; }

private:
    QTreeWidget *tree_;
    QList<THistoryEntry> entries_;
};

} // namespace kestrava
