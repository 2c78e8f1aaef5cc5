// What the transfer engine keeps safe, against the real adb and emulated phones: a replace
// that is cancelled or fails keeps the original, a cancelled copy leaves nothing behind, a
// late cancel tells the truth, a move removes its source only after a whole copy, a phone
// folder that cannot be read fails its copy, a failed row shows adb's reason, batches run in
// the order the pane shows them, the model may go away mid-transfer, and the phone's free
// space is read again when the queue runs dry.
#include "Patience.h"
#include "PhoneFixture.h"
#include "RecordingPlatform.h"
#include "TransferWaits.h"

#include "bridge/ADB.h"
#include "model/AppModel.h"
#include "platform/Platform.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QMimeData>
#include <QTemporaryDir>
#include <QtTest>

#include <functional>
#include <memory>

#include <unistd.h>

using Case = TransferJob::State::Case;

namespace {

void writeFile(const QString &path, qint64 size, char fill = 'x')
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    const QByteArray block(1 << 20, fill);
    for (qint64 left = size; left > 0; left -= block.size())
        QVERIFY(file.write(block.constData(), std::min<qint64>(left, block.size())) > 0);
}

void writeText(const QString &path, const QByteArray &text)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(text);
}

void appendBytes(const QString &path, qint64 size)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::Append));
    file.write(QByteArray(size, 'z'));
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Everything below a folder, hidden entries included: "a/" for a folder, "a/b=SIZE" for a file.
QStringList treeOf(const QString &root)
{
    QStringList entries;
    QDirIterator it(root, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        const QString relative = path.mid(root.size() + 1);
        entries << (it.fileInfo().isDir() ? relative + QLatin1Char('/')
                                          : relative + QLatin1Char('=') + QString::number(it.fileInfo().size()));
    }
    entries.sort();
    return entries;
}

// Whether an adb client this process started is still running (the adb server it started
// for the phones is not one).
bool adbClientsRunning()
{
    const QString parent = QString::number(getpid());
    const QStringList pids = QDir(QStringLiteral("/proc")).entryList(QDir::Dirs);
    for (const QString &pid : pids) {
        if (pid.toInt() <= 0)
            continue;
        const QString stat = QString::fromUtf8(readFile(QStringLiteral("/proc/%1/stat").arg(pid)));
        // pid (comm) state ppid ...
        const QStringList fields = stat.mid(stat.lastIndexOf(QLatin1Char(')')) + 2).split(QLatin1Char(' '));
        if (fields.size() < 2 || fields.at(1) != parent)
            continue;
        const QByteArray command = readFile(QStringLiteral("/proc/%1/cmdline").arg(pid));
        const QList<QByteArray> args = command.split('\0');
        if (QFileInfo(QString::fromUtf8(args.value(0))).fileName() == QLatin1String("adb")
            && !command.contains("server"))
            return true;
    }
    return false;
}

} // namespace

class TransferSafetyTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void cleanupTestCase();

    void cancelKeepsTheDestinationAsItWas_data();
    void cancelKeepsTheDestinationAsItWas();
    void lateCancelTellsTheTruth_data();
    void lateCancelTellsTheTruth();
    void moveKeepsTheSourceOfAShortCopy_data();
    void moveKeepsTheSourceOfAShortCopy();
    void unreadablePhoneFolderFailsItsCopy_data();
    void unreadablePhoneFolderFailsItsCopy();
    void failedRowShowsTheReason_data();
    void failedRowShowsTheReason();
    void batchesRunInThePaneOrder_data();
    void batchesRunInThePaneOrder();
    void modelMayGoAwayMidTransfer_data();
    void modelMayGoAwayMidTransfer();
    void phoneFreeSpaceIsReadAgainWhenTheQueueRunsDry();

private:
    // Selects the phone, waits until the model sees it ready, and gives the test a fresh
    // phone folder and local folder.
    void usePhone(const QString &serial);
    QString onPhone(const QString &phonePath) const { return m_fixture->hostPath(m_serial, phonePath); }
    std::optional<TransferJob> job(const QString &name) const;
    Case stateOf(const QString &name) const;
    // Cancels the named row, once, as soon as `when` holds for it while it runs.
    void cancelWhen(const QString &name, std::function<bool(const TransferJob &)> when);

    std::unique_ptr<PhoneFixture> m_fixture;
    QTemporaryDir m_home;
    QString m_fast;
    QString m_slow;
    QString m_small;
    QString m_flaky;
    QString m_serial;
    QString m_phoneDir;
    std::unique_ptr<QTemporaryDir> m_local;
    AppModel *m_model = nullptr;
    int m_folderCount = 0;
};

void TransferSafetyTest::initTestCase()
{
    // The computer pane's Downloads and the trash live in a home of our own.
    qputenv("HOME", m_home.path().toUtf8());
    qputenv("XDG_DATA_HOME", (m_home.path() + "/.local/share").toUtf8());
    QDir(m_home.path()).mkpath(QStringLiteral("Downloads"));
    QDir(m_home.path()).mkpath(QStringLiteral(".local/share"));

    m_fixture = std::make_unique<PhoneFixture>();
    QVERIFY2(m_fixture->start(), qPrintable(m_fixture->errorString()));
    m_fast = m_fixture->addPhone();
    QVERIFY2(!m_fast.isEmpty(), qPrintable(m_fixture->errorString()));
    // 2 MB/s: a copy of a few megabytes lasts seconds, long enough to act on it mid-way.
    PhoneOptions slow;
    slow.model = QStringLiteral("SlowPhone");
    slow.throttleMBps = 2;
    slow.denyPaths = {QStringLiteral("/storage/emulated/0/Private"),
                      QStringLiteral("/storage/emulated/0/Shared/Locked")};
    m_slow = m_fixture->addPhone(slow);
    QVERIFY2(!m_slow.isEmpty(), qPrintable(m_fixture->errorString()));
    PhoneOptions small;
    small.model = QStringLiteral("SmallPhone");
    small.storageMb = 20;
    m_small = m_fixture->addPhone(small);
    QVERIFY2(!m_small.isEmpty(), qPrintable(m_fixture->errorString()));
    PhoneOptions flaky;
    flaky.model = QStringLiteral("FlakyPhone");
    flaky.dropAfterBytes = 3'000'000;
    m_flaky = m_fixture->addPhone(flaky);
    QVERIFY2(!m_flaky.isEmpty(), qPrintable(m_fixture->errorString()));
    ADB::shared().setCandidatesForTesting({m_fixture->adbPath()});

    Platform::instance().setNotifier(std::make_unique<RecordingNotifier>());
    Platform::instance().setAttention(std::make_unique<RecordingAttention>());
}

void TransferSafetyTest::init()
{
    m_model = new AppModel;
    usePhone(m_fast);
}

void TransferSafetyTest::cleanup()
{
    if (m_model) {
        m_model->cancelAllTransfers();
        QTRY_VERIFY_WITH_TIMEOUT(!m_model->workerRunning(), 120000);
        delete m_model;
        m_model = nullptr;
    }
    QTRY_VERIFY_WITH_TIMEOUT(!adbClientsRunning(), kPatienceMs);
}

void TransferSafetyTest::cleanupTestCase()
{
    Platform::instance().restoreDefaults();
    m_fixture.reset();
}

void TransferSafetyTest::usePhone(const QString &serial)
{
    m_serial = serial;
    QTRY_VERIFY_WITH_TIMEOUT(m_model->selectedSerial().has_value(), kPatienceMs);
    m_model->setSelectedSerial(serial);
    QTRY_VERIFY_WITH_TIMEOUT(m_model->readyDevice() && m_model->readyDevice()->serial == serial, kPatienceMs);
    m_phoneDir = QStringLiteral("/storage/emulated/0/Safety%1").arg(++m_folderCount);
    QVERIFY(QDir().mkpath(onPhone(m_phoneDir)));
    m_local = std::make_unique<QTemporaryDir>(m_home.path() + "/local-XXXXXX");
    QVERIFY(m_local->isValid());
}

std::optional<TransferJob> TransferSafetyTest::job(const QString &name) const
{
    for (const TransferJob &row : m_model->transfers()) {
        if (row.name == name)
            return row;
    }
    return std::nullopt;
}

Case TransferSafetyTest::stateOf(const QString &name) const
{
    const auto row = job(name);
    return row ? row->state.value() : Case::queued;
}

void TransferSafetyTest::cancelWhen(const QString &name, std::function<bool(const TransferJob &)> when)
{
    auto connection = std::make_shared<QMetaObject::Connection>();
    *connection = connect(m_model, &AppModel::transfersChanged, this, [this, name, when, connection] {
        const auto row = job(name);
        if (!row || row->state.value() != Case::running || !when(*row))
            return;
        disconnect(*connection);
        m_model->cancelTransfer(row->id);
    });
}

void TransferSafetyTest::cancelKeepsTheDestinationAsItWas_data()
{
    QTest::addColumn<bool>("toPhone");
    QTest::addColumn<bool>("folder");
    QTest::addColumn<bool>("replace");
    QTest::addColumn<QStringList>("copied"); // the destination's tree once the copy has run
    const QStringList file{"big.bin=12000000"};
    const QStringList folder{"tree/", "tree/big.bin=12000000", "tree/new.txt=3"};
    const QStringList merged{"tree/", "tree/big.bin=12000000", "tree/keep.txt=4", "tree/new.txt=3"};
    QTest::newRow("new file to the phone") << true << false << false << file;
    QTest::newRow("new file to the computer") << false << false << false << file;
    QTest::newRow("new folder to the phone") << true << true << false << folder;
    QTest::newRow("new folder to the computer") << false << true << false << folder;
    QTest::newRow("replacing a file on the phone") << true << false << true << file;
    QTest::newRow("replacing a file on the computer") << false << false << true << file;
    QTest::newRow("replacing a folder on the phone") << true << true << true << merged;
    QTest::newRow("replacing a folder on the computer") << false << true << true << merged;
}

void TransferSafetyTest::cancelKeepsTheDestinationAsItWas()
{
    QFETCH(bool, toPhone);
    QFETCH(bool, folder);
    QFETCH(bool, replace);
    QFETCH(QStringList, copied);
    usePhone(m_slow);
    const QString name = folder ? QStringLiteral("tree") : QStringLiteral("big.bin");
    // The item's path as the model sees it and on this computer's disk, and the same for
    // the folder it is copied into.
    const QString source = toPhone ? m_local->filePath("from/" + name) : m_phoneDir + "/from/" + name;
    const QString sourceHost = toPhone ? source : onPhone(source);
    const QString destDir = toPhone ? m_phoneDir + "/to" : m_local->filePath("to");
    const QString destHost = toPhone ? onPhone(destDir) : destDir;
    QVERIFY(QDir().mkpath(destHost));
    if (folder) {
        writeFile(sourceHost + "/big.bin", 12'000'000, 'n');
        writeText(sourceHost + "/new.txt", "new");
    } else {
        writeFile(sourceHost, 12'000'000, 'n');
    }
    if (replace && folder) {
        writeText(destHost + "/tree/big.bin", "original");
        writeText(destHost + "/tree/keep.txt", "keep");
    } else if (replace) {
        writeText(destHost + "/big.bin", "original");
    }
    const QStringList before = treeOf(destHost);

    cancelWhen(name, [](const TransferJob &row) { return row.progress > 0; });
    m_model->enqueue({source}, toPhone ? TransferJob::Kind::toAndroid : TransferJob::Kind::toMac, destDir, false);
    if (replace) {
        QTRY_VERIFY_WITH_TIMEOUT(m_model->conflict().has_value(), kPatienceMs);
        m_model->answerConflict(ConflictResolution::replace);
    }
    QVERIFY_TRANSFERS_FINISHED(*m_model, 1);
    QCOMPARE(stateOf(name), Case::cancelled);
    // Exactly as before: the original untouched, nothing of the copy beside it.
    QCOMPARE(treeOf(destHost), before);
    if (replace)
        QCOMPARE(readFile(destHost + (folder ? "/tree/big.bin" : "/big.bin")), QByteArray("original"));

    // Run to its end, the copy takes the destination's place.
    m_model->retryTransfer(job(name)->id);
    QVERIFY_TRANSFERS_FINISHED(*m_model, 1);
    QCOMPARE(stateOf(name), Case::done);
    QCOMPARE(treeOf(destHost), copied);
    QCOMPARE(readFile(destHost + (folder ? "/tree/big.bin" : "/big.bin")).left(4), QByteArray("nnnn"));
    QVERIFY(QFileInfo::exists(sourceHost));
}

void TransferSafetyTest::lateCancelTellsTheTruth_data()
{
    QTest::addColumn<bool>("toPhone");
    QTest::newRow("to the phone") << true;
    QTest::newRow("to the computer") << false;
}

void TransferSafetyTest::lateCancelTellsTheTruth()
{
    QFETCH(bool, toPhone);
    usePhone(m_slow);
    const QString source = toPhone ? m_local->filePath("late.bin") : m_phoneDir + "/from/late.bin";
    writeFile(toPhone ? source : onPhone(source), 6'000'000);
    const QString destDir = toPhone ? m_phoneDir + "/to" : m_local->filePath("to");
    const QString destHost = toPhone ? onPhone(destDir) : destDir;
    QVERIFY(QDir().mkpath(destHost));

    // adb says 100% once it has handed over the last byte; to the phone that is seconds
    // before the phone has them all.
    cancelWhen("late.bin", [](const TransferJob &row) { return row.progress >= 0.99; });
    m_model->enqueue({source}, toPhone ? TransferJob::Kind::toAndroid : TransferJob::Kind::toMac, destDir, false);
    QVERIFY_TRANSFERS_FINISHED(*m_model, 1);
    // Either the copy is gone and the row says so, or the row is done.
    const Case end = stateOf("late.bin");
    QVERIFY(end == Case::cancelled || end == Case::done);
    QCOMPARE(treeOf(destHost), end == Case::cancelled ? QStringList() : QStringList{"late.bin=6000000"});
}

void TransferSafetyTest::moveKeepsTheSourceOfAShortCopy_data()
{
    QTest::addColumn<bool>("toPhone");
    QTest::newRow("to the phone") << true;
    QTest::newRow("to the computer") << false;
}

void TransferSafetyTest::moveKeepsTheSourceOfAShortCopy()
{
    QFETCH(bool, toPhone);
    usePhone(m_slow);
    const QString source = toPhone ? m_local->filePath("pair") : m_phoneDir + "/pair";
    const QString sourceHost = toPhone ? source : onPhone(source);
    writeFile(sourceHost + "/a.bin", 6'000'000, 'a');
    writeFile(sourceHost + "/b.bin", 6'000'000, 'b');
    const QString destDir = toPhone ? m_phoneDir + "/to" : m_local->filePath("to");
    const QString destHost = toPhone ? onPhone(destDir) : destDir;
    QVERIFY(QDir().mkpath(destHost));

    m_model->enqueue({source}, toPhone ? TransferJob::Kind::toAndroid : TransferJob::Kind::toMac, destDir, true);
    // Once one file has arrived whole and the other is on its way, the source's copy of the
    // first one grows: adb will still say it copied everything.
    QString grown;
    const auto oneArrived = [&] {
        for (const QString &entry : QDir(destHost).entryList(QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot)) {
            const QString copy = destHost + "/" + entry;
            const qint64 a = QFileInfo(copy + "/a.bin").size();
            const qint64 b = QFileInfo(copy + "/b.bin").size();
            if (a == 6'000'000 && QFileInfo::exists(copy + "/b.bin") && b < 6'000'000)
                grown = "a.bin";
            else if (b == 6'000'000 && QFileInfo::exists(copy + "/a.bin") && a < 6'000'000)
                grown = "b.bin";
        }
        return !grown.isEmpty();
    };
    QTRY_VERIFY_WITH_TIMEOUT(oneArrived(), kPatienceMs);
    appendBytes(sourceHost + "/" + grown, 1000);
    QVERIFY_TRANSFERS_FINISHED(*m_model, 1);

    QCOMPARE(stateOf("pair"), Case::failed);
    QCOMPARE(job("pair")->state.message(), QStringLiteral("The copy of “pair” was incomplete, so the original was kept."));
    const QStringList source6{"a.bin=" + QString::number(grown == "a.bin" ? 6'001'000 : 6'000'000),
                              "b.bin=" + QString::number(grown == "b.bin" ? 6'001'000 : 6'000'000)};
    QCOMPARE(treeOf(sourceHost), source6);
    QCOMPARE(treeOf(destHost), QStringList());
}

void TransferSafetyTest::unreadablePhoneFolderFailsItsCopy_data()
{
    QTest::addColumn<QString>("source");
    QTest::addColumn<QString>("unreadable");
    QTest::addColumn<bool>("move");
    QTest::newRow("the folder itself") << "/storage/emulated/0/Private" << "/storage/emulated/0/Private" << false;
    QTest::newRow("a folder inside") << "/storage/emulated/0/Shared" << "/storage/emulated/0/Shared/Locked" << false;
    QTest::newRow("a folder inside, moved") << "/storage/emulated/0/Shared" << "/storage/emulated/0/Shared/Locked" << true;
}

void TransferSafetyTest::unreadablePhoneFolderFailsItsCopy()
{
    QFETCH(QString, source);
    QFETCH(QString, unreadable);
    QFETCH(bool, move);
    usePhone(m_slow);
    const QString sourceHost = onPhone(source);
    QVERIFY(QDir(sourceHost).removeRecursively());
    writeText(sourceHost + "/a.txt", "a");
    writeText(sourceHost + "/sub/b.txt", "bb");
    writeText(onPhone(unreadable) + "/secret.txt", "secret");
    const QStringList before = treeOf(sourceHost);

    m_model->enqueue({source}, TransferJob::Kind::toMac, m_local->path(), move);
    const QString name = QFileInfo(source).fileName();
    QVERIFY_TRANSFERS_FINISHED(*m_model, 1);
    QCOMPARE(stateOf(name), Case::failed);
    QCOMPARE(job(name)->state.message(), QStringLiteral("Couldn't read the phone folder “%1”.").arg(unreadable));
    QCOMPARE(treeOf(m_local->path()), QStringList());
    QCOMPARE(treeOf(sourceHost), before);
}

void TransferSafetyTest::failedRowShowsTheReason_data()
{
    QTest::addColumn<QString>("phone");
    QTest::addColumn<qint64>("size");
    QTest::addColumn<QString>("reason");
    QTest::newRow("the phone is full") << "small" << qint64(30'000'000) << "No space left on device";
    QTest::newRow("the link drops") << "flaky" << qint64(10'000'000) << "couldn't read from device";
}

void TransferSafetyTest::failedRowShowsTheReason()
{
    QFETCH(QString, phone);
    QFETCH(qint64, size);
    QFETCH(QString, reason);
    usePhone(phone == "small" ? m_small : m_flaky);
    // A replace that fails keeps the original too.
    writeText(onPhone(m_phoneDir + "/big.bin"), "original");
    const QStringList before = treeOf(onPhone(m_phoneDir));
    const QString big = m_local->filePath("big.bin");
    writeFile(big, size);
    m_model->enqueue({big}, TransferJob::Kind::toAndroid, m_phoneDir, false);
    QTRY_VERIFY_WITH_TIMEOUT(m_model->conflict().has_value(), kPatienceMs);
    m_model->answerConflict(ConflictResolution::replace);
    QVERIFY_TRANSFERS_FINISHED(*m_model, 1);

    QCOMPARE(stateOf("big.bin"), Case::failed);
    const QString message = job("big.bin")->state.message();
    QVERIFY2(message.contains(reason), qPrintable(message));
    QVERIFY2(message.startsWith("adb: error: failed to copy"), qPrintable(message));
    QVERIFY2(message.contains(m_phoneDir + "/big.bin'"), qPrintable(message));
    // A phone that lost its link drops the unfinished file when it notices.
    QTRY_COMPARE_WITH_TIMEOUT(treeOf(onPhone(m_phoneDir)), before, kPatienceMs);
    QCOMPARE(readFile(onPhone(m_phoneDir + "/big.bin")), QByteArray("original"));
}

void TransferSafetyTest::batchesRunInThePaneOrder_data()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("copy to the phone") << "copy up";
    QTest::newRow("move to the phone") << "move up";
    QTest::newRow("drag to the phone") << "drag up";
    QTest::newRow("copy from the phone") << "copy down";
    QTest::newRow("move from the phone") << "move down";
    QTest::newRow("drag from the phone") << "drag down";
}

void TransferSafetyTest::batchesRunInThePaneOrder()
{
    QFETCH(QString, how);
    const bool up = how.endsWith("up");
    // The computer pane shows photo_1 … photo_25, the phone pane shot_1 … shot_25, in the
    // panes' name order (photo_2 before photo_10).
    const QString pictures = m_local->filePath("pictures");
    const QString shots = m_phoneDir + "/shots";
    for (int i = 1; i <= 25; ++i) {
        writeText(QStringLiteral("%1/photo_%2.jpg").arg(pictures).arg(i), "p");
        writeText(onPhone(QStringLiteral("%1/shot_%2.jpg").arg(shots).arg(i)), "s");
    }
    m_model->setMacPath(pictures);
    m_model->reloadMac();
    QCOMPARE(m_model->macItems().size(), 25);
    m_model->goAndroid(shots);
    QTRY_COMPARE_WITH_TIMEOUT(m_model->androidItems().size(), 25, kPatienceMs);

    const QList<FileEntry> rows = up ? m_model->macItems() : m_model->androidItems();
    QStringList paneOrder;
    QSet<QString> all;
    for (const FileEntry &row : rows) {
        paneOrder << row.name;
        all.insert(row.path);
    }
    if (up)
        m_model->setMacSelection(all);
    else
        m_model->setAndroidSelection(all);
    if (how.startsWith("copy")) {
        up ? m_model->sendSelectedToAndroid() : m_model->getSelectedFromAndroid();
    } else if (how.startsWith("move")) {
        m_model->requestMove(up);
        QVERIFY(m_model->moveRequest().has_value());
        m_model->confirmMove();
    } else {
        std::unique_ptr<QMimeData> drag(up ? m_model->macProvider(rows.last(), all)
                                           : m_model->androidProvider(rows.last(), all));
        QVERIFY(m_model->handleDrop(drag.get(), up ? DragSide::android : DragSide::mac));
    }
    QVERIFY_TRANSFERS_FINISHED(*m_model, paneOrder.size());

    // The list is newest first: read from the bottom, it is the order the batch ran in.
    QStringList ran;
    for (const TransferJob &row : m_model->transfers())
        ran.prepend(row.name);
    QCOMPARE(ran, paneOrder);
    for (const QString &name : std::as_const(paneOrder))
        QCOMPARE(stateOf(name), Case::done);
}

void TransferSafetyTest::modelMayGoAwayMidTransfer_data()
{
    QTest::addColumn<bool>("whileMeasured");
    QTest::newRow("while the copy is measured") << true;
    QTest::newRow("while the phone's names are read") << false;
}

void TransferSafetyTest::modelMayGoAwayMidTransfer()
{
    QFETCH(bool, whileMeasured);
    usePhone(m_slow);
    if (whileMeasured) {
        const QString remote = m_phoneDir + "/measured.bin";
        writeFile(onPhone(remote), 8'000'000);
        m_model->enqueue({remote}, TransferJob::Kind::toMac, m_local->path(), false);
        QTRY_VERIFY_WITH_TIMEOUT(job("measured.bin") && !job("measured.bin")->detail.isEmpty(), kPatienceMs);
    } else {
        const QString local = m_local->filePath("named.txt");
        writeText(local, "n");
        m_model->enqueue({local}, TransferJob::Kind::toAndroid, m_phoneDir, false);
    }
    delete m_model;
    m_model = nullptr;
    // What was running goes on to its end without the model and touches nothing of it.
    if (whileMeasured)
        QTRY_COMPARE_WITH_TIMEOUT(QFileInfo(m_local->filePath("measured.bin")).size(), 8'000'000, kPatienceMs);
    QTRY_VERIFY_WITH_TIMEOUT(!adbClientsRunning(), kPatienceMs);
    QCoreApplication::processEvents();
}

void TransferSafetyTest::phoneFreeSpaceIsReadAgainWhenTheQueueRunsDry()
{
    usePhone(m_small);
    QTRY_VERIFY_WITH_TIMEOUT(!m_model->storages().isEmpty(), kPatienceMs);
    const qint64 freeBefore = m_model->storages().first().free;
    const QString file = m_local->filePath("five.bin");
    writeFile(file, 5'000'000);
    m_model->enqueue({file}, TransferJob::Kind::toAndroid, m_phoneDir, false);
    QVERIFY_TRANSFERS_FINISHED(*m_model, 1);
    QCOMPARE(stateOf("five.bin"), Case::done);
    const qint64 freeAfter = m_model->storages().first().free;
    QVERIFY2(freeAfter <= freeBefore - 4'500'000,
             qPrintable(QStringLiteral("%1 then %2").arg(freeBefore).arg(freeAfter)));
}

QTEST_GUILESS_MAIN(TransferSafetyTest)
#include "tst_transfersafety.moc"
