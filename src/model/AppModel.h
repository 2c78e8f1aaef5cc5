#pragma once

#include "bridge/AndroidDevice.h"
#include "bridge/CancelToken.h"
#include "bridge/FileEntry.h"
#include "bridge/PhoneInfo.h"
#include "bridge/ProcessResult.h"
#include "bridge/StorageVolume.h"
#include "drives/DriveInfo.h"
#include "model/transfer/BackupPlan.h"
#include "model/transfer/ConflictPrompt.h"
#include "model/transfer/CopyProgressOptions.h"
#include "model/transfer/DroppedPaths.h"
#include "model/transfer/MoveRequest.h"
#include "model/transfer/TransferGauge.h"
#include "model/transfer/TransferJob.h"

#include <QHash>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QProcess>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QUuid>

#include <QCoro/QCoroTask>

#include <functional>
#include <memory>
#include <optional>

class QMimeData;
class StopHandle;

// The one observable object behind the main window. It lives on the main thread: every
// property is read and written there and every operation starts there; asynchronous
// operations are coroutines on the main thread that suspend while adb or a background
// scan works. Local folders are given as absolute file-system paths.
class AppModel : public QObject
{
    Q_OBJECT
    Q_PROPERTY(bool adbMissing READ adbMissing WRITE setAdbMissing NOTIFY adbMissingChanged)
    Q_PROPERTY(QList<AndroidDevice> devices READ devices WRITE setDevices NOTIFY devicesChanged)
    Q_PROPERTY(std::optional<QString> selectedSerial READ selectedSerial WRITE setSelectedSerial NOTIFY selectedSerialChanged)
    Q_PROPERTY(QString macPath READ macPath WRITE setMacPath NOTIFY macPathChanged)
    Q_PROPERTY(QList<FileEntry> macItems READ macItems WRITE setMacItems NOTIFY macItemsChanged)
    Q_PROPERTY(QSet<QString> macSelection READ macSelection WRITE setMacSelection NOTIFY macSelectionChanged)
    Q_PROPERTY(std::optional<QString> macError READ macError WRITE setMacError NOTIFY macErrorChanged)
    Q_PROPERTY(QString androidPath READ androidPath WRITE setAndroidPath NOTIFY androidPathChanged)
    Q_PROPERTY(QList<StorageVolume> storages READ storages WRITE setStorages NOTIFY storagesChanged)
    Q_PROPERTY(QList<FileEntry> androidItems READ androidItems WRITE setAndroidItems NOTIFY androidItemsChanged)
    Q_PROPERTY(QSet<QString> androidSelection READ androidSelection WRITE setAndroidSelection NOTIFY androidSelectionChanged)
    Q_PROPERTY(std::optional<QString> androidError READ androidError WRITE setAndroidError NOTIFY androidErrorChanged)
    Q_PROPERTY(bool androidLoading READ androidLoading WRITE setAndroidLoading NOTIFY androidLoadingChanged)
    Q_PROPERTY(bool showHidden READ showHidden WRITE setShowHidden NOTIFY showHiddenChanged)
    Q_PROPERTY(QList<TransferJob> transfers READ transfers WRITE setTransfers NOTIFY transfersChanged)
    Q_PROPERTY(std::optional<QString> message READ message WRITE setMessage NOTIFY messageChanged)
    Q_PROPERTY(QList<DriveInfo> drives READ drives WRITE setDrives NOTIFY drivesChanged)
    Q_PROPERTY(std::optional<PhoneInfo> phoneInfo READ phoneInfo WRITE setPhoneInfo NOTIFY phoneInfoChanged)
    Q_PROPERTY(std::optional<ConflictPrompt> conflict READ conflict WRITE setConflict NOTIFY conflictChanged)
    Q_PROPERTY(std::optional<MoveRequest> moveRequest READ moveRequest WRITE setMoveRequest NOTIFY moveRequestChanged)
    Q_PROPERTY(std::optional<BackupPlan> backupPlan READ backupPlan WRITE setBackupPlan NOTIFY backupPlanChanged)
    Q_PROPERTY(bool scanningBackup READ scanningBackup WRITE setScanningBackup NOTIFY scanningBackupChanged)

public:
    // The internal shared storage of every phone, the phone pane's home.
    static inline const QString internalStorage = QStringLiteral("/storage/emulated/0");

    // Builds the model and starts it: adb lookup, removal of the old drag folder, the
    // Downloads listing, the first drive scan, mount watching and the device poll.
    explicit AppModel(QObject *parent = nullptr);
    ~AppModel() override;

    // Published state.
    bool adbMissing() const { return m_adbMissing; }
    void setAdbMissing(bool value);
    QList<AndroidDevice> devices() const { return m_devices; }
    void setDevices(const QList<AndroidDevice> &value);
    std::optional<QString> selectedSerial() const { return m_selectedSerial; }
    // Runs the selection observer: a different serial resets the phone pane and reloads it.
    void setSelectedSerial(const std::optional<QString> &value);
    QString macPath() const { return m_macPath; }
    void setMacPath(const QString &value);
    QList<FileEntry> macItems() const { return m_macItems; }
    void setMacItems(const QList<FileEntry> &value);
    QSet<QString> macSelection() const { return m_macSelection; }
    void setMacSelection(const QSet<QString> &value);
    std::optional<QString> macError() const { return m_macError; }
    void setMacError(const std::optional<QString> &value);
    QString androidPath() const { return m_androidPath; }
    void setAndroidPath(const QString &value);
    QList<StorageVolume> storages() const { return m_storages; }
    void setStorages(const QList<StorageVolume> &value);
    QList<FileEntry> androidItems() const { return m_androidItems; }
    void setAndroidItems(const QList<FileEntry> &value);
    QSet<QString> androidSelection() const { return m_androidSelection; }
    void setAndroidSelection(const QSet<QString> &value);
    std::optional<QString> androidError() const { return m_androidError; }
    void setAndroidError(const std::optional<QString> &value);
    bool androidLoading() const { return m_androidLoading; }
    void setAndroidLoading(bool value);
    bool showHidden() const { return m_showHidden; }
    // Every assignment, even of the same value, reloads both panes.
    void setShowHidden(bool value);
    QList<TransferJob> transfers() const { return m_transfers; }
    void setTransfers(const QList<TransferJob> &value);
    std::optional<QString> message() const { return m_message; }
    // Most notices are refusals or failures; the few that only inform say so.
    enum class MessageKind { warning, information };
    MessageKind messageKind() const { return m_messageKind; }
    void setMessage(const std::optional<QString> &value, MessageKind kind = MessageKind::warning);
    QList<DriveInfo> drives() const { return m_drives; }
    void setDrives(const QList<DriveInfo> &value);
    std::optional<PhoneInfo> phoneInfo() const { return m_phoneInfo; }
    void setPhoneInfo(const std::optional<PhoneInfo> &value);
    std::optional<ConflictPrompt> conflict() const { return m_conflict; }
    void setConflict(const std::optional<ConflictPrompt> &value);
    std::optional<MoveRequest> moveRequest() const { return m_moveRequest; }
    void setMoveRequest(const std::optional<MoveRequest> &value);
    std::optional<BackupPlan> backupPlan() const { return m_backupPlan; }
    void setBackupPlan(const std::optional<BackupPlan> &value);
    bool scanningBackup() const { return m_scanningBackup; }
    void setScanningBackup(bool value);

    // Derived values, computed on every read.
    std::optional<AndroidDevice> selectedDevice() const;
    // The selected device when its state is "device"; every phone operation needs one.
    std::optional<AndroidDevice> readyDevice() const;
    std::optional<StorageVolume> activeStorage() const;
    bool isAtStorageRoot() const;

    // Device poll: one step (also the window's rescan command). Never throws.
    QCoro::Task<> refreshDevices();

    // Phone pane.
    QCoro::Task<> reloadAndroid(bool refreshStorage); // never throws
    void openAndroid(const QString &path);
    void goAndroid(const QString &path);
    void androidUp();
    void newAndroidFolder(const QString &name);
    void deleteAndroid(const QStringList &paths);
    void renameAndroid(const QString &path, const QString &newName);

    // Computer pane. Synchronous: the file system answers on the main thread.
    void reloadMac();
    void openMac(const QString &path);
    void newMacFolder(const QString &name);
    void renameMac(const QString &path, const QString &newName);
    void trashMac(const QStringList &paths);
    void openFullDiskAccessSettings();

    // External drives.
    // Follows mount, unmount and rename events for the life of the model.
    void watchVolumes();
    // One mount (mounted true), unmount or rename event; `path` is the event's mount point.
    void volumesChanged(bool mounted, const std::optional<QString> &path);
    // Scans off the main thread, publishes drives, then calls `then` with the new list.
    QCoro::Task<> refreshDrives(std::function<void(const QList<DriveInfo> &)> then = {});
    void eject(const DriveInfo &drive);
    // Tells the user that a drive was connected, while the window is in the background.
    void notifyDrive(const DriveInfo &drive);

    // ---- Transfer engine: declarations added by the transfer engine's files ----
    // Copies (or, with deleteSource, moves) paths into destDir: refuses at once what cannot
    // work, then reads the destination's names, asks once about clashes and queues one job
    // per item. kind is toAndroid or toMac.
    void enqueue(const QStringList &paths, TransferJob::Kind kind, const QString &destDir,
                 bool deleteSource);
    // Answers the open name-clash question; closing the prompt any other way (conflict set
    // to absent) answers cancel. The waiting batch is resumed exactly once.
    void answerConflict(ConflictResolution resolution);
    void cancelTransfer(const QUuid &id);
    void cancelAllTransfers();
    // Queues a failed or cancelled job that has a spec again.
    void retryTransfer(const QUuid &id);
    void clearFinishedTransfers();
    bool hasActiveTransfers() const;

    // Progress of one running job, written into its row until `stop` is stopped; no write
    // happens once it is. monitorTransfer picks the flavour by the TransferSpec's kind.
    // Where watch measures the destination's bytes: a phone path or a local path.
    struct SizeProbe
    {
        bool onPhone = false;
        QString serial;
        QString path;
        bool isDirectory = false;
    };
    // `written` is where the copy is being written (its temporary name).
    QCoro::Task<> monitorTransfer(QUuid id, TransferSpec spec, QString written,
                                  std::shared_ptr<StopHandle> stop);
    QCoro::Task<> watch(QUuid id, qint64 total, double interval, SizeProbe sample,
                        std::shared_ptr<StopHandle> stop);
    QCoro::Task<> watchPull(QUuid id, QString serial, QString remote, QString dest,
                            std::shared_ptr<StopHandle> stop);
    // How running pushes and pulls are followed (tests pick the fallback or a short stall).
    void setCopyProgressOptions(const CopyProgressOptions &options) { m_copyProgress = options; }

    // Tells the user, when the window is not in front, how many transfers finished and failed.
    void notifyFinished(int finished, int failed);

    // The engine's private state, readable for the window and tests.
    const QList<PendingTransfer> &queue() const { return m_queue; }
    const QHash<QUuid, CancelTokenPtr> &tokens() const { return m_tokens; }
    bool workerRunning() const { return m_workerRunning; }
    // ---- end of the transfer engine's declarations ----

    // ---- Moves, installs, backup, drag and drop, preview and phone tools ----
    // Copy the selection of one pane into the other pane's folder.
    void sendSelectedToAndroid();
    void getSelectedFromAndroid();
    // Checks a move of `paths` (absent: the source pane's selection) and publishes it as
    // moveRequest for confirmation, or refuses with a message.
    void requestMove(bool toPhone, const std::optional<QStringList> &paths = std::nullopt);
    void confirmMove();
    // Queues one install job per path, in order (each new one on top of the list).
    void installAPKs(const QStringList &paths);
    // Chooses APK files for pickAndInstallAPK: the chosen paths in the chooser's order, empty
    // when cancelled. The window installs a file dialog here (core has no widgets).
    using FilePicker = std::function<QStringList(const QString &prompt)>;
    void setApkPicker(FilePicker picker) { m_apkPicker = std::move(picker); }
    void pickAndInstallAPK();
    // Scans DCIM and Pictures and publishes a backupPlan, or a message.
    void prepareBackup();
    // Runs the pending plan as one job outside the queue, file by file.
    void confirmBackup();

    // Drag payloads of a row (the caller owns the result). A phone row offered to other
    // applications is pulled into the drag folder when the drop asks for its file.
    QMimeData *macProvider(const FileEntry &entry, const QSet<QString> &selection) const;
    QMimeData *androidProvider(const FileEntry &entry, const QSet<QString> &selection);
    // Pulls one phone item into a fresh folder below the drag folder, shown as its own row;
    // the local path of the copy.
    QCoro::Task<QString> pullForDrag(QString remote);
    // A drop on the empty area of a pane; false refuses it.
    bool handleDrop(const QMimeData *data, DragSide side);
    // A drop on a row of the pane `side`.
    void handleRowDrop(const QList<DroppedPaths> &items, const FileEntry &entry, DragSide side);
    void handleRowDrop(const QMimeData *data, const FileEntry &entry, DragSide side);

    // Preview of a row: the same file again closes the preview, another file replaces it.
    void quickLookMac(const QString &path);
    void quickLookAndroid(const QString &path);
    // The preview child is this program with "--preview FILE"; tests may run another one.
    void setPreviewProgram(const QString &program) { m_previewProgram = program; }
    const QProcess *quickLookProcess() const { return m_quickLookProcess; }
    std::optional<QString> quickLookURL() const { return m_quickLookURL; }

    // Saves the phone's screen into the computer pane's folder and selects it.
    void takeScreenshot();
    QCoro::Task<> loadPhoneInfo();
    QCoro::Task<> connectWireless(QString address);
    QCoro::Task<> pairWireless(QString address, QString code);
    // ---- end of moves, installs, backup, drag and drop, preview and phone tools ----

signals:
    void adbMissingChanged();
    void devicesChanged();
    void selectedSerialChanged();
    void macPathChanged();
    void macItemsChanged();
    void macSelectionChanged();
    void macErrorChanged();
    void androidPathChanged();
    void storagesChanged();
    void androidItemsChanged();
    void androidSelectionChanged();
    void androidErrorChanged();
    void androidLoadingChanged();
    void showHiddenChanged();
    void transfersChanged();
    void messageChanged();
    void drivesChanged();
    void phoneInfoChanged();
    void conflictChanged();
    void moveRequestChanged();
    void backupPlanChanged();
    void scanningBackupChanged();

private:
    // Starts (or restarts) the device poll.
    void startPolling();
    // Runs a task nobody awaits: it lives until it finishes, and an exception it throws
    // becomes the model's message instead of being lost.
    void launch(QCoro::Task<> task);
    // Awaits the phone command behind newAndroidFolder, deleteAndroid or renameAndroid,
    // puts its failure into message, then reloads the phone pane either way.
    QCoro::Task<> finishPhoneCommand(QCoro::Task<> command);

    bool m_adbMissing = false;
    QList<AndroidDevice> m_devices;
    std::optional<QString> m_selectedSerial;
    QString m_macPath;
    QList<FileEntry> m_macItems;
    QSet<QString> m_macSelection;
    std::optional<QString> m_macError;
    QString m_androidPath = internalStorage;
    QList<StorageVolume> m_storages;
    QList<FileEntry> m_androidItems;
    QSet<QString> m_androidSelection;
    std::optional<QString> m_androidError;
    bool m_androidLoading = false;
    bool m_showHidden = false;
    QList<TransferJob> m_transfers;
    std::optional<QString> m_message;
    MessageKind m_messageKind = MessageKind::warning;
    QList<DriveInfo> m_drives;
    std::optional<PhoneInfo> m_phoneInfo;
    std::optional<ConflictPrompt> m_conflict;
    std::optional<MoveRequest> m_moveRequest;
    std::optional<BackupPlan> m_backupPlan;
    bool m_scanningBackup = false;

    // The running poll's stop handle; absent before the first start.
    std::shared_ptr<StopHandle> m_pollTask;
    // Numbers phone-pane reloads; only the latest one writes its result.
    quint64 m_androidReloadCount = 0;
    // Whether the selected phone was ready when last looked at (a poll step or a change of
    // selection), so that a phone that comes back gets its pane reloaded once.
    bool m_selectedWasReady = false;
    // The phone pane's error that a poll step already listed the folder again for.
    std::optional<QString> m_retriedAndroidError;

    // ---- Transfer engine: private state added by the transfer engine's files ----
    QCoro::Task<> enqueueBatch(QStringList paths, TransferJob::Kind kind, QString destDir,
                               bool deleteSource, QString serial);
    QCoro::Task<ConflictResolution> askConflict(QStringList names, bool toPhone);
    // The prompt was closed without an answer: the waiting batch is cancelled.
    void conflictClosed();
    // Sets workerRunning and starts the worker unless it runs already.
    void startWorker();
    QCoro::Task<> runWorker();
    // Removes the source of a successful move; the failure's text, if any.
    QCoro::Task<std::optional<QString>> removeSource(TransferSpec spec);
    // Applies `change` to the row with this id, if it is still in the list.
    void updateJob(const QUuid &id, const std::function<void(TransferJob &)> &change);
    void insertJob(const TransferJob &job);
    // The jobs of one batch in one change of the list, the first of them lowest, as if each
    // had been inserted in turn: the list shows the newest on top.
    void insertJobs(const QList<TransferJob> &batch);

    // After a job while others wait, the phone pane is listed again without holding up the
    // next one: the listing runs beside the next copy, and the jobs that end while it runs
    // share one more listing after it. A folder of a thousand entries takes several times
    // longer to list than a small file takes to push.
    void reloadAndroidBetweenJobs();
    QCoro::Task<> reloadAndroidWhileJobsRun();

    // One job's end: the source of a move removed, the outcome on its row, what a copy that
    // did not take its place wrote removed, and, while other jobs remain, the panes listed
    // again beside them.
    QCoro::Task<> finishJob(QUuid id, TransferSpec spec, QString written, CancelTokenPtr token,
                            std::optional<QString> failure, bool discardWritten);

    // A whole and checked copy on the phone that waits to take its destination's name.
    struct SettlingCopy
    {
        QUuid id;
        TransferSpec spec;
        QString written;
        CancelTokenPtr token;
    };
    // Copies to the phone take their names beside the worker's next copy, those that finish
    // meanwhile in one shell run; each job ends once its copy has its name.
    void settleBesideNextCopy(const SettlingCopy &copy);
    QCoro::Task<> settleWhileJobsRun();
    // The copies waiting settle at once, without waiting for more to join their run.
    void hurrySettles();
    // How many of the copies at the front of `waiting` one shell run settles: those of the
    // first one's phone whose steps fit one command (one cancelled meanwhile needs no step).
    static qsizetype settleRunSize(const QList<SettlingCopy> &waiting);
    // When the model goes, the copies still waiting take their names all the same, without
    // the model (what the running settler has taken ends in its hands).
    void settleWithoutRows();
    // Resumes once no copy waits to take its name.
    QCoro::Task<> settlesFinished();
    // Whether a job may copy while earlier copies still take their names.
    bool canCopyBesideSettles(const TransferSpec &spec) const;
    // The earliest job that has not ended is shown as running (the one copying waits, shown
    // as queued, while earlier ones settle).
    void showFrontJobRunning();

    QList<PendingTransfer> m_queue;
    QHash<QUuid, CancelTokenPtr> m_tokens;
    bool m_workerRunning = false;
    int m_finishedJobs = 0;
    int m_failedJobs = 0;
    // The job whose copy, install or check the worker runs; null between jobs.
    QUuid m_copyingJob;
    QList<SettlingCopy> m_settling;
    // How many at the front of m_settling the settler has taken into its shell run.
    qsizetype m_settlingTaken = 0;
    // Stopped when the settler ends; absent before the first.
    std::shared_ptr<StopHandle> m_settlesDone;
    // Stopped to end the settler's wait for more copies; present only during that wait.
    std::shared_ptr<StopHandle> m_settlesGathered;
    // Set while the worker waits for the settler: no more waiting for copies to join a run.
    bool m_settlesHurried = false;
    bool m_reloadingBetweenJobs = false;
    bool m_reloadBetweenJobsAgain = false;
    // Runs one adb push or pull (`args`) for the job `id` and feeds its progress, from the
    // child's I/O counters or from adb's own percentage lines, into the job's gauge while
    // the run lasts.
    QCoro::Task<ProcessResult> runCopy(QUuid id, QStringList args, CancelTokenPtr token);
    // The gauge of a running job, made on first use; the worker drops it with the outcome.
    TransferGauge &gauge(const QUuid &id);
    // Writes the gauge's bar and detail into the job's row.
    void publishProgress(const QUuid &id, double now);

    CopyProgressOptions m_copyProgress;
    QHash<QUuid, TransferGauge> m_gauges;
    // The waiter of the open name-clash question; set exactly while `conflict` is.
    std::function<void(ConflictResolution)> m_conflictContinuation;
    // ---- end of the transfer engine's private state ----

    // ---- Moves, backup, drag and drop, preview and phone tools: private part ----
    void routeToAndroid(const QStringList &paths, const std::optional<QString> &dest);
    void runQuickLook(const QString &path);
    QCoro::Task<> scanBackup(AndroidDevice device);
    QCoro::Task<> runBackup(QUuid id, BackupPlan plan, CancelTokenPtr token);
    QCoro::Task<> previewAndroid(QString path);
    QCoro::Task<> saveScreenshot(QString serial, QString folder);

    FilePicker m_apkPicker;
    QString m_previewProgram;
    QPointer<QProcess> m_quickLookProcess;
    std::optional<QString> m_quickLookURL;
    // ---- end of the private part of moves, backup, drag and drop, preview and phone tools ----
};
