#include "ui/SetupGuideView.h"

#include "ui/DriveCards.h"
#include "ui/Icons.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QVBoxLayout>

SetupGuideView::SetupGuideView(AppModel *model, QWidget *parent)
    : QWidget(parent), m_scan(new QPushButton(QStringLiteral("Scan again"), this)),
      m_wireless(new QPushButton(QStringLiteral("Connect over Wi-Fi…"), this)), m_cards(new DriveCards(model, this))
{
    // Many drives can make the guide taller than the window: it scrolls instead of squeezing.
    auto *scroll = new QScrollArea(this);
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    auto *page = new QWidget(scroll);
    scroll->setWidget(page);
    auto *root = new QVBoxLayout(this);
    root->setContentsMargins(0, 0, 0, 0);
    root->addWidget(scroll);
    auto *outer = new QHBoxLayout(page);
    outer->addStretch(1);
    auto *column = new QVBoxLayout;
    column->setSpacing(12);
    outer->addLayout(column, 0);
    outer->addStretch(1);
    column->addStretch(1);

    auto *icon = new QLabel(this);
    icon->setPixmap(Icons::icon(QStringLiteral("cable.connector")).pixmap(56, 56));
    icon->setAlignment(Qt::AlignCenter);
    column->addWidget(icon);
    auto *title = new QLabel(QStringLiteral("Connect your Android phone"), this);
    QFont big = title->font();
    big.setPointSizeF(big.pointSizeF() * 1.6);
    big.setBold(true);
    title->setFont(big);
    title->setAlignment(Qt::AlignCenter);
    column->addWidget(title);
    auto *looking = new QLabel(QStringLiteral("Looking for devices automatically…"), this);
    looking->setForegroundRole(QPalette::PlaceholderText);
    looking->setAlignment(Qt::AlignCenter);
    column->addWidget(looking);

    const QStringList steps = {
        QStringLiteral("On the phone: Settings → About phone → tap “Build number” 7 times."),
        QStringLiteral("Settings → System → Developer options → turn on “USB debugging”."),
        QStringLiteral("Plug the phone into the Mac with a USB cable."),
        QStringLiteral("Unlock the phone and tap “Allow” on the USB debugging prompt."),
    };
    auto *grid = new QGridLayout;
    grid->setHorizontalSpacing(10);
    grid->setVerticalSpacing(8);
    for (int i = 0; i < steps.size(); ++i) {
        auto *badge = new QLabel(QString::number(i + 1), this);
        badge->setAlignment(Qt::AlignCenter);
        badge->setFixedSize(22, 22);
        badge->setStyleSheet(QStringLiteral("background: palette(highlight); color: palette(highlighted-text); border-radius: 11px; font-weight: bold;"));
        grid->addWidget(badge, i, 0, Qt::AlignTop);
        auto *text = new QLabel(steps.at(i), this);
        text->setWordWrap(true);
        text->setObjectName(QStringLiteral("setupStep"));
        grid->addWidget(text, i, 1);
    }
    column->addSpacing(6);
    column->addLayout(grid);
    column->addSpacing(6);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_scan);
    buttons->addWidget(m_wireless);
    buttons->addStretch(1);
    column->addLayout(buttons);
    column->addSpacing(10);
    column->addWidget(m_cards);
    column->addStretch(1);

    connect(m_scan, &QPushButton::clicked, this, &SetupGuideView::scanRequested);
    connect(m_wireless, &QPushButton::clicked, this, &SetupGuideView::wirelessRequested);
}
