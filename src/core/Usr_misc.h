#pragma once

#include <QString>

// The message boxes through which the program reports and asks everything. They
// all go through one replaceable responder: real dialogs in the program, a
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

// Installs the responder used from now on (nullptr: the stderr one). The caller
// keeps ownership. Returns the previous one.
MessageResponder *SetMessageResponder(MessageResponder *responder);

QString DefaultCaption(MsgKind kind);

void ShowErrorBox(const QString &text, const QString &caption = QString());
void ShowWarningBox(const QString &text, const QString &caption = QString());
void ShowInfoBox(const QString &text, const QString &caption = QString());
bool AskYesNo(const QString &text, const QString &caption = QString());
int AskYesNoCancel(const QString &text, const QString &caption = QString());
// Yes/No with the error icon; the default caption is "エラー".
bool AskErrorYesNo(const QString &text, const QString &caption = QString());

// The file dialogs and the text-input dialog, through the same responder.
QString RunFileDialog(const FileDialogRequest &request);
bool InputQuery(const QString &caption, const QString &prompt, QString &value);

// Restores the previous responder when it goes out of scope.
class ScopedMessageResponder {
public:
    explicit ScopedMessageResponder(MessageResponder *r) : previous_(SetMessageResponder(r)) {}
    ~ScopedMessageResponder() { SetMessageResponder(previous_); }
    ScopedMessageResponder(const ScopedMessageResponder &) = delete;
    ScopedMessageResponder &operator=(const ScopedMessageResponder &) = delete;

private:
    MessageResponder *previous_;
};

} // namespace kestrava
