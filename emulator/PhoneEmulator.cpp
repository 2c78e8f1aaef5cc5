#include "PhoneEmulator.h"

#include "Connection.h"
#include "SystemImage.h"

#include <QDir>
#include <QFile>
#include <QTcpServer>
#include <QTcpSocket>

namespace {

std::string local(const QString &path)
{
    return QFile::encodeName(path).toStdString();
}

bool isScannedByAdb(quint16 port)
{
    return port >= 5555 && port <= 5585;
}

}

PhoneEmulator::PhoneEmulator(const EmulatorOptions &options, QObject *parent)
    : QObject(parent), m_options(options), m_work(QDir::tempPath() + QStringLiteral("/phone-emulator-XXXXXX")),
      m_link(options.throttleMBps, options.dropAfterBytes)
{
}

PhoneEmulator::~PhoneEmulator()
{
    // Connections first: their commands are killed before the storage goes away.
    delete m_server;
    qDeleteAll(findChildren<Connection *>());
}

bool PhoneEmulator::setUp(QString &error)
{
    if (!m_work.isValid()) {
        error = QStringLiteral("cannot create a work folder: %1").arg(m_work.errorString());
        return false;
    }
    const QString root = QDir(m_options.root).absolutePath();
    const QString image = m_work.filePath(QStringLiteral("root"));
    QStringList libraryFolders;
    if (!buildSystemImage(m_options, image, libraryFolders, error))
        return false;

    PhoneFileSystem files(root, image, m_options.cards, m_options.denyPaths);
    for (const QString &folder : files.backedFolders()) {
        if (!QDir().mkpath(root + folder)) {
            error = QStringLiteral("cannot create %1").arg(root + folder);
            return false;
        }
    }
    if (m_options.storageMb > 0) {
        const QString staging = m_work.filePath(QStringLiteral("staging"));
        QDir().mkpath(staging);
        if (!m_capped.mount(root + QLatin1String(PhoneFileSystem::Internal), m_options.storageMb, staging, error))
            return false;
    }

    // The folders every phone's shared storage starts with.
    for (const QString &folder : {QStringLiteral("Alarms"), QStringLiteral("DCIM"), QStringLiteral("Documents"),
                                  QStringLiteral("Download"), QStringLiteral("Movies"), QStringLiteral("Music"),
                                  QStringLiteral("Notifications"), QStringLiteral("Pictures"),
                                  QStringLiteral("Podcasts"), QStringLiteral("Ringtones")})
        QDir().mkpath(root + QLatin1String(PhoneFileSystem::Internal) + QLatin1Char('/') + folder);

    SandboxPlan plan;
    plan.root = local(image);
    // What the phone shares with this computer is read-only: a stray `rm -rf /` in the phone's
    // shell ends at its own storage.
    plan.binds.push_back({"/dev", local(image + QStringLiteral("/dev")), true, true});
    for (const QString &folder : libraryFolders)
        plan.binds.push_back({local(folder), local(image + folder), true, true});
    // toybox's df names the last mount of a device: the internal storage goes last.
    const QStringList storage = files.backedFolders();
    for (auto folder = storage.crbegin(); folder != storage.crend(); ++folder)
        plan.binds.push_back({local(root + *folder), local(image + *folder), true});
    // Read-only as well: the phone's own files there cannot be removed, whoever runs the phone
    // ("Read-only file system" alike for root and for a user namespace).
    plan.binds.push_back({"/proc", local(image + QStringLiteral("/proc")), true, true});
    for (const QString &denied : files.deniedFolders())
        plan.deniedTargets.push_back(local(image + denied));
    const QString deniedFolder = m_work.filePath(QStringLiteral("denied"));
    const QString deniedFile = m_work.filePath(QStringLiteral("denied-file"));
    QDir().mkpath(deniedFolder);
    QFile(deniedFolder).setPermissions({});
    QFile file(deniedFile);
    file.open(QIODevice::WriteOnly);
    file.close();
    file.setPermissions({});
    plan.deniedFolder = local(deniedFolder);
    plan.deniedFile = local(deniedFile);

    m_context = std::make_unique<EmulatorContext>(EmulatorContext{
        m_options, files, plan,
        {"PATH=/system/bin", "HOME=/", "SHELL=/system/bin/sh", "HOSTNAME=emu", "ANDROID_ROOT=/system",
         "ANDROID_DATA=/data", "ANDROID_STORAGE=/storage", "EXTERNAL_STORAGE=/sdcard", "TMPDIR=/data/local/tmp",
         "LANG=C.UTF-8", "ENV=/system/etc/mkshrc"},
        &m_link});
    return true;
}

quint16 PhoneEmulator::listen(QString &error)
{
    m_server = new QTcpServer(this);
    connect(m_server, &QTcpServer::newConnection, this, &PhoneEmulator::accept);
    // A free port from the kernel can fall into adb's emulator range only by chance; try again.
    for (int attempt = 0; attempt < 20; ++attempt) {
        if (!m_server->listen(QHostAddress::LocalHost, m_options.port)) {
            error = m_server->errorString();
            return 0;
        }
        if (!isScannedByAdb(m_server->serverPort()))
            return m_server->serverPort();
        m_server->close();
    }
    error = QStringLiteral("no free port outside 5555-5585");
    return 0;
}

void PhoneEmulator::accept()
{
    while (QTcpSocket *socket = m_server->nextPendingConnection()) {
        socket->setSocketOption(QAbstractSocket::LowDelayOption, 1);
        auto *connection = new Connection(socket, *m_context, this);
        connect(connection, &Connection::closed, connection, &QObject::deleteLater);
    }
}
