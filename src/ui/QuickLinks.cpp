#include "ui/QuickLinks.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace QuickLinks {

QList<QuickLink> computer(const QString &home, const QString &mediaRoot, const QString &desktop,
                          const QString &downloads, const QString &documents, const QString &pictures,
                          const QString &movies, const QString &music)
{
    return {
        {QStringLiteral("Macintosh HD"), QStringLiteral("internaldrive"), QStringLiteral("/")},
        {QStringLiteral("External drives"), QStringLiteral("externaldrive"), mediaRoot},
        {QStringLiteral("Home"), QStringLiteral("house"), home},
        {QStringLiteral("Desktop"), QStringLiteral("menubar.dock.rectangle"), desktop},
        {QStringLiteral("Downloads"), QStringLiteral("arrow.down.circle"), downloads},
        {QStringLiteral("Documents"), QStringLiteral("doc"), documents},
        {QStringLiteral("Pictures"), QStringLiteral("photo"), pictures},
        {QStringLiteral("Movies"), QStringLiteral("film"), movies},
        {QStringLiteral("Music"), QStringLiteral("music.note"), music},
    };
}

QList<QuickLink> computerForCurrentUser()
{
    const QString home = QDir::homePath();
    auto folder = [&](QStandardPaths::StandardLocation location, const QString &fallback) {
        const QString path = QStandardPaths::writableLocation(location);
        return path.isEmpty() ? home + QLatin1Char('/') + fallback : path;
    };
    // Desktops mount drives under /run/media/<user> or /media/<user>; otherwise /media itself.
    const QString user = QDir(home).dirName();
    QString mediaRoot = QStringLiteral("/media");
    for (const QString &candidate : {QStringLiteral("/run/media/") + user, QStringLiteral("/media/") + user}) {
        if (QFileInfo(candidate).isDir()) {
            mediaRoot = candidate;
            break;
        }
    }
    return computer(home, mediaRoot, folder(QStandardPaths::DesktopLocation, QStringLiteral("Desktop")),
                    folder(QStandardPaths::DownloadLocation, QStringLiteral("Downloads")),
                    folder(QStandardPaths::DocumentsLocation, QStringLiteral("Documents")),
                    folder(QStandardPaths::PicturesLocation, QStringLiteral("Pictures")),
                    folder(QStandardPaths::MoviesLocation, QStringLiteral("Videos")),
                    folder(QStandardPaths::MusicLocation, QStringLiteral("Music")));
}

QList<QuickLink> phone(const std::optional<StorageVolume> &active)
{
    const QString root = active ? active->path : QStringLiteral("/storage/emulated/0");
    return {
        {QStringLiteral("Storage root"), QStringLiteral("internaldrive"), root},
        {QStringLiteral("Download"), QStringLiteral("arrow.down.circle"), root + QStringLiteral("/Download")},
        {QStringLiteral("DCIM (Camera)"), QStringLiteral("camera"), root + QStringLiteral("/DCIM")},
        {QStringLiteral("Pictures"), QStringLiteral("photo"), root + QStringLiteral("/Pictures")},
        {QStringLiteral("Documents"), QStringLiteral("doc"), root + QStringLiteral("/Documents")},
        {QStringLiteral("Movies"), QStringLiteral("film"), root + QStringLiteral("/Movies")},
        {QStringLiteral("Music"), QStringLiteral("music.note"), root + QStringLiteral("/Music")},
        {QStringLiteral("WhatsApp"), QStringLiteral("message"),
         QStringLiteral("/storage/emulated/0/Android/media/com.whatsapp/WhatsApp/Media")},
        {QStringLiteral("Root /"), QStringLiteral("externaldrive"), QStringLiteral("/")},
    };
}

} // namespace QuickLinks
