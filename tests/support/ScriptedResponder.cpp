#include "ScriptedResponder.h"

namespace kestrava::test {

int ScriptedResponder::respond(MsgKind kind, const QString &text, const QString &caption) {
    boxes_.append({kind, text, caption});
    if (hook_)
        hook_(boxes_.last());
    if (kind != MsgKind::YesNo && kind != MsgKind::YesNoCancel)
        return IDOK;
    if (answers_.isEmpty()) {
        unexpected_ = true;
        return kind == MsgKind::YesNo ? IDNO : IDCANCEL;
    }
    return answers_.takeFirst();
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
    unexpected_ = false;
}

} // namespace kestrava::test
