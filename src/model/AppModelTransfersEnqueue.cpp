// Enqueueing copies and moves: the refusals, the destination's names, the one name-clash
// question per batch, Android-safe and numbered names, and the jobs.
#include "model/AppModel.h"

#include "bridge/ADB.h"
#include "drives/Drives.h"
#include "model/transfer/Naming.h"
#include "model/transfer/TransferPaths.h"

#include <QDir>
#include <QMetaObject>
#include <QPointer>

#include <coroutine>

namespace {

const QString connectFirst = QStringLiteral("Connect and authorize an Android device first.");
const QString readOnlyMove = QStringLiteral(
    "Files on this drive can't be moved, because the originals can't be removed from a "
    "read-only drive. Use Copy instead.\n\n");

// The coroutines below build their records through these functions, away from g++ 12's
// mishandling of temporaries inside coroutines.
TransferSpec makeSpec(const QString &source, const QString &destDir,
                      const std::optional<QString> &targetName, TransferJob::Kind kind,
                      const QString &serial, bool deleteSource)
{
    return TransferSpec{source, destDir, targetName, kind, serial, deleteSource};
}

PendingTransfer makePending(const QUuid &jobID, const TransferSpec &spec)
{
    return PendingTransfer{jobID, spec};
}

// Every entry of a local folder, hidden ones included; empty when it cannot be listed.
QSet<QString> localNames(const QString &dir)
{
    const QStringList names =
        QDir(dir).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    return QSet<QString>(names.begin(), names.end());
}

} // namespace

void AppModel::enqueue(const QStringList &paths, TransferJob::Kind kind, const QString &destDir,
                       bool deleteSource)
{
    if (paths.isEmpty())
        return;
    const std::optional<AndroidDevice> device = readyDevice();
    if (!device) {
        setMessage(connectFirst);
        return;
    }
    if (kind == TransferJob::Kind::toMac && Drives::isReadOnly(destDir)) {
        setMessage(Drives::explanation(destDir, drives()));
        return;
    }
    if (kind == TransferJob::Kind::toAndroid && deleteSource) {
        for (const QString &source : paths) {
            if (Drives::isReadOnly(source)) {
                setMessage(readOnlyMove + Drives::explanation(source, drives()));
                return;
            }
        }
    }
    // The serial is taken now, so a change of phone while the question is open does not
    // redirect the batch.
    launch(enqueueBatch(paths, kind, destDir, deleteSource, device->serial));
}

QCoro::Task<> AppModel::enqueueBatch(QStringList paths, TransferJob::Kind kind, QString destDir,
                                     bool deleteSource, QString serial)
{
    // The model may be destroyed while the phone answers or the question is open; nothing
    // of it is touched once it is gone.
    const QPointer<AppModel> alive(this);
    const bool toPhone = kind == TransferJob::Kind::toAndroid;
    QSet<QString> taken;
    if (toPhone)
        taken = co_await ADB::shared().existingNames(serial, destDir);
    else
        taken = localNames(destDir);
    if (!alive)
        co_return;

    QStringList names;
    for (const QString &path : std::as_const(paths)) {
        const QString own = lastPathComponent(path);
        names.append(toPhone ? androidSafeName(own) : own);
    }

    QStringList clashing;
    for (const QString &name : std::as_const(names)) {
        if (taken.contains(name))
            clashing.append(name);
    }
    std::optional<ConflictResolution> resolution;
    if (!clashing.isEmpty()) {
        resolution = co_await askConflict(clashing, toPhone);
        if (!alive || *resolution == ConflictResolution::cancel)
            co_return;
    }

    QSet<QString> batchNames;
    QList<TransferJob> batch;
    for (qsizetype i = 0; i < paths.size(); ++i) {
        QString name = names.at(i);
        std::optional<QString> targetName;
        if (name != lastPathComponent(paths.at(i)))
            targetName = name;
        if (taken.contains(name)) {
            if (resolution == ConflictResolution::skip)
                continue;
            // Two items of one batch never share a destination (a:b.txt and a?b.txt both
            // become a_b.txt): the later one is numbered even without a question or with
            // "replace", so it cannot overwrite what this batch has just copied.
            if (resolution == ConflictResolution::keepBoth || batchNames.contains(name)) {
                name = uniqueName(name, taken);
                targetName = name;
            }
        }
        taken.insert(name);
        batchNames.insert(name);

        const TransferSpec spec = makeSpec(paths.at(i), destDir, targetName, kind, serial, deleteSource);
        TransferJob job;
        job.id = QUuid::createUuid();
        job.name = name;
        job.kind = kind;
        job.state = TransferJob::State::queued();
        job.spec = spec;
        batch.append(job);
        m_queue.append(makePending(job.id, spec));
    }
    // One change of the list for the whole batch: a thousand changes, each copying and
    // comparing the growing list, held the window for a noticeable moment.
    if (!batch.isEmpty()) {
        insertJobs(batch);
        startWorker();
    }
}

QCoro::Task<ConflictResolution> AppModel::askConflict(QStringList names, bool toPhone)
{
    if (m_conflictContinuation)
        co_return ConflictResolution::cancel;
    connect(this, &AppModel::conflictChanged, this, &AppModel::conflictClosed,
            Qt::UniqueConnection);

    // Suspends until answerConflict or conflictClosed resumes it.
    struct Answer
    {
        Answer(AppModel *model, const QStringList &names, bool toPhone)
            : model(model), names(names), toPhone(toPhone)
        {
        }
        AppModel *model;
        QStringList names;
        bool toPhone;
        ConflictResolution result = ConflictResolution::cancel;

        bool await_ready() const noexcept { return false; }
        void await_suspend(std::coroutine_handle<> waiter)
        {
            model->m_conflictContinuation = [this, waiter](ConflictResolution answer) {
                result = answer;
                waiter.resume();
            };
            model->setConflict(ConflictPrompt{QUuid::createUuid(), names, toPhone});
        }
        ConflictResolution await_resume() const noexcept { return result; }
    };
    // A named awaiter: g++ 12 destroys a temporary that spans a co_await twice.
    Answer answer(this, names, toPhone);
    co_return co_await answer;
}

void AppModel::answerConflict(ConflictResolution resolution)
{
    if (!m_conflictContinuation)
        return;
    const auto waiter = std::exchange(m_conflictContinuation, {});
    setConflict(std::nullopt);
    // Resumed from the event loop, not from inside the caller (a button's click handler).
    QMetaObject::invokeMethod(this, [waiter, resolution] { waiter(resolution); },
                              Qt::QueuedConnection);
}

void AppModel::conflictClosed()
{
    if (!m_conflict && m_conflictContinuation)
        answerConflict(ConflictResolution::cancel);
}
