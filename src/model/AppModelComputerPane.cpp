#include "model/AppModel.h"

#include "bridge/Listing.h"
#include "drives/Drives.h"
#include "model/LocalErrorText.h"
#include "model/LocalListing.h"
#include "model/TypedName.h"
#include "platform/Platform.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QUrl>

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>

void AppModel::reloadMac()
{
    setMacError(std::nullopt);
    LocalListing listing = LocalListing::read(m_macPath, m_showHidden);
    if (listing.error != 0) {
        setMacError(isPermissionError(listing.error)
                        ? fullDiskAccessExplanation()
                        : localErrorText(QStringLiteral("open"), m_macPath, listing.error));
    }
    sortEntries(listing.rows);
    setMacItems(listing.rows);
    setMacSelection({});
}

void AppModel::openMac(const QString &path)
{
    struct stat info {};
    if (::stat(QFile::encodeName(path).constData(), &info) != 0)
        return;
    if (S_ISDIR(info.st_mode)) {
        setMacPath(path);
        reloadMac();
        return;
    }
    // Whether an application really started is not checked.
    Platform::instance().launcher().open(QUrl::fromLocalFile(path));
}

void AppModel::newMacFolder(const QString &name)
{
    if (const std::optional<QString> refusal = typedNameRefusal(name)) {
        setMessage(refusal);
        return;
    }
    if (Drives::isReadOnly(m_macPath)) {
        setMessage(Drives::explanation(m_macPath, m_drives));
        return;
    }
    const QString folder = QDir(m_macPath).filePath(name);
    if (::mkdir(QFile::encodeName(folder).constData(), 0777) != 0)
        setMessage(localErrorText(QStringLiteral("create"), folder, errno));
    reloadMac();
}

void AppModel::renameMac(const QString &path, const QString &newName)
{
    if (const std::optional<QString> refusal = typedNameRefusal(newName)) {
        setMessage(refusal);
        return;
    }
    const QString target = QDir(QFileInfo(path).path()).filePath(newName);
    const QByteArray from = QFile::encodeName(path);
    const QByteArray to = QFile::encodeName(target);
    // Renaming never replaces an item that already has the new name.
    int result = ::renameat2(AT_FDCWD, from.constData(), AT_FDCWD, to.constData(), RENAME_NOREPLACE);
    if (result != 0 && errno == EINVAL) {
        // File systems without the no-replace flag: test for the name first.
        struct stat existing {};
        if (::lstat(to.constData(), &existing) == 0)
            errno = EEXIST;
        else
            result = ::rename(from.constData(), to.constData());
    }
    if (result != 0)
        setMessage(localErrorText(QStringLiteral("rename"), path, errno));
    reloadMac();
}

void AppModel::trashMac(const QStringList &paths)
{
    // Every item is tried; after several failures the notice is the last one.
    for (const QString &path : paths) {
        if (const std::optional<QString> failure = Platform::instance().trash().moveToTrash(path))
            setMessage(failure);
    }
    reloadMac();
}

void AppModel::openFullDiskAccessSettings()
{
    Platform::instance().accessSettings().openFullDiskAccessSettings(m_macPath);
}
