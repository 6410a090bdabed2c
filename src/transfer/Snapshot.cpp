#include "Snapshot.h"

#include "AttrTransfer.h"
#include "CurveTransfer.h"
#include "PatchTransfer.h"
#include "SettingsPath.h"
#include "TextLines.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSaveFile>
#include <QSettings>

#include <algorithm>

namespace kestrava {

namespace {

struct Texts {
    Q_DECLARE_TR_FUNCTIONS(Snapshot)
};

const QString kStampFormat = QStringLiteral("yyyyMMdd-HHmmss");

// "20261210-070512_ClrAllPat_1.65.dat", "-2" before the extension for a second one that second.
const QRegularExpression &namePattern() {
    static const QRegularExpression re(
        QStringLiteral("^(\\d{8}-\\d{6})_([A-Za-z]+)_(.+?)(?:-(\\d+))?\\.dat$"),
        QRegularExpression::CaseInsensitiveOption);
    return re;
}

struct Named {
    THistoryEntry entry;
    int number = 1;
    QDateTime written; // orders two commands of one second
};

QList<Named> listNamed(const QString &folder) {
    QList<Named> found;
    if (folder.isEmpty())
        return found;
    const QDir dir(folder);
    for (const QString &name : dir.entryList(QDir::Files)) {
        const QRegularExpressionMatch m = namePattern().match(name);
        if (!m.hasMatch())
            continue;
        Named n;
        n.entry.path = dir.filePath(name);
        n.entry.when = QDateTime::fromString(m.captured(1), kStampFormat);
        n.entry.command = m.captured(2);
        n.entry.firmware = m.captured(3);
        n.number = m.captured(4).isEmpty() ? 1 : m.captured(4).toInt();
        n.written = QFileInfo(n.entry.path).lastModified();
        if (n.entry.when.isValid())
            found.append(n);
    }
    std::ranges::sort(found, [](const Named &a, const Named &b) {
        if (a.entry.when != b.entry.when)
            return a.entry.when > b.entry.when;
        return a.written != b.written ? a.written > b.written : a.number > b.number;
    });
    return found;
}

// Written whole or not at all, and never over an earlier snapshot: a name already taken gets
// a number. The path, or "" with reason set.
QString writeSnapshotFile(const TUnitLink &link, const QString &command, const QStringList &lines,
                          QString &reason) {
    const QString folder = HistoryFolder(link);
    if (!QDir().mkpath(folder)) {
        reason = Texts::tr("フォルダを作成できません");
        return {};
    }
    const QDateTime now = QDateTime::currentDateTime();
    const QString base = now.toString(kStampFormat) + u'_' + command + u'_' +
                         FormatFirmwareVersion(link.FirmwareVersion);
    QString path = QDir(folder).filePath(base + QStringLiteral(".dat"));
    for (int n = 2; QFileInfo::exists(path); ++n)
        path = QDir(folder).filePath(base + QStringLiteral("-%1.dat").arg(n));
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(JoinTextLines(lines)) < 0 ||
        !file.commit()) {
        reason = file.errorString();
        return {};
    }
    PruneHistory(folder, HistorySettingsOf(link.Settings.File()), now);
    return path;
}

} // namespace

THistorySettings HistorySettingsOf(const QString &settingsFile) {
    THistorySettings s;
    if (settingsFile.isEmpty())
        return s;
    const QSettings ini(settingsFile, QSettings::IniFormat);
    s.keep = std::max(0, ini.value(QStringLiteral("History/Keep"), s.keep).toInt());
    s.days = std::max(0, ini.value(QStringLiteral("History/Days"), s.days).toInt());
    s.readUnit = ini.value(QStringLiteral("History/ReadUnit"), 1).toInt() != 0;
    return s;
}

QString HistoryFolder(const TUnitLink &link) {
    return KestravaHistoryFolderFor(link.Settings.File());
}

TSnapshot::TSnapshot(TransferEnv &env, QString command, TSnapshotParts parts,
                     const TPatchModel &patches, const TLoadAttrModel &attrs,
                     const TCurveSet &curves)
    : env_(env), command_(std::move(command)), parts_(parts), curPatch_(patches.CurPatch),
      readUnit_(!HistoryFolder(env.link).isEmpty() &&
                HistorySettingsOf(env.link.Settings.File()).readUnit) {
    data_.patches.SelectCurrent(patches.CurPatch);
    for (int p = 0; p < PatchCount; ++p) {
        const bool edited = p == patches.CurPatch && patches.PatchChanged;
        if (parts.patches.test(std::size_t(p)) && patches.PatchInSync[std::size_t(p)] && !edited) {
            data_.patches.Patches[std::size_t(p)] = patches.Patches[std::size_t(p)];
            held_.patches.set(std::size_t(p));
        }
    }
    if (parts.attrs && attrs.LdAtrInSync && !attrs.LdAtrChanged) {
        data_.attrs = attrs;
        held_.attrs = true;
    }
    if (parts.curves && curves.CurvesInSync && !curves.CurveChanged) {
        data_.curves = curves;
        held_.curves = true;
    }
}

bool TSnapshot::reading() const {
    return env_.link.Linked && !env_.link.EditMode && readUnit_;
}

bool TSnapshot::ReadAttrsAndCurves() {
    if (!reading())
        return true;
    if (parts_.attrs && !held_.attrs) {
        data_.attrs.MarkUnsent();
        if (!FetchLoadAttrs(env_, data_.attrs))
            return false;
        held_.attrs = true;
    }
    if (parts_.curves && !held_.curves) {
        data_.curves.MarkUnsent();
        if (!FetchCurves(env_, data_.curves))
            return false;
        held_.curves = true;
    }
    return true;
}

bool TSnapshot::ReadPatches() {
    if (!reading())
        return true;
    bool moved = false;
    for (int p = 0; p < PatchCount; ++p) {
        if (!parts_.patches.test(std::size_t(p)) || held_.patches.test(std::size_t(p)))
            continue;
        if (moved || p != curPatch_) {
            moved = true;
            if (!SelectUnitPatch(env_, p))
                return false;
        }
        if (!ReadUnitPatch(env_, p, data_.patches.Patches[std::size_t(p)]))
            return false;
        held_.patches.set(std::size_t(p));
    }
    // Whatever follows goes to the patch the window shows.
    return !moved || !IsPatchIndex(curPatch_) || SelectUnitPatch(env_, curPatch_);
}

bool TSnapshot::Write() {
    if (!env_.link.Linked || env_.link.EditMode || HistoryFolder(env_.link).isEmpty())
        return true;
    QStringList lines;
    for (int p = 0; p < PatchCount; ++p)
        if (held_.patches.test(std::size_t(p)))
            WriteNumberedPatchSection(lines, data_.patches.Patches[std::size_t(p)], p);
    if (held_.attrs)
        WriteAttributeSection(lines, data_.attrs);
    if (held_.curves)
        WriteCurveSections(lines, data_.curves);
    if (lines.isEmpty())
        return true;
    QString reason;
    path_ = writeSnapshotFile(env_.link, command_, lines, reason);
    if (!path_.isEmpty())
        return true;
    env_.boxes.Error(Texts::tr("スナップショットを保存できませんでした\n%1\n%2")
                         .arg(QDir::toNativeSeparators(HistoryFolder(env_.link)), reason));
    return false;
}

void KeepFirstFetch(TransferEnv &env, const TPatchModel &patches, int p) {
    if (env.link.EditMode || HistoryFolder(env.link).isEmpty() || !env.link.FirstFetchInSession(p))
        return;
    QStringList lines;
    WriteNumberedPatchSection(lines, patches.Patches[std::size_t(p)], p);
    QString reason;
    writeSnapshotFile(env.link, QStringLiteral("Fetch"), lines, reason);
}

QList<THistoryEntry> ListHistory(const QString &folder) {
    QList<THistoryEntry> entries;
    for (Named &n : listNamed(folder)) {
        TPatchModel patches;
        TLoadAttrModel attrs;
        TCurveSet curves;
        n.entry.holds = ReadAllDataFile(n.entry.path, patches, attrs, curves).found;
        entries.append(n.entry);
    }
    return entries;
}

QString HoldsText(const TReadReport &holds) {
    QStringList words;
    for (int p = 0; p < PatchCount; ++p)
        if (holds.patchSections.test(std::size_t(p)))
            words << QStringLiteral("Patch%1").arg(p + 1);
    if (holds.attributeSection)
        words << QStringLiteral("Attribute");
    for (int c = 0; c < int(holds.curveSections.size()); ++c)
        if (holds.curveSections.test(std::size_t(c)))
            words << QStringLiteral("Curve%1").arg(c + 1);
    return words.join(u' ');
}

void PruneHistory(const QString &folder, const THistorySettings &settings, const QDateTime &now) {
    const QDateTime oldest = now.addDays(-settings.days);
    const QList<Named> named = listNamed(folder);
    for (int i = settings.keep; i < named.size(); ++i)
        if (named[i].entry.when < oldest)
            QFile::remove(named[i].entry.path);
}

} // namespace kestrava
