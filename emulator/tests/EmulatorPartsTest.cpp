// The emulator's pure parts: service names, the phone's path mapping, shell packets, options,
// and the line that tells how to switch user namespaces on.

#include "EmulatorOptions.h"
#include "NamespaceAdvice.h"
#include "PhoneFileSystem.h"
#include "ServiceName.h"
#include "ShellProtocol.h"

#include <QTest>

#include <cerrno>

class EmulatorPartsTest : public QObject {
    Q_OBJECT

private slots:
    void serviceNames_data();
    void serviceNames();
    void hostPaths_data();
    void hostPaths();
    void deniedPaths_data();
    void deniedPaths();
    void shellPackets();
    void options_data();
    void options();
    void namespaceAdvice_data();
    void namespaceAdvice();
};

void EmulatorPartsTest::serviceNames_data()
{
    QTest::addColumn<QByteArray>("name");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<int>("kind");
    QTest::addColumn<bool>("v2");
    QTest::addColumn<bool>("terminal");
    QTest::addColumn<QByteArray>("term");
    QTest::addColumn<QByteArray>("command");
    QTest::newRow("old shell runs on a terminal") << QByteArray("shell:ls -l") << true << int(ServiceName::Shell) << false << true << QByteArray() << QByteArray("ls -l");
    QTest::newRow("v2 raw") << QByteArray("shell,v2,TERM=xterm,raw:echo a:b") << true << int(ServiceName::Shell) << true << false << QByteArray("xterm") << QByteArray("echo a:b");
    QTest::newRow("v2 command defaults to raw") << QByteArray("shell,v2,TERM=xterm:getprop") << true << int(ServiceName::Shell) << true << false << QByteArray("xterm") << QByteArray("getprop");
    QTest::newRow("v2 interactive") << QByteArray("shell,v2,TERM=xterm-256color,pty:") << true << int(ServiceName::Shell) << true << true << QByteArray("xterm-256color") << QByteArray();
    QTest::newRow("v2 interactive by default") << QByteArray("shell,v2:") << true << int(ServiceName::Shell) << true << true << QByteArray() << QByteArray();
    QTest::newRow("no protocol, raw") << QByteArray("shell,raw:ls") << true << int(ServiceName::Shell) << false << false << QByteArray() << QByteArray("ls");
    QTest::newRow("exec") << QByteArray("exec:screencap '-p'") << true << int(ServiceName::Exec) << false << false << QByteArray() << QByteArray("screencap '-p'");
    QTest::newRow("sync") << QByteArray("sync:") << true << int(ServiceName::Sync) << false << false << QByteArray() << QByteArray();
    QTest::newRow("unknown") << QByteArray("framebuffer:") << false << 0 << false << false << QByteArray() << QByteArray();
    QTest::newRow("shell-like prefix") << QByteArray("shellx:ls") << false << 0 << false << false << QByteArray() << QByteArray();
}

void EmulatorPartsTest::serviceNames()
{
    QFETCH(QByteArray, name);
    QFETCH(bool, valid);
    const auto parsed = ServiceName::parse(name);
    QCOMPARE(parsed.has_value(), valid);
    if (!valid)
        return;
    QTEST(int(parsed->kind), "kind");
    QTEST(parsed->protocolV2, "v2");
    QTEST(parsed->terminal, "terminal");
    QTEST(parsed->term, "term");
    QTEST(parsed->command, "command");
}

void EmulatorPartsTest::hostPaths_data()
{
    QTest::addColumn<QString>("phonePath");
    QTest::addColumn<QString>("hostPath");
    QTest::newRow("sdcard") << "/sdcard/DCIM/a.jpg" << "/r/storage/emulated/0/DCIM/a.jpg";
    QTest::newRow("sdcard itself") << "/sdcard" << "/r/storage/emulated/0";
    QTest::newRow("self primary") << "/storage/self/primary/x" << "/r/storage/emulated/0/x";
    QTest::newRow("internal") << "/storage/emulated/0/" << "/r/storage/emulated/0";
    QTest::newRow("not the sdcard link") << "/sdcardx/y" << "/i/sdcardx/y";
    QTest::newRow("card") << "/storage/1A2B-3C4D/Backup" << "/r/storage/1A2B-3C4D/Backup";
    QTest::newRow("no such card") << "/storage/9999-0000/x" << "/i/storage/9999-0000/x";
    QTest::newRow("local tmp") << "/data/local/tmp/app.apk" << "/r/data/local/tmp/app.apk";
    QTest::newRow("installed package") << "/data/app/vmdl7/base.apk" << "/r/data/app/vmdl7/base.apk";
    QTest::newRow("climbing out") << "/sdcard/../../system/bin/ls" << "/i/system/bin/ls";
    QTest::newRow("storage") << "/storage" << "/i/storage";
    QTest::newRow("root") << "/" << "/i";
}

void EmulatorPartsTest::hostPaths()
{
    QFETCH(QString, phonePath);
    const PhoneFileSystem files(QStringLiteral("/r"), QStringLiteral("/i"), {QStringLiteral("1A2B-3C4D")}, {});
    QTEST(QString::fromUtf8(files.hostPath(phonePath)), "hostPath");
}

void EmulatorPartsTest::deniedPaths_data()
{
    QTest::addColumn<QString>("phonePath");
    QTest::addColumn<bool>("inside");
    QTest::addColumn<bool>("folder");
    QTest::newRow("the folder") << "/sdcard/Private" << false << true;
    QTest::newRow("the folder by its real path") << "/storage/emulated/0/Private/" << false << true;
    QTest::newRow("inside") << "/sdcard/Private/a/b.txt" << true << false;
    QTest::newRow("a sibling with the same start") << "/sdcard/PrivateX/b.txt" << false << false;
    QTest::newRow("the parent") << "/sdcard" << false << false;
}

void EmulatorPartsTest::deniedPaths()
{
    QFETCH(QString, phonePath);
    const PhoneFileSystem files(QStringLiteral("/r"), QStringLiteral("/i"), {}, {QStringLiteral("/sdcard/Private")});
    QTEST(files.isInsideDenied(phonePath), "inside");
    QTEST(files.isDeniedFolder(phonePath), "folder");
}

void EmulatorPartsTest::shellPackets()
{
    QByteArray stream = ShellProtocol::encode(ShellProtocol::Stdin, "abc") + ShellProtocol::encode(ShellProtocol::CloseStdin, {});
    QByteArray partial = stream.left(6);
    QVERIFY(!ShellProtocol::take(partial));
    QCOMPARE(partial.size(), 6);

    const auto first = ShellProtocol::take(stream);
    QVERIFY(first);
    QCOMPARE(first->id, quint8(ShellProtocol::Stdin));
    QCOMPARE(first->data, QByteArray("abc"));
    const auto second = ShellProtocol::take(stream);
    QVERIFY(second);
    QCOMPARE(second->id, quint8(ShellProtocol::CloseStdin));
    QVERIFY(stream.isEmpty());

    const auto size = ShellProtocol::parseWindowSize("24x80,640x480");
    QVERIFY(size);
    QCOMPARE(size->rows, 24);
    QCOMPARE(size->cols, 80);
    QVERIFY(!ShellProtocol::parseWindowSize("wide"));
}

void EmulatorPartsTest::options_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<bool>("valid");
    QTest::newRow("minimal") << QStringList{"--root", "/tmp/p"} << true;
    QTest::newRow("everything") << QStringList{"--root", "/tmp/p", "--port", "6101", "--model", "Pixel 8", "--card", "1A2B-3C4D",
                                               "--card", "0000-FFFF", "--storage-mb", "64", "--locked", "--auth", "reject",
                                               "--throttle", "2.5", "--drop-after", "1000", "--deny", "/sdcard/Private"}
                                << true;
    QTest::newRow("no root") << QStringList{"--port", "6101"} << false;
    QTest::newRow("port scanned by adb") << QStringList{"--root", "/tmp/p", "--port", "5557"} << false;
    QTest::newRow("card id in lower case") << QStringList{"--root", "/tmp/p", "--card", "1a2b-3c4d"} << false;
    QTest::newRow("relative deny path") << QStringList{"--root", "/tmp/p", "--deny", "sdcard"} << false;
    QTest::newRow("missing value") << QStringList{"--root"} << false;
    QTest::newRow("unknown option") << QStringList{"--root", "/tmp/p", "--colour", "red"} << false;
}

void EmulatorPartsTest::options()
{
    QFETCH(QStringList, arguments);
    QString error;
    const auto options = parseEmulatorOptions(arguments, error);
    QTEST(options.has_value(), "valid");
    QCOMPARE(error.isEmpty(), options.has_value());
}

void EmulatorPartsTest::namespaceAdvice_data()
{
    // A setting this kernel does not have is -1.
    QTest::addColumn<qint64>("unprivilegedClone");
    QTest::addColumn<qint64>("apparmorRestriction");
    QTest::addColumn<qint64>("maxUserNamespaces");
    QTest::addColumn<int>("error");
    QTest::addColumn<QString>("advice");
    QTest::newRow("Debian's switch off") << qint64(0) << qint64(-1) << qint64(96362) << EPERM
        << "user namespaces are switched off for ordinary users (kernel.unprivileged_userns_clone = 0); switch them on "
           "with \"sudo sysctl -w kernel.unprivileged_userns_clone=1\" (a file in /etc/sysctl.d keeps it), or run the "
           "phone as root";
    QTest::newRow("no user namespaces at all") << qint64(-1) << qint64(-1) << qint64(0) << ENOSPC
        << "user namespaces are switched off (user.max_user_namespaces = 0); switch them on with \"sudo sysctl -w "
           "user.max_user_namespaces=15000\" (a file in /etc/sysctl.d keeps it), or run the phone as root";
    QTest::newRow("the switch wins over the limit") << qint64(0) << qint64(-1) << qint64(0) << EPERM
        << "user namespaces are switched off for ordinary users (kernel.unprivileged_userns_clone = 0); switch them on "
           "with \"sudo sysctl -w kernel.unprivileged_userns_clone=1\" (a file in /etc/sysctl.d keeps it), or run the "
           "phone as root";
    QTest::newRow("AppArmor's restriction") << qint64(1) << qint64(1) << qint64(96362) << EPERM
        << "AppArmor keeps ordinary users out of user namespaces (kernel.apparmor_restrict_unprivileged_userns = 1); "
           "allow them with \"sudo sysctl -w kernel.apparmor_restrict_unprivileged_userns=0\", or run the phone as root";
    QTest::newRow("the limit reached") << qint64(1) << qint64(0) << qint64(8) << ENOSPC
        << "this user has reached its limit of 8 user namespaces (user.max_user_namespaces); raise it with "
           "\"sudo sysctl -w user.max_user_namespaces=16\", or run the phone as root";
    QTest::newRow("nothing switched off") << qint64(1) << qint64(0) << qint64(96362) << EPERM
        << "cannot create a user namespace (Operation not permitted): as an ordinary user the phone needs user "
           "namespaces (\"unshare -Urm true\" tells whether this system allows them), or run the phone as root";
}

void EmulatorPartsTest::namespaceAdvice()
{
    QFETCH(qint64, unprivilegedClone);
    QFETCH(qint64, apparmorRestriction);
    QFETCH(qint64, maxUserNamespaces);
    QFETCH(int, error);
    const auto setting = [](qint64 value) { return value < 0 ? std::nullopt : std::optional<qint64>(value); };
    const NamespaceSettings settings{setting(unprivilegedClone), setting(apparmorRestriction), setting(maxUserNamespaces)};
    QTEST(::namespaceAdvice(settings, QStringLiteral("create a user namespace"), error), "advice");
}

QTEST_GUILESS_MAIN(EmulatorPartsTest)
#include "EmulatorPartsTest.moc"
