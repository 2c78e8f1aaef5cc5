#include "bridge/StorageLayout.h"

#include "bridge/TextLines.h"

StorageVolume internalStorage()
{
    StorageVolume internal;
    internal.name = QStringLiteral("Internal storage");
    internal.path = QStringLiteral("/storage/emulated/0");
    internal.isInternal = true;
    return internal;
}

QList<StorageVolume> volumesFromStorageListing(const QString &output)
{
    static const QStringList skip = {QStringLiteral("emulated"), QStringLiteral("self"),
                                     QStringLiteral("sdcard0"), QStringLiteral("sdcard1")};
    QStringList folders;
    for (const QString &line : splitLines(output)) {
        const QString name = trimBlanks(line);
        if (name.isEmpty() || skip.contains(name) || name.contains(QLatin1Char(' '))
            || name.startsWith(QLatin1String("ls:")))
            continue;
        folders.append(name);
    }
    QList<StorageVolume> volumes{internalStorage()};
    for (qsizetype i = 0; i < folders.size(); ++i) {
        StorageVolume volume;
        volume.name = folders.size() == 1 ? QStringLiteral("SD card")
                                          : QStringLiteral("SD card / USB %1").arg(i + 1);
        volume.path = QStringLiteral("/storage/") + folders.at(i);
        volumes.append(volume);
    }
    return volumes;
}

QList<QPair<qint64, qint64>> parseDiskFree(const QString &output)
{
    QList<QPair<qint64, qint64>> rows;
    const QStringList lines = splitLines(output);
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QStringList fields = splitFields(lines.at(i));
        if (fields.size() < 4)
            continue;
        bool totalOk = false;
        bool freeOk = false;
        const qint64 total = fields.at(1).toLongLong(&totalOk);
        const qint64 free = fields.at(3).toLongLong(&freeOk);
        if (!totalOk || !freeOk)
            continue;
        rows.append({total * 1024, free * 1024});
    }
    return rows;
}

void applyDiskFree(QList<StorageVolume> &volumes, const QList<QPair<qint64, qint64>> &rows)
{
    if (rows.size() != volumes.size())
        return;
    for (qsizetype i = 0; i < volumes.size(); ++i) {
        volumes[i].total = rows.at(i).first;
        volumes[i].free = rows.at(i).second;
    }
}
