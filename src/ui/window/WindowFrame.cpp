#include "WindowFrame.h"

#include <QEvent>
#include <QTimer>

#include <optional>

namespace kestrava {

namespace {

bool isNormal(const QWidget *window) {
    return !(window->windowState() &
             (Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen));
}

// Watches a placed window: remembers the frame it has in its normal state (a maximized
// window often has another, or none), and finishes a placement made before the frame
// was known.
class FrameWatcher : public QObject {
    Q_OBJECT
public:
    explicit FrameWatcher(QWidget *window) : QObject(window), window_(window) {
        setObjectName(QStringLiteral("FrameWatcher"));
        window->installEventFilter(this);
        poll_.setInterval(kPollMs);
        connect(&poll_, &QTimer::timeout, this, &FrameWatcher::look);
    }

    static FrameWatcher *find(const QWidget *window) {
        return window->findChild<FrameWatcher *>(QStringLiteral("FrameWatcher"),
                                                 Qt::FindDirectChildrenOnly);
    }
    static FrameWatcher *on(QWidget *window) {
        FrameWatcher *w = find(window);
        return w ? w : new FrameWatcher(window);
    }

    // The window was placed with its client area at client for the outer rectangle outer,
    // taking frame for its normal frame (none: not known yet).
    void placed(const QRect &outer, const QRect &client, const QMargins &frame,
                const FrameProbe &probe) {
        probe_ = probe;
        outer_ = outer;
        client_ = client;
        pending_ = frame.isNull();
        if (!pending_)
            normalFrame_ = frame;
        polls_ = 0;
        poll_.start();
    }

    // The outer rectangle still waiting for its frame, while the window has not moved.
    std::optional<QRect> pendingOuter(const QRect &normalClient) const {
        if (pending_ && normalClient == client_)
            return outer_;
        return std::nullopt;
    }
    std::optional<QMargins> normalFrame() const { return normalFrame_; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override {
        if (watched == window_) {
            switch (event->type()) {
            case QEvent::Show:
            case QEvent::Move:
            case QEvent::Resize:
            case QEvent::WindowStateChange:
                // Looked at once the window has settled: a state change arrives as a
                // series of moves and resizes, and in between the window is neither.
                poll_.start();
                break;
            default:
                break;
            }
        }
        return QObject::eventFilter(watched, event);
    }

private:
    static constexpr int kPollMs = 50;
    static constexpr int kMaxPolls = 20;

    void look() {
        if (!window_->isVisible() || !isNormal(window_)) {
            poll_.stop(); // a maximized window waits for its normal state
            return;
        }
        const QMargins frame = WindowFrame(window_, probe_);
        if (!frame.isNull())
            normalFrame_ = frame;
        // Back in the size it was given (not in the middle of leaving the maximized state):
        // the frame goes where it was stored.
        if (pending_ && !frame.isNull() && window_->geometry().size() == client_.size()) {
            pending_ = false;
            window_->setGeometry(outer_.marginsRemoved(frame));
        }
        // Some window managers tell the frame without moving the window: keep looking
        // for a while; without a frame by then, there is nothing to correct.
        if (pending_ && ++polls_ < kMaxPolls)
            return;
        pending_ = false;
        poll_.stop();
    }

    QWidget *window_;
    FrameProbe probe_;
    QTimer poll_;
    int polls_ = 0;
    bool pending_ = false;
    QRect outer_;
    QRect client_;
    std::optional<QMargins> normalFrame_;
};

} // namespace

QMargins WindowFrame(const QWidget *window, const FrameProbe &probe) {
    if (!window)
        return {};
    if (probe)
        return probe(window);
    const QRect client = window->geometry();
    const QRect outer = window->frameGeometry();
    return {client.left() - outer.left(), client.top() - outer.top(),
            outer.right() - client.right(), outer.bottom() - client.bottom()};
}

void PlaceNormalFrame(QWidget *window, const QRect &outer, const FrameProbe &probe) {
    const QMargins frame = WindowFrame(window, probe);
    QRect client = outer.marginsRemoved(frame);
    client.setSize(client.size().expandedTo(QSize(1, 1)));
    window->setGeometry(client);
    FrameWatcher::on(window)->placed(outer, window->geometry(), frame, probe);
}

QRect NormalFrameRect(const QWidget *window, const FrameProbe &probe) {
    QRect client = window->normalGeometry();
    if (!client.isValid())
        client = window->geometry();
    const FrameWatcher *watcher = FrameWatcher::find(window);
    if (watcher) {
        if (const std::optional<QRect> outer = watcher->pendingOuter(client))
            return *outer;
    }
    QMargins frame = WindowFrame(window, probe);
    if (!isNormal(window) && watcher && watcher->normalFrame())
        frame = *watcher->normalFrame();
    return client.marginsAdded(frame);
}

} // namespace kestrava

#include "WindowFrame.moc"
