#pragma once

#include "Usr_misc.h"

#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>

#include <memory>

namespace kestrava {

// The real dialogs: message boxes with the icons and buttons of each kind (Escape
// and the close button answer Cancel, or No where there is no Cancel), the file
// dialogs and the text-input dialog, over the application's active window.
class QtDialogResponder : public MessageResponder {
public:
    int respond(MsgKind kind, const QString &text, const QString &caption) override;
    QString fileDialog(const FileDialogRequest &request) override;
    bool inputQuery(const QString &caption, const QString &prompt, QString &value) override;
};

// The dialogs exactly as the responder runs them, built over the active window but not
// yet shown. Each carries the caption it is given as its whole window title. The file
// dialog is Qt's own, with icons from names only (TNameIconProvider).
std::unique_ptr<QMessageBox> BuildMessageBox(MsgKind kind, const QString &text,
                                             const QString &caption);
std::unique_ptr<QFileDialog> BuildFileDialog(const FileDialogRequest &request);
std::unique_ptr<QInputDialog> BuildInputDialog(const QString &caption, const QString &prompt,
                                               const QString &value);

// A dialog accepted with a name pattern ("*.dat", "a?.pat") in its name box: the pattern
// becomes its filter, as in the system's own dialogs, and true says that it is to be shown
// again rather than the pattern taken for a file.
bool TakeNamePattern(QFileDialog &dialog);

// What a closed box answers: IDOK, IDYES, IDNO or IDCANCEL.
int MessageBoxAnswer(const QMessageBox &box, MsgKind kind);
// The file chosen in a closed dialog, or "" when it was cancelled.
QString ChosenFile(const QFileDialog &dialog);

} // namespace kestrava
