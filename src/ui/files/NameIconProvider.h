#pragma once

#include <QAbstractFileIconProvider>

namespace kestrava {

// Icons and type names for the file dialogs from a file's name and status alone. The
// standard provider reads the start of a file to tell its type, which can block the dialog
// on a file that never delivers data (a pipe, a kernel file) and reads every file of a
// folder only to list it.
class TNameIconProvider : public QAbstractFileIconProvider {
public:
    QIcon icon(IconType type) const override;
    QIcon icon(const QFileInfo &info) const override;
    QString type(const QFileInfo &info) const override;
};

} // namespace kestrava
