#pragma once

#include <QString>
#include <QStringList>
#include <QTemporaryDir>

// A volume the drive tests mount under /media/<fresh name> (root only), and always take down
// again: a tmpfs, or an exFAT disk image on a loop device (the kernel driver where there is
// one, else exfat-fuse).
class ScratchMount
{
public:
    // A fresh volume name unless the test gives one (exFAT labels hold 11 characters).
    explicit ScratchMount(const QString &name = {});
    ~ScratchMount();
    ScratchMount(const ScratchMount &) = delete;
    ScratchMount &operator=(const ScratchMount &) = delete;

    QString name() const { return m_name; }
    QString mountPoint() const { return m_mountPoint; }
    // The last command's output when something failed.
    QString error() const { return m_error; }

    bool mountTmpfs(bool readOnly);
    bool mountExfatImage(bool readOnly);
    // Moves the mount to /media/<newName> (mount --move), as a renamed volume appears.
    bool moveTo(const QString &newName);
    // Unmounts and detaches; true when nothing is left mounted.
    bool unmount();

private:
    bool run(const QString &program, const QStringList &arguments, QString *output = nullptr);
    bool makeMountPoint();

    QTemporaryDir m_folder;
    QString m_name;
    QString m_mountPoint;
    QString m_loopDevice;
    QString m_error;
    bool m_mounted = false;
    QStringList m_madeFolders;
};
