#pragma once

#include "Usr_misc.h"

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

} // namespace kestrava
