#include "CliTokens.h"

#include "ChannelNotation.h"

namespace kestrava::cli {

QString InputToken(PatchEntry v, bool ab) {
    if (v == pvFull)
        return QStringLiteral("FULL");
    if (v < 0)
        return QStringLiteral("-");
    return ChannelText(v, ab);
}

QString ProgramVersion() {
    return QStringLiteral("%1.%2.%3")
        .arg(unsigned(KESTRAVA_VERSION_MAJOR))
        .arg(unsigned(KESTRAVA_VERSION_MINOR))
        .arg(unsigned(KESTRAVA_VERSION_PATCH));
}

} // namespace kestrava::cli
