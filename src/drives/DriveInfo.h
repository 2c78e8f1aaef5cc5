#pragma once

#include <QList>
#include <QMetaType>
#include <QString>
#include <QUrl>

// One mounted external volume, as the drive bar shows it.
struct DriveInfo
{
    QUrl url;            // the mount point as a file URL, e.g. file:///media/alex/Backup
    QString name;        // the volume name, or the mount point's last component
    QString fsType;      // the mount's real type name ("exfat", "vfat", "ntfs3"); empty when unknown
    QString format;      // Drives::friendlyFormat(fsType)
    bool isReadOnly = false;
    qint64 total = 0;    // bytes; 0 when unknown
    qint64 free = 0;     // bytes available to the user; 0 when unknown

    // The mount path; it is also the drive's identity.
    QString path() const { return url.toLocalFile(); }
    QString id() const { return path(); }

    // "12.3 GB free of 64 GB"; empty when the total is unknown.
    QString capacityText() const;
    // Why this drive cannot be written, in words for the user.
    QString readOnlyExplanation() const;

    friend bool operator==(const DriveInfo &, const DriveInfo &) = default;
};

Q_DECLARE_METATYPE(DriveInfo)
