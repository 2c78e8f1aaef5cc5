// The storage volumes from `ls -1 /storage` and `df -k`, any text: the internal storage
// comes first, every card is a folder of /storage without blanks, and sizes are bytes that
// are never negative, with free space never above the total.
#include "FuzzInput.h"

#include "bridge/StorageLayout.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString text = inputText(data, size);
    QList<StorageVolume> volumes = volumesFromStorageListing(text);
    require(!volumes.isEmpty() && volumes.first() == internalStorage(), "the internal storage comes first");
    for (qsizetype i = 1; i < volumes.size(); ++i) {
        const StorageVolume &volume = volumes.at(i);
        require(!volume.isInternal, "only the first volume is internal");
        require(volume.path.startsWith(QStringLiteral("/storage/")) && volume.path.size() > 9
                    && !volume.path.contains(QLatin1Char(' ')),
                "a card is a folder of /storage without blanks");
        require(volume.name == (volumes.size() == 2 ? QStringLiteral("SD card") : QStringLiteral("SD card / USB %1").arg(i)),
                "cards are named by their place");
    }
    const QList<QPair<qint64, qint64>> rows = parseDiskFree(text);
    for (const auto &[total, free] : rows)
        require(total >= 0 && free >= 0 && total % 1024 == 0 && free % 1024 == 0, "sizes are whole kibibytes");
    applyDiskFree(volumes, rows);
    for (const StorageVolume &volume : std::as_const(volumes))
        require(volume.total >= 0 && volume.free >= 0, "measured sizes are not negative");
    return 0;
}
