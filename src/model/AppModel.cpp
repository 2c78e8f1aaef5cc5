#include "model/AppModel.h"

#include "bridge/ADB.h"
#include "model/DragFolder.h"
#include "model/StartFolder.h"
#include "model/StopHandle.h"

#include <QPointer>

#include <chrono>

namespace {

constexpr std::chrono::milliseconds pollInterval{2500};

// Runs refreshDevices, then sleeps, until stopped. The model is held weakly: the loop
// never keeps it alive and ends once it is gone.
QCoro::Task<> pollLoop(QPointer<AppModel> model, std::shared_ptr<StopHandle> stop)
{
    while (!stop->isStopped() && model) {
        co_await model->refreshDevices();
        co_await stop->sleep(pollInterval);
    }
}

// Runs a detached task to its end; whatever it throws is shown as the model's message.
QCoro::Task<> guarded(QPointer<AppModel> model, QCoro::Task<> task)
{
    std::optional<QString> failure;
    try {
        co_await task;
    } catch (const std::exception &error) {
        failure = QString::fromUtf8(error.what());
    } catch (...) {
        failure = QStringLiteral("An unexpected error occurred.");
    }
    if (failure && model)
        model->setMessage(failure);
}

} // namespace

AppModel::AppModel(QObject *parent)
    : QObject(parent)
    , m_macPath(computerStartFolder())
{
    m_adbMissing = !ADB::shared().executable().has_value();
    DragFolder::clear();
    reloadMac();
    launch(refreshDrives());
    watchVolumes();
    startPolling();
    // Desktop notifications need no permission on this platform.
}

AppModel::~AppModel()
{
    if (m_pollTask)
        m_pollTask->stop();
    settleWithoutRows();
}

void AppModel::startPolling()
{
    if (m_pollTask)
        m_pollTask->stop();
    m_pollTask = std::make_shared<StopHandle>();
    pollLoop(QPointer<AppModel>(this), m_pollTask);
}

void AppModel::launch(QCoro::Task<> task)
{
    guarded(QPointer<AppModel>(this), std::move(task));
}

QCoro::Task<> AppModel::refreshDevices()
{
    QPointer<AppModel> self(this);
    if (!ADB::shared().executable()) {
        setAdbMissing(true);
        co_return;
    }
    setAdbMissing(false);

    QList<AndroidDevice> listed;
    try {
        listed = co_await ADB::shared().listDevices();
    } catch (...) {
        // A failed listing changes nothing; the next step tries again.
        co_return;
    }
    if (!self)
        co_return;

    if (listed != m_devices)
        setDevices(listed);

    if (m_selectedSerial) {
        const bool stillListed = std::any_of(listed.cbegin(), listed.cend(),
            [&](const AndroidDevice &d) { return d.serial == *m_selectedSerial; });
        if (stillListed) {
            const bool ready = readyDevice().has_value();
            // A phone that was unauthorized or offline keeps its serial when it turns ready:
            // its pane is reloaded once.
            const bool cameBack = ready && !m_selectedWasReady;
            m_selectedWasReady = ready;
            // A listing that failed while the phone dropped off for a moment (too briefly for
            // a poll to see it offline) says "error: device offline": each error the pane
            // shows is tried once more with the phone ready. A folder that is truly
            // unreadable fails the same way again and is not listed on every poll.
            if (!m_androidError)
                m_retriedAndroidError.reset();
            const bool untriedError = ready && m_androidError && m_androidError != m_retriedAndroidError;
            if (untriedError)
                m_retriedAndroidError = m_androidError;
            if (cameBack || untriedError
                || (m_androidItems.isEmpty() && !m_androidError && !m_androidLoading && ready))
                co_await reloadAndroid(false);
            co_return;
        }
    }

    std::optional<QString> choice;
    for (const AndroidDevice &device : listed) {
        if (device.state == QLatin1String("device")) {
            choice = device.serial;
            break;
        }
    }
    if (!choice && !listed.isEmpty())
        choice = listed.first().serial;
    setSelectedSerial(choice);
}

std::optional<AndroidDevice> AppModel::selectedDevice() const
{
    if (!m_selectedSerial)
        return std::nullopt;
    for (const AndroidDevice &device : m_devices) {
        if (device.serial == *m_selectedSerial)
            return device;
    }
    return std::nullopt;
}

std::optional<AndroidDevice> AppModel::readyDevice() const
{
    std::optional<AndroidDevice> device = selectedDevice();
    if (device && device->state == QLatin1String("device"))
        return device;
    return std::nullopt;
}

std::optional<StorageVolume> AppModel::activeStorage() const
{
    for (const StorageVolume &volume : m_storages) {
        if (m_androidPath == volume.path || m_androidPath.startsWith(volume.path + QLatin1Char('/')))
            return volume;
    }
    return std::nullopt;
}

bool AppModel::isAtStorageRoot() const
{
    if (m_androidPath == internalStorage)
        return true;
    return std::any_of(m_storages.cbegin(), m_storages.cend(),
                       [&](const StorageVolume &volume) { return volume.path == m_androidPath; });
}

// Setters: a property that does not change emits nothing.

void AppModel::setAdbMissing(bool value)
{
    if (m_adbMissing == value)
        return;
    m_adbMissing = value;
    emit adbMissingChanged();
}

void AppModel::setDevices(const QList<AndroidDevice> &value)
{
    if (m_devices == value)
        return;
    m_devices = value;
    emit devicesChanged();
}

void AppModel::setSelectedSerial(const std::optional<QString> &value)
{
    if (m_selectedSerial == value)
        return;
    m_selectedSerial = value;
    m_selectedWasReady = readyDevice().has_value();
    emit selectedSerialChanged();
    setAndroidPath(internalStorage);
    setStorages({});
    setPhoneInfo(std::nullopt);
    launch(reloadAndroid(true));
}

void AppModel::setMacPath(const QString &value)
{
    if (m_macPath == value)
        return;
    m_macPath = value;
    emit macPathChanged();
}

void AppModel::setMacItems(const QList<FileEntry> &value)
{
    if (m_macItems == value)
        return;
    m_macItems = value;
    emit macItemsChanged();
}

void AppModel::setMacSelection(const QSet<QString> &value)
{
    if (m_macSelection == value)
        return;
    m_macSelection = value;
    emit macSelectionChanged();
}

void AppModel::setMacError(const std::optional<QString> &value)
{
    if (m_macError == value)
        return;
    m_macError = value;
    emit macErrorChanged();
}

void AppModel::setAndroidPath(const QString &value)
{
    if (m_androidPath == value)
        return;
    m_androidPath = value;
    emit androidPathChanged();
}

void AppModel::setStorages(const QList<StorageVolume> &value)
{
    if (m_storages == value)
        return;
    m_storages = value;
    emit storagesChanged();
}

void AppModel::setAndroidItems(const QList<FileEntry> &value)
{
    if (m_androidItems == value)
        return;
    m_androidItems = value;
    emit androidItemsChanged();
}

void AppModel::setAndroidSelection(const QSet<QString> &value)
{
    if (m_androidSelection == value)
        return;
    m_androidSelection = value;
    emit androidSelectionChanged();
}

void AppModel::setAndroidError(const std::optional<QString> &value)
{
    if (m_androidError == value)
        return;
    m_androidError = value;
    emit androidErrorChanged();
}

void AppModel::setAndroidLoading(bool value)
{
    if (m_androidLoading == value)
        return;
    m_androidLoading = value;
    emit androidLoadingChanged();
}

void AppModel::setShowHidden(bool value)
{
    if (m_showHidden != value) {
        m_showHidden = value;
        emit showHiddenChanged();
    }
    reloadMac();
    launch(reloadAndroid(false));
}

void AppModel::setTransfers(const QList<TransferJob> &value)
{
    if (m_transfers == value)
        return;
    m_transfers = value;
    emit transfersChanged();
}

void AppModel::setMessage(const std::optional<QString> &value, MessageKind kind)
{
    if (m_message == value && m_messageKind == kind)
        return;
    m_message = value;
    m_messageKind = kind;
    emit messageChanged();
}

void AppModel::setDrives(const QList<DriveInfo> &value)
{
    if (m_drives == value)
        return;
    m_drives = value;
    emit drivesChanged();
}

void AppModel::setPhoneInfo(const std::optional<PhoneInfo> &value)
{
    if (m_phoneInfo == value)
        return;
    m_phoneInfo = value;
    emit phoneInfoChanged();
}

void AppModel::setConflict(const std::optional<ConflictPrompt> &value)
{
    if (m_conflict == value)
        return;
    m_conflict = value;
    emit conflictChanged();
}

void AppModel::setMoveRequest(const std::optional<MoveRequest> &value)
{
    if (m_moveRequest == value)
        return;
    m_moveRequest = value;
    emit moveRequestChanged();
}

void AppModel::setBackupPlan(const std::optional<BackupPlan> &value)
{
    if (m_backupPlan == value)
        return;
    m_backupPlan = value;
    emit backupPlanChanged();
}

void AppModel::setScanningBackup(bool value)
{
    if (m_scanningBackup == value)
        return;
    m_scanningBackup = value;
    emit scanningBackupChanged();
}
