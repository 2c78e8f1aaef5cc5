#include "bridge/AdbVersion.h"

#include "bridge/TextLines.h"

QString adbVersion(const QString &versionOutput)
{
    const QString releasePrefix = QStringLiteral("Version ");
    const QString protocolPrefix = QStringLiteral("Android Debug Bridge version ");
    QString protocol;
    for (const QString &line : splitLines(versionOutput)) {
        const QString text = trimBlanks(line);
        if (text.startsWith(releasePrefix))
            return trimBlanks(text.mid(releasePrefix.size()));
        if (protocol.isEmpty() && text.startsWith(protocolPrefix))
            protocol = trimBlanks(text.mid(protocolPrefix.size()));
    }
    return protocol;
}
