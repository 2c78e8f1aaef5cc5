// Figures 1, 2, 6, 8, 9, 10, 11 and 12: transfers through the model's queue beside bare adb
// push and pull.
#include "Bench.h"

#include "Content.h"
#include "ProgressRecorder.h"
#include "StallMeter.h"
#include "Wait.h"

#include "PhoneFixture.h"

#include "model/AppModel.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>
#include <cstdio>
#include <stdexcept>

namespace {

constexpr qint64 bigSize = qint64(1) << 30;
constexpr int smallCount = 10000;
constexpr qint64 smallSize = 4096;
constexpr int batchCount = 1000;
constexpr int batchWaitMs = 1200000;
constexpr qint64 batchFileSize = 20000;
const QString phoneBench = QStringLiteral("/storage/emulated/0/Bench");

void progress(const QString &text)
{
    std::fprintf(stderr, "%s\n", qPrintable(text));
}

} // namespace

Bench::CopyTimes Bench::timeBigFile(const QString &figure, const AroundJob &around)
{
    const QString local = m_home.filePath(QStringLiteral("big.bin"));
    progress(QStringLiteral("figure %1: writing a 1 GiB file").arg(figure));
    writeBigFile(local, shrunk(bigSize));
    const CopyTimes times = timeCopies(figure, local, around);
    removePath(local);
    return times;
}

Bench::CopyTimes Bench::timeSmallFiles(const QString &figure)
{
    const QString local = m_home.filePath(QStringLiteral("SmallFiles"));
    progress(QStringLiteral("figure %1: writing 10,000 files of 4 KiB").arg(figure));
    writeFiles(local, int(shrunk(smallCount)), smallSize, QStringLiteral("IMG_"), QStringLiteral(".jpg"));
    const CopyTimes times = timeCopies(figure, local);
    removePath(local);
    return times;
}

Bench::CopyTimes Bench::timeCopies(const QString &figure, const QString &local, const AroundJob &around)
{
    const QString name = QFileInfo(local).fileName();
    const QString pulls = m_home.filePath(QStringLiteral("pulled"));
    const QString remote = phoneBench + QLatin1Char('/') + name;
    QDir().mkpath(pulls);
    const auto timeTessary = [&](const QString &source, TransferJob::Kind kind, const QString &destination) {
        if (around)
            around(kind, true);
        const double seconds = timeJob(source, kind, destination);
        if (around)
            around(kind, false);
        return seconds;
    };

    CopyTimes times;
    for (int i = 0; i < m_options.runs; ++i) {
        // The first copy after copies the other way is the slower one here, whichever tool
        // makes it, so in every run each side goes first once and second once.
        for (const bool tessaryFirst : {true, false}) {
            for (int turn = 0; turn < 2; ++turn) {
                removePath(onPhone(remote));
                writeBackToDisk();
                if ((turn == 0) == tessaryFirst)
                    times.push.append(timeTessary(local, TransferJob::Kind::toAndroid, phoneBench));
                else
                    times.pushBare.append(timeAdb({QStringLiteral("-s"), m_serial, QStringLiteral("push"), local, phoneBench}));
            }
            for (int turn = 0; turn < 2; ++turn) {
                removePath(pulls + QLatin1Char('/') + name);
                writeBackToDisk();
                if ((turn == 0) == tessaryFirst)
                    times.pull.append(timeTessary(remote, TransferJob::Kind::toMac, pulls));
                else
                    times.pullBare.append(timeAdb({QStringLiteral("-s"), m_serial, QStringLiteral("pull"), remote, pulls}));
            }
        }
        const auto lastTwo = [](const QList<double> &list) {
            return secondsText(list.at(list.size() - 2)) + QStringLiteral(", ") + secondsText(list.last());
        };
        progress(QStringLiteral("figure %1: run %2/%3: push %4 (adb %5), pull %6 (adb %7)")
                     .arg(figure).arg(i + 1).arg(m_options.runs)
                     .arg(lastTwo(times.push), lastTwo(times.pushBare), lastTwo(times.pull), lastTwo(times.pullBare)));
    }
    removePath(onPhone(remote));
    removePath(pulls);
    return times;
}

QList<FigureRow> Bench::bigFileFigures()
{
    StallMeter meter;
    ProgressRecorder recorder(m_model.get());
    QList<double> values, gaps;
    // The stall meter runs during every Tessary transfer of the figure; the recorder during
    // the pushes.
    const auto around = [&](TransferJob::Kind kind, bool starting) {
        const bool push = kind == TransferJob::Kind::toAndroid;
        if (starting) {
            meter.start();
            if (push)
                recorder.start();
            return;
        }
        meter.stop();
        m_stalls.append(meter.worst());
        if (push) {
            recorder.stop();
            values.append(recorder.distinctValues());
            gaps.append(recorder.largestGap());
        }
    };
    const CopyTimes times = timeBigFile(QStringLiteral("1"), around);

    QList<FigureRow> rows;
    if (wanted(1)) {
        rows << throughputRow(QStringLiteral("1a"), QStringLiteral("1 GiB push, queued job vs adb push"), times.push, times.pushBare, 0.97)
             << throughputRow(QStringLiteral("1b"), QStringLiteral("1 GiB pull, queued job vs adb pull"), times.pull, times.pullBare, 0.97);
    }
    if (wanted(6)) {
        const double worst = median(m_stalls);
        const double worstOfAll = *std::max_element(m_stalls.cbegin(), m_stalls.cend());
        rows << limitRow(QStringLiteral("6"), QStringLiteral("main-thread worst stall during figure 1 (10 ms timer)"),
                         QStringLiteral("%1 (worst of all runs %2)").arg(secondsText(worst), secondsText(worstOfAll)),
                         worst * 1000, QStringLiteral("—"), 16, QStringLiteral("ms"));
    }
    if (wanted(12)) {
        const double fewest = *std::min_element(values.cbegin(), values.cend());
        const double longest = *std::max_element(gaps.cbegin(), gaps.cend());
        rows << atLeastRow(QStringLiteral("12a"), QStringLiteral("distinct progress values during the 1 GiB push"),
                           QStringLiteral("%1 (fewest %2)").arg(median(values)).arg(fewest), median(values), 50)
             << limitRow(QStringLiteral("12b"), QStringLiteral("largest gap between two progress updates, 1 GiB push"),
                         QStringLiteral("%1 (longest %2)").arg(secondsText(median(gaps)), secondsText(longest)),
                         median(gaps), QStringLiteral("—"), 0.5, QStringLiteral("s"));
    }
    return rows;
}

QList<FigureRow> Bench::smallFilesFigures()
{
    const CopyTimes times = timeSmallFiles(QStringLiteral("2"));
    return {throughputRow(QStringLiteral("2a"), QStringLiteral("10,000 × 4 KiB folder push vs adb push"), times.push, times.pushBare, 0.95),
            throughputRow(QStringLiteral("2b"), QStringLiteral("10,000 × 4 KiB folder pull vs adb pull"), times.pull, times.pullBare, 0.95)};
}

QList<FigureRow> Bench::throttledFigures(int figure, double MBps)
{
    PhoneOptions options;
    options.model = QStringLiteral("Throttled %1").arg(MBps);
    options.throttleMBps = MBps;
    const QString serial = m_fixture->addPhone(options);
    if (serial.isEmpty())
        throw std::runtime_error(m_fixture->errorString().toStdString());
    usePhone(serial);
    const QString number = QString::number(figure);
    const QString link = QStringLiteral(" at %1 MB/s").arg(MBps);
    CopyTimes big, small;
    try {
        big = timeBigFile(number);
        small = timeSmallFiles(number);
    } catch (...) {
        usePhone(m_fastSerial);
        m_fixture->stopPhone(serial);
        throw;
    }
    usePhone(m_fastSerial);
    m_fixture->stopPhone(serial);
    return {throughputRow(number + QLatin1Char('a'), QStringLiteral("1 GiB push") + link, big.push, big.pushBare, 0.98),
            throughputRow(number + QLatin1Char('b'), QStringLiteral("1 GiB pull") + link, big.pull, big.pullBare, 0.98),
            throughputRow(number + QLatin1Char('c'), QStringLiteral("10,000 × 4 KiB folder push") + link, small.push, small.pushBare, 0.98),
            throughputRow(number + QLatin1Char('d'), QStringLiteral("10,000 × 4 KiB folder pull") + link, small.pull, small.pullBare, 0.98)};
}

QList<FigureRow> Bench::batchFigures()
{
    const int count = int(shrunk(batchCount));
    const QString local = m_home.filePath(QStringLiteral("Photos"));
    const QString remote = phoneBench + QStringLiteral("/Batch");
    progress(QStringLiteral("figure 9: writing 1,000 files of 20 kB"));
    writeFiles(local, count, batchFileSize, QStringLiteral("IMG_"), QStringLiteral(".jpg"));
    QStringList paths;
    for (const QString &name : QDir(local).entryList(QDir::Files, QDir::Name))
        paths << QDir(local).filePath(name);

    // As a user would copy them: both panes show the folders involved, and both are reloaded
    // after every job.
    const QString home = m_model->macPath();
    const QString phoneFolder = m_model->androidPath();
    m_model->setMacPath(local);
    m_model->reloadMac();

    QList<double> tessary, bare, stalls;
    StallMeter meter;
    for (int i = 0; i < m_options.runs; ++i) {
        const bool tessaryFirst = i % 2 == 0;
        for (int turn = 0; turn < 2; ++turn) {
            removePath(onPhone(remote));
            writeBackToDisk();
            QDir().mkpath(onPhone(remote));
            if ((turn == 0) == tessaryFirst) {
                m_model->clearFinishedTransfers();
                m_model->goAndroid(remote);
                waitUntil(*m_model, [this] { return !m_model->androidLoading(); }, batchWaitMs);
                meter.start();
                QElapsedTimer timer;
                timer.start();
                m_model->enqueue(paths, TransferJob::Kind::toAndroid, remote, false);
                const bool ended = waitUntil(*m_model, [&] {
                    const QList<TransferJob> jobs = m_model->transfers();
                    return jobs.size() == count && !m_model->workerRunning() && !m_model->androidLoading()
                        && std::none_of(jobs.cbegin(), jobs.cend(), [](const TransferJob &job) { return job.state.isActive(); });
                }, batchWaitMs);
                tessary.append(elapsedSeconds(timer));
                meter.stop();
                stalls.append(meter.worst());
                if (!ended)
                    throw std::runtime_error("the batch did not finish in time");
                const QList<TransferJob> jobs = m_model->transfers();
                if (std::any_of(jobs.cbegin(), jobs.cend(),
                                [](const TransferJob &job) { return job.state.value() != TransferJob::State::Case::done; }))
                    throw std::runtime_error("a job of the batch did not end done");
            } else {
                QElapsedTimer timer;
                timer.start();
                for (const QString &path : std::as_const(paths))
                    timeAdb({QStringLiteral("-s"), m_serial, QStringLiteral("push"), path, remote + QLatin1Char('/')});
                bare.append(elapsedSeconds(timer));
            }
        }
        progress(QStringLiteral("figure 9: run %1/%2: batch %3 (adb pushes %4), worst stall %5")
                     .arg(i + 1).arg(m_options.runs)
                     .arg(secondsText(tessary.last()), secondsText(bare.last()), secondsText(stalls.last())));
    }
    m_model->clearFinishedTransfers();
    m_model->setMacPath(home);
    m_model->reloadMac();
    m_model->goAndroid(phoneFolder);
    waitUntil(*m_model, [this] { return !m_model->androidLoading(); }, batchWaitMs);
    removePath(onPhone(remote));
    removePath(local);
    const double worst = median(stalls);
    return {slowdownRow(QStringLiteral("9a"), QStringLiteral("1,000 × 20 kB batch, queue vs 1,000 adb pushes"), tessary, bare, 2),
            limitRow(QStringLiteral("9b"), QStringLiteral("main-thread worst stall during figure 9a (10 ms timer)"),
                     secondsText(worst), worst * 1000, QStringLiteral("—"), 16, QStringLiteral("ms"))};
}

FigureRow Bench::cancelFigure()
{
    const QString local = m_home.filePath(QStringLiteral("cancel.bin"));
    const QString remote = phoneBench + QStringLiteral("/cancel.bin");
    progress(QStringLiteral("figure 8: writing a 1 GiB file"));
    writeBigFile(local, shrunk(bigSize));

    QList<double> latencies;
    for (int i = 0; i < m_options.runs; ++i) {
        removePath(onPhone(remote));
        m_model->clearFinishedTransfers();
        m_model->enqueue({local}, TransferJob::Kind::toAndroid, phoneBench, false);
        // Cancelled in full flow: once adb has moved a tenth of the file.
        std::optional<TransferJob> job;
        if (!waitUntil(*m_model, [&] {
                const QList<TransferJob> jobs = m_model->transfers();
                if (!jobs.isEmpty() && jobs.first().state.value() == TransferJob::State::Case::running
                    && jobs.first().progress >= 0.1)
                    job = jobs.first();
                return job.has_value();
            }, 120000))
            throw std::runtime_error("the push did not get going");
        QElapsedTimer timer;
        timer.start();
        m_model->cancelTransfer(job->id);
        const bool cancelled = waitUntil(*m_model, [&] {
            const QList<TransferJob> jobs = m_model->transfers();
            return !jobs.isEmpty() && jobs.first().state.isFinished();
        }, 60000);
        latencies.append(elapsedSeconds(timer));
        const TransferJob::State state = m_model->transfers().first().state;
        if (!cancelled || state.value() != TransferJob::State::Case::cancelled)
            throw std::runtime_error(("the push ended otherwise: " + state.message()).toStdString());
        waitIdle();
        progress(QStringLiteral("figure 8: run %1/%2: %3").arg(i + 1).arg(m_options.runs).arg(secondsText(latencies.last())));
    }
    removePath(onPhone(remote));
    removePath(local);
    const double latency = median(latencies);
    return limitRow(QStringLiteral("8"), QStringLiteral("cancelTransfer → cancelled during a 1 GiB push"),
                    secondsText(latency), latency, QStringLiteral("—"), 1, QStringLiteral("s"));
}
