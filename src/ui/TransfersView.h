#pragma once

#include "model/transfer/TransferJob.h"

#include <QPointer>
#include <QWidget>
#include <functional>

class QAbstractItemModel;
class QListView;
class QMessageBox;
class QPushButton;
class TransferRowDelegate;

// The transfers panel: a header with "Cancel all" (only while something is active) and
// "Clear finished", over a scrolling list of bounded height with one painted row per job.
// A failed row, clicked or activated from the keyboard, shows its whole reason in an alert.
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
    // The open "Transfer failed" alert, if any.
    QMessageBox *failureAlert() const;

signals:
    void cancelAllRequested();
    void clearFinishedRequested();
    void cancelRequested(const QUuid &id);
    void retryRequested(const QUuid &id);

private:
    void showFailure(const QModelIndex &index);

    std::function<TransferJob(const QModelIndex &)> m_jobAt;
    QListView *m_list;
    QPushButton *m_cancelAll;
    QPushButton *m_clearFinished;
    TransferRowDelegate *m_delegate;
    QPointer<QMessageBox> m_failure;
};
