// Conformance of the simulated unit, talked to through a plain POSIX client on the pty.

#include "UnitSim.h"

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

using namespace kestrava::sim;

using Exchange = QPair<QByteArray, QByteArray>; // request without CR, exact answer expected
using Conversation = QList<Exchange>;

Q_DECLARE_METATYPE(kestrava::sim::UnitMemory)

namespace {

// The independent client: raw tty, whole bytes, deadlines.
class Client {
public:
    Client() = default;
    Client(const Client &) = delete;
    Client &operator=(const Client &) = delete;
    ~Client() { close(); }

    bool open(const QString &path) {
        close();
        fd = ::open(QFile::encodeName(path).constData(), O_RDWR | O_NOCTTY | O_NONBLOCK);
        if (fd < 0)
            return false;
        termios tio{};
        ::tcgetattr(fd, &tio);
        ::cfmakeraw(&tio);
        ::cfsetspeed(&tio, B57600);
        return ::tcsetattr(fd, TCSANOW, &tio) == 0;
    }
    void close() {
        if (fd >= 0)
            ::close(fd);
        fd = -1;
    }

    void send(const QByteArray &bytes) {
        QCOMPARE(::write(fd, bytes.constData(), size_t(bytes.size())), ssize_t(bytes.size()));
    }
    // Everything read until a CR arrives or the time is up.
    QByteArray readLine(int ms = 1000) { return read(ms, true); }
    // What the first read that gets anything returns.
    QByteArray readSome(int ms) {
        pollfd p{fd, POLLIN, 0};
        if (::poll(&p, 1, ms) <= 0)
            return {};
        char buf[256];
        const ssize_t n = ::read(fd, buf, sizeof buf);
        return n > 0 ? QByteArray(buf, n) : QByteArray();
    }
    // Reads until n bytes came or the time is up.
    QByteArray readBytes(qsizetype n, int ms = 1000) {
        QByteArray got;
        QElapsedTimer t;
        t.start();
        while (got.size() < n && t.elapsed() < ms)
            got += readSome(int(std::max<qint64>(1, ms - t.elapsed())));
        return got;
    }
    // Everything that arrives within the time.
    QByteArray readFor(int ms) { return read(ms, false); }
    // True when the line hangs up (hang-up event, end of file or EIO) within the time.
    bool seesHangUp(int ms) {
        QElapsedTimer t;
        t.start();
        while (t.elapsed() < ms) {
            pollfd p{fd, POLLIN, 0};
            if (::poll(&p, 1, 20) > 0) {
                if (p.revents & (POLLHUP | POLLERR))
                    return true;
                char c;
                const ssize_t n = ::read(fd, &c, 1);
                if (n == 0 || (n < 0 && errno == EIO))
                    return true;
            }
        }
        return false;
    }

private:
    QByteArray read(int ms, bool untilCr) {
        QByteArray got;
        QElapsedTimer t;
        t.start();
        while (t.elapsed() < ms && !(untilCr && got.contains('\r'))) {
            pollfd p{fd, POLLIN, 0};
            if (::poll(&p, 1, int(std::max<qint64>(1, ms - t.elapsed()))) <= 0)
                continue;
            char buf[256];
            const ssize_t n = ::read(fd, buf, sizeof buf);
            if (n <= 0)
                break;
            got.append(buf, n);
        }
        return got;
    }

    int fd = -1;
};

constexpr int kQuietMs = 80; // how long "no answer" is listened for

QByteArray hex(const int *values, int count) {
    QByteArray s;
    for (int k = 0; k < count; ++k)
        s += QString::asprintf("%03X", values[k]).toLatin1();
    return s;
}

UnitMemory testMemory() {
    UnitMemory m;
    for (int p = 0; p < 8; ++p)
        for (int o = 0; o < 1024; ++o)
            m.patches[p][o] = (o * (p + 3) + p) % 0x1000;
    static const int attr[] = {0x080, 0x081, 0x000, 0x003};
    for (int o = 0; o < 1024; ++o)
        m.attributes[o] = attr[o % 4];
    for (int c = 0; c < 4; ++c)
        for (int i = 0; i < 256; ++i)
            m.curveTables[c][i] = (255 - i + 16 * c) & 0xFF;
    for (int c = 0; c < 4; ++c)
        m.pointBlocks[c] = {c % 3, 0x10 * (c + 1), 0x20 * (c + 1)};
    return m;
}

UnitSimOptions unitOptions() {
    UnitSimOptions o;
    o.firmware = 0x123;
    o.currentPatch = 5;
    o.status = 0x011;
    return o;
}

struct Rig {
    explicit Rig(const UnitSimOptions &o = unitOptions()) : sim(o) {
        sim.setMemory(testMemory());
        ok = sim.start(&error) && client.open(sim.devicePath());
    }
    UnitSim sim;
    Client client;
    bool ok = false;
    QString error;
};

// Sends each request and compares the whole answer; an empty answer means none may come.
void converse(Client &client, const Conversation &conversation) {
    for (const auto &[request, answer] : conversation) {
        client.send(request + '\r');
        const QByteArray got = answer.isEmpty() ? client.readFor(kQuietMs) : client.readLine();
        QVERIFY2(got == answer,
                 qPrintable(QStringLiteral("%1 answered %2, expected %3")
                                .arg(QString::fromLatin1(request),
                                     QString::fromLatin1(got.toPercentEncoding()),
                                     QString::fromLatin1(answer.toPercentEncoding()))));
    }
}

QStringList requestsOf(const Conversation &conversation) {
    QStringList list;
    for (const auto &e : conversation)
        list << QString::fromLatin1(e.first);
    return list;
}

QByteArray block16(int v0) {
    QByteArray s;
    for (int k = 0; k < 16; ++k)
        s += QString::asprintf("%03X", (v0 + 0x11 * k) & 0xFFF).toLatin1();
    return s;
}

void fill16(int *target, int v0) {
    for (int k = 0; k < 16; ++k)
        target[k] = (v0 + 0x11 * k) & 0xFFF;
}

} // namespace

class TestUnitSim : public QObject {
    Q_OBJECT

private slots:
    void remoteGating_data();
    void remoteGating();
    void queries_data();
    void queries();
    void refused_data();
    void refused();
    void writes_data();
    void writes();
    void patchSelect_data();
    void patchSelect();
    void outputCheck_data();
    void outputCheck();
    void lineHandling_data();
    void lineHandling();
    void clientsReopen();
    void absent();
    void silentAfter_data();
    void silentAfter();
    void refusedList();
    void replyOverride_data();
    void replyOverride();
    void ackWithoutCr();
    void splitReplies_data();
    void splitReplies();
    void noise();
    void closeAfter();
    void pacing();
    void usbLatency_data();
    void usbLatency();
    void stateFileRoundTrip();
    void stateFileRejected_data();
    void stateFileRejected();
    void symlink();
    void program();
};

void TestUnitSim::remoteGating_data() {
    QTest::addColumn<Conversation>("conversation");
    QTest::addColumn<int>("mode");
    const QByteArray no = "?\r";
    const QByteArray ack = "!\r";
    QTest::newRow("off at start") << Conversation{{"Q800", no},    {"Q000", no},
                                                  {"S00A123", no}, {"S500" + block16(1), no},
                                                  {"P001", no},    {"WP", no},
                                                  {"WA", no},      {"WC", no},
                                                  {"C", no},       {"T", no},
                                                  {"O000", no},    {"R000", ack},
                                                  {"Q801", no}}
                                  << 0;
    QTest::newRow("R001 on, R000 off")
        << Conversation{{"R001", ack}, {"Q801", "005\r"}, {"R000", ack}, {"Q801", no}} << 0;
    QTest::newRow("R002 on") << Conversation{{"R002", ack}, {"P003", ack}, {"Q801", "003\r"}} << 2;
    QTest::newRow("R002 then R001")
        << Conversation{{"R002", ack}, {"R001", ack}, {"Q802", "011\r"}} << 1;
    QTest::newRow("other R refused")
        << Conversation{{"R003", no}, {"R01", no}, {"R0010", no}, {"r001", no}, {"Q800", no}} << 0;
}

void TestUnitSim::remoteGating() {
    QFETCH(Conversation, conversation);
    QFETCH(int, mode);
    Rig rig;
    QVERIFY2(rig.ok, qPrintable(rig.error));
    converse(rig.client, conversation);
    QCOMPARE(rig.sim.remoteMode(), mode);
    QCOMPARE(rig.sim.remote(), mode != 0);
    QCOMPARE(rig.sim.requestLog(), requestsOf(conversation));
    QCOMPARE(rig.sim.memory(), testMemory()); // nothing refused took effect
    QCOMPARE(rig.sim.storeCount("WP") + rig.sim.storeCount("WA") + rig.sim.storeCount("WC"), 0);
}

void TestUnitSim::queries_data() {
    QTest::addColumn<QByteArray>("request");
    QTest::addColumn<QByteArray>("reply");
    const UnitMemory m = testMemory();
    QTest::newRow("firmware") << QByteArray("Q800") << QByteArray("123");
    QTest::newRow("current patch") << QByteArray("Q801") << QByteArray("005");
    QTest::newRow("status") << QByteArray("Q802") << QByteArray("011");
    QTest::newRow("patch first") << QByteArray("Q000") << hex(&m.patches[5][0], 16);
    QTest::newRow("patch 0x2A") << QByteArray("Q02A") << hex(&m.patches[5][0x2A0], 16);
    QTest::newRow("patch last") << QByteArray("Q03F") << hex(&m.patches[5][1008], 16);
    QTest::newRow("attributes first") << QByteArray("Q500") << hex(&m.attributes[0], 16);
    QTest::newRow("attributes last") << QByteArray("Q53F") << hex(&m.attributes[1008], 16);
    QTest::newRow("curve 1 first") << QByteArray("Q600") << hex(&m.curveTables[0][0], 16);
    QTest::newRow("curve 2 last") << QByteArray("Q61F") << hex(&m.curveTables[1][240], 16);
    QTest::newRow("curve 3 middle") << QByteArray("Q625") << hex(&m.curveTables[2][80], 16);
    QTest::newRow("curve 4 last") << QByteArray("Q63F") << hex(&m.curveTables[3][240], 16);
    QTest::newRow("points 1") << QByteArray("Q640") << hex(m.pointBlocks[0].data(), 16);
    QTest::newRow("points 4") << QByteArray("Q643") << hex(m.pointBlocks[3].data(), 16);
}

void TestUnitSim::queries() {
    QFETCH(QByteArray, request);
    QFETCH(QByteArray, reply);
    Rig rig;
    QVERIFY2(rig.ok, qPrintable(rig.error));
    converse(rig.client, {{"R001", "!\r"}, {request, reply + '\r'}});
}

void TestUnitSim::refused_data() {
    QTest::addColumn<QByteArray>("request");
    const char *requests[] = {"Q040",
                              "Q3FF",
                              "Q400",
                              "Q43F",
                              "Q4FF",
                              "Q540",
                              "Q644",
                              "Q7FF",
                              "Q803",
                              "QFFF",
                              "q800",
                              "Q00a",
                              "Q80",
                              "Q8000",
                              "Q",
                              "Q 80",
                              "S400123",
                              "S7FF123",
                              "S00A12",
                              "S00A1234",
                              "S00Ag23",
                              "S00A12a",
                              "S3FF",
                              "S000"
                              "000111222333444555666777888999AAABBBCCCDDDEEEFFF",
                              "S440"
                              "000111222333444555666777888999AAABBBCCCDDDEEEFFF",
                              "S644"
                              "000111222333444555666777888999AAABBBCCCDDDEEEFFF",
                              "S500"
                              "000111222333444555666777888999AAABBBCCCDDDEEEFF",
                              "S500"
                              "000111222333444555666777888999AAABBBCCCDDDEEEFFF0",
                              "S500"
                              "000111222333444555666777888999AAABBBCCCDDDEEEFFf",
                              "P008",
                              "P00F",
                              "P00",
                              "P0001",
                              "p001",
                              "PFFF",
                              "W",
                              "WX",
                              "WPP",
                              "wp",
                              "CC",
                              "C0",
                              "T1",
                              "TT",
                              "O400",
                              "O7FF",
                              "O900",
                              "OFFE",
                              "O80",
                              "O8000",
                              "O8G0",
                              "o000",
                              "X",
                              "!",
                              "?",
                              " R001"};
    for (const char *r : requests)
        QTest::newRow(r) << QByteArray(r);
}

void TestUnitSim::refused() {
    QFETCH(QByteArray, request);
    Rig rig;
    QVERIFY2(rig.ok, qPrintable(rig.error));
    converse(rig.client, {{"R001", "!\r"}, {"O00A", "!\r"}, {request, "?\r"}, {"Q801", "005\r"}});
    QCOMPARE(rig.sim.memory(), testMemory());
    QCOMPARE(rig.sim.storedMemory(), testMemory());
    QCOMPARE(rig.sim.checkOutput(), 0x00A);
    QCOMPARE(rig.sim.checkLevel(), 0xFF);
}

void TestUnitSim::writes_data() {
    QTest::addColumn<Conversation>("conversation");
    QTest::addColumn<UnitMemory>("working");
    const QByteArray ack = "!\r";
    const UnitMemory base = testMemory();
    UnitMemory m = base;

    m.patches[5][10] = 0x123;
    QTest::newRow("one entry") << Conversation{{"S00A123", ack},
                                               {"Q000", hex(&m.patches[5][0], 16) + '\r'}}
                               << m;
    m = base;
    m.patches[5][1023] = 0x8FF;
    QTest::newRow("last entry full")
        << Conversation{{"S3FF8FF", ack}, {"Q03F", hex(&m.patches[5][1008], 16) + '\r'}} << m;
    m = base;
    m.patches[5][0] = 0xFFF;
    QTest::newRow("entry cleared") << Conversation{{"S000FFF", ack}} << m;
    m = base;
    fill16(&m.patches[5][0], 0x3A0);
    QTest::newRow("patch block first")
        << Conversation{{"S400" + block16(0x3A0), ack}, {"Q000", block16(0x3A0) + '\r'}} << m;
    m = base;
    fill16(&m.patches[5][1008], 0x801);
    QTest::newRow("patch block last")
        << Conversation{{"S43F" + block16(0x801), ack}, {"Q03F", block16(0x801) + '\r'}} << m;
    m = base;
    fill16(&m.attributes[0], 0x002);
    QTest::newRow("attributes first")
        << Conversation{{"S500" + block16(0x002), ack}, {"Q500", block16(0x002) + '\r'}} << m;
    m = base;
    fill16(&m.attributes[1008], 0x080);
    QTest::newRow("attributes last")
        << Conversation{{"S53F" + block16(0x080), ack}, {"Q53F", block16(0x080) + '\r'}} << m;
    m = base;
    fill16(&m.curveTables[0][0], 0x00F);
    QTest::newRow("curve 1 first")
        << Conversation{{"S600" + block16(0x00F), ack}, {"Q600", block16(0x00F) + '\r'}} << m;
    m = base;
    fill16(&m.curveTables[2][160], 0x044);
    QTest::newRow("curve 3 middle")
        << Conversation{{"S62A" + block16(0x044), ack}, {"Q62A", block16(0x044) + '\r'}} << m;
    m = base;
    fill16(&m.curveTables[3][240], 0x001);
    QTest::newRow("curve 4 last") << Conversation{{"S63F" + block16(0x001), ack},
                                                  {"Q63F", block16(0x001) + '\r'}}
                                  << m;
    m = base;
    m.pointBlocks[1] = {2, 0x40, 0xC0};
    const QByteArray points = hex(m.pointBlocks[1].data(), 16);
    QTest::newRow("points 2") << Conversation{{"S641" + points, ack}, {"Q641", points + '\r'}} << m;
    m = base;
    fill16(m.pointBlocks[3].data(), 0x0FF);
    QTest::newRow("points 4") << Conversation{{"S643" + block16(0x0FF), ack},
                                              {"Q643", block16(0x0FF) + '\r'}}
                              << m;
    m = base;
    m.patches[5].fill(0xFFF);
    QTest::newRow("clear") << Conversation{{"C", ack},
                                           {"Q011", QByteArray("FFF").repeated(16) + '\r'}}
                           << m;
    m = base;
    for (int o = 0; o < 1024; ++o)
        m.patches[5][o] = o;
    QTest::newRow("one-to-one") << Conversation{{"T", ack},
                                                {"Q03F", hex(&m.patches[5][1008], 16) + '\r'}}
                                << m;
    m = base;
    m.patches[2][7] = 0x007;
    m.patches[5][7] = 0x3FF;
    QTest::newRow("entry of the selected patch")
        << Conversation{{"P002", ack}, {"S007007", ack}, {"P005", ack}, {"S0073FF", ack}} << m;
}

void TestUnitSim::writes() {
    QFETCH(Conversation, conversation);
    QFETCH(UnitMemory, working);
    Rig rig;
    QVERIFY2(rig.ok, qPrintable(rig.error));
    converse(rig.client, Conversation{{"R001", "!\r"}} + conversation);
    QCOMPARE(rig.sim.memory(), working);
    QCOMPARE(rig.sim.storedMemory(), testMemory()); // nothing stored without W
}

void TestUnitSim::patchSelect_data() {
    QTest::addColumn<int>("patch");
    for (int p = 0; p < 8; ++p)
        QTest::addRow("patch %d", p + 1) << p;
}

void TestUnitSim::patchSelect() {
    QFETCH(int, patch);
    Rig rig;
    QVERIFY2(rig.ok, qPrintable(rig.error));
    const UnitMemory m = testMemory();
    const QByteArray p = QString::asprintf("%03X", patch).toLatin1();
    converse(rig.client, {{"R002", "!\r"},
                          {"P" + p, "!\r"},
                          {"Q801", p + '\r'},
                          {"Q000", hex(&m.patches[patch][0], 16) + '\r'},
                          {"Q03F", hex(&m.patches[patch][1008], 16) + '\r'},
                          {"S400" + block16(0x100), "!\r"},
                          {"WP", "!\r"},
                          {"P008", "?\r"},
                          {"Q801", p + '\r'}});
    UnitMemory expected = m;
    fill16(&expected.patches[patch][0], 0x100);
    QCOMPARE(rig.sim.currentPatch(), patch);
    QCOMPARE(rig.sim.memory(), expected);
    QCOMPARE(rig.sim.storedMemory(), expected); // WP stores the selected patch only
    QCOMPARE(rig.sim.storeCount("WP"), 1);
    QCOMPARE(rig.sim.storeCount("WA"), 0);
}

void TestUnitSim::outputCheck_data() {
    QTest::addColumn<Conversation>("conversation");
    QTest::addColumn<int>("output");
    QTest::addColumn<int>("level");
    const QByteArray ack = "!\r";
    QTest::newRow("first output") << Conversation{{"O000", ack}} << 0 << 0xFF;
    QTest::newRow("last output") << Conversation{{"O3FF", ack}} << 1023 << 0xFF;
    QTest::newRow("level 5") << Conversation{{"O805", ack}} << -1 << 5;
    QTest::newRow("level 255 keeps output")
        << Conversation{{"O100", ack}, {"O800", ack}, {"O8FF", ack}} << 0x100 << 0xFF;
    QTest::newRow("moves along") << Conversation{{"O000", ack}, {"O001", ack}, {"O002", ack}} << 2
                                 << 0xFF;
    QTest::newRow("off") << Conversation{{"O00C", ack}, {"OFFF", ack}} << -1 << 0xFF;
    QTest::newRow("remote off ends check")
        << Conversation{{"O00C", ack}, {"O840", ack}, {"R000", ack}} << -1 << 0x40;
    QTest::newRow("out of range") << Conversation{{"O01F", ack}, {"O400", "?\r"}} << 0x1F << 0xFF;
}

void TestUnitSim::outputCheck() {
    QFETCH(Conversation, conversation);
    QFETCH(int, output);
    QFETCH(int, level);
    Rig rig;
    QVERIFY2(rig.ok, qPrintable(rig.error));
    QCOMPARE(rig.sim.checkOutput(), -1);
    converse(rig.client, Conversation{{"R001", "!\r"}} + conversation);
    QCOMPARE(rig.sim.checkOutput(), output);
    QCOMPARE(rig.sim.checkLevel(), level);
}

void TestUnitSim::lineHandling_data() {
    QTest::addColumn<QByteArray>("sent");
    QTest::addColumn<QByteArray>("answer");
    QTest::addColumn<QStringList>("log");
    QTest::newRow("lone CR") << QByteArray("\r") << QByteArray() << QStringList{""};
    QTest::newRow("lone CRs in remote")
        << QByteArray("R001\r\r\r") << QByteArray("!\r") << QStringList{"R001", "", ""};
    QTest::newRow("CR before request")
        << QByteArray("\rR001\r") << QByteArray("!\r") << QStringList{"", "R001"};
    QTest::newRow("LF ignored") << QByteArray("\nR0\n01\r\n") << QByteArray("!\r")
                                << QStringList{"R001"};
    QTest::newRow("in order") << QByteArray("R001\rQ800\rXX\rQ801\r")
                              << QByteArray("!\r123\r?\r005\r")
                              << QStringList{"R001", "Q800", "XX", "Q801"};
    QTest::newRow("no CR, no answer") << QByteArray("R001") << QByteArray() << QStringList{};
}

void TestUnitSim::lineHandling() {
    QFETCH(QByteArray, sent);
    QFETCH(QByteArray, answer);
    QFETCH(QStringList, log);
    Rig rig;
    QVERIFY2(rig.ok, qPrintable(rig.error));
    rig.client.send(sent);
    QCOMPARE(answer.isEmpty() ? rig.client.readFor(kQuietMs) : rig.client.readBytes(answer.size()),
             answer);
    QTRY_COMPARE(rig.sim.requestLog(), log);
}

void TestUnitSim::clientsReopen() {
    Rig rig;
    QVERIFY2(rig.ok, qPrintable(rig.error));
    converse(rig.client, {{"R001", "!\r"}});
    for (int i = 0; i < 3; ++i) {
        rig.client.close();
        QVERIFY(rig.client.open(rig.sim.devicePath()));
        converse(rig.client, {{"Q800", "123\r"}});
    }
}

void TestUnitSim::absent() {
    Rig rig;
    QVERIFY2(rig.ok, qPrintable(rig.error));
    rig.sim.setAbsent(true);
    converse(rig.client, {{"R001", ""}, {"Q800", ""}});
    QVERIFY(!rig.sim.remote());
    QCOMPARE(rig.sim.requestLog(), (QStringList{"R001", "Q800"}));
    rig.sim.setAbsent(false);
    converse(rig.client, {{"R001", "!\r"}});
}

void TestUnitSim::silentAfter_data() {
    QTest::addColumn<int>("count");
    QTest::addColumn<Conversation>("conversation");
    QTest::addColumn<bool>("remote"); // a silent unit does not act on what it hears
    QTest::newRow("after two")
        << 2 << Conversation{{"R001", "!\r"}, {"Q800", "123\r"}, {"R000", ""}, {"Q801", ""}}
        << true;
    QTest::newRow("refusals count") << 1 << Conversation{{"Q800", "?\r"}, {"R001", ""}} << false;
    QTest::newRow("lone CR does not count")
        << 1 << Conversation{{"", ""}, {"R001", "!\r"}, {"Q800", ""}} << true;
    QTest::newRow("at once") << 0 << Conversation{{"R001", ""}} << false;
}

void TestUnitSim::silentAfter() {
    QFETCH(int, count);
    QFETCH(Conversation, conversation);
    QFETCH(bool, remote);
    Rig rig;
    QVERIFY2(rig.ok, qPrintable(rig.error));
    rig.sim.setSilentAfter(count);
    converse(rig.client, conversation);
    QCOMPARE(rig.sim.requestLog(), requestsOf(conversation));
    rig.sim.clearFaults();
    converse(rig.client, {{"Q802", remote ? "011\r" : "?\r"}});
}

void TestUnitSim::refusedList() {
    Rig rig;
    QVERIFY2(rig.ok, qPrintable(rig.error));
    rig.sim.setRefused({"Q800", "WP", "S00A123"});
    converse(rig.client, {{"R001", "!\r"},
                          {"Q800", "?\r"},
                          {"Q801", "005\r"},
                          {"S00A123", "?\r"},
                          {"S00A124", "!\r"},
                          {"WP", "?\r"},
                          {"WA", "!\r"}});
    QCOMPARE(rig.sim.storeCount("WP"), 0); // a refused request has no effect
    QCOMPARE(rig.sim.storeCount("WA"), 1);
    QCOMPARE(rig.sim.memory().patches[5][10], 0x124);
}

void TestUnitSim::replyOverride_data() {
    QTest::addColumn<QByteArray>("request");
    QTest::addColumn<QByteArray>("reply");
    QTest::newRow("short status") << QByteArray("Q800") << QByteArray("64\r");
    QTest::newRow("not hexadecimal") << QByteArray("Q801") << QByteArray("zzz\r");
    QTest::newRow("47 digits") << QByteArray("Q500") << QByteArray(47, '0') + '\r';
    QTest::newRow("garbled ack") << QByteArray("S00A123") << QByteArray("!x");
    QTest::newRow("no CR at all") << QByteArray("Q802") << QByteArray("011");
}

void TestUnitSim::replyOverride() {
    QFETCH(QByteArray, request);
    QFETCH(QByteArray, reply);
    Rig rig;
    QVERIFY2(rig.ok, qPrintable(rig.error));
    rig.sim.setReplyOverride(QString::fromLatin1(request), reply);
    converse(rig.client, {{"R001", "!\r"}});
    rig.client.send(request + '\r');
    QCOMPARE(rig.client.readBytes(reply.size()), reply);
    converse(rig.client, {{"R001", "!\r"}}); // only that request is affected
    if (request.startsWith('S'))
        QCOMPARE(rig.sim.memory().patches[5][10], 0x123); // the request still took effect

    rig.sim.setReplyOverride(QString::fromLatin1(request), {});
    rig.client.send(request + '\r');
    QCOMPARE(rig.client.readFor(kQuietMs), QByteArray());
}

void TestUnitSim::ackWithoutCr() {
    Rig rig;
    QVERIFY2(rig.ok, qPrintable(rig.error));
    rig.sim.setAckWithoutCr(true);
    rig.client.send("R001\r");
    QCOMPARE(rig.client.readBytes(1), QByteArray("!"));
    converse(rig.client, {{"Q800", "123\r"}, {"Q40", "?\r"}});
    rig.client.send("WA\r");
    QCOMPARE(rig.client.readBytes(1), QByteArray("!"));
    QCOMPARE(rig.sim.storeCount("WA"), 1);
}

void TestUnitSim::splitReplies_data() {
    QTest::addColumn<int>("chunk");
    QTest::addColumn<int>("delayMs");
    QTest::newRow("bytes 1 ms apart") << 1 << 1;
    QTest::newRow("7-byte chunks") << 7 << 20;
    QTest::newRow("16-byte chunks") << 16 << 30;
}

void TestUnitSim::splitReplies() {
    QFETCH(int, chunk);
    QFETCH(int, delayMs);
    Rig rig;
    QVERIFY2(rig.ok, qPrintable(rig.error));
    converse(rig.client, {{"R001", "!\r"}});
    rig.sim.setSplitReplies(chunk, delayMs);
    const UnitMemory m = testMemory();
    const QByteArray expected = hex(&m.patches[5][16], 16) + '\r';

    QElapsedTimer t;
    t.start();
    rig.client.send("Q001\r");
    QCOMPARE(rig.client.readLine(2000), expected);
    const qint64 elapsed = t.elapsed();
    const qint64 pauses = (expected.size() - 1) / chunk;
    QVERIFY2(elapsed >= pauses * delayMs, qPrintable(QString::number(elapsed)));
}

void TestUnitSim::noise() {
    Rig rig;
    QVERIFY2(rig.ok, qPrintable(rig.error));
    rig.sim.setNoise(QByteArray("~\x00#", 3));
    const QByteArray noise("~\x00#", 3);
    converse(rig.client,
             {{"R001", noise + "!\r"}, {"Q800", noise + "123\r"}, {"", ""}, {"Q4", noise + "?\r"}});
}

void TestUnitSim::closeAfter() {
    Rig rig;
    QVERIFY2(rig.ok, qPrintable(rig.error));
    rig.sim.setCloseAfter(3);
    // The lone CR does not count; the third answer still arrives before the hang-up.
    converse(rig.client, {{"R001", "!\r"}, {"", ""}, {"Q800", "123\r"}, {"Q801", "005\r"}});
    rig.client.send("Q802\r");
    QVERIFY(rig.client.seesHangUp(2000));
    QVERIFY(rig.sim.lineClosed());
    QCOMPARE(rig.sim.requestLog(), (QStringList{"R001", "", "Q800", "Q801"}));

    // Dead until started again; a fresh line then answers.
    QVERIFY(rig.sim.start());
    QVERIFY(!rig.sim.lineClosed());
    Client again;
    QVERIFY(again.open(rig.sim.devicePath()));
    converse(again, {{"R001", "!\r"}, {"Q801", "005\r"}});

    rig.sim.setCloseAfter(0);
    QVERIFY(again.seesHangUp(2000));
}

void TestUnitSim::pacing() {
    UnitSimOptions o = unitOptions();
    o.baud = 9600;
    Rig rig(o);
    QVERIFY2(rig.ok, qPrintable(rig.error));
    const double byteMs = 10.0 * 1000.0 / 9600.0;

    // Lower bounds only: a loaded machine makes everything later, never earlier.
    QElapsedTimer total;
    total.start();
    converse(rig.client, {{"R001", "!\r"}, {"Q800", "123\r"}});
    const double shortMs = total.nsecsElapsed() / 1e6;
    QVERIFY2(shortMs >= (7 + 9) * byteMs, qPrintable(QString::number(shortMs)));

    // A block reply: nothing before the request is in, the last byte not before the wire time.
    QElapsedTimer t;
    t.start();
    rig.client.send("Q000\r");
    const QByteArray first = rig.client.readSome(1000);
    const double firstMs = t.nsecsElapsed() / 1e6;
    const QByteArray whole = first.contains('\r') ? first : first + rig.client.readLine(1000);
    const double lastMs = t.nsecsElapsed() / 1e6;
    QCOMPARE(whole.size(), 49);
    QVERIFY2(firstMs >= 6 * byteMs, qPrintable(QString::number(firstMs)));
    QVERIFY2(lastMs >= (5 + 49) * byteMs, qPrintable(QString::number(lastMs)));
    const double elapsedMs = total.nsecsElapsed() / 1e6;
    QVERIFY2(elapsedMs >= (7 + 9 + 54) * byteMs, qPrintable(QString::number(elapsedMs)));
}

void TestUnitSim::usbLatency_data() {
    QTest::addColumn<int>("latencyMs");
    QTest::addColumn<int>("answerBytes");
    QTest::addColumn<int>("passedAtOnce"); // a full packet is not held
    QTest::newRow("short answer held") << 200 << 4 << 0;
    QTest::newRow("full packet passes, the rest held") << 400 << 70 << 62;
}

void TestUnitSim::usbLatency() {
    QFETCH(int, latencyMs);
    QFETCH(int, answerBytes);
    QFETCH(int, passedAtOnce);
    UnitSimOptions o = unitOptions();
    o.usbLatencyMs = latencyMs;
    Rig rig(o);
    QVERIFY2(rig.ok, qPrintable(rig.error));
    const QByteArray answer = QByteArray(answerBytes - 1, 'x') + '\r';
    rig.sim.setReplyOverride("Q800", answer);
    QElapsedTimer t;
    t.start();
    rig.client.send("Q800\r");
    const QByteArray early = rig.client.readBytes(std::max(passedAtOnce, 1), latencyMs / 2);
    QCOMPARE(early.size(), passedAtOnce);
    const QByteArray rest = rig.client.readBytes(answerBytes - passedAtOnce, 4 * latencyMs);
    QVERIFY2(t.elapsed() >= latencyMs, qPrintable(QString::number(t.elapsed())));
    QCOMPARE(early + rest, answer);
}

void TestUnitSim::stateFileRoundTrip() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    UnitSimOptions o = unitOptions();
    o.stateFile = dir.filePath("unit.state");
    UnitMemory expected = UnitMemory::factoryDefault();
    {
        UnitSim sim(o);
        QVERIFY(sim.start());
        Client client;
        QVERIFY(client.open(sim.devicePath()));
        converse(client, {{"R001", "!\r"},
                          {"S00A123", "!\r"},
                          {"WP", "!\r"},
                          {"S600" + block16(0x010), "!\r"},
                          {"S643" + block16(0x020), "!\r"},
                          {"WC", "!\r"},
                          {"P007", "!\r"},
                          {"T", "!\r"},
                          {"WP", "!\r"},
                          {"S500" + block16(0x001), "!\r"}}); // never stored
        sim.stop();
    }
    expected.patches[5][10] = 0x123;
    fill16(&expected.curveTables[0][0], 0x010);
    fill16(expected.pointBlocks[3].data(), 0x020);
    for (int i = 0; i < 1024; ++i)
        expected.patches[7][i] = i;
    QVERIFY(QFileInfo::exists(o.stateFile));

    UnitSim again(o);
    QVERIFY(again.start());
    QCOMPARE(again.storedMemory(), expected);
    QCOMPARE(again.memory(), expected);
    Client client;
    QVERIFY(client.open(again.devicePath()));
    converse(client, {{"R001", "!\r"}, {"Q000", hex(&expected.patches[5][0], 16) + '\r'}});
}

void TestUnitSim::stateFileRejected_data() {
    QTest::addColumn<QByteArray>("content");
    QTest::newRow("not hexadecimal") << "patch1=" + QByteArray(3069, '0') + "XYZ\n";
    QTest::newRow("too short") << "attributes=" + QByteArray(3069, '0') + "\n";
    QTest::newRow("unknown key") << "patch9=" + QByteArray(3072, '0') + "\n";
    QTest::newRow("no equals sign") << QByteArray("points1\n");
}

void TestUnitSim::stateFileRejected() {
    QFETCH(QByteArray, content);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    UnitSimOptions o = unitOptions();
    o.stateFile = dir.filePath("unit.state");
    QFile f(o.stateFile);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("# comment\n\n" + content);
    f.close();
    {
        UnitSim sim(o);
        QString error;
        QVERIFY(!sim.start(&error));
        QVERIFY2(error.contains(o.stateFile), qPrintable(error));
    }
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll(), "# comment\n\n" + content); // never overwritten
}

void TestUnitSim::symlink() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    UnitSimOptions o = unitOptions();
    o.linkPath = dir.filePath("unit");
    QVERIFY(QFile::link("/nonexistent", o.linkPath)); // a stale link is replaced
    {
        UnitSim sim(o);
        QVERIFY(sim.start());
        QCOMPARE(QFileInfo(o.linkPath).symLinkTarget(), sim.devicePath());
        Client client;
        QVERIFY(client.open(o.linkPath));
        converse(client, {{"R001", "!\r"}});
        sim.stop();
        QVERIFY(!QFileInfo(o.linkPath).isSymLink());
    }
    QFile plain(o.linkPath);
    QVERIFY(plain.open(QIODevice::WriteOnly));
    plain.write("keep");
    plain.close();
    UnitSim sim(o);
    QVERIFY(!sim.start());
    QVERIFY(plain.open(QIODevice::ReadOnly));
    QCOMPARE(plain.readAll(), QByteArray("keep"));
}

void TestUnitSim::program() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString link = dir.filePath("unit");
    const QString state = dir.filePath("unit.state");
    QProcess proc;
    proc.start(QStringLiteral(KESTRAVA_UNITSIM),
               {"--link", link, "--state", state, "--firmware", "0A5", "--patch", "3", "--log"});
    QVERIFY(proc.waitForStarted());
    QByteArray out;
    while (out.count('\n') < 2 && proc.waitForReadyRead(3000))
        out += proc.readAllStandardOutput();
    QCOMPARE(out, (link + "\nCOM9=" + link + "\n").toLocal8Bit());

    Client client;
    QVERIFY(client.open(link));
    converse(
        client,
        {{"R001", "!\r"}, {"Q800", "0A5\r"}, {"Q801", "003\r"}, {"S0000AB", "!\r"}, {"WP", "!\r"}});
    client.close();

    proc.terminate();
    QVERIFY(proc.waitForFinished(3000));
    QCOMPARE(proc.exitStatus(), QProcess::NormalExit);
    QCOMPARE(proc.exitCode(), 0);
    QVERIFY(!QFileInfo(link).isSymLink());
    QVERIFY(proc.readAllStandardError().contains("Q801 -> 003"));
    QFile f(state);
    QVERIFY(f.open(QIODevice::ReadOnly));
    QVERIFY(f.readAll().contains("\npatch4=0AB"));
}

QTEST_GUILESS_MAIN(TestUnitSim)
#include "tst_unitsim.moc"
