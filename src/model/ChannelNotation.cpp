#include "ChannelNotation.h"

#include "Abort.h"
#include "NumberText.h"
#include "PatchModel.h"

#include <limits>

namespace kestrava {

QString ChannelText(int index, bool ab) {
    if (index < 0)
        return {};
    if (!ab)
        return QString::number(qint64(index) + 1);
    const QChar letter(char16_t(u'A' + index / LineChannelCount));
    return letter + QStringLiteral("%1").arg(index % LineChannelCount + 1, 3, 10, QLatin1Char('0'));
}

int ParseChannel(const QString &text) {
    const QString t = text.toUpper();
    if (t.isEmpty())
        return -1;
    const char16_t first = t.front().unicode();
    if (first >= u'A' && first <= u'H') {
        const auto n = ParseDecimal(QStringView(t).mid(1));
        if (!n || *n < 1 || *n > LineChannelCount)
            return -1;
        return int(first - u'A') * LineChannelCount + int(*n) - 1;
    }
    const auto v = ParseDecimal(t);
    if (!v || *v < 1 || *v > std::numeric_limits<int>::max())
        return -1;
    return int(*v - 1);
}

QList<int> ParseChannelList(const QString &text) {
    QList<int> channels;
    const QStringList items = text.split(QLatin1Char(','), Qt::SkipEmptyParts);
    for (const QString &item : items) {
        const qsizetype dash = item.indexOf(QLatin1Char('-'));
        if (dash < 0) {
            const int c = ParseChannel(item);
            if (c < 0)
                throw EAbort();
            channels.append(c + 1);
            continue;
        }
        const int first = ParseChannel(item.left(dash));
        const int last = ParseChannel(item.mid(dash + 1));
        if (first < 0 || last < 0 || last < first || last >= MaxNotationChannel)
            throw EAbort();
        for (int c = first; c <= last; ++c)
            channels.append(c + 1);
    }
    return channels;
}

} // namespace kestrava
