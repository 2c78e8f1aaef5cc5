// Copying a pane's selection, moves with their confirmation, and APK installs. A batch goes
// in the order its pane shows the rows, so the transfers run as the user reads them.
#include "model/AppModel.h"

#include "drives/Drives.h"
#include "model/SelectionOrder.h"
#include "model/transfer/TransferPaths.h"

namespace {

const QString connectFirst = QStringLiteral("Connect and authorize an Android device first.");

} // namespace

void AppModel::sendSelectedToAndroid()
{
    enqueue(inRowOrder(macSelection(), macItems()), TransferJob::Kind::toAndroid, androidPath(), false);
}

void AppModel::getSelectedFromAndroid()
{
    enqueue(inRowOrder(androidSelection(), androidItems()), TransferJob::Kind::toMac, macPath(), false);
}

void AppModel::requestMove(bool toPhone, const std::optional<QStringList> &paths)
{
    const QList<FileEntry> &rows = toPhone ? m_macItems : m_androidItems;
    const QStringList sources = paths ? inRowOrder(*paths, rows)
                                      : inRowOrder(toPhone ? macSelection() : androidSelection(), rows);
    if (sources.isEmpty())
        return;
    if (!readyDevice()) {
        setMessage(connectFirst);
        return;
    }
    QString destination;
    if (toPhone) {
        for (const QString &source : sources) {
            if (Drives::isReadOnly(source)) {
                setMessage(QStringLiteral(
                    "Files on a read-only drive (such as NTFS) can't be moved, because the "
                    "originals can't be removed. Use Copy instead."));
                return;
            }
        }
        destination = androidPath();
    } else {
        if (Drives::isReadOnly(macPath())) {
            setMessage(Drives::explanation(macPath(), drives()));
            return;
        }
        destination = macPath();
    }
    setMoveRequest(MoveRequest{sources, toPhone, destination});
}

void AppModel::confirmMove()
{
    const std::optional<MoveRequest> request = moveRequest();
    if (!request)
        return;
    setMoveRequest(std::nullopt);
    enqueue(request->paths,
            request->toPhone ? TransferJob::Kind::toAndroid : TransferJob::Kind::toMac,
            request->destDir, true);
}

void AppModel::installAPKs(const QStringList &paths)
{
    const std::optional<AndroidDevice> device = readyDevice();
    if (!device) {
        setMessage(connectFirst);
        return;
    }
    for (const QString &path : paths) {
        TransferSpec spec;
        spec.source = path;
        spec.kind = TransferJob::Kind::install;
        spec.serial = device->serial;
        spec.deleteSource = false;
        TransferJob job;
        job.id = QUuid::createUuid();
        job.name = QStringLiteral("Install ") + lastPathComponent(path);
        job.kind = TransferJob::Kind::install;
        job.state = TransferJob::State::queued();
        job.spec = spec;
        insertJob(job);
        m_queue.append(PendingTransfer{job.id, spec});
    }
    startWorker();
}

void AppModel::pickAndInstallAPK()
{
    if (!m_apkPicker)
        return;
    const QStringList chosen = m_apkPicker(QStringLiteral("Choose APK files to install on your phone"));
    if (!chosen.isEmpty())
        installAPKs(chosen);
}
