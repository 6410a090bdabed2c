#pragma once

#include <QByteArray>
#include <QString>

#include <exception>

namespace kestrava {

// The silent abort: a failed step of a command throws it and the command itself catches it
// and shows its own failure text. Without a message of its own it carries the standard one.
class EAbort : public std::exception {
public:
    EAbort();
    explicit EAbort(const QString &message);

    static QString defaultMessage();

    QString message() const { return m_message; }
    bool hasOwnMessage() const { return m_ownMessage; }
    const char *what() const noexcept override { return m_what.constData(); }

private:
    QString m_message;
    QByteArray m_what;
    bool m_ownMessage = false;
};

} // namespace kestrava
