#include "PlatformTests.h"

#include "platform/linux/LinuxEjector.h"

#include <QCoro/QCoroTask>
#include <QFile>
#include <QStorageInfo>
#include <QTemporaryDir>
#include <QtTest>

namespace {

// A stand-in udisksctl: logs its arguments, then answers each command as the test says.
QString writeStandIn(const QString &folder, int unmountStatus, int powerOffStatus)
{
    const QString path = folder + QStringLiteral("/udisksctl");
    QFile script(path);
    if (!script.open(QIODevice::WriteOnly))
        return {};
    script.write(QStringLiteral(
        "#!/bin/sh\n"
        "echo \"$*\" >> '%1/calls'\n"
        "case \"$1\" in\n"
        "unmount) [ %2 -eq 0 ] && echo \"Unmounted $3.\" || echo \"Error unmounting $3: target is busy\" >&2; exit %2 ;;\n"
        "*) echo \"Error powering off drive: Not authorized to perform operation\" >&2; exit %3 ;;\n"
        "esac\n").arg(folder).arg(unmountStatus).arg(powerOffStatus).toUtf8());
    script.close();
    script.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    return path;
}

QStringList callsIn(const QString &folder)
{
    QFile log(folder + QStringLiteral("/calls"));
    if (!log.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(log.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

} // namespace

// Ejecting through udisks: the unmount decides whether the drive was ejected.
class EjectorTest : public QObject
{
    Q_OBJECT
private slots:
    void unmountDecides_data();
    void unmountDecides();
};

void EjectorTest::unmountDecides_data()
{
    QTest::addColumn<int>("unmountStatus");
    QTest::addColumn<int>("powerOffStatus");
    QTest::addColumn<QString>("failure"); // "%1" stands for the device
    QTest::addColumn<int>("steps");
    QTest::newRow("both succeed") << 0 << 0 << QString() << 2;
    // A drive on a bus that cannot be powered off, or no permission to: it is unmounted,
    // so it is safe to pull.
    QTest::newRow("power-off refused") << 0 << 1 << QString() << 2;
    QTest::newRow("unmount refused") << 1 << 0 << "Error unmounting %1: target is busy" << 1;
}

void EjectorTest::unmountDecides()
{
    QFETCH(int, unmountStatus);
    QFETCH(int, powerOffStatus);
    QFETCH(QString, failure);
    QFETCH(int, steps);
    QTemporaryDir tools;
    QVERIFY(tools.isValid());
    const QString udisksctl = writeStandIn(tools.path(), unmountStatus, powerOffStatus);
    QVERIFY(!udisksctl.isEmpty());
    // Any mount backed by a disk (not a disk image) takes the unmount and power-off path;
    // the stand-in touches nothing.
    QTemporaryDir mounted;
    QVERIFY(mounted.isValid());
    const QString device = QString::fromLocal8Bit(QStorageInfo(mounted.path()).device());
    if (!device.startsWith(QLatin1String("/dev/")) || device.startsWith(QLatin1String("/dev/loop")))
        QSKIP("the temporary folder is not on a disk");

    LinuxEjector ejector(LinuxEjector::Tools{udisksctl});
    const std::optional<QString> result = QCoro::waitFor(ejector.eject(mounted.path()));
    if (failure.isEmpty())
        QCOMPARE(result, std::nullopt);
    else
        QCOMPARE(result, failure.arg(device));
    const QStringList expected{QStringLiteral("unmount -b ") + device, QStringLiteral("power-off -b ") + device};
    QCOMPARE(callsIn(tools.path()), expected.mid(0, steps));
}

int runEjectorTests(int argc, char **argv)
{
    EjectorTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "EjectorTest.moc"
