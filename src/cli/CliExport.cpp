#include "CliExport.h"

#include "CliSession.h"
#include "CliTokens.h"

#include <QDateTime>
#include <QFileInfo>
#include <QSaveFile>

#include <cstdio>
#include <memory>

#ifdef Q_OS_WIN
#include <fcntl.h>
#include <io.h>
#endif

namespace kestrava::cli {

namespace {

bool writeOutput(const QString &path, const QByteArray &bytes) {
    if (path.isEmpty() || path == QLatin1String("-")) {
#ifdef Q_OS_WIN
        _setmode(_fileno(stdout), _O_BINARY); // the CR LF of the sheet, unchanged
#endif
        const bool ok =
            std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout) == size_t(bytes.size());
        return std::fflush(stdout) == 0 && ok;
    }
    QSaveFile f(path);
    if (f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size() && f.commit())
        return true;
    PrintErr(Texts::tr("保存に失敗しました: %1 (%2)").arg(path, f.errorString()));
    return false;
}

// Today, or the day SOURCE_DATE_EPOCH names, so that a sheet can be made again the same.
QDate SheetDate() {
    bool ok = false;
    const qint64 epoch = qEnvironmentVariable("SOURCE_DATE_EPOCH").toLongLong(&ok);
    return ok ? QDateTime::fromSecsSinceEpoch(epoch, Qt::UTC).date() : QDate::currentDate();
}

// The sheet of the unit: only the patch asked for is fetched (those marked in sync are not).
int unitSheet(const CliOptions &o, TDataSet &data, TPatchSheet &sheet, TSheetHeading &heading,
              TransferProgress &progress) {
    std::bitset<PatchCount> wanted;
    if (o.patch == 0)
        wanted.set();
    else if (IsPatchIndex(o.patch - 1))
        wanted.set(std::size_t(o.patch - 1));
    data.patches.LimitFetchTo(wanted);
    TUnitSession session(o);
    if (!session.LinkUp() ||
        !session.Fetch({DataSection::AllPatches, DataSection::Attributes}, data, progress))
        return 1;
    heading.source = QStringLiteral("unit");
    heading.firmware = FormatFirmwareVersion(session.link.FirmwareVersion);
    sheet = MemoryPatchSheet(data.patches, data.attrs, o.patch);
    return 0;
}

// The sheet of a file: what it holds, read as check and restore read it.
int fileSheet(const CliOptions &o, TDataSet &data, TPatchSheet &sheet, TSheetHeading &heading) {
    const QString file = o.args.value(0);
    const FileKind kind = FileKindOf(file);
    if (kind == FileKind::None)
        return UsageError(KindError(file));
    const QList<DataSection> &sections = FileKindInfo(kind)->sections;
    const bool one = sections.contains(DataSection::CurrentPatch);
    if (!one && !sections.contains(DataSection::AllPatches))
        return UsageError(QStringLiteral("%1 holds no patch").arg(file));
    if (one && o.patch != 0)
        return UsageError(QStringLiteral("%1 holds one patch: no --patch").arg(file));
    TLoadFile load;
    if (!ReadUsableFile(kind, file, data.patches.CurPatch, load) ||
        !load.LayOver(data.patches, data.attrs, data.curves))
        return 1;
    heading.source = QFileInfo(file).fileName();
    sheet = FilePatchSheet(data.patches, data.attrs, load.read.found, one, o.patch);
    if (!sheet.pages.isEmpty())
        return 0;
    PrintErr(o.patch == 0 ? Texts::tr("%1: パッチのデータがありません").arg(file)
                          : Texts::tr("%1: パッチ%2のデータがありません").arg(file).arg(o.patch));
    return 1;
}

} // namespace

int RunExport(const CliOptions &o, TransferProgress &progress) {
    const auto data = std::make_unique<TDataSet>(); // eight patch memories: off the stack
    TPatchSheet sheet;
    TSheetHeading heading;
    heading.version = ProgramVersion();
    heading.date = SheetDate();
    const int status = o.fromUnit ? unitSheet(o, *data, sheet, heading, progress)
                                  : fileSheet(o, *data, sheet, heading);
    if (status != 0)
        return status;
    const TSheetChoice choice{.patchedOnly = o.patchedOnly};
    const bool html = o.format == QLatin1String("html");
    return writeOutput(o.outputPath,
                       html ? SheetHtml(sheet, heading, choice) : SheetCsv(sheet, choice))
               ? 0
               : 1;
}

} // namespace kestrava::cli
