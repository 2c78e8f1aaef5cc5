#include "platform/linux/LinuxNotifier.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusPendingCall>
#include <QVariantMap>

namespace {
const QString service = QStringLiteral("org.freedesktop.Notifications");
}

bool LinuxNotifier::canNotify()
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected() || !bus.interface())
        return false;
    if (bus.interface()->isServiceRegistered(service).value())
        return true;
    return bus.interface()->activatableServiceNames().value().contains(service);
}

void LinuxNotifier::notify(const QString &title, const QString &body, bool withSound)
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return;
    QDBusMessage call = QDBusMessage::createMethodCall(service, QStringLiteral("/org/freedesktop/Notifications"),
                                                       service, QStringLiteral("Notify"));
    QVariantMap hints;
    // The freedesktop sound theme's name for the default "something arrived" sound.
    if (withSound)
        hints.insert(QStringLiteral("sound-name"), QStringLiteral("message-new-instant"));
    // Replacing notification 0 means a new one each time; -1 lets the desktop pick the timeout.
    call << QStringLiteral("Tessary") << uint(0) << QString() << title << body << QStringList()
         << hints << int(-1);
    bus.asyncCall(call);
}
