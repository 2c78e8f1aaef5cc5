#pragma once

#include <QJsonArray>
#include <QJsonObject>
#include <QList>
#include <QStringList>
#include <QTemporaryDir>

// Points the bridge at the scripted stand-in adb and tells it what to answer.
class StandIn
{
public:
    StandIn();
    ~StandIn();

    // One rule: when `contains` is found in the arguments (empty: always), write
    // `steps` and end with `exit` (or the signal `signal`).
    static QJsonObject rule(const QString &contains, const QJsonArray &steps, int exit = 0, int signal = 0);
    static QJsonObject out(const QString &text) { return QJsonObject{{QStringLiteral("out"), text}}; }
    static QJsonObject err(const QString &text) { return QJsonObject{{QStringLiteral("err"), text}}; }
    static QJsonObject outBytes(const QByteArray &bytes);
    static QJsonObject sleepMs(int ms) { return QJsonObject{{QStringLiteral("sleepMs"), ms}}; }

    void script(const QJsonArray &rules);
    // Shorthand: every call prints `output` on stdout, `error` on stderr and exits `exit`.
    void answer(const QString &output, const QString &error = {}, int exit = 0);

    // The argument vectors of the calls so far, oldest first.
    QList<QStringList> calls() const;
    void clearCalls();

    static QString path();

private:
    QTemporaryDir m_dir;
};
