// Moves, installs, the photo backup, drag and drop, the preview toggle and the phone tools on
// the model, against the real adb and an emulated phone.
#include "PhoneFixture.h"
#include "Patience.h"
#include "RecordingPlatform.h"
#include "TransferWaits.h"

#include "bridge/ADB.h"
#include "bridge/ADBError.h"
#include "model/AppModel.h"
#include "model/DragFolder.h"
#include "model/ScreenshotName.h"
#include "platform/Platform.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMimeData>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

#include <sys/stat.h>
#include <unistd.h>

using Case = TransferJob::State::Case;

namespace {

void writeFile(const QString &path, const QByteArray &content)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(content), content.size());
}

bool runs(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.start(program, arguments);
    return process.waitForFinished(20000) && process.exitStatus() == QProcess::NormalExit
        && process.exitCode() == 0;
}

// Points this process's temporary folder (and so the drag folder) at `path` while it lives.
class TemporaryFolder
{
public:
    explicit TemporaryFolder(const QString &path)
        : m_wasSet(qEnvironmentVariableIsSet("TMPDIR")), m_saved(qgetenv("TMPDIR"))
    {
        qputenv("TMPDIR", QFile::encodeName(path));
    }
    ~TemporaryFolder() { m_wasSet ? qputenv("TMPDIR", m_saved) : qunsetenv("TMPDIR"); }

private:
    bool m_wasSet;
    QByteArray m_saved;
};

// The error a drag pull ends with; none when it succeeded.
QCoro::Task<std::optional<QString>> pullFailure(AppModel *model, QString remote)
{
    try {
        co_await model->pullForDrag(remote);
    } catch (const ADBError &error) {
        co_return error.message();
    }
    co_return std::nullopt;
}

FileEntry entryFor(const QString &path, bool isDirectory)
{
    FileEntry entry;
    entry.name = QFileInfo(path).fileName();
    entry.path = path;
    entry.isDirectory = isDirectory;
    return entry;
}

} // namespace

class ToolsTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void cleanupTestCase();

    void emptyMoveDoesNothing();
    void moveWithAReadOnlySourceIsRefused();
    void confirmedMoveBecomesMoveJobs();
    void installsRunInOrderAndShowFailures();
    void backupPlan();
    void backupMessages();
    void backupWithAFailedPull();
    void backupCancelled();
    void dragPayloads();
    void dropsOnPanes();
    void dropsOnRows();
    void phoneRowPulledForOtherApplications();
    void dragFolderCleanUpNeverFollowsALink_data();
    void dragFolderCleanUpNeverFollowsALink();
    void dragFolderThatIsNotTheUsersAloneIsRefused_data();
    void dragFolderThatIsNotTheUsersAloneIsRefused();
    void previewToggles();
    void screenshot();
    void connectRefused();

private:
    void usePhone(const QString &serial);
    QString onPhone(const QString &phonePath) const { return m_fixture->hostPath(m_serial, phonePath); }
    std::optional<TransferJob> job(const QString &name) const;
    QStringList jobNames() const;
    QString backupFolder() const;

    std::unique_ptr<PhoneFixture> m_fixture;
    QTemporaryDir m_home;
    QString m_phone;
    QString m_slow;
    QString m_serial;
    QString m_phoneDir;
    std::unique_ptr<QTemporaryDir> m_local;
    AppModel *m_model = nullptr;
    RecordingNotifier *m_notifier = nullptr;
    RecordingFileBrowser *m_browser = nullptr;
    int m_folderCount = 0;
};

void ToolsTest::initTestCase()
{
    qputenv("HOME", m_home.path().toUtf8());
    qputenv("XDG_DATA_HOME", (m_home.path() + "/.local/share").toUtf8());
    QDir(m_home.path()).mkpath(QStringLiteral("Downloads"));
    // The trash is made inside the data folder, which must exist: without it the file would
    // land in ./files of the working folder (or, where that is not writable, not move at all).
    QDir(m_home.path()).mkpath(QStringLiteral(".local/share"));

    m_fixture = std::make_unique<PhoneFixture>();
    QVERIFY2(m_fixture->start(), qPrintable(m_fixture->errorString()));
    m_phone = m_fixture->addPhone();
    QVERIFY2(!m_phone.isEmpty(), qPrintable(m_fixture->errorString()));
    PhoneOptions slow;
    slow.model = QString();
    slow.throttleMBps = 2;
    m_slow = m_fixture->addPhone(slow);
    QVERIFY2(!m_slow.isEmpty(), qPrintable(m_fixture->errorString()));
    ADB::shared().setCandidatesForTesting({m_fixture->adbPath()});

    auto notifier = std::make_unique<RecordingNotifier>();
    m_notifier = notifier.get();
    Platform::instance().setNotifier(std::move(notifier));
    auto browser = std::make_unique<RecordingFileBrowser>();
    m_browser = browser.get();
    Platform::instance().setFileBrowser(std::move(browser));
}

void ToolsTest::init()
{
    m_model = new AppModel;
    m_notifier->posted.clear();
    m_browser->revealed.clear();
    usePhone(m_phone);
}

void ToolsTest::cleanup()
{
    m_model->cancelAllTransfers();
    QTRY_VERIFY_WITH_TIMEOUT(!m_model->workerRunning() && m_model->tokens().isEmpty(), 60000);
    delete m_model;
    m_model = nullptr;
}

void ToolsTest::cleanupTestCase()
{
    Platform::instance().restoreDefaults();
    m_fixture.reset();
}

void ToolsTest::usePhone(const QString &serial)
{
    m_serial = serial;
    QTRY_VERIFY_WITH_TIMEOUT(m_model->selectedSerial().has_value(), kPatienceMs);
    m_model->setSelectedSerial(serial);
    QTRY_VERIFY_WITH_TIMEOUT(m_model->readyDevice() && m_model->readyDevice()->serial == serial, kPatienceMs);
    m_phoneDir = QStringLiteral("/storage/emulated/0/Tools%1").arg(++m_folderCount);
    QVERIFY(QDir().mkpath(onPhone(m_phoneDir)));
    m_local = std::make_unique<QTemporaryDir>(m_home.path() + "/local-XXXXXX");
    QVERIFY(m_local->isValid());
    m_model->setMacPath(m_local->path());
    m_model->reloadMac();
}

std::optional<TransferJob> ToolsTest::job(const QString &name) const
{
    for (const TransferJob &row : m_model->transfers()) {
        if (row.name == name)
            return row;
    }
    return std::nullopt;
}

QStringList ToolsTest::jobNames() const
{
    QStringList names;
    for (const TransferJob &row : m_model->transfers())
        names << row.name;
    return names;
}

QString ToolsTest::backupFolder() const
{
    const AndroidDevice device = *m_model->readyDevice();
    QString label = device.model.isEmpty() ? device.serial : device.model;
    label.replace('/', '-');
    return m_home.path() + "/Pictures/Tessary Backup/" + label;
}

void ToolsTest::emptyMoveDoesNothing()
{
    m_model->requestMove(true);
    m_model->requestMove(false, QStringList{});
    QVERIFY(!m_model->moveRequest());
    QVERIFY(!m_model->message());
}

void ToolsTest::moveWithAReadOnlySourceIsRefused()
{
    const QString mountPath = m_local->filePath("ro");
    QVERIFY(QDir().mkpath(mountPath));
    if (!runs("mount", {"-t", "tmpfs", "-o", "ro,size=1m", "tessary-ro", mountPath}))
        QSKIP("Mounting a read-only tmpfs needs root");
    auto unmount = qScopeGuard([&] { runs("umount", {mountPath}); });
    const QString a = m_local->filePath("a.txt");
    const QString b = m_local->filePath("b.txt");
    writeFile(a, "a");
    writeFile(b, "b");
    m_model->requestMove(true, QStringList{a, mountPath, b});
    QCOMPARE(m_model->message(),
             QStringLiteral("Files on a read-only drive (such as NTFS) can't be moved, because the "
                            "originals can't be removed. Use Copy instead."));
    QVERIFY(!m_model->moveRequest());
    QVERIFY(m_model->transfers().isEmpty());
}

void ToolsTest::confirmedMoveBecomesMoveJobs()
{
    writeFile(onPhone(m_phoneDir + "/m1.txt"), "one");
    writeFile(onPhone(m_phoneDir + "/m2.txt"), "two");
    m_model->setAndroidSelection({m_phoneDir + "/m1.txt", m_phoneDir + "/m2.txt"});
    m_model->requestMove(false);
    QVERIFY(m_model->moveRequest());
    QCOMPARE(m_model->moveRequest()->destDir, m_local->path());
    QVERIFY(!m_model->moveRequest()->toPhone);
    QCOMPARE(m_model->moveRequest()->paths.size(), 2);

    m_model->confirmMove();
    QVERIFY(!m_model->moveRequest());
    QTRY_COMPARE_WITH_TIMEOUT(m_model->transfers().size(), 2, kPatienceMs);
    for (const TransferJob &row : m_model->transfers()) {
        QVERIFY(row.spec);
        QVERIFY(row.spec->deleteSource);
        QCOMPARE(row.spec->kind, TransferJob::Kind::toMac);
    }
    QVERIFY_TRANSFERS_FINISHED(*m_model, 2);
    QCOMPARE(job("m1.txt")->state.value(), Case::done);
    QVERIFY(QFile::exists(m_local->filePath("m1.txt")));
    QVERIFY(QFile::exists(m_local->filePath("m2.txt")));
    QVERIFY(!QFile::exists(onPhone(m_phoneDir + "/m1.txt")));
    QVERIFY(!QFile::exists(onPhone(m_phoneDir + "/m2.txt")));
}

void ToolsTest::installsRunInOrderAndShowFailures()
{
    const QString good = m_local->filePath("good.apk");
    const QString bad = m_local->filePath("bad.apk");
    writeFile(good, QByteArray("PK\x03\x04", 4) + QByteArray(100, 'z'));
    writeFile(bad, "plain text");
    // The worker must not start before both rows are there.
    m_model->installAPKs({good, bad});
    QCOMPARE(jobNames(), (QStringList{"Install bad.apk", "Install good.apk"}));
    QVERIFY_TRANSFERS_FINISHED(*m_model, 2);
    QCOMPARE(job("Install good.apk")->state.value(), Case::done);
    const TransferJob failed = *job("Install bad.apk");
    QCOMPARE(failed.state.value(), Case::failed);
    QVERIFY2(failed.state.message().contains("Failure [INSTALL_PARSE_FAILED_NOT_APK"),
             qPrintable(failed.state.message()));

    // The chooser's answer is installed; cancelling it installs nothing.
    m_model->clearFinishedTransfers();
    QStringList answer;
    QString prompt;
    m_model->setApkPicker([&](const QString &text) {
        prompt = text;
        return answer;
    });
    m_model->pickAndInstallAPK();
    QCOMPARE(prompt, QStringLiteral("Choose APK files to install on your phone"));
    QVERIFY(m_model->transfers().isEmpty());
    answer = {good};
    m_model->pickAndInstallAPK();
    QCOMPARE(jobNames(), QStringList{"Install good.apk"});
    QVERIFY_TRANSFERS_FINISHED(*m_model, 1);
}

void ToolsTest::backupPlan()
{
    const QString camera = "/storage/emulated/0/DCIM/Plan";
    QStringList names;
    for (int i = 0; i < 10; ++i) {
        names << QStringLiteral("IMG_%1.jpg").arg(i);
        writeFile(onPhone(camera + "/" + names.last()), QByteArray(1000 + i, 'p'));
    }
    const QString destination = backupFolder();
    // Four are on the computer already, one of them with another size.
    for (int i = 0; i < 3; ++i)
        writeFile(destination + "/DCIM/Plan/" + names.at(i), QByteArray(1000 + i, 'p'));
    writeFile(destination + "/DCIM/Plan/" + names.at(3), QByteArray(7, 'x'));

    m_model->prepareBackup();
    QVERIFY(m_model->scanningBackup());
    QTRY_VERIFY_WITH_TIMEOUT(!m_model->scanningBackup(), kPatienceMs);
    QVERIFY2(!m_model->message(), qPrintable(m_model->message().value_or(QString())));
    const BackupPlan plan = *m_model->backupPlan();
    QCOMPARE(plan.scanned, 10);
    QCOMPARE(plan.files.size(), 7);
    QCOMPARE(plan.destination, destination);
    QCOMPARE(plan.serial, m_serial);
    QCOMPARE(plan.files.first().relative, "DCIM/Plan/" + names.at(3));

    m_model->confirmBackup();
    QVERIFY(!m_model->backupPlan());
    QCOMPARE(m_model->transfers().first().name, QStringLiteral("Photo backup (7 files)"));
    QCOMPARE(m_model->transfers().first().state.value(), Case::running);
    QCOMPARE(m_model->tokens().size(), 1);
    QVERIFY_TRANSFERS_FINISHED(*m_model, 1);
    const TransferJob row = m_model->transfers().first();
    QCOMPARE(row.state.value(), Case::done);
    QCOMPARE(row.detail, QStringLiteral("7/7"));
    QCOMPARE(row.progress, 1.0);
    QVERIFY(m_model->tokens().isEmpty());
    QCOMPARE(QFileInfo(destination + "/DCIM/Plan/" + names.at(3)).size(), 1003);
    QCOMPARE(QFileInfo(destination + "/DCIM/Plan/" + names.at(9)).size(), 1009);
    QCOMPARE(m_browser->revealed, QStringList{destination});
    QCOMPARE(m_notifier->bodies(), QStringList{"7 transfers finished."});

    // Now everything is there.
    m_model->prepareBackup();
    QTRY_VERIFY_WITH_TIMEOUT(!m_model->scanningBackup(), kPatienceMs);
    QCOMPARE(m_model->message(), QStringLiteral("Everything is already backed up (10 files checked)."));
    QVERIFY(!m_model->backupPlan());
    QDir(onPhone(camera)).removeRecursively();
}

void ToolsTest::backupMessages()
{
    // The slow phone has an empty model and empty DCIM and Pictures.
    m_model->setMessage(std::nullopt);
    usePhone(m_slow);
    QVERIFY(m_model->readyDevice()->model.isEmpty());
    m_model->prepareBackup();
    QTRY_VERIFY_WITH_TIMEOUT(!m_model->scanningBackup(), kPatienceMs);
    QCOMPARE(m_model->message(), QStringLiteral("No photos or videos found in DCIM or Pictures on this phone."));

    writeFile(onPhone("/storage/emulated/0/Pictures/one.png"), "png");
    m_model->setMessage(std::nullopt);
    m_model->prepareBackup();
    QTRY_VERIFY_WITH_TIMEOUT(!m_model->scanningBackup(), kPatienceMs);
    QVERIFY(m_model->backupPlan());
    QCOMPARE(m_model->backupPlan()->destination,
             m_home.path() + "/Pictures/Tessary Backup/" + m_slow);
    QFile::remove(onPhone("/storage/emulated/0/Pictures/one.png"));

    // Without a ready phone nothing is scanned.
    m_model->setBackupPlan(std::nullopt);
    m_model->setSelectedSerial(std::nullopt);
    m_model->prepareBackup();
    QCOMPARE(m_model->message(), QStringLiteral("Connect and authorize an Android device first."));
    QVERIFY(!m_model->scanningBackup());
}

void ToolsTest::backupWithAFailedPull()
{
    BackupPlan plan;
    plan.serial = m_serial;
    plan.destination = m_local->filePath("backup");
    plan.scanned = 5;
    for (int i = 0; i < 5; ++i) {
        const QString remote = QStringLiteral("%1/f%2.jpg").arg(m_phoneDir).arg(i);
        // The third file is not on the phone: its pull fails.
        if (i != 2)
            writeFile(onPhone(remote), QByteArray(10, 'f'));
        plan.files.append(BackupFile{remote, remote.mid(20), 10});
    }
    m_model->setBackupPlan(plan);
    m_model->confirmBackup();
    QVERIFY_TRANSFERS_FINISHED(*m_model, 1);
    const TransferJob row = m_model->transfers().first();
    QCOMPARE(row.state, TransferJob::State::failed("1 file(s) failed"));
    QCOMPARE(row.progress, 1.0);
    QCOMPARE(row.detail, QStringLiteral("5/5"));
    QVERIFY(QFile::exists(plan.destination + "/" + plan.files.at(4).relative));
    QVERIFY(m_browser->revealed.isEmpty());
    QCOMPARE(m_notifier->bodies(), QStringList{"4 finished, 1 failed."});
    QVERIFY(m_model->tokens().isEmpty());
}

void ToolsTest::backupCancelled()
{
    usePhone(m_slow);
    BackupPlan plan;
    plan.serial = m_serial;
    plan.destination = m_local->filePath("backup");
    // The third file takes twenty seconds over the phone's 2 MB/s link, the others a moment:
    // the backup shows "2/5" for that long, however fast or busy the machine is.
    for (int i = 0; i < 5; ++i) {
        const QString remote = QStringLiteral("%1/c%2.mp4").arg(m_phoneDir).arg(i);
        const int size = i == 2 ? 40'000'000 : 100'000;
        writeFile(onPhone(remote), QByteArray(size, 'c'));
        plan.files.append(BackupFile{remote, remote.mid(20), size});
    }
    plan.scanned = 5;
    m_model->setBackupPlan(plan);
    m_model->confirmBackup();
    const QUuid id = m_model->transfers().first().id;
    QTRY_COMPARE_WITH_TIMEOUT(m_model->transfers().first().detail, QStringLiteral("2/5"), kPatienceMs);
    // The third pull is under way: cancel through the list, as its button does.
    m_model->cancelTransfer(id);
    QVERIFY_TRANSFERS_FINISHED(*m_model, 1);
    const TransferJob row = m_model->transfers().first();
    QCOMPARE(row.state.value(), Case::cancelled);
    QCOMPARE(row.detail, QStringLiteral("3/5"));
    QVERIFY(!QFile::exists(plan.destination + "/" + plan.files.at(3).relative));
    QVERIFY(!QFile::exists(plan.destination + "/" + plan.files.at(4).relative));
    QVERIFY(m_model->tokens().isEmpty());
}

void ToolsTest::dragPayloads()
{
    const FileEntry row = entryFor(m_phoneDir + "/d.txt", false);
    const QSet<QString> selection{m_phoneDir + "/a", m_phoneDir + "/b", m_phoneDir + "/c"};
    std::unique_ptr<QMimeData> alone(m_model->androidProvider(row, selection));
    QVERIFY(alone->hasFormat("com.quorvane.tessary.paths"));
    QVERIFY(alone->hasFormat("text/uri-list"));
    const auto payload = DroppedPaths::fromJson(alone->data("com.quorvane.tessary.paths"));
    QCOMPARE(payload, (DroppedPaths{DragSide::android, {row.path}}));
    // Asking for the paths pulls nothing.
    QVERIFY(m_model->transfers().isEmpty());

    const QString local = m_local->filePath("x.txt");
    writeFile(local, "x");
    std::unique_ptr<QMimeData> mac(m_model->macProvider(entryFor(local, false), {local, "/other"}));
    QCOMPARE(mac->urls(), QList<QUrl>{QUrl::fromLocalFile(local)});
    const auto macPayload = DroppedPaths::fromJson(mac->data("com.quorvane.tessary.paths"));
    QCOMPARE(macPayload->side, DragSide::mac);
    QCOMPARE(macPayload->paths.size(), 2);
}

void ToolsTest::dropsOnPanes()
{
    const QString file = m_local->filePath("finder.txt");
    writeFile(file, "from another application");
    QMimeData other;
    other.setUrls({QUrl::fromLocalFile(file)});
    QVERIFY(!m_model->handleDrop(&other, DragSide::mac));
    QVERIFY(m_model->transfers().isEmpty());

    m_model->setAndroidPath(m_phoneDir);
    QVERIFY(m_model->handleDrop(&other, DragSide::android));
    QTRY_VERIFY_WITH_TIMEOUT(job("finder.txt"), kPatienceMs);
    QVERIFY_TRANSFERS_FINISHED(*m_model, 1);
    QCOMPARE(job("finder.txt")->state.value(), Case::done);
    QVERIFY(QFile::exists(onPhone(m_phoneDir + "/finder.txt")));

    // A drop onto the pane it came from, and an undecodable payload, do nothing.
    m_model->clearFinishedTransfers();
    QMimeData own;
    own.setData("com.quorvane.tessary.paths", DroppedPaths{DragSide::android, {m_phoneDir + "/finder.txt"}}.toJson());
    QVERIFY(m_model->handleDrop(&own, DragSide::android));
    QMimeData broken;
    broken.setData("com.quorvane.tessary.paths", "{\"side\":\"mac\"");
    QVERIFY(m_model->handleDrop(&broken, DragSide::android));
    QCOMPARE(m_model->transfers().size(), 0);

    // Phone rows dropped on the computer pane are pulled into its folder, duplicates once.
    QMimeData rows;
    rows.setData("com.quorvane.tessary.paths",
                 DroppedPaths{DragSide::android, {m_phoneDir + "/finder.txt", m_phoneDir + "/finder.txt"}}.toJson());
    const QString into = m_local->filePath("into");
    QVERIFY(QDir().mkpath(into));
    m_model->setMacPath(into);
    QVERIFY(m_model->handleDrop(&rows, DragSide::mac));
    QTRY_VERIFY_WITH_TIMEOUT(job("finder.txt"), kPatienceMs);
    QVERIFY_TRANSFERS_FINISHED(*m_model, 1);
    QCOMPARE(jobNames(), QStringList{"finder.txt"});
    QVERIFY(QFile::exists(into + "/finder.txt"));
}

void ToolsTest::dropsOnRows()
{
    const QString apk = m_local->filePath("App.APK");
    const QString photo = m_local->filePath("photo.jpg");
    writeFile(apk, QByteArray("PK\x03\x04", 4) + QByteArray(10, 'a'));
    writeFile(photo, "jpeg");
    const QString folder = m_phoneDir + "/Album";
    QVERIFY(QDir().mkpath(onPhone(folder)));
    QMimeData fromMac;
    fromMac.setData("com.quorvane.tessary.paths", DroppedPaths{DragSide::mac, {apk, photo}}.toJson());
    m_model->handleRowDrop(&fromMac, entryFor(folder, true), DragSide::android);
    QTRY_VERIFY_WITH_TIMEOUT(job("photo.jpg"), kPatienceMs);
    QVERIFY_TRANSFERS_FINISHED(*m_model, 2);
    QCOMPARE(job("Install App.APK")->state.value(), Case::done);
    QCOMPARE(job("photo.jpg")->state.value(), Case::done);
    QVERIFY(QFile::exists(onPhone(folder + "/photo.jpg")));
    QVERIFY(!QFile::exists(onPhone(folder + "/App.APK")));

    // Phone rows on a computer file row go to the pane's folder, not into the file.
    m_model->clearFinishedTransfers();
    const QString target = m_local->filePath("target.txt");
    writeFile(target, "t");
    writeFile(onPhone(folder + "/shot.jpg"), "shot");
    const QList<DroppedPaths> items{DroppedPaths{DragSide::android, {folder + "/shot.jpg"}},
                                    DroppedPaths{DragSide::mac, {photo}}, DroppedPaths{std::nullopt, {photo}}};
    m_model->handleRowDrop(items, entryFor(target, false), DragSide::mac);
    QTRY_VERIFY_WITH_TIMEOUT(job("shot.jpg"), kPatienceMs);
    QVERIFY_TRANSFERS_FINISHED(*m_model, 1);
    QCOMPARE(jobNames(), QStringList{"shot.jpg"});
    QVERIFY(QFile::exists(m_local->filePath("shot.jpg")));
    QCOMPARE(m_model->transfers().first().spec->destDir, m_local->path());

    // An undecodable payload on a row is ignored.
    m_model->clearFinishedTransfers();
    QMimeData broken;
    broken.setData("com.quorvane.tessary.paths", "[]");
    m_model->handleRowDrop(&broken, entryFor(folder, true), DragSide::android);
    QVERIFY(m_model->transfers().isEmpty());
}

void ToolsTest::phoneRowPulledForOtherApplications()
{
    writeFile(onPhone(m_phoneDir + "/out.txt"), "for another application");
    std::unique_ptr<QMimeData> data(
        m_model->androidProvider(entryFor(m_phoneDir + "/out.txt", false), {}));
    const QList<QUrl> urls = data->urls();
    QCOMPARE(urls.size(), 1);
    const QString pulled = urls.first().toLocalFile();
    QVERIFY2(pulled.startsWith(DragFolder::path() + "/"), qPrintable(pulled));
    QVERIFY(pulled.endsWith("/out.txt"));
    QFile file(pulled);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), QByteArray("for another application"));
    QCOMPARE(job("out.txt")->state.value(), Case::done);
    QVERIFY(!job("out.txt")->spec);
    // Asking again does not pull again.
    QCOMPARE(data->urls(), urls);
    QCOMPARE(m_model->transfers().size(), 1);

    // A missing file ends its row failed, and the receiver gets no file.
    std::unique_ptr<QMimeData> missing(
        m_model->androidProvider(entryFor(m_phoneDir + "/gone.txt", false), {}));
    QVERIFY(missing->urls().isEmpty());
    QCOMPARE(job("gone.txt")->state.value(), Case::failed);
}

void ToolsTest::dragFolderCleanUpNeverFollowsALink_data()
{
    QTest::addColumn<bool>("linkInsideTheFolder");
    QTest::newRow("a link in the folder's place") << false;
    QTest::newRow("a link inside the folder") << true;
}

// Someone else's files that a link leads to survive the start-up clean-up.
void ToolsTest::dragFolderCleanUpNeverFollowsALink()
{
    QFETCH(bool, linkInsideTheFolder);
    QTemporaryDir temporary;
    QVERIFY(temporary.isValid());
    const TemporaryFolder scratch(temporary.path());
    const QString victim = m_home.path() + "/victim";
    writeFile(victim + "/kept.txt", "not Tessary's");
    const QString folder = DragFolder::path();
    QVERIFY(!folder.isEmpty());
    QVERIFY(folder.startsWith(temporary.path() + "/"));
    if (linkInsideTheFolder) {
        QVERIFY(DragFolder::prepare().usable());
        writeFile(folder + "/old/pulled.txt", "an earlier drag");
        QVERIFY(QFile::link(victim, folder + "/old/link"));
    } else {
        QVERIFY(QFile::link(victim, folder));
    }

    delete m_model;
    m_model = new AppModel;
    QCOMPARE(QDir(victim).entryList(QDir::Files), QStringList{"kept.txt"});
    QVERIFY(!QFileInfo::exists(folder) && !QFileInfo(folder).isSymLink());
    usePhone(m_phone);
}

void ToolsTest::dragFolderThatIsNotTheUsersAloneIsRefused_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("problem");
    QTest::newRow("a link") << "link" << "is a link";
    QTest::newRow("open to others") << "open" << "is open to other users";
    QTest::newRow("another user's") << "foreign" << "belongs to another user";
}

void ToolsTest::dragFolderThatIsNotTheUsersAloneIsRefused()
{
    QFETCH(QString, kind);
    QFETCH(QString, problem);
    if (kind == "foreign" && geteuid() != 0)
        QSKIP("a folder of another user needs root");
    QTemporaryDir temporary;
    QVERIFY(temporary.isValid());
    const TemporaryFolder scratch(temporary.path());
    const QString folder = DragFolder::path();
    const QString victim = m_home.path() + "/elsewhere";
    QVERIFY(QDir().mkpath(victim));
    if (kind == "link") {
        QVERIFY(QFile::link(victim, folder));
    } else {
        QVERIFY(QDir().mkdir(folder));
        QVERIFY(::chmod(QFile::encodeName(folder).constData(), kind == "open" ? 0777 : 0700) == 0);
        if (kind == "foreign")
            QVERIFY(::chown(QFile::encodeName(folder).constData(), 65534, 65534) == 0);
    }

    writeFile(onPhone(m_phoneDir + "/wanted.txt"), "phone file");
    const std::optional<QString> failure = QCoro::waitFor(pullFailure(m_model, m_phoneDir + "/wanted.txt"));
    QVERIFY(failure);
    QVERIFY2(failure->contains(problem) && failure->contains(folder), qPrintable(*failure));
    QCOMPARE(job("wanted.txt")->state.value(), Case::failed);
    QCOMPARE(job("wanted.txt")->state.message(), *failure);
    QVERIFY(QDir(victim).isEmpty());
    QVERIFY(QDir(folder).isEmpty());
}

void ToolsTest::previewToggles()
{
    // A stand-in preview program that stays open until it is told to go.
    const QString program = m_local->filePath("preview.sh");
    writeFile(program, "#!/bin/sh\nexec sleep 60\n");
    QFile::setPermissions(program, QFile::permissions(program) | QFile::ExeOwner);
    m_model->setPreviewProgram(program);
    const QString a = m_local->filePath("a.txt");
    const QString b = m_local->filePath("b.txt");
    writeFile(a, "a");
    writeFile(b, "b");

    m_model->quickLookMac(m_local->path()); // a folder: nothing
    QVERIFY(!m_model->quickLookProcess());

    m_model->quickLookMac(a);
    QTRY_COMPARE_WITH_TIMEOUT(m_model->quickLookProcess()->state(), QProcess::Running, kPatienceMs);
    QCOMPARE(m_model->quickLookProcess()->arguments(), (QStringList{"--preview", a}));
    m_model->quickLookMac(a);
    QVERIFY(!m_model->quickLookProcess());

    m_model->quickLookMac(a);
    QTRY_COMPARE_WITH_TIMEOUT(m_model->quickLookProcess()->state(), QProcess::Running, kPatienceMs);
    m_model->quickLookMac(b);
    QCOMPARE(m_model->quickLookURL(), b);
    QTRY_COMPARE_WITH_TIMEOUT(m_model->quickLookProcess()->state(), QProcess::Running, kPatienceMs);

    // A phone file is pulled first; the key pressed again closes the preview.
    writeFile(onPhone(m_phoneDir + "/p.txt"), "phone");
    m_model->goAndroid(m_phoneDir);
    QTRY_VERIFY_WITH_TIMEOUT(std::ranges::any_of(m_model->androidItems(),
                                    [&](const FileEntry &entry) { return entry.path == m_phoneDir + "/p.txt"; }), kPatienceMs);
    m_model->quickLookMac(b); // close the open one
    QVERIFY(!m_model->quickLookProcess());
    m_model->quickLookAndroid(m_phoneDir + "/p.txt");
    QTRY_VERIFY_WITH_TIMEOUT(m_model->quickLookProcess() && m_model->quickLookProcess()->state() == QProcess::Running, kPatienceMs);
    QVERIFY(m_model->quickLookURL()->endsWith("/p.txt"));
    QCOMPARE(job("p.txt")->state.value(), Case::done);
    m_model->quickLookAndroid(m_phoneDir + "/p.txt");
    QVERIFY(!m_model->quickLookProcess());
}

void ToolsTest::screenshot()
{
    const QDateTime before = QDateTime::currentDateTime();
    m_model->takeScreenshot();
    QTRY_VERIFY_WITH_TIMEOUT(!m_model->macSelection().isEmpty(), kPatienceMs);
    QVERIFY(!m_model->message());
    const QString path = *m_model->macSelection().begin();
    QCOMPARE(QFileInfo(path).path(), m_local->path());
    const QString name = QFileInfo(path).fileName();
    bool named = false;
    for (QDateTime at = before; at <= QDateTime::currentDateTime().addSecs(1); at = at.addSecs(1))
        named = named || name == screenshotFileName(at);
    QVERIFY2(named, qPrintable(name));
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QVERIFY(file.read(8).startsWith("\x89PNG"));
    bool listed = false;
    for (const FileEntry &entry : m_model->macItems())
        listed = listed || entry.path == path;
    QVERIFY(listed);

    m_model->setSelectedSerial(std::nullopt);
    m_model->takeScreenshot();
    QCOMPARE(m_model->message(), QStringLiteral("Connect and authorize an Android device first."));
}

void ToolsTest::connectRefused()
{
    // The phone information and storages are read fresh.
    m_model->setStorages({});
    QCoro::waitFor(m_model->loadPhoneInfo());
    QVERIFY(m_model->phoneInfo());
    QCOMPARE(m_model->phoneInfo()->serial, m_serial);
    QVERIFY(!m_model->storages().isEmpty());

    int refreshes = 0;
    connect(m_model, &AppModel::devicesChanged, this, [&] { ++refreshes; });
    m_model->setDevices({});
    refreshes = 0;
    QCoro::waitFor(m_model->connectWireless(QStringLiteral("127.0.0.1:1")));
    QVERIFY(m_model->message());
    // adb's own words, such as "failed to connect to '127.0.0.1:1': Connection refused".
    QVERIFY2(m_model->message()->contains("127.0.0.1:1"), qPrintable(*m_model->message()));
    // The device list was read again right after the attempt.
    QVERIFY(refreshes > 0);
    QVERIFY(!m_model->devices().isEmpty());
}

QTEST_GUILESS_MAIN(ToolsTest)
#include "tst_tools.moc"
