#include "bridge/ADB.h"

#include "bridge/ChildProcess.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include <QCoro/QCoroSignal>

ADB &ADB::shared()
{
    static ADB instance;
    return instance;
}

QStringList ADB::defaultCandidates()
{
    QStringList candidates;
    // The copy shipped with the application, in its resource folder.
    if (QCoreApplication::instance()) {
        const QDir resources(QCoreApplication::applicationDirPath() + QStringLiteral("/../share/tessary"));
        if (resources.exists())
            candidates << QDir::cleanPath(resources.absoluteFilePath(QStringLiteral("adb")));
    }
    const QString home = QDir::homePath();
    candidates << QDir::currentPath() + QStringLiteral("/vendor/platform-tools/adb")
               << QStringLiteral("/opt/homebrew/bin/adb")
               << QStringLiteral("/usr/local/bin/adb")
               << home + QStringLiteral("/Library/Android/sdk/platform-tools/adb")
               << QStringLiteral("/usr/bin/adb")
               << home + QStringLiteral("/Android/Sdk/platform-tools/adb");
    return candidates;
}

void ADB::setCandidatesForTesting(QStringList candidates)
{
    QMutexLocker locker(&m_lookupLock);
    m_candidates = std::move(candidates);
    m_lookedUp = false;
    m_executable.reset();
}

std::optional<QString> ADB::executable()
{
    QMutexLocker locker(&m_lookupLock);
    if (!m_lookedUp) {
        for (const QString &candidate : std::as_const(m_candidates)) {
            const QFileInfo info(candidate);
            if (info.isFile() && info.isExecutable()) {
                m_executable = candidate;
                break;
            }
        }
        m_lookedUp = true;
    }
    return m_executable;
}

QCoro::Task<ProcessResult> ADB::run(QStringList args, CancelTokenPtr token,
                                    std::function<void(const QString &)> onChunk, RunMode mode,
                                    std::function<void(qint64)> onStarted,
                                    std::function<void(QByteArrayView)> onOutput)
{
    const std::optional<QString> program = executable();
    if (!program)
        throw ADBError::notFound();
    // U+FFFD stands for bytes that could not be read as text (a phone or a disk may hold
    // such a name): the argument no longer names the item it was read from and could
    // reach another one.
    for (const QString &arg : std::as_const(args)) {
        if (arg.contains(QChar::ReplacementCharacter))
            throw ADBError::failed(QStringLiteral(
                "The name could not be read exactly (it holds bytes that are not text), so Tessary did not use it."));
    }
    // Deleted through the event loop: the coroutine resumes from one of the child's own
    // queued signal deliveries.
    const std::unique_ptr<ChildProcess, void (*)(ChildProcess *)> child(
        new ChildProcess(*program, std::move(args), std::move(token), std::move(onChunk), mode,
                         std::move(onStarted), std::move(onOutput)),
        [](ChildProcess *c) { c->deleteLater(); });
    child->start();
    if (!child->isDone())
        co_await qCoro(child.get(), &ChildProcess::done);
    if (const std::optional<QString> failure = child->startError())
        throw ProcessStartError(*failure);
    co_return child->result();
}

QCoro::Task<ProcessResult> ADB::shell(QString serial, QString command,
                                      std::function<void(QByteArrayView)> onOutput)
{
    // Built apart from the co_await: g++ 12 miscompiles braced lists inside it.
    const QStringList args{QStringLiteral("-s"), serial, QStringLiteral("shell"), command};
    co_return co_await run(args, {}, {}, RunMode::Pipes, {}, std::move(onOutput));
}
