#include "bridge/ADB.h"
#include "bridge/AdbVersion.h"
#include "bridge/DeviceList.h"
#include "bridge/PairingSupport.h"

QCoro::Task<QList<AndroidDevice>> ADB::listDevices()
{
    const QStringList args{QStringLiteral("devices"), QStringLiteral("-l")};
    const ProcessResult result = co_await run(args);
    co_return parseDeviceList(result.output);
}

QCoro::Task<QString> ADB::connect(QString address)
{
    const QStringList args{QStringLiteral("connect"), address};
    const ProcessResult result = co_await run(args);
    co_return (result.output + result.error).trimmed();
}

QCoro::Task<QString> ADB::pair(QString address, QString code)
{
    const QStringList args{QStringLiteral("pair"), address, code};
    const ProcessResult result = co_await run(args);
    const QString answer = (result.output + result.error).trimmed();
    if (!adbLacksPairing(answer))
        co_return answer;
    const QStringList versionArgs{QStringLiteral("version")};
    const ProcessResult version = co_await run(versionArgs);
    throw ADBError::failed(pairingNeedsNewerAdb(executable().value_or(QStringLiteral("adb")),
                                                adbVersion(version.output)));
}
