#pragma once

#include "bridge/ADBError.h"
#include "bridge/AndroidDevice.h"
#include "bridge/CancelToken.h"
#include "bridge/FileEntry.h"
#include "bridge/FileInventory.h"
#include "bridge/PhoneInfo.h"
#include "bridge/ProcessResult.h"
#include "bridge/ProcessStartError.h"
#include "bridge/RunMode.h"
#include "bridge/SettleCommand.h"
#include "bridge/StorageVolume.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QMutex>
#include <QSet>
#include <QString>
#include <QStringList>

#include <QCoro/QCoroTask>

#include <functional>
#include <optional>

// The device bridge: finds adb once, runs it as a child process, and turns its output
// into records. Every phone operation is one (or a few) runs of adb.
//
// All operations are coroutines meant to be started and awaited on the thread that runs
// the Qt event loop (the main thread); they never block it. Operations the user acts on
// throw ADBError (or ProcessStartError when adb cannot be started); lookups that only
// inform never throw and return an empty value instead.
class ADB
{
public:
    static ADB &shared();

    // The adb executable, looked up once (thread-safe) over the fixed candidate list;
    // the answer, found or not, stays for the life of the process.
    std::optional<QString> executable();
    // Tests only: replaces the candidate list and forgets a previous lookup.
    void setCandidatesForTesting(QStringList candidates);
    // The fixed candidate list, in search order.
    static QStringList defaultCandidates();

    // Runs adb once with `args` as its argument vector. Throws ADBError::notFound() when
    // there is no adb, ADBError::failed when an argument holds U+FFFD (a name that could
    // not be read back) and ProcessStartError when it cannot be started; a non-zero status
    // is returned, not thrown. `onChunk` gets the text of every read (in terminal mode,
    // of the reads that arrived together) that is valid UTF-8 on its own (called on the
    // main thread). A cancelled token ends the child with
    // SIGTERM; the result then carries 15 as status. `onStarted` gets the child's process id
    // as soon as it runs (on the main thread); the id names the child until it has exited,
    // and run returns one event-loop turn after that. `onOutput` gets standard output's
    // bytes as they arrive (on the main thread); the result still holds them all.
    QCoro::Task<ProcessResult> run(QStringList args, CancelTokenPtr token = {},
                                   std::function<void(const QString &)> onChunk = {},
                                   RunMode mode = RunMode::Pipes,
                                   std::function<void(qint64 pid)> onStarted = {},
                                   std::function<void(QByteArrayView)> onOutput = {});

    // The line of a failed run's output worth showing: the last non-blank line that is
    // not a "[ nn%]" progress line; "Transfer failed" when there is none.
    static QString lastMeaningfulLine(const QString &text);
    // The last line that reports an error ("adb: error: …", "error: …", "failed to …",
    // "adb: failed to …"), if any.
    static std::optional<QString> errorLine(const QString &text);
    // The reason of a failed push or pull: its error line, else the last meaningful line.
    static QString failureLine(const QString &text);

    // Devices and wireless connection. All three throw when adb is missing or cannot be
    // started; pair also throws, in plain words, when this adb is too old to pair.
    QCoro::Task<QList<AndroidDevice>> listDevices();
    QCoro::Task<QString> connect(QString address);
    QCoro::Task<QString> pair(QString address, QString code);

    // Remote file operations (throwing).
    QCoro::Task<QList<FileEntry>> list(QString serial, QString path, bool showHidden);
    // `mkdir -p`: parents are made too, and an existing folder is fine.
    QCoro::Task<> makeDirectory(QString serial, QString path);
    // One new folder in an existing one; refused ("Couldn't create “name”: File exists.")
    // when something already has that name.
    QCoro::Task<> createFolder(QString serial, QString path);
    QCoro::Task<> deletePaths(QString serial, QStringList paths);
    // Renames or moves to the full path `to`; refused ("Couldn't rename “name”: File
    // exists.") when something already has that path, so nothing is replaced and nothing is
    // moved into an existing folder.
    QCoro::Task<> rename(QString serial, QString from, QString to);
    // Gives finished copies their destinations' names in one shell run (settleCommand's
    // rule), in order; for each step absent when it succeeded, else why it did not. The
    // steps are to fit one run (settleStepsPerRun).
    QCoro::Task<QList<std::optional<QString>>> settle(QString serial, QList<SettleStep> steps);

    // Remote lookups (never throwing).
    QCoro::Task<QSet<QString>> existingNames(QString serial, QString dir);
    // Every file (not folder) below `root`, depth-first, hidden entries left out. A
    // folder reached again through a symbolic link is walked only once.
    QCoro::Task<QList<FileEntry>> allFiles(QString serial, QString root);
    // Size in bytes (a folder's du total × 1024); 0 when it cannot be measured.
    QCoro::Task<qint64> remoteSize(QString serial, QString path, bool isDirectory);
    QCoro::Task<bool> remoteIsDirectory(QString serial, QString path);
    // Every regular file below `root` with its byte size, from one walk; not complete when
    // the walk could not run or finish.
    QCoro::Task<FileInventory> fileInventory(QString serial, QString root);
    // The folders below `root` that the phone cannot read, from one walk of its folders
    // alone (no file is listed); empty as well when the walk could not run.
    QCoro::Task<QStringList> unreadableFolders(QString serial, QString root);

    // Storage volumes, internal storage first; never throws, never empty.
    QCoro::Task<QList<StorageVolume>> storageVolumes(QString serial);

    // Phone tools.
    QCoro::Task<PhoneInfo> phoneInfo(QString serial); // never throws
    QCoro::Task<QByteArray> screenshot(QString serial);
    // Installs (replacing) an APK; returns adb's text on success. Throws "Cancelled"
    // when the token was cancelled, else the failure line adb printed.
    QCoro::Task<QString> install(QString serial, QString apkPath, CancelTokenPtr token = {});

private:
    ADB() = default;

    // Runs "-s serial shell command"; `onOutput` as for run.
    QCoro::Task<ProcessResult> shell(QString serial, QString command,
                                     std::function<void(QByteArrayView)> onOutput = {});

    QMutex m_lookupLock;
    QStringList m_candidates = defaultCandidates();
    bool m_lookedUp = false;
    std::optional<QString> m_executable;
};
