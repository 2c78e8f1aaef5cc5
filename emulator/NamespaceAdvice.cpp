#include "NamespaceAdvice.h"

#include <cerrno>
#include <cstring>

namespace {

QString switchOn(const QString &why, const QString &setting, qint64 value)
{
    return QStringLiteral("%1 (%2 = 0); switch them on with \"sudo sysctl -w %2=%3\" "
                          "(a file in /etc/sysctl.d keeps it), or run the phone as root")
        .arg(why, setting)
        .arg(value);
}

}

QString namespaceAdvice(const NamespaceSettings &settings, const QString &failedStep, int error)
{
    if (settings.unprivilegedClone == 0)
        return switchOn(QStringLiteral("user namespaces are switched off for ordinary users"),
                        QStringLiteral("kernel.unprivileged_userns_clone"), 1);
    if (settings.maxUserNamespaces == 0)
        return switchOn(QStringLiteral("user namespaces are switched off"), QStringLiteral("user.max_user_namespaces"),
                        15000);
    if (settings.apparmorRestriction.value_or(0) != 0)
        return QStringLiteral("AppArmor keeps ordinary users out of user namespaces "
                              "(kernel.apparmor_restrict_unprivileged_userns = %1); allow them with "
                              "\"sudo sysctl -w kernel.apparmor_restrict_unprivileged_userns=0\", or run the phone as root")
            .arg(*settings.apparmorRestriction);
    if (error == ENOSPC && settings.maxUserNamespaces)
        return QStringLiteral("this user has reached its limit of %1 user namespaces (user.max_user_namespaces); "
                              "raise it with \"sudo sysctl -w user.max_user_namespaces=%2\", or run the phone as root")
            .arg(*settings.maxUserNamespaces)
            .arg(*settings.maxUserNamespaces * 2);
    return QStringLiteral("cannot %1 (%2): as an ordinary user the phone needs user namespaces "
                          "(\"unshare -Urm true\" tells whether this system allows them), or run the phone as root")
        .arg(failedStep, QString::fromLocal8Bit(strerror(error)));
}
