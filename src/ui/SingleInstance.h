#pragma once

#include <QObject>
#include <QString>

class QLocalServer;

// One running Tessary per user: the first process listens on a local socket; a later one
// hands its start over through that socket and leaves, and the first brings its window back.
class SingleInstance : public QObject
{
    Q_OBJECT

public:
    // The socket name for the user running this process.
    static QString defaultName();

    explicit SingleInstance(QString name, QObject *parent = nullptr);

    // Asks a running instance to show its window. True when one answered.
    bool handOver();
    // Starts listening under the name, replacing whatever holds it: call handOver() first
    // unless this process must be the one that answers (the self-test modes).
    bool listen();

signals:
    // Another start asked for the window.
    void activationRequested();

private:
    QString m_name;
    QLocalServer *m_server = nullptr;
};
