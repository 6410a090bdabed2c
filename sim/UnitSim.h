#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <array>
#include <functional>
#include <memory>

namespace kestrava::sim {

// What the unit holds. Values are the raw 12-bit codes as they travel on the wire.
struct UnitMemory {
    std::array<std::array<int, 1024>, 8> patches{}; // patch codes, FFF = not patched
    std::array<int, 1024> attributes{};             // load attribute codes, 080 = Normal
    std::array<std::array<int, 256>, 4> curveTables{};
    std::array<std::array<int, 16>, 4> pointBlocks{}; // mode, then 15 point inputs
    // Patch 1 one-to-one and the others empty, every output Normal, each curve the identity,
    // each point block polyline (mode 1) without interior points.
    static UnitMemory factoryDefault();
    bool operator==(const UnitMemory &) const = default;
};

struct UnitSimOptions {
    int firmware = 0x064; // reply to Q800
    int currentPatch = 0; // reply to Q801, 0..7
    int status = 0x011;   // reply to Q802
    int baud = 0;         // 0: no pacing; else both directions paced at 10 bits a byte
    // A USB adapter's latency timer: each answer is held until this long after its first byte,
    // unless 62 bytes are waiting (a full USB packet). 0: none.
    int usbLatencyMs = 0;
    QString stateFile; // loaded at start, saved at stop (empty: none)
    QString linkPath;  // when set, made a symlink to the pseudo-terminal
    // Called on the simulator's thread after each request with the bytes sent back (empty when
    // none). Must not call back into the simulator.
    std::function<void(const QString &request, const QByteArray &reply)> onRequest;
};

// The unit's side of the serial protocol on the master side of a pseudo-terminal,
// served on a thread of its own. Every accessor is thread-safe.
// Requests are taken as the program sends them: upper-case hexadecimal of the exact width;
// anything else, and everything but R000/R001/R002 while remote mode is off, is answered "?".
// Writes accept any 12-bit code. Block reads show the working memory, which W stores.
class UnitSim {
public:
    explicit UnitSim(UnitSimOptions options = {});
    ~UnitSim(); // stops and saves the state file

    // Powers the unit on: a new pseudo-terminal, remote mode off, check off, the current patch
    // from the options, the working memory a copy of the stored one (read from the state file
    // when it exists; a state file that cannot be read fails the start). Returns true at once
    // when already serving; a line closed by setCloseAfter is restarted.
    bool start(QString *error = nullptr);
    void stop(); // saves the stored memory to the state file (a failure is a qWarning)
    QString devicePath() const; // the slave side that a client opens

    // Every request received, without its CR; a lone CR is logged as "".
    QStringList requestLog() const;
    void clearLog();
    int storeCount(const QString &command) const; // "WP", "WA", "WC"

    UnitMemory memory() const;           // working memory (what block reads return)
    UnitMemory storedMemory() const;     // what WP/WA/WC have stored
    void setMemory(const UnitMemory &m); // sets working and stored
    int currentPatch() const;
    bool remote() const;     // remote mode on (R001 / R002)
    int remoteMode() const;  // 0 off, 1 after R001, 2 after R002 (patch transfer)
    int checkOutput() const; // output under check, -1 when off
    int checkLevel() const;

    // Faults on demand.
    // An answered request is one that got any bytes back; faults apply in remote mode or not.
    void setAbsent(bool absent); // never answers anything (requests still logged)
    // Answers this many more requests, then neither answers nor acts on any; -1 off.
    void setSilentAfter(int requests);
    // These exact requests (without CR) are answered "?" and not acted on.
    void setRefused(const QStringList &requests);
    // Raw bytes instead of the answer (the request still takes effect); empty bytes: no answer.
    void setReplyOverride(const QString &request, const QByteArray &reply);
    void setAckWithoutCr(bool on);                     // "!" without the CR
    void setSplitReplies(int chunkBytes, int delayMs); // 0 off
    void setNoise(const QByteArray &bytes);            // sent before every answer
    // Hangs up the line once this many more non-empty requests were handled and the client has
    // read the answers; 0 hangs up at once; -1 off.
    void setCloseAfter(int requests);
    // The request this many requests from now (1: the next) is refused without being acted on,
    // or acted on and then answered with bytes that do not read, or not answered at all;
    // RefuseFrom refuses that one and every later one until the faults are cleared.
    enum class Fault { Refuse, RefuseFrom, Garble, Drop };
    void setFaultAt(int request, Fault fault);
    bool faultPending() const; // armed by setFaultAt and not yet met
    // Paces both directions at this rate from now on (0: no pacing), as the option does.
    void setBaud(int baud);
    void clearFaults();
    bool lineClosed() const; // the line was hung up by setCloseAfter

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};

} // namespace kestrava::sim
