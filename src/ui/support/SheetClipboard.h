#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace kestrava {

// Rows of cells onto the clipboard as tab-separated text and as an HTML table.
void PutSheetOnClipboard(const QList<QStringList> &rows);
// The clipboard's text, "" when it holds none.
QString ClipboardSheetText();

} // namespace kestrava
