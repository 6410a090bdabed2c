#include "AboutBox.h"

#include "AppIcon.h"
#include "UnitLink.h"
#include "Usr_env.h"

#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>

namespace kestrava {

namespace {

QLabel *centredLabel(const char *name, QWidget *parent, const QRect &bounds) {
    auto *label = new QLabel(parent);
    label->setObjectName(QLatin1String(name));
    label->setAlignment(Qt::AlignHCenter | Qt::AlignVCenter);
    label->setGeometry(bounds);
    return label;
}

} // namespace

TAboutBox::TAboutBox(QWidget *parent) : QDialog(parent) {
    setObjectName(QStringLiteral("AboutBox"));
    setWindowTitle(tr("バージョン情報"));
    setWindowFlag(Qt::MSWindowsFixedSizeDialogHint);
    setFixedSize(354, 222);

    Panel1 = new QFrame(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setGeometry(8, 8, 338, 161);
    // A one-pixel sunken box draws the lowered outer and raised inner bevel.
    Panel1->setFrameStyle(QFrame::Box | QFrame::Sunken);
    Panel1->setLineWidth(1);
    Panel1->setMidLineWidth(0);

    ProgramIcon = new QLabel(Panel1);
    ProgramIcon->setObjectName(QStringLiteral("ProgramIcon"));
    ProgramIcon->setGeometry(16, 16, 33, 33);
    ProgramIcon->setScaledContents(true);
    QIcon icon = QGuiApplication::windowIcon();
    if (icon.isNull())
        icon = KestravaAppIcon();
    ProgramIcon->setPixmap(icon.pixmap(64, 64));

    ProductName = centredLabel("ProductName", Panel1, QRect(48, 24, 240, 30));
    QFont titleFont = font();
    titleFont.setPointSize(14);
    ProductName->setFont(titleFont);
    ProductName->setText(QString::fromLatin1(kApplicationTitle));

    Version = centredLabel("Version", Panel1, QRect(58, 56, 220, 18));
    UnitVersion = centredLabel("UnitVersion", Panel1, QRect(58, 78, 220, 18));
    Copyright = centredLabel("Copyright", Panel1, QRect(37, 111, 263, 18));

    OKButton = new QPushButton(tr("OK"), this);
    OKButton->setObjectName(QStringLiteral("OKButton"));
    OKButton->setGeometry(139, 189, 75, 25);
    OKButton->setDefault(true);
    connect(OKButton, &QPushButton::clicked, this, &QDialog::accept);
}

void TAboutBox::Prepare(int firmwareVersion) {
    Version->setText(QStringLiteral("Version ") + FormatProductVersion());
    UnitVersion->setText(QStringLiteral("VELQARIN V") + FormatFirmwareVersion(firmwareVersion));
    Copyright->setText(QString::fromLatin1(kMakerNotice));
}

void TAboutBox::showEvent(QShowEvent *event) {
    FormShow();
    QDialog::showEvent(event);
}

void TAboutBox::FormShow() {
    // A short title gets the large type; a longer one keeps the size it has.
    if (ProductName->text().size() <= 8) {
        QFont f = ProductName->font();
        f.setPointSize(18);
        ProductName->setFont(f);
    }
}

} // namespace kestrava
