#pragma once

#include "Service.h"

// The file sync service behind push, pull and adb's own listings. Paths are the phone's; the
// files live where PhoneFileSystem puts them. A pushed file that has not received its DONE
// when the stream ends (closed, or the connection lost) is deleted.
class SyncService : public Service {
    Q_OBJECT
public:
    SyncService(Connection *connection, quint32 localId, quint32 remoteId);
    ~SyncService() override;

    void received(QByteArrayView data) override;

protected:
    void readyForMore() override;

private:
    enum class State { Requests, Sending, Discarding, Receiving, Ended };

    void process();
    bool handleRequest(quint32 id, const QByteArray &path);
    void stat(quint32 id, const QString &path);
    void list(bool v2, const QString &path);
    void beginSend(const QString &pathAndMode);
    void sendData(QByteArrayView chunk);
    void endSend(quint32 mtime);
    void failSend(const QByteArray &reason, int error);
    void beginReceive(const QString &path);
    void pumpReceive();
    void abandonSend();
    void dropConnection();

    State m_state = State::Requests;
    QByteArray m_input;
    bool m_processing = false;
    bool m_pumping = false;
    // SEND in progress
    int m_fd = -1;
    QByteArray m_sendPath;
    bool m_sendIsLink = false;
    QByteArray m_linkTarget;
    // RECV in progress
    int m_recvFd = -1;
};
