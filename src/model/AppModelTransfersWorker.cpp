// The single worker that drains the transfer queue: one adb push, pull or install at a
// time, with the job's cancel token, progress beside it, and the outcome on the row.
#include "model/AppModel.h"

#include "bridge/ADB.h"
#include "bridge/ProcessStartError.h"
#include "model/StopHandle.h"
#include "model/TransferCopy.h"
#include "model/transfer/TemporaryName.h"
#include "model/transfer/TransferPaths.h"
#include "platform/Platform.h"

#include <QCoro/QCoroTimer>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QPointer>


namespace {

// The text of anything an adb run or a source removal can throw.
QString failureText(const std::exception_ptr &error)
{
    try {
        std::rethrow_exception(error);
    } catch (const ADBError &e) {
        return e.message();
    } catch (const ProcessStartError &e) {
        return e.message();
    } catch (const std::exception &e) {
        return QString::fromUtf8(e.what());
    } catch (...) {
        return QStringLiteral("Transfer failed");
    }
}

} // namespace

void AppModel::startWorker()
{
    if (m_workerRunning)
        return;
    m_workerRunning = true;
    launch(runWorker());
}

QCoro::Task<> AppModel::runWorker()
{
    // The model may be destroyed while the worker waits (at quit, or in a test's clean-up);
    // nothing of it is touched after a wait once it is gone.
    const QPointer<AppModel> alive(this);
    m_finishedJobs = 0;
    m_failedJobs = 0;
    for (;;) {
        if (m_queue.isEmpty()) {
            co_await settlesFinished();
            if (!alive)
                co_return;
        }
        if (m_queue.isEmpty()) {
            // The queue has run dry: both panes are listed and the phone's free space read
            // again, once, and the worker ends only when the panes show what the last job left.
            reloadMac();
            m_reloadBetweenJobsAgain = false;
            co_await reloadAndroid(true);
            if (!alive)
                co_return;
            if (m_queue.isEmpty())
                break;
            continue;
        }
        const PendingTransfer item = m_queue.takeFirst();
        const QUuid id = item.jobID;
        const TransferSpec spec = item.spec;
        const auto token = std::make_shared<CancelToken>();
        m_tokens.insert(id, token);
        if (!canCopyBesideSettles(spec)) {
            co_await settlesFinished();
            if (!alive)
                co_return;
        }
        m_copyingJob = id;
        showFrontJobRunning();

        // A copy is written under a fresh hidden name beside its destination (a retry never
        // meets an earlier attempt's leftovers) and takes the destination's name once complete.
        const bool copies = spec.kind == TransferJob::Kind::toAndroid || spec.kind == TransferJob::Kind::toMac;
        const QString written = copies
            ? temporaryPath(destinationPath(spec), QUuid::createUuid().toString(QUuid::Id128).left(8))
            : QString();
        const auto monitorStop = std::make_shared<StopHandle>();
        launch(monitorTransfer(id, spec, written, monitorStop));

        // The push or pull itself, with its progress fed into the job's row while it runs.
        const CopyRun run = [this, id, token](QStringList args) { return runCopy(id, args, token); };

        std::optional<QString> failure;
        try {
            switch (spec.kind) {
            case TransferJob::Kind::toAndroid:
                failure = co_await copyToTemporary(spec, written, token, run, monitorStop);
                break;
            case TransferJob::Kind::toMac:
                failure = co_await copyAndSettleOnComputer(spec, written, token, run, monitorStop);
                break;
            case TransferJob::Kind::install:
                co_await ADB::shared().install(spec.serial, spec.source, token);
                break;
            case TransferJob::Kind::backup:
                break;
            }
        } catch (...) {
            failure = failureText(std::current_exception());
        }
        monitorStop->stop();
        const bool pushed = spec.kind == TransferJob::Kind::toAndroid && !failure;
        if (!alive) {
            // A copy that ended after the model went still takes its name.
            if (pushed) {
                const QList<SettleStep> step{settleStepOf(spec, written)};
                co_await settleOnPhone(spec.serial, step);
            }
            co_return;
        }
        m_copyingJob = QUuid();
        if (pushed) {
            settleBesideNextCopy({id, spec, written, token});
            continue;
        }
        // Set when a copy did not take its place: what it wrote is removed once the row
        // shows the outcome.
        const bool discardWritten = copies && failure.has_value();
        // Rows end in the order of the queue.
        co_await settlesFinished();
        if (!alive)
            co_return;
        co_await finishJob(id, spec, written, token, failure, discardWritten);
        if (!alive)
            co_return;
    }
    m_workerRunning = false;
    if (m_finishedJobs + m_failedJobs > 0)
        notifyFinished(m_finishedJobs, m_failedJobs);
}

QCoro::Task<> AppModel::finishJob(QUuid id, TransferSpec spec, QString written, CancelTokenPtr token,
                                  std::optional<QString> failure, bool discardWritten)
{
    const QPointer<AppModel> alive(this);
    // The source goes only after a complete copy.
    if (!failure && spec.deleteSource) {
        try {
            failure = co_await removeSource(spec);
        } catch (...) {
            failure = failureText(std::current_exception());
        }
        if (!alive)
            co_return;
    }

    // One uninterrupted step: the outcome, the cleared detail, the determinate bar.
    const bool cancelled = failure && token->isCancelled();
    updateJob(id, [&failure, cancelled](TransferJob &job) {
        if (!failure) {
            job.progress = 1.0;
            job.state = TransferJob::State::done();
        } else if (cancelled) {
            job.state = TransferJob::State::cancelled();
        } else {
            job.state = TransferJob::State::failed(*failure);
        }
        job.detail.clear();
        job.indeterminate = false;
    });
    if (!failure)
        ++m_finishedJobs;
    else if (!cancelled)
        ++m_failedJobs;
    m_tokens.remove(id);
    m_gauges.remove(id);
    if (discardWritten) {
        co_await discardCopy(spec, written, cancelled);
        if (!alive)
            co_return;
    }

    // While other jobs remain the panes are listed beside them (when none does, the worker
    // lists both once more before it ends). The computer's pane is listed again only after a
    // job that wrote or removed something there; a long batch of pushes would otherwise list
    // a folder of the same thousand files after every one of them.
    if (m_queue.isEmpty() && m_copyingJob.isNull() && m_settling.isEmpty())
        co_return;
    if (spec.kind == TransferJob::Kind::toMac || spec.deleteSource)
        reloadMac();
    reloadAndroidBetweenJobs();
}

void AppModel::reloadAndroidBetweenJobs()
{
    if (m_reloadingBetweenJobs) {
        m_reloadBetweenJobsAgain = true;
        return;
    }
    launch(reloadAndroidWhileJobsRun());
}

QCoro::Task<> AppModel::reloadAndroidWhileJobsRun()
{
    const QPointer<AppModel> alive(this);
    m_reloadingBetweenJobs = true;
    do {
        m_reloadBetweenJobsAgain = false;
        QElapsedTimer listing;
        listing.start();
        co_await reloadAndroid(false);
        if (!alive)
            co_return;
        // The phone serves a listing of a large folder and the copies through the same link:
        // while jobs end faster than it lists, the next listing waits four times as long as
        // this one took, so listings take at most a fifth of the phone's time.
        if (m_reloadBetweenJobsAgain) {
            co_await QCoro::sleepFor(std::chrono::milliseconds(4 * listing.elapsed()));
            if (!alive)
                co_return;
        }
    } while (m_reloadBetweenJobsAgain);
    m_reloadingBetweenJobs = false;
}

QCoro::Task<std::optional<QString>> AppModel::removeSource(TransferSpec spec)
{
    switch (spec.kind) {
    case TransferJob::Kind::toAndroid:
        co_return Platform::instance().trash().moveToTrash(spec.source);
    case TransferJob::Kind::toMac: {
        // Built outside the co_await: g++ 12 rejects a braced list inside it.
        const QStringList paths(spec.source);
        co_await ADB::shared().deletePaths(spec.serial, paths);
        co_return std::nullopt;
    }
    case TransferJob::Kind::install:
    case TransferJob::Kind::backup:
        break;
    }
    co_return std::nullopt;
}

void AppModel::notifyFinished(int finished, int failed)
{
    const bool active = qobject_cast<QGuiApplication *>(QCoreApplication::instance())
        && QGuiApplication::applicationState() == Qt::ApplicationActive;
    if (active)
        return;
    Platform &platform = Platform::instance();
    platform.attention().request();
    if (!platform.notifier().canNotify())
        return;
    const QString body = failed > 0
        ? QStringLiteral("%1 finished, %2 failed.").arg(finished).arg(failed)
        : QStringLiteral("%1 transfer%2 finished.")
              .arg(finished)
              .arg(finished == 1 ? QString() : QStringLiteral("s"));
    platform.notifier().notify(QStringLiteral("Tessary"), body, true);
}
