#include "ui/ElidedLabel.h"

#include "ui/Texts.h"

ElidedLabel::ElidedLabel(QWidget *parent) : QLabel(parent)
{
    setTextFormat(Qt::PlainText);
    setTextInteractionFlags(Qt::TextSelectableByMouse);
    setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
}

void ElidedLabel::setFullText(const QString &text)
{
    m_full = text;
    setToolTip(Texts::plainToolTip(text));
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
