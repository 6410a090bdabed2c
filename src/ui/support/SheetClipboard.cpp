#include "SheetClipboard.h"

#include "SheetReader.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

namespace kestrava {

void PutSheetOnClipboard(const QList<QStringList> &rows) {
    auto *data = new QMimeData;
    data->setText(SheetClipText(rows));
    data->setHtml(SheetClipHtml(rows));
    QGuiApplication::clipboard()->setMimeData(data); // the clipboard owns it
}

QString ClipboardSheetText() {
    return QGuiApplication::clipboard()->text();
}

} // namespace kestrava
