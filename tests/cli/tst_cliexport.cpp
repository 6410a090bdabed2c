#include "../model/DataFileFixtures.h"
#include "CliExport.h"
#include "CliRun.h"
#include "UnitSim.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using namespace kestrava;
using namespace kestrava::cli;
using namespace kestrava::cli::test;

namespace {

QString goldenPath(const QString &name) {
    return qEnvironmentVariable("KESTRAVA_TEST_DATA") + QStringLiteral("/golden/") + name;
}

QByteArray readBytes(const QString &file) {
    QFile f(file);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// The golden sheets were written with this program at version 0.1.0; the version is the
// one thing in them that moves on.
QByteArray goldenSheet(const QString &name) {
    return readBytes(goldenPath(name))
        .replace("Kestrava 0.1.0", "Kestrava " KESTRAVA_PROJECT_VERSION);
}

// The records of a CSV sheet without its header, each without its CR LF.
QList<QByteArray> csvRecords(const QByteArray &csv) {
    QList<QByteArray> records = csv.split('\n');
    records.removeFirst();
    records.removeLast(); // after the last CR LF
    for (QByteArray &r : records)
        r.chop(1);
    return records;
}

} // namespace

class TestCliExport : public QObject, CliFolder {
    Q_OBJECT

private Q_SLOTS:
    // The golden sheets are dated 2026-01-01.
    void initTestCase() { qputenv("SOURCE_DATE_EPOCH", "1767225600"); }

    // golden/sheet.dat holds inputs on both lines and beyond 1024, FULL, unpatched outputs and
    // every attribute; its patch 2 is the golden sheet, byte for byte, to stdout or a file.
    void golden_data() {
        QTest::addColumn<QString>("format");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<bool>("toFile");
        QTest::newRow("csv") << "--csv"
                             << "sheet-patch2.csv" << false;
        QTest::newRow("html") << "--html"
                              << "sheet-patch2.html" << false;
        QTest::newRow("csv -o") << "--csv"
                                << "sheet-patch2.csv" << true;
        QTest::newRow("html -o") << "--html"
                                 << "sheet-patch2.html" << true;
    }
    void golden() {
        QFETCH(QString, format);
        QFETCH(QString, expected);
        QFETCH(bool, toFile);
        const QString out = path("sheet.out");
        QFile::remove(out);
        QStringList args{"export", goldenPath("sheet.dat"), format, "--patch", "2"};
        if (toFile)
            args << "-o" << out;
        const CliRun r = cli(args);
        QCOMPARE(r.status, 0);
        QVERIFY2(r.err.isEmpty(), qPrintable(r.err));
        QCOMPARE(toFile ? readBytes(out) : r.out, goldenSheet(expected));
        QVERIFY(!toFile || r.out.isEmpty());
    }

    // Without --patch every patch follows in order, each as it is on its own; each HTML patch
    // starts a printed page of its own and takes four.
    void everyPatch() {
        const QByteArray csv = cli({"export", goldenPath("sheet.dat"), "--csv"}).out;
        QVERIFY(csv.startsWith("patch,output,output_ab,input,input_ab,attribute\r\n"));
        const QList<QByteArray> records = csvRecords(csv);
        QCOMPARE(records.size(), 8 * 1024);
        for (int p = 0; p < 8; ++p)
            QVERIFY(records[p * 1024].startsWith(QByteArray::number(p + 1) + ",1,A001,") &&
                    records[p * 1024 + 1023].startsWith(QByteArray::number(p + 1) + ",1024,B512,"));
        QCOMPARE(records.mid(1024, 1024), csvRecords(goldenSheet("sheet-patch2.csv")));

        const QByteArray html = cli({"export", goldenPath("sheet.dat"), "--html"}).out;
        QCOMPARE(html.count("<h1"), 8 * 4);
        QVERIFY(html.contains("<h1 class=\"next\">Patch 8</h1>\n<p>sheet.dat &middot; "
                              "Kestrava " KESTRAVA_PROJECT_VERSION
                              " &middot; 2026-01-01 &middot; page 32 of 32</p>"));
        const QByteArray page2 = goldenSheet("sheet-patch2.html");
        for (qsizetype t = page2.indexOf("<table>"); t >= 0; t = page2.indexOf("<table>", t + 1))
            QVERIFY(html.contains(page2.mid(t, page2.indexOf("</table>", t) - t)));
    }

    // Files without attributes leave the attribute empty (CSV) or out (HTML); a one-patch
    // file's patch is "*".
    void withoutAttributes_data() {
        QTest::addColumn<QString>("fileName");
        QTest::addColumn<QByteArray>("patch");
        QTest::newRow("pat") << "p.pat" << QByteArray("2");
        QTest::newRow("pt1") << "p.pt1" << QByteArray("*");
    }
    void withoutAttributes() {
        QFETCH(QString, fileName);
        QFETCH(QByteArray, patch);
        auto d = std::make_unique<TDataSet>();
        QVERIFY(ReadDataFile(FileKind::AllData, goldenPath("sheet.dat"), d->patches, d->attrs,
                             d->curves)
                    .ok);
        d->patches.CurPatch = 1;
        QVERIFY(WriteDataSet(path(fileName), *d));
        const QStringList only = patch == "*" ? QStringList{} : QStringList{"--patch", "2"};
        const CliRun csv = cli(QStringList{"export", path(fileName), "--csv"} + only);
        QCOMPARE(csv.status, 0);
        QList<QByteArray> expected = csvRecords(goldenSheet("sheet-patch2.csv"));
        for (QByteArray &r : expected)
            r = patch + r.mid(1, r.lastIndexOf(',')); // "2," ... "," without the attribute
        QCOMPARE(csvRecords(csv.out), expected);

        const CliRun html = cli(QStringList{"export", path(fileName), "--html"} + only);
        QVERIFY(html.out.contains("<h1>Patch " + patch + "</h1>"));
        QVERIFY(html.out.contains(
            "<tr><td class=\"group\">1</td><td>A001</td><td>38</td><td>A038</td><td "
            "class=\"group\">"));
        QVERIFY(!html.out.contains("Attribute"));
    }

    // A file that holds less than its kind could: a page for each patch it holds, an input or
    // attribute empty where it holds none (fileOf routes input 1, On/Off).
    void whatTheFileHolds_data() {
        QTest::addColumn<QString>("file");     // and the options after it
        QTest::addColumn<QString>("contents"); // as fileOf takes them
        QTest::addColumn<QString>("pages");    // each page's patch, or why it fails
        QTest::addColumn<int>("inputs");       // outputs from 1 with an input; 0: it fails
        QTest::addColumn<int>("attributes");   // outputs from 1 with an attribute
        auto row = [](const char *name, const char *file, const char *contents, const char *pages,
                      int inputs, int attributes = 0) {
            QTest::newRow(name) << file << contents << pages << inputs << attributes;
        };
        row("pat one [PatchN]", "a.pat", "P2:64", "2", 1024);
        row("pat short section", "a.pat", "P2:10", "2", 160);
        row("pt1 short section", "a.pt1", "P*:10", "*", 160);
        row("dat patches only", "a.dat", "P1:64 P8:64", "18", 1024);
        row("dat short attribute section", "a.dat", "P3:64 A:32", "3", 1024, 512);
        row("--patch the file lacks", "a.pat --patch 8", "P2:64", "パッチ8", 0);
        row("dat curves only", "a.dat", "C3", "パッチのデータ", 0);
        row("empty dat", "a.dat", "", "no section of this kind of file", 0);
    }
    void whatTheFileHolds() {
        QFETCH(QString, file);
        QFETCH(QString, contents);
        QFETCH(QString, pages);
        QFETCH(int, inputs);
        QFETCH(int, attributes);
        const QStringList args = file.split(u' ');
        QVERIFY(SaveTextLines(path(args[0]), kestrava::test::fileOf(contents)));
        const CliRun r = cli(QStringList{"export", path(args[0]), "--csv"} + args.mid(1));
        QCOMPARE(r.status, inputs > 0 ? 0 : 1);
        if (inputs == 0)
            QVERIFY2(r.err.contains(pages) && r.out.isEmpty(), qPrintable(r.err));
        const QList<QByteArray> records = inputs > 0 ? csvRecords(r.out) : QList<QByteArray>{};
        QCOMPARE(records.size(), inputs > 0 ? pages.size() * 1024 : 0);
        for (int i = 0; i < records.size(); ++i) {
            const QList<QByteArray> cells = records[i].split(',');
            QCOMPARE(cells[0], pages.mid(i / 1024, 1).toLatin1());
            QCOMPARE(cells[3], QByteArray(i % 1024 < inputs ? "1" : ""));
            QCOMPARE(cells[5], QByteArray(i % 1024 < attributes ? "On/Off" : ""));
        }
    }

    // The unit's sheet is the sheet of its backup; the HTML names its firmware; the unit is
    // left on its patch with remote mode off, and --patch fetches only that patch.
    void fromUnit() {
        sim::UnitSimOptions o = OnPatch(6);
        o.firmware = 0xA5;
        sim::UnitSim unit(o);
        QVERIFY(unit.start());
        sim::UnitMemory m = sim::UnitMemory::factoryDefault();
        for (int p = 1; p < 8; ++p)
            for (int out = 0; out < 1024; ++out)
                m.patches[p][out] = out % 9 == 0 ? 0x8FF : (out * 7 + p) % 0x400;
        for (int out = 0; out < 1024; ++out)
            m.attributes[out] = out % 3 == 0 ? out % 4 : 0x081;
        unit.setMemory(m);
        const QString backup = path("unit.dat");
        QCOMPARE(cli({"--port", unit.devicePath(), "backup", backup}).status, 0);
        const CliRun fromUnit =
            cli({"--port", unit.devicePath(), "export", "--from-unit", "--csv"});
        QCOMPARE(fromUnit.status, 0);
        QCOMPARE(fromUnit.out, cli({"export", backup, "--csv"}).out);
        QCOMPARE(unit.currentPatch(), 6);
        QCOMPARE(unit.remoteMode(), 0);

        unit.clearLog();
        const CliRun html =
            cli({"--port", unit.devicePath(), "export", "--html", "--from-unit", "--patch", "4"});
        QCOMPARE(html.status, 0);
        QVERIFY(html.out.contains("<p>unit &middot; Kestrava " KESTRAVA_PROJECT_VERSION
                                  " &middot; unit firmware 1.65 &middot; 2026-01-01 &middot; page "
                                  "4 of 4</p>"));
        QCOMPARE(html.out.count("<h1"), 4);
        QVERIFY(html.out.contains("<h1>Patch 4</h1>"));
        const QStringList log = unit.requestLog();
        QVERIFY2(log.contains("P003") && !log.contains("P000") && !log.contains("P004"),
                 qPrintable(log.join(u' ')));
        QCOMPARE(unit.currentPatch(), 6);
        QCOMPARE(unit.remoteMode(), 0);
    }

    // A sheet the export wrote reads back into the file it came from, byte for byte; one
    // without the unpatched outputs too.
    void importGivesTheFileBack_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("option");
        QTest::newRow("pat") << "all.pat"
                             << "--csv";
        QTest::newRow("pt1") << "one.pt1"
                             << "--csv";
        QTest::newRow("pt1, patched only") << "one.pt1"
                                           << "--patched-only";
    }
    void importGivesTheFileBack() {
        QFETCH(QString, file);
        QFETCH(QString, option);
        const QString original =
            qEnvironmentVariable("KESTRAVA_TEST_DATA") + QStringLiteral("/../model/golden/") + file;
        const QString sheet = path("sheet.csv");
        QCOMPARE(cli({"export", original, "--csv", option, "-o", sheet}).status, 0);
        const QString back = path("back." + file.section(u'.', 1));
        const CliRun r = cli({"import", sheet, "-o", back});
        QVERIFY2(r.status == 0, qPrintable(r.err));
        QCOMPARE(readBytes(back), readBytes(original));
    }

    // Sheets without a header: output and input in either notation, commas or tabs; the
    // first row that does not read writes nothing.
    void importSheet_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("args"); // after the sheet
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("expected"); // "memory:output:input" 0-based, F full; or stderr
        QTest::newRow("commas, plain") << "1,2\r\n513,FULL\r\n1024,-\r\n"
                                       << "-o a.pt1" << 0 << "0:0:1 0:512:F 0:1023:-1 0:1:-1";
        QTest::newRow("tabs, A/B") << "A001\tA002\nB001\tff\n"
                                   << "-o a.pt1" << 0 << "0:0:1 0:512:F";
        QTest::newRow("pat, --patch") << "5,6\n"
                                      << "-o a.pat --patch 3" << 0 << "2:4:5";
        QTest::newRow("input beyond the unit's") << "1,H512\n"
                                                 << "-o a.pat" << 0 << "0:0:4095";
        QTest::newRow("bad input") << "1,2\n2,x\n"
                                   << "-o a.pt1" << 1 << "2 行目";
        QTest::newRow("output 1025") << "1,2\n1025,1\n"
                                     << "-o a.pt1" << 1 << "2 行目";
        QTest::newRow("two patches in a pt1") << "patch,output,output_ab,input,input_ab,"
                                                 "attribute\n1,1,A001,2,A002,\n2,1,A001,3,A003,\n"
                                              << "-o a.pt1" << 2 << "2 patches";
        QTest::newRow("not a patch file") << "1,2\n"
                                          << "-o a.dat" << 2 << "a.dat";
    }
    void importSheet() {
        QFETCH(QString, text);
        QFETCH(QString, args);
        QFETCH(int, status);
        QFETCH(QString, expected);
        QVERIFY(SaveTextLines(path("s.csv"), {text}));
        QStringList argList = args.split(u' ');
        argList[1] = path(argList[1]);
        QFile::remove(argList[1]);
        const CliRun r = cli(QStringList{"import", path("s.csv")} + argList);
        QCOMPARE(r.status, status);
        if (status != 0) {
            QVERIFY2(r.err.contains(expected), qPrintable(r.err));
            QVERIFY(!QFile::exists(argList[1]));
            return;
        }
        auto d = std::make_unique<TDataSet>();
        QVERIFY(
            ReadDataFile(FileKindOf(argList[1]), argList[1], d->patches, d->attrs, d->curves).ok);
        for (const QString &cell : expected.split(u' ')) {
            const QStringList f = cell.split(u':');
            QCOMPARE(d->patches.Patches[f[0].toInt()][f[1].toInt()],
                     f[2] == u"F" ? pvFull : f[2].toInt());
        }
    }

    void usage_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("status");
        const QString dat = goldenPath("sheet.dat");
        QTest::newRow("no format") << QStringList{"export", dat} << 2;
        QTest::newRow("two formats") << QStringList{"export", dat, "--csv", "--html"} << 2;
        QTest::newRow("file and unit") << QStringList{"export", dat, "--from-unit", "--csv"} << 2;
        QTest::newRow("no source") << QStringList{"export", "--csv"} << 2;
        QTest::newRow("attributes file") << QStringList{"export", "a.atr", "--csv"} << 2;
        QTest::newRow("unknown kind") << QStringList{"export", "a.txt", "--csv"} << 2;
        QTest::newRow("patch 9") << QStringList{"export", dat, "--csv", "--patch", "9"} << 2;
        QTest::newRow("patch x") << QStringList{"export", dat, "--csv", "--patch=x"} << 2;
        QTest::newRow("patch 8") << QStringList{"export", dat, "--csv", "--patch", "8"} << 0;
        QTest::newRow("patch of a pt1")
            << QStringList{"export", "a.pt1", "--csv", "--patch", "1"} << 2;
        QTest::newRow("-o without value") << QStringList{"export", dat, "--csv", "-o"} << 2;
        QTest::newRow("ab is diff's") << QStringList{"export", dat, "--csv", "--ab"} << 2;
        QTest::newRow("csv is export's") << QStringList{"diff", dat, "--csv"} << 2;
        QTest::newRow("offline is diff's")
            << QStringList{"export", dat, "--csv", "--offline", dat} << 2;
        QTest::newRow("empty offline") << QStringList{"diff", dat, "--offline="} << 2;
        QTest::newRow("diff of two") << QStringList{"diff", dat, dat} << 2;
        QTest::newRow("missing file") << QStringList{"export", "missing.dat", "--csv"} << 1;
        QTest::newRow("unwritable output")
            << QStringList{"export", dat, "--csv", "-o", "/nonexistent/dir/x.csv"} << 1;
        QTest::newRow("stdout by -") << QStringList{"export", dat, "--csv", "--output=-"} << 0;
        QTest::newRow("import without -o") << QStringList{"import", "a.csv"} << 2;
        QTest::newRow("patched-only is export's")
            << QStringList{"import", "a.csv", "-o", "a.pat", "--patched-only"} << 2;
    }
    void usage() {
        QFETCH(QStringList, args);
        QFETCH(int, status);
        const CliRun r = cli(args);
        QCOMPARE(r.status, status);
        QCOMPARE(r.err.isEmpty(), status == 0);
        QCOMPARE(r.out.isEmpty(), status != 0);
    }
};

QTEST_GUILESS_MAIN(TestCliExport)
#include "tst_cliexport.moc"
