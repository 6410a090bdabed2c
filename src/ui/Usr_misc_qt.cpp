#include "Usr_misc_qt.h"

#include <QApplication>
#include <QCursor>
#include <QFileDialog>
#include <QInputDialog>
#include <QLibraryInfo>
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

// Windows masks name the extension in one case and match either; the file systems
// here do not, so each pattern is offered in both cases. "*.*" is every file there.
QStringList caseVariants(const QString &mask) {
    QStringList out;
    for (QString pattern : mask.split(u';', Qt::SkipEmptyParts)) {
        pattern = pattern.trimmed();
        if (pattern.isEmpty())
            continue;
        if (pattern == QLatin1String("*.*"))
            pattern = QStringLiteral("*");
        for (const QString &v : {pattern.toLower(), pattern, pattern.toUpper()})
            if (!out.contains(v))
                out.append(v);
    }
    return out;
}

// The patterns written in a description's last parentheses, if any.
QString patternsInDescription(const QString &description) {
    const qsizetype open = description.lastIndexOf(u'(');
    const qsizetype close = description.lastIndexOf(u')');
    if (open < 0 || close < open)
        return {};
    return description.mid(open + 1, close - open - 1).replace(u' ', u';');
}

QString descriptionWithoutPatterns(const QString &description) {
    const QString d = description.trimmed();
    if (d.endsWith(u')')) {
        const qsizetype open = d.lastIndexOf(u'(');
        if (open >= 0)
            return d.left(open).trimmed();
    }
    return d;
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

QString QtNameFilter(const QString &filter) {
    const QStringList parts = filter.split(u'|');
    QStringList filters;
    for (qsizetype i = 0; i < parts.size(); i += 2) {
        const QString description = parts[i];
        if (description.trimmed().isEmpty() && i + 1 >= parts.size())
            continue; // a trailing "|"
        QString mask = i + 1 < parts.size() ? parts[i + 1] : patternsInDescription(description);
        if (mask.trimmed().isEmpty())
            mask = QStringLiteral("*");
        const QStringList patterns = caseVariants(mask);
        const QString name = descriptionWithoutPatterns(description);
        const QString joined = patterns.join(u' ');
        filters.append(name.isEmpty() ? joined : name + QStringLiteral(" (") + joined + u')');
    }
    return filters.join(QStringLiteral(";;"));
}

bool IsKeyDown(int key) {
    const Qt::KeyboardModifiers held = QGuiApplication::queryKeyboardModifiers();
    switch (key) {
    case Qt::Key_Shift:
        return held.testFlag(Qt::ShiftModifier);
    case Qt::Key_Control:
        return held.testFlag(Qt::ControlModifier);
    case Qt::Key_Alt:
        return held.testFlag(Qt::AltModifier);
    case Qt::Key_Meta:
        return held.testFlag(Qt::MetaModifier);
    default:
        return false;
    }
}

QWidget *WindowUnderCursor() {
    return QApplication::widgetAt(QCursor::pos());
}

bool InstallQtJapaneseTexts(QTranslator &translator) {
    if (!translator.load(QLocale(QLocale::Japanese), QStringLiteral("qtbase"), QStringLiteral("_"),
                         QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        return false;
    return QApplication::installTranslator(&translator);
}

} // namespace kestrava
