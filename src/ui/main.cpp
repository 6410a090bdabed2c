#include "AboutBox.h"
#include "AppIdentity.h"
#include "KestravaForm.h"
#include "OptDlg.h"
#include "QtDialogResponder.h"
#include "SettingsPath.h"
#include "SingleInstance.h"
#include "UiTexts.h"

#include <QApplication>

using namespace kestrava;

int main(int argc, char **argv) {
    QApplication app(argc, argv);
    // One Kestrava per user: a second start ends at once, showing nothing.
    const std::unique_ptr<QLockFile> instance = LockSingleInstance();
    if (!instance)
        return -1;

    SetApplicationIdentity();
    // Lets the desktop match the windows to the installed kestrava.desktop and its icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("kestrava"));
    const QString settingsPath = KestravaSettingsPath();
    const TUiTexts texts(settingsPath);

    QtDialogResponder dialogs;
    const TDesktop desktop{.boxes = TBoxes(dialogs), .helpLanguage = texts.HelpLanguage()};

    TKestravaForm form(settingsPath, desktop);
    TOptDlg optDlg(desktop.boxes, &form);
    TAboutBox aboutBox(&form);
    form.SetDialogs(&optDlg, &aboutBox);
    form.show();
    return QApplication::exec();
}
