#include "Desktop.h"

#include <QDesktopServices>
#include <QDialog>
#include <QUrl>

namespace kestrava {

int TDesktop::RunModal(QDialog &dialog) const {
    return runModal ? runModal(dialog) : dialog.exec();
}

bool TDesktop::OpenUrl(const QUrl &url) const {
    return openUrl ? openUrl(url) : QDesktopServices::openUrl(url);
}

} // namespace kestrava
