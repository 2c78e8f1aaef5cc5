#include "bridge/ADB.h"
#include "bridge/InstallOutcome.h"
#include "bridge/PhoneReport.h"

QCoro::Task<PhoneInfo> ADB::phoneInfo(QString serial)
{
    try {
        const ProcessResult result = co_await shell(serial, QStringLiteral(
            "getprop ro.product.manufacturer; getprop ro.product.model; "
            "getprop ro.build.version.release; dumpsys battery"));
        co_return parsePhoneReport(result.output, serial);
    } catch (const std::exception &) {
        PhoneInfo empty;
        empty.serial = serial;
        co_return empty;
    }
}

QCoro::Task<QByteArray> ADB::screenshot(QString serial)
{
    const QStringList args{QStringLiteral("-s"), serial, QStringLiteral("exec-out"), QStringLiteral("screencap"),
                           QStringLiteral("-p")};
    const ProcessResult result = co_await run(args);
    // Anything shorter cannot be an image; a locked phone answers with next to nothing.
    if (result.data.size() < 101)
        throw ADBError::failed(QStringLiteral("Could not capture the screen (is it locked?)."));
    co_return result.data;
}

QCoro::Task<QString> ADB::install(QString serial, QString apkPath, CancelTokenPtr token)
{
    const QStringList args{QStringLiteral("-s"), serial, QStringLiteral("install"), QStringLiteral("-r"), apkPath};
    const ProcessResult result = co_await run(args, token);
    if (token && token->isCancelled())
        throw ADBError::failed(QStringLiteral("Cancelled"));
    const QString text = result.output + result.error;
    if (const std::optional<QString> failure = installFailure(text))
        throw ADBError::failed(*failure);
    co_return text;
}
