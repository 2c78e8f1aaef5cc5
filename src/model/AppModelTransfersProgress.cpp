// Progress of a running push or pull: the destination's size polled beside the adb run, and
// between the polls the adb child's I/O counters (or, without them, adb's own percentage
// lines), turned into the row's bar, bytes, speed and time left.
#include "model/AppModel.h"

#include "bridge/ADB.h"
#include "model/CounterSampler.h"
#include "model/Sizing.h"
#include "model/StopHandle.h"
#include "model/transfer/AdbProgress.h"

#include <QCoro/QCoroFuture>
#include <QFileInfo>
#include <QPointer>
#include <QScopeGuard>
#include <QtConcurrent/QtConcurrentRun>

#include <algorithm>
#include <chrono>

namespace {

// Seconds of a monotonic clock.
double uptime()
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

QFuture<qint64> startLocalSize(const QString &path)
{
    return QtConcurrent::run([path] { return Sizing::local(path); });
}

QCoro::Task<qint64> localSizeInBackground(QString path)
{
    // Kept in a variable: g++ 12 destroys a temporary that spans a co_await twice.
    QFuture<qint64> size = startLocalSize(path);
    co_return co_await size;
}

// The coroutines below build their records through these functions, away from g++ 12's
// mishandling of temporaries inside coroutines.
AppModel::SizeProbe makeProbe(bool onPhone, const QString &serial, const QString &path, bool isDirectory)
{
    AppModel::SizeProbe probe;
    probe.onPhone = onPhone;
    probe.serial = serial;
    probe.path = path;
    probe.isDirectory = isDirectory;
    return probe;
}

// The phone answers through one adb run; a local size is summed on a pool thread.
QCoro::Task<qint64> measure(AppModel::SizeProbe probe)
{
    if (probe.onPhone)
        co_return co_await ADB::shared().remoteSize(probe.serial, probe.path, probe.isDirectory);
    co_return co_await localSizeInBackground(probe.path);
}

} // namespace

QCoro::Task<> AppModel::monitorTransfer(QUuid id, TransferSpec spec, QString written,
                                        std::shared_ptr<StopHandle> stop)
{
    // The model may be destroyed while this waits; nothing of it is touched once it is gone.
    const QPointer<AppModel> alive(this);
    switch (spec.kind) {
    case TransferJob::Kind::toAndroid: {
        const bool isDirectory = QFileInfo(spec.source).isDir();
        const qint64 total = co_await localSizeInBackground(spec.source);
        if (!alive)
            co_return;
        const SizeProbe probe = makeProbe(true, spec.serial, written, isDirectory);
        co_await watch(id, total, 1.5, probe, stop);
        co_return;
    }
    case TransferJob::Kind::toMac:
        co_await watchPull(id, spec.serial, spec.source, written, stop);
        co_return;
    case TransferJob::Kind::install:
    case TransferJob::Kind::backup:
        co_return;
    }
}

QCoro::Task<> AppModel::watchPull(QUuid id, QString serial, QString remote, QString dest,
                                  std::shared_ptr<StopHandle> stop)
{
    const QPointer<AppModel> alive(this);
    const bool isDirectory = co_await ADB::shared().remoteIsDirectory(serial, remote);
    const qint64 total = co_await ADB::shared().remoteSize(serial, remote, isDirectory);
    if (!alive)
        co_return;
    co_await watch(id, total, 0.5, makeProbe(false, QString(), dest, false), stop);
}

QCoro::Task<> AppModel::watch(QUuid id, qint64 total, double interval, SizeProbe sample,
                              std::shared_ptr<StopHandle> stop)
{
    const QPointer<AppModel> alive(this);
    if (stop->isStopped())
        co_return;
    gauge(id).setTotal(total);
    updateJob(id, [total](TransferJob &job) { job.indeterminate = total < 1; });
    co_await stop->sleep(std::chrono::milliseconds(400));

    const auto pause = std::chrono::milliseconds(qint64(interval * 1000));
    while (!stop->isStopped() && alive) {
        // Once the child's counters report, the size taken here (a walk of a whole folder,
        // or an adb run on the phone) would be set aside; it is not taken, and it costs the
        // copy nothing.
        if (!gauge(id).isCounted()) {
            const qint64 bytes = co_await measure(sample);
            // The run may have ended while the sample was taken; its outcome is final.
            if (stop->isStopped() || !alive)
                co_return;
            gauge(id).polled(uptime(), bytes);
        }
        publishProgress(id, uptime());
        co_await stop->sleep(pause);
    }
}

QCoro::Task<ProcessResult> AppModel::runCopy(QUuid id, QStringList args, CancelTokenPtr token)
{
    const QPointer<AppModel> alive(this);
    // The readings count only while this run lasts: after it, the outcome alone writes the row.
    const auto runLasts = std::make_shared<bool>(true);
    const auto sampler = std::make_shared<std::unique_ptr<CounterSampler>>();
    const auto runEnds = qScopeGuard([runLasts, sampler] {
        *runLasts = false;
        sampler->reset();
    });

    if (!m_copyProgress.counters) {
        auto onChunk = [this, alive, id, runLasts](const QString &chunk) {
            if (!*runLasts || !alive)
                return;
            if (const auto reported = adbReportedProgress(chunk)) {
                const double now = uptime();
                gauge(id).reported(now, *reported);
                publishProgress(id, now);
            }
        };
        const ProcessResult result = co_await ADB::shared().run(args, token, onChunk, RunMode::Terminal);
        co_return result;
    }

    auto onReading = [this, alive, id, runLasts](qint64 moved, bool active) {
        if (!*runLasts || !alive)
            return;
        const double now = uptime();
        TransferGauge &counted = gauge(id);
        counted.counted(now, moved, active);
        // Until the monitor knows the total there is no bar to move, unless nothing moves.
        if (counted.knowsTotal() || counted.isStalled(now))
            publishProgress(id, now);
    };
    const std::chrono::milliseconds interval = m_copyProgress.sampleEvery;
    auto onStarted = [sampler, interval, onReading](qint64 pid) {
        *sampler = std::make_unique<CounterSampler>(pid, interval, onReading);
        (*sampler)->start();
    };
    // adb on pipes prints no percentage; its output matters only for the outcome.
    const std::function<void(const QString &)> noChunks;
    const ProcessResult result = co_await ADB::shared().run(args, token, noChunks, RunMode::Pipes, onStarted);
    co_return result;
}

TransferGauge &AppModel::gauge(const QUuid &id)
{
    auto found = m_gauges.find(id);
    if (found == m_gauges.end()) {
        const double stallAfter = std::chrono::duration<double>(m_copyProgress.stallAfter).count();
        found = m_gauges.insert(id, TransferGauge(stallAfter));
    }
    return *found;
}

void AppModel::publishProgress(const QUuid &id, double now)
{
    const TransferGauge &shown = gauge(id);
    const double progress = shown.progress();
    const QString detail = shown.detail(now);
    updateJob(id, [progress, &detail](TransferJob &job) {
        job.progress = progress;
        job.detail = detail;
    });
}
