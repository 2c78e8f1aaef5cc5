#pragma once

#include "model/transfer/TransferJob.h"

#include <QAbstractListModel>
#include <QPointer>

class AppModel;

// A list model over the transfer rows, newest first. Every change of the rows arrives as
// a whole new list; it is applied as row removals, row insertions and dataChanged of the
// rows that differ, so a running job repaints one row and views keep their selection.
class TransferListModel : public QAbstractListModel
{
    Q_OBJECT
public:
    enum Role {
        IdRole = Qt::UserRole + 1, // QUuid
        KindRole,                  // int of TransferJob::Kind
        ProgressRole,              // double 0…1
        StateRole,                 // int of TransferJob::State::Case
        FailureRole,               // the failed state's message, else empty
        DetailRole,
        IndeterminateRole,
        RetryableRole,             // has a spec and is failed or cancelled
        JobRole,                   // the whole TransferJob
    };

    explicit TransferListModel(QObject *parent = nullptr);
    // Follows the model's transfers from now on.
    explicit TransferListModel(AppModel *model, QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QHash<int, QByteArray> roleNames() const override;

    const QList<TransferJob> &jobs() const { return m_jobs; }
    TransferJob jobAt(int row) const { return m_jobs.value(row); }
    int rowOf(const QUuid &id) const;

    void setJobs(const QList<TransferJob> &jobs);

private:
    // Takes the rows of `jobs` (the same rows in the same order) that changed.
    void updateChangedRows(const QList<TransferJob> &jobs);

    QList<TransferJob> m_jobs;
};
