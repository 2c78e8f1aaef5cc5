#pragma once

#include <QString>

#include <optional>

// The kernel settings that decide whether an ordinary user may create a user namespace, as
// /proc/sys shows them; a setting this kernel does not have stays empty.
struct NamespaceSettings {
    std::optional<qint64> unprivilegedClone;   // kernel.unprivileged_userns_clone (Debian's kernels)
    std::optional<qint64> apparmorRestriction; // kernel.apparmor_restrict_unprivileged_userns (Ubuntu's)
    std::optional<qint64> maxUserNamespaces;   // user.max_user_namespaces
};

// The one line printed when the phone could not enter its user namespace: which setting keeps
// user namespaces off and the command that switches them on, or else the step that failed
// (for example "create a user namespace") and errno's text.
QString namespaceAdvice(const NamespaceSettings &settings, const QString &failedStep, int error);
