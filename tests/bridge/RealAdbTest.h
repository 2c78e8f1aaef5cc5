#pragma once

#include <QObject>

// The real adb where no phone is needed, on a private server port.
class RealAdbTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void freshServerListsNoDevice();
    void connectToClosedPortReturnsComplaint();
    void cleanupTestCase();

private:
    QByteArray m_savedPort;
    bool m_started = false;
};
