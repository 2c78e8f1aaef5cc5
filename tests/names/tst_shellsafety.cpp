// Files and folders named like shell commands go through every phone operation (list, the
// name list, sizes, the folder walk, a new folder inside, copies both ways, rename, delete):
// no command in a name ever runs, and nothing but the items operated on changes.
#include "ModelSteps.h"
#include "Patience.h"
#include "PhoneFixture.h"
#include "PhoneTree.h"
#include "RecordingPlatform.h"
#include "TransferWaits.h"

#include "bridge/ADB.h"
#include "model/AppModel.h"
#include "model/transfer/Naming.h"

#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

namespace {

const QString storage = QStringLiteral("/storage/emulated/0");
// What the commands below would create or remove if the phone's shell ran one.
const QString marker = QStringLiteral("/sdcard/PWNED");
const QString canary = QStringLiteral("/sdcard/x/keep");

bool writeFile(const QString &path, const QByteArray &content)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(content) == content.size();
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(unreadable)");
}

QStringList sorted(QStringList names)
{
    names.sort();
    return names;
}

QStringList namesOf(const QList<FileEntry> &rows)
{
    QStringList names;
    for (const FileEntry &row : rows)
        names << row.name;
    return sorted(names);
}

// Runs the event loop until the bridge's task has its value.
template<typename T>
T result(QCoro::Task<T> &&task)
{
    std::optional<T> value;
    QEventLoop loop;
    const auto runner = [&](QCoro::Task<T> awaited) -> QCoro::Task<> {
        value.emplace(co_await std::move(awaited));
        loop.quit();
    };
    const QCoro::Task<> running = runner(std::move(task));
    if (!value)
        loop.exec();
    return *value;
}

// The tree below the phone's storage without the folders a row works in.
TreeState outside(const TreeState &tree, const QList<QByteArray> &folders)
{
    TreeState rest;
    for (auto it = tree.cbegin(); it != tree.cend(); ++it) {
        const bool inside = std::any_of(folders.cbegin(), folders.cend(), [&](const QByteArray &folder) {
            return it.key() == folder || it.key().startsWith(folder + '/');
        });
        if (!inside)
            rest.insert(it.key(), it.value());
    }
    return rest;
}

} // namespace

class ShellSafetyTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void cleanupTestCase();

    void everyOperation_data();
    void everyOperation();

private:
    QString onPhone(const QString &phonePath) const { return m_phones->hostPath(m_serial, phonePath); }
    QByteArray relative(const QString &phonePath) const
    {
        return QFile::encodeName(onPhone(phonePath)).mid(QFile::encodeName(m_phones->rootOf(m_serial)).size());
    }

    QTemporaryDir m_home;
    std::unique_ptr<RecordingPlatform> m_platform;
    std::unique_ptr<PhoneFixture> m_phones;
    QString m_serial;
    AppModel *m_model = nullptr;
    int m_rows = 0;
};

void ShellSafetyTest::initTestCase()
{
    QString reason;
    if (!PhoneFixture::isSupported(&reason))
        QSKIP(qPrintable(QStringLiteral("emulated phones cannot run here: ") + reason));
    qputenv("HOME", m_home.path().toUtf8());
    qputenv("XDG_DATA_HOME", (m_home.path() + "/.local/share").toUtf8());
    QVERIFY(QDir(m_home.path()).mkpath(QStringLiteral("Downloads")));
    m_platform = std::make_unique<RecordingPlatform>();
    m_phones = std::make_unique<PhoneFixture>();
    QVERIFY2(m_phones->start(), qPrintable(m_phones->errorString()));
    m_serial = m_phones->addPhone();
    QVERIFY2(!m_serial.isEmpty(), qPrintable(m_phones->errorString()));
    ADB::shared().setCandidatesForTesting({m_phones->adbPath()});
    QVERIFY(writeFile(onPhone(canary), "keep"));

    // The commands do work when the phone's shell runs them.
    const AdbRun run = m_phones->adb({QStringLiteral("-s"), m_serial, QStringLiteral("shell"),
                                      QStringLiteral("echo $(touch $(printf '\\057sdcard\\057PWNED'))")});
    QCOMPARE(run.status, 0);
    QVERIFY(QFile::remove(onPhone(marker)));
}

void ShellSafetyTest::init()
{
    m_model = new AppModel;
    QVERIFY(usePhone(*m_model, m_serial));
}

void ShellSafetyTest::cleanup()
{
    m_model->cancelAllTransfers();
    QTRY_VERIFY_WITH_TIMEOUT(!m_model->workerRunning(), kPatienceMs);
    delete m_model;
    m_model = nullptr;
}

void ShellSafetyTest::cleanupTestCase()
{
    m_phones.reset();
    m_platform.reset();
}

void ShellSafetyTest::everyOperation_data()
{
    // A name cannot hold "/", so the commands spell their paths with printf.
    QTest::addColumn<QString>("name");
    QTest::newRow("command substitution") << QStringLiteral("$(touch $(printf '\\057sdcard\\057PWNED'))");
    QTest::newRow("single quote breakout")
        << QStringLiteral("'; rm -rf $(printf '\\057sdcard\\057x'); touch $(printf '\\057sdcard\\057PWNED'); '");
    QTest::newRow("backticks") << QStringLiteral("`touch $(printf '\\057sdcard\\057PWNED')`");
    QTest::newRow("double quote breakout") << QStringLiteral("\"; touch $(printf '\\057sdcard\\057PWNED'); \"");
    QTest::newRow("chained") << QStringLiteral("x' && touch $(printf '\\057sdcard\\057PWNED') && echo '");
    QTest::newRow("line break") << QStringLiteral("x\ntouch $(printf '\\057sdcard\\057PWNED')\n");
    QTest::newRow("glob") << QStringLiteral("*");
}

void ShellSafetyTest::everyOperation()
{
    QFETCH(QString, name);
    const QString folder = storage + QStringLiteral("/Shell Safety %1").arg(++m_rows);
    const QString back = folder + QStringLiteral(" back");
    const QString file = folder + QLatin1Char('/') + name;
    const QString dirName = name + QStringLiteral(".d");
    const QString dir = folder + QLatin1Char('/') + dirName;
    const QByteArray content = "a file named like a command";
    QVERIFY(writeFile(onPhone(file), content));
    QVERIFY(writeFile(onPhone(dir + QStringLiteral("/inside.txt")), "inside"));
    QVERIFY(writeFile(onPhone(folder + QStringLiteral("/sibling.txt")), "sibling"));
    QVERIFY(QDir().mkpath(onPhone(back)));
    QTemporaryDir local(m_home.path() + QStringLiteral("/local-XXXXXX"));
    QVERIFY(local.isValid());
    const QList<QByteArray> workFolders{relative(folder), relative(back)};
    const TreeState before = readTree(m_phones->rootOf(m_serial));

    // Listing, the name list, sizes and kinds, the folder walk.
    const QStringList listed = sorted({name, dirName, QStringLiteral("sibling.txt")});
    QVERIFY2(showPhoneFolder(*m_model, folder, [&](const QList<FileEntry> &rows) { return namesOf(rows) == listed; }),
             qPrintable(namesOf(m_model->androidItems()).join(QStringLiteral(" | "))));
    ADB &adb = ADB::shared();
    const QSet<QString> existing = result(adb.existingNames(m_serial, folder));
    QCOMPARE(sorted(existing.values()), listed);
    QCOMPARE(result(adb.remoteSize(m_serial, file, false)), qint64(content.size()));
    QVERIFY(result(adb.remoteSize(m_serial, dir, true)) > 0);
    QVERIFY(result(adb.remoteIsDirectory(m_serial, dir)));
    QVERIFY(!result(adb.remoteIsDirectory(m_serial, file)));
    QStringList walked;
    for (const FileEntry &entry : result(adb.allFiles(m_serial, folder)))
        walked << entry.path;
    QCOMPARE(sorted(walked), sorted({file, dir + QStringLiteral("/inside.txt"), folder + QStringLiteral("/sibling.txt")}));

    // A new folder inside the folder, named the same way.
    QVERIFY(showPhoneFolder(*m_model, dir, [](const QList<FileEntry> &rows) { return rows.size() == 1; }));
    m_model->newAndroidFolder(name);
    QVERIFY2(waitForPhoneRows(*m_model, [&](const QList<FileEntry> &rows) {
                 return onlyRow(rows, name) && onlyRow(rows, name)->isDirectory;
             }),
             qPrintable(m_model->message().value_or(QString())));

    // Copies to the computer and back.
    m_model->clearFinishedTransfers();
    m_model->enqueue({file, dir}, TransferJob::Kind::toMac, local.path(), false);
    QVERIFY_TRANSFERS_FINISHED(*m_model, 2);
    for (const QString &copied : {name, dirName}) {
        const std::optional<TransferJob> job = onlyJob(*m_model, copied);
        QVERIFY(job);
        QVERIFY2(job->state.value() == TransferJob::State::Case::done, qPrintable(job->state.message()));
    }
    QCOMPARE(readFile(local.filePath(name)), content);
    QCOMPARE(readFile(local.filePath(dirName + QStringLiteral("/inside.txt"))), QByteArray("inside"));
    QVERIFY(QFileInfo(local.filePath(dirName + QLatin1Char('/') + name)).isDir());
    m_model->clearFinishedTransfers();
    m_model->enqueue({local.filePath(name), local.filePath(dirName)}, TransferJob::Kind::toAndroid, back, false);
    QVERIFY_TRANSFERS_FINISHED(*m_model, 2);
    for (const QString &copied : {androidSafeName(name), androidSafeName(dirName)}) {
        const std::optional<TransferJob> job = onlyJob(*m_model, copied);
        QVERIFY(job);
        QVERIFY2(job->state.value() == TransferJob::State::Case::done, qPrintable(job->state.message()));
    }
    QCOMPARE(readFile(onPhone(back + QLatin1Char('/') + androidSafeName(name))), content);
    QCOMPARE(readFile(onPhone(back + QLatin1Char('/') + androidSafeName(dirName) + QStringLiteral("/inside.txt"))),
             QByteArray("inside"));

    // Renamed, then deleted.
    QVERIFY(showPhoneFolder(*m_model, folder, [&](const QList<FileEntry> &rows) { return namesOf(rows) == listed; }));
    const QString renamedFile = name + QStringLiteral(" renamed");
    const QString renamedDir = dirName + QStringLiteral(" renamed");
    m_model->renameAndroid(file, renamedFile);
    m_model->renameAndroid(dir, renamedDir);
    QVERIFY2(waitForPhoneRows(*m_model, [&](const QList<FileEntry> &rows) {
                 return namesOf(rows) == sorted({renamedFile, renamedDir, QStringLiteral("sibling.txt")});
             }),
             qPrintable(m_model->message().value_or(namesOf(m_model->androidItems()).join(QStringLiteral(" | ")))));
    m_model->deleteAndroid({folder + QLatin1Char('/') + renamedFile, folder + QLatin1Char('/') + renamedDir});
    QVERIFY2(waitForPhoneRows(*m_model, [&](const QList<FileEntry> &rows) {
                 return namesOf(rows) == QStringList{QStringLiteral("sibling.txt")};
             }),
             qPrintable(m_model->message().value_or(QString())));

    // No command ran: the marker was never made, the canary is still there, and outside
    // the two folders of this row nothing changed.
    QVERIFY(!QFileInfo::exists(onPhone(marker)));
    QCOMPARE(readFile(onPhone(canary)), QByteArray("keep"));
    const TreeState after = readTree(m_phones->rootOf(m_serial));
    QVERIFY2(outside(after, workFolders) == outside(before, workFolders),
             qPrintable(describeChanges(outside(before, workFolders), outside(after, workFolders))));
    QCOMPARE(readFile(onPhone(folder + QStringLiteral("/sibling.txt"))), QByteArray("sibling"));
}

QTEST_GUILESS_MAIN(ShellSafetyTest)
#include "tst_shellsafety.moc"
