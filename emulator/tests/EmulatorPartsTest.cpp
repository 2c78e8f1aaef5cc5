// The emulator's pure parts: service names, the phone's path mapping, shell packets, options.

#include "EmulatorOptions.h"
#include "PhoneFileSystem.h"
#include "ServiceName.h"
#include "ShellProtocol.h"

#include <QTest>

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

QTEST_GUILESS_MAIN(EmulatorPartsTest)
#include "EmulatorPartsTest.moc"
