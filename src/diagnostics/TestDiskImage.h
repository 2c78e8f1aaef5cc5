#pragma once

#include "diagnostics/Shell.h"

#include <QCoro/QCoroTask>
#include <QString>

// A small exFAT disk image that the drive self-test mounts like a newly plugged-in drive.
// Where a desktop session offers udisks it is attached through udisksctl (which picks the
// mount point); otherwise, as root, through a loop device mounted at "/media/" + the volume
// name, with the kernel's exFAT driver or else the FUSE one. Every instance uses a fresh
// temporary folder and a fresh volume name, so runs never collide with leftovers.
class TestDiskImage
{
public:
    TestDiskImage();

    QString folder() const { return m_folder; }
    QString imagePath() const { return m_folder + QStringLiteral("/t.img"); }
    QString volumeName() const { return m_volumeName; }
    // Where the volume appears once attached.
    QString mountPoint() const { return m_mountPoint; }

    QCoro::Task<ShellResult> create();
    QCoro::Task<ShellResult> attach(bool readOnly);
    // Unmounts even if files are busy and releases the loop device.
    QCoro::Task<ShellResult> detach();
    // Whatever happened before: detaches, releases the loop device and removes the folder.
    QCoro::Task<> cleanUp();

private:
    QCoro::Task<ShellResult> attachWithUdisks(bool readOnly);
    QCoro::Task<ShellResult> attachAsRoot(bool readOnly);
    QCoro::Task<ShellResult> releaseLoopDevice();

    QString m_folder;
    QString m_volumeName;
    QString m_mountPoint;
    QString m_loopDevice;
    bool m_useUdisks = false;
    bool m_madeMountPoint = false;
};
