#include "RealAdbTest.h"

#include "Await.h"
#include "bridge/ADB.h"

#include <QFileInfo>
#include <QTcpServer>
#include <QTest>

namespace {

// A port nobody listens on, outside the range the adb server scans for emulators.
quint16 freePort()
{
    for (;;) {
        QTcpServer probe;
        if (!probe.listen(QHostAddress::LocalHost, 0))
            return 0;
        const quint16 port = probe.serverPort();
        if (port < 5555 || port > 5585)
            return port;
    }
}

}

void RealAdbTest::initTestCase()
{
    if (!QFileInfo(QStringLiteral("/usr/bin/adb")).isExecutable())
        QSKIP("adb is not installed");
    m_savedPort = qgetenv("ANDROID_ADB_SERVER_PORT");
    qputenv("ANDROID_ADB_SERVER_PORT", QByteArray::number(freePort()));
    ADB::shared().setCandidatesForTesting({QStringLiteral("/usr/bin/adb")});
}

void RealAdbTest::freshServerListsNoDevice()
{
    // The first call starts the private server: its "* daemon" notices must not count.
    const QList<AndroidDevice> devices = await(ADB::shared().listDevices());
    m_started = true;
    QCOMPARE(devices, QList<AndroidDevice>());
}

void RealAdbTest::connectToClosedPortReturnsComplaint()
{
    const QString address = QStringLiteral("127.0.0.1:%1").arg(freePort());
    const QString answer = await(ADB::shared().connect(address));
    QVERIFY2(answer.startsWith(QStringLiteral("failed to connect to")), qPrintable(answer));
    QVERIFY(answer.contains(address));
    QVERIFY(!answer.endsWith(QLatin1Char('\n')));
}

void RealAdbTest::cleanupTestCase()
{
    if (m_started)
        await(ADB::shared().run({QStringLiteral("kill-server")}));
    if (m_savedPort.isNull())
        qunsetenv("ANDROID_ADB_SERVER_PORT");
    else
        qputenv("ANDROID_ADB_SERVER_PORT", m_savedPort);
}
