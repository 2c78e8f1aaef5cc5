#include "ui/StorageSwitcher.h"

#include "common/ByteCount.h"
#include "model/AppModel.h"
#include "model/transfer/Naming.h"
#include "ui/Icons.h"
#include "ui/Texts.h"

#include <QGraphicsOpacityEffect>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

StorageSwitcher::StorageSwitcher(AppModel *model, QWidget *parent)
    : QWidget(parent), m_model(model), m_layout(new QHBoxLayout(this))
{
    m_layout->setContentsMargins(0, 0, 0, 0);
    m_layout->setSpacing(6);
    connect(model, &AppModel::storagesChanged, this, &StorageSwitcher::rebuild);
    connect(model, &AppModel::androidPathChanged, this, &StorageSwitcher::refreshActive);
    rebuild();
}

void StorageSwitcher::rebuild()
{
    while (QLayoutItem *item = m_layout->takeAt(0)) {
        delete item->widget();
        delete item;
    }
    m_buttons.clear();
    const QList<StorageVolume> volumes = m_model->storages();
    for (const StorageVolume &volume : volumes) {
        auto *button = new QPushButton(this);
        button->setCheckable(true);
        button->setObjectName(QStringLiteral("storageButton"));
        button->setStyleSheet(QStringLiteral(
            "#storageButton { text-align: left; padding: 3px 8px; border: 1px solid palette(mid); border-radius: 6px; }"
            "#storageButton:checked { background: palette(highlight); color: palette(highlighted-text); border-color: palette(highlight); }"));
        auto *inner = new QHBoxLayout(button);
        inner->setContentsMargins(8, 3, 10, 3);
        inner->setSpacing(6);
        auto *icon = new QLabel(button);
        icon->setPixmap(Icons::icon(volume.isInternal ? QStringLiteral("iphone") : QStringLiteral("sdcard")).pixmap(16, 16));
        inner->addWidget(icon);
        auto *texts = new QVBoxLayout;
        texts->setSpacing(0);
        auto *name = new QLabel(volume.name, button);
        texts->addWidget(name);
        QString tip = volume.name + QLatin1Char('\n') + volume.path;
        // The button has no text of its own: its labels say what a screen reader reads.
        QString spoken = volume.name;
        if (volume.total > 0) {
            auto *free = new QLabel(formatByteCount(volume.free) + QStringLiteral(" free"), button);
            QFont small = free->font();
            small.setPointSizeF(small.pointSizeF() * 0.85);
            free->setFont(small);
            auto *dim = new QGraphicsOpacityEffect(free);
            dim->setOpacity(0.75);
            free->setGraphicsEffect(dim);
            texts->addWidget(free);
            tip += QLatin1Char('\n') + formatByteCount(volume.free) + QStringLiteral(" free of ") + formatByteCount(volume.total);
            spoken += QStringLiteral(", ") + free->text();
        }
        inner->addLayout(texts);
        for (QLabel *label : button->findChildren<QLabel *>()) {
            label->setAttribute(Qt::WA_TransparentForMouseEvents);
            label->setTextFormat(Qt::PlainText);
        }
        button->setToolTip(Texts::plainToolTip(tip));
        button->setAccessibleName(spoken);
        button->setMinimumSize(inner->sizeHint());
        const QString path = volume.path;
        connect(button, &QPushButton::clicked, this, [this, path] {
            m_model->goAndroid(normalizedAndroid(path));
            refreshActive();
        });
        m_layout->addWidget(button);
        m_buttons << button;
    }
    m_layout->addStretch(1);
    setVisible(!volumes.isEmpty());
    refreshActive();
}

void StorageSwitcher::refreshActive()
{
    const std::optional<StorageVolume> active = m_model->activeStorage();
    const QList<StorageVolume> volumes = m_model->storages();
    for (int i = 0; i < m_buttons.size() && i < volumes.size(); ++i)
        m_buttons[i]->setChecked(active && active->path == volumes[i].path);
}
