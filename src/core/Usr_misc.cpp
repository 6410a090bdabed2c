#include "Usr_misc.h"

#include <QCoreApplication>

#include <cstdio>

namespace kestrava {

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

int TBoxes::show(MsgKind kind, const QString &text, const QString &caption) const {
    return responder_->respond(kind, text, caption.isEmpty() ? DefaultCaption(kind) : caption);
}

void TBoxes::Error(const QString &text, const QString &caption) const {
    show(MsgKind::Error, text, caption);
}

void TBoxes::Warning(const QString &text, const QString &caption) const {
    show(MsgKind::Warning, text, caption);
}

void TBoxes::Info(const QString &text, const QString &caption) const {
    show(MsgKind::Info, text, caption);
}

bool TBoxes::AskYesNo(const QString &text, const QString &caption) const {
    return show(MsgKind::YesNo, text, caption) == IDYES;
}

int TBoxes::AskYesNoCancel(const QString &text, const QString &caption) const {
    const int r = show(MsgKind::YesNoCancel, text, caption);
    return (r == IDYES || r == IDNO) ? r : IDCANCEL;
}

bool TBoxes::AskErrorYesNo(const QString &text, const QString &caption) const {
    return show(MsgKind::ErrorYesNo, text, caption) == IDYES;
}

QString TBoxes::FileDialog(const FileDialogRequest &request) const {
    return responder_->fileDialog(request);
}

bool TBoxes::InputQuery(const QString &caption, const QString &prompt, QString &value) const {
    return responder_->inputQuery(caption, prompt, value);
}

} // namespace kestrava
