#pragma once

#include "model/transfer/TransferJob.h"

#include <QWidget>
#include <functional>

class QAbstractItemModel;
class QListView;
class QPushButton;
class TransferRowDelegate;

// The transfers panel: a header with "Cancel all" (only while something is active) and
// "Clear finished", over a scrolling list of bounded height with one painted row per job.
class TransfersView : public QWidget
{
    Q_OBJECT

public:
    TransfersView(QAbstractItemModel *jobs, std::function<TransferJob(const QModelIndex &)> jobAt,
                  QWidget *parent = nullptr);

    void setHasActiveTransfers(bool active);

    QListView *list() const { return m_list; }
    QPushButton *cancelAllButton() const { return m_cancelAll; }
    QPushButton *clearFinishedButton() const { return m_clearFinished; }
    TransferRowDelegate *delegate() const { return m_delegate; }

signals:
    void cancelAllRequested();
    void clearFinishedRequested();
    void cancelRequested(const QUuid &id);
    void retryRequested(const QUuid &id);

private:
    QListView *m_list;
    QPushButton *m_cancelAll;
    QPushButton *m_clearFinished;
    TransferRowDelegate *m_delegate;
};
