#include "model/TransferCopy.h"

#include "bridge/ADB.h"
#include "model/LocalInventory.h"
#include "model/LocalSettle.h"
#include "model/StopHandle.h"
#include "model/transfer/CopyCheck.h"
#include "model/transfer/TransferPaths.h"

#include <QCoro/QCoroFuture>
#include <QCoro/QCoroTimer>
#include <QFileInfo>
#include <QtConcurrent/QtConcurrentRun>

#include <chrono>

using namespace std::chrono_literals;

namespace {

QString incompleteText(const QString &name)
{
    return QStringLiteral("The copy of “%1” was incomplete, so the original was kept.").arg(name);
}

QString uncheckedText(const QString &name)
{
    return QStringLiteral("The copy of “%1” could not be checked, so the original was kept.").arg(name);
}

QString unreadableText(const QString &folder, bool onPhone)
{
    return onPhone ? QStringLiteral("Couldn't read the phone folder “%1”.").arg(folder)
                   : QStringLiteral("Couldn't read the folder “%1”.").arg(folder);
}

// The local file-system work runs on the thread pool; these start it outside the
// coroutines, away from g++ 12's mishandling of captured temporaries across a co_await.
QFuture<FileInventory> startLocalInventory(const QString &root)
{
    return QtConcurrent::run([root] { return localInventory(root); });
}

QFuture<std::optional<QString>> startLocalSettle(const QString &temporary, const QString &destination)
{
    return QtConcurrent::run([temporary, destination] { return settleLocal(temporary, destination); });
}

QFuture<void> startLocalDiscard(const QString &temporary)
{
    return QtConcurrent::run([temporary] { discardLocal(temporary); });
}

QCoro::Task<FileInventory> walkLocal(QString root)
{
    QFuture<FileInventory> walk = startLocalInventory(root);
    co_return co_await walk;
}

// Before a copy takes its destination's name. adb copies what it can read of a folder and
// reports success, so a pulled folder is checked for phone folders that could not be read;
// a move goes on only with a copy that holds every file of its source.
QCoro::Task<std::optional<QString>> checkCopy(TransferSpec spec, QString temporary, QString name)
{
    const bool toPhone = spec.kind == TransferJob::Kind::toAndroid;
    if (!spec.deleteSource && (toPhone || !QFileInfo(temporary).isDir()))
        co_return std::nullopt;
    if (!spec.deleteSource) {
        // A pulled folder's copy is only checked for phone folders adb skipped: a walk of
        // the folders alone, which costs the phone far less than listing every file.
        const QStringList unreadable = co_await ADB::shared().unreadableFolders(spec.serial, spec.source);
        co_return unreadable.isEmpty() ? std::nullopt : std::optional<QString>(unreadableText(unreadable.first(), true));
    }
    FileInventory source;
    if (toPhone)
        source = co_await walkLocal(spec.source);
    else
        source = co_await ADB::shared().fileInventory(spec.serial, spec.source);
    if (!source.unreadable.isEmpty())
        co_return unreadableText(source.unreadable.first(), !toPhone);
    if (!source.complete)
        co_return uncheckedText(name);
    FileInventory copy;
    if (toPhone)
        copy = co_await ADB::shared().fileInventory(spec.serial, temporary);
    else
        copy = co_await walkLocal(temporary);
    if (firstDifference(source, copy))
        co_return incompleteText(name);
    co_return std::nullopt;
}

QCoro::Task<std::optional<QString>> settleOnComputer(TransferSpec spec, QString temporary)
{
    const QString destination = destinationPath(spec);
    QFuture<std::optional<QString>> settling = startLocalSettle(temporary, destination);
    const std::optional<QString> reason = co_await settling;
    if (reason)
        co_return QStringLiteral("Couldn't save “%1”: %2.").arg(lastPathComponent(destination), *reason);
    co_return std::nullopt;
}

// After a cancelled push the adb server still hands the phone what the stopped adb had
// already given it, and the phone may even complete the file; the copy is removed once its
// size on the phone has stopped changing.
QCoro::Task<> discardOnPhone(QString serial, QString temporary, bool isFolder, bool afterCancel)
{
    if (afterCancel) {
        qint64 previous = -1;
        for (int round = 0; round < 60; ++round) {
            const qint64 size = co_await ADB::shared().remoteSize(serial, temporary, isFolder);
            if (size == previous)
                break;
            previous = size;
            co_await QCoro::sleepFor(1s);
        }
    }
    const QStringList paths(temporary);
    try {
        co_await ADB::shared().deletePaths(serial, paths);
    } catch (const std::exception &) {
        // A phone that went away keeps a hidden leftover; the destination is untouched.
    }
}

} // namespace

QString cancelledCopyFailure()
{
    return QStringLiteral("Cancelled");
}

QCoro::Task<std::optional<QString>> copyToTemporary(
    TransferSpec spec, QString temporary, CancelTokenPtr token, CopyRun run,
    std::shared_ptr<StopHandle> monitor)
{
    const bool toPhone = spec.kind == TransferJob::Kind::toAndroid;
    const QString destination = destinationPath(spec);
    QStringList args;
    args << QStringLiteral("-s") << spec.serial;
    if (toPhone)
        args << QStringLiteral("push");
    else
        args << QStringLiteral("pull") << QStringLiteral("-a");
    args << spec.source << temporary;
    const ProcessResult result = co_await run(args);
    monitor->stop();

    // adb names the path it wrote; the user knows the destination. A push that could not
    // read part of a local folder says so and still exits with 0.
    const QString output = QString(result.output + result.error).replace(temporary, destination);
    const std::optional<QString> errorLine = ADB::errorLine(output);
    std::optional<QString> failure;
    if (token->isCancelled())
        failure = cancelledCopyFailure();
    else if (result.status != 0)
        failure = ADB::failureLine(output);
    else if (errorLine)
        failure = errorLine;
    else
        failure = co_await checkCopy(spec, temporary, lastPathComponent(destination));
    if (!failure && token->isCancelled())
        failure = cancelledCopyFailure();
    co_return failure;
}

QCoro::Task<std::optional<QString>> copyAndSettleOnComputer(
    TransferSpec spec, QString temporary, CancelTokenPtr token, CopyRun run,
    std::shared_ptr<StopHandle> monitor)
{
    std::optional<QString> failure = co_await copyToTemporary(spec, temporary, token, run, monitor);
    if (!failure)
        failure = co_await settleOnComputer(spec, temporary);
    co_return failure;
}

SettleStep settleStepOf(const TransferSpec &spec, const QString &temporary)
{
    return {temporary, destinationPath(spec), QFileInfo(spec.source).isDir()};
}

QCoro::Task<QList<std::optional<QString>>> settleOnPhone(QString serial, QList<SettleStep> steps)
{
    QList<std::optional<QString>> outcomes;
    while (!steps.isEmpty()) {
        const QList<SettleStep> run = steps.first(settleStepsPerRun(steps));
        steps.remove(0, run.size());
        QString failure;
        try {
            outcomes << co_await ADB::shared().settle(serial, run);
            continue;
        } catch (const ADBError &error) {
            failure = error.message();
        } catch (const ProcessStartError &error) {
            failure = error.message();
        }
        outcomes << QList<std::optional<QString>>(run.size(), failure);
    }
    co_return outcomes;
}

QCoro::Task<> discardCopy(TransferSpec spec, QString temporary, bool afterCancel)
{
    if (spec.kind == TransferJob::Kind::toAndroid) {
        co_await discardOnPhone(spec.serial, temporary, QFileInfo(spec.source).isDir(), afterCancel);
    } else {
        QFuture<void> discarding = startLocalDiscard(temporary);
        co_await discarding;
    }
}
