#include "../../model/DataFileFixtures.h"
#include "DataFileKind.h"
#include "DrawGrid.h"
#include "FailureTexts.h"
#include "HistoryWindow.h"
#include "PatchTransfer.h"
#include "QtDialogResponder.h"
#include "Snapshot.h"
#include "TextLines.h"
#include "UiRigs.h"
#include "WireCodes.h"

#include <QComboBox>
#include <QDir>
#include <QFileSystemModel>
#include <QLineEdit>
#include <QProcess>
#include <QRadioButton>
#include <QRegularExpression>
#include <QScreen>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>

#include <atomic>
#include <fcntl.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

using namespace kestrava;
using Box = test::ScriptedResponder::Box;
using test::addresses;
using test::allPatchesWritten;
using test::distinct;
using test::fileOf;
using test::goldenUnit;
using test::shape;
using test::withFile;
using namespace kestrava::test; // the failure texts

enum class Link { Linked, EditMode, Lost };

Q_DECLARE_METATYPE(ActionId)
Q_DECLARE_METATYPE(Link)

namespace {

const QString kSaved = QStringLiteral("保存が完了しました");
const QString kLoaded = QStringLiteral("読込・転送が完了しました");
const QString kAllWritten = QStringLiteral("転送・書込が完了しました");

// The patch grid on screen is what it would paint now, i.e. it shows the current memory.
bool gridShowsMemory(TKestravaForm &f) {
    QWidget *vp = f.findChild<TDrawGrid *>(QStringLiteral("PatTableGrid"))->viewport();
    const QImage shown = f.screen()->grabWindow(f.winId()).toImage().copy(
        QRect(vp->mapTo(&f, QPoint()), vp->size()));
    return shown == vp->grab().toImage().convertToFormat(shown.format());
}

// The window on a unit holding distinct(), linked, in edit mode, or after the link was lost.
struct Rig : test::FormRig {
    explicit Rig(Link link, int currentPatch = 2) : FormRig(options(currentPatch)) {
        unit.setMemory(distinct());
        if (link == Link::EditMode) {
            unit.setAbsent(true);
            boxes.queueAnswer(IDYES);
            up = showOnly() && QTest::qWaitFor([this] { return timer()->isActive(); }) &&
                 FormRig::link().EditMode;
        } else {
            up = showLinked();
        }
        if (link == Link::Lost) {
            unit.setAbsent(true);
            FormRig::link().MarkLost();
            form->UpdateActions();
        }
        boxes.clear();
        unit.clearLog();
    }
    static sim::UnitSimOptions options(int currentPatch) {
        sim::UnitSimOptions o;
        o.currentPatch = currentPatch;
        return o;
    }
    // The command as its menu item runs it, the file dialog answered with file.
    bool run(ActionId id, const QString &file) {
        boxes.queueFile(file);
        return form->ExecuteAction(id);
    }
    QStringList wire() const { return unit.requestLog().filter(QRegularExpression("^(?!Q802$)")); }
    void setGolden() {
        const test::DataModels g = test::GoldenModels();
        patches().Patches = g.patches.Patches;
        patches().PatchInSync.fill(true);
        attrs().LoadAttrs = g.attrs.LoadAttrs;
        curves().Curves = g.curves.Curves;
        attrs().LdAtrInSync = curves().CurvesInSync = true;
    }
    void setChangedFlags() {
        patches().PatchChanged = attrs().LdAtrChanged = curves().CurveChanged = true;
        patches().PushUndo();
    }
    TKestravaForm &f() { return *form; }
    bool up = false;
};

QByteArray bytesOf(const QString &path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class TestFileCommands : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;

    QString file(const QString &name, const QStringList &lines) {
        const QString path = dir_.filePath(name);
        return SaveTextLines(path, lines) ? path : QString();
    }

private Q_SLOTS:
    // The dialog each command asks for, linked and not; cancelling it ends the command.
    void dialogRequests_data() {
        QTest::addColumn<ActionId>("id");
        QTest::addColumn<bool>("linked");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("ext");
        using enum ActionId;
        const struct {
            ActionId id;
            const char *caption;
            const char *ext;
            bool load;
        } commands[] = {
            {SaveAllDataAction, "全データをファイルに保存", "dat", false},
            {LoadAllDataAction, "全データをファイルから読込", "dat", true},
            {SaveAllPatAction, "全パッチをファイルに保存", "pat", false},
            {SaveCurPatAction, "このパッチをファイルに保存", "pt1", false},
            {LoadAllPatAction, "全パッチをファイルから読込", "pat", true},
            {LoadCurPatAction, "このパッチをファイルから読込", "pt1", true},
            {SaveLdAtrAction, "負荷属性をファイルに保存", "atr", false},
            {LoadLdAtrAction, "負荷属性をファイルから読込", "atr", true},
            {SaveCurveAction, "カーブをファイルに保存", "crv", false},
            {LoadCurveAction, "カーブをファイルから読込", "crv", true},
        };
        for (const auto &c : commands)
            for (bool linked : {true, false})
                QTest::addRow("%s, %s", ActionName(c.id), linked ? "linked" : "edit mode")
                    << c.id << linked
                    << QString::fromUtf8(c.caption) + (c.load && linked ? "・転送" : "")
                    << QString::fromLatin1(c.ext);
    }
    void dialogRequests() {
        QFETCH(ActionId, id);
        QFETCH(bool, linked);
        QFETCH(QString, title);
        QFETCH(QString, ext);
        Rig rig(linked ? Link::Linked : Link::EditMode);
        QVERIFY(rig.up);
        rig.statusBar()->setPanelText(1, QStringLiteral("前の表示"));
        const QString name = ActionName(id);
        rig.f().ShowPage(name.contains("LdAtr")   ? Page::Attr
                         : name.contains("Curve") ? Page::Curve
                                                  : Page::Patch);
        rig.unit.clearLog(); // leaving the patch page turns the check off
        QVERIFY(rig.f().Action(id)->isVisible());
        QVERIFY(rig.run(id, QString()));
        QCOMPARE(rig.boxes.fileDialogs().size(), 1);
        const FileDialogRequest r = rig.boxes.fileDialogs().first();
        QCOMPARE(r.title, title);
        QCOMPARE(r.title, rig.f().Action(id)->text());
        QCOMPARE(r.save, name.startsWith("Save"));
        const QString kind = ext == "dat"   ? "データファイル"
                             : ext == "atr" ? "負荷属性データ"
                             : ext == "crv" ? "カーブデータ"
                                            : "パッチデータ";
        QCOMPARE(r.filter, QStringLiteral("%1 (*.%2)|*.%3").arg(kind, ext, ext.toUpper()));
        QCOMPARE(r.defaultExt, ext.toUpper());
        QCOMPARE(r.fileName, "*." + ext);
        QCOMPARE(r.initialDir, QCoreApplication::applicationDirPath());
        QVERIFY(rig.boxes.boxes().isEmpty());
        QVERIFY(rig.wire().isEmpty());
        const bool keepsPanel = id == ActionId::SaveCurveAction ||
                                id == ActionId::LoadLdAtrAction || id == ActionId::LoadCurveAction;
        QCOMPARE(rig.statusBar()->panelText(1), keepsPanel ? "前の表示" : "");
    }

    // Each save writes its golden file byte for byte; only edit mode clears changed flags.
    void savesMatchGolden_data() {
        QTest::addColumn<ActionId>("id");
        QTest::addColumn<Link>("link");
        QTest::addColumn<QString>("golden");
        QTest::addColumn<QString>("fromUnit"); // what is out of sync and fetched first
        QTest::addColumn<QString>("cleared");  // the flags the save clears
        using enum ActionId;
        const auto row = [](const char *name, ActionId id, Link link, const char *golden,
                            const char *fromUnit, const char *cleared) {
            QTest::newRow(name) << id << link << golden << fromUnit << cleared;
        };
        row("all data, linked", SaveAllDataAction, Link::Linked, "all.dat", "", "");
        row("all data, linked, attributes and curves fetched", SaveAllDataAction, Link::Linked,
            "all.dat", "attrs curves", "");
        row("all data, edit mode", SaveAllDataAction, Link::EditMode, "all.dat", "", "");
        row("all patches, linked, seven fetched", SaveAllPatAction, Link::Linked, "all.pat",
            "patches", "");
        row("all patches, edit mode", SaveAllPatAction, Link::EditMode, "all.pat", "", "patch");
        row("this patch, linked", SaveCurPatAction, Link::Linked, "one.pt1", "", "");
        row("this patch, edit mode", SaveCurPatAction, Link::EditMode, "one.pt1", "", "");
        row("attributes, linked", SaveLdAtrAction, Link::Linked, "attrs.atr", "", "");
        row("attributes, edit mode", SaveLdAtrAction, Link::EditMode, "attrs.atr", "", "attr");
        row("curves, linked", SaveCurveAction, Link::Linked, "curves.crv", "", "");
        row("curves, edit mode", SaveCurveAction, Link::EditMode, "curves.crv", "", "curve");
    }
    void savesMatchGolden() {
        QFETCH(ActionId, id);
        QFETCH(Link, link);
        QFETCH(QString, golden);
        QFETCH(QString, fromUnit);
        QFETCH(QString, cleared);
        Rig rig(link, 1);
        QVERIFY(rig.up);
        rig.patches().CurPatch = 1; // the one-patch file holds patch 2
        rig.setGolden();
        rig.setChangedFlags();
        if (!fromUnit.isEmpty())
            rig.unit.setMemory(goldenUnit());
        if (fromUnit.contains("patches"))
            rig.patches().PatchInSync = {false, true}; // patch 2 holds what no wire carries
        rig.attrs().LdAtrInSync = !fromUnit.contains("attrs");
        rig.curves().CurvesInSync = !fromUnit.contains("curves");
        const QString path = dir_.filePath(QTest::currentDataTag() + golden.mid(golden.size() - 4));
        QVERIFY(rig.run(id, path));
        QCOMPARE(bytesOf(path), bytesOf(test::GoldenPath(golden)));
        const bool box = id == ActionId::SaveAllDataAction || id == ActionId::SaveAllPatAction;
        QCOMPARE(rig.boxes.texts(), box ? QStringList{kSaved} : QStringList{});
        QCOMPARE(rig.patches().PatchChanged, !cleared.contains("patch"));
        QCOMPARE(rig.patches().UndoList.IsEmpty(), cleared.contains("patch"));
        QCOMPARE(rig.attrs().LdAtrChanged, !cleared.contains("attr"));
        QCOMPARE(rig.curves().CurveChanged, !cleared.contains("curve"));
        QCOMPARE(rig.patches().CurPatch, 1);
        QVERIFY(!rig.link().Transferring);
    }

    // A target that cannot be written, or a backup of what was never fetched from the unit
    // while the link is lost: the failure text, no file, and every flag as it was.
    void unwritableTarget_data() {
        QTest::addColumn<ActionId>("id");
        QTest::addColumn<Link>("link");
        QTest::addColumn<QString>("target");
        QTest::addColumn<bool>("onlyCurvesOut"); // else the attributes are out of sync
        using enum ActionId;
        QTest::newRow("all data, edit mode, a folder")
            << SaveAllDataAction << Link::EditMode << "folder.dat" << false;
        QTest::newRow("all data, linked, a folder")
            << SaveAllDataAction << Link::Linked << "folder.dat" << false;
        QTest::newRow("all patches, edit mode, missing folder")
            << SaveAllPatAction << Link::EditMode << "none/x.pat" << false;
        QTest::newRow("all patches, linked, missing folder")
            << SaveAllPatAction << Link::Linked << "none/x.pat" << false;
        QTest::newRow("this patch, edit mode, a folder")
            << SaveCurPatAction << Link::EditMode << "folder.dat" << false;
        QTest::newRow("attributes, edit mode, missing folder")
            << SaveLdAtrAction << Link::EditMode << "none/x.atr" << false;
        QTest::newRow("curves, edit mode, a folder")
            << SaveCurveAction << Link::EditMode << "folder.dat" << false;
        QTest::newRow("all data, link lost, never fetched")
            << SaveAllDataAction << Link::Lost << "lost.dat" << false;
        QTest::newRow("all data, link lost, only the curves out of sync")
            << SaveAllDataAction << Link::Lost << "curves-out.dat" << true;
    }
    void unwritableTarget() {
        QFETCH(ActionId, id);
        QFETCH(Link, link);
        QFETCH(QString, target);
        QFETCH(bool, onlyCurvesOut);
        QVERIFY(QDir(dir_.path()).mkpath("folder.dat"));
        Rig rig(link);
        QVERIFY(rig.up);
        rig.setChangedFlags();
        rig.attrs().LdAtrInSync = onlyCurvesOut; // else a fetch first, while linked
        if (onlyCurvesOut) {
            rig.patches().PatchInSync.fill(true);
            rig.curves().CurvesInSync = false;
        }
        QVERIFY(rig.run(id, dir_.filePath(target)));
        QCOMPARE(rig.boxes.texts().last(), kSaveFailed);
        QVERIFY(!QFileInfo(dir_.filePath(target)).isFile());
        QVERIFY(rig.patches().PatchChanged && rig.attrs().LdAtrChanged);
        QVERIFY(rig.curves().CurveChanged && !rig.patches().UndoList.IsEmpty());
    }

    // Each load of a golden file: what goes over the wire, what the unit stores, the box
    // and whether the transfer still counts as running while it shows.
    void loads_data() {
        QTest::addColumn<ActionId>("id");
        QTest::addColumn<Link>("link");
        QTest::addColumn<QString>("golden");
        QTest::addColumn<QStringList>("wire");
        QTest::addColumn<QString>("box");
        QTest::addColumn<bool>("transferringAtBox");
        QTest::addColumn<QString>("kept"); // what the snapshot holds of the unit before
        using enum ActionId;
        const QStringList attrs = addresses('S', 0x500, 64) << "WA";
        const QStringList curves = addresses('S', 0x600, 68) << "WC";
        const QString all8 = "P1 P2 P3 P4 P5 P6 P7 P8";
        QTest::newRow("all data") << LoadAllDataAction << Link::Linked << "all.dat"
                                  << QStringList{"R002"} + allPatchesWritten(1) + attrs + curves +
                                         QStringList{"R001"}
                                  << kAllWritten << false << all8 + " A C";
        QTest::newRow("all patches")
            << LoadAllPatAction << Link::Linked << "all.pat"
            << QStringList{"R002"} + allPatchesWritten(1) + QStringList{"R001"} << kLoaded << true
            << all8;
        QTest::newRow("this patch")
            << LoadCurPatAction << Link::Linked << "one.pt1"
            << QStringList{"R002"} + addresses('S', 0x400, 64) + QStringList{"WP", "R001"}
            << kLoaded << true << "P2";
        // Laid over memory first, the attributes and curves are read from the unit for it.
        QTest::newRow("attributes") << LoadLdAtrAction << Link::Linked << "attrs.atr"
                                    << addresses('Q', 0x500, 64) + attrs << "" << false << "A";
        QTest::newRow("curves") << LoadCurveAction << Link::Linked << "curves.crv"
                                << addresses('Q', 0x600, 68) + curves << "" << false << "C";
        for (const auto &[id, golden] : {std::pair{LoadAllDataAction, "all.dat"},
                                         {LoadAllPatAction, "all.pat"},
                                         {LoadCurPatAction, "one.pt1"},
                                         {LoadLdAtrAction, "attrs.atr"},
                                         {LoadCurveAction, "curves.crv"}})
            QTest::addRow("%s, edit mode", golden)
                << id << Link::EditMode << golden << QStringList{} << "" << false << "";
    }
    void loads() {
        QFETCH(ActionId, id);
        QFETCH(Link, link);
        QFETCH(QString, golden);
        QFETCH(QStringList, wire);
        QFETCH(QString, box);
        QFETCH(bool, transferringAtBox);
        QFETCH(QString, kept);
        Rig rig(link, 1);
        QVERIFY(rig.up);
        NullProgress quiet;
        TransferEnv env{rig.link(), quiet};
        QVERIFY(link != Link::Linked || FetchAllPatches(env, rig.patches()));
        rig.patches().PatchInSync.fill(true);
        rig.unit.clearLog();
        // The mode selector redraws the shown curve from distinct()'s points, which its table
        // does not follow: in sync, memory's tables are what a snapshot keeps; the curve load
        // reads the unit's.
        sim::UnitMemory before = distinct();
        if (id != ActionId::LoadCurveAction)
            before.curveTables = test::unitOf({{}, {}, rig.curves()}).curveTables;
        bool transferring = false;
        rig.boxes.onBox([&](const Box &) { transferring = rig.link().Transferring; });
        QVERIFY(rig.run(id, test::GoldenPath(golden)));
        QCOMPARE(shape(rig.wire()), wire);
        QCOMPARE(rig.boxes.texts(), box.isEmpty() ? QStringList{} : QStringList{box});
        QCOMPARE(transferring, transferringAtBox);
        QVERIFY(!rig.link().Transferring);
        const QList<THistoryEntry> history = ListHistory(HistoryFolder(rig.link()));
        QCOMPARE(!history.isEmpty() && history[0].command != "Fetch", !kept.isEmpty());
        QVERIFY(kept.isEmpty() || test::holdsUnitParts(history[0].path, before, kept));
        // memory holds exactly the file, and so does the unit when linked
        const FileKind kind = FileKindOf(golden);
        QStringList lines;
        WriteDataFileLines(kind, lines, rig.patches(), rig.attrs(), rig.curves());
        QStringList goldenLines;
        QVERIFY(LoadTextLines(test::GoldenPath(golden), goldenLines));
        QCOMPARE(lines, goldenLines);
        if (link == Link::Linked) {
            const sim::UnitMemory stored = rig.unit.storedMemory();
            const sim::UnitMemory expected = goldenUnit();
            const bool all = kind == FileKind::AllData;
            QVERIFY(kind == FileKind::Attributes || kind == FileKind::Curves ||
                    stored.patches[1] == expected.patches[1]);
            QVERIFY(!(all || kind == FileKind::Attributes) ||
                    stored.attributes == expected.attributes);
            QVERIFY(!(all || kind == FileKind::Curves) ||
                    stored.curveTables == expected.curveTables);
        }
    }

    // Load all patches is off while the patch is changed, Save this patch without a patch.
    void commandsOff_data() {
        QTest::addColumn<ActionId>("id");
        QTest::addColumn<Link>("link");
        using enum ActionId;
        QTest::newRow("load all patches, changed, linked") << LoadAllPatAction << Link::Linked;
        QTest::newRow("load all patches, changed, edit mode") << LoadAllPatAction << Link::EditMode;
        QTest::newRow("load all patches, changed, link lost") << LoadAllPatAction << Link::Lost;
        QTest::newRow("save this patch, no current patch") << SaveCurPatAction << Link::Linked;
    }
    void commandsOff() {
        QFETCH(ActionId, id);
        QFETCH(Link, link);
        Rig rig(link);
        QVERIFY(rig.up);
        rig.patches().PatchChanged = id == ActionId::LoadAllPatAction;
        rig.patches().CurPatch = id == ActionId::SaveCurPatAction ? -1 : 2;
        QVERIFY(!rig.run(id, test::GoldenPath("all.pat")));
        QVERIFY(!rig.f().Action(id)->isEnabled());
        QVERIFY(rig.boxes.fileDialogs().isEmpty());
    }

    // After a save that fetched the other patches, the grid shows the current one at once.
    void savesShowTheCurrentPatch_data() {
        QTest::addColumn<ActionId>("id");
        QTest::newRow("all data") << ActionId::SaveAllDataAction;
        QTest::newRow("all patches") << ActionId::SaveAllPatAction;
    }
    void savesShowTheCurrentPatch() {
        QFETCH(ActionId, id);
        Rig rig(Link::Linked);
        QVERIFY(rig.up);
        bool shownAtBox = false;
        rig.boxes.onBox([&](const Box &) { shownAtBox = gridShowsMemory(rig.f()); });
        QVERIFY(rig.run(id, dir_.filePath(QTest::currentDataTag())));
        QCOMPARE(rig.boxes.texts(), QStringList{kSaved});
        QVERIFY(shownAtBox);
        QVERIFY(gridShowsMemory(rig.f()));
        QCOMPARE(rig.patches().CurPatch, 2);
        QCOMPARE(rig.f().findChild<QComboBox *>("PatNoCombo")->currentIndex(), 2);
    }

    // Memory holds only the patch fetched at start-up: what a file leaves out is fetched from
    // the unit inside the load's one R002 before anything is written, never written blank.
    void loadsKeepWhatTheFileLeavesOut_data() {
        QTest::addColumn<ActionId>("id");
        QTest::addColumn<QString>("contents");
        QTest::addColumn<bool>("attrsFetched");
        using enum ActionId;
        QTest::newRow("all patches, a one-patch file") << LoadAllPatAction << "P*:10" << false;
        QTest::newRow("all patches, patch 2 only") << LoadAllPatAction << "P2:10" << false;
        QTest::newRow("all data, patch 2 only") << LoadAllDataAction << "P2:10" << false;
        QTest::newRow("all data, only curves, attributes out of sync")
            << LoadAllDataAction << "C1 C2 C3 C4" << true;
    }
    void loadsKeepWhatTheFileLeavesOut() {
        QFETCH(ActionId, id);
        QFETCH(QString, contents);
        QFETCH(bool, attrsFetched);
        Rig rig(Link::Linked);
        QVERIFY(rig.up);
        rig.attrs().LdAtrInSync = !attrsFetched;
        const QString ext = id == ActionId::LoadAllDataAction ? ".dat" : ".pat";
        QVERIFY(rig.run(id, file(QTest::currentDataTag() + ext, fileOf(contents))));
        QCOMPARE(rig.boxes.texts(),
                 QStringList{id == ActionId::LoadAllDataAction ? kAllWritten : kLoaded});
        const QStringList wire = rig.wire();
        // The attributes of the snapshot are read before the bracket; every patch inside it.
        QVERIFY(wire.indexOf("R002") < wire.indexOf(QRegularExpression("P.*")));
        QCOMPARE(wire.count("R002") + wire.count("R001") + wire.count("R000"), 2);
        QCOMPARE(wire.last(), "R001");
        const qsizetype firstWrite = wire.indexOf(QRegularExpression("S.*"));
        for (int p : {0, 1, 3, 4, 5, 6, 7}) {
            const qsizetype at = wire.indexOf(QStringLiteral("P00%1").arg(p));
            QVERIFY(at > 0 && at < firstWrite && wire[at + 1] == "Q000");
        }
        QCOMPARE(wire.indexOf("Q500") >= 0 && wire.indexOf("Q500") < firstWrite, attrsFetched);
        QVERIFY(wire.lastIndexOf(QRegularExpression("Q.*")) < firstWrite);
        const sim::UnitMemory expected = withFile(distinct(), contents, 2);
        QCOMPARE(rig.unit.storedMemory().patches, expected.patches);
        QCOMPARE(rig.unit.storedMemory().attributes, expected.attributes);
        QVERIFY(gridShowsMemory(rig.f()));
    }

    // When a fetch for the load fails nothing is written and the load says it failed.
    void failedFillWritesNothing_data() {
        QTest::addColumn<ActionId>("id");
        QTest::addColumn<QString>("failure");
        QTest::newRow("all patches") << ActionId::LoadAllPatAction << kTransferFailed;
        QTest::newRow("all data") << ActionId::LoadAllDataAction << kAllDataFailed;
    }
    void failedFillWritesNothing() {
        QFETCH(ActionId, id);
        QFETCH(QString, failure);
        Rig rig(Link::Linked);
        QVERIFY(rig.up);
        rig.unit.setRefused({"Q005"});
        QVERIFY(rig.run(id, file(QTest::currentDataTag() + QString(".dat"), fileOf("P2:10"))));
        QCOMPARE(rig.boxes.texts(), (QStringList{kFetchFailed, failure}));
        QVERIFY(rig.wire().filter(QRegularExpression("^(S|W)")).isEmpty());
        QCOMPARE(rig.wire().mid(rig.wire().size() - 2), (QStringList{"P002", "R001"}));
        QCOMPARE(rig.unit.storedMemory(), distinct());
        QCOMPARE(rig.patches().Patches[1][0], pvNone); // the file was not laid over memory
    }

    // Unplugged while a save fetches: one box for each failure, and the lost-link question
    // neither on top of them nor once the save has ended (the link is known lost).
    void unplugDuringSave() {
        Rig rig(Link::Linked);
        QVERIFY(rig.up);
        rig.unit.setSilentAfter(20);
        // each box stays open while the timer would poll
        rig.boxes.onBox([](const Box &) { QTest::qWait(1200); });
        const QString target = dir_.filePath(QStringLiteral("unplugged.dat"));
        QVERIFY(rig.run(ActionId::SaveAllDataAction, target));
        QCOMPARE(rig.boxes.texts(), (QStringList{kFetchFailed, kNoResponse, kSaveFailed}));
        QTest::qWait(1200);
        QCOMPARE(rig.boxes.texts().size(), 3);
        QVERIFY(!QFile::exists(target));
        QVERIFY(!rig.wire().contains(QStringLiteral("Q800"))); // no reconnect inside
    }

    // After Load all data the selector shows the shown curve's mode without a mode change:
    // typing, adding and picking follow it, and a clean load leaves nothing to ask at close.
    void allDataLoadShowsCurveMode_data() {
        QTest::addColumn<Link>("link");
        QTest::newRow("linked") << Link::Linked;
        QTest::newRow("edit mode") << Link::EditMode;
    }
    void allDataLoadShowsCurveMode() {
        QFETCH(Link, link);
        Rig rig(link);
        QVERIFY(rig.up);
        TKestravaForm &f = rig.f();
        const int mode = (rig.curves().Current()->Mode + 1) % 3;
        QStringList lines = fileOf("P2:10 C1 C2 C3 C4");
        lines.replaceInStrings(QStringLiteral("Mode=1"), QStringLiteral("Mode=%1").arg(mode));
        QVERIFY(rig.run(ActionId::LoadAllDataAction, file("mode.dat", lines)));
        QCOMPARE(rig.curves().Current()->Mode, mode);
        const char *captions[] = {"個別", "折線", "曲線"};
        for (QRadioButton *b : f.findChildren<QRadioButton *>())
            if (b->text() == QString::fromUtf8(captions[mode]))
                QVERIFY(b->isChecked());
        QCOMPARE(f.CurrentState().curveIndividual, mode == 0);
        QCOMPARE(f.findChild<TDrawGrid *>(QStringLiteral("CurveGrid"))->editable(), mode == 0);
        QVERIFY(!rig.curves().CurveChanged);
        rig.boxes.clear();
        QVERIFY(f.close());
        QVERIFY(rig.boxes.texts().isEmpty());
    }

    // A file holding none of the sections a command loads is refused; nothing changes.
    void filesOfAnotherKindRefused_data() {
        QTest::addColumn<ActionId>("id");
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<QString>("failure");
        using enum ActionId;
        const QStringList junk{"\x01\x02PK\x03\x04 binary", "\x7f\xc3\xa9,,,,"};
        QTest::newRow("attributes, junk") << LoadLdAtrAction << junk << kLoadFailed;
        QTest::newRow("attributes, patches only")
            << LoadLdAtrAction << fileOf("P1:64") << kLoadFailed;
        QTest::newRow("curves, junk") << LoadCurveAction << junk << kLoadFailed;
        QTest::newRow("curves, attributes only")
            << LoadCurveAction << fileOf("A:64") << kLoadFailed;
        QTest::newRow("all patches, empty") << LoadAllPatAction << QStringList{} << kReadFailed;
        QTest::newRow("this patch, empty") << LoadCurPatAction << QStringList{} << kReadFailed;
        QTest::newRow("all data, empty") << LoadAllDataAction << QStringList{} << kAllDataFailed;
    }
    void filesOfAnotherKindRefused() {
        QFETCH(ActionId, id);
        QFETCH(QStringList, lines);
        QFETCH(QString, failure);
        Rig rig(Link::Linked);
        QVERIFY(rig.up);
        const auto patches = rig.patches().Patches;
        const auto attrs = rig.attrs().LoadAttrs;
        const auto curves = rig.curves().Curves;
        QVERIFY(rig.run(id, file(QTest::currentDataTag() + QString(".x"), lines)));
        QCOMPARE(rig.boxes.texts(), QStringList{failure});
        QVERIFY(rig.wire().isEmpty());
        QVERIFY(rig.patches().Patches == patches && rig.attrs().LoadAttrs == attrs);
        QVERIFY(rig.curves().Curves == curves);
        QVERIFY(!rig.attrs().LdAtrChanged && !rig.curves().CurveChanged &&
                rig.patches().PatchInSync[2]);
    }

    // This patch from a file of all patches takes the current patch's own section only.
    void thisPatchFromAllPatches_data() {
        QTest::addColumn<QString>("contents");
        QTest::addColumn<int>("curPatch");
        QTest::newRow("its section") << "P2:10 P3:10 P4:10" << 2;
        QTest::newRow("no section of its number") << "P2:10 P4:10" << 2;
        QTest::newRow("no current patch") << "P3:10" << -1;
    }
    void thisPatchFromAllPatches() {
        QFETCH(QString, contents);
        QFETCH(int, curPatch);
        Rig rig(Link::Linked);
        QVERIFY(rig.up);
        TPatchModel &m = rig.patches();
        m.CurPatch = curPatch;
        const TPatches before = m.Patches;
        const auto inSync = m.PatchInSync;
        QVERIFY(rig.run(ActionId::LoadCurPatAction, file("this.pat", fileOf(contents))));
        const bool taken = contents.contains("P3") && curPatch == 2;
        QCOMPARE(rig.boxes.texts(), QStringList{taken ? kLoaded : kReadFailed});
        QCOMPARE(m.PatchInSync, inSync);
        for (int p : {1, 3})
            QCOMPARE(m.Patches[p], before[p]);
        QCOMPARE(m.Patches[2][0], taken ? 0 : before[2][0]);
        const QStringList sent =
            QStringList{"R002"} + addresses('S', 0x400, 64) + QStringList{"WP", "R001"};
        QCOMPARE(shape(rig.wire()), taken ? sent : QStringList());
        QCOMPARE(rig.unit.storedMemory().patches,
                 (taken ? withFile(distinct(), "P3:10", 2) : distinct()).patches);
    }

    // What a load could not write to the unit stays marked as not written; after a failed
    // patch transfer the unit is put back on the shown patch, which is read again.
    // The commands that overwrite without a file keep what the unit held, read in plain remote
    // mode where memory does not hold it; a history that cannot be written stops them first.
    // The start-up fetch has kept the shown memory already.
    void overwritesKeepTheUnit_data() {
        QTest::addColumn<ActionId>("id");
        QTest::addColumn<QString>("kept");
        QTest::addColumn<bool>("unwritable");
        using enum ActionId;
        const QString all8 = "P1 P2 P3 P4 P5 P6 P7 P8";
        QTest::newRow("clear all") << ClrAllPatAction << all8 << false;
        QTest::newRow("clear this") << ClrCurPatAction << "P3" << false;
        QTest::newRow("one-to-one") << ThrCurPatAction << "P3" << false;
        QTest::newRow("write attributes") << WriteLdAtrAction << "A" << false;
        QTest::newRow("write curves") << WriteCurveAction << "C" << false;
        QTest::newRow("clear all, unwritable") << ClrAllPatAction << "" << true;
        QTest::newRow("write curves, unwritable") << WriteCurveAction << "" << true;
    }
    void overwritesKeepTheUnit() {
        QFETCH(ActionId, id);
        QFETCH(QString, kept);
        QFETCH(bool, unwritable);
        Rig rig(Link::Linked);
        QVERIFY(rig.up);
        const QString folder = HistoryFolder(rig.link());
        const QList<THistoryEntry> fetched = ListHistory(folder);
        QVERIFY(fetched.size() == 1 && test::holdsUnitParts(fetched[0].path, distinct(), "P3"));
        if (unwritable)
            QVERIFY(QDir(folder).removeRecursively() && SaveTextLines(folder, {}));
        rig.attrs().MarkEdited();
        rig.curves().MarkEdited();
        rig.boxes.queueAnswer(IDYES);
        QVERIFY(rig.f().ExecuteAction(id));
        const QStringList wire = shape(rig.wire());
        QVERIFY(!wire.contains("R002"));
        if (unwritable) {
            QVERIFY(rig.boxes.texts().last().contains(QDir::toNativeSeparators(folder)));
            QVERIFY(wire.filter(QRegularExpression("^(S|C$|WC$)")).isEmpty());
            return;
        }
        const QList<THistoryEntry> history = ListHistory(folder);
        QCOMPARE(history.size(), 2);
        QVERIFY(test::holdsUnitParts(history[0].path, distinct(), kept));
    }

    // The compare view groups the same differences kestrava-cli diff prints, group by group.
    void compareViewEqualsTheCliDiff_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("contents");
        QTest::newRow("patches, attributes, a curve") << "mixed.dat"
                                                      << "P2:10 P5:3 A:32 C3";
        QTest::newRow("one patch") << "one.pt1"
                                   << "P*:4";
        QTest::newRow("the unit's own") << "same.dat"
                                        << "";
    }
    void compareViewEqualsTheCliDiff() {
        QFETCH(QString, name);
        QFETCH(QString, contents);
        Rig rig(Link::Linked);
        QVERIFY(rig.up);
        QString path = file(name, fileOf(contents));
        if (contents.isEmpty()) // what the unit holds of patch 3, as the start-up fetched it
            path = rig.run(ActionId::SaveCurPatAction, dir_.filePath("same.pt1"))
                       ? dir_.filePath("same.pt1")
                       : QString();
        QList<int> viewCounts;
        rig.desktop.runModal = [&](QDialog &d) {
            const QTreeWidget *tree = d.findChild<QTreeWidget *>("CompareTree");
            for (int g = 0; tree && g < tree->topLevelItemCount(); ++g)
                viewCounts << tree->topLevelItem(g)->childCount();
            return int(QDialog::Rejected);
        };
        QVERIFY(rig.run(ActionId::CompareFileAction, path));
        rig.closeQuietly();
        QProcess cli;
        cli.start(KESTRAVA_CLI, {"--settings", rig.settings.path(), "--quiet", "--port",
                                 rig.unit.devicePath(), "diff", path});
        QVERIFY(cli.waitForFinished(20000));
        QList<int> cliCounts;
        QString last;
        for (const QString &line : QString::fromUtf8(cli.readAllStandardOutput()).split('\n')) {
            const QString group = line.section(' ', 0, line.startsWith("attribute") ? 0 : 1);
            if (line.isEmpty())
                continue;
            if (group != last)
                cliCounts << 0;
            ++cliCounts.last();
            last = group;
        }
        QCOMPARE(viewCounts, cliCounts);
        QCOMPARE(viewCounts.isEmpty(), contents.isEmpty());
    }

    // Another show loaded, the history window's Load of its snapshot puts the unit back.
    void historyLoadPutsTheUnitBack() {
        Rig rig(Link::Linked);
        QVERIFY(rig.up);
        NullProgress quiet;
        TransferEnv env{rig.link(), quiet};
        QVERIFY(FetchAllPatches(env, rig.patches()));
        const sim::UnitMemory before = rig.unit.storedMemory();
        QVERIFY(rig.run(ActionId::LoadAllDataAction, test::GoldenPath("all.dat")));
        QVERIFY(rig.unit.storedMemory().patches != before.patches);
        QString chosen;
        rig.desktop.runModal = [&](QDialog &d) {
            auto *tree = d.findChild<QTreeWidget *>("HistoryTree");
            tree->setCurrentItem(tree->topLevelItem(0));
            chosen = tree->currentItem()->text(1);
            d.done(THistoryWindow::LoadChosen);
            return d.result();
        };
        QVERIFY(rig.f().ExecuteAction(ActionId::HistoryAction));
        QCOMPARE(chosen, "LoadAllData");
        const sim::UnitMemory after = rig.unit.storedMemory();
        QVERIFY(after.patches == before.patches && after.attributes == before.attributes);
        QVERIFY(after.pointBlocks == before.pointBlocks);
    }

    void unwrittenLoadsStayMarked_data() {
        QTest::addColumn<ActionId>("id");
        QTest::addColumn<Link>("link");
        QTest::addColumn<QString>("golden");
        QTest::addColumn<QString>("refused");
        QTest::addColumn<QStringList>("texts");
        QTest::addColumn<QStringList>("tail");
        QTest::addColumn<QString>("changed"); // the flags set afterwards
        QTest::addColumn<int>("silentAfter");
        using enum ActionId;
        const QStringList realign = QStringList{"P002", "R001"} + addresses('Q', 0, 64);
        QTest::newRow("all patches, WP refused")
            << LoadAllPatAction << Link::Linked << "all.pat"
            << "WP" << QStringList{kTransferFailed} << realign << "" << 0;
        QTest::newRow("this patch, WP refused")
            << LoadCurPatAction << Link::Linked << "one.pt1"
            << "WP" << QStringList{kTransferFailed} << realign << "" << 0;
        QTest::newRow("all data, WA refused")
            << LoadAllDataAction << Link::Linked << "all.dat"
            << "WA" << QStringList{kWriteFailed, kAllDataFailed}
            << QStringList{"WA", "P002", "R001"} << "attrs curves" << 0;
        QTest::newRow("curves, WC refused")
            << LoadCurveAction << Link::Linked << "curves.crv"
            << "WC" << QStringList{kTransferFailed} << QStringList{"WC"} << "curves" << 0;
        QTest::newRow("attributes, link lost")
            << LoadLdAtrAction << Link::Lost << "attrs.atr"
            << "" << QStringList{} << QStringList{} << "attrs" << 0;
        QTest::newRow("all data, link lost")
            << LoadAllDataAction << Link::Lost << "all.dat"
            << "" << QStringList{} << QStringList{} << "attrs curves patches" << 0;
        QTest::newRow("all patches, link lost")
            << LoadAllPatAction << Link::Lost << "all.pat"
            << "" << QStringList{} << QStringList{} << "patches" << 0;
        // cut off by a silent unit, no realignment: the shown memory holds what the unit
        // did not get, so it is marked changed and closing asks
        QTest::newRow("this patch, unit silent part-way")
            << LoadCurPatAction << Link::Linked << "one.pt1"
            << "" << QStringList{kNoResponse, kTransferFailed} << QStringList{} << "shown" << 20;
        QTest::newRow("all patches, unit silent part-way")
            << LoadAllPatAction << Link::Linked << "all.pat"
            << "" << QStringList{kNoResponse, kTransferFailed} << QStringList{} << "shown" << 600;
        QTest::newRow("all data, unit silent part-way")
            << LoadAllDataAction << Link::Linked << "all.dat"
            << "" << QStringList{kNoResponse, kAllDataFailed} << QStringList{}
            << "shown attrs curves" << 600;
    }
    void unwrittenLoadsStayMarked() {
        QFETCH(ActionId, id);
        QFETCH(Link, link);
        QFETCH(QString, golden);
        QFETCH(QString, refused);
        QFETCH(QStringList, texts);
        QFETCH(QStringList, tail);
        QFETCH(QString, changed);
        QFETCH(int, silentAfter);
        Rig rig(link);
        QVERIFY(rig.up);
        if (!refused.isEmpty())
            rig.unit.setRefused({refused});
        if (silentAfter > 0)
            rig.unit.setSilentAfter(silentAfter);
        QVERIFY(rig.run(id, test::GoldenPath(golden)));
        QCOMPARE(rig.boxes.texts(), texts);
        const QStringList wire = shape(rig.wire());
        QCOMPARE(wire.mid(wire.size() - tail.size()), tail);
        QCOMPARE(rig.attrs().LdAtrChanged, changed.contains("attrs"));
        QCOMPARE(rig.attrs().LdAtrInSync, !changed.contains("attrs"));
        QCOMPARE(rig.curves().CurveChanged, changed.contains("curves"));
        QCOMPARE(rig.curves().CurvesInSync, !changed.contains("curves"));
        if (changed.contains("patches"))
            QCOMPARE(rig.patches().PatchInSync, (std::array<bool, 8>{}));
        QCOMPARE(rig.patches().PatchChanged, changed.contains("shown"));
        if (changed.contains("shown")) {
            rig.boxes.queueAnswer(IDCANCEL);
            QVERIFY(!rig.f().close());
            QCOMPARE(rig.boxes.texts().last(),
                     QStringLiteral("パッチ3の変更内容を書き込みますか?"));
        }
        if (tail.contains("Q03F")) {
            // the shown memory is what the unit's current patch holds; the loaded memories
            // not written are out of sync
            const auto unitPatch = rig.unit.memory().patches[2];
            for (int o : {0, 1, 5, 700, 1023})
                QCOMPARE(rig.patches().Patches[2][o], PatchEntryFromCode(Hex3(unitPatch[o])));
            QVERIFY(rig.patches().PatchInSync[2] && !rig.patches().PatchInSync[0]);
            QVERIFY(gridShowsMemory(rig.f()));
        }
    }

    // The name box starts with the pattern; a pattern accepted filters the list instead.
    void nameBoxPattern() {
        FileDialogRequest r{false, "t", "パッチデータ (*.pat)|*.PAT", "PAT", dir_.path(), "*.pat"};
        const auto d = BuildFileDialog(r);
        d->show();
        QVERIFY(QTest::qWaitForWindowExposed(d.get()));
        auto *name = d->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
        QCOMPARE(name->text(), QStringLiteral("*.pat"));
        QMetaObject::invokeMethod(d.get(), "accept");
        QVERIFY(TakeNamePattern(*d));
        QCOMPARE(d->nameFilters(), QStringList{"*.pat"});
        d->show();
        name->setText(QStringLiteral("show.pat"));
        QMetaObject::invokeMethod(d.get(), "accept");
        QVERIFY(!TakeNamePattern(*d));
        QCOMPARE(ChosenFile(*d), dir_.filePath("show.pat"));
    }

    // Listing a folder opens none of its files: a pipe there would block the dialog for good.
    void dialogReadsNoFileContents() {
        QTemporaryDir dir;
        for (const char *name : {"a.dat", "b.xyz", "c"})
            QVERIFY(SaveTextLines(dir.filePath(name), {"[Patch1]"}));
        const QByteArray fifo = QFile::encodeName(dir.filePath("pipe.dat"));
        QCOMPARE(mkfifo(fifo.constData(), 0600), 0);
        std::atomic<bool> stop = false;
        std::atomic<int> readers = 0;
        std::thread unblock([&] { // lets a reader of the pipe go, and counts it
            while (!stop) {
                if (const int fd = ::open(fifo.constData(), O_WRONLY | O_NONBLOCK); fd >= 0) {
                    ++readers;
                    ::close(fd);
                }
                QThread::msleep(5);
            }
        });
        const int watch = inotify_init1(IN_NONBLOCK);
        inotify_add_watch(watch, QFile::encodeName(dir.path()).constData(), IN_OPEN | IN_ACCESS);
        {
            const auto d = BuildFileDialog(
                {true, "t", "データファイル (*.dat)|*.DAT", "DAT", dir.path(), "*.dat"});
            d->show();
            QSignalSpy listed(d->findChild<QFileSystemModel *>(),
                              &QFileSystemModel::directoryLoaded);
            QVERIFY(listed.wait(5000));
            QTest::keyClicks(d->findChild<QLineEdit *>(QStringLiteral("fileNameEdit")), "p");
            QTest::qWait(300);
        }
        stop = true;
        unblock.join();
        QStringList opened;
        char buffer[4096];
        const ssize_t n = ::read(watch, buffer, sizeof buffer);
        for (ssize_t at = 0; at < n;) {
            const auto *e = reinterpret_cast<const inotify_event *>(buffer + at);
            if (e->len > 0)
                opened << QString::fromLocal8Bit(e->name);
            at += ssize_t(sizeof(inotify_event) + e->len);
        }
        ::close(watch);
        QCOMPARE(opened, QStringList{});
        QCOMPARE(readers.load(), 0);
    }
};

QTEST_MAIN(TestFileCommands)
#include "tst_filecommands.moc"
