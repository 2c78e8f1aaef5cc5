// Figures 1, 2, 6 and 8: transfers through the model's queue beside bare adb push and pull.
#include "Bench.h"

#include "Content.h"
#include "StallMeter.h"
#include "Wait.h"

#include "PhoneFixture.h"

#include "model/AppModel.h"

#include <QDir>

#include <algorithm>
#include <cstdio>
#include <stdexcept>

namespace {

constexpr qint64 bigSize = qint64(1) << 30;
constexpr int smallCount = 10000;
constexpr qint64 smallSize = 4096;
const QString phoneBench = QStringLiteral("/storage/emulated/0/Bench");

void progress(const QString &text)
{
    std::fprintf(stderr, "%s\n", qPrintable(text));
}

} // namespace

QList<FigureRow> Bench::bigFileFigures()
{
    const QString local = m_home.filePath(QStringLiteral("big.bin"));
    const QString pulls = m_home.filePath(QStringLiteral("pulled"));
    const QString remote = phoneBench + QStringLiteral("/big.bin");
    progress(QStringLiteral("figure 1: writing a 1 GiB file"));
    writeBigFile(local, bigSize);
    QDir().mkpath(pulls);

    QList<double> push, pushBare, pull, pullBare;
    StallMeter meter;
    const auto tessary = [&](const QString &source, TransferJob::Kind kind, const QString &dest) {
        meter.start();
        const double seconds = timeJob(source, kind, dest);
        meter.stop();
        m_stalls.append(meter.worst());
        return seconds;
    };
    for (int i = 0; i < m_options.runs; ++i) {
        // Tessary and bare adb take turns going first.
        const bool tessaryFirst = i % 2 == 0;
        for (int turn = 0; turn < 2; ++turn) {
            removePath(onPhone(remote));
            if ((turn == 0) == tessaryFirst)
                push.append(tessary(local, TransferJob::Kind::toAndroid, phoneBench));
            else
                pushBare.append(timeAdb({QStringLiteral("-s"), m_serial, QStringLiteral("push"), local, phoneBench}));
        }
        for (int turn = 0; turn < 2; ++turn) {
            removePath(pulls + QStringLiteral("/big.bin"));
            if ((turn == 0) == tessaryFirst)
                pull.append(tessary(remote, TransferJob::Kind::toMac, pulls));
            else
                pullBare.append(timeAdb({QStringLiteral("-s"), m_serial, QStringLiteral("pull"), remote, pulls}));
        }
        progress(QStringLiteral("figure 1: run %1/%2: push %3 (adb %4), pull %5 (adb %6)")
                     .arg(i + 1).arg(m_options.runs)
                     .arg(secondsText(push.last()), secondsText(pushBare.last()),
                          secondsText(pull.last()), secondsText(pullBare.last())));
    }
    removePath(onPhone(remote));
    removePath(pulls);
    removePath(local);

    QList<FigureRow> rows;
    if (wanted(1)) {
        rows << throughputRow(QStringLiteral("1a"), QStringLiteral("1 GiB push, queued job vs adb push"), push, pushBare, 0.97)
             << throughputRow(QStringLiteral("1b"), QStringLiteral("1 GiB pull, queued job vs adb pull"), pull, pullBare, 0.97);
    }
    if (wanted(6)) {
        const double worst = median(m_stalls);
        const double worstOfAll = *std::max_element(m_stalls.cbegin(), m_stalls.cend());
        rows << limitRow(QStringLiteral("6"), QStringLiteral("main-thread worst stall during figure 1 (10 ms timer)"),
                         QStringLiteral("%1 (worst of all runs %2)").arg(secondsText(worst), secondsText(worstOfAll)),
                         worst * 1000, QStringLiteral("—"), 50, QStringLiteral("ms"));
    }
    return rows;
}

QList<FigureRow> Bench::smallFilesFigures()
{
    const QString name = QStringLiteral("SmallFiles");
    const QString local = m_home.filePath(name);
    const QString pulls = m_home.filePath(QStringLiteral("pulled"));
    const QString remote = phoneBench + QLatin1Char('/') + name;
    progress(QStringLiteral("figure 2: writing 10,000 files of 4 KiB"));
    writeFiles(local, smallCount, smallSize, QStringLiteral("IMG_"), QStringLiteral(".jpg"));
    QDir().mkpath(pulls);

    QList<double> push, pushBare, pull, pullBare;
    for (int i = 0; i < m_options.runs; ++i) {
        const bool tessaryFirst = i % 2 == 0;
        for (int turn = 0; turn < 2; ++turn) {
            removePath(onPhone(remote));
            if ((turn == 0) == tessaryFirst)
                push.append(timeJob(local, TransferJob::Kind::toAndroid, phoneBench));
            else
                pushBare.append(timeAdb({QStringLiteral("-s"), m_serial, QStringLiteral("push"), local, phoneBench}));
        }
        for (int turn = 0; turn < 2; ++turn) {
            removePath(pulls + QLatin1Char('/') + name);
            if ((turn == 0) == tessaryFirst)
                pull.append(timeJob(remote, TransferJob::Kind::toMac, pulls));
            else
                pullBare.append(timeAdb({QStringLiteral("-s"), m_serial, QStringLiteral("pull"), remote, pulls}));
        }
        progress(QStringLiteral("figure 2: run %1/%2: push %3 (adb %4), pull %5 (adb %6)")
                     .arg(i + 1).arg(m_options.runs)
                     .arg(secondsText(push.last()), secondsText(pushBare.last()),
                          secondsText(pull.last()), secondsText(pullBare.last())));
    }
    removePath(onPhone(remote));
    removePath(pulls);
    removePath(local);
    return {throughputRow(QStringLiteral("2a"), QStringLiteral("10,000 × 4 KiB folder push vs adb push"), push, pushBare, 0.90),
            throughputRow(QStringLiteral("2b"), QStringLiteral("10,000 × 4 KiB folder pull vs adb pull"), pull, pullBare, 0.90)};
}

FigureRow Bench::cancelFigure()
{
    const QString local = m_home.filePath(QStringLiteral("cancel.bin"));
    const QString remote = phoneBench + QStringLiteral("/cancel.bin");
    progress(QStringLiteral("figure 8: writing a 1 GiB file"));
    writeBigFile(local, bigSize);

    QList<double> latencies;
    for (int i = 0; i < m_options.runs; ++i) {
        removePath(onPhone(remote));
        m_model->clearFinishedTransfers();
        m_model->enqueue({local}, TransferJob::Kind::toAndroid, phoneBench, false);
        // Cancelled in full flow: once adb has moved a tenth of the file.
        std::optional<TransferJob> job;
        if (!waitUntil([&] {
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
        const bool cancelled = waitUntil([&] {
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
