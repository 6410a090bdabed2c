#pragma once

#include "Usr_misc.h"

#include <QTranslator>
#include <QWidget>

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

// "データファイル (*.dat)|*.DAT" as a Qt name filter ("データファイル (*.dat *.DAT)").
QString QtNameFilter(const QString &filter);

// Installs Qt's own Japanese texts (the standard buttons read はい, いいえ, キャンセル).
// The translator must live as long as the application.
bool InstallQtJapaneseTexts(QTranslator &translator);

// Whether a key (Qt::Key_Shift, Qt::Key_Control, ...) is held down now.
bool IsKeyDown(int key);
// The widget under the mouse pointer, or null.
QWidget *WindowUnderCursor();

} // namespace kestrava
