#include "ScriptedResponder.h"

namespace kestrava::test {

int ScriptedResponder::respond(MsgKind kind, const QString &text, const QString &caption) {
    boxes_.append({kind, text, caption});
    if (hook_)
        hook_(boxes_.last());
    if (kind != MsgKind::YesNo && kind != MsgKind::YesNoCancel && kind != MsgKind::ErrorYesNo)
        return IDOK;
    if (answers_.isEmpty()) {
        unexpected_ = true;
        return kind == MsgKind::YesNoCancel ? IDCANCEL : IDNO;
    }
    return answers_.takeFirst();
}

QString ScriptedResponder::fileDialog(const FileDialogRequest &request) {
    fileRequests_.append(request);
    if (files_.isEmpty()) {
        unexpected_ = true;
        return {};
    }
    return files_.takeFirst();
}

bool ScriptedResponder::inputQuery(const QString &caption, const QString &prompt, QString &value) {
    inputPrompts_.append(caption + u'|' + prompt);
    if (inputs_.isEmpty()) {
        unexpected_ = true;
        return false;
    }
    const QString answer = inputs_.takeFirst();
    if (answer.isNull())
        return false;
    value = answer;
    return true;
}

QStringList ScriptedResponder::texts() const {
    QStringList t;
    for (const Box &b : boxes_)
        t.append(b.text);
    return t;
}

void ScriptedResponder::clear() {
    boxes_.clear();
    answers_.clear();
    files_.clear();
    inputs_.clear();
    fileRequests_.clear();
    inputPrompts_.clear();
    unexpected_ = false;
}

} // namespace kestrava::test
