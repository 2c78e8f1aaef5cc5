#pragma once

#include "platform/Ejector.h"

#include <QString>

#include <optional>

// With udisks on the system bus (a desktop session): `udisksctl unmount`, then
// `udisksctl power-off` for a disk or `udisksctl loop-delete` for a disk image. Without it:
// `umount` of the mount point (which needs the rights to unmount it).
//
// The unmount decides: once it succeeded the drive is safe to pull, so a refused power-off
// (a drive on a bus that cannot be powered off, no permission to power it off) or a failed
// loop-delete still counts as ejected.
class LinuxEjector : public Ejector
{
public:
    // The tools to use. An absent udisksctl means: look in the system's folders, and use it
    // while udisks runs on the system bus.
    struct Tools
    {
        std::optional<QString> udisksctl;
    };

    LinuxEjector() = default;
    explicit LinuxEjector(Tools tools);

    QCoro::Task<std::optional<QString>> eject(const QString &mountPath) override;

private:
    Tools m_tools;
};
