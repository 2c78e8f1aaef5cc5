#include "PhoneFixture.h"

#include "Patience.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>

#include <csignal>
#include <sys/mount.h>
#include <sys/prctl.h>
#include <unistd.h>

#ifndef TESSARY_PHONE_EMULATOR
#error "TESSARY_PHONE_EMULATOR must name the phone-emulator executable"
#endif

struct PhoneFixture::Phone {
    PhoneOptions options;
    QString root;
    quint16 port = 0;
    QProcess *process = nullptr;
};

namespace {

constexpr int StartTimeoutMs = 20000;

bool isScannedByAdb(int port)
{
    return port >= 5555 && port <= 5585;
}

// A test that crashes takes its server and phones along instead of leaving them running
// (holding its output open).
void endWithParent(QProcess &process)
{
    process.setChildProcessModifier([] { prctl(PR_SET_PDEATHSIG, SIGTERM); });
}

bool isListening(int port)
{
    QTcpSocket probe;
    probe.connectToHost(QHostAddress::LocalHost, quint16(port));
    return probe.waitForConnected(1000);
}

// adb clients that this process started and that are still running (zombies have ended).
int runningAdbClients()
{
    int count = 0;
    const QString parent = QString::number(getpid());
    for (const QString &pid : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
        QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
        if (!stat.open(QIODevice::ReadOnly))
            continue;
        // "pid (comm) state ppid ...": the name may hold spaces, so split after its ')'.
        const QString line = QString::fromUtf8(stat.readAll());
        const qsizetype close = line.lastIndexOf(QLatin1Char(')'));
        const qsizetype open = line.indexOf(QLatin1Char('('));
        if (open < 0 || close < open)
            continue;
        const QStringList rest = line.mid(close + 2).split(QLatin1Char(' '));
        if (line.mid(open + 1, close - open - 1) == QLatin1String("adb") && rest.size() > 1
            && rest.at(0) != QLatin1String("Z") && rest.at(1) == parent)
            ++count;
    }
    return count;
}

void waitForAdbClientsToEnd()
{
    QDeadlineTimer deadline(StartTimeoutMs);
    while (runningAdbClients() > 0 && !deadline.hasExpired())
        QTest::qWait(50);
}

int freePort()
{
    for (int attempt = 0; attempt < 20; ++attempt) {
        QTcpServer probe;
        if (probe.listen(QHostAddress::LocalHost, 0) && !isScannedByAdb(probe.serverPort())
            && probe.serverPort() != 5037)
            return probe.serverPort();
    }
    return 0;
}

QStringList emulatorArguments(const PhoneOptions &o, const QString &root, quint16 port)
{
    QStringList args{QStringLiteral("--root"), root, QStringLiteral("--port"), QString::number(port),
                     QStringLiteral("--model"), o.model, QStringLiteral("--manufacturer"), o.manufacturer,
                     QStringLiteral("--android-version"), o.androidVersion,
                     QStringLiteral("--battery-level"), QString::number(o.batteryLevel),
                     QStringLiteral("--battery-status"), QString::number(o.batteryStatus),
                     QStringLiteral("--temperature"), QString::number(o.temperatureTenths)};
    for (const QString &card : o.cards)
        args << QStringLiteral("--card") << card;
    if (o.storageMb > 0)
        args << QStringLiteral("--storage-mb") << QString::number(o.storageMb);
    if (o.locked)
        args << QStringLiteral("--locked");
    if (o.rejectAuth)
        args << QStringLiteral("--auth") << QStringLiteral("reject");
    if (o.throttleMBps > 0)
        args << QStringLiteral("--throttle") << QString::number(o.throttleMBps);
    if (o.dropAfterBytes > 0)
        args << QStringLiteral("--drop-after") << QString::number(o.dropAfterBytes);
    for (const QString &path : o.denyPaths)
        args << QStringLiteral("--deny") << path;
    if (o.maxPayload > 0)
        args << QStringLiteral("--max-payload") << QString::number(o.maxPayload);
    return args;
}

}

PhoneFixture::PhoneFixture() : m_dir(QDir::tempPath() + QStringLiteral("/tessary-phones-XXXXXX"))
{
    m_adb = QFileInfo::exists(QStringLiteral("/usr/bin/adb"))
        ? QStringLiteral("/usr/bin/adb")
        : QStandardPaths::findExecutable(QStringLiteral("adb"));
}

PhoneFixture::~PhoneFixture()
{
    if (m_server) {
        adb({QStringLiteral("kill-server")}, 5000);
        if (!m_server->waitForFinished(5000)) {
            m_server->kill();
            m_server->waitForFinished(2000);
        }
        delete m_server;
        // An adb client the app started just before (a poll step still under way) finds no
        // server and starts one of its own on the port: let such clients end, then stop
        // whatever they started.
        waitForAdbClientsToEnd();
        if (isListening(m_serverPort))
            adb({QStringLiteral("kill-server")}, 5000);
    }
    for (const auto &phone : std::as_const(m_phones))
        terminate(*phone);
    if (m_portReplaced) {
        if (m_hadPreviousPort)
            qputenv("ANDROID_ADB_SERVER_PORT", m_previousPort);
        else
            qunsetenv("ANDROID_ADB_SERVER_PORT");
    }
}

bool PhoneFixture::isSupported(QString *reason)
{
    // The emulator itself tells whether its sandbox works here (as root, or as an ordinary user
    // in a user namespace) and whether toybox and mksh are installed.
    static const QString emulatorMissing = [] {
        QProcess check;
        check.start(QStringLiteral(TESSARY_PHONE_EMULATOR), {QStringLiteral("--check")});
        if (!check.waitForFinished(StartTimeoutMs))
            return QStringLiteral("the phone emulator did not answer --check: %1").arg(check.errorString());
        if (check.exitStatus() == QProcess::NormalExit && check.exitCode() == 0)
            return QString();
        return QString::fromLocal8Bit(check.readAllStandardError()).trimmed();
    }();
    QString missing;
    if (!QFileInfo::exists(QStringLiteral("/usr/bin/adb")) && QStandardPaths::findExecutable(QStringLiteral("adb")).isEmpty())
        missing = QStringLiteral("adb was not found");
    else
        missing = emulatorMissing;
    if (reason)
        *reason = missing;
    return missing.isEmpty();
}

QString PhoneFixture::adbPath() const
{
    return m_adb;
}

QProcessEnvironment PhoneFixture::environment() const
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("ANDROID_ADB_SERVER_PORT"), QString::number(m_serverPort));
    return env;
}

bool PhoneFixture::start()
{
    if (m_started)
        return true;
    if (!isSupported(&m_error))
        return false;
    if (!m_dir.isValid()) {
        m_error = QStringLiteral("cannot create a temporary folder");
        return false;
    }
    if (!m_portReplaced) {
        m_hadPreviousPort = qEnvironmentVariableIsSet("ANDROID_ADB_SERVER_PORT");
        m_previousPort = qgetenv("ANDROID_ADB_SERVER_PORT");
        m_portReplaced = true;
    }
    // The port is free when probed but may be taken before the server binds it: try again then.
    for (int attempt = 0; attempt < 3 && !m_started; ++attempt)
        m_started = startServer();
    return m_started;
}

bool PhoneFixture::startServer()
{
    delete m_server;
    m_server = nullptr;
    m_serverPort = freePort();
    if (m_serverPort == 0) {
        m_error = QStringLiteral("no free port for the adb server");
        return false;
    }
    qputenv("ANDROID_ADB_SERVER_PORT", QByteArray::number(m_serverPort));

    // The server gets a home of its own: its key and log stay out of the user's ~/.android.
    const QString home = m_dir.filePath(QStringLiteral("adb-home"));
    QDir().mkpath(home);
    QProcessEnvironment env = environment();
    env.insert(QStringLiteral("HOME"), home);
    // Only the emulated phones: a phone on this computer's USB ports stays with the user's
    // own server.
    env.insert(QStringLiteral("ADB_USB"), QStringLiteral("0"));
    env.insert(QStringLiteral("ADB_MDNS"), QStringLiteral("0"));
    m_server = new QProcess;
    endWithParent(*m_server);
    m_server->setProcessEnvironment(env);
    m_server->setStandardOutputFile(m_dir.filePath(QStringLiteral("adb-server.log")), QIODevice::Append);
    m_server->setStandardErrorFile(m_dir.filePath(QStringLiteral("adb-server.log")), QIODevice::Append);
    m_server->start(m_adb, {QStringLiteral("nodaemon"), QStringLiteral("server")});
    if (!m_server->waitForStarted(5000)) {
        m_error = QStringLiteral("cannot start the adb server: %1").arg(m_server->errorString());
        return false;
    }
    QDeadlineTimer deadline(StartTimeoutMs);
    while (!deadline.hasExpired() && m_server->state() != QProcess::NotRunning) {
        QTcpSocket probe;
        probe.connectToHost(QHostAddress::LocalHost, quint16(m_serverPort));
        if (probe.waitForConnected(1000))
            return true;
        QTest::qWait(50);
    }
    m_error = QStringLiteral("the adb server did not come up on port %1 (see %2)")
                  .arg(m_serverPort).arg(m_dir.filePath(QStringLiteral("adb-server.log")));
    if (m_server->state() != QProcess::NotRunning) {
        m_server->kill();
        m_server->waitForFinished(2000);
    }
    return false;
}

bool PhoneFixture::launch(Phone &phone)
{
    delete phone.process;
    phone.process = new QProcess;
    endWithParent(*phone.process);
    phone.process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    phone.process->start(QStringLiteral(TESSARY_PHONE_EMULATOR), emulatorArguments(phone.options, phone.root, phone.port));
    QDeadlineTimer deadline(StartTimeoutMs);
    QByteArray line;
    while (!line.contains('\n') && !deadline.hasExpired() && phone.process->state() != QProcess::NotRunning) {
        phone.process->waitForReadyRead(100);
        line += phone.process->readAllStandardOutput();
    }
    const qsizetype colon = line.lastIndexOf(':');
    const int port = colon < 0 ? 0 : line.mid(colon + 1).trimmed().toInt();
    if (!line.startsWith("phone-emulator listening on") || port <= 0) {
        m_error = QStringLiteral("the phone emulator did not start (%1)").arg(QString::fromUtf8(line.trimmed()));
        return false;
    }
    phone.port = quint16(port);
    return true;
}

QString PhoneFixture::addPhone(const PhoneOptions &options)
{
    if (!start())
        return {};
    auto phone = std::make_shared<Phone>();
    phone->options = options;
    phone->root = m_dir.filePath(QStringLiteral("phone-%1").arg(m_phones.size() + 1));
    QDir().mkpath(phone->root);
    if (!launch(*phone)) {
        terminate(*phone);
        return {};
    }
    const QString serial = QStringLiteral("127.0.0.1:%1").arg(phone->port);
    m_phones.insert(serial, phone);
    if (!connectPhone(serial, options.rejectAuth))
        return {};
    return serial;
}

bool PhoneFixture::connectPhone(const QString &serial, bool rejectsAuth)
{
    // A connect the server could not complete (the phone's port was still closing, the
    // server still tearing down the old connection) is asked for again until the phone shows.
    const QString state = rejectsAuth ? QStringLiteral("unauthorized") : QStringLiteral("device");
    QDeadlineTimer deadline(kPatienceMs);
    AdbRun connect;
    while (!deadline.hasExpired()) {
        connect = adb({QStringLiteral("connect"), serial});
        if (waitForState(serial, state, 5000))
            return true;
    }
    m_error = QStringLiteral("%1 did not show as \"%2\" (adb connect: %3; adb devices: %4)")
                  .arg(serial, state, connect.output.trimmed(),
                       adb({QStringLiteral("devices")}).output.simplified());
    return false;
}

bool PhoneFixture::waitForState(const QString &serial, const QString &state, int timeoutMs)
{
    QDeadlineTimer deadline(timeoutMs);
    while (!deadline.hasExpired()) {
        const AdbRun run = adb({QStringLiteral("devices")}, 5000);
        for (const QString &line : run.output.split(QLatin1Char('\n'))) {
            const QStringList fields = line.simplified().split(QLatin1Char(' '));
            if (fields.size() >= 2 && fields[0] == serial && fields[1] == state)
                return true;
        }
        QTest::qWait(50);
    }
    return false;
}

QString PhoneFixture::rootOf(const QString &serial) const
{
    const auto phone = m_phones.value(serial);
    return phone ? phone->root : QString();
}

QString PhoneFixture::hostPath(const QString &serial, const QString &phonePath) const
{
    QString path = QDir::cleanPath(QLatin1Char('/') + phonePath);
    for (const QString &alias : {QStringLiteral("/sdcard"), QStringLiteral("/storage/self/primary")}) {
        if (path == alias || path.startsWith(alias + QLatin1Char('/'))) {
            path = QStringLiteral("/storage/emulated/0") + path.mid(alias.size());
            break;
        }
    }
    const auto phone = m_phones.value(serial);
    if (!phone)
        return path;
    // A capped storage that a phone mounted in a namespace of its own is seen through its
    // process's view of the file system.
    const QString internal = QStringLiteral("/storage/emulated/0");
    if (phone->options.storageMb > 0 && (path == internal || path.startsWith(internal + QLatin1Char('/')))) {
        if (const QString view = privateView(*phone); !view.isEmpty())
            return view + phone->root + path;
    }
    return phone->root + path;
}

QString PhoneFixture::privateView(const Phone &phone)
{
    if (!phone.process || phone.process->state() != QProcess::Running)
        return {};
    const QString proc = QStringLiteral("/proc/%1").arg(phone.process->processId());
    const QString own = QFile::symLinkTarget(QStringLiteral("/proc/self/ns/mnt"));
    const QString phones = QFile::symLinkTarget(proc + QStringLiteral("/ns/mnt"));
    return !phones.isEmpty() && phones != own ? proc + QStringLiteral("/root") : QString();
}

void PhoneFixture::terminate(Phone &phone)
{
    if (!phone.process)
        return;
    if (phone.process->state() != QProcess::NotRunning) {
        // A paused phone acts on the terminate request only once it runs again.
        ::kill(pid_t(phone.process->processId()), SIGCONT);
        phone.process->terminate();
        if (!phone.process->waitForFinished(5000)) {
            phone.process->kill();
            phone.process->waitForFinished(2000);
            // A killed phone leaves its capped storage mounted.
            if (phone.options.storageMb > 0)
                umount2(QFile::encodeName(phone.root + QStringLiteral("/storage/emulated/0")).constData(), MNT_DETACH);
        }
    }
    delete phone.process;
    phone.process = nullptr;
}

void PhoneFixture::stopPhone(const QString &serial)
{
    if (const auto phone = m_phones.value(serial))
        terminate(*phone);
}

bool PhoneFixture::restartPhone(const QString &serial)
{
    const auto phone = m_phones.value(serial);
    if (!phone)
        return false;
    terminate(*phone);
    if (!launch(*phone))
        return false;
    // Reconnecting at once instead of waiting for the server's own retry (up to 10 s).
    adb({QStringLiteral("disconnect"), serial});
    return connectPhone(serial, phone->options.rejectAuth);
}

void PhoneFixture::pausePhone(const QString &serial)
{
    const auto phone = m_phones.value(serial);
    if (phone && phone->process && phone->process->state() == QProcess::Running)
        ::kill(pid_t(phone->process->processId()), SIGSTOP);
}

void PhoneFixture::resumePhone(const QString &serial)
{
    const auto phone = m_phones.value(serial);
    if (phone && phone->process && phone->process->state() == QProcess::Running)
        ::kill(pid_t(phone->process->processId()), SIGCONT);
}

AdbRun PhoneFixture::adb(const QStringList &arguments, int timeoutMs, const QByteArray &input) const
{
    AdbRun run;
    QProcess process;
    process.setProcessEnvironment(environment());
    process.start(m_adb, arguments);
    if (!process.waitForStarted(5000))
        return run;
    if (!input.isEmpty())
        process.write(input);
    process.closeWriteChannel();
    const bool finished = process.waitForFinished(timeoutMs);
    if (!finished) {
        process.kill();
        process.waitForFinished(2000);
    }
    run.data = process.readAllStandardOutput();
    run.output = QString::fromUtf8(run.data);
    run.error = QString::fromUtf8(process.readAllStandardError());
    if (finished && process.exitStatus() == QProcess::NormalExit)
        run.status = process.exitCode();
    return run;
}
