#include "DriveTests.h"

#include "drives/MountTable.h"

#include <QtTest>

Q_DECLARE_METATYPE(MountEntry)

namespace {

MountEntry entry(qint64 id, const QString &device, const QString &mountPoint,
                 const QString &options = QStringLiteral("rw,relatime"))
{
    MountEntry e;
    e.mountId = id;
    e.deviceId = device;
    e.root = QStringLiteral("/");
    e.mountPoint = mountPoint;
    e.mountOptions = options;
    e.fsType = QStringLiteral("exfat");
    e.source = QStringLiteral("/dev/sdb1");
    e.superOptions = QStringLiteral("rw");
    return e;
}

QStringList points(const QList<MountEntry> &entries)
{
    QStringList result;
    for (const MountEntry &e : entries)
        result.append(e.mountPoint);
    return result;
}

QStringList pairs(const QList<QPair<QString, QString>> &renamed)
{
    QStringList result;
    for (const auto &[from, to] : renamed)
        result.append(from + QStringLiteral(" -> ") + to);
    return result;
}

} // namespace

class MountTableTest : public QObject
{
    Q_OBJECT
private slots:
    void parsesKernelLines();
    void diff_data();
    void diff();
    void topmostMountWins();
};

void MountTableTest::parsesKernelLines()
{
    const QByteArray text =
        "26 1 254:0 / / rw,relatime - ext4 /dev/vda rw,discard\n"
        "44 26 7:0 / /media/My\\040Stick rw,nosuid,nodev shared:12 master:3 - fuseblk /dev/loop0 "
        "rw,user_id=0,allow_other\n"
        "this line is not a mount\n"
        "45 26 0:39 /sub /mnt/bind ro,relatime - tmpfs tmpfs\n"
        "\n";
    const QList<MountEntry> entries = MountTable::parse(text);
    QCOMPARE(entries.size(), 3);

    QCOMPARE(entries.at(0).mountId, 26);
    QCOMPARE(entries.at(0).mountPoint, QStringLiteral("/"));
    QCOMPARE(entries.at(0).fsType, QStringLiteral("ext4"));

    const MountEntry &stick = entries.at(1);
    QCOMPARE(stick.mountId, 44);
    QCOMPARE(stick.deviceId, QStringLiteral("7:0"));
    QCOMPARE(stick.mountPoint, QStringLiteral("/media/My Stick"));
    QCOMPARE(stick.mountOptions, QStringLiteral("rw,nosuid,nodev"));
    QCOMPARE(stick.fsType, QStringLiteral("fuseblk"));
    QCOMPARE(stick.source, QStringLiteral("/dev/loop0"));
    QCOMPARE(stick.superOptions, QStringLiteral("rw,user_id=0,allow_other"));

    QCOMPARE(entries.at(2).root, QStringLiteral("/sub"));
    QCOMPARE(entries.at(2).superOptions, QString());
}

void MountTableTest::diff_data()
{
    QTest::addColumn<QList<MountEntry>>("before");
    QTest::addColumn<QList<MountEntry>>("after");
    QTest::addColumn<QStringList>("mounted");
    QTest::addColumn<QStringList>("unmounted");
    QTest::addColumn<QStringList>("renamed");
    QTest::addColumn<QStringList>("remounted");

    const MountEntry root = entry(1, QStringLiteral("254:0"), QStringLiteral("/"));
    const MountEntry stick = entry(44, QStringLiteral("8:17"), QStringLiteral("/media/a/Stick"));
    const MountEntry other = entry(45, QStringLiteral("8:33"), QStringLiteral("/media/a/Other"));

    QTest::newRow("nothing changed") << QList{root, stick} << QList{root, stick} << QStringList{}
                                     << QStringList{} << QStringList{} << QStringList{};
    QTest::newRow("mount") << QList{root} << QList{root, stick} << QStringList{"/media/a/Stick"}
                           << QStringList{} << QStringList{} << QStringList{};
    QTest::newRow("unmount") << QList{root, stick} << QList{root} << QStringList{}
                             << QStringList{"/media/a/Stick"} << QStringList{} << QStringList{};

    MountEntry moved = stick;
    moved.mountPoint = QStringLiteral("/media/a/Renamed");
    QTest::newRow("moved mount") << QList{root, stick} << QList{root, moved} << QStringList{}
                                 << QStringList{} << QStringList{"/media/a/Stick -> /media/a/Renamed"}
                                 << QStringList{};

    MountEntry again = moved;
    again.mountId = 46;
    QTest::newRow("same volume mounted elsewhere")
        << QList{root, stick} << QList{root, again} << QStringList{} << QStringList{}
        << QStringList{"/media/a/Stick -> /media/a/Renamed"} << QStringList{};

    MountEntry readOnly = stick;
    readOnly.mountOptions = QStringLiteral("ro,relatime");
    QTest::newRow("remounted read-only") << QList{root, stick} << QList{root, readOnly} << QStringList{}
                                         << QStringList{} << QStringList{} << QStringList{"/media/a/Stick"};

    QTest::newRow("one out, another in") << QList{root, stick} << QList{root, other}
                                         << QStringList{"/media/a/Other"} << QStringList{"/media/a/Stick"}
                                         << QStringList{} << QStringList{};

    MountEntry sameVolumeSamePlace = stick;
    sameVolumeSamePlace.mountId = 47;
    QTest::newRow("unplugged and plugged back between readings")
        << QList{root, stick} << QList{root, sameVolumeSamePlace} << QStringList{"/media/a/Stick"}
        << QStringList{"/media/a/Stick"} << QStringList{} << QStringList{};
}

void MountTableTest::diff()
{
    QFETCH(QList<MountEntry>, before);
    QFETCH(QList<MountEntry>, after);
    QFETCH(QStringList, mounted);
    QFETCH(QStringList, unmounted);
    QFETCH(QStringList, renamed);
    QFETCH(QStringList, remounted);
    const MountDiff change = MountTable::diff(before, after);
    QCOMPARE(points(change.mounted), mounted);
    QCOMPARE(points(change.unmounted), unmounted);
    QCOMPARE(pairs(change.renamed), renamed);
    QCOMPARE(points(change.remounted), remounted);
    QCOMPARE(change.isEmpty(), mounted.isEmpty() && unmounted.isEmpty() && renamed.isEmpty()
                                   && remounted.isEmpty());
}

void MountTableTest::topmostMountWins()
{
    MountEntry covered = entry(30, QStringLiteral("8:17"), QStringLiteral("/media/Stick"));
    MountEntry over = entry(41, QStringLiteral("0:50"), QStringLiteral("/media/Stick"));
    over.fsType = QStringLiteral("tmpfs");
    const QList<MountEntry> table{entry(1, QStringLiteral("254:0"), QStringLiteral("/")), covered,
                                  entry(35, QStringLiteral("8:33"), QStringLiteral("/media/Other")), over};
    QCOMPARE(MountTable::topmost(table, QStringLiteral("/media/Stick")), over);
    QCOMPARE(MountTable::topmost(table, QStringLiteral("/media/Other"))->mountId, 35);
    QCOMPARE(MountTable::topmost(table, QStringLiteral("/media/Stick/sub")), std::nullopt);
}

int runMountTableTests(int argc, char **argv)
{
    MountTableTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "MountTableTest.moc"
