#pragma once

#include "model/transfer/TransferJob.h"

#include <QStyledItemDelegate>
#include <functional>

// Paints one transfer row: kind icon, name, status (waiting, detail + 140-point bar +
// percentage, done, cancelled, or the failure) and the cancel or retry button, and turns a
// click on that button into a signal.
class TransferRowDelegate : public QStyledItemDelegate
{
    Q_OBJECT

public:
    enum class Button { none, cancel, retry };

    // Reads the job behind a row of the list's model.
    explicit TransferRowDelegate(std::function<TransferJob(const QModelIndex &)> jobAt, QObject *parent = nullptr);

    // Which control a job's row carries: cancel while queued or running, retry when it failed
    // or was cancelled and can be made again.
    static Button buttonFor(const TransferJob &job);
    // Where that control sits in a row's rectangle.
    static QRect buttonRect(const QRect &row);

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    bool editorEvent(QEvent *event, QAbstractItemModel *model, const QStyleOptionViewItem &option,
                     const QModelIndex &index) override;
    bool helpEvent(QHelpEvent *event, QAbstractItemView *view, const QStyleOptionViewItem &option,
                   const QModelIndex &index) override;

signals:
    void cancelRequested(const QUuid &id);
    void retryRequested(const QUuid &id);

private:
    std::function<TransferJob(const QModelIndex &)> m_jobAt;
};
