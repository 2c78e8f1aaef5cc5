#pragma once

#include "model/transfer/TransferJob.h"

#include <QElapsedTimer>
#include <QPointer>
#include <QStyledItemDelegate>
#include <QTimer>
#include <functional>

class QAbstractItemView;

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
    // A click on a failed row, anywhere but its control: the whole reason is wanted.
    void failureClicked(const QModelIndex &index);

private:
    // Keeps an indeterminate bar moving: repaints the view while such a bar was painted
    // since the last frame, and stops once none is.
    void animate(const QWidget *view) const;
    void nextFrame();

    std::function<TransferJob(const QModelIndex &)> m_jobAt;
    QElapsedTimer m_clock;
    mutable QTimer m_frames;
    mutable QPointer<QAbstractItemView> m_animatedView;
    mutable bool m_paintedIndeterminate = false;
};
