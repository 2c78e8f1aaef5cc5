// The photo backup: a scan of DCIM and Pictures against the computer's copies, then one job
// that pulls the new files one at a time outside the transfer queue.
#include "model/AppModel.h"

#include "bridge/ADB.h"
#include "model/BackupDestination.h"
#include "platform/Platform.h"

#include <QDir>
#include <QFileInfo>

namespace {

// A file counts as backed up when the computer holds a file of exactly the phone's size.
bool alreadyBackedUp(const QString &local, qint64 size)
{
    const QFileInfo info(local);
    return info.exists() && info.isFile() && info.size() == size;
}

} // namespace

void AppModel::prepareBackup()
{
    const std::optional<AndroidDevice> device = readyDevice();
    if (!device) {
        setMessage(QStringLiteral("Connect and authorize an Android device first."));
        return;
    }
    if (scanningBackup())
        return;
    setScanningBackup(true);
    launch(scanBackup(*device));
}

QCoro::Task<> AppModel::scanBackup(AndroidDevice device)
{
    QPointer<AppModel> self(this);
    const QString destination = backupDestination(QDir::homePath(), device);
    QList<BackupFile> files;
    int scanned = 0;
    for (const QString &folder : {QStringLiteral("DCIM"), QStringLiteral("Pictures")}) {
        const QList<FileEntry> found =
            co_await ADB::shared().allFiles(device.serial, internalStorage + QLatin1Char('/') + folder);
        if (!self)
            co_return;
        scanned += int(found.size());
        for (const FileEntry &entry : found) {
            const QString relative = backupRelative(entry.path);
            if (!alreadyBackedUp(destination + QLatin1Char('/') + relative, entry.size))
                files.append(BackupFile{entry.path, relative, entry.size});
        }
    }
    if (scanned == 0)
        setMessage(QStringLiteral("No photos or videos found in DCIM or Pictures on this phone."),
                   MessageKind::information);
    else if (files.isEmpty())
        setMessage(QStringLiteral("Everything is already backed up (%1 files checked).").arg(scanned),
                   MessageKind::information);
    else
        setBackupPlan(BackupPlan{files, scanned, destination, device.serial});
    setScanningBackup(false);
}

void AppModel::confirmBackup()
{
    const std::optional<BackupPlan> plan = backupPlan();
    if (!plan)
        return;
    setBackupPlan(std::nullopt);
    TransferJob job;
    job.id = QUuid::createUuid();
    job.name = QStringLiteral("Photo backup (%1 files)").arg(plan->files.size());
    job.kind = TransferJob::Kind::backup;
    job.state = TransferJob::State::running();
    insertJob(job);
    const auto token = std::make_shared<CancelToken>();
    m_tokens.insert(job.id, token);
    launch(runBackup(job.id, *plan, token));
}

QCoro::Task<> AppModel::runBackup(QUuid id, BackupPlan plan, CancelTokenPtr token)
{
    QPointer<AppModel> self(this);
    const qsizetype count = plan.files.size();
    int failures = 0;
    for (qsizetype i = 0; i < count; ++i) {
        if (token->isCancelled())
            break;
        const BackupFile &file = plan.files.at(i);
        const QString local = plan.destination + QLatin1Char('/') + file.relative;
        QDir().mkpath(QFileInfo(local).path());
        bool failed = false;
        try {
            const QStringList args{QStringLiteral("-s"), plan.serial, QStringLiteral("pull"),
                                   QStringLiteral("-a"), file.remote, local};
            const ProcessResult result = co_await ADB::shared().run(args, token);
            failed = result.status != 0;
        } catch (...) {
            failed = true;
        }
        if (!self)
            co_return;
        if (token->isCancelled())
            failed = true;
        if (failed && !token->isCancelled())
            ++failures;
        const double progress = double(i + 1) / double(count);
        const QString detail = QStringLiteral("%1/%2").arg(i + 1).arg(count);
        updateJob(id, [progress, &detail](TransferJob &job) {
            job.progress = progress;
            job.detail = detail;
        });
    }
    m_tokens.remove(id);
    if (token->isCancelled()) {
        updateJob(id, [](TransferJob &job) { job.state = TransferJob::State::cancelled(); });
    } else if (failures > 0) {
        const QString text = QStringLiteral("%1 file(s) failed").arg(failures);
        updateJob(id, [&text](TransferJob &job) { job.state = TransferJob::State::failed(text); });
    } else {
        updateJob(id, [](TransferJob &job) {
            job.progress = 1.0;
            job.state = TransferJob::State::done();
        });
        Platform::instance().fileBrowser().reveal({plan.destination});
    }
    notifyFinished(int(count) - failures, failures);
}
