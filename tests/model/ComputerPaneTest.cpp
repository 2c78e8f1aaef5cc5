#include "ModelTests.h"
#include "RecordingPlatform.h"

#include "bridge/ADB.h"
#include "drives/Drives.h"
#include "model/AppModel.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <unistd.h>

namespace {

void writeFile(const QString &path, const QByteArray &content = "x")
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(content);
}

QStringList names(const QList<FileEntry> &rows)
{
    QStringList result;
    for (const FileEntry &row : rows)
        result.append(row.name);
    return result;
}

const FileEntry *row(const QList<FileEntry> &rows, const QString &name)
{
    for (const FileEntry &entry : rows) {
        if (entry.name == name)
            return &entry;
    }
    return nullptr;
}

} // namespace

// The computer pane on temporary folders. The model runs without adb here, so its poll
// stays idle and only the local file system is involved.
class ComputerPaneTest : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void listsFoldersFirstInNameOrder();
    void fillsRowFields();
    void linkToFolderIsEnteredAndBrokenLinkIsFile();
    void hiddenItemsFollowShowHidden();
    void missingFolderIsExplainedAndClearedLater();
    void unreadableFolderGetsPermissionExplanation();
    void reloadClearsSelection();
    void openFileUsesDefaultApplication();
    void newFolderCreatesAndReportsClash();
    void newFolderOnReadOnlyMountIsRefused();
    void renameKeepsExistingTarget();
    void trashReportsEveryFailureKeepingLast();
    void fullDiskAccessGoesToDesktop();

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<AppModel> m_model;
    QString path(const QString &name) const { return m_dir->filePath(name); }
    void show(const QString &folder)
    {
        m_model->setMacPath(folder);
        m_model->reloadMac();
    }
};

void ComputerPaneTest::initTestCase()
{
    ADB::shared().setCandidatesForTesting({QStringLiteral("/nonexistent/tessary-test/adb")});
}

void ComputerPaneTest::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    m_model = std::make_unique<AppModel>();
    QVERIFY(m_model->adbMissing());
}

void ComputerPaneTest::cleanup()
{
    m_model.reset();
    m_dir.reset();
}

void ComputerPaneTest::listsFoldersFirstInNameOrder()
{
    writeFile(path("b"));
    QVERIFY(QDir().mkdir(path("A")));
    writeFile(path("a10.txt"));
    writeFile(path("a2.txt"));
    show(m_dir->path());
    QCOMPARE(names(m_model->macItems()), (QStringList{"A", "a2.txt", "a10.txt", "b"}));
    QCOMPARE(m_model->macError(), std::nullopt);
}

void ComputerPaneTest::fillsRowFields()
{
    writeFile(path("five.txt"), "12345");
    QVERIFY(QDir().mkdir(path("Folder")));
    show(m_dir->path());

    const FileEntry *file = row(m_model->macItems(), "five.txt");
    QVERIFY(file);
    QCOMPARE(file->path, path("five.txt"));
    QCOMPARE(file->isDirectory, false);
    QCOMPARE(file->size, 5);
    QVERIFY(QRegularExpression("^\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d$").match(file->modified).hasMatch());
    QCOMPARE(file->modified, QFileInfo(path("five.txt")).lastModified().toString("yyyy-MM-dd HH:mm"));

    const FileEntry *folder = row(m_model->macItems(), "Folder");
    QVERIFY(folder);
    QCOMPARE(folder->isDirectory, true);
    QCOMPARE(folder->size, 0);
}

void ComputerPaneTest::linkToFolderIsEnteredAndBrokenLinkIsFile()
{
    QVERIFY(QDir().mkdir(path("Target")));
    writeFile(path("Target/inside.txt"));
    writeFile(path("file.txt"));
    QVERIFY(QFile::link(path("Target"), path("folder link")));
    QVERIFY(QFile::link(path("file.txt"), path("file link")));
    QVERIFY(QFile::link(path("nowhere"), path("broken link")));
    show(m_dir->path());

    QCOMPARE(names(m_model->macItems()),
             (QStringList{"folder link", "Target", "broken link", "file link", "file.txt"}));
    QCOMPARE(row(m_model->macItems(), "folder link")->isDirectory, true);
    QCOMPARE(row(m_model->macItems(), "file link")->isDirectory, false);
    QCOMPARE(row(m_model->macItems(), "broken link")->isDirectory, false);

    RecordingPlatform platform;
    RecordingLauncher *launcher = platform.launcher;
    // A link to nothing: nothing exists there, so nothing opens.
    m_model->openMac(path("broken link"));
    QVERIFY(launcher->urls.isEmpty());
    QCOMPARE(m_model->macPath(), m_dir->path());

    m_model->openMac(path("folder link"));
    QCOMPARE(m_model->macPath(), path("folder link"));
    QCOMPARE(names(m_model->macItems()), QStringList{"inside.txt"});
    QCOMPARE(m_model->macItems().first().path, path("folder link/inside.txt"));
}

void ComputerPaneTest::hiddenItemsFollowShowHidden()
{
    writeFile(path(".directory"));
    QVERIFY(QDir().mkdir(path(".config")));
    writeFile(path("visible"));
    show(m_dir->path());
    QCOMPARE(names(m_model->macItems()), QStringList{"visible"});

    QSignalSpy reloads(m_model.get(), &AppModel::macItemsChanged);
    m_model->setShowHidden(true);
    QCOMPARE(reloads.count(), 1);
    QCOMPARE(names(m_model->macItems()), (QStringList{".config", ".directory", "visible"}));

    m_model->setShowHidden(false);
    QCOMPARE(names(m_model->macItems()), QStringList{"visible"});
}

void ComputerPaneTest::missingFolderIsExplainedAndClearedLater()
{
    show(path("gone"));
    QVERIFY(m_model->macItems().isEmpty());
    QCOMPARE(m_model->macError(),
             QStringLiteral("Couldn't open \u201Cgone\u201D: No such file or directory."));

    writeFile(path("gone"));
    show(path("gone"));
    QCOMPARE(m_model->macError(),
             QStringLiteral("Couldn't open \u201Cgone\u201D: Not a directory."));

    show(m_dir->path());
    QCOMPARE(m_model->macError(), std::nullopt);
    QCOMPARE(names(m_model->macItems()), QStringList{"gone"});
}

void ComputerPaneTest::unreadableFolderGetsPermissionExplanation()
{
    if (geteuid() == 0)
        QSKIP("Runs as root, which reads every folder whatever its permissions");
    QVERIFY(QDir().mkdir(path("Private")));
    writeFile(path("Private/secret"));
    QVERIFY(QFile::setPermissions(path("Private"), QFileDevice::Permissions()));
    show(path("Private"));
    QFile::setPermissions(path("Private"), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    QVERIFY(m_model->macItems().isEmpty());
    QCOMPARE(m_model->macError(),
             QStringLiteral("macOS is blocking Tessary from reading this folder. Give Tessary "
                            "\u201CFull Disk Access\u201D and reopen the app."));
}

void ComputerPaneTest::reloadClearsSelection()
{
    writeFile(path("a"));
    show(m_dir->path());
    m_model->setMacSelection({path("a")});
    m_model->reloadMac();
    QVERIFY(m_model->macSelection().isEmpty());
}

void ComputerPaneTest::openFileUsesDefaultApplication()
{
    writeFile(path("report.pdf"));
    show(m_dir->path());
    RecordingPlatform platform;
    RecordingLauncher *launcher = platform.launcher;
    m_model->openMac(path("report.pdf"));
    QCOMPARE(launcher->urls, QList<QUrl>{QUrl::fromLocalFile(path("report.pdf"))});
    QCOMPARE(m_model->macPath(), m_dir->path());

    m_model->openMac(path("missing.pdf"));
    QCOMPARE(launcher->urls.size(), 1);
}

void ComputerPaneTest::newFolderCreatesAndReportsClash()
{
    show(m_dir->path());
    m_model->newMacFolder("Photos");
    QVERIFY(QFileInfo(path("Photos")).isDir());
    QCOMPARE(names(m_model->macItems()), QStringList{"Photos"});
    QCOMPARE(m_model->message(), std::nullopt);

    writeFile(path("Photos/keep.txt"));
    m_model->newMacFolder("Photos");
    QCOMPARE(m_model->message(), QStringLiteral("Couldn't create \u201CPhotos\u201D: File exists."));
    QVERIFY(QFile::exists(path("Photos/keep.txt")));

    // A name with "/" is refused; no folders are made for it.
    m_model->setMessage(std::nullopt);
    m_model->newMacFolder("a/b");
    QCOMPARE(m_model->message(), QStringLiteral("\u201Ca/b\u201D can't be used as a name, because a name "
                                                "can't contain \u201C/\u201D."));
    QVERIFY(!QFile::exists(path("a")));
}

void ComputerPaneTest::newFolderOnReadOnlyMountIsRefused()
{
    QVERIFY(QDir().mkdir(path("ro")));
    QProcess mount;
    mount.start("mount", {"-t", "tmpfs", "-o", "ro,size=1m", "tessary-test", path("ro")});
    if (!mount.waitForFinished() || mount.exitStatus() != QProcess::NormalExit || mount.exitCode() != 0)
        QSKIP("Mounting a read-only tmpfs needs root and a system that allows mounts");
    const auto unmount = qScopeGuard([&] { QProcess::execute("umount", {path("ro")}); });

    show(path("ro"));
    QVERIFY(Drives::isReadOnly(path("ro/New")));
    m_model->newMacFolder("New");
    QCOMPARE(m_model->message(), Drives::explanation(path("ro"), m_model->drives()));
    QVERIFY(m_model->message()->contains("read-only"));
    QVERIFY(!QFile::exists(path("ro/New")));
}

void ComputerPaneTest::renameKeepsExistingTarget()
{
    writeFile(path("old.txt"), "old");
    writeFile(path("taken.txt"), "taken");
    show(m_dir->path());

    m_model->renameMac(path("old.txt"), "taken.txt");
    QCOMPARE(m_model->message(), QStringLiteral("Couldn't rename \u201Cold.txt\u201D: File exists."));
    QFile taken(path("taken.txt"));
    QVERIFY(taken.open(QIODevice::ReadOnly));
    QCOMPARE(taken.readAll(), QByteArray("taken"));

    m_model->setMessage(std::nullopt);
    m_model->renameMac(path("old.txt"), "new.txt");
    QCOMPARE(m_model->message(), std::nullopt);
    QCOMPARE(names(m_model->macItems()), (QStringList{"new.txt", "taken.txt"}));
}

void ComputerPaneTest::trashReportsEveryFailureKeepingLast()
{
    for (const char *name : {"one", "two", "three", "four"})
        writeFile(path(name));
    show(m_dir->path());
    m_model->setMacSelection({path("one")});

    RecordingPlatform platform;
    RecordingTrash *trash = platform.trash;
    trash->failures = {{path("two"), "Cannot trash " + path("two")}};
    QSignalSpy notices(m_model.get(), &AppModel::messageChanged);
    m_model->trashMac({path("one"), path("two"), path("three")});
    QCOMPARE(trash->paths, (QStringList{path("one"), path("two"), path("three")}));
    QCOMPARE(notices.count(), 1);
    QCOMPARE(m_model->message(), "Cannot trash " + path("two"));
    QVERIFY(m_model->macSelection().isEmpty());

    trash->failures = {{path("one"), "Cannot trash " + path("one")}, {path("three"), "Cannot trash " + path("three")}};
    m_model->trashMac({path("one"), path("two"), path("three")});
    QCOMPARE(m_model->message(), "Cannot trash " + path("three"));
}

void ComputerPaneTest::fullDiskAccessGoesToDesktop()
{
    show(m_dir->path());
    RecordingPlatform platform;
    RecordingAccessSettings *settings = platform.accessSettings;
    m_model->openFullDiskAccessSettings();
    QCOMPARE(settings->folders, QStringList{m_dir->path()});
}

int runComputerPaneTests(int argc, char **argv)
{
    ComputerPaneTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "ComputerPaneTest.moc"
