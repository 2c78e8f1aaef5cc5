#include "bridge/ADB.h"
#include "bridge/ShellQuote.h"
#include "bridge/StorageLayout.h"

QCoro::Task<QList<StorageVolume>> ADB::storageVolumes(QString serial)
{
    QList<StorageVolume> volumes{internalStorage()};
    try {
        const ProcessResult listing = co_await shell(serial, QStringLiteral("ls -1 /storage"));
        volumes = volumesFromStorageListing(listing.output);
    } catch (const std::exception &) {
    }
    try {
        QStringList quoted;
        for (const StorageVolume &volume : std::as_const(volumes))
            quoted << shellQuote(volume.path);
        const ProcessResult sizes = co_await shell(serial, QStringLiteral("df -k ") + quoted.join(QLatin1Char(' ')));
        applyDiskFree(volumes, parseDiskFree(sizes.output));
    } catch (const std::exception &) {
    }
    co_return volumes;
}
