// Progress of a running push or pull: the destination's size sampled beside the adb run
// and turned into the row's bar, bytes, speed and time left.
#include "model/AppModel.h"

#include "bridge/ADB.h"
#include "model/Sizing.h"
#include "model/StopHandle.h"
#include "model/transfer/TransferMeter.h"

#include <QCoro/QCoroFuture>
#include <QFileInfo>
#include <QPointer>
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

TransferMeter makeMeter(qint64 total, const QList<TransferMeter::Sample> &samples)
{
    return TransferMeter{std::max<qint64>(0, total), samples.last().bytes, samples};
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
    updateJob(id, [total](TransferJob &job) { job.indeterminate = total < 1; });
    co_await stop->sleep(std::chrono::milliseconds(400));

    QList<TransferMeter::Sample> samples;
    const auto pause = std::chrono::milliseconds(qint64(interval * 1000));
    while (!stop->isStopped() && alive) {
        const qint64 bytes = co_await measure(sample);
        // The run may have ended while the sample was taken; its outcome is final.
        if (stop->isStopped() || !alive)
            co_return;
        TransferMeter::record(samples, uptime(), bytes);
        const TransferMeter meter = makeMeter(total, samples);
        // adb's own percentage, when it printed one, is the floor: a destination that is
        // measured smaller for a moment (an old file being replaced) does not pull the bar back.
        const double floor = m_reportedProgress.value(id, 0.0);
        updateJob(id, [&meter, total, floor](TransferJob &job) {
            if (total > 0) {
                const double measured = std::clamp(double(meter.done) / double(total), 0.0, 0.99);
                job.progress = std::max(measured, floor);
            }
            job.detail = meter.description();
        });
        co_await stop->sleep(pause);
    }
}
