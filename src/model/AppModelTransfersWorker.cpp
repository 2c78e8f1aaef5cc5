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
    int finished = 0;
    int failed = 0;
    while (!m_queue.isEmpty()) {
        const PendingTransfer item = m_queue.takeFirst();
        const QUuid id = item.jobID;
        const TransferSpec spec = item.spec;
        updateJob(id, [](TransferJob &job) { job.state = TransferJob::State::running(); });

        const auto token = std::make_shared<CancelToken>();
        m_tokens.insert(id, token);
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
        // Set when a copy did not take its place: what it wrote is removed once the row
        // shows the outcome.
        bool discardWritten = false;
        try {
            switch (spec.kind) {
            case TransferJob::Kind::toAndroid:
            case TransferJob::Kind::toMac:
                failure = co_await copyThroughTemporary(spec, written, token, run, monitorStop);
                discardWritten = failure.has_value();
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
        if (!alive)
            co_return;

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
            ++finished;
        else if (!cancelled)
            ++failed;
        m_tokens.remove(id);
        m_gauges.remove(id);
        if (discardWritten) {
            co_await discardCopy(spec, written, cancelled);
            if (!alive)
                co_return;
        }

        // Between jobs the computer's pane is listed again only after a job that wrote or
        // removed something there; a long batch of pushes would otherwise list a folder of
        // the same thousand files after every one of them.
        const bool touchedComputer = spec.kind == TransferJob::Kind::toMac || spec.deleteSource;
        if (touchedComputer || m_queue.isEmpty())
            reloadMac();
        if (m_queue.isEmpty()) {
            // The queue has run dry: the phone's free space is read again, once, and the worker
            // ends only when the pane shows what the last job left.
            m_reloadBetweenJobsAgain = false;
            co_await reloadAndroid(true);
            if (!alive)
                co_return;
        } else {
            reloadAndroidBetweenJobs();
        }
    }
    m_workerRunning = false;
    if (finished + failed > 0)
        notifyFinished(finished, failed);
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
        co_await reloadAndroid(false);
        if (!alive)
            co_return;
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
