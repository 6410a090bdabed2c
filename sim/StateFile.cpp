#include "StateFile.h"

#include "UnitCore.h"

#include <QFile>
#include <QSaveFile>

#include <algorithm>
#include <span>
#include <vector>

namespace kestrava::sim {

namespace {

struct Entry {
    QByteArray key;
    std::span<int> codes;
};

std::vector<Entry> entries(UnitMemory &m) {
    std::vector<Entry> list;
    for (int p = 0; p < 8; ++p)
        list.push_back({"patch" + QByteArray::number(p + 1), m.patches[p]});
    list.push_back({"attributes", m.attributes});
    for (int c = 0; c < 4; ++c)
        list.push_back({"curve" + QByteArray::number(c + 1), m.curveTables[c]});
    for (int c = 0; c < 4; ++c)
        list.push_back({"points" + QByteArray::number(c + 1), m.pointBlocks[c]});
    return list;
}

bool fail(QString *error, const QString &text) {
    if (error)
        *error = text;
    return false;
}

} // namespace

bool loadStateFile(const QString &path, UnitMemory &memory, QString *error) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return fail(error, QStringLiteral("%1: %2").arg(path, file.errorString()));

    // Parsed into a copy so that a bad line leaves the caller's memory untouched.
    UnitMemory loaded = memory;
    const std::vector<Entry> list = entries(loaded);
    int lineNo = 0;
    while (!file.atEnd()) {
        ++lineNo;
        const QByteArray line = file.readLine().trimmed();
        if (line.isEmpty() || line.startsWith('#'))
            continue;
        const auto bad = [&](const char *why) {
            return fail(
                error,
                QStringLiteral("%1:%2: %3").arg(path).arg(lineNo).arg(QString::fromLatin1(why)));
        };
        const qsizetype eq = line.indexOf('=');
        if (eq < 0)
            return bad("expected key=codes");
        const QByteArray key = line.first(eq).trimmed();
        const QByteArray digits = line.sliced(eq + 1).trimmed().toUpper();
        auto it =
            std::find_if(list.begin(), list.end(), [&](const Entry &e) { return e.key == key; });
        if (it == list.end())
            return bad("unknown key");
        if (digits.size() != qsizetype(3 * it->codes.size()))
            return bad("wrong number of codes");
        for (size_t k = 0; k < it->codes.size(); ++k)
            if (!parseHex(QByteArrayView(digits).sliced(3 * k, 3), it->codes[k]))
                return bad("not hexadecimal");
    }
    memory = loaded;
    return true;
}

bool saveStateFile(const QString &path, const UnitMemory &memory, QString *error) {
    UnitMemory copy = memory;
    QByteArray text = "# kestrava-unitsim stored memory\n";
    for (const Entry &e : entries(copy))
        text += e.key + '=' + formatCodes(e.codes.data(), int(e.codes.size())) + '\n';
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size() || !file.commit())
        return fail(error, QStringLiteral("%1: %2").arg(path, file.errorString()));
    return true;
}

} // namespace kestrava::sim
