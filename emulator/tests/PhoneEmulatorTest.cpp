// Drives the real adb client and server against the phone emulator, checking what adb prints
// and how it exits, and what ends up in the phone's folder.

#include "PhoneFixture.h"
#include "Patience.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <fcntl.h>
#include <grp.h>
#include <sched.h>
#include <sys/wait.h>
#include <unistd.h>

#ifndef TESSARY_PHONE_EMULATOR
#error "TESSARY_PHONE_EMULATOR must name the phone-emulator executable"
#endif

namespace {

// The phone's long listing line as the app parses it.
const QRegularExpression LsLine(QStringLiteral(
    "^([-dlcbps])[rwxsStT-]{9}\\S*\\s+\\d+\\s+\\S+\\s+\\S+\\s+(\\d+)\\s+(\\d{4}-\\d{2}-\\d{2}\\s+\\d{2}:\\d{2})\\s+(.+)$"));

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// A file of the given size whose bytes vary: a pseudo-random mebibyte, stamped with its index
// each time it is repeated, so a lost, doubled or misplaced piece shows.
bool writePatternFile(const QString &path, qint64 size)
{
    static const QByteArray random = [] {
        QByteArray block(1 << 20, Qt::Uninitialized);
        quint32 state = 0x12345678;
        for (char &byte : block) {
            state = state * 1664525u + 1013904223u;
            byte = char(state >> 24);
        }
        return block;
    }();
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    QByteArray block = random;
    for (qint64 written = 0, index = 0; written < size; written += block.size(), ++index) {
        memcpy(block.data(), &index, sizeof index);
        const qint64 n = std::min<qint64>(block.size(), size - written);
        if (file.write(block.constData(), n) != n)
            return false;
    }
    return true;
}

bool sameContents(const QString &a, const QString &b)
{
    QFile fa(a), fb(b);
    if (!fa.open(QIODevice::ReadOnly) || !fb.open(QIODevice::ReadOnly) || fa.size() != fb.size())
        return false;
    while (!fa.atEnd()) {
        if (fa.read(1 << 20) != fb.read(1 << 20))
            return false;
    }
    return true;
}

QStringList nonEmptyLines(const QString &text)
{
    return text.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

}

class PhoneEmulatorTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();

    void deviceList();
    void shellKeepsStreamsAndExitCode();
    void shellWithoutProtocolMergesStreams();
    void longListingOfUnusualNames_data();
    void longListingOfUnusualNames();
    void listingADeniedFolder();
    void fileCommands();
    void filesBelongToTheCaller();
    void storageSizes();
    void phoneInfo();
    void screencap();
    void install_data();
    void install();
    void pushAndPullLargeFile();
    void pushAndPullTree();
    void transferErrors();
    void fullStorage();
    void connectionDroppedMidPush();
    void terminatedPush();
    void smallMessages();
    void stoppedPhoneComesBack();
    void userNamespacesSwitchedOff();

private:
    AdbRun shell(const QString &serial, const QString &command) { return m_phones.adb({QStringLiteral("-s"), serial, QStringLiteral("shell"), command}); }
    QString internal(const QString &path = {}) const { return m_phones.hostPath(m_main, QStringLiteral("/sdcard/") + path); }

    PhoneFixture m_phones;
    QTemporaryDir m_local;
    QString m_main;
    QString m_rejecting;
    QString m_lockedSmall;
    QString m_dropping;
    QString m_slow;
    QString m_smallMessages;
};

void PhoneEmulatorTest::initTestCase()
{
    QVERIFY2(m_phones.start(), qPrintable(m_phones.errorString()));
    PhoneOptions main;
    main.model = QStringLiteral("Pixel 4a (5G)");
    main.cards = {QStringLiteral("1A2B-3C4D")};
    main.denyPaths = {QStringLiteral("/sdcard/Private")};
    m_main = m_phones.addPhone(main);
    QVERIFY2(!m_main.isEmpty(), qPrintable(m_phones.errorString()));

    PhoneOptions rejecting;
    rejecting.rejectAuth = true;
    m_rejecting = m_phones.addPhone(rejecting);
    QVERIFY2(!m_rejecting.isEmpty(), qPrintable(m_phones.errorString()));

    PhoneOptions lockedSmall;
    lockedSmall.locked = true;
    lockedSmall.storageMb = 8;
    m_lockedSmall = m_phones.addPhone(lockedSmall);
    QVERIFY2(!m_lockedSmall.isEmpty(), qPrintable(m_phones.errorString()));

    PhoneOptions dropping;
    dropping.dropAfterBytes = 3 * 1000 * 1000;
    m_dropping = m_phones.addPhone(dropping);
    QVERIFY2(!m_dropping.isEmpty(), qPrintable(m_phones.errorString()));

    PhoneOptions slow;
    slow.throttleMBps = 4;
    m_slow = m_phones.addPhone(slow);
    QVERIFY2(!m_slow.isEmpty(), qPrintable(m_phones.errorString()));

    PhoneOptions smallMessages;
    smallMessages.maxPayload = 4096;
    m_smallMessages = m_phones.addPhone(smallMessages);
    QVERIFY2(!m_smallMessages.isEmpty(), qPrintable(m_phones.errorString()));

    QVERIFY(m_local.isValid());
}

void PhoneEmulatorTest::deviceList()
{
    const AdbRun run = m_phones.adb({QStringLiteral("devices"), QStringLiteral("-l")});
    QCOMPARE(run.status, 0);
    const QStringList lines = nonEmptyLines(run.output);
    QCOMPARE(lines.value(0), QStringLiteral("List of devices attached"));
    const auto lineOf = [&](const QString &serial) {
        for (const QString &line : lines) {
            if (line.startsWith(serial + QLatin1Char(' ')))
                return line.simplified();
        }
        return QString();
    };
    const QString main = lineOf(m_main);
    QVERIFY2(main.startsWith(m_main + QStringLiteral(" device product:emuphone model:Pixel_4a__5G_ device:emu")),
             qPrintable(main));
    QVERIFY2(lineOf(m_rejecting).startsWith(m_rejecting + QStringLiteral(" unauthorized")), qPrintable(run.output));
}

void PhoneEmulatorTest::shellKeepsStreamsAndExitCode()
{
    const AdbRun run = shell(m_main, QStringLiteral("echo out; echo err >&2; exit 3"));
    QCOMPARE(run.output, QStringLiteral("out\n"));
    QCOMPARE(run.error, QStringLiteral("err\n"));
    QCOMPARE(run.status, 3);

    const AdbRun input = m_phones.adb({QStringLiteral("-s"), m_main, QStringLiteral("shell"), QStringLiteral("cat")}, 30000,
                                      "through stdin\n");
    QCOMPARE(input.output, QStringLiteral("through stdin\n"));
    QCOMPARE(input.status, 0);
}

void PhoneEmulatorTest::shellWithoutProtocolMergesStreams()
{
    // -x asks for the old service: a terminal (CRLF line ends), one stream, no exit code.
    const AdbRun run = m_phones.adb({QStringLiteral("-s"), m_main, QStringLiteral("shell"), QStringLiteral("-x"),
                                     QStringLiteral("echo out; echo err >&2; exit 3")});
    QCOMPARE(run.status, 0);
    QCOMPARE(run.output, QStringLiteral("out\r\nerr\r\n"));
}

void PhoneEmulatorTest::longListingOfUnusualNames_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("isFolder");
    QTest::newRow("spaces") << QStringLiteral("My File (1).txt") << false;
    QTest::newRow("apostrophe") << QStringLiteral("it's a test file é.txt") << false;
    QTest::newRow("dollar") << QStringLiteral("price $HOME $(x).txt") << false;
    QTest::newRow("non-ascii") << QStringLiteral("Ünïcödé 日本 ✓.jpg") << false;
    QTest::newRow("leading dash") << QStringLiteral("-rf") << false;
    QTest::newRow("folder with spaces") << QStringLiteral("Folder With Spaces") << true;
    QTest::newRow("hidden") << QStringLiteral(".hidden") << false;
}

void PhoneEmulatorTest::longListingOfUnusualNames()
{
    QFETCH(QString, name);
    QFETCH(bool, isFolder);
    const QString host = internal(QStringLiteral("Odd/") + name);
    if (isFolder)
        QVERIFY(QDir().mkpath(host));
    else
        QVERIFY(writeFile(host, "13 bytes here"));

    const AdbRun run = shell(m_main, QStringLiteral("ls -lAL '/storage/emulated/0/Odd/'"));
    QCOMPARE(run.status, 0);
    bool found = false;
    for (const QString &line : nonEmptyLines(run.output)) {
        const auto match = LsLine.match(line);
        if (match.hasMatch() && match.captured(4) == name) {
            found = true;
            QCOMPARE(match.captured(1), isFolder ? QStringLiteral("d") : QStringLiteral("-"));
            if (!isFolder)
                QCOMPARE(match.captured(2), QStringLiteral("13"));
        }
    }
    QVERIFY2(found, qPrintable(run.output));

    const AdbRun names = shell(m_main, QStringLiteral("ls -1A /sdcard/Odd/"));
    QVERIFY2(nonEmptyLines(names.output).contains(name), qPrintable(names.output));
}

void PhoneEmulatorTest::listingADeniedFolder()
{
    QVERIFY(writeFile(internal(QStringLiteral("Private/secret.txt")), "secret"));
    const AdbRun run = shell(m_main, QStringLiteral("ls -lAL '/storage/emulated/0/Private/'"));
    QVERIFY2(run.error.contains(QStringLiteral("Permission denied")), qPrintable(run.error));
    QVERIFY(!run.output.contains(QStringLiteral("secret.txt")));
    QVERIFY(run.status != 0);

    const AdbRun pull = m_phones.adb({QStringLiteral("-s"), m_main, QStringLiteral("pull"),
                                      QStringLiteral("/sdcard/Private/secret.txt"), m_local.filePath(QStringLiteral("secret"))});
    QCOMPARE(pull.status, 1);
    QVERIFY2(pull.output.contains(QStringLiteral("Permission denied")), qPrintable(pull.output));
}

void PhoneEmulatorTest::fileCommands()
{
    QCOMPARE(shell(m_main, QStringLiteral("mkdir -p '/storage/emulated/0/Work/a b/c'")).status, 0);
    QVERIFY(QFileInfo(internal(QStringLiteral("Work/a b/c"))).isDir());

    QVERIFY(writeFile(internal(QStringLiteral("Work/a b/c/data.bin")), QByteArray(5000, 'x')));
    const AdbRun size = shell(m_main, QStringLiteral("stat -c %s '/storage/emulated/0/Work/a b/c/data.bin'"));
    QCOMPARE(size.output, QStringLiteral("5000\n"));
    const AdbRun missing = shell(m_main, QStringLiteral("stat -c %s /sdcard/Work/none"));
    QVERIFY2(missing.error.startsWith(QStringLiteral("stat:")) && missing.error.contains(QStringLiteral("No such")),
             qPrintable(missing.error));

    const AdbRun usage = shell(m_main, QStringLiteral("du -sk '/storage/emulated/0/Work/a b'"));
    QCOMPARE(usage.status, 0);
    QVERIFY2(QRegularExpression(QStringLiteral("^\\d+\\t/storage/emulated/0/Work/a b\\n$")).match(usage.output).hasMatch(),
             qPrintable(usage.output));

    QCOMPARE(shell(m_main, QStringLiteral("[ -d '/storage/emulated/0/Work/a b' ] && echo DIR")).output, QStringLiteral("DIR\n"));
    QCOMPARE(shell(m_main, QStringLiteral("[ -d '/storage/emulated/0/Work/a b/c/data.bin' ] && echo DIR")).output, QString());

    QCOMPARE(shell(m_main, QStringLiteral("mv '/storage/emulated/0/Work/a b' '/storage/emulated/0/Work/renamed'")).status, 0);
    QVERIFY(QFileInfo::exists(internal(QStringLiteral("Work/renamed/c/data.bin"))));
    const AdbRun badMove = shell(m_main, QStringLiteral("mv /sdcard/Work/none /sdcard/Work/other"));
    QVERIFY(badMove.status != 0);
    QVERIFY2((badMove.output + badMove.error).contains(QStringLiteral("mv:")), qPrintable(badMove.error));

    QCOMPARE(shell(m_main, QStringLiteral("rm -rf '/storage/emulated/0/Work/renamed' /sdcard/Work/none")).status, 0);
    QVERIFY(!QFileInfo::exists(internal(QStringLiteral("Work/renamed"))));
}

void PhoneEmulatorTest::filesBelongToTheCaller()
{
    // Run by an ordinary user the phone is root only inside its own user namespace: what it
    // writes belongs to that user.
    const QString source = m_local.filePath(QStringLiteral("mine.txt"));
    QVERIFY(writeFile(source, "mine"));
    QCOMPARE(m_phones.adb({QStringLiteral("-s"), m_main, QStringLiteral("push"), source, QStringLiteral("/sdcard/Download/mine.txt")}).status, 0);
    QCOMPARE(shell(m_main, QStringLiteral("mkdir -p /sdcard/Made/here && touch /sdcard/Made/here/touched")).status, 0);
    for (const QString &path : {QStringLiteral("Download/mine.txt"), QStringLiteral("Made/here"), QStringLiteral("Made/here/touched")}) {
        const QFileInfo info(internal(path));
        QVERIFY2(info.exists(), qPrintable(path));
        QCOMPARE(info.ownerId(), uint(geteuid()));
        QCOMPARE(info.groupId(), uint(getegid()));
    }
}

void PhoneEmulatorTest::storageSizes()
{
    const AdbRun volumes = shell(m_main, QStringLiteral("ls -1 /storage"));
    QCOMPARE(nonEmptyLines(volumes.output), QStringList({QStringLiteral("1A2B-3C4D"), QStringLiteral("emulated"), QStringLiteral("self")}));

    const AdbRun df = shell(m_main, QStringLiteral("df -k /storage/emulated/0 /storage/1A2B-3C4D"));
    QCOMPARE(df.status, 0);
    const QStringList lines = nonEmptyLines(df.output);
    QCOMPARE(lines.size(), 3);
    for (const QString &line : lines.mid(1)) {
        const QStringList fields = line.simplified().split(QLatin1Char(' '));
        QVERIFY2(fields.size() >= 4 && fields[1].toLongLong() > 0 && fields[3].toLongLong() >= 0, qPrintable(line));
    }

    // The capped phone reports its own size: 8 MiB.
    const AdbRun capped = shell(m_lockedSmall, QStringLiteral("df -k /storage/emulated/0"));
    const QStringList cappedLines = nonEmptyLines(capped.output);
    QCOMPARE(cappedLines.size(), 2);
    QCOMPARE(cappedLines[1].simplified().split(QLatin1Char(' ')).value(1), QStringLiteral("8192"));
}

void PhoneEmulatorTest::phoneInfo()
{
    const AdbRun run = shell(m_main, QStringLiteral("getprop ro.product.manufacturer; getprop ro.product.model; "
                                                    "getprop ro.build.version.release; dumpsys battery"));
    QCOMPARE(run.status, 0);
    const QStringList lines = run.output.split(QLatin1Char('\n'));
    QCOMPARE(lines.mid(0, 3), QStringList({QStringLiteral("emu"), QStringLiteral("Pixel 4a (5G)"), QStringLiteral("14")}));
    QVERIFY(lines.contains(QStringLiteral("  level: 85")));
    QVERIFY(lines.contains(QStringLiteral("  status: 2")));
    QVERIFY(lines.contains(QStringLiteral("  temperature: 291")));
    QCOMPARE(shell(m_main, QStringLiteral("getprop no.such.property")).output, QStringLiteral("\n"));
}

void PhoneEmulatorTest::screencap()
{
    const AdbRun run = m_phones.adb({QStringLiteral("-s"), m_main, QStringLiteral("exec-out"), QStringLiteral("screencap"), QStringLiteral("-p")});
    QCOMPARE(run.status, 0);
    QVERIFY(run.data.size() > 100);
    QVERIFY(run.data.startsWith(QByteArray("\x89PNG\r\n\x1a\n", 8)));

    const AdbRun locked = m_phones.adb({QStringLiteral("-s"), m_lockedSmall, QStringLiteral("exec-out"), QStringLiteral("screencap"), QStringLiteral("-p")});
    QCOMPARE(locked.status, 0);
    QCOMPARE(locked.data, QByteArray());
}

void PhoneEmulatorTest::install_data()
{
    QTest::addColumn<QByteArray>("contents");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("expected");
    QTest::newRow("zip") << QByteArray("PK\x03\x04", 4) + QByteArray(200000, 'a') << 0 << QStringLiteral("Success");
    QTest::newRow("not a zip") << QByteArray("this is not an android package\n") << 1
                               << QStringLiteral("Failure [INSTALL_PARSE_FAILED_NOT_APK: not a zip]");
}

void PhoneEmulatorTest::install()
{
    QFETCH(QByteArray, contents);
    QFETCH(int, status);
    QFETCH(QString, expected);
    const QString apk = m_local.filePath(QStringLiteral("app.apk"));
    QVERIFY(writeFile(apk, contents));
    const QString apps = m_phones.hostPath(m_main, QStringLiteral("/data/app"));
    const QStringList before = QDir(apps).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    const AdbRun run = m_phones.adb({QStringLiteral("-s"), m_main, QStringLiteral("install"), QStringLiteral("-r"), apk});
    QCOMPARE(run.status, status);
    QVERIFY2((run.output + run.error).contains(expected), qPrintable(run.output + run.error));
    if (status != 0)
        QVERIFY2(run.error.startsWith(QStringLiteral("adb: failed to install ")), qPrintable(run.error));

    // An installed package stays on the phone; a refused one leaves nothing behind.
    QStringList added = QDir(apps).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString &folder : before)
        added.removeOne(folder);
    QCOMPARE(added.size(), status == 0 ? 1 : 0);
    if (status == 0) {
        QFile kept(apps + QLatin1Char('/') + added.first() + QStringLiteral("/base.apk"));
        QVERIFY(kept.open(QIODevice::ReadOnly));
        QCOMPARE(kept.readAll(), contents);
    }
    QCOMPARE(QDir(apps).entryList(QDir::Files), QStringList());
}

void PhoneEmulatorTest::pushAndPullLargeFile()
{
    const QString source = m_local.filePath(QStringLiteral("big.bin"));
    QVERIFY(writePatternFile(source, 100 * 1000 * 1000));
    const QDateTime mtime = QDateTime::fromSecsSinceEpoch(1700000000);
    {
        QFile file(source);
        QVERIFY(file.open(QIODevice::ReadWrite));
        QVERIFY(file.setFileTime(mtime, QFileDevice::FileModificationTime));
    }

    const AdbRun push = m_phones.adb({QStringLiteral("-s"), m_main, QStringLiteral("push"), source, QStringLiteral("/sdcard/Download/")});
    QCOMPARE(push.status, 0);
    QVERIFY2(push.output.contains(QStringLiteral("1 file pushed, 0 skipped.")), qPrintable(push.output));
    const QString onPhone = internal(QStringLiteral("Download/big.bin"));
    QVERIFY(sameContents(source, onPhone));
    QCOMPARE(QFileInfo(onPhone).lastModified(), mtime);
    QFile::remove(source);

    const QString pulled = m_local.filePath(QStringLiteral("pulled.bin"));
    const AdbRun pull = m_phones.adb({QStringLiteral("-s"), m_main, QStringLiteral("pull"), QStringLiteral("-a"),
                                      QStringLiteral("/sdcard/Download/big.bin"), pulled});
    QCOMPARE(pull.status, 0);
    QVERIFY2(pull.output.contains(QStringLiteral("1 file pulled, 0 skipped.")), qPrintable(pull.output));
    QVERIFY(sameContents(onPhone, pulled));
    QCOMPARE(QFileInfo(pulled).lastModified(), mtime);
    QFile::remove(pulled);
    QFile::remove(onPhone);
}

void PhoneEmulatorTest::pushAndPullTree()
{
    const QString tree = m_local.filePath(QStringLiteral("tree"));
    QVERIFY(writeFile(tree + QStringLiteral("/a.txt"), "a"));
    QVERIFY(writeFile(tree + QStringLiteral("/sub/b.bin"), QByteArray(70000, 'b')));
    QVERIFY(writeFile(tree + QStringLiteral("/sub/deeper/c it's.txt"), "c"));
    QVERIFY(QDir().mkpath(tree + QStringLiteral("/empty")));

    const AdbRun push = m_phones.adb({QStringLiteral("-s"), m_main, QStringLiteral("push"), tree, QStringLiteral("/sdcard/")});
    QCOMPARE(push.status, 0);
    QVERIFY2(push.output.contains(QStringLiteral("3 files pushed, 0 skipped.")), qPrintable(push.output));
    QCOMPARE(readFile(internal(QStringLiteral("tree/sub/b.bin"))), QByteArray(70000, 'b'));
    QCOMPARE(readFile(internal(QStringLiteral("tree/sub/deeper/c it's.txt"))), QByteArray("c"));
    // Pushing to a phone that creates folders itself sends no empty folders.
    QVERIFY(!QFileInfo::exists(internal(QStringLiteral("tree/empty"))));

    QVERIFY(QDir().mkpath(internal(QStringLiteral("tree/empty on phone"))));
    const QString back = m_local.filePath(QStringLiteral("back"));
    QVERIFY(QDir().mkpath(back));
    const AdbRun pull = m_phones.adb({QStringLiteral("-s"), m_main, QStringLiteral("pull"), QStringLiteral("/sdcard/tree/"), back});
    QCOMPARE(pull.status, 0);
    QVERIFY2(pull.output.contains(QStringLiteral("3 files pulled, 0 skipped.")), qPrintable(pull.output));
    QCOMPARE(readFile(back + QStringLiteral("/tree/sub/deeper/c it's.txt")), QByteArray("c"));
    QVERIFY(QFileInfo(back + QStringLiteral("/tree/empty on phone")).isDir());
}

void PhoneEmulatorTest::transferErrors()
{
    const AdbRun missing = m_phones.adb({QStringLiteral("-s"), m_main, QStringLiteral("pull"), QStringLiteral("/sdcard/nope"),
                                         m_local.filePath(QStringLiteral("nope"))});
    QCOMPARE(missing.status, 1);
    QCOMPARE(missing.output.trimmed(),
             QStringLiteral("adb: error: failed to stat remote object '/sdcard/nope': No such file or directory"));

    QVERIFY(writeFile(internal(QStringLiteral("Download/hello.txt")), "hello"));
    const QString local = m_local.filePath(QStringLiteral("x"));
    QVERIFY(writeFile(local, "x"));
    const AdbRun underFile = m_phones.adb({QStringLiteral("-s"), m_main, QStringLiteral("push"), local,
                                           QStringLiteral("/sdcard/Download/hello.txt/x")});
    QCOMPARE(underFile.status, 1);
    QCOMPARE(underFile.output.trimmed(),
             QStringLiteral("adb: error: stat failed when trying to push to /sdcard/Download/hello.txt/x: Not a directory"));
}

void PhoneEmulatorTest::fullStorage()
{
    const QString source = m_local.filePath(QStringLiteral("toobig.bin"));
    QVERIFY(writePatternFile(source, 20 * 1000 * 1000));
    const AdbRun push = m_phones.adb({QStringLiteral("-s"), m_lockedSmall, QStringLiteral("push"), source, QStringLiteral("/sdcard/toobig.bin")});
    QCOMPARE(push.status, 1);
    QVERIFY2(push.output.startsWith(QStringLiteral("adb: error: failed to copy '%1' to '/sdcard/toobig.bin': "
                                                   "remote write failed: No space left on device\n").arg(source)),
             qPrintable(push.output));
    QVERIFY2(push.output.contains(QStringLiteral("0 files pushed")), qPrintable(push.output));
    QVERIFY(!QFileInfo::exists(m_phones.hostPath(m_lockedSmall, QStringLiteral("/sdcard/toobig.bin"))));
}

void PhoneEmulatorTest::connectionDroppedMidPush()
{
    const QString source = m_local.filePath(QStringLiteral("dropped.bin"));
    QVERIFY(writePatternFile(source, 20 * 1000 * 1000));
    const AdbRun push = m_phones.adb({QStringLiteral("-s"), m_dropping, QStringLiteral("push"), source,
                                      QStringLiteral("/sdcard/Download/dropped.bin")});
    QCOMPARE(push.status, 1);
    QVERIFY2(push.output.contains(QStringLiteral("adb: error: failed to copy '%1' to '/sdcard/Download/dropped.bin': ").arg(source)),
             qPrintable(push.output));
    // The half-written file is removed on the phone.
    QTRY_VERIFY_WITH_TIMEOUT(!QFileInfo::exists(m_phones.hostPath(m_dropping, QStringLiteral("/sdcard/Download/dropped.bin"))), kPatienceMs);
}

void PhoneEmulatorTest::terminatedPush()
{
    const QString source = m_local.filePath(QStringLiteral("slow.bin"));
    QVERIFY(writePatternFile(source, 40 * 1000 * 1000));
    const QString onPhone = m_phones.hostPath(m_slow, QStringLiteral("/sdcard/slow.bin"));
    QProcess push;
    push.setProcessEnvironment(m_phones.environment());
    push.start(m_phones.adbPath(), {QStringLiteral("-s"), m_slow, QStringLiteral("push"), source, QStringLiteral("/sdcard/slow.bin")});
    QVERIFY(push.waitForStarted());
    QTRY_VERIFY_WITH_TIMEOUT(QFileInfo(onPhone).size() > 0, kPatienceMs);
    QSignalSpy finished(&push, &QProcess::finished);
    push.terminate();
    QTRY_VERIFY_WITH_TIMEOUT(!finished.isEmpty(), kPatienceMs);
    QCOMPARE(push.exitStatus(), QProcess::CrashExit);
    QTRY_VERIFY_WITH_TIMEOUT(!QFileInfo::exists(onPhone), kPatienceMs);
}

void PhoneEmulatorTest::smallMessages()
{
    // With 4 KiB messages every stream is cut into many pieces, each waiting for the host's
    // OKAY; a message above the limit would be dropped by adb and the command would hang.
    const AdbRun count = shell(m_smallMessages, QStringLiteral("seq 1 100000"));
    QCOMPARE(count.status, 0);
    const QStringList lines = nonEmptyLines(count.output);
    QCOMPARE(lines.size(), 100000);
    QCOMPARE(lines.last(), QStringLiteral("100000"));

    const QString source = m_local.filePath(QStringLiteral("pieces.bin"));
    QVERIFY(writePatternFile(source, 3 * 1000 * 1000 + 17));
    QCOMPARE(m_phones.adb({QStringLiteral("-s"), m_smallMessages, QStringLiteral("push"), source, QStringLiteral("/sdcard/pieces.bin")}).status, 0);
    QVERIFY(sameContents(source, m_phones.hostPath(m_smallMessages, QStringLiteral("/sdcard/pieces.bin"))));
    const QString back = m_local.filePath(QStringLiteral("pieces-back.bin"));
    QCOMPARE(m_phones.adb({QStringLiteral("-s"), m_smallMessages, QStringLiteral("pull"), QStringLiteral("/sdcard/pieces.bin"), back}).status, 0);
    QVERIFY(sameContents(source, back));
}

void PhoneEmulatorTest::stoppedPhoneComesBack()
{
    QVERIFY(writeFile(m_phones.hostPath(m_dropping, QStringLiteral("/sdcard/Download/kept.txt")), "kept"));
    m_phones.stopPhone(m_dropping);
    QTRY_VERIFY_WITH_TIMEOUT(!m_phones.adb({QStringLiteral("devices")}).output.contains(m_dropping + QStringLiteral("\tdevice")), kPatienceMs);
    QCOMPARE(shell(m_dropping, QStringLiteral("true")).status, 1);

    QVERIFY2(m_phones.restartPhone(m_dropping), qPrintable(m_phones.errorString()));
    const AdbRun run = shell(m_dropping, QStringLiteral("cat /sdcard/Download/kept.txt"));
    QCOMPARE(run.output, QStringLiteral("kept"));
    QCOMPARE(run.status, 0);
}

void PhoneEmulatorTest::userNamespacesSwitchedOff()
{
    if (geteuid() != 0)
        QSKIP("switching user namespaces off for one process needs root");
    // A user namespace of the test's own in which "nobody" may create no further ones (its
    // limit is 0): the phone started there as nobody must say so in one line.
    int ready[2], mapped[2], errors[2];
    QVERIFY(pipe2(ready, O_CLOEXEC) == 0 && pipe2(mapped, O_CLOEXEC) == 0 && pipe2(errors, O_CLOEXEC) == 0);
    const pid_t child = fork();
    QVERIFY(child >= 0);
    if (child == 0) {
        char byte = 0;
        if (unshare(CLONE_NEWUSER) != 0 || write(ready[1], "u", 1) != 1 || read(mapped[0], &byte, 1) != 1)
            _exit(101);
        const int limit = open("/proc/sys/user/max_user_namespaces", O_WRONLY);
        if (limit < 0 || write(limit, "0", 1) != 1)
            _exit(102);
        close(limit);
        if (setgroups(0, nullptr) != 0 || setresgid(65534, 65534, 65534) != 0 || setresuid(65534, 65534, 65534) != 0)
            _exit(103);
        dup2(errors[1], STDERR_FILENO);
        execl(TESSARY_PHONE_EMULATOR, TESSARY_PHONE_EMULATOR, "--check", static_cast<char *>(nullptr));
        _exit(104);
    }
    close(ready[1]);
    close(mapped[0]);
    close(errors[1]);
    char byte = 0;
    QCOMPARE(read(ready[0], &byte, 1), ssize_t(1));
    for (const char *map : {"uid_map", "gid_map"}) {
        QFile file(QStringLiteral("/proc/%1/%2").arg(child).arg(QLatin1String(map)));
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
        QVERIFY(file.write("0 0 1\n65534 65534 1\n") > 0);
    }
    QCOMPARE(write(mapped[1], "m", 1), ssize_t(1));
    QByteArray said;
    char buffer[4096];
    for (ssize_t n; (n = read(errors[0], buffer, sizeof buffer)) > 0;)
        said.append(buffer, n);
    int status = 0;
    QCOMPARE(waitpid(child, &status, 0), child);
    for (int fd : {ready[0], mapped[1], errors[0]})
        close(fd);
    QVERIFY(WIFEXITED(status));
    QCOMPARE(WEXITSTATUS(status), 1);
    const QStringList lines = nonEmptyLines(QString::fromLocal8Bit(said));
    QCOMPARE(lines.size(), 1);
    QVERIFY2(lines[0].startsWith(QStringLiteral("phone-emulator: user namespaces are switched off (user.max_user_namespaces = 0)")),
             qPrintable(lines[0]));
    QVERIFY2(lines[0].contains(QStringLiteral("\"sudo sysctl -w user.max_user_namespaces=15000\"")), qPrintable(lines[0]));
}

QTEST_GUILESS_MAIN(PhoneEmulatorTest)
#include "PhoneEmulatorTest.moc"
