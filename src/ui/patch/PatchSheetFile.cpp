#include "PatchSheetFile.h"

#include "Desktop.h"
#include "InstallLayout.h"
#include "PatchEditor.h"
#include "SheetPrint.h"
#include "SheetReader.h"
#include "TextLines.h"
#include "Usr_env.h"

#include <QAbstractTextDocumentLayout>
#include <QCheckBox>
#include <QCoreApplication>
#include <QFile>
#include <QPageLayout>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QTextDocument>
#include <QToolBar>

namespace kestrava {

namespace {

struct Texts {
    Q_DECLARE_TR_FUNCTIONS(PatchSheetFile)
};

} // namespace

void LoadPatchSheetAsked(const TDesktop &desktop, const TPatchModel &patches, TPatchEditor &editor,
                         const QString &title) {
    FileDialogRequest r;
    r.title = title;
    r.filter = Texts::tr("パッチシート (*.csv *.txt)|*.csv;*.txt");
    r.defaultExt = QStringLiteral("csv");
    r.fileName = QStringLiteral("*.csv");
    r.initialDir = FileDialogStartFolder();
    const QString file = desktop.boxes.FileDialog(r);
    if (file.isEmpty() || !patches.HasCurrent())
        return;
    QFile in(file);
    if (!in.open(QIODevice::ReadOnly) || in.size() > MaxTextFileSize) {
        desktop.boxes.Warning(Texts::tr("ファイルを読めません: %1").arg(file));
        return;
    }
    const TSheetReading reading = ReadPatchSheet(QString::fromUtf8(in.readAll()),
                                                 {0, patches.MaxTxChannel, patches.MaxRxChannel});
    if (!reading.Ok()) {
        desktop.boxes.Warning(reading.Message());
        return;
    }
    QList<TSheetValue> values = reading.values;
    if (reading.Patches().size() > 1)
        values.removeIf([&](const TSheetValue &v) { return v.patch != patches.CurPatch; });
    if (values.isEmpty()) {
        desktop.boxes.Warning(Texts::tr("パッチ%1の行がありません").arg(patches.CurPatch + 1));
        return;
    }
    editor.PasteValues(values);
}

QString CurrentPatchSheetHtml(const TPatchModel &patches, const TLoadAttrModel &attrs,
                              const TUnitLink &link, bool patchedOnly) {
    const TPatchSheet sheet = MemoryPatchSheet(patches, attrs, patches.CurPatch + 1);
    TSheetHeading heading;
    heading.source = link.Linked ? QStringLiteral("unit") : QStringLiteral("offline");
    heading.version = FormatProductVersion().section(u'.', 0, 2);
    if (link.Linked)
        heading.firmware = FormatFirmwareVersion(link.FirmwareVersion);
    heading.date = QDate::currentDate();
    return QString::fromUtf8(SheetHtml(sheet, heading, {.patchedOnly = patchedOnly}));
}

int PrintSheetHtml(const QString &html, QPrinter &printer) {
    QTextDocument doc;
    // Laid out at the printer's resolution on its page as it is: the sizes in points are
    // then the printed ones, and each page of the sheet is one printed page.
    doc.documentLayout()->setPaintDevice(&printer);
    doc.setDocumentMargin(0);
    doc.setHtml(html);
    doc.setPageSize(printer.pageLayout().paintRectPixels(printer.resolution()).size());
    doc.print(&printer);
    return doc.pageCount();
}

void PrintPatchSheetAsked(const TDesktop &desktop, const TPatchModel &patches,
                          const TLoadAttrModel &attrs, const TUnitLink &link) {
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                      QMarginsF(10, 10, 10, 10), QPageLayout::Millimeter));
    QPrintPreviewDialog preview(&printer);
    preview.setWindowTitle(Texts::tr("パッチシートを印刷..."));
    auto *patchedOnly = new QCheckBox(Texts::tr("設定済みの出力のみ"), &preview);
    if (auto *bar = preview.findChild<QToolBar *>())
        bar->addWidget(patchedOnly);
    QObject::connect(&preview, &QPrintPreviewDialog::paintRequested, [&](QPrinter *to) {
        PrintSheetHtml(CurrentPatchSheetHtml(patches, attrs, link, patchedOnly->isChecked()), *to);
    });
    QObject::connect(patchedOnly, &QCheckBox::toggled, &preview, [&preview] {
        if (auto *view = preview.findChild<QPrintPreviewWidget *>())
            view->updatePreview();
    });
    desktop.RunModal(preview);
}

} // namespace kestrava
