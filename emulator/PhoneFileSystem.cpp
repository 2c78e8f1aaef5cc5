#include "PhoneFileSystem.h"

#include <QFile>

namespace {

bool isAtOrBelow(const QString &path, const QString &folder)
{
    return path == folder || path.startsWith(folder + QLatin1Char('/'));
}

}

PhoneFileSystem::PhoneFileSystem(QString root, QString systemImage, QStringList cards, QStringList denyPaths)
    : m_root(std::move(root)), m_systemImage(std::move(systemImage)), m_cards(std::move(cards))
{
    for (const QString &path : denyPaths)
        m_deny << normalized(path);
}

QString PhoneFileSystem::normalized(const QString &phonePath)
{
    // ".." stops at "/" as on the phone: no path leads out of the phone's file system.
    QStringList parts;
    for (const QString &part : phonePath.split(QLatin1Char('/'), Qt::SkipEmptyParts)) {
        if (part == QLatin1String("..")) {
            if (!parts.isEmpty())
                parts.removeLast();
        }
        else if (part != QLatin1String("."))
            parts << part;
    }
    const QString path = QLatin1Char('/') + parts.join(QLatin1Char('/'));
    for (const QString &alias : {QStringLiteral("/sdcard"), QStringLiteral("/storage/self/primary"),
                                QStringLiteral("/mnt/sdcard")}) {
        if (isAtOrBelow(path, alias))
            return QLatin1String(Internal) + path.mid(alias.size());
    }
    return path;
}

QStringList PhoneFileSystem::backedFolders() const
{
    QStringList folders{QLatin1String(Internal)};
    for (const QString &card : m_cards)
        folders << QStringLiteral("/storage/") + card;
    folders << QLatin1String(LocalTmp) << QLatin1String(Apps);
    return folders;
}

QByteArray PhoneFileSystem::hostPath(const QString &phonePath) const
{
    const QString path = normalized(phonePath);
    for (const QString &folder : backedFolders()) {
        if (isAtOrBelow(path, folder))
            return QFile::encodeName(m_root + path);
    }
    return QFile::encodeName(m_systemImage + (path == QLatin1String("/") ? QString() : path));
}

bool PhoneFileSystem::isInsideDenied(const QString &phonePath) const
{
    const QString path = normalized(phonePath);
    for (const QString &folder : m_deny) {
        if (path.startsWith(folder + QLatin1Char('/')))
            return true;
    }
    return false;
}

bool PhoneFileSystem::isDeniedFolder(const QString &phonePath) const
{
    return m_deny.contains(normalized(phonePath));
}
