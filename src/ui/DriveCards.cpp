#include "ui/DriveCards.h"

#include "model/AppModel.h"
#include "platform/Platform.h"
#include "ui/Colors.h"
#include "ui/IconLabel.h"
#include "ui/Icons.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

DriveCards::DriveCards(AppModel *model, QWidget *parent)
    : QWidget(parent), m_model(model), m_cards(new QVBoxLayout)
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(6);
    auto *heading = new IconLabel(QStringLiteral("externaldrive.fill.badge.checkmark"), QStringLiteral("Drive connected"), this, 16);
    QFont bold = heading->textLabel()->font();
    bold.setBold(true);
    heading->textLabel()->setFont(bold);
    layout->addWidget(heading, 0, Qt::AlignLeft);
    auto *line = new QLabel(QStringLiteral("Connect your phone to copy files between it and this drive."), this);
    line->setForegroundRole(QPalette::PlaceholderText);
    layout->addWidget(line);
    m_cards->setSpacing(8);
    layout->addLayout(m_cards);
    connect(model, &AppModel::drivesChanged, this, &DriveCards::rebuild);
    rebuild();
}

void DriveCards::rebuild()
{
    while (QLayoutItem *item = m_cards->takeAt(0)) {
        delete item->widget();
        delete item;
    }
    m_revealButtons.clear();
    m_ejectButtons.clear();
    const QList<DriveInfo> drives = m_model->drives();
    for (const DriveInfo &drive : drives) {
        auto *card = new QFrame(this);
        card->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Minimum);
        card->setObjectName(QStringLiteral("driveCard"));
        card->setStyleSheet(QStringLiteral("#driveCard { background: palette(alternate-base); border: 1px solid palette(midlight); border-radius: 8px; }"));
        auto *cardLayout = new QVBoxLayout(card);
        cardLayout->setContentsMargins(12, 10, 12, 10);
        auto *row = new QHBoxLayout;
        auto *icon = new QLabel(card);
        icon->setPixmap(Icons::icon(QStringLiteral("externaldrive.fill")).pixmap(24, 24));
        row->addWidget(icon);
        auto *texts = new QVBoxLayout;
        texts->setSpacing(0);
        auto *name = new QLabel(drive.name, card);
        name->setTextFormat(Qt::PlainText);
        QFont bold = name->font();
        bold.setBold(true);
        name->setFont(bold);
        texts->addWidget(name);
        auto *details = new QLabel(drive.format + QStringLiteral("  ·  ") + drive.capacityText(), card);
        details->setTextFormat(Qt::PlainText);
        QFont caption = details->font();
        caption.setPointSizeF(caption.pointSizeF() * 0.9);
        details->setFont(caption);
        details->setForegroundRole(QPalette::PlaceholderText);
        texts->addWidget(details);
        row->addLayout(texts);
        row->addStretch(1);
        auto *reveal = new QPushButton(QStringLiteral("Show in Finder"), card);
        const QString path = drive.path();
        connect(reveal, &QPushButton::clicked, this, [path] { Platform::instance().fileBrowser().reveal({path}); });
        auto *eject = new QPushButton(QStringLiteral("Eject"), card);
        connect(eject, &QPushButton::clicked, this, [this, drive] { m_model->eject(drive); });
        row->addWidget(reveal);
        row->addWidget(eject);
        cardLayout->addLayout(row);
        IconLabel *status = drive.isReadOnly
            ? new IconLabel(QStringLiteral("lock.fill"), drive.readOnlyExplanation(), card, 12)
            : new IconLabel(QString(), QStringLiteral("Ready to read and write."), card, 12);
        status->textLabel()->setFont(caption);
        status->setWordWrap(true);
        if (drive.isReadOnly)
            status->setColor(Colors::warning());
        cardLayout->addWidget(status);
        m_cards->addWidget(card);
        m_revealButtons << reveal;
        m_ejectButtons << eject;
    }
    setVisible(!drives.isEmpty());
}
