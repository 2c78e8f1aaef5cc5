// The transfer list's operations: cancel, retry, clear, and the row helpers the engine uses.
#include "model/AppModel.h"

#include "bridge/CancelToken.h"

#include <algorithm>
#include <iterator>

void AppModel::insertJob(const TransferJob &job)
{
    insertJobs({job});
}

void AppModel::insertJobs(const QList<TransferJob> &batch)
{
    QList<TransferJob> jobs;
    jobs.reserve(batch.size() + m_transfers.size());
    std::reverse_copy(batch.cbegin(), batch.cend(), std::back_inserter(jobs));
    jobs.append(m_transfers);
    setTransfers(jobs);
}

void AppModel::updateJob(const QUuid &id, const std::function<void(TransferJob &)> &change)
{
    for (qsizetype row = 0; row < m_transfers.size(); ++row) {
        if (m_transfers.at(row).id != id)
            continue;
        TransferJob job = m_transfers.at(row);
        change(job);
        if (job == m_transfers.at(row))
            return;
        QList<TransferJob> jobs = m_transfers;
        jobs[row] = job;
        setTransfers(jobs);
        return;
    }
}

void AppModel::cancelTransfer(const QUuid &id)
{
    const qsizetype removed =
        m_queue.removeIf([&id](const PendingTransfer &item) { return item.jobID == id; });
    if (removed > 0) {
        updateJob(id, [](TransferJob &job) { job.state = TransferJob::State::cancelled(); });
        return;
    }
    // A running job is marked by its worker once the terminated run has ended.
    if (const CancelTokenPtr token = m_tokens.value(id))
        token->cancel();
}

void AppModel::cancelAllTransfers()
{
    const QList<TransferJob> jobs = m_transfers;
    for (const TransferJob &job : jobs) {
        if (job.state.isActive())
            cancelTransfer(job.id);
    }
}

void AppModel::retryTransfer(const QUuid &id)
{
    for (const TransferJob &job : std::as_const(m_transfers)) {
        if (job.id != id)
            continue;
        const auto state = job.state.value();
        if (!job.spec
            || (state != TransferJob::State::Case::failed
                && state != TransferJob::State::Case::cancelled))
            return;
        const TransferSpec spec = *job.spec;
        updateJob(id, [](TransferJob &row) {
            row.state = TransferJob::State::queued();
            row.progress = 0.0;
        });
        m_queue.append({id, spec});
        startWorker();
        return;
    }
}

void AppModel::clearFinishedTransfers()
{
    QList<TransferJob> jobs = m_transfers;
    jobs.removeIf([](const TransferJob &job) { return job.state.isFinished(); });
    if (jobs.size() != m_transfers.size())
        setTransfers(jobs);
}

bool AppModel::hasActiveTransfers() const
{
    return std::any_of(m_transfers.cbegin(), m_transfers.cend(),
                       [](const TransferJob &job) { return job.state.isActive(); });
}
