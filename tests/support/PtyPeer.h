#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <functional>
#include <memory>
#include <vector>

namespace kestrava::test {

// The far end of a pseudo-terminal that answers a scripted conversation on a
// thread of its own, so link code under test can block on a real tty.
class PtyPeer {
public:
    struct Chunk {
        int delayMs = 0; // before these bytes
        QByteArray bytes;
    };
    // Called for each request (the bytes up to CR, without it) on the peer thread.
    using Handler = std::function<std::vector<Chunk>(const QByteArray &request)>;

    PtyPeer();
    ~PtyPeer();
    PtyPeer(const PtyPeer &) = delete;
    PtyPeer &operator=(const PtyPeer &) = delete;

    bool ok() const;
    QString devicePath() const;
    void setHandler(Handler handler);
    // Answers every request with the same bytes.
    void answerAll(const QByteArray &reply);
    void send(const QByteArray &bytes); // unsolicited, now
    QList<QByteArray> requests() const;
    QByteArray received() const; // every byte the client wrote
    void hangUp();               // closes the master side

    struct LineSettings {
        int dataBits = 0;
        bool twoStopBits = false;
        char parity = '?'; // 'N', 'O' or 'E'
        int baud = 0;
    };
    LineSettings lineSettings() const; // as the client configured the tty

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};

} // namespace kestrava::test
