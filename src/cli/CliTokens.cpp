#include "CliTokens.h"

namespace kestrava::cli {

QString ProgramVersion() {
    return QStringLiteral("%1.%2.%3")
        .arg(unsigned(KESTRAVA_VERSION_MAJOR))
        .arg(unsigned(KESTRAVA_VERSION_MINOR))
        .arg(unsigned(KESTRAVA_VERSION_PATCH));
}

} // namespace kestrava::cli
