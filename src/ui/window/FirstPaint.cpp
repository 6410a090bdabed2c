#include "FirstPaint.h"

#include <QEvent>
#include <QTimer>
#include <QWidget>

namespace kestrava {

TAfterFirstPaint::TAfterFirstPaint(QWidget *watched, int timeoutMs, std::function<void()> run)
    : QObject(watched), run_(std::move(run)) {
    watched->installEventFilter(this);
    QTimer::singleShot(timeoutMs, this, &TAfterFirstPaint::fire);
}

bool TAfterFirstPaint::eventFilter(QObject *watched, QEvent *event) {
    if (event->type() == QEvent::Paint)
        // Queued: the painted frame is flushed to the screen before the work starts.
        QTimer::singleShot(0, this, &TAfterFirstPaint::fire);
    return QObject::eventFilter(watched, event);
}

void TAfterFirstPaint::fire() {
    if (fired_)
        return;
    fired_ = true;
    parent()->removeEventFilter(this);
    run_();
}

} // namespace kestrava
