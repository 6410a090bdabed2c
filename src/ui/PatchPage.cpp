#include "PatchPage.h"

#include "ChannelNotation.h"
#include "UiNames.h"
#include "UnitLink.h"

#include <QButtonGroup>
#include <QCoreApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QVBoxLayout>

namespace kestrava {

TPatchPage::TPatchPage(TPatchModel &patches, TUnitLink &link, QWidget *parent)
    : QWidget(parent), patches_(patches), link_(link) {
    setObjectName(QStringLiteral("PatchSheet"));
    auto *page = new QVBoxLayout(this);
    page->setContentsMargins(0, 0, 0, 0);
    page->setSpacing(0);

    PatTopPanel = named(new QFrame(this), "PatTopPanel");
    PatTopPanel->setFixedHeight(45);
    auto *top = new QHBoxLayout(PatTopPanel);
    top->setContentsMargins(6, 4, 6, 4);
    Label1 = named(new QLabel(QStringLiteral("No."), PatTopPanel), "Label1");
    PatNoCombo = named(new QComboBox(PatTopPanel), "PatNoCombo");
    PatNoCombo->setFixedWidth(60);
    for (int p = 1; p <= PatchCount; ++p)
        PatNoCombo->addItem(QString::number(p));
    top->addWidget(Label1);
    top->addWidget(PatNoCombo);

    ChkPanel = named(new QFrame(PatTopPanel), "ChkPanel");
    ChkPanel->setFrameShape(QFrame::Panel);
    ChkPanel->setFrameShadow(QFrame::Sunken);
    ChkPanel->setFixedSize(331, 34);
    auto *chk = new QHBoxLayout(ChkPanel);
    chk->setContentsMargins(4, 2, 4, 2);
    CheckTitle = named(new QLabel(tr("チェック"), ChkPanel), "CheckTitle");
    CheckTitle->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    CheckOnBtn = named(new QToolButton(ChkPanel), "CheckOnBtn");
    CheckOffBtn = named(new QToolButton(ChkPanel), "CheckOffBtn");
    for (QToolButton *b : {CheckOnBtn, CheckOffBtn})
        b->setCheckable(true);
    auto *group = new QButtonGroup(this);
    group->setExclusive(true);
    group->addButton(CheckOnBtn);
    group->addButton(CheckOffBtn);
    CheckOffBtn->setChecked(true);
    LevelLabel = named(new QLabel(QStringLiteral("000"), ChkPanel), "LevelLabel");
    LevelLabel->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    LevelLabel->setFixedWidth(LevelLabel->fontMetrics().horizontalAdvance(QStringLiteral("0000")));
    CheckLvlBar = named(new QSlider(Qt::Horizontal, ChkPanel), "CheckLvlBar");
    CheckLvlBar->setRange(0, 255);
    CheckLvlBar->setPageStep(32);
    CheckLvlBar->setTickInterval(32);
    CheckLvlBar->setTickPosition(QSlider::TicksBelow);
    chk->addWidget(CheckTitle);
    chk->addWidget(CheckOnBtn);
    chk->addWidget(CheckOffBtn);
    chk->addWidget(LevelLabel);
    chk->addWidget(CheckLvlBar, 1);
    top->addWidget(ChkPanel);

    top->addWidget(new QLabel(QStringLiteral("Ch."), PatTopPanel));
    FromChEdit = named(new QLineEdit(PatTopPanel), "FromChEdit");
    FromChEdit->setFixedWidth(50);
    top->addWidget(FromChEdit);
    top->addWidget(new QLabel(QStringLiteral("→"), PatTopPanel));
    ToChEdit = named(new QLineEdit(PatTopPanel), "ToChEdit");
    ToChEdit->setFixedWidth(100);
    top->addWidget(ToChEdit);
    PatSetBtn = named(new QToolButton(PatTopPanel), "PatSetBtn");
    top->addWidget(PatSetBtn);
    top->addStretch(1);
    WritePatBtn = named(new QToolButton(PatTopPanel), "WritePatBtn");
    top->addWidget(WritePatBtn);
    page->addWidget(PatTopPanel);

    Panel2 = named(new QFrame(this), "Panel2");
    auto *tableBox = new QVBoxLayout(Panel2);
    tableBox->setContentsMargins(0, 0, 0, 0);
    // The owner-drawn table replaces this plain grid with the patch page's editing.
    PatTableGrid = named(new QTableWidget(52, 11, Panel2), "PatTableGrid");
    PatTableGrid->horizontalHeader()->setDefaultSectionSize(40);
    PatTableGrid->verticalHeader()->setDefaultSectionSize(24);
    PatTableGrid->setContextMenuPolicy(Qt::CustomContextMenu);
    tableBox->addWidget(PatTableGrid);
    page->addWidget(Panel2, 1);

    connect(PatNoCombo, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (!selecting_)
            Q_EMIT PatNoComboChange(index);
    });
    connect(CheckLvlBar, &QSlider::valueChanged, this, [this] { CheckLvlBarChange(); });
}

void TPatchPage::SelectPatNo(int patch) {
    selecting_ = true;
    PatNoCombo->setCurrentIndex(IsPatchIndex(patch) ? patch : -1);
    selecting_ = false;
}

void TPatchPage::SetViewsEnabled(bool on) {
    PatNoCombo->setEnabled(on);
    PatTableGrid->setEnabled(on);
    if (on)
        PatTableGrid->viewport()->repaint();
}

void TPatchPage::LayoutTable(int mode, int width, bool ab) {
    mode_ = mode;
    width_ = std::max(width, 1);
    ab_ = ab;
    RepaintTable();
}

void TPatchPage::RepaintTable() {
    const TPatch *memory = patches_.Current();
    auto entryText = [this](PatchEntry v) {
        return v == pvFull ? QStringLiteral("FULL") : ChannelText(v, ab_);
    };
    const QSignalBlocker block(PatTableGrid);
    PatTableGrid->clear();
    QStringList rows;
    PatTableGrid->setColumnCount(width_);
    if (mode_ == 0) {
        const int outputs = patches_.MaxTxChannel;
        PatTableGrid->setRowCount((outputs + width_ - 1) / width_);
        for (int o = 0; o < outputs; ++o) {
            auto *item =
                new QTableWidgetItem(memory ? entryText((*memory)[std::size_t(o)]) : QString());
            item->setToolTip(ChannelText(o, ab_));
            PatTableGrid->setItem(o / width_, o % width_, item);
        }
        for (int r = 0; r < PatTableGrid->rowCount(); ++r)
            rows << ChannelText(r * width_, ab_);
    } else {
        const int inputs = patches_.MaxRxChannel;
        PatTableGrid->setRowCount(inputs + 2);
        for (int r = 1; r <= inputs + 2; ++r) {
            const PatchEntry v = patches_.RowValue(r);
            rows << (v == pvFull ? QStringLiteral("FULL") : ChannelText(v, ab_));
            for (int c = 1; c <= width_; ++c) {
                const int o = patches_.NthOutputOf(v, c);
                if (o < 0)
                    break;
                PatTableGrid->setItem(r - 1, c - 1, new QTableWidgetItem(ChannelText(o, ab_)));
            }
        }
    }
    PatTableGrid->setVerticalHeaderLabels(rows);
    PatTableGrid->viewport()->update();
}

void TPatchPage::SetCheckLevel(int level) {
    const QSignalBlocker block(CheckLvlBar);
    CheckLvlBar->setValue(level);
}

void TPatchPage::CheckLvlBarChange() {
    if (!link_.Linked)
        return;
    const int level = CheckLvlBar->value();
    LevelLabel->setText(QString::number(level));
    link_.SendCmd(QStringLiteral("O8%1\r").arg(level, 2, 16, QLatin1Char('0')).toUpper());
}

void TPatchPage::CheckOffActionExecute() {
    CheckOutput = -1;
    link_.SendCmd(QStringLiteral("OFFF\r"));
    CheckOffBtn->setChecked(true);
    RepaintTable();
}

} // namespace kestrava
