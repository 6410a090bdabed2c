#include "Usr_misc.h"

#include <QCoreApplication>

#include <cstdio>

namespace kestrava {

namespace {

MessageResponder *&current() {
    static MessageResponder *responder = nullptr;
    return responder;
}

MessageResponder &responder() {
    static StderrResponder fallback;
    return current() ? *current() : fallback;
}

int show(MsgKind kind, const QString &text, const QString &caption) {
    return responder().respond(kind, text, caption.isEmpty() ? DefaultCaption(kind) : caption);
}

} // namespace

int StderrResponder::respond(MsgKind kind, const QString &text, const QString &caption) {
    QString line = caption + QStringLiteral(": ") + text;
    line.replace(u'\n', u' ');
    std::fprintf(stderr, "%s\n", line.toUtf8().constData());
    std::fflush(stderr);
    switch (kind) {
    case MsgKind::YesNo:
    case MsgKind::ErrorYesNo:
        return IDNO;
    case MsgKind::YesNoCancel:
        return IDCANCEL;
    default:
        return IDOK;
    }
}

MessageResponder *SetMessageResponder(MessageResponder *responder) {
    MessageResponder *previous = current();
    current() = responder;
    return previous;
}

QString DefaultCaption(MsgKind kind) {
    switch (kind) {
    case MsgKind::Error:
    case MsgKind::ErrorYesNo:
        return QCoreApplication::translate("Usr_misc", "エラー");
    case MsgKind::Warning:
        return QCoreApplication::translate("Usr_misc", "警告");
    default:
        return QCoreApplication::translate("Usr_misc", "確認");
    }
}

void ShowErrorBox(const QString &text, const QString &caption) {
    show(MsgKind::Error, text, caption);
}

void ShowWarningBox(const QString &text, const QString &caption) {
    show(MsgKind::Warning, text, caption);
}

void ShowInfoBox(const QString &text, const QString &caption) {
    show(MsgKind::Info, text, caption);
}

bool AskYesNo(const QString &text, const QString &caption) {
    return show(MsgKind::YesNo, text, caption) == IDYES;
}

int AskYesNoCancel(const QString &text, const QString &caption) {
    const int r = show(MsgKind::YesNoCancel, text, caption);
    return (r == IDYES || r == IDNO) ? r : IDCANCEL;
}

bool AskErrorYesNo(const QString &text, const QString &caption) {
    return show(MsgKind::ErrorYesNo, text, caption) == IDYES;
}

QString RunFileDialog(const FileDialogRequest &request) {
    return responder().fileDialog(request);
}

bool InputQuery(const QString &caption, const QString &prompt, QString &value) {
    return responder().inputQuery(caption, prompt, value);
}

} // namespace kestrava
