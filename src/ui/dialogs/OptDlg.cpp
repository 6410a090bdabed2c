#include "OptDlg.h"

#include "AppSettings.h"
#include "ComPorts.h"
#include "Usr_help.h"
#include "Usr_misc.h"

#include <QApplication>
#include <QFocusEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

#include <algorithm>

namespace kestrava {

namespace {

QLineEdit *numberEdit(const char *name, QWidget *parent) {
    auto *edit = new QLineEdit(parent);
    edit->setObjectName(QLatin1String(name));
    edit->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    edit->setMaxLength(4);
    edit->setFixedWidth(edit->fontMetrics().horizontalAdvance(QStringLiteral("00000")) + 12);
    return edit;
}

TUpDown *upDown(const char *name, QLineEdit *edit, QWidget *parent) {
    auto *ud = new TUpDown(parent);
    ud->setObjectName(QLatin1String(name));
    ud->setRange(1, TOptDlg::MaxChannels);
    ud->setAssociate(edit);
    return ud;
}

QGroupBox *numberGroup(QGroupBox *box, QLineEdit *edit, TUpDown *ud) {
    auto *row = new QHBoxLayout(box);
    row->setSpacing(0);
    row->addStretch(1);
    row->addWidget(edit);
    row->addWidget(ud);
    return box;
}

void colourByRange(QLineEdit *edit, const TUpDown *ud) {
    // An empty palette inherits everything again, so the normal colour follows the
    // application's palette.
    QPalette palette;
    if (!IsUpDownTextInRange(ud))
        palette.setColor(QPalette::Text, Qt::red);
    edit->setPalette(palette);
}

} // namespace

TOptDlg::TOptDlg(TBoxes boxes, QWidget *parent) : QDialog(parent), boxes_(boxes) {
    setObjectName(QStringLiteral("OptDlg"));
    setWindowTitle(tr("オプション設定"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    buildControls();
    layOut();

    connect(OKBtn, &QPushButton::clicked, this, &QDialog::accept);
    connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);
    connect(FindPortBtn, &QPushButton::clicked, this, &TOptDlg::FindPort);
    connect(MaxRxChEdit, &QLineEdit::textChanged, this, &TOptDlg::MaxRxChEditChange);
    connect(MaxTxChEdit, &QLineEdit::textChanged, this, &TOptDlg::MaxTxChEditChange);
    MaxRxChEdit->installEventFilter(this);
    MaxTxChEdit->installEventFilter(this);

    FormCreate();
    SetUpDownPosition(MaxRxUpDown, LineChannelCount);
    SetUpDownPosition(MaxTxUpDown, LineChannelCount);
}

void TOptDlg::buildControls() {
    GroupBox1 = new QGroupBox(tr("USBシリアルポート"), this);
    GroupBox1->setObjectName(QStringLiteral("GroupBox1"));
    Label1 = new QLabel(tr("COM"), GroupBox1);
    Label1->setObjectName(QStringLiteral("Label1"));
    ComPortCombo = new QComboBox(GroupBox1);
    ComPortCombo->setObjectName(QStringLiteral("ComPortCombo"));
    ComPortCombo->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    ComPortCombo->setMinimumContentsLength(24);
    Label1->setBuddy(ComPortCombo);
    FindPortBtn = new QPushButton(tr("ポートを探す..."), GroupBox1);
    FindPortBtn->setObjectName(QStringLiteral("FindPortBtn"));
    FindPortBtn->setAutoDefault(false);
    auto *portRow = new QHBoxLayout(GroupBox1);
    portRow->addWidget(Label1);
    portRow->addWidget(ComPortCombo, 1);
    portRow->addWidget(FindPortBtn);

    GroupBox2 = new QGroupBox(tr("最大入力Ch"), this);
    GroupBox2->setObjectName(QStringLiteral("GroupBox2"));
    MaxRxChEdit = numberEdit("MaxRxChEdit", GroupBox2);
    MaxRxUpDown = upDown("MaxRxUpDown", MaxRxChEdit, GroupBox2);
    numberGroup(GroupBox2, MaxRxChEdit, MaxRxUpDown);

    GroupBox3 = new QGroupBox(tr("最大出力Ch"), this);
    GroupBox3->setObjectName(QStringLiteral("GroupBox3"));
    MaxTxChEdit = numberEdit("MaxTxChEdit", GroupBox3);
    MaxTxUpDown = upDown("MaxTxUpDown", MaxTxChEdit, GroupBox3);
    numberGroup(GroupBox3, MaxTxChEdit, MaxTxUpDown);

    WarnPatCheckBox = new QCheckBox(tr("入力→出力モードで既存パッチを警告する"), this);
    WarnPatCheckBox->setObjectName(QStringLiteral("WarnPatCheckBox"));

    OKBtn = new QPushButton(tr("OK"), this);
    OKBtn->setObjectName(QStringLiteral("OKBtn"));
    OKBtn->setDefault(true);
    CancelBtn = new QPushButton(tr("キャンセル"), this);
    CancelBtn->setObjectName(QStringLiteral("CancelBtn"));
}

void TOptDlg::layOut() {
    auto *numbers = new QHBoxLayout;
    numbers->addWidget(GroupBox2);
    numbers->addWidget(GroupBox3);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(OKBtn);
    buttons->addWidget(CancelBtn);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(GroupBox1);
    layout->addLayout(numbers);
    layout->addWidget(WarnPatCheckBox);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

void TOptDlg::FormCreate() {
    const QRegularExpression digits(QStringLiteral("[0-9]{0,4}"));
    MaxRxChEdit->setValidator(new QRegularExpressionValidator(digits, MaxRxChEdit));
    MaxTxChEdit->setValidator(new QRegularExpressionValidator(digits, MaxTxChEdit));
}

void TOptDlg::Load(const QStringList &portItems, int comPortNo, int maxRx, int maxTx, bool warn) {
    ComPortCombo->clear();
    ComPortCombo->addItems(portItems);
    ComPortCombo->setCurrentIndex(SelectComPortItem(portItems, comPortNo));
    MaxRxUpDown->setRange(1, MaxChannels);
    MaxTxUpDown->setRange(1, MaxChannels);
    SetUpDownPosition(MaxRxUpDown, maxRx);
    SetUpDownPosition(MaxTxUpDown, maxTx);
    WarnPatCheckBox->setChecked(warn);
}

void TOptDlg::FindPort() {
    if (!listPorts_)
        return;
    const QString caption = tr("ポートを探す");
    if (!boxes_.AskYesNo(tr("ユニットの USB ケーブルを外してから「はい」を押してください"),
                         caption))
        return;
    const QStringList before = listPorts_();
    if (!boxes_.AskYesNo(tr("ユニットを差し込み、数秒待ってから「はい」を押してください"), caption))
        return;
    // Listing gives a device seen for the first time its COM number.
    const QStringList after = listPorts_();
    const int appeared = AppearedComPortItem(before, after);
    if (appeared < 0) {
        boxes_.Warning(tr("新しいポートが見つかりませんでした"), caption);
        return;
    }
    ComPortCombo->clear();
    ComPortCombo->addItems(after);
    ComPortCombo->setCurrentIndex(appeared);
}

int TOptDlg::ComPortNumber() const {
    return ComPortItemNumber(ComPortText());
}

void TOptDlg::ApplyChannelCounts(TAppSettings &settings, TPatchModel &patches) const {
    bool ok = false;
    const int rx = MaxRxText().toInt(&ok);
    if (ok)
        settings.MaxRxChannel = patches.MaxRxChannel = std::clamp(rx, 1, MaxChannels);
    const int tx = MaxTxText().toInt(&ok);
    if (ok)
        settings.MaxTxChannel = patches.MaxTxChannel = std::clamp(tx, 1, MaxChannels);
}

void TOptDlg::done(int result) {
    if (result == QDialog::Accepted &&
        (!IsUpDownTextInRange(MaxRxUpDown) || !IsUpDownTextInRange(MaxTxUpDown)))
        return;
    QDialog::done(result);
}

void TOptDlg::MaxRxChEditChange() {
    colourByRange(MaxRxChEdit, MaxRxUpDown);
}

void TOptDlg::MaxTxChEditChange() {
    colourByRange(MaxTxChEdit, MaxTxUpDown);
}

TUpDown *TOptDlg::upDownOf(const QLineEdit *edit) const {
    return edit == MaxRxChEdit ? MaxRxUpDown : edit == MaxTxChEdit ? MaxTxUpDown : nullptr;
}

bool TOptDlg::eventFilter(QObject *watched, QEvent *event) {
    if (event->type() == QEvent::FocusOut && (watched == MaxRxChEdit || watched == MaxTxChEdit)) {
        // Only a move to another control of this dialog leaves the edit; another
        // window coming to the front (the warning box itself) or a menu does not.
        const Qt::FocusReason reason = static_cast<QFocusEvent *>(event)->reason();
        if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason)
            NumberEditExit(static_cast<QLineEdit *>(watched));
    }
    return QDialog::eventFilter(watched, event);
}

void TOptDlg::NumberEditExit(QLineEdit *edit) {
    if (exitWarningPending_ || IsUpDownTextInRange(upDownOf(edit)))
        return;
    // Cancel closes without applying anything, so the number does not matter; a
    // warning here would swallow the click.
    if (QApplication::focusWidget() == CancelBtn)
        return;
    // The box and the refocusing wait until the focus change has finished.
    exitWarningPending_ = true;
    QMetaObject::invokeMethod(
        this, [this, target = QPointer<QLineEdit>(edit)] { WarnOutOfRange(target); },
        Qt::QueuedConnection);
}

void TOptDlg::WarnOutOfRange(QLineEdit *edit) {
    if (edit && isVisible() && !IsUpDownTextInRange(upDownOf(edit))) {
        boxes_.Warning(tr("入力した数値[%1]は範囲を超えています").arg(edit->text()));
        if (isVisible())
            edit->setFocus(Qt::OtherFocusReason);
    }
    exitWarningPending_ = false;
}

void TOptDlg::keyPressEvent(QKeyEvent *event) {
    if (event->key() == Qt::Key_F1 && event->modifiers() == Qt::NoModifier) {
        Q_EMIT helpRequested(HelpContext::Options);
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

} // namespace kestrava
