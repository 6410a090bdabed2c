#include "PatchPage.h"

#include "DrawGrid.h"
#include "PatchTable.h"
#include "UiNames.h"
#include "UnitLink.h"

#include <QButtonGroup>
#include <QCoreApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QVBoxLayout>

namespace kestrava {

TPatchPage::TPatchPage(TPatchModel &patches, QWidget *parent) : QWidget(parent), patches_(patches) {
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
    PatTableGrid = named(new TDrawGrid(Panel2), "PatTableGrid");
    PatTableGrid->viewport()->setBackgroundRole(QPalette::Dark);
    PatTableGrid->setContextMenuPolicy(Qt::CustomContextMenu);
    tableBox->addWidget(PatTableGrid);
    page->addWidget(Panel2, 1);
    Table = new TPatchTable(PatTableGrid, patches_, this);
    FromChEdit->installEventFilter(this);
    ToChEdit->installEventFilter(this);

    connect(PatNoCombo, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (!selecting_)
            Q_EMIT PatNoComboChange(index);
    });
    connect(CheckLvlBar, &QSlider::valueChanged, this,
            [this](int level) { Q_EMIT CheckLvlBarChange(level); });
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
    Table->Layout(mode, width, ab);
    // In the output-to-input view FromChEdit takes the outputs, in the other the input.
    FromChEdit->setFixedWidth(mode == 0 ? 100 : 50);
    ToChEdit->setFixedWidth(mode == 0 ? 50 : 100);
}

void TPatchPage::RepaintTable() {
    Table->RepaintTable();
}

bool TPatchPage::eventFilter(QObject *watched, QEvent *event) {
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            if (watched == FromChEdit)
                Q_EMIT FromChEditEnter();
            else if (watched == ToChEdit)
                Q_EMIT ToChEditEnter();
            return true; // the carriage return never reaches the edit
        }
    }
    return QWidget::eventFilter(watched, event);
}

void TPatchPage::SetCheckLevel(int level) {
    const QSignalBlocker block(CheckLvlBar);
    CheckLvlBar->setValue(level);
}

} // namespace kestrava
