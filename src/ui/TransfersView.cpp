#include "ui/TransfersView.h"

#include "ui/TransferRowDelegate.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QListView>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

TransfersView::TransfersView(QAbstractItemModel *jobs, std::function<TransferJob(const QModelIndex &)> jobAt,
                             QWidget *parent)
    : QWidget(parent), m_jobAt(jobAt), m_list(new QListView(this)), m_cancelAll(new QPushButton(QStringLiteral("Cancel all"), this)),
      m_clearFinished(new QPushButton(QStringLiteral("Clear finished"), this)),
      m_delegate(new TransferRowDelegate(std::move(jobAt), this))
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    auto *header = new QHBoxLayout;
    header->setContentsMargins(10, 6, 10, 6);
    auto *title = new QLabel(QStringLiteral("Transfers"), this);
    QFont bold = title->font();
    bold.setBold(true);
    title->setFont(bold);
    header->addWidget(title);
    header->addStretch(1);
    for (QPushButton *button : {m_cancelAll, m_clearFinished}) {
        button->setFlat(true);
        button->setCursor(Qt::PointingHandCursor);
        header->addWidget(button);
    }
    m_cancelAll->hide();
    connect(m_cancelAll, &QPushButton::clicked, this, &TransfersView::cancelAllRequested);
    connect(m_clearFinished, &QPushButton::clicked, this, &TransfersView::clearFinishedRequested);
    layout->addLayout(header);

    m_list->setModel(jobs);
    m_list->setItemDelegate(m_delegate);
    m_list->setSelectionMode(QAbstractItemView::NoSelection);
    m_list->setFrameShape(QFrame::NoFrame);
    m_list->setUniformItemSizes(true);
    m_list->setMouseTracking(true);
    // As tall as its rows, between one and about six rows: a long list scrolls instead of
    // pushing the panes away.
    m_list->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    layout->addWidget(m_list);
    auto fit = [this, jobs] {
        const int row = m_list->sizeHintForRow(0) > 0 ? m_list->sizeHintForRow(0) : 26;
        const int rows = std::clamp(jobs->rowCount(), 1, 6);
        m_list->setFixedHeight(rows * row + 2 * m_list->frameWidth());
    };
    connect(jobs, &QAbstractItemModel::rowsInserted, this, fit);
    connect(jobs, &QAbstractItemModel::rowsRemoved, this, fit);
    connect(jobs, &QAbstractItemModel::modelReset, this, fit);
    fit();

    connect(m_delegate, &TransferRowDelegate::cancelRequested, this, &TransfersView::cancelRequested);
    connect(m_delegate, &TransferRowDelegate::retryRequested, this, &TransfersView::retryRequested);
    connect(m_delegate, &TransferRowDelegate::failureClicked, this, &TransfersView::showFailure);
    connect(m_list, &QListView::activated, this, &TransfersView::showFailure);
}

QMessageBox *TransfersView::failureAlert() const
{
    return m_failure;
}

void TransfersView::showFailure(const QModelIndex &index)
{
    const TransferJob job = m_jobAt(index);
    if (job.state.value() != TransferJob::State::Case::failed)
        return;
    if (m_failure)
        m_failure->close();
    auto *box = new QMessageBox(this);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setIcon(QMessageBox::Warning);
    box->setWindowTitle(QStringLiteral("Transfer failed"));
    box->setTextFormat(Qt::PlainText);
    box->setText(job.name);
    box->setInformativeText(job.state.message());
    // The reason is what adb said: shown as written, and selectable to be copied.
    if (auto *label = box->findChild<QLabel *>(QStringLiteral("qt_msgbox_informativelabel"))) {
        label->setTextFormat(Qt::PlainText);
        label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    }
    box->setStyleSheet(QStringLiteral("QLabel#qt_msgbox_label { font-weight: bold; }"
                                      "QLabel#qt_msgbox_informativelabel { min-width: 360px; }"));
    box->setStandardButtons(QMessageBox::Ok);
    box->setWindowModality(Qt::WindowModal);
    m_failure = box;
    box->open();
}

void TransfersView::setHasActiveTransfers(bool active)
{
    m_cancelAll->setVisible(active);
}
