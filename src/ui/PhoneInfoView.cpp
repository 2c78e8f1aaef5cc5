#include "ui/PhoneInfoView.h"

#include "model/AppModel.h"
#include "ui/IconLabel.h"
#include "ui/Icons.h"
#include "ui/Spinner.h"
#include "ui/Texts.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QVBoxLayout>

PhoneInfoView::PhoneInfoView(AppModel *model, QWidget *parent)
    : QWidget(parent), m_model(model), m_layout(new QVBoxLayout(this))
{
    setMinimumWidth(300);
    m_layout->setContentsMargins(0, 0, 0, 0);
    m_layout->setSpacing(8);
    connect(model, &AppModel::phoneInfoChanged, this, &PhoneInfoView::rebuild);
    connect(model, &AppModel::storagesChanged, this, &PhoneInfoView::rebuild);
    connect(model, &AppModel::devicesChanged, this, &PhoneInfoView::rebuild);
    connect(model, &AppModel::selectedSerialChanged, this, &PhoneInfoView::rebuild);
    rebuild();
}

void PhoneInfoView::showNotice(const QString &symbol, const QString &text)
{
    auto *row = new QWidget(this);
    auto *rowLayout = new QHBoxLayout(row);
    rowLayout->setContentsMargins(0, 0, 0, 0);
    if (symbol.isEmpty()) {
        rowLayout->addWidget(new Spinner(14, row), 0, Qt::AlignTop);
    } else {
        auto *icon = new QLabel(row);
        icon->setPixmap(Icons::icon(symbol).pixmap(16, 16));
        rowLayout->addWidget(icon, 0, Qt::AlignTop);
    }
    auto *label = new QLabel(text, row);
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(true);
    rowLayout->addWidget(label, 1);
    m_layout->addWidget(row);
    m_notice = text;
}

void PhoneInfoView::rebuild()
{
    while (QLayoutItem *item = m_layout->takeAt(0))
        delete item;
    qDeleteAll(findChildren<QWidget *>(QString(), Qt::FindDirectChildrenOnly));
    m_rows.clear();
    m_notice.clear();

    const std::optional<AndroidDevice> device = m_model->selectedDevice();
    std::optional<PhoneInfo> info = m_model->phoneInfo();
    // What was read from another phone is not this one's.
    if (info && (!device || info->serial != device->serial))
        info.reset();
    if (const auto problem = Texts::phoneInfoProblem(device ? std::optional(device->state) : std::nullopt, info)) {
        showNotice(QStringLiteral("exclamationmark.triangle"), *problem);
        fit();
        return;
    }
    if (!info) {
        showNotice(QString(), QStringLiteral("Reading phone info…"));
        fit();
        return;
    }

    auto plain = [](const QString &text, QWidget *parent) {
        auto *label = new QLabel(text, parent);
        label->setTextFormat(Qt::PlainText);
        return label;
    };
    auto *title = plain(info->manufacturer + QLatin1Char(' ') + info->model, this);
    QFont headline = title->font();
    headline.setBold(true);
    title->setFont(headline);
    m_layout->addWidget(title);

    auto *form = new QWidget(this);
    auto *formLayout = new QFormLayout(form);
    formLayout->setContentsMargins(0, 0, 0, 0);
    auto addRow = [&](QWidget *label, const QString &labelText, const QString &value) {
        QLabel *valueLabel = plain(value, form);
        valueLabel->setTextInteractionFlags(Qt::TextSelectableByMouse);
        formLayout->addRow(label, valueLabel);
        m_rows.append({labelText, value});
    };
    addRow(plain(QStringLiteral("Android"), form), QStringLiteral("Android"),
           info->androidVersion.isEmpty() ? QStringLiteral("—") : info->androidVersion);
    addRow(plain(QStringLiteral("Serial"), form), QStringLiteral("Serial"), info->serial);
    if (info->batteryLevel) {
        auto *battery = new IconLabel(info->charging ? QStringLiteral("battery.100.bolt") : QStringLiteral("battery.75"),
                                      QStringLiteral("Battery"), form);
        addRow(battery, QStringLiteral("Battery"), QString::number(*info->batteryLevel) + QLatin1Char('%'));
    }
    if (info->temperatureC)
        addRow(plain(QStringLiteral("Battery temp"), form), QStringLiteral("Battery temp"),
               Texts::temperature(*info->temperatureC));
    m_layout->addWidget(form);

    for (const StorageVolume &volume : m_model->storages()) {
        QLabel *name = plain(volume.name, this);
        QFont medium = name->font();
        medium.setWeight(QFont::Medium);
        name->setFont(medium);
        m_layout->addWidget(name);
        if (volume.total > 0) {
            auto *bar = new QProgressBar(this);
            bar->setTextVisible(false);
            bar->setFixedHeight(8);
            bar->setRange(0, 1000);
            bar->setValue(int(double(volume.total - volume.free) / double(volume.total) * 1000));
            bar->setAccessibleName(volume.name);
            m_layout->addWidget(bar);
            QLabel *caption = plain(Texts::storageCaption(volume.total, volume.free), this);
            QFont small = caption->font();
            small.setPointSizeF(small.pointSizeF() * 0.9);
            caption->setFont(small);
            caption->setForegroundRole(QPalette::PlaceholderText);
            m_layout->addWidget(caption);
            m_rows.append({volume.name, caption->text()});
        } else {
            m_rows.append({volume.name, QString()});
        }
    }
    fit();
}

void PhoneInfoView::fit()
{
    adjustSize();
    if (parentWidget())
        parentWidget()->adjustSize();
}
