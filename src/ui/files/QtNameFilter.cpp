#include "QtNameFilter.h"

#include <QStringList>

namespace kestrava {

namespace {

// Windows masks name the extension in one case and match either; the file systems
// here do not, so each pattern is offered in both cases. "*.*" is every file there.
QStringList caseVariants(const QString &mask) {
    QStringList out;
    for (QString pattern : mask.split(u';', Qt::SkipEmptyParts)) {
        pattern = pattern.trimmed();
        if (pattern.isEmpty())
            continue;
        if (pattern == QLatin1String("*.*"))
            pattern = QStringLiteral("*");
        for (const QString &v : {pattern.toLower(), pattern, pattern.toUpper()})
            if (!out.contains(v))
                out.append(v);
    }
    return out;
}

// The patterns written in a description's last parentheses, if any.
QString patternsInDescription(const QString &description) {
    const qsizetype open = description.lastIndexOf(u'(');
    const qsizetype close = description.lastIndexOf(u')');
    if (open < 0 || close < open)
        return {};
    return description.mid(open + 1, close - open - 1).replace(u' ', u';');
}

QString descriptionWithoutPatterns(const QString &description) {
    const QString d = description.trimmed();
    if (d.endsWith(u')')) {
        const qsizetype open = d.lastIndexOf(u'(');
        if (open >= 0)
            return d.left(open).trimmed();
    }
    return d;
}

} // namespace

QString QtNameFilter(const QString &filter) {
    const QStringList parts = filter.split(u'|');
    QStringList filters;
    for (qsizetype i = 0; i < parts.size(); i += 2) {
        const QString description = parts[i];
        if (description.trimmed().isEmpty() && i + 1 >= parts.size())
            continue; // a trailing "|"
        QString mask = i + 1 < parts.size() ? parts[i + 1] : patternsInDescription(description);
        if (mask.trimmed().isEmpty())
            mask = QStringLiteral("*");
        const QStringList patterns = caseVariants(mask);
        const QString name = descriptionWithoutPatterns(description);
        const QString joined = patterns.join(u' ');
        filters.append(name.isEmpty() ? joined : name + QStringLiteral(" (") + joined + u')');
    }
    return filters.join(QStringLiteral(";;"));
}

} // namespace kestrava
