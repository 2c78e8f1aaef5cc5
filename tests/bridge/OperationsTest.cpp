#include "OperationsTest.h"

#include "Await.h"
#include "StandIn.h"
#include "bridge/ADB.h"

#include <QTest>

namespace {

const QString serial = QStringLiteral("R58M12ABCDE");

QStringList shellArgs(const QString &command)
{
    return {QStringLiteral("-s"), serial, QStringLiteral("shell"), command};
}

const QString heading = QStringLiteral("Filesystem 1K-blocks Used Available Use% Mounted on\n");

}

void OperationsTest::devices()
{
    StandIn standIn;
    standIn.answer(QStringLiteral("List of devices attached\nA\tdevice model:M_1\nB unauthorized\n"),
                   QStringLiteral("C device model:ignored\n"), 1);
    const QList<AndroidDevice> devices = await(ADB::shared().listDevices());
    QCOMPARE(devices, (QList<AndroidDevice>{{"A", "device", "M_1"}, {"B", "unauthorized", ""}}));
    QCOMPARE(standIn.calls(), QList<QStringList>{(QStringList{"devices", "-l"})});
}

void OperationsTest::connectAndPair()
{
    StandIn standIn;
    standIn.answer(QStringLiteral("failed to connect to '10.0.0.5:5555': Connection refused\n"), QStringLiteral("\n"));
    QCOMPARE(await(ADB::shared().connect(QStringLiteral(" 10.0.0.5:5555"))),
             QStringLiteral("failed to connect to '10.0.0.5:5555': Connection refused"));
    standIn.answer(QStringLiteral("Successfully "), QStringLiteral("paired\n"), 0);
    QCOMPARE(await(ADB::shared().pair(QStringLiteral("10.0.0.5:37000"), QStringLiteral("123 456"))),
             QStringLiteral("Successfully paired"));
    QCOMPARE(standIn.calls(), (QList<QStringList>{{"connect", " 10.0.0.5:5555"},
                                                  {"pair", "10.0.0.5:37000", "123 456"}}));
}

void OperationsTest::pairWithAnAdbTooOld()
{
    StandIn standIn;
    // What Debian's adb 29 answers.
    standIn.script({StandIn::rule(QStringLiteral("pair"), {StandIn::err(QStringLiteral("adb: unknown command pair\n"))}, 1),
                    StandIn::rule(QStringLiteral("version"),
                                  {StandIn::out(QStringLiteral("Android Debug Bridge version 1.0.41\nVersion 29.0.6-debian\n"
                                                               "Installed as /usr/lib/android-sdk/platform-tools/adb\n"))})});
    QCOMPARE(failureOf(ADB::shared().pair(QStringLiteral("10.0.0.5:37000"), QStringLiteral("123456"))),
             QStringLiteral("Pairing needs adb 30 or newer, and the adb found at ") + StandIn::path()
                 + QStringLiteral(" is version 29.0.6-debian. Install a newer adb (Android SDK Platform-Tools) to "
                                  "pair a phone; connecting to an address still works with this one."));
    QCOMPARE(standIn.calls(), (QList<QStringList>{{"pair", "10.0.0.5:37000", "123456"}, {"version"}}));
}

void OperationsTest::listCommand_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("command");
    QTest::newRow("plain") << "/storage/emulated/0" << "ls -lALb '/storage/emulated/0/'";
    QTest::newRow("trailing slash") << "/storage/emulated/0/" << "ls -lALb '/storage/emulated/0/'";
    QTest::newRow("root") << "/" << "ls -lALb '/'";
    QTest::newRow("apostrophe, space, accent") << "/sdcard/it's é" << "ls -lALb '/sdcard/it'\\''s é/'";
    QTest::newRow("shell characters") << "/sdcard/$HOME;*`x`" << "ls -lALb '/sdcard/$HOME;*`x`/'";
}

void OperationsTest::listCommand()
{
    QFETCH(QString, path);
    QFETCH(QString, command);
    StandIn standIn;
    await(ADB::shared().list(serial, path, false));
    QCOMPARE(standIn.calls(), QList<QStringList>{shellArgs(command)});
}

void OperationsTest::listOutcome_data()
{
    QTest::addColumn<QString>("output");
    QTest::addColumn<QString>("error");
    QTest::addColumn<int>("exit");
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<QString>("failure");
    const QString lines = QStringLiteral(
        "total 24\n"
        "-rw-rw---- 1 u0_a123 media_rw 10 2024-05-01 13:45 x10.txt\n"
        "drwxrws--- 2 u0_a123 media_rw 3452 2024-05-01 13:45 b\n"
        "-rw-rw---- 1 u0_a123 media_rw 20 2024-05-01 13:45 X2.txt\n"
        "-rw-rw---- 1 u0_a123 media_rw 30 2024-05-01 13:45 .hidden\n"
        "-rw-rw---- 1 u0_a123 media_rw 40 2024-05-01 13:45 a.txt\n"
        "drwxrws--- 2 u0_a123 media_rw 3452 2024-05-01 13:45 A\n");
    QTest::newRow("sorted, hidden left out") << lines << QString() << 0
                                             << QStringList{"A", "b", "a.txt", "X2.txt", "x10.txt"} << QString();
    QTest::newRow("partly readable lists what it can")
        << lines << "ls: /x/secret: Permission denied\n" << 1 << QStringList{"A", "b", "a.txt", "X2.txt", "x10.txt"}
        << QString();
    QTest::newRow("CRLF lines") << QString(lines).replace(QStringLiteral("\n"), QStringLiteral("\r\n")) << QString() << 0
                                << QStringList{"A", "b", "a.txt", "X2.txt", "x10.txt"} << QString();
    QTest::newRow("refused") << QString() << "ls: /storage/emulated/0/x/: Permission denied\n" << 1 << QStringList()
                             << "Permission denied for /storage/emulated/0/x";
    QTest::newRow("missing") << QString() << "ls: /storage/emulated/0/x/: No such file or directory\n" << 1
                             << QStringList() << "Folder not found: /storage/emulated/0/x";
    QTest::newRow("empty folder") << "total 0\n" << QString() << 0 << QStringList() << QString();
    QTest::newRow("silent failure") << QString() << QString() << 1 << QStringList() << QString();
    QTest::newRow("phone's own text") << QString() << "error: device offline\n" << 1 << QStringList()
                                      << "error: device offline";
}

void OperationsTest::listOutcome()
{
    QFETCH(QString, output);
    QFETCH(QString, error);
    QFETCH(int, exit);
    QFETCH(QStringList, names);
    QFETCH(QString, failure);
    StandIn standIn;
    standIn.answer(output, error, exit);
    const QString path = QStringLiteral("/storage/emulated/0/x");
    if (!failure.isEmpty()) {
        QCOMPARE(failureOf(ADB::shared().list(serial, path, false)), failure);
        return;
    }
    const QList<FileEntry> entries = await(ADB::shared().list(serial, path, false));
    QStringList got;
    for (const FileEntry &entry : entries) {
        got << entry.name;
        QCOMPARE(entry.path, path + QLatin1Char('/') + entry.name);
    }
    QCOMPARE(got, names);
}

void OperationsTest::makeDirectoryAndDelete()
{
    StandIn standIn;
    await(ADB::shared().makeDirectory(serial, QStringLiteral("/sdcard/New 'one'")));
    await(ADB::shared().deletePaths(serial, {QStringLiteral("/sdcard/a b"), QStringLiteral("/sdcard/it's"),
                                             QStringLiteral("/sdcard/-rf *")}));
    QCOMPARE(standIn.calls(), (QList<QStringList>{
        shellArgs(QStringLiteral("mkdir -p '/sdcard/New '\\''one'\\'''")),
        shellArgs(QStringLiteral("rm -rf '/sdcard/a b' '/sdcard/it'\\''s' '/sdcard/-rf *'"))}));

    // A failure carries the phone's text unchanged, output first.
    standIn.answer(QStringLiteral("out "), QStringLiteral("mkdir: '/x': Read-only file system\n"), 1);
    QCOMPARE(failureOf(ADB::shared().makeDirectory(serial, QStringLiteral("/x"))),
             QStringLiteral("out mkdir: '/x': Read-only file system\n"));
    QCOMPARE(failureOf(ADB::shared().deletePaths(serial, {QStringLiteral("/x")})),
             QStringLiteral("out mkdir: '/x': Read-only file system\n"));
    // A chatty success is still a success.
    standIn.answer(QStringLiteral("note\n"), {}, 0);
    QCOMPARE(failureOf(ADB::shared().deletePaths(serial, {QStringLiteral("/x")})), QStringLiteral("(no error)"));
}

void OperationsTest::createFolder_data()
{
    QTest::addColumn<QString>("output");
    QTest::addColumn<QString>("error");
    QTest::addColumn<int>("exit");
    QTest::addColumn<QString>("failure");
    QTest::newRow("made") << QString() << QString() << 0 << "(no error)";
    QTest::newRow("name taken") << "tessary:name-taken\n" << QString() << 0
                                << "Couldn't create \u201CNew 'one'\u201D: File exists.";
    QTest::newRow("refused") << QString() << "mkdir: '/sdcard/New 'one'': Read-only file system\n" << 1
                             << "mkdir: '/sdcard/New 'one'': Read-only file system\n";
}

void OperationsTest::createFolder()
{
    QFETCH(QString, output);
    QFETCH(QString, error);
    QFETCH(int, exit);
    QFETCH(QString, failure);
    StandIn standIn;
    standIn.answer(output, error, exit);
    QCOMPARE(failureOf(ADB::shared().createFolder(serial, QStringLiteral("/sdcard/New 'one'"))), failure);
    const QString folder = QStringLiteral("'/sdcard/New '\\''one'\\'''");
    QCOMPARE(standIn.calls(),
             QList<QStringList>{shellArgs(QStringLiteral("if [ -e ") + folder + QStringLiteral(" ] || [ -L ") + folder
                                          + QStringLiteral(" ]; then echo tessary:name-taken; else mkdir ") + folder
                                          + QStringLiteral("; fi"))});
}

void OperationsTest::rename_data()
{
    QTest::addColumn<QString>("output");
    QTest::addColumn<int>("exit");
    QTest::addColumn<QString>("failure");
    QTest::newRow("success") << QString() << 0 << "(no error)";
    QTest::newRow("name taken") << "tessary:name-taken\n" << 0 << "Couldn't rename \u201CMy Folder 2\u201D: File exists.";
    QTest::newRow("mv: with status 0") << "mv: can't rename '/a': No such file or directory\n" << 0
                                       << "mv: can't rename '/a': No such file or directory\n";
    QTest::newRow("non-zero status") << "busy" << 1 << "busy";
}

void OperationsTest::rename()
{
    QFETCH(QString, output);
    QFETCH(int, exit);
    QFETCH(QString, failure);
    StandIn standIn;
    standIn.answer(output, {}, exit);
    QCOMPARE(failureOf(ADB::shared().rename(serial, QStringLiteral("/sdcard/My Folder 2"),
                                            QStringLiteral("/sdcard/it's here"))),
             failure);
    const QString source = QStringLiteral("'/sdcard/My Folder 2'");
    const QString target = QStringLiteral("'/sdcard/it'\\''s here'");
    QCOMPARE(standIn.calls(),
             QList<QStringList>{shellArgs(QStringLiteral("if [ -L ") + target + QStringLiteral(" ] || { [ -e ") + target
                                          + QStringLiteral(" ] && ! [ ") + source + QStringLiteral(" -ef ") + target
                                          + QStringLiteral(" ]; }; then echo tessary:name-taken; else mv ") + source
                                          + QLatin1Char(' ') + target + QStringLiteral("; fi"))});
}

void OperationsTest::existingNames()
{
    StandIn standIn;
    standIn.answer(QStringLiteral("a.txt\n  spaced name \t\n\n.hidden\nls: /x: Permission denied\n"),
                   QStringLiteral("err-only\n"), 1);
    QCOMPARE(await(ADB::shared().existingNames(serial, QStringLiteral("/sdcard/Down load"))),
             (QSet<QString>{"a.txt", "spaced name", ".hidden"}));
    QCOMPARE(standIn.calls(), QList<QStringList>{shellArgs(QStringLiteral("ls -1Ab '/sdcard/Down load/'"))});

    standIn.answer({}, QStringLiteral("ls: /sdcard/nope/: No such file or directory\n"), 1);
    QCOMPARE(await(ADB::shared().existingNames(serial, QStringLiteral("/sdcard/nope"))), QSet<QString>());
}

void OperationsTest::unreadableNamesAreNotPassedOn()
{
    // A listed name with bytes that are not text reads as U+FFFD; the same path with a real
    // U+FFFD in it may exist, so no command is built from it.
    StandIn standIn;
    const QString path = QStringLiteral("/sdcard/inv\uFFFDalid");
    const QString refusal = QStringLiteral(
        "The name could not be read exactly (it holds bytes that are not text), so Tessary did not use it.");
    QCOMPARE(failureOf(ADB::shared().deletePaths(serial, {QStringLiteral("/sdcard/fine"), path})), refusal);
    QCOMPARE(failureOf(ADB::shared().rename(serial, path, QStringLiteral("/sdcard/other"))), refusal);
    QCOMPARE(failureOf(ADB::shared().rename(serial, QStringLiteral("/sdcard/other"), path)), refusal);
    QCOMPARE(failureOf(ADB::shared().list(serial, path, false)), refusal);
    QCOMPARE(failureOf(ADB::shared().run({QStringLiteral("-s"), serial, QStringLiteral("pull"), path, QStringLiteral("/tmp/")})),
             refusal);
    QCOMPARE(await(ADB::shared().remoteSize(serial, path, false)), qint64(0));
    QVERIFY(standIn.calls().isEmpty());
}

void OperationsTest::allFilesWalksDepthFirst()
{
    StandIn standIn;
    const auto file = [](const char *name) {
        return QStringLiteral("-rw-r--r-- 1 a b 1 2026-12-10 01:41 ") + QString::fromUtf8(name) + QLatin1Char('\n');
    };
    const auto folder = [](const char *name) {
        return QStringLiteral("drwxr-xr-x 2 a b 4096 2026-12-10 01:41 ") + QString::fromUtf8(name) + QLatin1Char('\n');
    };
    const auto walk = [](const char *path) {
        return QStringLiteral("cd '") + QString::fromUtf8(path) + QStringLiteral("/' && pwd -P && ls -lALb");
    };
    standIn.script({
        StandIn::rule(walk("/r"),
                      {StandIn::out(QStringLiteral("/real\ntotal 28\n") + file("z1") + folder("A") + file(".dot")
                                    + folder(".h") + folder("B") + file("a2") + folder("bad") + folder("gone"))}),
        StandIn::rule(walk("/r/A"), {StandIn::out(QStringLiteral("/real/A\ntotal 4\n") + file("a-in"))}),
        StandIn::rule(walk("/r/B"), {StandIn::out(QStringLiteral("/real/B\ntotal 4\n") + file("b-in"))}),
        // Entered, but the listing fails for one entry and shows the rest.
        StandIn::rule(walk("/r/bad"),
                      {StandIn::out(QStringLiteral("/real/bad\ntotal 4\n") + file("readable")),
                       StandIn::err(QStringLiteral("ls: /real/bad/x: Permission denied\n"))},
                      1),
        StandIn::rule(walk("/r/gone"),
                      {StandIn::err(QStringLiteral("/system/bin/sh: cd: /r/gone/: No such file or directory\n"))}, 2),
    });
    const QList<FileEntry> files = await(ADB::shared().allFiles(serial, QStringLiteral("/r")));
    QStringList paths;
    for (const FileEntry &f : files) {
        paths << f.path;
        QVERIFY(!f.isDirectory);
    }
    // Root's files in name order, then the last listed subfolder first.
    QCOMPARE(paths, (QStringList{"/r/a2", "/r/z1", "/r/bad/readable", "/r/B/b-in", "/r/A/a-in"}));
    // One adb run per folder, hidden folders never entered.
    QCOMPARE(standIn.calls(), (QList<QStringList>{shellArgs(walk("/r")), shellArgs(walk("/r/gone")), shellArgs(walk("/r/bad")),
                                                  shellArgs(walk("/r/B")), shellArgs(walk("/r/A"))}));
}

void OperationsTest::allFilesWalksLinkCycleOnce()
{
    StandIn standIn;
    // /r/loop is a link back to /r: the phone resolves both to the same folder.
    const QString listing = QStringLiteral("/real\ntotal 8\n-rw-r--r-- 1 a b 5 2026-12-10 01:41 f\n"
                                           "drwxr-xr-x 2 a b 4096 2026-12-10 01:41 loop\n");
    standIn.script({StandIn::rule(QStringLiteral("pwd -P"), {StandIn::out(listing)})});
    const QList<FileEntry> files = await(ADB::shared().allFiles(serial, QStringLiteral("/r")));
    QCOMPARE(files.size(), 1);
    QCOMPARE(files.first().path, QStringLiteral("/r/f"));
    QCOMPARE(standIn.calls(), (QList<QStringList>{shellArgs(QStringLiteral("cd '/r/' && pwd -P && ls -lALb")),
                                                  shellArgs(QStringLiteral("cd '/r/loop/' && pwd -P && ls -lALb"))}));
}

void OperationsTest::remoteSizeAndKind_data()
{
    QTest::addColumn<bool>("isDirectory");
    QTest::addColumn<QString>("output");
    QTest::addColumn<QString>("error");
    QTest::addColumn<QString>("command");
    QTest::addColumn<qint64>("size");
    QTest::newRow("folder") << true << "1024\t/sdcard/Download/x\n" << QString() << "du -sk '/sdcard/it'\\''s'"
                            << qint64(1048576);
    QTest::newRow("file") << false << "2147483648\n" << QString() << "stat -c %s '/sdcard/it'\\''s'" << qint64(2147483648LL);
    QTest::newRow("missing file") << false << QString() << "stat: '/sdcard/x': No such file or directory\n"
                                  << "stat -c %s '/sdcard/it'\\''s'" << qint64(0);
}

void OperationsTest::remoteSizeAndKind()
{
    QFETCH(bool, isDirectory);
    QFETCH(QString, output);
    QFETCH(QString, error);
    QFETCH(QString, command);
    QFETCH(qint64, size);
    StandIn standIn;
    standIn.answer(output, error, 0);
    const QString path = QStringLiteral("/sdcard/it's");
    QCOMPARE(await(ADB::shared().remoteSize(serial, path, isDirectory)), size);
    QCOMPARE(standIn.calls(), QList<QStringList>{shellArgs(command)});

    standIn.clearCalls();
    standIn.answer(isDirectory ? QStringLiteral("DIR\n") : QString(), {}, isDirectory ? 0 : 1);
    QCOMPARE(await(ADB::shared().remoteIsDirectory(serial, path)), isDirectory);
    QCOMPARE(standIn.calls(), QList<QStringList>{shellArgs(QStringLiteral("[ -d '/sdcard/it'\\''s' ] && echo DIR"))});
}

void OperationsTest::storageVolumes_data()
{
    QTest::addColumn<QString>("storage");
    QTest::addColumn<int>("storageExit");
    QTest::addColumn<QString>("df");
    QTest::addColumn<QString>("dfCommand");
    QTest::addColumn<QList<StorageVolume>>("volumes");
    const StorageVolume internal{"Internal storage", "/storage/emulated/0", 0, 0, true};
    QTest::newRow("internal alone")
        << "emulated\nself\n" << 0 << heading + "/dev/fuse 1000 600 400 60% /storage/emulated\n"
        << "df -k '/storage/emulated/0'"
        << QList<StorageVolume>{{"Internal storage", "/storage/emulated/0", 1024000, 409600, true}};
    QTest::newRow("one card measured")
        << "emulated\nself\n1A2B-3C4D\n" << 0 << heading + "a 1000 600 400 60% /x\nb 2000 1000 1000 50% /y\n"
        << "df -k '/storage/emulated/0' '/storage/1A2B-3C4D'"
        << QList<StorageVolume>{{"Internal storage", "/storage/emulated/0", 1024000, 409600, true},
                                {"SD card", "/storage/1A2B-3C4D", 2048000, 1024000, false}};
    QTest::newRow("one card, one row")
        << "emulated\nself\n1A2B-3C4D\n" << 0 << heading + "a 1000 600 400 60% /x\n"
        << "df -k '/storage/emulated/0' '/storage/1A2B-3C4D'"
        << QList<StorageVolume>{internal, {"SD card", "/storage/1A2B-3C4D", 0, 0, false}};
    QTest::newRow("two cards, status ignored")
        << "emulated\nself\n1A2B-3C4D\n5E6F-7A8B\n" << 1 << QString()
        << "df -k '/storage/emulated/0' '/storage/1A2B-3C4D' '/storage/5E6F-7A8B'"
        << QList<StorageVolume>{internal, {"SD card / USB 1", "/storage/1A2B-3C4D", 0, 0, false},
                                {"SD card / USB 2", "/storage/5E6F-7A8B", 0, 0, false}};
}

void OperationsTest::storageVolumes()
{
    QFETCH(QString, storage);
    QFETCH(int, storageExit);
    QFETCH(QString, df);
    QFETCH(QString, dfCommand);
    QFETCH(QList<StorageVolume>, volumes);
    StandIn standIn;
    standIn.script({StandIn::rule(QStringLiteral("ls -1 /storage"), {StandIn::out(storage)}, storageExit),
                    StandIn::rule(QStringLiteral("df -k"), {StandIn::out(df)})});
    QCOMPARE(await(ADB::shared().storageVolumes(serial)), volumes);
    QCOMPARE(standIn.calls(), (QList<QStringList>{shellArgs(QStringLiteral("ls -1 /storage")), shellArgs(dfCommand)}));
}

void OperationsTest::phoneInfo()
{
    StandIn standIn;
    standIn.answer(QStringLiteral("google\nPhone Two\n14\n  status: 2\n  level: 85\n  temperature: 291\n"));
    const PhoneInfo info = await(ADB::shared().phoneInfo(serial));
    QCOMPARE(info.manufacturer, QStringLiteral("Google"));
    QCOMPARE(info.model, QStringLiteral("Phone Two"));
    QCOMPARE(info.androidVersion, QStringLiteral("14"));
    QCOMPARE(info.batteryLevel, std::optional<int>(85));
    QVERIFY(info.charging);
    QCOMPARE(info.temperatureC, std::optional<double>(29.1));
    QCOMPARE(info.serial, serial);
    QCOMPARE(standIn.calls(), QList<QStringList>{shellArgs(QStringLiteral(
                                  "getprop ro.product.manufacturer; getprop ro.product.model; "
                                  "getprop ro.build.version.release; dumpsys battery"))});
}

void OperationsTest::screenshot_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("accepted");
    QTest::newRow("100 bytes") << QByteArray(100, 'x') << false;
    QTest::newRow("101 bytes, not a PNG") << QByteArray(101, '\0') << true;
    QTest::newRow("PNG") << QByteArray("\x89PNG\r\n\x1a\n", 8) + QByteArray(4096, '\xff') << true;
}

void OperationsTest::screenshot()
{
    QFETCH(QByteArray, bytes);
    QFETCH(bool, accepted);
    StandIn standIn;
    standIn.script({StandIn::rule({}, {StandIn::outBytes(bytes)}, 1)});
    if (accepted)
        QCOMPARE(await(ADB::shared().screenshot(serial)), bytes);
    else
        QCOMPARE(failureOf(ADB::shared().screenshot(serial)), QStringLiteral("Could not capture the screen (is it locked?)."));
    QCOMPARE(standIn.calls().value(0), (QStringList{"-s", serial, "exec-out", "screencap", "-p"}));
}

void OperationsTest::install_data()
{
    QTest::addColumn<QString>("output");
    QTest::addColumn<QString>("error");
    QTest::addColumn<int>("exit");
    QTest::addColumn<QString>("failure");
    QTest::newRow("success") << "Performing Streamed Install\nSuccess\n" << QString() << 1 << "(no error)";
    QTest::newRow("failure code")
        << "Performing Streamed Install\n"
        << "adb: failed to install bad.apk: Failure [INSTALL_PARSE_FAILED_NOT_APK: not a zip]\n\n" << 1
        << "adb: failed to install bad.apk: Failure [INSTALL_PARSE_FAILED_NOT_APK: not a zip]";
    QTest::newRow("nothing printed") << QString() << QString() << 1 << "Transfer failed";
}

void OperationsTest::install()
{
    QFETCH(QString, output);
    QFETCH(QString, error);
    QFETCH(int, exit);
    QFETCH(QString, failure);
    StandIn standIn;
    standIn.answer(output, error, exit);
    QCOMPARE(failureOf(ADB::shared().install(serial, QStringLiteral("/home/me/My App's.apk"))), failure);
    QCOMPARE(standIn.calls(), QList<QStringList>{(QStringList{"-s", serial, "install", "-r", "/home/me/My App's.apk"})});
}

void OperationsTest::installCancelled()
{
    StandIn standIn;
    standIn.answer(QStringLiteral("Success\n"));
    auto token = std::make_shared<CancelToken>();
    token->cancel();
    QCOMPARE(failureOf(ADB::shared().install(serial, QStringLiteral("/a.apk"), token)), QStringLiteral("Cancelled"));
}

void OperationsTest::missingAdb()
{
    ADB::shared().setCandidatesForTesting({QStringLiteral("/nonexistent/adb")});
    ADB &adb = ADB::shared();
    const QString notFound = QStringLiteral("adb was not found.");
    QCOMPARE(failureOf(adb.listDevices()), notFound);
    QCOMPARE(failureOf(adb.connect(QStringLiteral("a"))), notFound);
    QCOMPARE(failureOf(adb.pair(QStringLiteral("a"), QStringLiteral("1"))), notFound);
    QCOMPARE(failureOf(adb.list(serial, QStringLiteral("/"), false)), notFound);
    QCOMPARE(failureOf(adb.makeDirectory(serial, QStringLiteral("/x"))), notFound);
    QCOMPARE(failureOf(adb.createFolder(serial, QStringLiteral("/x"))), notFound);
    QCOMPARE(failureOf(adb.deletePaths(serial, {QStringLiteral("/x")})), notFound);
    QCOMPARE(failureOf(adb.rename(serial, QStringLiteral("/x"), QStringLiteral("/y"))), notFound);
    QCOMPARE(failureOf(adb.screenshot(serial)), notFound);
    QCOMPARE(failureOf(adb.install(serial, QStringLiteral("/a.apk"))), notFound);

    QCOMPARE(await(adb.existingNames(serial, QStringLiteral("/x"))), QSet<QString>());
    QCOMPARE(await(adb.allFiles(serial, QStringLiteral("/x"))), QList<FileEntry>());
    QCOMPARE(await(adb.remoteSize(serial, QStringLiteral("/x"), true)), qint64(0));
    QCOMPARE(await(adb.remoteIsDirectory(serial, QStringLiteral("/x"))), false);
    QCOMPARE(await(adb.storageVolumes(serial)),
             QList<StorageVolume>{(StorageVolume{"Internal storage", "/storage/emulated/0", 0, 0, true})});
    PhoneInfo empty;
    empty.serial = serial;
    QCOMPARE(await(adb.phoneInfo(serial)), empty);
}
