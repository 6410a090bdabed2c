#pragma once

#include <QObject>

#include <functional>

class QWidget;

namespace kestrava {

// Runs a function once, after a widget has been painted for the first time, so that
// work which blocks the event loop starts with the window already on screen; or after
// a time-out when no paint comes (a window started minimised).
class TAfterFirstPaint : public QObject {
    Q_OBJECT
public:
    TAfterFirstPaint(QWidget *watched, int timeoutMs, std::function<void()> run);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void fire();

    std::function<void()> run_;
    bool fired_ = false;
};

} // namespace kestrava
