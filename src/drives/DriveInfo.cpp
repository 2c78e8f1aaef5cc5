#include "drives/DriveInfo.h"

#include "common/ByteCount.h"

QString DriveInfo::capacityText() const
{
    if (total <= 0)
        return {};
    return formatByteCount(free) + QStringLiteral(" free of ") + formatByteCount(total);
}

QString DriveInfo::readOnlyExplanation() const
{
    const QString quoted = QStringLiteral("\u201C") + name + QStringLiteral("\u201D");
    if (format == QLatin1String("NTFS")) {
        return quoted
            + QStringLiteral(" is an NTFS drive. macOS can read NTFS but can't write to it, so you can "
                             "copy files from this drive, but not onto it. To write to it you need a "
                             "third-party NTFS driver, or you can reformat the drive as exFAT (this "
                             "erases it).");
    }
    return quoted + QStringLiteral(" (") + format
        + QStringLiteral(") is read-only, so you can copy files from it but not onto it. Check the "
                         "drive for a small write-protect switch. If there isn't one, open Disk Utility "
                         "and run First Aid on it: macOS often mounts a drive read-only after it was "
                         "unplugged without ejecting.");
}
