#pragma once

#include "drives/MountTable.h"

#include <QObject>
#include <QString>

class QSocketNotifier;
class QTimer;

// Follows the computer's mount table and reports changes on the thread it lives on (the main
// thread for the model). The kernel flags /proc/self/mountinfo with POLLPRI whenever the
// table changes; where that file cannot be watched the table is compared once a second.
//
// mounted, unmounted, renamed and remounted name only external mount points
// (Drives::isExternalMountPath); mountsChanged follows every change of the table.
class MountWatcher : public QObject
{
    Q_OBJECT
public:
    explicit MountWatcher(QObject *parent = nullptr);
    ~MountWatcher() override;

signals:
    void mountsChanged();
    void mounted(const QString &mountPath);
    void unmounted(const QString &mountPath);
    // The volume that was at oldPath is now at newPath.
    void renamed(const QString &oldPath, const QString &newPath);
    // Mounted again in place with other options, e.g. read-only after an error.
    void remounted(const QString &mountPath);

private:
    QByteArray readTable();
    void check();

    int m_fd = -1;
    QSocketNotifier *m_notifier = nullptr;
    QTimer *m_timer = nullptr;
    QList<MountEntry> m_mounts;
};
