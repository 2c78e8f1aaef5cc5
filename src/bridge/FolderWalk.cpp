#include "bridge/FolderWalk.h"

#include "bridge/Listing.h"

QString folderWalkCommand(const QString &folder)
{
    return QStringLiteral("cd ") + quotedFolder(folder) + QStringLiteral(" && pwd -P && ls -lAL");
}

WalkedFolder parseWalkedFolder(const QString &output, const QString &folder)
{
    // A listing line starts with its type letter, so an absolute path on the first line
    // can only be the shell's answer to pwd.
    const qsizetype end = output.indexOf(QLatin1Char('\n'));
    QString first = end < 0 ? output : output.left(end);
    while (first.endsWith(QLatin1Char('\r')))
        first.chop(1);
    if (!first.startsWith(QLatin1Char('/')))
        return WalkedFolder{folder, parseListing(output, folder, false)};
    const QString rest = end < 0 ? QString() : output.mid(end + 1);
    return WalkedFolder{first, parseListing(rest, folder, false)};
}
