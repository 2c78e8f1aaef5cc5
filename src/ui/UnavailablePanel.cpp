#include "ui/UnavailablePanel.h"

#include "ui/Icons.h"

#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

UnavailablePanel::UnavailablePanel(QWidget *parent)
    : QWidget(parent), m_icon(new QLabel(this)), m_title(new QLabel(this)),
      m_description(new QLabel(this)), m_button(new QPushButton(this))
{
    auto *layout = new QVBoxLayout(this);
    layout->addStretch(1);
    m_icon->setAlignment(Qt::AlignCenter);
    QFont titleFont = m_title->font();
    titleFont.setPointSizeF(titleFont.pointSizeF() * 1.3);
    titleFont.setBold(true);
    m_title->setFont(titleFont);
    m_title->setAlignment(Qt::AlignCenter);
    m_title->setTextFormat(Qt::PlainText);
    m_title->setObjectName(QStringLiteral("unavailableTitle"));
    m_description->setAlignment(Qt::AlignCenter);
    m_description->setWordWrap(true);
    m_description->setTextFormat(Qt::PlainText);
    m_description->setObjectName(QStringLiteral("unavailableDescription"));
    m_description->setForegroundRole(QPalette::PlaceholderText);
    layout->addWidget(m_icon);
    layout->addWidget(m_title);
    layout->addWidget(m_description);
    layout->addWidget(m_button, 0, Qt::AlignHCenter);
    layout->addStretch(1);
    m_button->hide();
    connect(m_button, &QPushButton::clicked, this, &UnavailablePanel::actionTriggered);
}

void UnavailablePanel::setContent(const QString &iconSymbol, const QString &title, const QString &description)
{
    m_icon->setPixmap(Icons::icon(iconSymbol).pixmap(40, 40));
    m_title->setText(title);
    m_description->setText(description);
    m_description->setVisible(!description.isEmpty());
}

void UnavailablePanel::setAction(const QString &title)
{
    m_button->setText(title);
    m_button->setVisible(!title.isEmpty());
}

void UnavailablePanel::setDescriptionSelectable(bool selectable)
{
    m_description->setTextInteractionFlags(selectable ? Qt::TextSelectableByMouse : Qt::NoTextInteraction);
}

QString UnavailablePanel::title() const
{
    return m_title->text();
}

QString UnavailablePanel::description() const
{
    return m_description->text();
}
