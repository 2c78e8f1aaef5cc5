#include "PlatformTests.h"
#include "RecordingPlatform.h"
#include "Patience.h"
#include "platform/Platform.h"
#include "platform/PrivateFolder.h"
#include "platform/linux/LinuxFileBrowser.h"
#include "platform/linux/LinuxNotifier.h"
#include "platform/linux/LinuxTrash.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QProcess>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>
#include <unistd.h>

// What a notification server on the session bus received.
class FakeNotifications : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")
public:
    struct Call
    {
        QString appName;
        uint replacesId = 0;
        QString summary;
        QString body;
        QVariantMap hints;
        int timeout = 0;
    };
    QList<Call> calls;

public slots:
    uint Notify(const QString &appName, uint replacesId, const QString &, const QString &summary,
                const QString &body, const QStringList &, const QVariantMap &hints, int timeout)
    {
        calls.append({appName, replacesId, summary, body, hints, timeout});
        return uint(calls.size());
    }
};

// What a file browser on the session bus was asked to show.
class FakeFileManager : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.FileManager1")
public:
    QList<QStringList> shown;

public slots:
    void ShowItems(const QStringList &uris, const QString &) { shown.append(uris); }
};

class PlatformTest : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();

    void trashMovesIntoTheUsersTrash();
    void trashFailuresAreSentences_data();
    void trashFailuresAreSentences();

    void notificationsNeedAServer();
    void notificationReachesTheServer_data();
    void notificationReachesTheServer();
    void revealAsksTheFileBrowser();
    void revealWithoutFileBrowserOpensTheFolder();
    void revealOfSeveralItemsAsksOnce();
    void revealOfSeveralItemsWithoutFileBrowserOpensEachFolderOnce();
    void fullDiskAccessShowsTheBlockedFolder();

    void servicesCanBeReplacedAndRestored();
    void attentionCallsTheWindowsHook();

    void privateFolderIsUsedOnlyWhenItIsTheUsersAlone_data();
    void privateFolderIsUsedOnlyWhenItIsTheUsersAlone();
    void runtimeFolderFallsBackToThePrivateTemporaryOne_data();
    void runtimeFolderFallsBackToThePrivateTemporaryOne();

private:
    QProcess m_bus;
    QTemporaryDir m_busFolder;
    QString m_busAddress;
    QTemporaryDir m_dataHome;
};

void PlatformTest::initTestCase()
{
    // The user's trash goes to a scratch folder for this run.
    QVERIFY(m_dataHome.isValid());
    qputenv("XDG_DATA_HOME", QFile::encodeName(m_dataHome.path()));

    // A private session bus with no activatable services: the test decides which desktop
    // services exist. It has to be in place before anything touches the session bus.
    QVERIFY(m_busFolder.isValid());
    const QString config = m_busFolder.filePath(QStringLiteral("session.conf"));
    QFile file(config);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("<!DOCTYPE busconfig PUBLIC \"-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN\"\n"
               " \"http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd\">\n"
               "<busconfig><type>session</type><listen>unix:dir=" + QFile::encodeName(m_busFolder.path())
               + "</listen><auth>EXTERNAL</auth><policy context=\"default\">"
                 "<allow send_destination=\"*\" eavesdrop=\"true\"/><allow eavesdrop=\"true\"/>"
                 "<allow own=\"*\"/></policy></busconfig>\n");
    file.close();
    m_bus.start(QStringLiteral("dbus-daemon"),
                {QStringLiteral("--nofork"), QStringLiteral("--print-address=1"),
                 QStringLiteral("--config-file=") + config});
    if (!m_bus.waitForStarted())
        QSKIP("dbus-daemon is not installed; the desktop's D-Bus services cannot be stood in for");
    QTRY_VERIFY_WITH_TIMEOUT(m_bus.canReadLine(), kPatienceMs);
    m_busAddress = QString::fromUtf8(m_bus.readLine()).trimmed();
    qputenv("DBUS_SESSION_BUS_ADDRESS", m_busAddress.toUtf8());
    QVERIFY(QDBusConnection::sessionBus().isConnected());
}

void PlatformTest::cleanupTestCase()
{
    Platform::instance().restoreDefaults();
    if (m_bus.state() != QProcess::NotRunning) {
        m_bus.terminate();
        m_bus.waitForFinished();
    }
}

void PlatformTest::trashMovesIntoTheUsersTrash()
{
    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    const QString path = folder.filePath(QStringLiteral("report.txt"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("x");
    file.close();

    LinuxTrash trash;
    QCOMPARE(trash.moveToTrash(path), std::nullopt);
    QVERIFY(!QFile::exists(path));
    const QString trashed = m_dataHome.filePath(QStringLiteral("Trash/files/report.txt"));
    QVERIFY2(QFile::exists(trashed), qPrintable(trashed));
    QFile info(m_dataHome.filePath(QStringLiteral("Trash/info/report.txt.trashinfo")));
    QVERIFY(info.open(QIODevice::ReadOnly));
    QVERIFY(info.readAll().contains("Path=" + QUrl::toPercentEncoding(path, "/")));
}

void PlatformTest::trashFailuresAreSentences_data()
{
    QTest::addColumn<bool>("immutable");
    QTest::addColumn<QString>("reason");
    QTest::newRow("missing") << false << "No such file or directory";
    QTest::newRow("immutable") << true << "Operation not permitted";
}

void PlatformTest::trashFailuresAreSentences()
{
    QFETCH(bool, immutable);
    QFETCH(QString, reason);
    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    const QString path = folder.filePath(QStringLiteral("locked.txt"));
    if (immutable) {
        if (::geteuid() != 0)
            QSKIP("only root can mark a file immutable (chattr +i)");
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.close();
        if (QProcess::execute(QStringLiteral("chattr"), {QStringLiteral("+i"), path}) != 0)
            QSKIP("this file system does not support the immutable flag");
    }
    const std::optional<QString> failure = LinuxTrash().moveToTrash(path);
    if (immutable) {
        QProcess::execute(QStringLiteral("chattr"), {QStringLiteral("-i"), path});
        QVERIFY(QFile::exists(path));
    }
    QCOMPARE(failure, QStringLiteral("\u201Clocked.txt\u201D couldn't be moved to the Trash: ") + reason + u'.');
}

void PlatformTest::notificationsNeedAServer()
{
    LinuxNotifier notifier;
    QVERIFY(!notifier.canNotify());
    QDBusConnection fakes = QDBusConnection::connectToBus(m_busAddress, QStringLiteral("fake-notifications"));
    FakeNotifications server;
    QVERIFY(fakes.registerObject(QStringLiteral("/org/freedesktop/Notifications"), &server,
                                 QDBusConnection::ExportAllSlots));
    QVERIFY(fakes.registerService(QStringLiteral("org.freedesktop.Notifications")));
    QVERIFY(notifier.canNotify());
    fakes.unregisterService(QStringLiteral("org.freedesktop.Notifications"));
    QDBusConnection::disconnectFromBus(QStringLiteral("fake-notifications"));
}

void PlatformTest::notificationReachesTheServer_data()
{
    QTest::addColumn<bool>("withSound");
    QTest::newRow("silent") << false;
    QTest::newRow("with sound") << true;
}

void PlatformTest::notificationReachesTheServer()
{
    QFETCH(bool, withSound);
    QDBusConnection fakes = QDBusConnection::connectToBus(m_busAddress, QStringLiteral("fake-notifications"));
    FakeNotifications server;
    QVERIFY(fakes.registerObject(QStringLiteral("/org/freedesktop/Notifications"), &server,
                                 QDBusConnection::ExportAllSlots));
    QVERIFY(fakes.registerService(QStringLiteral("org.freedesktop.Notifications")));

    LinuxNotifier notifier;
    QVERIFY(notifier.canNotify());
    notifier.notify(QStringLiteral("Backup connected"), QStringLiteral("exFAT drive \u00B7 1 GB free of 2 GB"), withSound);
    notifier.notify(QStringLiteral("Tessary"), QStringLiteral("1 transfer finished."), withSound);
    QTRY_COMPARE_WITH_TIMEOUT(server.calls.size(), 2, kPatienceMs);
    const FakeNotifications::Call &first = server.calls.at(0);
    QCOMPARE(first.appName, QStringLiteral("Tessary"));
    QCOMPARE(first.replacesId, 0u); // a new notification each time, never replacing one
    QCOMPARE(first.summary, QStringLiteral("Backup connected"));
    QCOMPARE(first.body, QStringLiteral("exFAT drive \u00B7 1 GB free of 2 GB"));
    QCOMPARE(first.timeout, -1);
    QCOMPARE(first.hints.contains(QStringLiteral("sound-name")), withSound);
    QCOMPARE(server.calls.at(1).summary, QStringLiteral("Tessary"));
    QCOMPARE(server.calls.at(1).replacesId, 0u);

    fakes.unregisterService(QStringLiteral("org.freedesktop.Notifications"));
    QDBusConnection::disconnectFromBus(QStringLiteral("fake-notifications"));
}

void PlatformTest::revealAsksTheFileBrowser()
{
    QDBusConnection fakes = QDBusConnection::connectToBus(m_busAddress, QStringLiteral("fake-files"));
    FakeFileManager browser;
    QVERIFY(fakes.registerObject(QStringLiteral("/org/freedesktop/FileManager1"), &browser,
                                 QDBusConnection::ExportAllSlots));
    QVERIFY(fakes.registerService(QStringLiteral("org.freedesktop.FileManager1")));
    RecordingPlatform platform;

    LinuxFileBrowser().reveal({QStringLiteral("/home/alex/Downloads/a b.txt")});
    QTRY_COMPARE_WITH_TIMEOUT(browser.shown.size(), 1, kPatienceMs);
    QCOMPARE(browser.shown.at(0), QStringList{QStringLiteral("file:///home/alex/Downloads/a%20b.txt")});
    // The browser answered, so no folder is opened besides. Replies on one connection arrive
    // in order: once a later round trip is back, the answer to ShowItems has been handled.
    QDBusConnection::sessionBus().interface()->isServiceRegistered(QStringLiteral("org.freedesktop.FileManager1"));
    QCoreApplication::processEvents();
    QVERIFY(platform.launcher->urls.isEmpty());

    fakes.unregisterService(QStringLiteral("org.freedesktop.FileManager1"));
    QDBusConnection::disconnectFromBus(QStringLiteral("fake-files"));
}

void PlatformTest::revealWithoutFileBrowserOpensTheFolder()
{
    RecordingPlatform platform;
    LinuxFileBrowser().reveal({QStringLiteral("/home/alex/Downloads/a.txt")});
    QTRY_COMPARE_WITH_TIMEOUT(platform.launcher->urls.size(), 1, kPatienceMs);
    QCOMPARE(platform.launcher->urls.at(0), QUrl::fromLocalFile(QStringLiteral("/home/alex/Downloads")));
}

void PlatformTest::revealOfSeveralItemsAsksOnce()
{
    QDBusConnection fakes = QDBusConnection::connectToBus(m_busAddress, QStringLiteral("fake-files"));
    FakeFileManager browser;
    QVERIFY(fakes.registerObject(QStringLiteral("/org/freedesktop/FileManager1"), &browser,
                                 QDBusConnection::ExportAllSlots));
    QVERIFY(fakes.registerService(QStringLiteral("org.freedesktop.FileManager1")));
    RecordingPlatform platform;

    LinuxFileBrowser().reveal({QStringLiteral("/home/alex/Downloads/a.txt"), QStringLiteral("/home/alex/Downloads/b c.txt"),
                               QStringLiteral("/home/alex/Pictures/d.jpg")});
    QTRY_COMPARE_WITH_TIMEOUT(browser.shown.size(), 1, kPatienceMs);
    QCOMPARE(browser.shown.at(0), (QStringList{QStringLiteral("file:///home/alex/Downloads/a.txt"),
                                               QStringLiteral("file:///home/alex/Downloads/b%20c.txt"),
                                               QStringLiteral("file:///home/alex/Pictures/d.jpg")}));
    // Later round trips on the same connection are answered in order: no second call follows.
    QDBusConnection::sessionBus().interface()->isServiceRegistered(QStringLiteral("org.freedesktop.FileManager1"));
    QCoreApplication::processEvents();
    QCOMPARE(browser.shown.size(), 1);
    QVERIFY(platform.launcher->urls.isEmpty());

    fakes.unregisterService(QStringLiteral("org.freedesktop.FileManager1"));
    QDBusConnection::disconnectFromBus(QStringLiteral("fake-files"));
}

void PlatformTest::revealOfSeveralItemsWithoutFileBrowserOpensEachFolderOnce()
{
    RecordingPlatform platform;
    LinuxFileBrowser().reveal({QStringLiteral("/home/alex/Downloads/a.txt"), QStringLiteral("/home/alex/Downloads/b.txt"),
                               QStringLiteral("/home/alex/Pictures/d.jpg")});
    QTRY_COMPARE_WITH_TIMEOUT(platform.launcher->urls.size(), 2, kPatienceMs);
    QCOMPARE(platform.launcher->urls, (QList<QUrl>{QUrl::fromLocalFile(QStringLiteral("/home/alex/Downloads")),
                                                   QUrl::fromLocalFile(QStringLiteral("/home/alex/Pictures"))}));
}

void PlatformTest::fullDiskAccessShowsTheBlockedFolder()
{
    RecordingPlatform platform;
    // The real Linux service behind the recording file browser.
    Platform::instance().restoreDefaults();
    auto *browser = new RecordingFileBrowser;
    Platform::instance().setFileBrowser(std::unique_ptr<FileBrowser>(browser));
    Platform::instance().accessSettings().openFullDiskAccessSettings(QStringLiteral("/srv/private"));
    QCOMPARE(browser->revealed, QStringList{QStringLiteral("/srv/private")});
}

void PlatformTest::servicesCanBeReplacedAndRestored()
{
    {
        RecordingPlatform platform;
        platform.trash->failures.insert(QStringLiteral("/x/b"), QStringLiteral("no."));
        Trash &trash = Platform::instance().trash();
        QCOMPARE(trash.moveToTrash(QStringLiteral("/x/a")), std::nullopt);
        QCOMPARE(trash.moveToTrash(QStringLiteral("/x/b")), QStringLiteral("no."));
        QCOMPARE(platform.trash->paths, (QStringList{"/x/a", "/x/b"}));

        platform.ejector->failures.insert(QStringLiteral("/media/Stick"), QStringLiteral("umount: target is busy."));
        QCOMPARE(QCoro::waitFor(Platform::instance().ejector().eject(QStringLiteral("/media/Stick"))),
                 QStringLiteral("umount: target is busy."));
    }
    QVERIFY(dynamic_cast<LinuxTrash *>(&Platform::instance().trash()));
    QVERIFY(dynamic_cast<LinuxFileBrowser *>(&Platform::instance().fileBrowser()));
    QVERIFY(dynamic_cast<LinuxNotifier *>(&Platform::instance().notifier()));
}

void PlatformTest::attentionCallsTheWindowsHook()
{
    // Without a window nothing can flash; the request is simply dropped.
    Platform::instance().attention().request();
    int alerts = 0;
    Platform::instance().setAttention(std::make_unique<CallbackAttention>([&alerts] { ++alerts; }));
    Platform::instance().attention().request();
    QCOMPARE(alerts, 1);
    Platform::instance().restoreDefaults();
}

namespace {

QString modeOf(const QString &path)
{
    struct stat info {};
    if (::lstat(QFile::encodeName(path).constData(), &info) != 0)
        return QStringLiteral("missing");
    return QString::number(info.st_mode & 07777, 8);
}

// Puts one kind of thing at `path`; false when this kind cannot be made here.
bool plant(const QString &kind, const QString &path, const QString &elsewhere)
{
    const QByteArray name = QFile::encodeName(path);
    if (kind == QLatin1String("nothing"))
        return true;
    if (kind == QLatin1String("private folder"))
        return ::mkdir(name.constData(), 0700) == 0;
    if (kind == QLatin1String("folder open to others"))
        return ::mkdir(name.constData(), 0700) == 0 && ::chmod(name.constData(), 0755) == 0;
    if (kind == QLatin1String("link to a private folder"))
        return QFile::link(elsewhere, path);
    if (kind == QLatin1String("file")) {
        QFile file(path);
        return file.open(QIODevice::WriteOnly);
    }
    if (kind == QLatin1String("another user's folder"))
        return ::geteuid() == 0 && ::mkdir(name.constData(), 0700) == 0 && ::chown(name.constData(), 65534, 65534) == 0;
    return false;
}

} // namespace

void PlatformTest::privateFolderIsUsedOnlyWhenItIsTheUsersAlone_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("problem");
    QTest::addColumn<QString>("mode");
    QTest::newRow("missing: made for this user alone") << "nothing" << QString() << "700";
    QTest::newRow("private folder") << "private folder" << QString() << "700";
    QTest::newRow("open to others: refused, not repaired") << "folder open to others" << "is open to other users" << "755";
    QTest::newRow("link: refused, not followed") << "link to a private folder" << "is a link" << "777";
    QTest::newRow("file") << "file" << "is not a folder" << QString();
    QTest::newRow("another user's folder") << "another user's folder" << "belongs to another user" << "700";
}

void PlatformTest::privateFolderIsUsedOnlyWhenItIsTheUsersAlone()
{
    QFETCH(QString, kind);
    QFETCH(QString, problem);
    QFETCH(QString, mode);
    QTemporaryDir scratch;
    QVERIFY(scratch.isValid());
    const QString path = scratch.filePath(QStringLiteral("mine"));
    const QString elsewhere = scratch.filePath(QStringLiteral("elsewhere"));
    QVERIFY(QDir().mkdir(elsewhere));
    QVERIFY(QFile::setPermissions(elsewhere, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    if (!plant(kind, path, elsewhere))
        QSKIP("this kind of folder cannot be made here (another user's needs root)");

    const PrivateFolder folder = PrivateFolder::make(path);
    QCOMPARE(folder.path, path);
    QCOMPARE(folder.usable(), problem.isEmpty());
    if (!problem.isEmpty())
        QVERIFY2(folder.problem.contains(problem) && folder.problem.contains(path), qPrintable(folder.problem));
    if (!mode.isEmpty())
        QCOMPARE(modeOf(path), mode);
    QCOMPARE(PrivateFolder::check(path).problem, folder.problem);
    QVERIFY(QDir(elsewhere).isEmpty());
    QCOMPARE(modeOf(elsewhere), QStringLiteral("700"));
}

void PlatformTest::runtimeFolderFallsBackToThePrivateTemporaryOne_data()
{
    QTest::addColumn<QString>("runtimeKind");
    QTest::addColumn<bool>("usesRuntime");
    QTest::newRow("private runtime folder") << "private folder" << true;
    QTest::newRow("no runtime folder") << "unset" << false;
    QTest::newRow("relative name") << "relative" << false;
    QTest::newRow("runtime folder open to others") << "folder open to others" << false;
    QTest::newRow("runtime folder is a link") << "link to a private folder" << false;
}

void PlatformTest::runtimeFolderFallsBackToThePrivateTemporaryOne()
{
    QFETCH(QString, runtimeKind);
    QFETCH(bool, usesRuntime);
    QTemporaryDir scratch;
    QVERIFY(scratch.isValid());
    const QString runtime = scratch.filePath(QStringLiteral("run"));
    const QString temporary = scratch.filePath(QStringLiteral("tmp"));
    QVERIFY(QDir().mkdir(temporary));
    const QByteArray savedRuntime = qgetenv("XDG_RUNTIME_DIR");
    const QByteArray savedTemporary = qgetenv("TMPDIR");
    const bool hadRuntime = qEnvironmentVariableIsSet("XDG_RUNTIME_DIR");
    const bool hadTemporary = qEnvironmentVariableIsSet("TMPDIR");
    auto restore = qScopeGuard([&] {
        hadRuntime ? qputenv("XDG_RUNTIME_DIR", savedRuntime) : qunsetenv("XDG_RUNTIME_DIR");
        hadTemporary ? qputenv("TMPDIR", savedTemporary) : qunsetenv("TMPDIR");
    });
    qputenv("TMPDIR", QFile::encodeName(temporary));
    if (runtimeKind == QLatin1String("unset")) {
        qunsetenv("XDG_RUNTIME_DIR");
    } else if (runtimeKind == QLatin1String("relative")) {
        qputenv("XDG_RUNTIME_DIR", "run");
    } else {
        QVERIFY(plant(runtimeKind, runtime, temporary));
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime));
    }

    const QString fallback = temporary + QStringLiteral("/tessary-private-%1").arg(::geteuid());
    const PrivateFolder folder = PrivateFolder::runtime();
    QVERIFY2(folder.usable(), qPrintable(folder.problem));
    QCOMPARE(folder.path, usesRuntime ? runtime : fallback);
    QCOMPARE(PrivateFolder::temporary().path, fallback);
    QCOMPARE(modeOf(fallback), QStringLiteral("700"));
}

int runPlatformTests(int argc, char **argv)
{
    PlatformTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "PlatformTest.moc"
