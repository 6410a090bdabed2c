#include "NumberText.h"
#include "PtyPeer.h"
#include "ScriptedResponder.h"
#include "UnitLink.h"
#include "Usr_com_std.h"

#include <QElapsedTimer>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

#include <thread>

using namespace kestrava;
using kestrava::test::PtyPeer;
using kestrava::test::ScriptedResponder;

namespace {

constexpr int kPort = 4;

// A link on a fresh pseudo-terminal with every box recorded.
struct Rig {
    PtyPeer peer;
    ScriptedResponder boxes;
    TUnitLink link{TBoxes(boxes)};
    Rig() {
        link.ComPortNo = kPort;
        link.OpenDevice(peer.devicePath());
    }
    ~Rig() { link.ClosePort(); }
};

} // namespace

class TestUnitLink : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void fastAcknowledgements_data() {
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<bool>("result");
        QTest::newRow("! CR") << QByteArray("!\r") << true;
        QTest::newRow("? CR refused") << QByteArray("?\r") << false;
        QTest::newRow("other byte then CR") << QByteArray("X\r") << false;
        QTest::newRow("split ack") << QByteArray("!") << true; // CR follows in a second chunk
    }
    void fastAcknowledgements() {
        QFETCH(QByteArray, reply);
        QFETCH(bool, result);
        Rig r;
        QVERIFY(r.link.PortOpen);
        const bool split = reply == "!";
        r.peer.setHandler([split, reply](const QByteArray &) {
            if (split)
                return std::vector<PtyPeer::Chunk>{{0, "!"}, {30, "\r"}};
            return std::vector<PtyPeer::Chunk>{{0, reply}};
        });
        r.link.Linked = true;
        QElapsedTimer t;
        t.start();
        QCOMPARE(r.link.SendCmd(QStringLiteral("R001\r")), result);
        QVERIFY2(t.elapsed() < 600, "a complete answer must end the transaction at once");
        QVERIFY(r.boxes.boxes().isEmpty());
        QVERIFY(r.link.Linked); // a refusal is not a lost link
        QCOMPARE(r.link.BusyCount, 0);
        QCOMPARE(r.peer.requests(), QList<QByteArray>{"R001"});
    }

    void emptyCommandSendsNothing() {
        Rig r;
        QVERIFY(!r.link.SendCmd(QString()));
        QCOMPARE(r.link.QueryCmd(QString()), QString());
        QTest::qWait(30);
        QVERIFY(r.peer.received().isEmpty());
        QCOMPARE(r.link.BusyCount, 0);
    }

    void queries_data() {
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<QString>("line");
        QTest::newRow("3 digits") << QByteArray("064\r") << "064";
        QTest::newRow("? is no reply") << QByteArray("?\r") << "";
        QTest::newRow("LF ends too") << QByteArray("011\n") << "011";
        QTest::newRow("48 digits") << QByteArray(48, 'F') + '\r' << QString(48, u'F');
    }
    void queries() {
        QFETCH(QByteArray, reply);
        QFETCH(QString, line);
        Rig r;
        r.peer.answerAll(reply);
        QElapsedTimer t;
        t.start();
        QCOMPARE(r.link.QueryCmd(QStringLiteral("Q800\r")), line);
        QVERIFY(t.elapsed() < 600);
        QVERIFY(r.boxes.boxes().isEmpty());
        QCOMPARE(r.link.BusyCount, 0);
    }

    void queryReadsAReplyArrivingInPieces() {
        Rig r;
        r.peer.setHandler([](const QByteArray &) {
            return std::vector<PtyPeer::Chunk>{{0, "0123456789"}, {40, "ABCDEF"}, {40, "\r"}};
        });
        QCOMPARE(r.link.QueryCmd(QStringLiteral("Q000\r")), QStringLiteral("0123456789ABCDEF"));
    }

    void firmwareVersion_data() {
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<int>("version");
        QTest::addColumn<QString>("shown");
        QTest::newRow("064") << QByteArray("064\r") << 100 << "1.00";
        QTest::newRow("0A5") << QByteArray("0A5\r") << 165 << "1.65";
        QTest::newRow("two characters") << QByteArray("64\r") << 0 << "_.__";
        QTest::newRow("not hexadecimal") << QByteArray("zz1\r") << -1 << "_.__";
        QTest::newRow("refused") << QByteArray("?\r") << 0 << "_.__";
    }
    void firmwareVersion() {
        QFETCH(QByteArray, reply);
        QFETCH(int, version);
        QFETCH(QString, shown);
        Rig r;
        r.peer.setHandler([reply](const QByteArray &req) {
            if (req.isEmpty()) // the unit does not answer a lone CR
                return std::vector<PtyPeer::Chunk>{};
            return std::vector<PtyPeer::Chunk>{{0, req == "Q800" ? reply : QByteArray("!\r")}};
        });
        QVERIFY(r.link.LinkUp());
        QVERIFY(r.link.Linked);
        QCOMPARE(r.link.FirmwareVersion, version);
        QCOMPARE(FormatFirmwareVersion(r.link.FirmwareVersion), shown);
        // the lone CR in front ends any partial command left in the unit
        QCOMPARE(r.peer.received().left(7), QByteArray("\rR001\rQ"));
    }

    void currentPatch_data() {
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<int>("patch");
        QTest::newRow("003") << QByteArray("003\r") << 3;
        QTest::newRow("000") << QByteArray("000\r") << 0;
        QTest::newRow("007") << QByteArray("007\r") << 7;
        QTest::newRow("00A is no patch") << QByteArray("00A\r") << -1;
        QTest::newRow("008 is no patch") << QByteArray("008\r") << -1;
        QTest::newRow("not hexadecimal") << QByteArray("x03\r") << -1;
        QTest::newRow("wrong length") << QByteArray("3\r") << -1;
        QTest::newRow("refused") << QByteArray("?\r") << -1;
    }
    void currentPatch() {
        QFETCH(QByteArray, reply);
        QFETCH(int, patch);
        Rig r;
        r.peer.answerAll(reply);
        QCOMPARE(r.link.QueryCurrentPatch(), patch);
    }

    // lines: "AB", "A", "B" or "" for a reply, "none" for no usable reply
    void pollStatus_data() {
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<QString>("lines");
        QTest::newRow("011") << QByteArray("011\r") << "AB";
        QTest::newRow("001: line A only") << QByteArray("001\r") << "A";
        QTest::newRow("010: line B only") << QByteArray("010\r") << "B";
        QTest::newRow("other bits only") << QByteArray("FEE\r") << "";
        QTest::newRow("000") << QByteArray("000\r") << "";
        QTest::newRow("not hexadecimal reads as 0") << QByteArray("zz1\r") << "";
        QTest::newRow("wrong length is no reply") << QByteArray("11\r") << "none";
        QTest::newRow("refused is no reply") << QByteArray("?\r") << "none";
    }
    void pollStatus() {
        QFETCH(QByteArray, reply);
        QFETCH(QString, lines);
        Rig r;
        r.peer.answerAll(reply);
        const std::optional<TDmxLines> polled = r.link.PollStatus();
        QCOMPARE(!polled, lines == QLatin1String("none"));
        if (polled)
            QCOMPARE(QString(polled->lineA ? "A" : "") + (polled->lineB ? "B" : ""), lines);
        QCOMPARE(r.peer.requests(), QList<QByteArray>{"Q802"});
    }

    // The status poll goes out only when nothing is under way or waiting.
    void idleOnlyWithNothingWaiting() {
        Rig r;
        QVERIFY(r.link.IsIdle());
        r.peer.send("!\r"); // a late answer
        QTRY_VERIFY(!r.link.IsIdle());
        r.link.PurgeInput();
        QVERIFY(r.link.IsIdle());
        r.link.BusyCount = 1;
        QVERIFY(!r.link.IsIdle());
        r.link.BusyCount = 0;
    }

    void refusedLinkUpClearsLinked() {
        Rig r;
        r.peer.setHandler([](const QByteArray &req) {
            return req.isEmpty() ? std::vector<PtyPeer::Chunk>{}
                                 : std::vector<PtyPeer::Chunk>{{0, "?\r"}};
        });
        r.link.FirmwareVersion = 77;
        QVERIFY(!r.link.LinkUp());
        QVERIFY(!r.link.Linked);
        QCOMPARE(r.link.FirmwareVersion, 77);
        QCOMPARE(r.peer.requests().size(), 2); // the lone CR and R001; no query follows
    }

    void hexValue_data() {
        QTest::addColumn<QString>("digits");
        QTest::addColumn<int>("value");
        QTest::newRow("3FF") << "3FF" << 1023;
        QTest::newRow("8FF") << "8FF" << 0x8FF;
        QTest::newRow("lower case") << "8a0" << 0x8A0;
        QTest::newRow("FFF") << "FFF" << 4095;
        QTest::newRow("zzz") << "zzz" << -7;
        QTest::newRow("sign") << "-01" << -7;
        QTest::newRow("blank") << " 01" << -7;
        QTest::newRow("empty") << "" << -7;
    }
    void hexValue() {
        QFETCH(QString, digits);
        QFETCH(int, value);
        QCOMPARE(HexValue(digits, -7), value);
    }

    // The waits for a silent unit, kept together: each costs about a second.
    void silentUnit() {
        Rig r;
        r.link.Linked = true;
        int busyDuringBox = -1;
        r.boxes.onBox([&](const ScriptedResponder::Box &) { busyDuringBox = r.link.BusyCount; });
        QElapsedTimer t;
        t.start();
        QVERIFY(!r.link.SendCmd(QStringLiteral("Q802\r")));
        const qint64 ms = t.elapsed();
        QVERIFY2(ms >= 900 && ms < 1500, qPrintable(QString::number(ms)));
        QVERIFY(!r.link.Linked);
        QCOMPARE(r.boxes.texts(), QStringList{QStringLiteral("応答がありません")});
        QCOMPARE(r.boxes.boxes()[0].kind, MsgKind::Error);
        QCOMPARE(r.boxes.boxes()[0].caption, QStringLiteral("エラー"));
        QCOMPARE(busyDuringBox, 1); // released only after the box was closed
        QCOMPARE(r.link.BusyCount, 0);

        // a query to the silent unit: empty after about a second, no box, link kept
        r.link.Linked = true;
        t.restart();
        QCOMPARE(r.link.QueryCmd(QStringLiteral("Q800\r")), QString());
        QVERIFY(t.elapsed() >= 900 && t.elapsed() < 1500);
        QCOMPARE(r.boxes.boxes().size(), 1);
        QVERIFY(r.link.Linked);

        // ReadComLine with 100 waits on a silent port
        t.restart();
        QCOMPARE(ReadComLine(kPort, 100), QString());
        QVERIFY(t.elapsed() >= 900 && t.elapsed() < 1500);
    }

    void unfinishedAcknowledgements_data() {
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<bool>("result");
        QTest::newRow("! alone succeeds after the budget") << QByteArray("!") << true;
        QTest::newRow("! then garbage fails") << QByteArray("!X") << false;
        QTest::newRow("other byte alone fails") << QByteArray("?") << false;
    }
    void unfinishedAcknowledgements() {
        QFETCH(QByteArray, reply);
        QFETCH(bool, result);
        Rig r;
        r.peer.answerAll(reply);
        r.link.Linked = true;
        QElapsedTimer t;
        t.start();
        QCOMPARE(r.link.SendCmd(QStringLiteral("WP\r")), result);
        QVERIFY(t.elapsed() >= 900 && t.elapsed() < 1500);
        QVERIFY(r.boxes.boxes().isEmpty());
        QVERIFY(r.link.Linked);
    }

    void unitThatNeverStopsTalking() {
        Rig r;
        r.peer.setHandler([](const QByteArray &) {
            std::vector<PtyPeer::Chunk> noise;
            for (int i = 0; i < 300; ++i)
                noise.push_back({10, "xx"});
            return noise;
        });
        QElapsedTimer t;
        t.start();
        QVERIFY(!r.link.SendCmd(QStringLiteral("WP\r")));
        QVERIFY2(t.elapsed() < 2600, "bytes must not keep a transaction alive for ever");
    }

    // A device that talks by itself while it settles after the open still links: what it
    // sent then is not taken for an answer.
    void newPortThatTalksFirstStillLinks() {
        QTemporaryDir dir;
        const QString ini = dir.filePath(QStringLiteral("kestrava.INI"));
        Rig r;
        QSettings(ini, QSettings::IniFormat).setValue("Ports/COM5", r.peer.devicePath());
        r.link.Settings = TLinkSettings(ini);
        r.peer.setHandler([](const QByteArray &request) {
            if (request.isEmpty()) // the lone CR before "R001" is not answered
                return std::vector<PtyPeer::Chunk>{};
            return std::vector<PtyPeer::Chunk>{{0, request == "Q800" ? "064\r" : "!\r"}};
        });
        std::thread talker([&r] {
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
            r.peer.send("\x11"
                        "boot 1.0\r");
        });
        QVERIFY(r.link.ChangePort(5));
        talker.join();
        QVERIFY(r.link.LinkUp());
        QCOMPARE(r.link.FirmwareVersion, 0x64);
        QVERIFY(r.boxes.boxes().isEmpty());
    }

    void unopenedPortReportsNoResponse() {
        ScriptedResponder boxes;
        TUnitLink link{TBoxes(boxes)};
        link.ComPortNo = 20;
        QVERIFY(!link.OpenPort());
        QVERIFY(!link.PortOpen);
        link.Linked = true;
        QVERIFY(!link.SendCmd(QStringLiteral("R001\r")));
        QCOMPARE(boxes.texts(), QStringList{QStringLiteral("応答がありません")});
        QVERIFY(!link.Linked);
    }
};

QTEST_GUILESS_MAIN(TestUnitLink)
#include "tst_unitlink.moc"
