#pragma once

#include "Service.h"
#include "ServiceName.h"

class ChildProcess;

// Runs one shell command (or an interactive shell) in the phone's sandbox under /system/bin/sh.
// With protocol v2 the output travels in packets that keep stdout and stderr apart and end
// with the exit code; otherwise the bytes travel as they are and the stream just closes.
class ShellService : public Service {
    Q_OBJECT
public:
    ShellService(Connection *connection, quint32 localId, quint32 remoteId, ServiceName name);
    ~ShellService() override;

    void start() override;
    void received(QByteArrayView data) override;
    void peerClosed() override;

protected:
    void readyForMore() override;

private:
    void childOutput(int channel, const QByteArray &data);
    void childFinished(int exitCode);
    void inputWritten();

    ServiceName m_name;
    ChildProcess *m_child = nullptr;
    QByteArray m_packets;            // partial v2 packets from the host
    qsizetype m_unacknowledged = 0;  // bytes received and not yet taken by the command
    bool m_outputPaused = false;
};
