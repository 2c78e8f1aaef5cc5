// Figure 7: the resident set size of the app with 100,000 rows in the phone pane, beside the
// same app with an empty pane. Each measurement is a fresh process, so nothing an earlier
// figure allocated counts.
#include "Bench.h"

#include "Wait.h"

#include "PhoneFixture.h"

#include "model/AppModel.h"
#include "ui/MainWindow.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>

#include <cstdio>
#include <stdexcept>

namespace {

constexpr int childWaitMs = 120000;

// The VmRSS line of /proc/self/status, in KiB.
qint64 residentKiB()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    const QRegularExpression line(QStringLiteral("^VmRSS:\\s+(\\d+) kB"), QRegularExpression::MultilineOption);
    const QRegularExpressionMatch match = line.match(QString::fromLatin1(status.readAll()));
    return match.hasMatch() ? match.captured(1).toLongLong() : -1;
}

} // namespace

int memoryChild(const QString &serial, const QString &phonePath, int rows)
{
    AppModel model;
    MainWindow window(&model);
    window.resize(1200, 800);
    window.show();
    if (!waitUntil(model, [&] { return model.readyDevice().has_value(); }, childWaitMs))
        return 2;
    model.setSelectedSerial(serial);
    model.goAndroid(phonePath);
    if (!waitUntil(model, [&] {
            return model.androidPath() == phonePath && !model.androidLoading()
                && model.androidItems().size() == rows;
        }, childWaitMs))
        return 3;
    // The pane lays out and paints its rows before the measurement.
    spin(1000);
    std::printf("rss-kib %lld\n", static_cast<long long>(residentKiB()));
    return 0;
}

FigureRow Bench::memoryFigure()
{
    const QString crowded = crowdedPhoneFolder();
    const QString empty = QStringLiteral("/storage/emulated/0/Bench/Empty");
    QDir().mkpath(onPhone(empty));

    const auto measure = [this](const QString &path, int rows) {
        QProcess child;
        child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        child.start(QCoreApplication::applicationFilePath(),
                    {QStringLiteral("--memory-child"), m_serial, path, QString::number(rows)});
        if (!child.waitForFinished(childWaitMs) || child.exitCode() != 0)
            throw std::runtime_error(QStringLiteral("the measuring process failed (status %1)")
                                         .arg(child.exitCode()).toStdString());
        const QString output = QString::fromUtf8(child.readAllStandardOutput()).trimmed();
        if (!output.startsWith(QLatin1String("rss-kib ")))
            throw std::runtime_error("the measuring process printed no size");
        return output.mid(8).toDouble() * 1024 / 1e6;
    };
    QList<double> full, bare;
    for (int i = 0; i < m_options.runs; ++i) {
        bare.append(measure(empty, 0));
        full.append(measure(crowded, int(shrunk(100000))));
        std::fprintf(stderr, "figure 7: run %d/%d: %.1f MB with 100,000 rows, %.1f MB empty\n", i + 1,
                     m_options.runs, full.last(), bare.last());
    }
    const double added = median(full) - median(bare);
    return limitRow(QStringLiteral("7"), QStringLiteral("RSS with 100,000 phone rows vs an empty pane"),
                    QStringLiteral("%1 MB (+%2 MB)").arg(median(full), 0, 'f', 1).arg(added, 0, 'f', 1),
                    added, QStringLiteral("%1 MB").arg(median(bare), 0, 'f', 1), 150, QStringLiteral("MB"));
}
