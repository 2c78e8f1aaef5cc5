#include "model/AppModel.h"

#include "drives/Drives.h"
#include "drives/MountWatcher.h"
#include "model/StartFolder.h"
#include "platform/Platform.h"

#include <QCoro/QCoroFuture>
#include <QFileInfo>
#include <QGuiApplication>
#include <QPointer>
#include <QSet>
#include <QtConcurrent>

void AppModel::watchVolumes()
{
    // The watcher is the model's child: it reports on the main thread and goes with the model.
    auto *watcher = new MountWatcher(this);
    connect(watcher, &MountWatcher::mounted, this,
            [this](const QString &path) { volumesChanged(true, path); });
    connect(watcher, &MountWatcher::unmounted, this,
            [this](const QString &path) { volumesChanged(false, path); });
    connect(watcher, &MountWatcher::renamed, this,
            [this](const QString &, const QString &newPath) { volumesChanged(false, newPath); });
    // A drive mounted again with other options (read-only after an error) changes its card.
    connect(watcher, &MountWatcher::remounted, this,
            [this](const QString &path) { volumesChanged(false, path); });
}

void AppModel::volumesChanged(bool mounted, const std::optional<QString> &path)
{
    const QList<DriveInfo> before = m_drives;
    QSet<QString> known;
    for (const DriveInfo &drive : before)
        known.insert(drive.path());

    QPointer<AppModel> self(this);
    launch(refreshDrives([self, before, known, mounted, path](const QList<DriveInfo> &drives) {
        if (!self)
            return;
        if (mounted && path) {
            const auto fresh = std::find_if(drives.cbegin(), drives.cend(),
                                            [&](const DriveInfo &d) { return d.path() == *path; });
            if (fresh != drives.cend() && !known.contains(fresh->path())) {
                const DriveInfo drive = *fresh;
                self->openMac(drive.path());
                self->notifyDrive(drive);
            }
        }
        // The pane never stays on a folder of a drive that went away. An unmounted drive's
        // mount point can outlive it as an empty folder of the system disk (umount leaves
        // it), so leaving the drive counts as much as the folder vanishing.
        const QString shown = self->macPath();
        const bool driveLeft = Drives::drive(shown, before) && !Drives::drive(shown, drives);
        if (Drives::isExternalMountPath(shown) && (driveLeft || !QFileInfo::exists(shown))) {
            self->setMacPath(computerStartFolder());
            self->reloadMac();
        }
    }));
}

QCoro::Task<> AppModel::refreshDrives(std::function<void(const QList<DriveInfo> &)> then)
{
    QPointer<AppModel> self(this);
    const QList<DriveInfo> scanned = co_await QtConcurrent::run(&Drives::scan);
    if (!self)
        co_return;
    setDrives(scanned);
    if (then)
        then(scanned);
}

void AppModel::eject(const DriveInfo &drive)
{
    QPointer<AppModel> self(this);
    launch([](QPointer<AppModel> model, DriveInfo drive) -> QCoro::Task<> {
        const std::optional<QString> failure =
            co_await Platform::instance().ejector().eject(drive.path());
        // Success needs nothing here: the unmount event refreshes the list.
        if (failure && model)
            model->setMessage(QStringLiteral("Couldn't eject \u201C") + drive.name
                              + QStringLiteral("\u201D: ") + *failure);
    }(self, drive));
}

void AppModel::notifyDrive(const DriveInfo &drive)
{
    const auto *gui = qobject_cast<QGuiApplication *>(QCoreApplication::instance());
    if (gui && gui->applicationState() == Qt::ApplicationActive)
        return;
    Notifier &notifier = Platform::instance().notifier();
    if (!notifier.canNotify())
        return;

    QString body;
    if (drive.isReadOnly && drive.format == QLatin1String("NTFS"))
        body = QStringLiteral("NTFS drive: you can copy files from it, but macOS can't write to it.");
    else if (drive.isReadOnly)
        body = drive.format + QStringLiteral(" drive (read-only).");
    else
        body = drive.format + QStringLiteral(" drive \u00B7 ") + drive.capacityText();
    notifier.notify(drive.name + QStringLiteral(" connected"), body, false);
}
