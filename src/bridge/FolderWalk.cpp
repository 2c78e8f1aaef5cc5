#include "bridge/FolderWalk.h"

#include "bridge/Listing.h"

#include <QRegularExpression>

QString folderWalkCommand(const QString &folder)
{
    return QStringLiteral("cd ") + quotedFolder(folder) + QStringLiteral(" && pwd -P && ls -lALb");
}

WalkedFolder parseWalkedFolder(const QString &output, const QString &folder)
{
    // The physical path is printed as it is and may hold line breaks, even lines that look
    // like a listing; the escaped listing cannot. So the path is everything before the
    // last "total" line and only what follows that line are entries. Without a total line
    // the folder could not be listed.
    static const QRegularExpression total(QStringLiteral("^total \\d+\\r*$"),
                                          QRegularExpression::MultilineOption);
    qsizetype start = -1;
    qsizetype end = -1;
    for (auto matches = total.globalMatch(output); matches.hasNext();) {
        const QRegularExpressionMatch match = matches.next();
        start = match.capturedStart();
        end = match.capturedEnd();
    }
    QString path = start < 0 ? output : output.left(start);
    while (path.endsWith(QLatin1Char('\n')) || path.endsWith(QLatin1Char('\r')))
        path.chop(1);
    const QString identity = path.startsWith(QLatin1Char('/')) ? path : folder;
    if (start < 0)
        return WalkedFolder{identity, {}};
    return WalkedFolder{identity, parseListing(output.mid(end), folder, false)};
}
