#include "model/BackupDestination.h"

QString backupDestination(const QString &home, const AndroidDevice &device)
{
    QString label = device.model.isEmpty() ? device.serial : device.model;
    label.replace(QLatin1Char('/'), QLatin1Char('-'));
    return home + QStringLiteral("/Pictures/Tessary Backup/") + label;
}

QString backupRelative(const QString &remote)
{
    return remote.mid(20);
}
