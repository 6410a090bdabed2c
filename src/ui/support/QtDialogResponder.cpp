#include "QtDialogResponder.h"

#include "NameIconProvider.h"
#include "QtNameFilter.h"

#include <QApplication>
#include <QFileInfo>
#include <QPushButton>

namespace kestrava {

namespace {

struct BoxStyle {
    QMessageBox::Icon icon;
    QMessageBox::StandardButtons buttons;
    QMessageBox::StandardButton escape;
};

BoxStyle styleOf(MsgKind kind) {
    switch (kind) {
    case MsgKind::Error:
        return {QMessageBox::Critical, QMessageBox::Ok, QMessageBox::Ok};
    case MsgKind::Warning:
        return {QMessageBox::Warning, QMessageBox::Ok, QMessageBox::Ok};
    case MsgKind::Info:
        return {QMessageBox::NoIcon, QMessageBox::Ok, QMessageBox::Ok};
    case MsgKind::YesNo:
        return {QMessageBox::Question, QMessageBox::Yes | QMessageBox::No, QMessageBox::No};
    case MsgKind::ErrorYesNo:
        return {QMessageBox::Critical, QMessageBox::Yes | QMessageBox::No, QMessageBox::No};
    case MsgKind::YesNoCancel:
        break;
    }
    return {QMessageBox::Question, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel,
            QMessageBox::Cancel};
}

void labelButton(QMessageBox &box, QMessageBox::StandardButton which, const QString &text) {
    if (QAbstractButton *b = box.button(which))
        b->setText(text);
}

// Shared by every file dialog for the whole run: it holds no state.
TNameIconProvider &nameIcons() {
    static TNameIconProvider provider;
    return provider;
}

bool isNamePattern(const QString &name) {
    return name.contains(u'*') || name.contains(u'?');
}

} // namespace

std::unique_ptr<QMessageBox> BuildMessageBox(MsgKind kind, const QString &text,
                                             const QString &caption) {
    const BoxStyle style = styleOf(kind);
    auto box = std::make_unique<QMessageBox>(style.icon, caption, text, style.buttons,
                                             QApplication::activeWindow());
    box->setTextFormat(Qt::PlainText);
    // The buttons of the system's Japanese message boxes.
    labelButton(*box, QMessageBox::Ok, QCoreApplication::translate("Usr_misc", "OK"));
    labelButton(*box, QMessageBox::Yes, QCoreApplication::translate("Usr_misc", "はい(&Y)"));
    labelButton(*box, QMessageBox::No, QCoreApplication::translate("Usr_misc", "いいえ(&N)"));
    labelButton(*box, QMessageBox::Cancel, QCoreApplication::translate("Usr_misc", "キャンセル"));
    box->setDefaultButton(style.buttons.testFlag(QMessageBox::Yes) ? QMessageBox::Yes
                                                                   : QMessageBox::Ok);
    box->setEscapeButton(style.escape);
    return box;
}

int MessageBoxAnswer(const QMessageBox &box, MsgKind kind) {
    QMessageBox::StandardButton pressed = box.standardButton(box.clickedButton());
    if (pressed == QMessageBox::NoButton)
        pressed = styleOf(kind).escape;
    switch (pressed) {
    case QMessageBox::Yes:
        return IDYES;
    case QMessageBox::No:
        return IDNO;
    case QMessageBox::Ok:
        return IDOK;
    default:
        return IDCANCEL;
    }
}

std::unique_ptr<QFileDialog> BuildFileDialog(const FileDialogRequest &request) {
    auto dialog = std::make_unique<QFileDialog>(QApplication::activeWindow(), request.title,
                                                request.initialDir);
    // Qt's own dialog, so that icons and types come from names and file status only; set
    // before control returns to the event loop, where the folder's listing first arrives.
    dialog->setOption(QFileDialog::DontUseNativeDialog);
    dialog->setIconProvider(&nameIcons());
    dialog->setAcceptMode(request.save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    // Loading reports a missing file itself, so the dialog does not insist on one.
    dialog->setFileMode(QFileDialog::AnyFile);
    const QString filter = QtNameFilter(request.filter);
    if (!filter.isEmpty())
        dialog->setNameFilter(filter);
    dialog->setDefaultSuffix(request.defaultExt);
    // The name box starts with the name asked for, a pattern such as "*.dat" included.
    if (!request.fileName.isEmpty())
        dialog->selectFile(request.fileName);
    return dialog;
}

bool TakeNamePattern(QFileDialog &dialog) {
    const QString name = QFileInfo(ChosenFile(dialog)).fileName();
    if (!isNamePattern(name))
        return false;
    dialog.setNameFilter(name);
    dialog.selectFile(name);
    return true;
}

QString ChosenFile(const QFileDialog &dialog) {
    if (dialog.result() != QDialog::Accepted)
        return {};
    return dialog.selectedFiles().value(0);
}

std::unique_ptr<QInputDialog> BuildInputDialog(const QString &caption, const QString &prompt,
                                               const QString &value) {
    auto dialog = std::make_unique<QInputDialog>(QApplication::activeWindow());
    dialog->setWindowTitle(caption);
    dialog->setLabelText(prompt);
    dialog->setInputMode(QInputDialog::TextInput);
    dialog->setTextEchoMode(QLineEdit::Normal);
    dialog->setTextValue(value);
    return dialog;
}

int QtDialogResponder::respond(MsgKind kind, const QString &text, const QString &caption) {
    const std::unique_ptr<QMessageBox> box = BuildMessageBox(kind, text, caption);
    box->exec();
    return MessageBoxAnswer(*box, kind);
}

QString QtDialogResponder::fileDialog(const FileDialogRequest &request) {
    const std::unique_ptr<QFileDialog> dialog = BuildFileDialog(request);
    do
        dialog->exec();
    while (TakeNamePattern(*dialog));
    return ChosenFile(*dialog);
}

bool QtDialogResponder::inputQuery(const QString &caption, const QString &prompt, QString &value) {
    const std::unique_ptr<QInputDialog> dialog = BuildInputDialog(caption, prompt, value);
    if (dialog->exec() != QDialog::Accepted)
        return false;
    value = dialog->textValue();
    return true;
}

} // namespace kestrava
