#pragma once

#include <QList>
#include <QMetaType>
#include <QString>

// One phone file to back up; relative is remote without "/storage/emulated/0/".
struct BackupFile
{
    QString remote;
    QString relative;
    qint64 size = 0;

    bool operator==(const BackupFile &) const = default;
};

// The result of a backup scan waiting for confirmation. destination is a local folder path.
struct BackupPlan
{
    QList<BackupFile> files;
    int scanned = 0;
    QString destination;
    QString serial;

    bool operator==(const BackupPlan &) const = default;
};

Q_DECLARE_METATYPE(BackupFile)
Q_DECLARE_METATYPE(BackupPlan)
