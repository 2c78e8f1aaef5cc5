#include "ui/Spinner.h"

#include <QPainter>

Spinner::Spinner(int diameter, QWidget *parent) : QWidget(parent), m_diameter(diameter)
{
    setFixedSize(diameter, diameter);
    m_timer.setInterval(80);
    connect(&m_timer, &QTimer::timeout, this, [this] {
        m_angle = (m_angle + 30) % 360;
        update();
    });
}

QSize Spinner::sizeHint() const
{
    return {m_diameter, m_diameter};
}

void Spinner::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const qreal pen = qMax(1.5, m_diameter / 8.0);
    const QRectF r = QRectF(rect()).adjusted(pen, pen, -pen, -pen);
    QColor c = palette().color(QPalette::WindowText);
    c.setAlphaF(0.2f);
    p.setPen(QPen(c, pen));
    p.drawEllipse(r);
    c.setAlphaF(0.8f);
    p.setPen(QPen(c, pen, Qt::SolidLine, Qt::RoundCap));
    p.drawArc(r, -m_angle * 16, 100 * 16);
}

void Spinner::showEvent(QShowEvent *event)
{
    m_timer.start();
    QWidget::showEvent(event);
}

void Spinner::hideEvent(QHideEvent *event)
{
    m_timer.stop();
    QWidget::hideEvent(event);
}
