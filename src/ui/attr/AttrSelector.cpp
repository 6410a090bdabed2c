#include "AttrSelector.h"

#include "LoadAttrModel.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QFocusEvent>
#include <QHBoxLayout>
#include <QKeyEvent>

namespace kestrava {

TAttrSelector::TAttrSelector(QWidget *area, QWidget *grid)
    : QFrame(area), area_(area), grid_(grid) {
    setObjectName(QStringLiteral("InpCrvPanel"));
    setFrameShape(QFrame::NoFrame);
    resize(104, 24);
    auto *box = new QHBoxLayout(this);
    box->setContentsMargins(0, 0, 0, 0);
    SelCrvComboBox = new QComboBox(this);
    SelCrvComboBox->setObjectName(QStringLiteral("SelCrvComboBox"));
    SelCrvComboBox->addItems(LoadAttrSelectorItems());
    box->addWidget(SelCrvComboBox);
    hide();

    connect(SelCrvComboBox, &QComboBox::activated, this, &TAttrSelector::SelCrvComboBoxChange);
    SelCrvComboBox->installEventFilter(this);
    area_->installEventFilter(this);
    // The list's keys and clicks come here before the list handles them.
    SelCrvComboBox->view()->installEventFilter(this);
    SelCrvComboBox->view()->viewport()->installEventFilter(this);
}

void TAttrSelector::Open(const TEditRange &range, const QRect &cell, int index) {
    range_ = range;
    setGeometry(cell);
    SelCrvComboBox->setCurrentIndex(index);
    show();
    raise();
    SelCrvComboBox->setFocus(Qt::OtherFocusReason);
    pressedInList_ = false;
    SelCrvComboBox->showPopup();
}

void TAttrSelector::Close() {
    if (!IsOpen())
        return;
    range_ = TEditRange();
    SelCrvComboBox->hidePopup();
    if (isVisible())
        hide();
    if (grid_->isVisible())
        grid_->setFocus(Qt::OtherFocusReason);
}

void TAttrSelector::SelCrvComboBoxChange() {
    // A change seen while the list is still down is only the list being browsed.
    if (!IsOpen() || SelCrvComboBox->view()->isVisible())
        return;
    const TEditRange range = range_;
    const int index = SelCrvComboBox->currentIndex();
    Close();
    Q_EMIT Applied(range, index);
}

bool TAttrSelector::leftForElsewhere(const QFocusEvent *event) const {
    // A popup (the list itself) or another window taking the focus is not leaving.
    if (event->reason() == Qt::PopupFocusReason || event->reason() == Qt::ActiveWindowFocusReason)
        return false;
    const QWidget *now = QApplication::focusWidget();
    return !now || (now != this && !isAncestorOf(now) &&
                    !SelCrvComboBox->view()->window()->isAncestorOf(now));
}

bool TAttrSelector::eventFilter(QObject *watched, QEvent *event) {
    if (!IsOpen())
        return QFrame::eventFilter(watched, event);
    QAbstractItemView *list = SelCrvComboBox->view();
    switch (event->type()) {
    case QEvent::KeyPress: {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Escape) {
            Close();
            return true;
        }
        if (watched == SelCrvComboBox && (key == Qt::Key_Return || key == Qt::Key_Enter)) {
            SelCrvComboBoxChange();
            return true;
        }
        break;
    }
    case QEvent::Resize:
        // Over a resized grid the panel would no longer sit on its cell.
        if (watched == area_)
            Close();
        break;
    case QEvent::FocusOut:
        if (watched == SelCrvComboBox && leftForElsewhere(static_cast<QFocusEvent *>(event)))
            Close();
        break;
    case QEvent::MouseButtonPress:
        if (watched == list->viewport())
            pressedInList_ = true;
        break;
    case QEvent::MouseButtonRelease:
        // The release of the double click that opened the list is no choice.
        if (watched == list->viewport() && !pressedInList_)
            return true;
        break;
    default:
        break;
    }
    return QFrame::eventFilter(watched, event);
}

} // namespace kestrava
