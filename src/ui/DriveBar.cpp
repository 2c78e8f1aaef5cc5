#include "ui/DriveBar.h"

#include "drives/Drives.h"
#include "model/AppModel.h"
#include "ui/Colors.h"
#include "ui/IconLabel.h"
#include "ui/Icons.h"
#include "ui/Texts.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QScrollArea>
#include <QScrollBar>
#include <QToolButton>
#include <QVBoxLayout>

DriveBar::DriveBar(AppModel *model, QWidget *parent)
    : QWidget(parent), m_model(model), m_scroll(new QScrollArea(this)), m_row(new QWidget),
      m_rowLayout(new QHBoxLayout(m_row)), m_warning(new IconLabel(QStringLiteral("lock.fill"), QString(), this, 12))
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(4);
    m_rowLayout->setContentsMargins(0, 0, 0, 0);
    m_rowLayout->setSpacing(6);
    m_scroll->setWidget(m_row);
    m_scroll->setWidgetResizable(true);
    m_scroll->setFrameShape(QFrame::NoFrame);
    m_scroll->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_scroll->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    layout->addWidget(m_scroll);
    QFont caption = m_warning->textLabel()->font();
    caption.setPointSizeF(caption.pointSizeF() * 0.9);
    m_warning->textLabel()->setFont(caption);
    m_warning->setColor(Colors::warning());
    m_warning->setObjectName(QStringLiteral("readOnlyWarning"));
    layout->addWidget(m_warning, 0, Qt::AlignLeft);

    connect(model, &AppModel::drivesChanged, this, &DriveBar::rebuild);
    connect(model, &AppModel::macPathChanged, this, &DriveBar::refreshWarning);
    rebuild();
}

QString DriveBar::readOnlyWarning(const QString &format)
{
    if (format == QLatin1String("NTFS"))
        return QStringLiteral("NTFS is read-only on a Mac: you can copy from this drive, not onto it.");
    return QStringLiteral("This drive is read-only: you can copy from it, not onto it.");
}

QString DriveBar::chipToolTip(const DriveInfo &drive)
{
    QString tip = drive.capacityText();
    if (drive.isReadOnly)
        tip += QLatin1Char('\n') + drive.readOnlyExplanation();
    return tip;
}

void DriveBar::rebuild()
{
    while (QLayoutItem *item = m_rowLayout->takeAt(0)) {
        delete item->widget();
        delete item;
    }
    m_chipButtons.clear();
    m_ejectButtons.clear();
    const QList<DriveInfo> drives = m_model->drives();
    for (const DriveInfo &drive : drives) {
        auto *chip = new QFrame(m_row);
        chip->setObjectName(QStringLiteral("driveChip"));
        chip->setStyleSheet(QStringLiteral("#driveChip { border: 1px solid palette(mid); border-radius: 11px; }"));
        auto *chipLayout = new QHBoxLayout(chip);
        chipLayout->setContentsMargins(6, 1, 4, 1);
        chipLayout->setSpacing(2);
        auto *open = new QToolButton(chip);
        open->setAutoRaise(true);
        open->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
        open->setIcon(Icons::icon(drive.isReadOnly ? QStringLiteral("lock.fill") : QStringLiteral("externaldrive.fill")));
        open->setText(Texts::buttonText(drive.name));
        open->setToolTip(Texts::plainToolTip(chipToolTip(drive)));
        const QString path = drive.path();
        connect(open, &QToolButton::clicked, this, [this, path] { m_model->openMac(path); });
        auto *eject = new QToolButton(chip);
        eject->setAutoRaise(true);
        eject->setIcon(Icons::icon(QStringLiteral("eject.fill")));
        eject->setToolTip(Texts::plainToolTip(QStringLiteral("Eject ") + drive.name));
        eject->setAccessibleName(QStringLiteral("Eject ") + drive.name);
        connect(eject, &QToolButton::clicked, this, [this, drive] { m_model->eject(drive); });
        chipLayout->addWidget(open);
        chipLayout->addWidget(eject);
        m_rowLayout->addWidget(chip);
        m_chipButtons << open;
        m_ejectButtons << eject;
    }
    m_rowLayout->addStretch(1);
    // Room for the chips and, below them, the scroll bar that appears when they overflow.
    m_scroll->setFixedHeight(m_row->sizeHint().height() + m_scroll->horizontalScrollBar()->sizeHint().height() + 2);
    setVisible(!drives.isEmpty());
    refreshWarning();
}

void DriveBar::refreshWarning()
{
    const std::optional<DriveInfo> drive = Drives::drive(m_model->macPath(), m_model->drives());
    if (drive && drive->isReadOnly) {
        m_warning->setText(readOnlyWarning(drive->format));
        m_warning->show();
    } else {
        m_warning->hide();
    }
}
