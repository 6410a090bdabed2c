#include "CompareView.h"

#include "ChannelNotation.h"
#include "LoadAttrModel.h"

#include <QDialogButtonBox>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <map>

namespace kestrava {

namespace {

enum Role { PageRole = Qt::UserRole, PatchRole, OutputRole };

QString inputText(int v, bool ab) {
    if (v == pvFull)
        return QStringLiteral("FULL");
    return v < 0 ? QStringLiteral("-") : ChannelText(v, ab);
}

QString inputList(const QList<int> &inputs) {
    QStringList xs;
    for (int x : inputs)
        xs << QString::number(x);
    return xs.join(u',');
}

// The group a difference is listed under (ordered as the file is) and its line.
std::pair<int, QString> groupAndLine(const TDataDifference &d, bool ab) {
    const auto sides = [](const QString &head, const QString &unit, const QString &file) {
        return TCompareView::tr("%1: ユニット %2, ファイル %3").arg(head, unit, file);
    };
    const QString output = TCompareView::tr("出力 %1").arg(ChannelText(d.at, ab));
    switch (d.part) {
    case DiffPart::Patch:
        return {d.patch, sides(output, inputText(d.unit, ab), inputText(d.file, ab))};
    case DiffPart::Attribute:
        return {PatchCount, sides(output, LoadAttrText(d.unit), LoadAttrText(d.file))};
    case DiffPart::CurveMode:
        return {PatchCount + 1 + d.curve, sides(TCompareView::tr("モード"), QString::number(d.unit),
                                                QString::number(d.file))};
    case DiffPart::CurvePoints:
        return {PatchCount + 1 + d.curve, sides(TCompareView::tr("構成点"), inputList(d.unitInputs),
                                                inputList(d.fileInputs))};
    case DiffPart::CurveTable:
        return {PatchCount + 1 + d.curve, sides(TCompareView::tr("入力 %1").arg(d.at),
                                                QString::number(d.unit), QString::number(d.file))};
    }
    return {};
}

QString groupTitle(int group) {
    if (group < PatchCount)
        return TCompareView::tr("パッチ%1").arg(group + 1);
    if (group == PatchCount)
        return TCompareView::tr("負荷属性");
    return TCompareView::tr("カーブ%1").arg(group - PatchCount);
}

Page pageOf(int group) {
    return group < PatchCount ? Page::Patch : group == PatchCount ? Page::Attr : Page::Curve;
}

} // namespace

TCompareView::TCompareView(const QString &fileName, const QList<TDataDifference> &differences,
                           bool ab, QWidget *parent)
    : QDialog(parent), tree_(new QTreeWidget(this)) {
    setObjectName(QStringLiteral("CompareView"));
    setWindowTitle(tr("ファイルと比較") + QStringLiteral(" - ") + QFileInfo(fileName).fileName());
    resize(520, 480);
    tree_->setObjectName(QStringLiteral("CompareTree"));
    tree_->setHeaderHidden(true);
    std::map<int, QTreeWidgetItem *> groups;
    for (const TDataDifference &d : differences) {
        const auto [group, line] = groupAndLine(d, ab);
        QTreeWidgetItem *&top = groups[group];
        if (!top)
            top = new QTreeWidgetItem(QStringList{groupTitle(group)});
        auto *item = new QTreeWidgetItem(top, QStringList{line});
        item->setData(0, PageRole, int(pageOf(group)));
        item->setData(0, PatchRole, d.part == DiffPart::Patch ? d.patch : -1);
        item->setData(0, OutputRole, d.at);
    }
    for (auto &[group, top] : groups) {
        top->setText(0, QStringLiteral("%1 (%2)").arg(top->text(0)).arg(top->childCount()));
        tree_->addTopLevelItem(top);
    }
    auto *summary = new QLabel(differences.isEmpty() ? tr("違いはありません")
                                                     : tr("違い: %1").arg(differences.size()),
                               this);
    summary->setObjectName(QStringLiteral("CompareSummary"));
    connect(tree_, &QTreeWidget::itemDoubleClicked, this, [this](QTreeWidgetItem *item) {
        if (item->parent())
            Q_EMIT GoTo(Page(item->data(0, PageRole).toInt()), item->data(0, PatchRole).toInt(),
                        item->data(0, OutputRole).toInt());
    });
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(summary);
    layout->addWidget(tree_, 1);
    layout->addWidget(buttons);
}

} // namespace kestrava
