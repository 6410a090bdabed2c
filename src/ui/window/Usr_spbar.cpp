#include "Usr_spbar.h"

#include <QGuiApplication>
#include <QResizeEvent>
#include <QThread>

namespace kestrava {

TStatusBar::TStatusBar(const QList<int> &panelWidths, QWidget *parent)
    : QWidget(parent), widths_(panelWidths) {
    for (int i = 0; i < widths_.size(); ++i) {
        widths_[i] = qMax(0, widths_[i]);
        auto *label = new QLabel(this);
        label->setObjectName(QStringLiteral("panel%1").arg(i));
        label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        label->setTextFormat(Qt::PlainText);
        label->setContentsMargins(2, 0, 2, 0);
        panels_.append(label);
    }
    // The height is fixed now, not at the first layout: the progress bar takes its
    // geometry from it when it is created, before the window is shown.
    setFixedHeight(fontMetrics().height() + 8);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    int total = 0;
    for (int w : widths_)
        total += w;
    resize(qMax(total, width()), height());
    layoutPanels();
}

int TStatusBar::panelCount() const {
    return int(panels_.size());
}

int TStatusBar::panelWidth(int panel) const {
    return panel >= 0 && panel < widths_.size() ? widths_[panel] : 0;
}

QString TStatusBar::panelText(int panel) const {
    const QLabel *label = this->panel(panel);
    return label ? label->text() : QString();
}

void TStatusBar::setPanelText(int panel, const QString &text) {
    QLabel *label = this->panel(panel);
    if (!label || label->text() == text)
        return; // the timer refreshes panels ten times a second
    label->setText(text);
    // A panel grows (never shrinks) to show its whole text: the widths are made for the
    // Japanese texts, and an English one can be longer.
    if (panel == panels_.size() - 1)
        return;
    const QMargins m = label->contentsMargins();
    const int needed = label->fontMetrics().horizontalAdvance(text) + m.left() + m.right() +
                       2 * label->frameWidth() + 2;
    if (needed > widths_[panel]) {
        widths_[panel] = needed;
        layoutPanels();
    }
}

QLabel *TStatusBar::panel(int panel) const {
    return panel >= 0 && panel < panels_.size() ? panels_[panel] : nullptr;
}

QSize TStatusBar::sizeHint() const {
    int total = 0;
    for (int w : widths_)
        total += w;
    return {total, height()};
}

void TStatusBar::resizeEvent(QResizeEvent *event) {
    QWidget::resizeEvent(event);
    layoutPanels();
}

void TStatusBar::layoutPanels() {
    // Panels keep their widths; the last one takes whatever room is left.
    int x = 0;
    for (int i = 0; i < panels_.size(); ++i) {
        int w = widths_[i];
        if (i == panels_.size() - 1)
            w = qMax(w, width() - x);
        panels_[i]->setGeometry(x, 0, w, height());
        x += widths_[i];
    }
}

StatusBarProgress::StatusBarProgress(TStatusBar *statusBar, int barPanel)
    : statusBar_(statusBar), barPanel_(barPanel) {
    if (!statusBar || barPanel < 0 || barPanel >= statusBar->panelCount())
        return;
    bar_ = new QProgressBar(statusBar);
    bar_->setObjectName(QStringLiteral("progressBar"));
    placeBar();
    bar_->setRange(0, 100);
    bar_->setValue(0);
    bar_->setTextVisible(false);
    bar_->hide();
    bar_->raise();
}

void StatusBarProgress::placeBar() {
    int left = 2;
    for (int i = 0; i < barPanel_; ++i)
        left += statusBar_->panelWidth(i);
    bar_->setGeometry(left, 2, statusBar_->panelWidth(barPanel_) - 2,
                      statusBar_->contentsRect().height() - 2);
}

StatusBarProgress::~StatusBarProgress() {
    if (waitCursor_)
        QGuiApplication::restoreOverrideCursor();
    delete bar_.data();
}

void StatusBarProgress::Start(const QString &text) {
    // A second Start before Finish keeps the one hourglass, so that Finish pops
    // exactly what was pushed.
    if (!waitCursor_) {
        QGuiApplication::setOverrideCursor(Qt::WaitCursor);
        waitCursor_ = true;
    }
    if (!bar_ || !statusBar_)
        return;
    statusBar_->setPanelText(textPanel_, text);
    statusBar_->setPanelText(barPanel_, QString());
    placeBar(); // the panels before it may have grown
    // The whole window, not only the bar: the menu that started the command has just closed
    // over it, and nothing else paints until the transfer ends.
    statusBar_->window()->repaint();
    bar_->setValue(0);
    bar_->show();
    // Transfers block the event loop: paint now or the bar is never seen.
    bar_->repaint();
}

void StatusBarProgress::SetFraction(double fraction) {
    if (!bar_)
        return;
    const int position = ProgressPosition(fraction);
    // setValue repaints at once by itself when the change is visible.
    if (bar_->value() != position)
        bar_->setValue(position);
}

void StatusBarProgress::Finish(const QString &text) {
    if (waitCursor_) {
        QGuiApplication::restoreOverrideCursor();
        waitCursor_ = false;
    }
    if (!bar_)
        return;
    bar_->setValue(bar_->maximum());
    bar_->repaint();
    // A plain sleep: processing events here could start another command while the
    // one that finishes is still on the stack.
    QThread::msleep(100);
    bar_->hide();
    if (statusBar_)
        statusBar_->setPanelText(textPanel_, text);
}

} // namespace kestrava
