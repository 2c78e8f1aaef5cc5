#pragma once

#include "platform/Ejector.h"

// With udisks on the system bus (a desktop session): `udisksctl unmount`, then
// `udisksctl power-off` for a disk or `udisksctl loop-delete` for a disk image. Without it:
// `umount` of the mount point (which needs the rights to unmount it).
class LinuxEjector : public Ejector
{
public:
    QCoro::Task<std::optional<QString>> eject(const QString &mountPath) override;
};
