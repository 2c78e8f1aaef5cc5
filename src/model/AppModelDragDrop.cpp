// Drag and drop: the payloads of rows, the pull of a phone item for a drag out of the
// window, and the drops on a pane or on a row.
#include "model/AppModel.h"

#include "bridge/ADB.h"
#include "bridge/ADBError.h"
#include "model/DragFolder.h"
#include "model/DragPayload.h"
#include "model/PhoneDragData.h"
#include "model/StopHandle.h"
#include "model/transfer/TransferPaths.h"

#include <QDir>
#include <QMimeData>
#include <QUrl>

QMimeData *AppModel::macProvider(const FileEntry &entry, const QSet<QString> &selection) const
{
    auto *data = new QMimeData;
    data->setUrls({QUrl::fromLocalFile(entry.path)});
    data->setData(QLatin1String(dragPathsMimeType),
                  DroppedPaths{DragSide::mac, draggedPaths(entry, selection, m_macItems)}.toJson());
    return data;
}

QMimeData *AppModel::androidProvider(const FileEntry &entry, const QSet<QString> &selection)
{
    auto *data = new PhoneDragData(QPointer<AppModel>(this), entry.path);
    data->setData(QLatin1String(dragPathsMimeType),
                  DroppedPaths{DragSide::android, draggedPaths(entry, selection, m_androidItems)}.toJson());
    return data;
}

QCoro::Task<QString> AppModel::pullForDrag(QString remote)
{
    const std::optional<AndroidDevice> device = readyDevice();
    if (!device)
        throw ADBError::failed(QStringLiteral("No device connected"));
    QPointer<AppModel> self(this);
    const QString name = lastPathComponent(remote);
    TransferJob job;
    job.id = QUuid::createUuid();
    job.name = name;
    job.kind = TransferJob::Kind::toMac;
    insertJob(job);
    const QUuid id = job.id;
    updateJob(id, [](TransferJob &row) { row.state = TransferJob::State::running(); });

    const PrivateFolder dragFolder = DragFolder::prepare();
    if (!dragFolder.usable()) {
        const QString reason = dragFolder.problem;
        updateJob(id, [&reason](TransferJob &row) { row.state = TransferJob::State::failed(reason); });
        throw ADBError::failed(reason);
    }
    const QString folder = QDir(dragFolder.path).filePath(QUuid::createUuid().toString(QUuid::WithoutBraces));
    if (!QDir().mkdir(folder)) {
        const QString reason = QStringLiteral("Could not create the folder “%1”.").arg(folder);
        updateJob(id, [&reason](TransferJob &row) { row.state = TransferJob::State::failed(reason); });
        throw ADBError::failed(reason);
    }
    const QString local = QDir(folder).filePath(name);

    const auto monitorStop = std::make_shared<StopHandle>();
    launch(watchPull(id, device->serial, remote, local, monitorStop));

    std::optional<QString> failure;
    try {
        const QStringList args{QStringLiteral("-s"), device->serial, QStringLiteral("pull"),
                               QStringLiteral("-a"), remote, local};
        const ProcessResult result = co_await runCopy(id, args, {});
        if (result.status != 0)
            failure = ADB::failureLine(result.output + result.error);
    } catch (const ADBError &error) {
        failure = error.message();
    } catch (const std::exception &error) {
        failure = QString::fromUtf8(error.what());
    }
    monitorStop->stop();
    if (!self)
        throw ADBError::failed(QStringLiteral("App closed"));
    m_gauges.remove(id);
    if (failure) {
        updateJob(id, [&failure](TransferJob &row) { row.state = TransferJob::State::failed(*failure); });
        throw ADBError::failed(*failure);
    }
    updateJob(id, [](TransferJob &row) {
        row.detail.clear();
        row.indeterminate = false;
        row.progress = 1.0;
        row.state = TransferJob::State::done();
    });
    co_return local;
}

bool AppModel::handleDrop(const QMimeData *data, DragSide side)
{
    if (!data)
        return false;
    const bool hasPaths = data->hasFormat(QLatin1String(dragPathsMimeType));
    if (!hasPaths && !(side == DragSide::android && data->hasUrls()))
        return false;
    QStringList paths;
    for (const DroppedPaths &item : droppedItems(data)) {
        // A drag onto its own pane does nothing.
        if (!item.side || *item.side != side)
            paths += item.paths;
    }
    paths = withoutDuplicates(paths);
    if (paths.isEmpty())
        return true;
    if (side == DragSide::android)
        routeToAndroid(paths, std::nullopt);
    else
        enqueue(paths, TransferJob::Kind::toMac, macPath(), false);
    return true;
}

void AppModel::handleRowDrop(const QMimeData *data, const FileEntry &entry, DragSide side)
{
    handleRowDrop(droppedItems(data), entry, side);
}

void AppModel::handleRowDrop(const QList<DroppedPaths> &items, const FileEntry &entry, DragSide side)
{
    QStringList paths;
    for (const DroppedPaths &item : items) {
        const bool accepted = side == DragSide::android
            ? (!item.side || *item.side == DragSide::mac)
            : (item.side && *item.side == DragSide::android);
        if (accepted)
            paths += item.paths;
    }
    paths = withoutDuplicates(paths);
    if (paths.isEmpty())
        return;
    if (side == DragSide::android) {
        routeToAndroid(paths, entry.isDirectory ? std::optional<QString>(entry.path) : std::nullopt);
        return;
    }
    enqueue(paths, TransferJob::Kind::toMac, entry.isDirectory ? entry.path : macPath(), false);
}

void AppModel::routeToAndroid(const QStringList &paths, const std::optional<QString> &dest)
{
    QStringList apks;
    QStringList others;
    for (const QString &path : paths) {
        if (path.toLower().endsWith(QLatin1String(".apk")))
            apks.append(path);
        else
            others.append(path);
    }
    if (!apks.isEmpty())
        installAPKs(apks);
    if (!others.isEmpty())
        enqueue(others, TransferJob::Kind::toAndroid, dest.value_or(androidPath()), false);
}
