#pragma once

#include <QString>

// The message boxes through which the program reports and asks everything. They
// all go through the responder a program hands down: real dialogs in the program, a
// scripted recorder in tests, plain text on stderr in the command-line tool.

namespace kestrava {

constexpr int IDOK = 1;
constexpr int IDCANCEL = 2;
constexpr int IDYES = 6;
constexpr int IDNO = 7;

// ErrorYesNo: a yes/no question about a failure, shown with the error icon.
enum class MsgKind { Error, Warning, Info, YesNo, YesNoCancel, ErrorYesNo };

// A file dialog: filter as "データファイル (*.dat)|*.DAT", default extension without the dot.
struct FileDialogRequest {
    bool save = false;
    QString title;
    QString filter;
    QString defaultExt;
    QString initialDir;
    QString fileName;
};

class MessageResponder {
public:
    virtual ~MessageResponder() = default;
    // Shows one box; returns IDOK, IDYES, IDNO or IDCANCEL. The caption is never empty.
    virtual int respond(MsgKind kind, const QString &text, const QString &caption) = 0;
    // The chosen file, or "" when the dialog was cancelled.
    virtual QString fileDialog(const FileDialogRequest &) { return {}; }
    // The modal text-input dialog: false when cancelled, else value holds the text.
    virtual bool inputQuery(const QString & /*caption*/, const QString & /*prompt*/,
                            QString & /*value*/) {
        return false;
    }
};

// Writes every box to stderr; questions are answered No (Cancel with three buttons),
// since nobody is there to answer.
class StderrResponder : public MessageResponder {
public:
    int respond(MsgKind kind, const QString &text, const QString &caption) override;
};

QString DefaultCaption(MsgKind kind);

// The boxes of one program (or one test): a handle on its responder, handed down to
// whatever reports or asks. An empty caption is the kind's default one.
class TBoxes {
public:
    explicit TBoxes(MessageResponder &responder) : responder_(&responder) {}

    void Error(const QString &text, const QString &caption = QString()) const;
    void Warning(const QString &text, const QString &caption = QString()) const;
    void Info(const QString &text, const QString &caption = QString()) const;
    bool AskYesNo(const QString &text, const QString &caption = QString()) const;
    // IDYES, IDNO or IDCANCEL (whatever else the responder says counts as Cancel).
    int AskYesNoCancel(const QString &text, const QString &caption = QString()) const;
    // Yes/No with the error icon; the default caption is "エラー".
    bool AskErrorYesNo(const QString &text, const QString &caption = QString()) const;
    // The file dialogs and the text-input dialog, through the same responder.
    QString FileDialog(const FileDialogRequest &request) const;
    bool InputQuery(const QString &caption, const QString &prompt, QString &value) const;

private:
    int show(MsgKind kind, const QString &text, const QString &caption) const;

    MessageResponder *responder_;
};

} // namespace kestrava
