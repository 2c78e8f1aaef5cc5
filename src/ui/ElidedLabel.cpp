#include "ui/ElidedLabel.h"

ElidedLabel::ElidedLabel(QWidget *parent) : QLabel(parent)
{
    setTextInteractionFlags(Qt::TextSelectableByMouse);
    setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
}

void ElidedLabel::setFullText(const QString &text)
{
    m_full = text;
    setToolTip(text);
    relayout();
}

QSize ElidedLabel::minimumSizeHint() const
{
    return {20, QLabel::minimumSizeHint().height()};
}

void ElidedLabel::resizeEvent(QResizeEvent *event)
{
    QLabel::resizeEvent(event);
    relayout();
}

void ElidedLabel::relayout()
{
    setText(fontMetrics().elidedText(m_full, Qt::ElideLeft, qMax(0, width() - 2)));
}
