#include "model/transfer/TransferListModel.h"

#include "model/AppModel.h"

#include <QSet>

#include <algorithm>

TransferListModel::TransferListModel(QObject *parent) : QAbstractListModel(parent) {}

TransferListModel::TransferListModel(AppModel *model, QObject *parent)
    : QAbstractListModel(parent)
{
    m_jobs = model->transfers();
    connect(model, &AppModel::transfersChanged, this,
            [this, model] { setJobs(model->transfers()); });
}

int TransferListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_jobs.size());
}

QVariant TransferListModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_jobs.size())
        return {};
    const TransferJob &job = m_jobs.at(index.row());
    switch (role) {
    case Qt::DisplayRole:
        return job.name;
    case IdRole:
        return job.id;
    case KindRole:
        return int(job.kind);
    case ProgressRole:
        return job.progress;
    case StateRole:
        return int(job.state.value());
    case FailureRole:
        return job.state.message();
    case DetailRole:
        return job.detail;
    case IndeterminateRole:
        return job.indeterminate;
    case RetryableRole:
        return job.spec.has_value()
            && (job.state.value() == TransferJob::State::Case::failed
                || job.state.value() == TransferJob::State::Case::cancelled);
    case JobRole:
        return QVariant::fromValue(job);
    default:
        return {};
    }
}

QHash<int, QByteArray> TransferListModel::roleNames() const
{
    QHash<int, QByteArray> names = QAbstractListModel::roleNames();
    names.insert(IdRole, "id");
    names.insert(KindRole, "kind");
    names.insert(ProgressRole, "progress");
    names.insert(StateRole, "state");
    names.insert(FailureRole, "failure");
    names.insert(DetailRole, "detail");
    names.insert(IndeterminateRole, "indeterminate");
    names.insert(RetryableRole, "retryable");
    names.insert(JobRole, "job");
    return names;
}

int TransferListModel::rowOf(const QUuid &id) const
{
    for (int row = 0; row < m_jobs.size(); ++row) {
        if (m_jobs.at(row).id == id)
            return row;
    }
    return -1;
}

void TransferListModel::setJobs(const QList<TransferJob> &jobs)
{
    // Most changes are a row's progress or state: the same rows in the same order.
    const bool sameRows = m_jobs.size() == jobs.size()
        && std::equal(m_jobs.cbegin(), m_jobs.cend(), jobs.cbegin(),
                      [](const TransferJob &a, const TransferJob &b) { return a.id == b.id; });
    if (sameRows) {
        updateChangedRows(jobs);
        return;
    }

    QSet<QUuid> newIds;
    for (const TransferJob &job : jobs)
        newIds.insert(job.id);

    // Rows that left the list, from the bottom up so the rows above keep their numbers.
    for (int row = int(m_jobs.size()) - 1; row >= 0; --row) {
        if (!newIds.contains(m_jobs.at(row).id)) {
            beginRemoveRows({}, row, row);
            m_jobs.removeAt(row);
            endRemoveRows();
        }
    }

    // Rows that arrived, at their place in the new order.
    QSet<QUuid> oldIds;
    for (const TransferJob &job : std::as_const(m_jobs))
        oldIds.insert(job.id);
    // A run of arrivals (a whole batch) is one insertion.
    for (int row = 0; row < jobs.size();) {
        if (oldIds.contains(jobs.at(row).id)) {
            ++row;
            continue;
        }
        int end = row + 1;
        while (end < jobs.size() && !oldIds.contains(jobs.at(end).id))
            ++end;
        const int at = std::min(row, int(m_jobs.size()));
        beginInsertRows({}, at, at + (end - row) - 1);
        m_jobs.insert(at, end - row, TransferJob());
        std::copy(jobs.cbegin() + row, jobs.cbegin() + end, m_jobs.begin() + at);
        endInsertRows();
        row = end;
    }

    // The same rows must now stand in the same order; otherwise the list was reordered.
    bool sameOrder = m_jobs.size() == jobs.size();
    for (int row = 0; sameOrder && row < jobs.size(); ++row)
        sameOrder = m_jobs.at(row).id == jobs.at(row).id;
    if (!sameOrder) {
        beginResetModel();
        m_jobs = jobs;
        endResetModel();
        return;
    }
    updateChangedRows(jobs);
}

void TransferListModel::updateChangedRows(const QList<TransferJob> &jobs)
{
    for (int row = 0; row < jobs.size(); ++row) {
        if (!(m_jobs.at(row) == jobs.at(row))) {
            m_jobs[row] = jobs.at(row);
            emit dataChanged(index(row), index(row));
        }
    }
}
