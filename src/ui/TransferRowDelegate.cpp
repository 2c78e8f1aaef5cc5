#include "ui/TransferRowDelegate.h"

#include "ui/Colors.h"
#include "ui/Icons.h"
#include "ui/Texts.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QHelpEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QToolTip>

namespace {

constexpr int kMargin = 8;
constexpr int kIconFrame = 18;
constexpr int kBarWidth = 140;
constexpr int kPercentWidth = 40;
constexpr int kButton = 20;
constexpr int kGap = 8;
constexpr int kFrameMs = 33;
constexpr int kSweepMs = 1400;

QString kindSymbol(TransferKind kind)
{
    switch (kind) {
    case TransferKind::toAndroid:
        return QStringLiteral("arrow.right");
    case TransferKind::toMac:
        return QStringLiteral("arrow.left");
    case TransferKind::install:
        return QStringLiteral("square.and.arrow.down.on.square");
    case TransferKind::backup:
        return QStringLiteral("photo.on.rectangle.angled");
    }
    return {};
}

QFont captionFont(const QFont &base)
{
    QFont f = base;
    f.setPointSizeF(base.pointSizeF() * 0.9);
    return f;
}

// An icon and a text, left-aligned in rect, in one colour.
void drawLabel(QPainter *p, const QRect &rect, const QString &symbol, const QString &text, const QColor &color)
{
    const QRect iconRect(rect.left(), rect.center().y() - 7, 14, 14);
    p->drawPixmap(iconRect, Icons::icon(symbol).pixmap(14, 14));
    p->setPen(color);
    const QRect textRect = rect.adjusted(20, 0, 0, 0);
    p->drawText(textRect, Qt::AlignVCenter | Qt::AlignLeft,
                p->fontMetrics().elidedText(text, Qt::ElideRight, textRect.width()));
}

} // namespace

TransferRowDelegate::TransferRowDelegate(std::function<TransferJob(const QModelIndex &)> jobAt, QObject *parent)
    : QStyledItemDelegate(parent), m_jobAt(std::move(jobAt))
{
    m_clock.start();
    m_frames.setInterval(kFrameMs);
    connect(&m_frames, &QTimer::timeout, this, &TransferRowDelegate::nextFrame);
}

void TransferRowDelegate::animate(const QWidget *view) const
{
    m_paintedIndeterminate = true;
    m_animatedView = qobject_cast<QAbstractItemView *>(const_cast<QWidget *>(view));
    if (!m_frames.isActive())
        m_frames.start();
}

void TransferRowDelegate::nextFrame()
{
    if (!m_paintedIndeterminate || !m_animatedView) {
        m_frames.stop();
        return;
    }
    m_paintedIndeterminate = false;
    m_animatedView->viewport()->update();
}

TransferRowDelegate::Button TransferRowDelegate::buttonFor(const TransferJob &job)
{
    using Case = TransferJob::State::Case;
    switch (job.state.value()) {
    case Case::queued:
    case Case::running:
        return Button::cancel;
    case Case::failed:
    case Case::cancelled:
        return job.spec ? Button::retry : Button::none;
    case Case::done:
        break;
    }
    return Button::none;
}

QRect TransferRowDelegate::buttonRect(const QRect &row)
{
    return {row.right() - kMargin - kButton + 1, row.center().y() - kButton / 2, kButton, kButton};
}

QSize TransferRowDelegate::sizeHint(const QStyleOptionViewItem &option, const QModelIndex &) const
{
    return {400, qMax(26, QFontMetrics(captionFont(option.font)).height() + 12)};
}

void TransferRowDelegate::paint(QPainter *p, const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    using Case = TransferJob::State::Case;
    const TransferJob job = m_jobAt(index);
    const QRect row = option.rect;
    const QPalette &pal = option.palette;
    const QColor secondary = pal.color(QPalette::PlaceholderText);

    p->save();
    if (index.row() % 2 == 1)
        p->fillRect(row, pal.color(QPalette::AlternateBase));
    p->setFont(captionFont(option.font));

    // Kind icon in its 18-point frame.
    const QRect iconFrame(row.left() + kMargin, row.top(), kIconFrame, row.height());
    const QRect iconRect(iconFrame.center().x() - 7, iconFrame.center().y() - 7, 14, 14);
    p->drawPixmap(iconRect, Icons::icon(kindSymbol(job.kind)).pixmap(14, 14));

    // The control at the far right, then the status, then the name in what is left.
    const QRect button = buttonRect(row);
    const int statusRight = button.left() - kGap;
    const int nameLeft = iconFrame.right() + kGap;
    const int available = statusRight - nameLeft;
    const int nameWidth = qMax(80, available * 2 / 5);
    const QRect nameRect(nameLeft, row.top(), nameWidth, row.height());
    const QRect status(nameRect.right() + kGap, row.top(), statusRight - nameRect.right() - kGap, row.height());

    p->setPen(pal.color(QPalette::Text));
    p->drawText(nameRect, Qt::AlignVCenter | Qt::AlignLeft,
                p->fontMetrics().elidedText(job.name, Qt::ElideMiddle, nameRect.width()));

    switch (job.state.value()) {
    case Case::queued:
        p->setPen(secondary);
        p->drawText(status, Qt::AlignVCenter | Qt::AlignLeft, QStringLiteral("Waiting…"));
        break;
    case Case::running: {
        int right = status.right();
        if (!job.indeterminate) {
            const QRect pct(right - kPercentWidth + 1, row.top(), kPercentWidth, row.height());
            p->setPen(pal.color(QPalette::Text));
            p->drawText(pct, Qt::AlignVCenter | Qt::AlignRight, Texts::percent(job.progress));
            right = pct.left() - 4;
        }
        const QRect bar(right - kBarWidth + 1, row.center().y() - 3, kBarWidth, 6);
        const int permille = int(qBound(0.0, job.progress, 1.0) * 1000);
        // Thin rounded track and fill, like a linear progress view.
        p->setRenderHint(QPainter::Antialiasing);
        p->setPen(Qt::NoPen);
        QColor track = pal.color(QPalette::Text);
        track.setAlphaF(0.12f);
        p->setBrush(track);
        p->drawRoundedRect(bar, 3, 3);
        p->setBrush(pal.color(QPalette::Highlight));
        if (job.indeterminate) {
            // A third of the track sweeps across it, entering on the left and leaving on the right.
            const int segment = bar.width() / 3;
            const int travel = bar.width() + segment;
            const int offset = int(m_clock.elapsed() % kSweepMs * travel / kSweepMs) - segment;
            p->save();
            QPainterPath track;
            track.addRoundedRect(bar, 3, 3);
            p->setClipPath(track);
            p->drawRoundedRect(QRect(bar.left() + offset, bar.top(), segment, bar.height()), 3, 3);
            p->restore();
            animate(option.widget);
        } else if (permille > 0) {
            p->drawRoundedRect(QRect(bar.left(), bar.top(), qMax(6, bar.width() * permille / 1000), bar.height()), 3, 3);
        }
        if (!job.detail.isEmpty()) {
            const QRect detail(status.left(), row.top(), bar.left() - kGap - status.left(), row.height());
            p->setPen(secondary);
            p->drawText(detail, Qt::AlignVCenter | Qt::AlignRight,
                        p->fontMetrics().elidedText(job.detail, Qt::ElideLeft, detail.width()));
        }
        break;
    }
    case Case::done:
        drawLabel(p, status, QStringLiteral("checkmark.circle.fill"), QStringLiteral("Done"), Colors::success());
        break;
    case Case::cancelled:
        drawLabel(p, status, QStringLiteral("slash.circle"), QStringLiteral("Cancelled"), secondary);
        break;
    case Case::failed:
        drawLabel(p, status, QStringLiteral("xmark.octagon.fill"), job.state.message(), Colors::failure());
        break;
    }

    switch (buttonFor(job)) {
    case Button::cancel:
        p->drawPixmap(button.adjusted(2, 2, -2, -2), Icons::icon(QStringLiteral("xmark.circle.fill")).pixmap(16, 16));
        break;
    case Button::retry:
        p->drawPixmap(button.adjusted(2, 2, -2, -2), Icons::icon(QStringLiteral("arrow.clockwise.circle.fill")).pixmap(16, 16));
        break;
    case Button::none:
        break;
    }
    p->restore();
}

bool TransferRowDelegate::editorEvent(QEvent *event, QAbstractItemModel *model, const QStyleOptionViewItem &option,
                                      const QModelIndex &index)
{
    if (event->type() == QEvent::MouseButtonRelease) {
        auto *mouse = static_cast<QMouseEvent *>(event);
        if (mouse->button() == Qt::LeftButton && buttonRect(option.rect).contains(mouse->position().toPoint())) {
            const TransferJob job = m_jobAt(index);
            switch (buttonFor(job)) {
            case Button::cancel:
                emit cancelRequested(job.id);
                return true;
            case Button::retry:
                emit retryRequested(job.id);
                return true;
            case Button::none:
                break;
            }
        }
        if (mouse->button() == Qt::LeftButton && option.rect.contains(mouse->position().toPoint())
            && m_jobAt(index).state.value() == TransferJob::State::Case::failed) {
            emit failureClicked(index);
            return true;
        }
    }
    return QStyledItemDelegate::editorEvent(event, model, option, index);
}

bool TransferRowDelegate::helpEvent(QHelpEvent *event, QAbstractItemView *view, const QStyleOptionViewItem &option,
                                    const QModelIndex &index)
{
    if (buttonRect(option.rect).contains(event->pos())) {
        switch (buttonFor(m_jobAt(index))) {
        case Button::cancel:
            QToolTip::showText(event->globalPos(), QStringLiteral("Cancel"), view);
            return true;
        case Button::retry:
            QToolTip::showText(event->globalPos(), QStringLiteral("Retry"), view);
            return true;
        case Button::none:
            break;
        }
    }
    // The row has room for the start of a failure's reason only; its tooltip holds all of it.
    const TransferJob job = m_jobAt(index);
    const QString tip = job.state.value() == TransferJob::State::Case::failed
        ? Texts::wrappedToolTip(job.name + QLatin1Char('\n') + job.state.message())
        : Texts::plainToolTip(job.name);
    QToolTip::showText(event->globalPos(), tip, view);
    return true;
}
