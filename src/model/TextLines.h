#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace kestrava {

// Data files are a few tens of kilobytes; anything this large is not one of them.
inline constexpr qint64 MaxTextFileSize = 16 * 1024 * 1024;

// Bytes to lines: CR LF, LF and a lone CR all end a line, and a line end after the last line
// adds no empty line. A byte-order mark selects its encoding and is dropped; text without
// one is taken in the local 8-bit encoding.
QStringList SplitTextLines(const QByteArray &data);
// Lines to bytes: every line, the last one included, followed by CR LF; no byte-order mark.
QByteArray JoinTextLines(const QStringList &lines);

// Replaces lines with the lines of the file; false (lines untouched) on any failure.
bool LoadTextLines(const QString &fileName, QStringList &lines);
// Writes the whole file in one step: on failure an existing file keeps its old contents.
bool SaveTextLines(const QString &fileName, const QStringList &lines);

} // namespace kestrava
