#include "PtyPeer.h"

#include <QThread>

#include <atomic>
#include <mutex>
#include <thread>

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

namespace kestrava::test {

struct PtyPeer::Impl {
    int master = -1;
    int slave = -1;
    QString path;
    std::thread thread;
    std::atomic<bool> stop{false};
    mutable std::mutex lock;
    Handler handler;
    QList<QByteArray> requests;
    QByteArray received;

    void writeAll(const QByteArray &b) {
        std::lock_guard g(lock);
        if (master < 0)
            return;
        const char *p = b.constData();
        qsizetype left = b.size();
        while (left > 0) {
            const ssize_t n = ::write(master, p, size_t(left));
            if (n <= 0)
                return;
            p += n;
            left -= n;
        }
    }

    void run() {
        QByteArray pending;
        while (!stop) {
            int fd;
            {
                std::lock_guard g(lock);
                fd = master;
            }
            if (fd < 0)
                return;
            pollfd p{fd, POLLIN, 0};
            if (::poll(&p, 1, 10) <= 0 || !(p.revents & POLLIN))
                continue;
            char buf[256];
            const ssize_t n = ::read(fd, buf, sizeof buf);
            if (n <= 0)
                continue;
            Handler h;
            QList<QByteArray> complete;
            {
                std::lock_guard g(lock);
                received.append(buf, n);
                pending.append(buf, n);
                qsizetype cr;
                while ((cr = pending.indexOf('\r')) >= 0) {
                    complete.append(pending.left(cr));
                    pending.remove(0, cr + 1);
                }
                requests.append(complete);
                h = handler;
            }
            for (const QByteArray &request : complete) {
                if (!h)
                    continue;
                for (const Chunk &c : h(request)) {
                    if (c.delayMs > 0)
                        std::this_thread::sleep_for(std::chrono::milliseconds(c.delayMs));
                    writeAll(c.bytes);
                }
            }
        }
    }
};

PtyPeer::PtyPeer() : d(std::make_unique<Impl>()) {
    char name[128] = {};
    termios raw{};
    cfmakeraw(&raw);
    if (::openpty(&d->master, &d->slave, name, &raw, nullptr) != 0)
        return;
    d->path = QString::fromLocal8Bit(name);
    d->thread = std::thread([this] { d->run(); });
}

PtyPeer::~PtyPeer() {
    d->stop = true;
    if (d->thread.joinable())
        d->thread.join();
    hangUp();
    if (d->slave >= 0)
        ::close(d->slave);
}

bool PtyPeer::ok() const {
    return !d->path.isEmpty();
}
QString PtyPeer::devicePath() const {
    return d->path;
}

void PtyPeer::setHandler(Handler handler) {
    std::lock_guard g(d->lock);
    d->handler = std::move(handler);
}

void PtyPeer::answerAll(const QByteArray &reply) {
    setHandler([reply](const QByteArray &) { return std::vector<Chunk>{{0, reply}}; });
}

void PtyPeer::send(const QByteArray &bytes) {
    d->writeAll(bytes);
}

QList<QByteArray> PtyPeer::requests() const {
    std::lock_guard g(d->lock);
    return d->requests;
}

QByteArray PtyPeer::received() const {
    std::lock_guard g(d->lock);
    return d->received;
}

PtyPeer::LineSettings PtyPeer::lineSettings() const {
    LineSettings l;
    termios t{};
    if (d->slave < 0 || ::tcgetattr(d->slave, &t) != 0)
        return l;
    switch (t.c_cflag & CSIZE) {
    case CS5:
        l.dataBits = 5;
        break;
    case CS6:
        l.dataBits = 6;
        break;
    case CS7:
        l.dataBits = 7;
        break;
    default:
        l.dataBits = 8;
        break;
    }
    l.twoStopBits = t.c_cflag & CSTOPB;
    l.parity = !(t.c_cflag & PARENB) ? 'N' : (t.c_cflag & PARODD) ? 'O' : 'E';
    const speed_t sp = cfgetospeed(&t);
    const std::pair<speed_t, int> rates[] = {{B1200, 1200},   {B2400, 2400},    {B4800, 4800},
                                             {B9600, 9600},   {B19200, 19200},  {B38400, 38400},
                                             {B57600, 57600}, {B115200, 115200}};
    for (const auto &r : rates)
        if (r.first == sp)
            l.baud = r.second;
    return l;
}

void PtyPeer::hangUp() {
    std::lock_guard g(d->lock);
    if (d->master >= 0)
        ::close(d->master);
    d->master = -1;
}

} // namespace kestrava::test
