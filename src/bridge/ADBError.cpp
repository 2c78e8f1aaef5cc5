#include "bridge/ADBError.h"

ADBError::ADBError(QString message, bool notFound)
    : m_message(std::move(message)), m_utf8(m_message.toUtf8()), m_notFound(notFound)
{
}

ADBError ADBError::failed(QString message)
{
    return ADBError(std::move(message), false);
}

ADBError ADBError::notFound()
{
    return ADBError(QStringLiteral("adb was not found."), true);
}
