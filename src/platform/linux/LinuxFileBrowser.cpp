#include "platform/linux/LinuxFileBrowser.h"

#include "platform/Platform.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QFileInfo>
#include <QUrl>

namespace {

void openFolderOf(const QString &path)
{
    Platform::instance().launcher().open(QUrl::fromLocalFile(QFileInfo(path).absolutePath()));
}

} // namespace

void LinuxFileBrowser::reveal(const QString &path)
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        openFolderOf(path);
        return;
    }
    QDBusMessage call = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.FileManager1"), QStringLiteral("/org/freedesktop/FileManager1"),
        QStringLiteral("org.freedesktop.FileManager1"), QStringLiteral("ShowItems"));
    // File URIs are sent fully percent-encoded ("a%20b.txt"), as the interface defines them.
    call << QStringList{QUrl::fromLocalFile(path).toString(QUrl::FullyEncoded)} << QString();
    // The reply arrives later on this thread; a browser that is missing or refuses the call
    // leaves the plain folder as the answer.
    auto *watcher = new QDBusPendingCallWatcher(bus.asyncCall(call));
    QObject::connect(watcher, &QDBusPendingCallWatcher::finished, watcher,
                     [path](QDBusPendingCallWatcher *finished) {
                         if (finished->isError())
                             openFolderOf(path);
                         finished->deleteLater();
                     });
}
