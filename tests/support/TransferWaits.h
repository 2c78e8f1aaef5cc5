#pragma once

#include "model/AppModel.h"

#include <QStringList>
#include <QTest>

// What a test waits for after handing work to the transfer queue: the outcome, never a
// passing state. The list holds `rows` rows, none of them queued or running, and the worker
// has ended. (Waiting to see the worker running first misses a job that starts and ends
// between two looks; waiting only for "nothing active" passes before a batch's rows exist.)
inline bool transfersFinished(const AppModel &model, qsizetype rows)
{
    const QList<TransferJob> jobs = model.transfers();
    return jobs.size() == rows && !model.workerRunning()
        && std::none_of(jobs.cbegin(), jobs.cend(), [](const TransferJob &job) { return job.state.isActive(); });
}

inline bool waitForFinishedTransfers(const AppModel &model, qsizetype rows, int timeoutMs = 120000)
{
    return QTest::qWaitFor([&] { return transfersFinished(model, rows); }, timeoutMs);
}

// The transfer list as one line per row, for failure messages.
inline QString describeTransfers(const AppModel &model)
{
    static const char *const names[] = {"queued", "running", "done", "cancelled", "failed"};
    QStringList lines{QStringLiteral("worker running: %1").arg(model.workerRunning())};
    for (const TransferJob &job : model.transfers()) {
        lines << QStringLiteral("%1: %2 %3 %4")
                     .arg(job.name, QLatin1String(names[int(job.state.value())]), job.state.message(), job.detail);
    }
    return lines.join(QLatin1Char('\n'));
}

// In a test function: waits for that outcome, and fails the test with the list when it does not come.
#define QVERIFY_TRANSFERS_FINISHED(model, rows) \
    QVERIFY2(waitForFinishedTransfers((model), (rows)), qPrintable(describeTransfers(model)))
