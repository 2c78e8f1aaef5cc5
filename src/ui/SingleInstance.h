#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

class QLocalServer;
class QLocalSocket;

// One running Tessary per user: the first process listens on a local socket in the user's
// private runtime folder; a later start hands its request (show the window, install these
// APKs) over through that socket and leaves. Requests are taken only from processes of the
// same user.
class SingleInstance : public QObject
{
    Q_OBJECT

public:
    // The socket of the user running this process; empty when no private folder can be had.
    static QString defaultPath();

    explicit SingleInstance(QString path, QObject *parent = nullptr);

    // Asks a running instance to show its window and install `apks` (absolute paths). True
    // when one took the request.
    bool handOver(const QStringList &apks = {});
    // Starts answering at the path. A socket left by an instance that has ended is replaced;
    // a live instance's socket never is: false then, and this process does not answer.
    bool listen();

signals:
    // Another start asked for the window.
    void activationRequested();
    // Another start was given APKs to install.
    void installRequested(const QStringList &apks);

private:
    void serve(QLocalSocket *socket);

    QString m_path;
    QLocalServer *m_server = nullptr;
};
