#pragma once

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

#include <optional>

// One line of /proc/self/mountinfo.
struct MountEntry
{
    qint64 mountId = 0;
    QString deviceId;     // "major:minor"
    QString root;         // the folder of the file system that is mounted
    QString mountPoint;
    QString mountOptions; // per-mount options: "ro,nosuid,..."
    QString fsType;
    QString source;
    QString superOptions;

    friend bool operator==(const MountEntry &, const MountEntry &) = default;
};

// What changed between two readings of the mount table.
struct MountDiff
{
    QList<MountEntry> mounted;
    QList<MountEntry> unmounted;
    // The same file system now at another mount point (moved, or unmounted and mounted again
    // elsewhere in one step): old and new mount point.
    QList<QPair<QString, QString>> renamed;
    // Still at the same place but mounted with other options (for example read-only now).
    QList<MountEntry> remounted;

    bool isEmpty() const
    {
        return mounted.isEmpty() && unmounted.isEmpty() && renamed.isEmpty() && remounted.isEmpty();
    }
};

namespace MountTable {

// Parses the kernel's mountinfo text; malformed lines are left out. Octal escapes in paths
// ("\040" for a space) are decoded.
QList<MountEntry> parse(const QByteArray &mountInfo);

// Compares two readings by mount id.
MountDiff diff(const QList<MountEntry> &before, const QList<MountEntry> &after);

// The mount that is seen at `mountPoint`: of several mounted there, the last one (the kernel
// lists a mount after the one it covers).
std::optional<MountEntry> topmost(const QList<MountEntry> &entries, const QString &mountPoint);

} // namespace MountTable
