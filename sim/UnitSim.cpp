#include "UnitSim.h"

#include "StateFile.h"
#include "UnitCore.h"

#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSet>
#include <QtDebug>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <climits>
#include <deque>
#include <mutex>
#include <optional>
#include <thread>

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>
#ifdef __linux__
#include <sys/prctl.h>
#endif

namespace kestrava::sim {

namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

// Longer lines are cut; no valid request comes near this.
constexpr qsizetype kMaxLine = 4096;
// Paced answer bytes due within this span share one write.
constexpr auto kPaceQuantum = 1ms;
// A USB adapter passes its bytes on at once when this many wait (a full packet).
constexpr qsizetype kUsbPacketBytes = 62;
// While hanging up, the client gets this long at least to read the last answer...
constexpr auto kCloseGrace = 20ms;
// ...and at most this long.
constexpr auto kCloseLimit = 1000ms;

struct Faults {
    bool absent = false;
    int silentAfter = -1;
    QSet<QByteArray> refused;
    QHash<QByteArray, QByteArray> overrides;
    bool ackWithoutCr = false;
    int chunkBytes = 0;
    int chunkDelayMs = 0;
    QByteArray noise;
    int closeAfter = -1;
    int faultAt = -1;
    bool refusing = false;
    UnitSim::Fault fault = UnitSim::Fault::Refuse;
};

struct Request {
    QByteArray line;
    Clock::time_point due; // when its last byte is in, at the paced rate
};

struct Segment {
    QByteArray bytes;
    Clock::time_point at;
};

void closeFd(int &fd) {
    if (fd >= 0)
        ::close(fd);
    fd = -1;
}

bool setFlag(int fd, int getCmd, int setCmd, int flag) {
    const int flags = ::fcntl(fd, getCmd);
    return flags >= 0 && ::fcntl(fd, setCmd, flags | flag) == 0;
}

} // namespace

struct UnitSim::Impl {
    explicit Impl(UnitSimOptions o) : options(std::move(o)), baud(options.baud) {}

    // Guarded by mutex.
    mutable std::mutex mutex;
    UnitCore core;
    QStringList log;
    Faults faults;
    QString device;
    bool closed = false;
    int wakeWrite = -1; // written to by fault setters; the thread reads the other end

    // Changed only while the thread is not running (the thread closes master and slave itself
    // when it hangs up, and then ends).
    const UnitSimOptions options;
    bool started = false;
    QString linkCreated;
    int master = -1;
    int slave = -1; // held open so the line never hangs up between clients
    int wakeRead = -1;
    std::atomic<bool> stopping{false};
    std::atomic<int> baud;
    std::thread thread;

    // Owned by the thread.
    QByteArray line;
    bool lineOpen = false;
    qsizetype lineBytes = 0;
    Clock::time_point lineStart;
    Clock::time_point rxWireEnd;
    Clock::time_point txEnd;
    std::deque<Request> requests;
    std::deque<Segment> tx;
    std::optional<Clock::time_point> hangingUpSince;
    std::optional<Clock::time_point> idleUntil;

    bool open(QString *error);
    void release();
    void wake() const;
    void run();
    void receive(const char *data, qsizetype n, Clock::time_point now);
    void handleNext();
    void schedule(const QByteArray &out, Clock::time_point due);
    void holdForUsbLatency(std::size_t from);
    void flush(Clock::time_point now);
    bool readyToHangUp(Clock::time_point now);
    void hangUp();
    Clock::duration wire(qsizetype bytes) const {
        return std::chrono::nanoseconds(bytes * 10'000'000'000LL / baud.load());
    }
};

bool UnitSim::Impl::open(QString *error) {
    const auto fail = [&](const QString &what) {
        if (error)
            *error = what;
        release();
        return false;
    };
    if (::openpty(&master, &slave, nullptr, nullptr, nullptr) != 0)
        return fail(QStringLiteral("openpty: %1").arg(qt_error_string(errno)));
    // Raw before any client opens it: no echo, no CR translation, no line editing.
    termios tio{};
    if (::tcgetattr(slave, &tio) != 0)
        return fail(QStringLiteral("tcgetattr: %1").arg(qt_error_string(errno)));
    ::cfmakeraw(&tio);
    ::cfsetispeed(&tio, B57600);
    ::cfsetospeed(&tio, B57600);
    if (::tcsetattr(slave, TCSANOW, &tio) != 0)
        return fail(QStringLiteral("tcsetattr: %1").arg(qt_error_string(errno)));
    char name[PATH_MAX] = {};
    if (::ttyname_r(slave, name, sizeof name) != 0)
        return fail(QStringLiteral("ttyname: %1").arg(qt_error_string(errno)));
    int pipeFds[2];
    if (::pipe(pipeFds) != 0)
        return fail(QStringLiteral("pipe: %1").arg(qt_error_string(errno)));
    {
        std::lock_guard lock(mutex);
        wakeRead = pipeFds[0];
        wakeWrite = pipeFds[1];
    }
    for (int fd : {master, slave, wakeRead, wakeWrite})
        setFlag(fd, F_GETFD, F_SETFD, FD_CLOEXEC);
    for (int fd : {master, wakeRead, wakeWrite})
        if (!setFlag(fd, F_GETFL, F_SETFL, O_NONBLOCK))
            return fail(QStringLiteral("fcntl: %1").arg(qt_error_string(errno)));
    std::lock_guard lock(mutex);
    device = QString::fromLocal8Bit(name);
    closed = false;
    return true;
}

void UnitSim::Impl::release() {
    closeFd(master);
    closeFd(slave);
    std::lock_guard lock(mutex); // fault setters wake the thread through the pipe
    closeFd(wakeRead);
    closeFd(wakeWrite);
}

void UnitSim::Impl::wake() const {
    std::lock_guard lock(mutex);
    if (wakeWrite >= 0) {
        const char c = 0;
        [[maybe_unused]] const auto n = ::write(wakeWrite, &c, 1);
    }
}

void UnitSim::Impl::run() {
#ifdef __linux__
    // Paced bytes are written at deadlines a fraction of a millisecond apart.
    ::prctl(PR_SET_TIMERSLACK, 1UL, 0UL, 0UL, 0UL);
#endif
    line.clear();
    lineOpen = false;
    requests.clear();
    tx.clear();
    hangingUpSince.reset();
    idleUntil.reset();
    rxWireEnd = txEnd = Clock::now();

    bool writeBlocked = false;
    while (!stopping.load()) {
        Clock::time_point now = Clock::now();
        flush(now);
        writeBlocked = !tx.empty() && tx.front().at <= now;
        if (master < 0)
            break;
        if (tx.empty()) {
            if (readyToHangUp(now)) {
                hangUp();
                break;
            }
            while (!hangingUpSince && tx.empty() && !requests.empty() &&
                   requests.front().due <= now)
                handleNext();
            if (!tx.empty())
                continue; // an answer may be due at once
        }

        std::optional<Clock::time_point> deadline;
        if (!tx.empty())
            deadline = tx.front().at;
        else if (hangingUpSince)
            deadline = now + 2ms;
        else if (!requests.empty())
            deadline = requests.front().due;
        if (idleUntil && (!deadline || *idleUntil < *deadline))
            deadline = idleUntil;

        pollfd fds[2] = {{master, POLLIN, 0}, {wakeRead, POLLIN, 0}};
        if (writeBlocked)
            fds[0].events |= POLLOUT;
        if (idleUntil && !writeBlocked)
            fds[0].fd = -1;
        timespec timeout{};
        timespec *timeoutPtr = nullptr;
        if (deadline && !writeBlocked) {
            const auto left = std::max<Clock::duration>(*deadline - Clock::now(), 0ns);
            const auto ns = std::chrono::duration_cast<std::chrono::nanoseconds>(left).count();
            timeout.tv_sec = ns / 1'000'000'000;
            timeout.tv_nsec = ns % 1'000'000'000;
            timeoutPtr = &timeout;
        }
        if (::ppoll(fds, 2, timeoutPtr, nullptr) < 0) {
            if (errno == EINTR)
                continue;
            qWarning("unit simulator: poll: %s", qPrintable(qt_error_string(errno)));
            break;
        }
        if (fds[1].revents & POLLIN) {
            char drain[64];
            while (::read(wakeRead, drain, sizeof drain) > 0) {
            }
        }
        now = Clock::now();
        if (idleUntil && now >= *idleUntil)
            idleUntil.reset();
        if (fds[0].fd >= 0 && (fds[0].revents & (POLLIN | POLLHUP | POLLERR))) {
            char buf[4096];
            const ssize_t n = ::read(master, buf, sizeof buf);
            if (n > 0) {
                receive(buf, n, now);
            } else if (n == 0 || (errno != EAGAIN && errno != EINTR)) {
                // No client side open (EIO): wait for one instead of spinning on the hang-up.
                idleUntil = now + 20ms;
            }
        }
    }
}

void UnitSim::Impl::receive(const char *data, qsizetype n, Clock::time_point now) {
    for (qsizetype i = 0; i < n; ++i) {
        const char c = data[i];
        if (!lineOpen) {
            lineOpen = true;
            lineBytes = 0;
            lineStart = std::max(now, rxWireEnd);
        }
        ++lineBytes;
        if (c == '\n')
            continue;
        if (c != '\r') {
            if (line.size() < kMaxLine)
                line.append(c);
            continue;
        }
        Clock::time_point due = now;
        if (baud.load() > 0) {
            due = std::max(lineStart + wire(lineBytes), now);
            rxWireEnd = due;
        }
        requests.push_back({line, due});
        line.clear();
        lineOpen = false;
    }
}

void UnitSim::Impl::handleNext() {
    const Request request = requests.front();
    requests.pop_front();
    const QString text = QString::fromLatin1(request.line);

    QByteArray out;
    bool hangUpDue = false;
    {
        std::lock_guard lock(mutex);
        log.append(text);
        Faults &f = faults;
        if (!request.line.isEmpty() && !f.absent && f.silentAfter != 0) {
            const auto override = f.overrides.constFind(request.line);
            const bool faultHere = f.faultAt > 0 && --f.faultAt == 0;
            if (faultHere)
                f.faultAt = -1;
            f.refusing = f.refusing || (faultHere && f.fault == Fault::RefuseFrom);
            if (f.refused.contains(request.line) || f.refusing ||
                (faultHere && f.fault == Fault::Refuse)) {
                out = "?\r";
            } else {
                const UnitCore::Answer answer = core.handle(request.line);
                if (override != f.overrides.cend())
                    out = *override;
                else if (answer.kind == UnitCore::Answer::Ack)
                    out = f.ackWithoutCr ? "!" : "!\r";
                else if (answer.kind == UnitCore::Answer::Value)
                    out = answer.value + '\r';
                else
                    out = "?\r";
                if (faultHere && f.fault == Fault::Drop)
                    out.clear();
                else if (faultHere && f.fault == Fault::Garble)
                    out.insert(1, '#'); // the length no longer fits any answer
            }
            if (!out.isEmpty()) {
                out.prepend(f.noise);
                if (f.silentAfter > 0)
                    --f.silentAfter;
            }
        }
        if (!request.line.isEmpty() && f.closeAfter > 0)
            hangUpDue = --f.closeAfter == 0;
    }
    // A request that is not answered would leave nothing to wake the loop for the hang-up.
    if (hangUpDue)
        wake();
    if (options.onRequest)
        options.onRequest(text, out);
    schedule(out, request.due);
}

void UnitSim::Impl::schedule(const QByteArray &out, Clock::time_point due) {
    if (out.isEmpty())
        return;
    int chunk = 0;
    Clock::duration pause{};
    {
        std::lock_guard lock(mutex);
        chunk = faults.chunkBytes;
        pause = std::chrono::milliseconds(std::max(faults.chunkDelayMs, 0));
    }
    if (chunk <= 0)
        chunk = int(out.size());

    const std::size_t first = tx.size();
    if (baud.load() <= 0) {
        Clock::time_point at = Clock::now();
        for (qsizetype i = 0; i < out.size(); i += chunk, at += pause)
            tx.push_back({out.mid(i, chunk), at});
        holdForUsbLatency(first);
        return;
    }
    // Each byte is due when the wire would have delivered it, counted from absolute deadlines
    // so that late wake-ups do not add up. Bytes due within one quantum share a write at the
    // last one's deadline: none arrives early, and there are fewer wake-ups to be late.
    const Clock::time_point base = std::max(due, txEnd);
    Clock::duration pauses{};
    Segment segment;
    Clock::time_point segmentStart;
    for (qsizetype i = 0; i < out.size(); ++i) {
        const bool splitHere = i > 0 && i % chunk == 0;
        if (splitHere)
            pauses += pause;
        const Clock::time_point at = base + pauses + wire(i + 1);
        if (!segment.bytes.isEmpty() && (splitHere || at - segmentStart >= kPaceQuantum)) {
            tx.push_back(segment);
            segment.bytes.clear();
        }
        if (segment.bytes.isEmpty())
            segmentStart = at;
        segment.bytes.append(out[i]);
        segment.at = at;
    }
    tx.push_back(segment);
    txEnd = segment.at; // the wire is free then; the adapter's holding does not delay it
    holdForUsbLatency(first);
}

// What the adapter does with the bytes the wire brings it: they wait until the timer, started
// by the first waiting byte, runs out, or until a packet is full.
void UnitSim::Impl::holdForUsbLatency(std::size_t from) {
    if (options.usbLatencyMs <= 0)
        return;
    const auto latency = std::chrono::milliseconds(options.usbLatencyMs);
    std::deque<Segment> packets;
    Segment packet;
    Clock::time_point timerStart;
    const auto pass = [&](Clock::time_point at) {
        packet.at = at;
        packets.push_back(packet);
        packet.bytes.clear();
    };
    for (std::size_t i = from; i < tx.size(); ++i) {
        for (char c : tx[i].bytes) {
            if (!packet.bytes.isEmpty() && tx[i].at >= timerStart + latency)
                pass(timerStart + latency);
            if (packet.bytes.isEmpty())
                timerStart = tx[i].at;
            packet.bytes.append(c);
            if (packet.bytes.size() == kUsbPacketBytes)
                pass(tx[i].at);
        }
    }
    if (!packet.bytes.isEmpty())
        pass(timerStart + latency);
    tx.erase(tx.begin() + std::ptrdiff_t(from), tx.end());
    tx.insert(tx.end(), packets.begin(), packets.end());
}

void UnitSim::Impl::flush(Clock::time_point now) {
    while (master >= 0 && !tx.empty() && tx.front().at <= now) {
        // Everything already due goes out in one write.
        QByteArray bytes;
        for (const Segment &s : tx) {
            if (s.at > now)
                break;
            bytes += s.bytes;
        }
        const ssize_t n = ::write(master, bytes.constData(), size_t(bytes.size()));
        if (n < 0) {
            if (errno == EAGAIN || errno == EINTR)
                return;
            tx.clear(); // nobody to hear it
            return;
        }
        qsizetype written = n;
        while (written > 0) {
            Segment &s = tx.front();
            if (written >= s.bytes.size()) {
                written -= s.bytes.size();
                tx.pop_front();
            } else {
                s.bytes.remove(0, written);
                written = 0;
            }
        }
        if (n < bytes.size())
            return;
    }
}

bool UnitSim::Impl::readyToHangUp(Clock::time_point now) {
    {
        std::lock_guard lock(mutex);
        if (faults.closeAfter != 0)
            return false;
    }
    if (!hangingUpSince)
        hangingUpSince = now;
    // Closing the master discards what the client has not read yet, so the last answers are
    // given time to be read first.
    int unread = 0;
    if (::ioctl(slave, FIONREAD, &unread) != 0)
        unread = 0;
    const auto waited = now - *hangingUpSince;
    return (waited >= kCloseGrace && unread == 0) || waited >= kCloseLimit;
}

void UnitSim::Impl::hangUp() {
    // Under the lock, so that whoever saw the hang-up also sees lineClosed().
    std::lock_guard lock(mutex);
    closeFd(master);
    closeFd(slave);
    faults.closeAfter = -1;
    closed = true;
}

UnitSim::UnitSim(UnitSimOptions options) : d(std::make_unique<Impl>(std::move(options))) {}

UnitSim::~UnitSim() {
    stop();
}

bool UnitSim::start(QString *error) {
    if (d->started) {
        if (!lineClosed())
            return true;
        stop();
    }
    const UnitSimOptions &o = d->options;
    const auto fail = [&](const QString &what) {
        if (error)
            *error = what;
        return false;
    };
    if (o.currentPatch < 0 || o.currentPatch > 7)
        return fail(QStringLiteral("current patch %1 is not 0..7").arg(o.currentPatch));
    if (o.baud < 0)
        return fail(QStringLiteral("baud rate %1 is negative").arg(o.baud));

    UnitMemory stored;
    {
        std::lock_guard lock(d->mutex);
        stored = d->core.stored;
    }
    // A state file that cannot be read is never overwritten at stop.
    if (!o.stateFile.isEmpty() && QFileInfo::exists(o.stateFile) &&
        !loadStateFile(o.stateFile, stored, error))
        return false;
    if (!d->open(error))
        return false;

    if (!o.linkPath.isEmpty()) {
        const QFileInfo link(o.linkPath);
        if (link.isSymLink())
            QFile::remove(o.linkPath);
        else if (link.exists()) {
            d->release();
            return fail(QStringLiteral("%1 exists and is not a symbolic link").arg(o.linkPath));
        }
        if (!QFile::link(devicePath(), o.linkPath)) {
            d->release();
            return fail(QStringLiteral("cannot create the link %1").arg(o.linkPath));
        }
        d->linkCreated = o.linkPath;
    }

    {
        std::lock_guard lock(d->mutex);
        d->core.stored = stored;
        d->core.firmware = o.firmware & 0xFFF;
        d->core.status = o.status & 0xFFF;
        d->core.powerOn(o.currentPatch);
    }
    d->stopping = false;
    d->started = true;
    d->thread = std::thread([this] { d->run(); });
    return true;
}

void UnitSim::stop() {
    if (!d->started)
        return;
    d->stopping = true;
    d->wake();
    if (d->thread.joinable())
        d->thread.join();
    d->release();
    d->started = false;

    if (!d->linkCreated.isEmpty()) {
        // Only our own link goes; someone may have pointed it elsewhere meanwhile.
        if (QFile::symLinkTarget(d->linkCreated) == devicePath())
            QFile::remove(d->linkCreated);
        d->linkCreated.clear();
    }
    if (!d->options.stateFile.isEmpty()) {
        QString error;
        if (!saveStateFile(d->options.stateFile, storedMemory(), &error))
            qWarning("unit simulator: state not saved: %s", qPrintable(error));
    }
}

QString UnitSim::devicePath() const {
    std::lock_guard lock(d->mutex);
    return d->device;
}

QStringList UnitSim::requestLog() const {
    std::lock_guard lock(d->mutex);
    return d->log;
}

void UnitSim::clearLog() {
    std::lock_guard lock(d->mutex);
    d->log.clear();
}

int UnitSim::storeCount(const QString &command) const {
    std::lock_guard lock(d->mutex);
    if (command == QLatin1String("WP"))
        return d->core.storesWP;
    if (command == QLatin1String("WA"))
        return d->core.storesWA;
    if (command == QLatin1String("WC"))
        return d->core.storesWC;
    return 0;
}

UnitMemory UnitSim::memory() const {
    std::lock_guard lock(d->mutex);
    return d->core.working;
}

UnitMemory UnitSim::storedMemory() const {
    std::lock_guard lock(d->mutex);
    return d->core.stored;
}

void UnitSim::setMemory(const UnitMemory &m) {
    std::lock_guard lock(d->mutex);
    d->core.working = m;
    d->core.stored = m;
}

int UnitSim::currentPatch() const {
    std::lock_guard lock(d->mutex);
    return d->core.currentPatch;
}

bool UnitSim::remote() const {
    return remoteMode() != 0;
}

int UnitSim::remoteMode() const {
    std::lock_guard lock(d->mutex);
    return d->core.remoteMode;
}

int UnitSim::checkOutput() const {
    std::lock_guard lock(d->mutex);
    return d->core.checkOutput;
}

int UnitSim::checkLevel() const {
    std::lock_guard lock(d->mutex);
    return d->core.checkLevel;
}

void UnitSim::setAbsent(bool absent) {
    std::lock_guard lock(d->mutex);
    d->faults.absent = absent;
}

void UnitSim::setSilentAfter(int requests) {
    std::lock_guard lock(d->mutex);
    d->faults.silentAfter = requests;
}

void UnitSim::setRefused(const QStringList &requests) {
    std::lock_guard lock(d->mutex);
    d->faults.refused.clear();
    for (const QString &r : requests)
        d->faults.refused.insert(r.toLatin1());
}

void UnitSim::setReplyOverride(const QString &request, const QByteArray &reply) {
    std::lock_guard lock(d->mutex);
    d->faults.overrides.insert(request.toLatin1(), reply);
}

void UnitSim::setAckWithoutCr(bool on) {
    std::lock_guard lock(d->mutex);
    d->faults.ackWithoutCr = on;
}

void UnitSim::setSplitReplies(int chunkBytes, int delayMs) {
    std::lock_guard lock(d->mutex);
    d->faults.chunkBytes = chunkBytes;
    d->faults.chunkDelayMs = delayMs;
}

void UnitSim::setNoise(const QByteArray &bytes) {
    std::lock_guard lock(d->mutex);
    d->faults.noise = bytes;
}

void UnitSim::setCloseAfter(int requests) {
    {
        std::lock_guard lock(d->mutex);
        d->faults.closeAfter = requests;
    }
    d->wake();
}

void UnitSim::setFaultAt(int request, Fault fault) {
    std::lock_guard lock(d->mutex);
    d->faults.faultAt = request;
    d->faults.fault = fault;
}

bool UnitSim::faultPending() const {
    std::lock_guard lock(d->mutex);
    return d->faults.faultAt > 0;
}

void UnitSim::setBaud(int baud) {
    d->baud.store(std::max(baud, 0));
}

void UnitSim::clearFaults() {
    std::lock_guard lock(d->mutex);
    d->faults = Faults{};
}

bool UnitSim::lineClosed() const {
    std::lock_guard lock(d->mutex);
    return d->closed;
}

} // namespace kestrava::sim
