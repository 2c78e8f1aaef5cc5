#include "model/AppModel.h"

#include "bridge/ADB.h"
#include "model/PhonePaths.h"
#include "model/TypedName.h"
#include "model/transfer/Naming.h"

#include <QPointer>

QCoro::Task<> AppModel::reloadAndroid(bool refreshStorage)
{
    QPointer<AppModel> self(this);
    // Reloads may overlap (navigation, the poll, the observers); only the latest request
    // writes its result, so the pane always ends in the state of the last one asked for.
    const quint64 request = ++m_androidReloadCount;
    const auto superseded = [&] { return !self || request != m_androidReloadCount; };

    setAndroidSelection({});
    const std::optional<AndroidDevice> device = readyDevice();
    if (!device) {
        setAndroidItems({});
        setAndroidError(std::nullopt);
        setStorages({});
        // An earlier listing still in flight no longer writes, so it cannot end the loading.
        setAndroidLoading(false);
        co_return;
    }
    setAndroidLoading(true);

    if (refreshStorage || m_storages.isEmpty()) {
        QList<StorageVolume> volumes = co_await ADB::shared().storageVolumes(device->serial);
        if (superseded())
            co_return;
        setStorages(volumes);
    }

    QList<FileEntry> rows;
    std::optional<QString> failure;
    try {
        rows = co_await ADB::shared().list(device->serial, m_androidPath, m_showHidden);
    } catch (const std::exception &error) {
        failure = QString::fromUtf8(error.what());
    }
    if (superseded())
        co_return;
    setAndroidItems(failure ? QList<FileEntry>() : rows);
    setAndroidError(failure);
    setAndroidLoading(false);
}

void AppModel::goAndroid(const QString &path)
{
    setAndroidPath(normalizedAndroid(path));
    launch(reloadAndroid(false));
}

void AppModel::openAndroid(const QString &path)
{
    const auto row = std::find_if(m_androidItems.cbegin(), m_androidItems.cend(),
                                  [&](const FileEntry &entry) { return entry.path == path; });
    if (row == m_androidItems.cend())
        return;
    if (row->isDirectory)
        goAndroid(path);
    else
        enqueue({path}, TransferJob::Kind::toMac, m_macPath, false);
}

void AppModel::androidUp()
{
    if (m_androidPath == QLatin1String("/") || isAtStorageRoot())
        return;
    setAndroidPath(normalizedAndroid(phoneParentPath(m_androidPath)));
    launch(reloadAndroid(false));
}

void AppModel::newAndroidFolder(const QString &name)
{
    const std::optional<AndroidDevice> device = readyDevice();
    if (!device)
        return;
    if (const std::optional<QString> refusal = typedNameRefusal(name)) {
        setMessage(refusal);
        return;
    }
    launch(finishPhoneCommand(
        ADB::shared().createFolder(device->serial, phoneChildPath(m_androidPath, name))));
}

void AppModel::deleteAndroid(const QStringList &paths)
{
    const std::optional<AndroidDevice> device = readyDevice();
    if (!device || paths.isEmpty())
        return;
    launch(finishPhoneCommand(ADB::shared().deletePaths(device->serial, paths)));
}

void AppModel::renameAndroid(const QString &path, const QString &newName)
{
    const std::optional<AndroidDevice> device = readyDevice();
    if (!device)
        return;
    if (const std::optional<QString> refusal = typedNameRefusal(newName)) {
        setMessage(refusal);
        return;
    }
    const QString target = phoneChildPath(phoneParentPath(path), newName);
    launch(finishPhoneCommand(ADB::shared().rename(device->serial, path, target)));
}

QCoro::Task<> AppModel::finishPhoneCommand(QCoro::Task<> command)
{
    QPointer<AppModel> self(this);
    std::optional<QString> failure;
    try {
        co_await command;
    } catch (const std::exception &error) {
        failure = QString::fromUtf8(error.what());
    }
    if (!self)
        co_return;
    if (failure)
        setMessage(failure);
    co_await reloadAndroid(false);
}
