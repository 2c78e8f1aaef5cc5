// The phone tools of the toolbar: screenshot, phone information, Wi-Fi pairing and connection.
#include "model/AppModel.h"

#include "bridge/ADB.h"
#include "bridge/ADBError.h"
#include "model/ScreenshotName.h"
#include "model/WirelessOutcome.h"

#include <QDateTime>
#include <QDir>
#include <QSaveFile>

void AppModel::takeScreenshot()
{
    const std::optional<AndroidDevice> device = readyDevice();
    if (!device) {
        setMessage(QStringLiteral("Connect and authorize an Android device first."));
        return;
    }
    launch(saveScreenshot(device->serial, macPath()));
}

QCoro::Task<> AppModel::saveScreenshot(QString serial, QString folder)
{
    QPointer<AppModel> self(this);
    QByteArray image;
    try {
        image = co_await ADB::shared().screenshot(serial);
    } catch (const ADBError &error) {
        if (self)
            setMessage(error.message());
        co_return;
    }
    if (!self)
        co_return;
    const QString path = QDir(folder).filePath(screenshotFileName(QDateTime::currentDateTime()));
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(image) != image.size() || !file.commit()) {
        setMessage(QStringLiteral("The screenshot could not be saved to “%1”: %2")
                       .arg(path, file.errorString()));
        co_return;
    }
    reloadMac();
    setMacSelection({path});
}

QCoro::Task<> AppModel::loadPhoneInfo()
{
    const std::optional<AndroidDevice> device = readyDevice();
    if (!device)
        co_return;
    QPointer<AppModel> self(this);
    const PhoneInfo info = co_await ADB::shared().phoneInfo(device->serial);
    if (!self)
        co_return;
    setPhoneInfo(info);
    const QList<StorageVolume> volumes = co_await ADB::shared().storageVolumes(device->serial);
    if (!self)
        co_return;
    setStorages(volumes);
}

QCoro::Task<> AppModel::connectWireless(QString address)
{
    QPointer<AppModel> self(this);
    try {
        const QString said = co_await ADB::shared().connect(address);
        if (!self)
            co_return;
        setMessage(said, wirelessSucceeded(said) ? MessageKind::information : MessageKind::warning);
    } catch (const ADBError &error) {
        if (self)
            setMessage(error.message());
        co_return;
    }
    co_await refreshDevices();
}

QCoro::Task<> AppModel::pairWireless(QString address, QString code)
{
    QPointer<AppModel> self(this);
    try {
        const QString said = co_await ADB::shared().pair(address, code);
        if (self)
            setMessage(said, wirelessSucceeded(said) ? MessageKind::information : MessageKind::warning);
    } catch (const ADBError &error) {
        if (self)
            setMessage(error.message());
    }
}
