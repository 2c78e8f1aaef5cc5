#include "ui/IconLabel.h"

#include "ui/Icons.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>

IconLabel::IconLabel(const QString &symbol, const QString &text, QWidget *parent, int iconSize)
    : QWidget(parent), m_icon(new QLabel(this)), m_text(new QLabel(text, this)), m_iconSize(iconSize)
{
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(5);
    m_text->setTextFormat(Qt::PlainText);
    layout->addWidget(m_icon, 0, Qt::AlignTop);
    layout->addWidget(m_text, 1);
    setSymbol(symbol);
}

void IconLabel::setText(const QString &text)
{
    m_text->setText(text);
}

QString IconLabel::text() const
{
    return m_text->text();
}

void IconLabel::setSymbol(const QString &symbol)
{
    m_symbol = symbol;
    QPixmap pixmap = Icons::icon(symbol).pixmap(m_iconSize, m_iconSize);
    if (m_color.isValid() && !pixmap.isNull()) {
        // Symbolic icons are single-colour shapes: recolour them like the text.
        QPainter p(&pixmap);
        p.setCompositionMode(QPainter::CompositionMode_SourceIn);
        p.fillRect(pixmap.rect(), m_color);
    }
    m_icon->setPixmap(pixmap);
}

void IconLabel::setColor(const QColor &color)
{
    m_color = color;
    QPalette pal = m_text->palette();
    pal.setColor(QPalette::WindowText, color.isValid() ? color : palette().color(QPalette::WindowText));
    m_text->setPalette(pal);
    setSymbol(m_symbol);
}

void IconLabel::setWordWrap(bool wrap)
{
    m_text->setWordWrap(wrap);
}
