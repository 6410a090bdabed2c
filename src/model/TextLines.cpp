#include "TextLines.h"

#include <QFile>
#include <QSaveFile>
#include <QStringDecoder>

namespace kestrava {

QStringList SplitTextLines(const QByteArray &data) {
    QString text;
    if (const auto encoding = QStringConverter::encodingForData(data)) {
        QStringDecoder decoder(*encoding); // drops the mark itself
        text = decoder.decode(data);
    } else {
        text = QString::fromLocal8Bit(data);
    }

    QStringList lines;
    qsizetype start = 0;
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text.at(i);
        if (c != u'\r' && c != u'\n')
            continue;
        lines.append(text.mid(start, i - start));
        if (c == u'\r' && i + 1 < n && text.at(i + 1) == u'\n')
            ++i;
        start = i + 1;
    }
    if (start < n)
        lines.append(text.mid(start));
    return lines;
}

QByteArray JoinTextLines(const QStringList &lines) {
    QByteArray data;
    for (const QString &line : lines) {
        data += line.toLocal8Bit();
        data += "\r\n";
    }
    return data;
}

bool LoadTextLines(const QString &fileName, QStringList &lines) {
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    if (file.size() > MaxTextFileSize)
        return false;
    const QByteArray data = file.read(MaxTextFileSize + 1);
    if (file.error() != QFileDevice::NoError || data.size() > MaxTextFileSize)
        return false;
    lines = SplitTextLines(data);
    return true;
}

bool SaveTextLines(const QString &fileName, const QStringList &lines) {
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    const QByteArray data = JoinTextLines(lines);
    if (file.write(data) != data.size()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

} // namespace kestrava
