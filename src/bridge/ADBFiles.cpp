#include "bridge/ADB.h"
#include "bridge/FolderWalk.h"
#include "bridge/Listing.h"
#include "bridge/ListingReader.h"
#include "bridge/NoReplace.h"
#include "bridge/SettleCommand.h"
#include "bridge/ShellQuote.h"
#include "bridge/TextLines.h"
#include "model/Sizing.h"


QCoro::Task<QList<FileEntry>> ADB::list(QString serial, QString path, bool showHidden)
{
    // The lines are parsed while a long listing still streams in.
    ListingReader reader(path, showHidden);
    const ProcessResult result =
        co_await shell(serial, listingCommand(path), [&reader](QByteArrayView bytes) { reader.add(bytes); });
    QList<FileEntry> entries = reader.finish(result.error);
    if (entries.isEmpty()) {
        if (const std::optional<QString> failure =
                emptyListingFailure(result.output + result.error, result.status, path))
            throw ADBError::failed(*failure);
    }
    co_return entries;
}

QCoro::Task<> ADB::makeDirectory(QString serial, QString path)
{
    const ProcessResult result = co_await shell(serial, QStringLiteral("mkdir -p ") + shellQuote(path));
    if (result.status != 0)
        throw ADBError::failed(result.output + result.error);
}

QCoro::Task<> ADB::createFolder(QString serial, QString path)
{
    const ProcessResult result = co_await shell(serial, noReplaceFolderCommand(path));
    if (saysNameTaken(result.output))
        throw ADBError::failed(nameTakenSentence(QStringLiteral("create"), path));
    if (result.status != 0)
        throw ADBError::failed(result.output + result.error);
}

QCoro::Task<> ADB::deletePaths(QString serial, QStringList paths)
{
    QStringList quoted;
    for (const QString &path : std::as_const(paths))
        quoted << shellQuote(path);
    const ProcessResult result = co_await shell(serial, QStringLiteral("rm -rf ") + quoted.join(QLatin1Char(' ')));
    if (result.status != 0)
        throw ADBError::failed(result.output + result.error);
}

QCoro::Task<> ADB::rename(QString serial, QString from, QString to)
{
    const ProcessResult result = co_await shell(serial, noReplaceRenameCommand(from, to));
    if (saysNameTaken(result.output))
        throw ADBError::failed(nameTakenSentence(QStringLiteral("rename"), from));
    const QString text = result.output + result.error;
    // The phone's mv may report a failure with status 0.
    if (result.status != 0 || text.contains(QLatin1String("mv:")))
        throw ADBError::failed(text);
}

QCoro::Task<QList<std::optional<QString>>> ADB::settle(QString serial, QList<SettleStep> steps)
{
    const QString marker = newSettleMarker();
    const ProcessResult result = co_await shell(serial, settleCommand(steps, marker));
    QList<std::optional<QString>> outcomes = settleOutcomes(result.output, steps.size(), marker);
    for (std::optional<QString> &outcome : outcomes) {
        if (!outcome)
            continue;
        // A step cut off before its line printed nothing of its own; adb may have said why.
        outcome = ADB::lastMeaningfulLine(trimBlanks(*outcome).isEmpty() ? result.error : *outcome);
    }
    co_return outcomes;
}

QCoro::Task<QSet<QString>> ADB::existingNames(QString serial, QString dir)
{
    try {
        const ProcessResult result = co_await shell(serial, nameListCommand(dir));
        co_return parseNameList(result.output);
    } catch (const std::exception &) {
        co_return {};
    }
}

QCoro::Task<QList<FileEntry>> ADB::allFiles(QString serial, QString root)
{
    // The listing follows links to folders, so a link back to an ancestor would be walked
    // forever: each folder is identified by its physical path and walked once. The depth
    // bound stops the walk on a phone that cannot resolve paths. Resolving and listing
    // share one adb run, so the walk costs one run per folder.
    constexpr int maxDepth = 64;
    QList<FileEntry> files;
    QSet<QString> visited;
    QList<QPair<QString, int>> stack{{root, 0}};
    while (!stack.isEmpty()) {
        const auto [folder, depth] = stack.takeLast();
        WalkedFolder walked;
        try {
            const ProcessResult result = co_await shell(serial, folderWalkCommand(folder));
            walked = parseWalkedFolder(result.output, folder);
        } catch (const std::exception &) {
            continue;
        }
        if (visited.contains(walked.identity))
            continue;
        visited.insert(walked.identity);
        sortEntries(walked.entries);
        for (const FileEntry &entry : std::as_const(walked.entries)) {
            if (!entry.isDirectory)
                files.append(entry);
            else if (depth < maxDepth)
                stack.append({entry.path, depth + 1});
        }
    }
    co_return files;
}

QCoro::Task<qint64> ADB::remoteSize(QString serial, QString path, bool isDirectory)
{
    try {
        const QString command = (isDirectory ? QStringLiteral("du -sk ") : QStringLiteral("stat -c %s ")) + shellQuote(path);
        const ProcessResult result = co_await shell(serial, command);
        co_return Sizing::parseStat(result.output + result.error, isDirectory);
    } catch (const std::exception &) {
        co_return 0;
    }
}

QCoro::Task<bool> ADB::remoteIsDirectory(QString serial, QString path)
{
    try {
        const ProcessResult result =
            co_await shell(serial, QStringLiteral("[ -d ") + shellQuote(path) + QStringLiteral(" ] && echo DIR"));
        co_return (result.output + result.error).contains(QLatin1String("DIR"));
    } catch (const std::exception &) {
        co_return false;
    }
}

QCoro::Task<FileInventory> ADB::fileInventory(QString serial, QString root)
{
    try {
        const ProcessResult result = co_await shell(serial, inventoryCommand(root));
        co_return parseInventory(result.output, result.error, root);
    } catch (const std::exception &) {
        co_return FileInventory();
    }
}

QCoro::Task<QStringList> ADB::unreadableFolders(QString serial, QString root)
{
    try {
        const ProcessResult result = co_await shell(serial, folderWalkOnlyCommand(root));
        co_return parseInventory(result.output, result.error, root).unreadable;
    } catch (const std::exception &) {
        co_return QStringList();
    }
}
