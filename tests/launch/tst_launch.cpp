// How Tessary is started: the APKs on its command line, the single-instance channel that
// hands a later start over to the running one, and the built tessary started as a process
// (its version, APKs installed on an emulated phone through the real adb, a running
// instance that keeps its channel while a self-test runs beside it).
#include "PhoneFixture.h"
#include "TessaryRun.h"

#include "bridge/ADB.h"
#include "model/AppModel.h"
#include "ui/InstanceRequest.h"
#include "ui/LaunchArguments.h"
#include "ui/MainWindow.h"
#include "ui/OpenedApks.h"
#include "ui/Prompts.h"
#include "ui/SingleInstance.h"

#include <QDirIterator>
#include <QLocalSocket>
#include <QMessageBox>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <atomic>
#include <csignal>
#include <memory>
#include <thread>

#include <grp.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

constexpr int kWaitMs = 120000;

void writeFile(const QString &path, const QByteArray &content)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(content), content.size());
}

// A package the emulated phone accepts (a zip's first bytes) that no other test installs.
QByteArray apkBytes(const QString &label)
{
    return QByteArray("PK\x03\x04", 4) + label.toUtf8();
}

// Contents of every package installed on the phone.
QList<QByteArray> installedPackages(const PhoneFixture &fixture, const QString &serial)
{
    QList<QByteArray> packages;
    QDirIterator it(fixture.hostPath(serial, QStringLiteral("/data/app")), {QStringLiteral("base.apk")},
                    QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        QFile file(it.next());
        if (file.open(QIODevice::ReadOnly))
            packages << file.readAll();
    }
    return packages;
}

// An environment variable as it was, put back by restore().
struct SavedVariable
{
    const char *name;
    std::optional<QByteArray> value;

    explicit SavedVariable(const char *variable)
        : name(variable), value(qEnvironmentVariableIsSet(variable) ? std::optional(qgetenv(variable)) : std::nullopt)
    {
    }
    void restore() const
    {
        if (value)
            qputenv(name, *value);
        else
            qunsetenv(name);
    }
};

bool answers(const QString &socketPath)
{
    QLocalSocket socket;
    socket.connectToServer(socketPath);
    return socket.waitForConnected(1000);
}

// handOver blocks until the running instance has read the request, so it runs beside the
// event loop that serves it.
class HandOver
{
public:
    HandOver(const QString &path, const QStringList &apks)
        : m_thread([this, path, apks] { m_result = SingleInstance(path).handOver(apks); m_done = true; })
    {
    }
    ~HandOver() { m_thread.join(); }
    bool done() const { return m_done; }
    bool result() const { return m_result; }

private:
    std::atomic<bool> m_result{false};
    std::atomic<bool> m_done{false};
    std::thread m_thread;
};

// A socket file that nobody listens on, as an instance that was killed leaves it.
bool leaveSocketBehind(const QString &path)
{
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const QByteArray name = QFile::encodeName(path);
    std::memcpy(address.sun_path, name.constData(), name.size());
    const bool bound = ::bind(fd, reinterpret_cast<sockaddr *>(&address), sizeof address) == 0;
    ::close(fd);
    return bound;
}

// Writes a request to the socket as user `uid` from a child process, then waits until the
// other end closes. The child's exit status: 0 once closed, 2 when it could not connect.
pid_t requestAsUser(const QString &path, uid_t uid)
{
    const QByteArray name = QFile::encodeName(path);
    const QByteArray request = InstanceRequest::encode({});
    const pid_t pid = ::fork();
    if (pid != 0)
        return pid;
    if (::setgroups(0, nullptr) != 0 || ::setgid(uid) != 0 || ::setuid(uid) != 0)
        ::_exit(3);
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path, name.constData(), name.size());
    if (::connect(fd, reinterpret_cast<sockaddr *>(&address), sizeof address) != 0)
        ::_exit(2);
    if (::write(fd, request.constData(), request.size()) < 0)
        ::_exit(0);
    char byte;
    while (::read(fd, &byte, 1) > 0) {
    }
    ::_exit(0);
}

} // namespace

class LaunchTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void apksOnTheCommandLine_data();
    void apksOnTheCommandLine();
    void requestKeepsEveryName_data();
    void requestKeepsEveryName();
    void strangeLinesAreNoRequest_data();
    void strangeLinesAreNoRequest();

    void socketIsInThePrivateRuntimeFolder();
    void handOverCarriesTheApks();
    void listenNeverTakesALiveInstancesSocket();
    void listenReplacesASocketLeftBehind();
    void requestsOfAnotherUserAreRefused();

    void openedApksWithoutAPhoneAreRefusedInTheWindow();

    void versionIsPrintedWithoutADisplay();
    void apkOnTheCommandLineIsInstalled();
    void runningInstanceInstallsTheApksOfALaterStart();
    void runningInstanceKeepsItsChannelBesideATestRun_data();
    void runningInstanceKeepsItsChannelBesideATestRun();

private:
    // A Tessary process with this test's private folders and adb server.
    std::unique_ptr<QProcess> startTessary(const QStringList &arguments,
                                           const QProcessEnvironment &extra = {});
    QProcessEnvironment environment() const;
    QString socketPath() const { return m_runtime->filePath(QStringLiteral("tessary.socket")); }
    void startPhone();

    std::unique_ptr<QTemporaryDir> m_home;
    std::unique_ptr<QTemporaryDir> m_runtime;
    std::unique_ptr<PhoneFixture> m_fixture;
    QString m_serial;
    QList<std::shared_ptr<QProcess>> m_processes;
    QList<SavedVariable> m_saved;
};

void LaunchTest::init()
{
    m_home = std::make_unique<QTemporaryDir>();
    m_runtime = std::make_unique<QTemporaryDir>();
    QVERIFY(m_home->isValid() && m_runtime->isValid());
    QVERIFY(QDir(m_home->path()).mkpath(QStringLiteral("Downloads")));
    m_saved = {SavedVariable("XDG_RUNTIME_DIR"), SavedVariable("HOME"), SavedVariable("TMPDIR")};
    // Whatever this process makes in the temporary folder stays in the test's own.
    qputenv("TMPDIR", QFile::encodeName(m_home->path()));
}

void LaunchTest::cleanup()
{
    for (const std::shared_ptr<QProcess> &process : std::as_const(m_processes)) {
        if (process->state() != QProcess::NotRunning) {
            process->terminate();
            if (!process->waitForFinished(20000)) {
                process->kill();
                process->waitForFinished(5000);
            }
        }
    }
    m_processes.clear();
    m_fixture.reset();
    m_serial.clear();
    for (const SavedVariable &variable : std::as_const(m_saved))
        variable.restore();
    m_runtime.reset();
    m_home.reset();
}

void LaunchTest::startPhone()
{
    m_fixture = std::make_unique<PhoneFixture>();
    QVERIFY2(m_fixture->start(), qPrintable(m_fixture->errorString()));
    m_serial = m_fixture->addPhone();
    QVERIFY2(!m_serial.isEmpty(), qPrintable(m_fixture->errorString()));
}

QProcessEnvironment LaunchTest::environment() const
{
    QProcessEnvironment environment =
        m_fixture ? m_fixture->environment() : QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    environment.insert(QStringLiteral("HOME"), m_home->path());
    environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), m_runtime->path());
    environment.insert(QStringLiteral("TMPDIR"), m_runtime->path());
    environment.remove(QStringLiteral("REOPENTEST"));
    return environment;
}

std::unique_ptr<QProcess> LaunchTest::startTessary(const QStringList &arguments, const QProcessEnvironment &extra)
{
    auto process = std::make_unique<QProcess>();
    QProcessEnvironment environment = this->environment();
    for (const QString &key : extra.keys())
        environment.insert(key, extra.value(key));
    process->setProcessEnvironment(environment);
    process->setWorkingDirectory(m_home->path());
    process->setStandardOutputFile(QProcess::nullDevice());
    process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    // A test that crashes takes its Tessary along.
    process->setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGTERM); });
    process->start(tessaryExecutable(), arguments);
    return process;
}

void LaunchTest::apksOnTheCommandLine_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QStringList>("apks");
    QTest::newRow("no arguments") << QStringList{"tessary"} << QStringList{};
    QTest::newRow("relative and absolute, in order")
        << QStringList{"tessary", "b.apk", "/data/a.apk", "sub/../c.apk"}
        << QStringList{"/home/me/b.apk", "/data/a.apk", "/home/me/c.apk"};
    QTest::newRow("any case") << QStringList{"tessary", "Game.APK"} << QStringList{"/home/me/Game.APK"};
    QTest::newRow("file URL") << QStringList{"tessary", "file:///tmp/My%20App.apk"} << QStringList{"/tmp/My App.apk"};
    QTest::newRow("other files and options are not installed")
        << QStringList{"tessary", "--selftest", "photo.jpg", "apk", "notes.apk.txt", "https://x.org/a.apk", "z.apk"}
        << QStringList{"/home/me/z.apk"};
    QTest::newRow("not the program's own name") << QStringList{"/opt/odd.apk"} << QStringList{};
}

void LaunchTest::apksOnTheCommandLine()
{
    QFETCH(QStringList, arguments);
    QFETCH(QStringList, apks);
    QCOMPARE(apksToInstall(arguments, QStringLiteral("/home/me")), apks);
}

void LaunchTest::requestKeepsEveryName_data()
{
    QTest::addColumn<QStringList>("apks");
    QTest::newRow("window only") << QStringList{};
    QTest::newRow("plain") << QStringList{"/home/me/app.apk"};
    QTest::newRow("awkward names")
        << QStringList{"/home/me/My App (1).apk", "/tmp/line\nbreak.apk", "/tmp/100% #1?.apk", "/tmp/Café ünï.apk"};
}

void LaunchTest::requestKeepsEveryName()
{
    QFETCH(QStringList, apks);
    QByteArray line = InstanceRequest::encode(apks);
    QVERIFY(line.endsWith('\n'));
    line.chop(1);
    QVERIFY2(!line.contains('\n'), line.constData());
    QCOMPARE(InstanceRequest::decode(line), std::optional(apks));
}

void LaunchTest::strangeLinesAreNoRequest_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("another word") << QByteArray("hide");
    QTest::newRow("word run on") << QByteArray("showme");
    QTest::newRow("relative path") << QByteArray("show app.apk");
    QTest::newRow("not a file") << QByteArray("show https://example.org/app.apk");
    QTest::newRow("empty item") << QByteArray("show ");
}

void LaunchTest::strangeLinesAreNoRequest()
{
    QFETCH(QByteArray, line);
    QCOMPARE(InstanceRequest::decode(line), std::nullopt);
}

void LaunchTest::socketIsInThePrivateRuntimeFolder()
{
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(m_runtime->path()));
    QCOMPARE(SingleInstance::defaultPath(), socketPath());

    // A runtime folder others can enter is not used; the private temporary folder is.
    QVERIFY(QFile::setPermissions(m_runtime->path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner
                                                         | QFile::ReadOther | QFile::ExeOther));
    QCOMPARE(SingleInstance::defaultPath(),
             QDir::tempPath() + QStringLiteral("/tessary-private-%1/tessary.socket").arg(::geteuid()));
}

void LaunchTest::handOverCarriesTheApks()
{
    SingleInstance running(socketPath());
    QVERIFY(running.listen());
    QSignalSpy shown(&running, &SingleInstance::activationRequested);
    QSignalSpy installs(&running, &SingleInstance::installRequested);
    const QStringList apks{"/home/me/One.apk", "/home/me/two words.apk"};
    {
        HandOver later(socketPath(), apks);
        QTRY_VERIFY_WITH_TIMEOUT(later.done(), kWaitMs);
        QVERIFY(later.result());
    }
    QTRY_COMPARE_WITH_TIMEOUT(installs.size(), 1, kWaitMs);
    QCOMPARE(installs.first().first().toStringList(), apks);
    QCOMPARE(shown.size(), 1);

    // A plain start only asks for the window.
    {
        HandOver later(socketPath(), {});
        QTRY_VERIFY_WITH_TIMEOUT(later.done(), kWaitMs);
        QVERIFY(later.result());
    }
    QTRY_COMPARE_WITH_TIMEOUT(shown.size(), 2, kWaitMs);
    QCOMPARE(installs.size(), 1);
}

void LaunchTest::listenNeverTakesALiveInstancesSocket()
{
    SingleInstance running(socketPath());
    QVERIFY(running.listen());
    SingleInstance second(socketPath());
    QVERIFY(!second.listen());

    QSignalSpy shown(&running, &SingleInstance::activationRequested);
    QSignalSpy stolen(&second, &SingleInstance::activationRequested);
    {
        HandOver later(socketPath(), {});
        QTRY_VERIFY_WITH_TIMEOUT(later.done(), kWaitMs);
        QVERIFY(later.result());
    }
    QTRY_COMPARE_WITH_TIMEOUT(shown.size(), 1, kWaitMs);
    QCOMPARE(stolen.size(), 0);
}

void LaunchTest::listenReplacesASocketLeftBehind()
{
    QVERIFY(leaveSocketBehind(socketPath()));
    QVERIFY(!answers(socketPath()));
    SingleInstance fresh(socketPath());
    QVERIFY(fresh.listen());
    QSignalSpy shown(&fresh, &SingleInstance::activationRequested);
    {
        HandOver later(socketPath(), {});
        QTRY_VERIFY_WITH_TIMEOUT(later.done(), kWaitMs);
        QVERIFY(later.result());
    }
    QTRY_COMPARE_WITH_TIMEOUT(shown.size(), 1, kWaitMs);
}

void LaunchTest::requestsOfAnotherUserAreRefused()
{
    if (::geteuid() != 0)
        QSKIP("a request from another user needs root to switch users");
    // The socket is made reachable for everyone here, so that only the peer check stands: in
    // a folder of /tmp itself (the test's own temporary folder is closed to other users).
    QTemporaryDir open(QStringLiteral("/tmp/tst_launch-peer-XXXXXX"));
    QVERIFY(open.isValid());
    const QString path = open.filePath(QStringLiteral("tessary.socket"));
    SingleInstance running(path);
    QVERIFY(running.listen());
    QVERIFY(::chmod(QFile::encodeName(open.path()).constData(), 0755) == 0);
    QVERIFY(::chmod(QFile::encodeName(path).constData(), 0777) == 0);
    QSignalSpy shown(&running, &SingleInstance::activationRequested);

    const pid_t child = requestAsUser(path, 65534);
    QVERIFY(child > 0);
    int status = -1;
    bool exited = false;
    QTRY_VERIFY_WITH_TIMEOUT(exited || (exited = ::waitpid(child, &status, WNOHANG) == child), kWaitMs);
    QVERIFY(WIFEXITED(status));
    QCOMPARE(WEXITSTATUS(status), 0);
    QCOMPARE(shown.size(), 0);

    // The same request from this user is taken.
    {
        HandOver later(path, {});
        QTRY_VERIFY_WITH_TIMEOUT(later.done(), kWaitMs);
        QVERIFY(later.result());
    }
    QTRY_COMPARE_WITH_TIMEOUT(shown.size(), 1, kWaitMs);
}

void LaunchTest::openedApksWithoutAPhoneAreRefusedInTheWindow()
{
    qputenv("HOME", QFile::encodeName(m_home->path()));
    m_fixture = std::make_unique<PhoneFixture>();
    QVERIFY2(m_fixture->start(), qPrintable(m_fixture->errorString()));
    ADB::shared().setCandidatesForTesting({m_fixture->adbPath()});
    const QString apk = m_home->filePath(QStringLiteral("app.apk"));
    writeFile(apk, apkBytes(QStringLiteral("no phone")));

    AppModel model;
    MainWindow window(&model);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    installOpenedApks(&model, {apk});
    QTRY_VERIFY_WITH_TIMEOUT(window.prompts()->messageAlert(), kWaitMs);
    QCOMPARE(window.prompts()->messageAlert()->informativeText(),
             QStringLiteral("Connect and authorize an Android device first."));
    QVERIFY(model.transfers().isEmpty());
}

void LaunchTest::versionIsPrintedWithoutADisplay()
{
    QProcess process;
    QProcessEnvironment environment = this->environment();
    environment.remove(QStringLiteral("DISPLAY"));
    environment.remove(QStringLiteral("WAYLAND_DISPLAY"));
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    process.setProcessEnvironment(environment);
    process.start(tessaryExecutable(), {QStringLiteral("--version")});
    QVERIFY(process.waitForFinished(kWaitMs));
    QCOMPARE(process.exitStatus(), QProcess::NormalExit);
    QCOMPARE(process.exitCode(), 0);
    QCOMPARE(process.readAllStandardOutput(), QByteArray("Tessary " TESSARY_VERSION "\n"));
}

void LaunchTest::apkOnTheCommandLineIsInstalled()
{
    startPhone();
    const QByteArray bytes = apkBytes(QStringLiteral("opened at start"));
    writeFile(m_home->filePath(QStringLiteral("Opened App.apk")), bytes);
    // A relative name, as a shell passes it, against the start's working folder.
    m_processes << startTessary({QStringLiteral("Opened App.apk")});
    QTRY_VERIFY_WITH_TIMEOUT(installedPackages(*m_fixture, m_serial).contains(bytes), kWaitMs);
    QCOMPARE(m_processes.first()->state(), QProcess::Running);
}

void LaunchTest::runningInstanceInstallsTheApksOfALaterStart()
{
    startPhone();
    m_processes << startTessary({});
    QTRY_VERIFY_WITH_TIMEOUT(answers(socketPath()), kWaitMs);

    const QByteArray bytes = apkBytes(QStringLiteral("opened later"));
    const QString apk = m_home->filePath(QStringLiteral("later.apk"));
    writeFile(apk, bytes);
    std::shared_ptr<QProcess> later = startTessary({apk});
    m_processes << later;
    QVERIFY(later->waitForFinished(kWaitMs));
    QCOMPARE(later->exitCode(), 0);
    QTRY_VERIFY_WITH_TIMEOUT(installedPackages(*m_fixture, m_serial).contains(bytes), kWaitMs);
    QCOMPARE(m_processes.first()->state(), QProcess::Running);
}

void LaunchTest::runningInstanceKeepsItsChannelBesideATestRun_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("environmentVariable");
    QTest::newRow("progress self-test") << QStringList{"--selftest-progress"} << QString();
    QTest::newRow("reopen test") << QStringList{} << QStringLiteral("REOPENTEST");
}

void LaunchTest::runningInstanceKeepsItsChannelBesideATestRun()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, environmentVariable);
    m_fixture = std::make_unique<PhoneFixture>();
    QVERIFY2(m_fixture->start(), qPrintable(m_fixture->errorString()));
    std::shared_ptr<QProcess> running = startTessary({});
    m_processes << running;
    QTRY_VERIFY_WITH_TIMEOUT(answers(socketPath()), kWaitMs);

    QProcessEnvironment extra;
    if (!environmentVariable.isEmpty())
        extra.insert(environmentVariable, QStringLiteral("1"));
    std::shared_ptr<QProcess> testRun = startTessary(arguments, extra);
    m_processes << testRun;
    QVERIFY(testRun->waitForFinished(kWaitMs));

    // A later start still reaches the running window and leaves.
    std::shared_ptr<QProcess> later = startTessary({});
    m_processes << later;
    QVERIFY2(later->waitForFinished(kWaitMs), "the later start did not reach the running instance");
    QCOMPARE(later->exitCode(), 0);
    QCOMPARE(running->state(), QProcess::Running);
}

QTEST_MAIN(LaunchTest)
#include "tst_launch.moc"
