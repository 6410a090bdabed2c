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
    // File dialogs answer from their own queue ("" cancels); an empty queue cancels and is
    // flagged. Text-input dialogs likewise (a null QString cancels).
    QString fileDialog(const FileDialogRequest &request) override;
    bool inputQuery(const QString &caption, const QString &prompt, QString &value) override;
    void queueFile(const QString &name) { files_.append(name); }
    void queueInput(const QString &text) { inputs_.append(text); }
    const QList<FileDialogRequest> &fileDialogs() const { return fileRequests_; }
    const QStringList &inputPrompts() const { return inputPrompts_; } // "caption|prompt"

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
    QStringList files_;
    QStringList inputs_;
    QList<FileDialogRequest> fileRequests_;
    QStringList inputPrompts_;
    std::function<void(const Box &)> hook_;
    bool unexpected_ = false;
};

} // namespace kestrava::test
