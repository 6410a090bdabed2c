#include "AppIdentity.h"

#include "AboutBox.h"
#include "AppIcon.h"

#include <QGuiApplication>

namespace kestrava {

void SetApplicationIdentity() {
    QCoreApplication::setApplicationName(QString::fromLatin1(kApplicationTitle));
    QGuiApplication::setWindowIcon(KestravaAppIcon());
}

} // namespace kestrava
