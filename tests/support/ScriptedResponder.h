#pragma once

#include "Usr_misc.h"

#include <QList>
#include <QString>

#include <functional>

namespace kestrava::test {

// Records every message box and answers questions from a queue. A question with
// no answer queued is unexpected: it is answered Cancel/No and flagged.
class ScriptedResponder : public MessageResponder {
public:
    struct Box {
        MsgKind kind;
        QString text;
        QString caption;
    };

    int respond(MsgKind kind, const QString &text, const QString &caption) override;

    void queueAnswer(int answer) { answers_.append(answer); }
    // Runs inside each box, while it is "open" (to look at state during a box).
    void onBox(std::function<void(const Box &)> hook) { hook_ = std::move(hook); }

    const QList<Box> &boxes() const { return boxes_; }
    QStringList texts() const;
    bool unexpected() const { return unexpected_; }
    int pendingAnswers() const { return int(answers_.size()); }
    void clear();

private:
    QList<Box> boxes_;
    QList<int> answers_;
    std::function<void(const Box &)> hook_;
    bool unexpected_ = false;
};

} // namespace kestrava::test
