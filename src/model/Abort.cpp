#include "Abort.h"

#include <QCoreApplication>

namespace kestrava {

EAbort::EAbort() : m_message(defaultMessage()), m_what(m_message.toUtf8()) {}

EAbort::EAbort(const QString &message)
    : m_message(message), m_what(message.toUtf8()), m_ownMessage(true) {}

QString EAbort::defaultMessage() {
    return QCoreApplication::translate("EAbort", "Abort による中断");
}

} // namespace kestrava
