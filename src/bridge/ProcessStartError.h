#pragma once

#include <QByteArray>
#include <QString>

#include <exception>

// The operating system's refusal to start a child (not executable, vanished since
// the lookup, ...). It reaches the caller of ADB::run unchanged, not as an ADBError.
class ProcessStartError : public std::exception
{
public:
    explicit ProcessStartError(QString message)
        : m_message(std::move(message)), m_utf8(m_message.toUtf8())
    {
    }

    QString message() const { return m_message; }
    const char *what() const noexcept override { return m_utf8.constData(); }

private:
    QString m_message;
    QByteArray m_utf8;
};
