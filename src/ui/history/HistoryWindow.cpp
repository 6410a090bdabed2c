#include "HistoryWindow.h"

#include "Desktop.h"

#include <QDir>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLocale>
#include <QPushButton>
#include <QTreeWidget>
#include <QUrl>
#include <QVBoxLayout>

namespace kestrava {

THistoryWindow::THistoryWindow(const QString &folder, const TDesktop &desktop, QWidget *parent)
    : QDialog(parent), tree_(new QTreeWidget(this)), entries_(ListHistory(folder)) {
    setObjectName(QStringLiteral("HistoryWindow"));
    setWindowTitle(tr("履歴"));
    resize(640, 400);
    tree_->setObjectName(QStringLiteral("HistoryTree"));
    tree_->setRootIsDecorated(false);
    tree_->setHeaderLabels({tr("日時"), tr("コマンド"), tr("ファームウェア"), tr("内容")});
    const QLocale locale;
    for (const THistoryEntry &e : entries_)
        tree_->addTopLevelItem(
            new QTreeWidgetItem(QStringList{locale.toString(e.when, QLocale::ShortFormat),
                                            e.command, e.firmware, HoldsText(e.holds)}));
    tree_->header()->resizeSections(QHeaderView::ResizeToContents);
    if (!entries_.isEmpty())
        tree_->setCurrentItem(tree_->topLevelItem(0));

    const auto button = [this](const QString &text, const char *name) {
        auto *b = new QPushButton(text, this);
        b->setObjectName(QLatin1String(name));
        return b;
    };
    QPushButton *compare = button(tr("ユニットと比較"), "HistoryCompareBtn");
    QPushButton *load = button(tr("読込"), "HistoryLoadBtn");
    QPushButton *open = button(tr("フォルダを開く"), "HistoryFolderBtn");
    QPushButton *close = button(tr("閉じる"), "HistoryCloseBtn");
    compare->setEnabled(!entries_.isEmpty());
    load->setEnabled(!entries_.isEmpty());
    connect(compare, &QPushButton::clicked, this, [this] { done(CompareChosen); });
    connect(load, &QPushButton::clicked, this, [this] { done(LoadChosen); });
    connect(open, &QPushButton::clicked, this, [folder, &desktop] {
        QDir().mkpath(folder);
        desktop.OpenUrl(QUrl::fromLocalFile(folder));
    });
    connect(close, &QPushButton::clicked, this, &QDialog::reject);

    auto *buttons = new QHBoxLayout;
    for (QPushButton *b : {compare, load, open})
        buttons->addWidget(b);
    buttons->addStretch(1);
    buttons->addWidget(close);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(tree_, 1);
    layout->addLayout(buttons);
}

QString THistoryWindow::ChosenPath() const {
    const int row = tree_->indexOfTopLevelItem(tree_->currentItem());
    return row >= 0 && row < entries_.size() ? entries_[row].path : QString();
}

} // namespace kestrava
