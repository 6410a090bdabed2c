#include "QtDialogResponder.h"

#include "QtNameFilter.h"

#include <QApplication>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
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

} // namespace

int QtDialogResponder::respond(MsgKind kind, const QString &text, const QString &caption) {
    const BoxStyle style = styleOf(kind);
    QMessageBox box(style.icon, caption, text, style.buttons, QApplication::activeWindow());
    box.setTextFormat(Qt::PlainText);
    // The buttons of the system's Japanese message boxes.
    labelButton(box, QMessageBox::Ok, QCoreApplication::translate("Usr_misc", "OK"));
    labelButton(box, QMessageBox::Yes, QCoreApplication::translate("Usr_misc", "はい(&Y)"));
    labelButton(box, QMessageBox::No, QCoreApplication::translate("Usr_misc", "いいえ(&N)"));
    labelButton(box, QMessageBox::Cancel, QCoreApplication::translate("Usr_misc", "キャンセル"));
    box.setDefaultButton(style.buttons.testFlag(QMessageBox::Yes) ? QMessageBox::Yes
                                                                  : QMessageBox::Ok);
    box.setEscapeButton(style.escape);
    box.exec();
    switch (box.standardButton(box.clickedButton())) {
    case QMessageBox::Yes:
        return IDYES;
    case QMessageBox::No:
        return IDNO;
    case QMessageBox::Cancel:
        return IDCANCEL;
    case QMessageBox::Ok:
        return IDOK;
    default:
        break;
    }
    return style.escape == QMessageBox::Ok   ? IDOK
           : style.escape == QMessageBox::No ? IDNO
                                             : IDCANCEL;
}

QString QtDialogResponder::fileDialog(const FileDialogRequest &request) {
    QFileDialog dialog(QApplication::activeWindow(), request.title, request.initialDir);
    dialog.setAcceptMode(request.save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    // Loading reports a missing file itself, so the dialog does not insist on one.
    dialog.setFileMode(QFileDialog::AnyFile);
    const QString filter = QtNameFilter(request.filter);
    if (!filter.isEmpty())
        dialog.setNameFilter(filter);
    dialog.setDefaultSuffix(request.defaultExt);
    // A wildcard name ("*.dat") only restates the filter; do not put it in the box.
    if (!request.fileName.isEmpty() && !request.fileName.contains(u'*') &&
        !request.fileName.contains(u'?'))
        dialog.selectFile(request.fileName);
    if (dialog.exec() != QDialog::Accepted)
        return {};
    return dialog.selectedFiles().value(0);
}

bool QtDialogResponder::inputQuery(const QString &caption, const QString &prompt, QString &value) {
    bool ok = false;
    const QString text = QInputDialog::getText(QApplication::activeWindow(), caption, prompt,
                                               QLineEdit::Normal, value, &ok);
    if (ok)
        value = text;
    return ok;
}

} // namespace kestrava
