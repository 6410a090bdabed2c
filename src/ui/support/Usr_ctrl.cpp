#include "Usr_ctrl.h"

#include <QEvent>
#include <QKeyEvent>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

namespace kestrava {

namespace {

QToolButton *arrowButton(Qt::ArrowType arrow, QWidget *parent) {
    auto *b = new QToolButton(parent);
    b->setArrowType(arrow);
    b->setAutoRepeat(true);
    // Clicking the arrows must not take the focus from the edit: leaving the edit
    // is what the dialogs check its number on.
    b->setFocusPolicy(Qt::NoFocus);
    b->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Ignored);
    return b;
}

bool readInt(const QString &text, int *value) {
    bool ok = false;
    const int v = text.toInt(&ok, 10);
    if (ok)
        *value = v;
    return ok;
}

} // namespace

TUpDown::TUpDown(QWidget *parent) : QWidget(parent) {
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    auto *up = arrowButton(Qt::UpArrow, this);
    auto *down = arrowButton(Qt::DownArrow, this);
    up->setObjectName(QStringLiteral("up"));
    down->setObjectName(QStringLiteral("down"));
    layout->addWidget(up);
    layout->addWidget(down);
    connect(up, &QToolButton::clicked, this, [this] { step(1); });
    connect(down, &QToolButton::clicked, this, [this] { step(-1); });
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Preferred);
    setFocusPolicy(Qt::NoFocus);
}

QSize TUpDown::sizeHint() const {
    const int h = edit_ ? edit_->sizeHint().height() : fontMetrics().height() + 8;
    return {qMax(16, fontMetrics().height()), h};
}

void TUpDown::setAssociate(QLineEdit *edit) {
    if (edit_)
        edit_->removeEventFilter(this);
    edit_ = edit;
    if (edit_)
        edit_->installEventFilter(this);
    updateGeometry();
}

void TUpDown::setRange(int minimum, int maximum) {
    min_ = std::min(minimum, maximum);
    max_ = std::max(minimum, maximum);
    setPosition(pos_);
}

void TUpDown::setPosition(int value) {
    const int v = std::clamp(value, min_, max_);
    if (v == pos_)
        return;
    pos_ = v;
    Q_EMIT positionChanged(pos_);
}

void TUpDown::step(int delta) {
    // Start from the number the edit shows, as the user may have typed one.
    int base = pos_;
    if (edit_ && readInt(edit_->text(), &base))
        base = std::clamp(base, min_, max_);
    const qint64 target = std::clamp<qint64>(qint64(base) + delta, min_, max_);
    SetUpDownPosition(this, int(target));
}

bool TUpDown::eventFilter(QObject *watched, QEvent *event) {
    // Key presses only: during the edit's destruction QPointer's cast would be wrong.
    if (event->type() == QEvent::KeyPress && isEnabled() && edit_ &&
        watched == static_cast<QObject *>(edit_.get())) {
        const auto *key = static_cast<QKeyEvent *>(event);
        if (key->key() == Qt::Key_Up || key->key() == Qt::Key_Down) {
            step(key->key() == Qt::Key_Up ? 1 : -1);
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void SetUpDownPosition(TUpDown *upDown, int value) {
    if (!upDown)
        return;
    upDown->setPosition(value);
    if (QLineEdit *edit = upDown->associate())
        edit->setText(QString::asprintf("%i", upDown->position()));
}

bool IsUpDownTextInRange(const TUpDown *upDown) {
    if (!upDown || !upDown->associate())
        return true;
    // Compared in 64 bits so that a minimum of INT_MIN cannot wrap.
    qint64 value = qint64(upDown->minimum()) - 1;
    int parsed = 0;
    if (readInt(upDown->associate()->text(), &parsed))
        value = parsed;
    return upDown->minimum() <= value && value <= upDown->maximum();
}

void SuspendRedraw(QWidget *window) {
    if (window)
        window->setUpdatesEnabled(false);
}

void ResumeRedraw(QWidget *window) {
    if (!window)
        return;
    window->setUpdatesEnabled(true);
    window->update();
}

} // namespace kestrava
