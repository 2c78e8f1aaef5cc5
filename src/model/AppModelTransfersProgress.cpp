// Progress of a running push or pull: the destination's size sampled beside the adb run
// and turned into the row's bar, bytes, speed and time left.
#include "model/AppModel.h"

#include "bridge/ADB.h"
#include "model/Sizing.h"
#include "model/StopHandle.h"
#include "model/transfer/TransferMeter.h"
#include "model/transfer/TransferPaths.h"

#include <QCoro/QCoroFuture>
#include <QFileInfo>
#include <QtConcurrent/QtConcurrentRun>

#include <algorithm>
#include <chrono>

namespace {

// Seconds of a monotonic clock.
double uptime()
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

QCoro::Task<qint64> localSizeInBackground(QString path)
{
    co_return co_await QtConcurrent::run([path] { return Sizing::local(path); });
}

} // namespace

QCoro::Task<> AppModel::monitorTransfer(QUuid id, TransferSpec spec, std::shared_ptr<StopHandle> stop)
{
    switch (spec.kind) {
    case TransferJob::Kind::toAndroid: {
        const bool isDirectory = QFileInfo(spec.source).isDir();
        const qint64 total = co_await localSizeInBackground(spec.source);
        const QString serial = spec.serial;
        const QString remote = destinationPath(spec);
        // Plain lambdas that return the task: a lambda that is itself a coroutine would
        // leave its captures to a closure that may be gone before the task ends.
        co_await watch(id, total, 1.5, [serial, remote, isDirectory] {
            return ADB::shared().remoteSize(serial, remote, isDirectory);
        }, stop);
        co_return;
    }
    case TransferJob::Kind::toMac:
        co_await watchPull(id, spec.serial, spec.source, destinationPath(spec), stop);
        co_return;
    case TransferJob::Kind::install:
    case TransferJob::Kind::backup:
        co_return;
    }
}

QCoro::Task<> AppModel::watchPull(QUuid id, QString serial, QString remote, QString dest,
                                  std::shared_ptr<StopHandle> stop)
{
    const bool isDirectory = co_await ADB::shared().remoteIsDirectory(serial, remote);
    const qint64 total = co_await ADB::shared().remoteSize(serial, remote, isDirectory);
    co_await watch(id, total, 0.5, [dest] { return localSizeInBackground(dest); }, stop);
}

QCoro::Task<> AppModel::watch(QUuid id, qint64 total, double interval, SizeSample sample,
                              std::shared_ptr<StopHandle> stop)
{
    if (stop->isStopped())
        co_return;
    updateJob(id, [total](TransferJob &job) { job.indeterminate = total < 1; });
    co_await stop->sleep(std::chrono::milliseconds(400));

    QList<TransferMeter::Sample> samples;
    const auto pause = std::chrono::milliseconds(qint64(interval * 1000));
    while (!stop->isStopped()) {
        const qint64 bytes = co_await sample();
        // The run may have ended while the sample was taken; its outcome is final.
        if (stop->isStopped())
            co_return;
        TransferMeter::record(samples, uptime(), bytes);
        const TransferMeter meter{std::max<qint64>(0, total), samples.last().bytes, samples};
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
