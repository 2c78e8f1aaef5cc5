#include "platform/linux/LinuxFileBrowser.h"

#include "platform/Platform.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QFileInfo>
#include <QUrl>

namespace {

void openFoldersOf(const QStringList &paths)
{
    QStringList folders;
    for (const QString &path : paths) {
        const QString folder = QFileInfo(path).absolutePath();
        if (!folders.contains(folder))
            folders.append(folder);
    }
    for (const QString &folder : folders)
        Platform::instance().launcher().open(QUrl::fromLocalFile(folder));
}

} // namespace

void LinuxFileBrowser::reveal(const QStringList &paths)
{
    if (paths.isEmpty())
        return;
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        openFoldersOf(paths);
        return;
    }
    QDBusMessage call = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.FileManager1"), QStringLiteral("/org/freedesktop/FileManager1"),
        QStringLiteral("org.freedesktop.FileManager1"), QStringLiteral("ShowItems"));
    // File URIs are sent fully percent-encoded ("a%20b.txt"), as the interface defines them.
    QStringList uris;
    for (const QString &path : paths)
        uris.append(QUrl::fromLocalFile(path).toString(QUrl::FullyEncoded));
    call << uris << QString();
    // The reply arrives later on this thread; a browser that is missing or refuses the call
    // leaves the plain folders as the answer.
    auto *watcher = new QDBusPendingCallWatcher(bus.asyncCall(call));
    QObject::connect(watcher, &QDBusPendingCallWatcher::finished, watcher,
                     [paths](QDBusPendingCallWatcher *finished) {
                         if (finished->isError())
                             openFoldersOf(paths);
                         finished->deleteLater();
                     });
}
