#pragma once

#include <QByteArray>
#include <QString>

#include <exception>

// The bridge's error. `failed` carries a text shown to the user unchanged;
// `notFound` means no adb executable was found.
class ADBError : public std::exception
{
public:
    static ADBError failed(QString message);
    static ADBError notFound();

    bool isNotFound() const { return m_notFound; }
    QString message() const { return m_message; }
    const char *what() const noexcept override { return m_utf8.constData(); }

private:
    ADBError(QString message, bool notFound);

    QString m_message;
    QByteArray m_utf8;
    bool m_notFound = false;
};
