#include "DriveTests.h"

#include "drives/DriveRules.h"
#include "drives/Drives.h"

#include <QSet>
#include <QtTest>

namespace {

DriveInfo makeDrive(const QString &path, const QString &name = {}, const QString &fsType = {},
                    bool readOnly = false, qint64 total = 0, qint64 free = 0)
{
    DriveInfo drive;
    drive.url = QUrl::fromLocalFile(path);
    drive.name = name.isEmpty() ? path.section(QLatin1Char('/'), -1) : name;
    drive.fsType = fsType;
    drive.format = Drives::friendlyFormat(fsType);
    drive.isReadOnly = readOnly;
    drive.total = total;
    drive.free = free;
    return drive;
}

const QString ntfsDriveText = QStringLiteral(
    "\u201CBackup\u201D is an NTFS drive. macOS can read NTFS but can't write to it, so you can copy "
    "files from this drive, but not onto it. To write to it you need a third-party NTFS driver, or "
    "you can reformat the drive as exFAT (this erases it).");
const QString exfatDriveText = QStringLiteral(
    "\u201CStick\u201D (exFAT) is read-only, so you can copy files from it but not onto it. Check the "
    "drive for a small write-protect switch. If there isn't one, open Disk Utility and run First "
    "Aid on it: macOS often mounts a drive read-only after it was unplugged without ejecting.");

} // namespace

class DriveRulesTest : public QObject
{
    Q_OBJECT
private slots:
    void friendlyFormat_data();
    void friendlyFormat();
    void containingDrive_data();
    void containingDrive();
    void externalMountPaths_data();
    void externalMountPaths();
    void writeGuardWalk_data();
    void writeGuardWalk();
    void explanation_data();
    void explanation();
    void driveExplanationNamesTheDrive();
    void capacityText_data();
    void capacityText();
    void fuseRealType_data();
    void fuseRealType();
    void networkFileSystems_data();
    void networkFileSystems();
    void driveMounts_data();
    void driveMounts();
    void equalityCoversEveryField();
};

void DriveRulesTest::friendlyFormat_data()
{
    QTest::addColumn<QString>("fsType");
    QTest::addColumn<QString>("format");
    const QList<std::pair<const char *, const char *>> rows{
        {"ntfs", "NTFS"},         {"ufsd_NTFS", "NTFS"},  {"tuxera_ntfs", "NTFS"},
        {"ntfs3", "NTFS"},        {"NTFS", "NTFS"},       {"exfat", "exFAT"},
        {"EXFAT", "exFAT"},       {"msdos", "FAT"},       {"vfat", "FAT"},
        {"apfs", "APFS"},         {"hfs", "Mac OS Extended"}, {"hfsplus", "Mac OS Extended"},
        {"udf", "UDF"},           {"cd9660", "CD/DVD"},   {"iso9660", "CD/DVD"},
        {"fusefs", "FUSE"},       {"macfuse", "FUSE"},    {"osxfuse", "FUSE"},
        {"fuse", "FUSE"},         {"fuseblk", "FUSE"},    {"", "Unknown"},
        {"zzfs", "ZZFS"},         {"ext4", "EXT4"},       {"tmpfs", "TMPFS"},
    };
    for (const auto &[fsType, format] : rows)
        QTest::newRow(*fsType ? fsType : "empty") << QString::fromLatin1(fsType) << QString::fromLatin1(format);
}

void DriveRulesTest::friendlyFormat()
{
    QFETCH(QString, fsType);
    QFETCH(QString, format);
    QCOMPARE(Drives::friendlyFormat(fsType), format);
}

void DriveRulesTest::containingDrive_data()
{
    QTest::addColumn<QList<DriveInfo>>("drives");
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("expected"); // the winning drive's name, empty for none

    const QList<DriveInfo> one{makeDrive(QStringLiteral("/media/alex/Backup"))};
    QTest::newRow("file on the drive") << one << "/media/alex/Backup/Movies/a.mkv" << "Backup";
    QTest::newRow("the mount path itself") << one << "/media/alex/Backup" << "Backup";
    QTest::newRow("sibling with the same prefix") << one << "/media/alex/BackupOther/x" << "";
    QTest::newRow("parent of the mount") << one << "/media/alex" << "";
    QTest::newRow("no drives") << QList<DriveInfo>{} << "/media/alex/Backup/x" << "";

    const QList<DriveInfo> nested{makeDrive(QStringLiteral("/mnt"), QStringLiteral("outer")),
                                  makeDrive(QStringLiteral("/mnt/disk/inner"), QStringLiteral("inner")),
                                  makeDrive(QStringLiteral("/mnt/disk"), QStringLiteral("middle"))};
    QTest::newRow("nested: deepest wins") << nested << "/mnt/disk/inner/a/b" << "inner";
    QTest::newRow("nested: middle") << nested << "/mnt/disk/other" << "middle";
    QTest::newRow("nested: outer") << nested << "/mnt/elsewhere" << "outer";

    const QList<DriveInfo> twins{makeDrive(QStringLiteral("/media/a/X"), QStringLiteral("first")),
                                 makeDrive(QStringLiteral("/media/a/X"), QStringLiteral("second"))};
    QTest::newRow("equal length: earliest wins") << twins << "/media/a/X/file" << "first";
}

void DriveRulesTest::containingDrive()
{
    QFETCH(QList<DriveInfo>, drives);
    QFETCH(QString, path);
    QFETCH(QString, expected);
    const std::optional<DriveInfo> found = Drives::drive(path, drives);
    QCOMPARE(found ? found->name : QString(), expected);
}

void DriveRulesTest::externalMountPaths_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<bool>("external");
    QTest::newRow("udisks per user") << "/media/alex/Stick" << true;
    QTest::newRow("media root") << "/media/Stick" << true;
    QTest::newRow("run media") << "/run/media/alex/Stick" << true;
    QTest::newRow("mnt itself") << "/mnt" << true;
    QTest::newRow("below mnt") << "/mnt/usb" << true;
    QTest::newRow("root") << "/" << false;
    QTest::newRow("home") << "/home" << false;
    QTest::newRow("prefix lookalike") << "/mediacenter" << false;
    QTest::newRow("run but not media") << "/run/user/1000" << false;
    QTest::newRow("boot") << "/boot/efi" << false;
}

void DriveRulesTest::externalMountPaths()
{
    QFETCH(QString, path);
    QFETCH(bool, external);
    QCOMPARE(Drives::isExternalMountPath(path), external);
}

void DriveRulesTest::writeGuardWalk_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("nearest");
    QTest::newRow("existing folder") << "/media/d/x" << "/media/d/x";
    QTest::newRow("folder about to be made") << "/media/d/new/folder" << "/media/d";
    QTest::newRow("trailing slash") << "/media/d/new/" << "/media/d";
    QTest::newRow("dot-dot is resolved by name") << "/media/d/x/../y" << "/media/d";
    QTest::newRow("nothing exists but the root") << "/nothing/here" << "/";
    QTest::newRow("root") << "/" << "/";
    QTest::newRow("relative path ends empty") << "relative/new" << "";
    QTest::newRow("existing relative path") << "rel" << "rel";
    QTest::newRow("empty") << "" << "";
}

void DriveRulesTest::writeGuardWalk()
{
    QFETCH(QString, path);
    QFETCH(QString, nearest);
    const QSet<QString> existing{QStringLiteral("/"), QStringLiteral("/media"), QStringLiteral("/media/d"),
                                 QStringLiteral("/media/d/x"), QStringLiteral("rel")};
    QStringList asked;
    const QString result = DriveRules::nearestExistingPath(path, [&](const QString &candidate) {
        asked.append(candidate);
        return existing.contains(candidate);
    });
    QCOMPARE(result, nearest);
    QVERIFY2(asked.size() <= path.count(QLatin1Char('/')) + 1, qPrintable(asked.join(u' ')));
}

void DriveRulesTest::explanation_data()
{
    QTest::addColumn<QList<DriveInfo>>("drives");
    QTest::addColumn<QString>("path");
    QTest::addColumn<bool>("queried");
    QTest::addColumn<QString>("mountType");
    QTest::addColumn<QString>("text");

    const QList<DriveInfo> drives{makeDrive(QStringLiteral("/media/alex/Backup"), {}, QStringLiteral("ntfs3"), true),
                                  makeDrive(QStringLiteral("/media/alex/Stick"), {}, QStringLiteral("exfat"), true)};
    QTest::newRow("NTFS drive") << drives << "/media/alex/Backup/Films" << true << "ntfs3" << ntfsDriveText;
    QTest::newRow("other drive, even when the query failed")
        << drives << "/media/alex/Stick/new" << false << "" << exfatDriveText;
    QTest::newRow("no drive, query failed")
        << drives << "/media/alex/Gone/x" << false << "" << "This location is read-only.";
    QTest::newRow("no drive, NTFS mount")
        << QList<DriveInfo>{} << "/srv/win" << true << "ntfs3"
        << "This location is on an NTFS volume. macOS can read NTFS but can't write to it, so you can "
           "copy files from it, but not onto it.";
    QTest::newRow("no drive, FAT mount")
        << QList<DriveInfo>{} << "/boot/efi" << true << "vfat"
        << "This location (FAT) is read-only, so you can copy files from it but not onto it.";
    QTest::newRow("no drive, unknown type")
        << QList<DriveInfo>{} << "/x" << true << ""
        << "This location (Unknown) is read-only, so you can copy files from it but not onto it.";
}

void DriveRulesTest::explanation()
{
    QFETCH(QList<DriveInfo>, drives);
    QFETCH(QString, path);
    QFETCH(bool, queried);
    QFETCH(QString, mountType);
    QFETCH(QString, text);
    std::optional<DriveRules::MountState> mount;
    if (queried)
        mount = DriveRules::MountState{mountType, true};
    QCOMPARE(DriveRules::explanationText(path, drives, mount), text);
}

void DriveRulesTest::driveExplanationNamesTheDrive()
{
    const DriveInfo ntfs = makeDrive(QStringLiteral("/media/Backup"), QStringLiteral("Backup"),
                                     QStringLiteral("ntfs"), true);
    QVERIFY(ntfs.readOnlyExplanation().contains(QStringLiteral("\u201CBackup\u201D")));
    QVERIFY(ntfs.readOnlyExplanation().contains(QStringLiteral("can't write")));
    QCOMPARE(ntfs.readOnlyExplanation(), ntfsDriveText);

    const DriveInfo exfat = makeDrive(QStringLiteral("/media/Stick"), QStringLiteral("Stick"),
                                      QStringLiteral("exfat"), true);
    QVERIFY(exfat.readOnlyExplanation().contains(QStringLiteral("exFAT")));
    QVERIFY(exfat.readOnlyExplanation().contains(QStringLiteral("write-protect switch")));
    QCOMPARE(exfat.readOnlyExplanation(), exfatDriveText);
}

void DriveRulesTest::capacityText_data()
{
    QTest::addColumn<qint64>("total");
    QTest::addColumn<qint64>("free");
    QTest::addColumn<QString>("text");
    QTest::newRow("unknown total") << qint64(0) << qint64(5000) << "";
    QTest::newRow("negative total") << qint64(-1) << qint64(0) << "";
    QTest::newRow("card") << qint64(64'000'000'000) << qint64(12'345'678'901) << "12.3 GB free of 64 GB";
    QTest::newRow("full") << qint64(1000) << qint64(0) << "0 bytes free of 1 kB";
}

void DriveRulesTest::capacityText()
{
    QFETCH(qint64, total);
    QFETCH(qint64, free);
    QFETCH(QString, text);
    QCOMPARE(makeDrive(QStringLiteral("/media/x"), {}, {}, false, total, free).capacityText(), text);
}

void DriveRulesTest::fuseRealType_data()
{
    QTest::addColumn<QString>("mountType");
    QTest::addColumn<QString>("probe");
    QTest::addColumn<QString>("real");
    QTest::addColumn<bool>("probed");
    QTest::newRow("exfat-fuse") << "fuseblk" << "exfat" << "exfat" << true;
    QTest::newRow("ntfs-3g") << "fuseblk" << "ntfs\n" << "ntfs" << true;
    QTest::newRow("plain fuse") << "fuse" << "ntfs" << "ntfs" << true;
    QTest::newRow("probe failed") << "fuseblk" << "" << "fuseblk" << true;
    QTest::newRow("subtype") << "fuse.sshfs" << "" << "sshfs" << false;
    QTest::newRow("kernel driver") << "exfat" << "" << "exfat" << false;
    QTest::newRow("kernel ntfs3") << "ntfs3" << "" << "ntfs3" << false;
}

void DriveRulesTest::fuseRealType()
{
    QFETCH(QString, mountType);
    QFETCH(QString, probe);
    QFETCH(QString, real);
    QFETCH(bool, probed);
    bool called = false;
    QCOMPARE(DriveRules::realFileSystemType(mountType, [&] { called = true; return probe; }), real);
    QCOMPARE(called, probed);
}

void DriveRulesTest::networkFileSystems_data()
{
    QTest::addColumn<QString>("fsType");
    QTest::addColumn<bool>("network");
    QTest::newRow("nfs4") << "nfs4" << true;
    QTest::newRow("cifs") << "cifs" << true;
    QTest::newRow("sshfs") << "sshfs" << true;
    QTest::newRow("exfat") << "exfat" << false;
    QTest::newRow("unprobed fuse") << "fuseblk" << false;
    QTest::newRow("unknown") << "" << false;
}

void DriveRulesTest::networkFileSystems()
{
    QFETCH(QString, fsType);
    QFETCH(bool, network);
    QCOMPARE(DriveRules::isNetworkFileSystem(fsType), network);
}

void DriveRulesTest::driveMounts_data()
{
    QTest::addColumn<QString>("mountType");
    QTest::addColumn<bool>("blockSource");
    QTest::addColumn<bool>("drive");
    QTest::newRow("exFAT on a card") << "exfat" << true << true;
    QTest::newRow("FAT stick") << "vfat" << true << true;
    QTest::newRow("kernel NTFS") << "ntfs3" << true << true;
    QTest::newRow("disk image on a loop device") << "ext4" << true << true;
    QTest::newRow("exfat-fuse, ntfs-3g") << "fuseblk" << true << true;
    QTest::newRow("FUSE driver given the disk") << "fuse" << true << true;
    QTest::newRow("FUSE with a subtype over a disk") << "fuseblk.ntfs" << true << true;
    QTest::newRow("tmpfs") << "tmpfs" << false << false;
    QTest::newRow("tmpfs whose source names a disk") << "tmpfs" << true << false;
    QTest::newRow("ramfs") << "ramfs" << false << false;
    QTest::newRow("overlay") << "overlay" << false << false;
    QTest::newRow("proc") << "proc" << false << false;
    QTest::newRow("NFS share") << "nfs4" << false << false;
    QTest::newRow("SMB share") << "cifs" << false << false;
    QTest::newRow("sshfs") << "fuse.sshfs" << false << false;
    QTest::newRow("FUSE over nothing") << "fuse" << false << false;
}

void DriveRulesTest::driveMounts()
{
    QFETCH(QString, mountType);
    QFETCH(bool, blockSource);
    QFETCH(bool, drive);
    // What /proc/filesystems marks "nodev" on a usual kernel.
    const QSet<QString> withoutDevice{"tmpfs", "ramfs", "overlay", "proc", "sysfs", "nfs", "nfs4",
                                      "cifs", "fuse", "fusectl", "devtmpfs"};
    QCOMPARE(DriveRules::isDriveMount(mountType, blockSource, withoutDevice), drive);
}

void DriveRulesTest::equalityCoversEveryField()
{
    const DriveInfo base = makeDrive(QStringLiteral("/media/a"), QStringLiteral("A"), QStringLiteral("exfat"),
                                     false, 100, 50);
    QCOMPARE(base, base);
    const QList<std::function<void(DriveInfo &)>> changes{
        [](DriveInfo &d) { d.url = QUrl::fromLocalFile(QStringLiteral("/media/b")); },
        [](DriveInfo &d) { d.name = QStringLiteral("B"); },
        [](DriveInfo &d) { d.fsType = QStringLiteral("vfat"); },
        [](DriveInfo &d) { d.format = QStringLiteral("FAT"); },
        [](DriveInfo &d) { d.isReadOnly = true; },
        [](DriveInfo &d) { d.total = 101; },
        [](DriveInfo &d) { d.free = 51; },
    };
    for (const auto &change : changes) {
        DriveInfo other = base;
        change(other);
        QVERIFY(!(other == base));
    }
}

int runDriveRulesTests(int argc, char **argv)
{
    DriveRulesTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "DriveRulesTest.moc"
