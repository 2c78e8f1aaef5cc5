#include "bridge/StorageLayout.h"

#include "bridge/TextLines.h"

#include <limits>
#include <optional>

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
    // A count of kibibytes is read only when its bytes fit in 64 bits.
    const auto kibibytes = [](const QString &field) -> std::optional<qint64> {
        bool ok = false;
        const qint64 value = field.toLongLong(&ok);
        if (!ok || value < 0 || value > std::numeric_limits<qint64>::max() / 1024)
            return std::nullopt;
        return value * 1024;
    };
    QList<QPair<qint64, qint64>> rows;
    const QStringList lines = splitLines(output);
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QStringList fields = splitFields(lines.at(i));
        if (fields.size() < 4)
            continue;
        const std::optional<qint64> total = kibibytes(fields.at(1));
        const std::optional<qint64> free = kibibytes(fields.at(3));
        if (!total || !free)
            continue;
        rows.append({*total, *free});
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
