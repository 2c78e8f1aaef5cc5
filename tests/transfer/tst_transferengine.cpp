// The transfer engine on the model against the real adb and emulated phones: enqueue with
// the name-clash question, the worker, moves, cancel, retry, progress and the list model.
#include "PhoneFixture.h"
#include "Patience.h"
#include "RecordingPlatform.h"
#include "TransferWaits.h"

#include "bridge/ADB.h"
#include "model/AppModel.h"
#include "model/transfer/TransferListModel.h"
#include "platform/Platform.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

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

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class TransferEngineTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void cleanupTestCase();

    void twoItemsRunInOrder();
    void aBatchEndsInQueueOrder();
    void folderPushAndPulls();
    void conflictAnswers_data();
    void conflictAnswers();
    void androidSafeNamesAndBatchNumbering();
    void secondClashWhileAskingIsCancelled();
    void closingThePromptCancelsOnce();
    void refusalsWithoutPhone();
    void cancelQueuedAndRunning();
    void cancelAllPostsNothing();
    void retry();
    void movesRemoveSourceOnlyAfterCopy();
    void failedCopiesKeepTheSource();
    void phoneLostMidQueue();
    void longPushMovesTheBarManyTimes();

private:
    // Selects the phone, waits until the model sees it ready, and gives the test a fresh
    // phone folder and local folder.
    void usePhone(const QString &serial);
    QString onPhone(const QString &phonePath) const { return m_fixture->hostPath(m_serial, phonePath); }
    std::optional<TransferJob> job(const QString &name) const;
    Case stateOf(const QString &name) const;
    QStringList jobNames() const;

    std::unique_ptr<PhoneFixture> m_fixture;
    QTemporaryDir m_home;
    QString m_fast;
    QString m_slow;
    QString m_serial;
    QString m_phoneDir;
    std::unique_ptr<QTemporaryDir> m_local;
    AppModel *m_model = nullptr;
    RecordingNotifier *m_notifier = nullptr;
    RecordingAttention *m_attention = nullptr;
    int m_folderCount = 0;
};

void TransferEngineTest::initTestCase()
{
    // The computer pane's Downloads and the trash live in a home of our own.
    qputenv("HOME", m_home.path().toUtf8());
    qputenv("XDG_DATA_HOME", (m_home.path() + "/.local/share").toUtf8());
    QDir(m_home.path()).mkpath(QStringLiteral("Downloads"));
    // The trash is made inside the data folder, which must exist: without it the file would
    // land in ./files of the working folder (or, where that is not writable, not move at all).
    QDir(m_home.path()).mkpath(QStringLiteral(".local/share"));

    m_fixture = std::make_unique<PhoneFixture>();
    QVERIFY2(m_fixture->start(), qPrintable(m_fixture->errorString()));
    m_fast = m_fixture->addPhone();
    QVERIFY2(!m_fast.isEmpty(), qPrintable(m_fixture->errorString()));
    PhoneOptions slow;
    slow.model = QStringLiteral("SlowPhone");
    slow.throttleMBps = 4;
    slow.denyPaths = {QStringLiteral("/storage/emulated/0/Private")};
    m_slow = m_fixture->addPhone(slow);
    QVERIFY2(!m_slow.isEmpty(), qPrintable(m_fixture->errorString()));
    ADB::shared().setCandidatesForTesting({m_fixture->adbPath()});

    auto notifier = std::make_unique<RecordingNotifier>();
    m_notifier = notifier.get();
    Platform::instance().setNotifier(std::move(notifier));
    auto attention = std::make_unique<RecordingAttention>();
    m_attention = attention.get();
    Platform::instance().setAttention(std::move(attention));
}

void TransferEngineTest::init()
{
    m_model = new AppModel;
    m_notifier->posted.clear();
    m_attention->requests = 0;
    usePhone(m_fast);
}

void TransferEngineTest::cleanup()
{
    m_model->cancelAllTransfers();
    QTRY_VERIFY_WITH_TIMEOUT(!m_model->workerRunning(), 60000);
    delete m_model;
    m_model = nullptr;
}

void TransferEngineTest::cleanupTestCase()
{
    Platform::instance().restoreDefaults();
    m_fixture.reset();
}

void TransferEngineTest::usePhone(const QString &serial)
{
    m_serial = serial;
    QTRY_VERIFY_WITH_TIMEOUT(m_model->selectedSerial().has_value(), kPatienceMs);
    m_model->setSelectedSerial(serial);
    QTRY_VERIFY_WITH_TIMEOUT(m_model->readyDevice() && m_model->readyDevice()->serial == serial, kPatienceMs);
    m_phoneDir = QStringLiteral("/storage/emulated/0/Test%1").arg(++m_folderCount);
    QVERIFY(QDir().mkpath(onPhone(m_phoneDir)));
    m_local = std::make_unique<QTemporaryDir>(m_home.path() + "/local-XXXXXX");
    QVERIFY(m_local->isValid());
}

std::optional<TransferJob> TransferEngineTest::job(const QString &name) const
{
    for (const TransferJob &row : m_model->transfers()) {
        if (row.name == name)
            return row;
    }
    return std::nullopt;
}

Case TransferEngineTest::stateOf(const QString &name) const
{
    const auto row = job(name);
    return row ? row->state.value() : Case::queued;
}

QStringList TransferEngineTest::jobNames() const
{
    QStringList names;
    for (const TransferJob &row : m_model->transfers())
        names << row.name;
    return names;
}

void TransferEngineTest::twoItemsRunInOrder()
{
    usePhone(m_slow);
    const QString a = m_local->filePath("a.bin");
    const QString b = m_local->filePath("b.bin");
    writeFile(a, 3'000'000, 'a');
    writeFile(b, 1'000'000, 'b');

    // Every change of the list is looked at as it happens: whenever b runs, a must be
    // finished, and while a runs b waits as the only queued item.
    bool overlapped = false;
    bool bWaitedForA = false;
    connect(m_model, &AppModel::transfersChanged, this, [&] {
        if (stateOf("b.bin") == Case::running && stateOf("a.bin") != Case::done)
            overlapped = true;
        if (stateOf("a.bin") == Case::running && stateOf("b.bin") == Case::queued && m_model->workerRunning()
            && m_model->queue().size() == 1 && m_model->queue().first().spec.source == b
            && m_model->hasActiveTransfers())
            bWaitedForA = true;
    });
    m_model->enqueue({a, b}, TransferJob::Kind::toAndroid, m_phoneDir, false);
    QVERIFY_TRANSFERS_FINISHED(*m_model, 2);

    QCOMPARE(jobNames(), (QStringList{"b.bin", "a.bin"}));
    QVERIFY(!overlapped);
    QVERIFY(bWaitedForA);
    QCOMPARE(stateOf("a.bin"), Case::done);
    QCOMPARE(stateOf("b.bin"), Case::done);
    QCOMPARE(job("a.bin")->progress, 1.0);
    QCOMPARE(QFileInfo(onPhone(m_phoneDir + "/a.bin")).size(), 3'000'000);
    QCOMPARE(QFileInfo(onPhone(m_phoneDir + "/b.bin")).size(), 1'000'000);
    QVERIFY(m_model->tokens().isEmpty());
    QVERIFY(!m_model->hasActiveTransfers());
    // The application is not in front: one attention request, one summary.
    QCOMPARE(m_notifier->bodies(), QStringList{"2 transfers finished."});
    QCOMPARE(m_attention->requests, 1);

    m_model->clearFinishedTransfers();
    QVERIFY(m_model->transfers().isEmpty());
}

// Small copies take their names beside the next push; the rows still end one after the
// other in the order of the queue, each copy under its own name and nothing hidden left.
void TransferEngineTest::aBatchEndsInQueueOrder()
{
    QStringList paths;
    QStringList names;
    for (int i = 0; i < 12; ++i) {
        // Names this long fill a shell run of renames before the batch ends.
        names << QStringLiteral("photo-%1-from-the-long-weekend-at-the-coast-with-friends-and-family.jpg").arg(i, 2, 10, QLatin1Char('0'));
        paths << m_local->filePath(names.last());
        writeFile(paths.last(), 20'000 + i, char('a' + i));
    }
    const auto ended = [this](const QString &name) {
        const Case state = stateOf(name);
        return state == Case::done || state == Case::failed || state == Case::cancelled;
    };
    QString outOfOrder;
    connect(m_model, &AppModel::transfersChanged, this, [&] {
        for (qsizetype i = 1; i < names.size() && outOfOrder.isEmpty(); ++i) {
            if (stateOf(names.at(i)) != Case::queued && !ended(names.at(i - 1)))
                outOfOrder = names.at(i) + QStringLiteral(" began before ") + names.at(i - 1) + QStringLiteral(" ended");
        }
    });
    m_model->enqueue(paths, TransferJob::Kind::toAndroid, m_phoneDir, false);
    QVERIFY_TRANSFERS_FINISHED(*m_model, names.size());

    QVERIFY2(outOfOrder.isEmpty(), qPrintable(outOfOrder));
    for (qsizetype i = 0; i < names.size(); ++i) {
        QCOMPARE(stateOf(names.at(i)), Case::done);
        QCOMPARE(readFile(onPhone(m_phoneDir + "/" + names.at(i))), readFile(paths.at(i)));
    }
    QCOMPARE(QDir(onPhone(m_phoneDir)).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot), names);
    QVERIFY(m_model->tokens().isEmpty());
    QCOMPARE(m_notifier->bodies(), QStringList{"12 transfers finished."});
}

void TransferEngineTest::folderPushAndPulls()
{
    const QString tree = m_local->filePath("tree");
    writeFile(tree + "/a.txt", 10, 'a');
    writeFile(tree + "/sub/b.bin", 200'000, 'b');
    m_model->enqueue({tree}, TransferJob::Kind::toAndroid, m_phoneDir, false);
    QVERIFY_TRANSFERS_FINISHED(*m_model, 1);
    QCOMPARE(stateOf("tree"), Case::done);
    QCOMPARE(QFileInfo(onPhone(m_phoneDir + "/tree/sub/b.bin")).size(), 200'000);
    QCOMPARE(readFile(onPhone(m_phoneDir + "/tree/a.txt")), QByteArray(10, 'a'));

    // A pulled folder lands inside the local folder under its own name.
    const QString back = m_local->filePath("back");
    QVERIFY(QDir().mkpath(back));
    m_model->enqueue({m_phoneDir + "/tree"}, TransferJob::Kind::toMac, back, false);
    QVERIFY_TRANSFERS_FINISHED(*m_model, 2);
    QCOMPARE(QFileInfo(back + "/tree/sub/b.bin").size(), 200'000);

    // A clash answered with "keep both" pulls to that exact file, not into a folder of it.
    writeFile(onPhone(m_phoneDir + "/x.txt"), 5, 'n');
    writeFile(back + "/x.txt", 3, 'o');
    m_model->enqueue({m_phoneDir + "/x.txt"}, TransferJob::Kind::toMac, back, false);
    QTRY_VERIFY_WITH_TIMEOUT(m_model->conflict().has_value(), kPatienceMs);
    QVERIFY(!m_model->conflict()->toPhone);
    m_model->answerConflict(ConflictResolution::keepBoth);
    QVERIFY_TRANSFERS_FINISHED(*m_model, 3);
    QCOMPARE(job("x 2.txt")->spec->targetName, std::optional<QString>("x 2.txt"));
    QCOMPARE(readFile(back + "/x 2.txt"), QByteArray(5, 'n'));
    QCOMPARE(readFile(back + "/x.txt"), QByteArray(3, 'o'));
    QVERIFY(!QFileInfo(back + "/x 2.txt/x.txt").exists());
}

void TransferEngineTest::conflictAnswers_data()
{
    QTest::addColumn<ConflictResolution>("answer");
    QTest::addColumn<QStringList>("jobs"); // newest first
    QTest::addColumn<QByteArray>("two");   // two.txt on the phone afterwards
    QTest::addColumn<bool>("keptBoth");
    QTest::newRow("skip") << ConflictResolution::skip << QStringList{"three.txt", "one.txt"}
                          << QByteArray("old") << false;
    QTest::newRow("keep both") << ConflictResolution::keepBoth
                               << QStringList{"three.txt", "two 2.txt", "one.txt"}
                               << QByteArray("old") << true;
    QTest::newRow("replace") << ConflictResolution::replace
                             << QStringList{"three.txt", "two.txt", "one.txt"}
                             << QByteArray("new two") << false;
    QTest::newRow("cancel") << ConflictResolution::cancel << QStringList{} << QByteArray("old") << false;
}

void TransferEngineTest::conflictAnswers()
{
    QFETCH(ConflictResolution, answer);
    QFETCH(QStringList, jobs);
    QFETCH(QByteArray, two);
    QFETCH(bool, keptBoth);

    QStringList sources;
    for (const char *name : {"one.txt", "two.txt", "three.txt"}) {
        sources << m_local->filePath(name);
        QFile file(sources.last());
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(QByteArray("new ") + QByteArray(name).chopped(4));
    }
    QFile existing(onPhone(m_phoneDir + "/two.txt"));
    QVERIFY(existing.open(QIODevice::WriteOnly));
    existing.write("old");
    existing.close();

    QSignalSpy asked(m_model, &AppModel::conflictChanged);
    m_model->enqueue(sources, TransferJob::Kind::toAndroid, m_phoneDir, false);
    QTRY_VERIFY_WITH_TIMEOUT(m_model->conflict().has_value(), kPatienceMs);
    QCOMPARE(m_model->conflict()->names, QStringList{"two.txt"});
    QVERIFY(m_model->conflict()->toPhone);
    QVERIFY(m_model->transfers().isEmpty());
    m_model->answerConflict(answer);
    QVERIFY(!m_model->conflict().has_value());

    if (jobs.isEmpty()) {
        // Nothing is ever queued; a new batch can ask again, which shows the first ended.
        m_model->enqueue({sources.at(1)}, TransferJob::Kind::toAndroid, m_phoneDir, false);
        QTRY_VERIFY_WITH_TIMEOUT(m_model->conflict().has_value(), kPatienceMs);
        m_model->answerConflict(ConflictResolution::cancel);
        QTRY_VERIFY_WITH_TIMEOUT(!m_model->conflict().has_value(), kPatienceMs);
        QVERIFY(m_model->transfers().isEmpty());
        QVERIFY(m_model->queue().isEmpty());
        QVERIFY(!m_model->workerRunning());
        QVERIFY(!QFileInfo::exists(onPhone(m_phoneDir + "/one.txt")));
    } else {
        QVERIFY_TRANSFERS_FINISHED(*m_model, jobs.size());
        QCOMPARE(jobNames(), jobs);
        QCOMPARE(readFile(onPhone(m_phoneDir + "/one.txt")), QByteArray("new one"));
        QCOMPARE(readFile(onPhone(m_phoneDir + "/three.txt")), QByteArray("new three"));
    }
    QCOMPARE(readFile(onPhone(m_phoneDir + "/two.txt")), two);
    QCOMPARE(QFileInfo::exists(onPhone(m_phoneDir + "/two 2.txt")), keptBoth);
    if (keptBoth)
        QCOMPARE(readFile(onPhone(m_phoneDir + "/two 2.txt")), QByteArray("new two"));
    // One question for the batch: shown once, closed once (plus the cancel row's second batch).
    QCOMPARE(asked.size(), jobs.isEmpty() ? 4 : 2);
}

void TransferEngineTest::androidSafeNamesAndBatchNumbering()
{
    const QStringList names{"Report: final?.pdf", "x.txt", "a:b.txt", "a?b.txt"};
    QStringList sources;
    for (const QString &name : names) {
        sources << m_local->filePath(name);
        writeFile(sources.last(), 4, name.at(1).toLatin1());
    }
    writeFile(onPhone(m_phoneDir + "/x.txt"), 1, 'o');

    m_model->enqueue(sources, TransferJob::Kind::toAndroid, m_phoneDir, false);
    QTRY_VERIFY_WITH_TIMEOUT(m_model->conflict().has_value(), kPatienceMs);
    QCOMPARE(m_model->conflict()->names, QStringList{"x.txt"});
    m_model->answerConflict(ConflictResolution::keepBoth);
    QVERIFY_TRANSFERS_FINISHED(*m_model, 4);

    QCOMPARE(jobNames(), (QStringList{"a_b 2.txt", "a_b.txt", "x 2.txt", "Report_ final_.pdf"}));
    QCOMPARE(job("Report_ final_.pdf")->spec->targetName, std::optional<QString>("Report_ final_.pdf"));
    QCOMPARE(readFile(onPhone(m_phoneDir + "/a_b.txt")), QByteArray(4, ':'));
    QCOMPARE(readFile(onPhone(m_phoneDir + "/a_b 2.txt")), QByteArray(4, '?'));
    QCOMPARE(readFile(onPhone(m_phoneDir + "/Report_ final_.pdf")), QByteArray(4, 'e'));
    QCOMPARE(readFile(onPhone(m_phoneDir + "/x.txt")), QByteArray(1, 'o'));

    // Without any clash at the destination nothing is asked, yet two items of one batch
    // still never share a destination.
    QDir(onPhone(m_phoneDir)).removeRecursively();
    QVERIFY(QDir().mkpath(onPhone(m_phoneDir)));
    m_model->clearFinishedTransfers();
    m_model->enqueue(sources.mid(2), TransferJob::Kind::toAndroid, m_phoneDir, false);
    QVERIFY_TRANSFERS_FINISHED(*m_model, 2);
    QVERIFY(!m_model->conflict().has_value());
    QCOMPARE(jobNames(), (QStringList{"a_b 2.txt", "a_b.txt"}));
    QCOMPARE(readFile(onPhone(m_phoneDir + "/a_b.txt")), QByteArray(4, ':'));
    QCOMPARE(readFile(onPhone(m_phoneDir + "/a_b 2.txt")), QByteArray(4, '?'));
}

void TransferEngineTest::secondClashWhileAskingIsCancelled()
{
    const QString one = m_local->filePath("one.txt");
    writeFile(one, 3);
    writeFile(onPhone(m_phoneDir + "/one.txt"), 1);
    m_model->enqueue({one}, TransferJob::Kind::toAndroid, m_phoneDir, false);
    QTRY_VERIFY_WITH_TIMEOUT(m_model->conflict().has_value(), kPatienceMs);
    const QUuid question = m_model->conflict()->id;

    // A pull into a folder that has the name: the local names are read at once, so this
    // batch has met the open question by the time enqueue returns.
    const QString pulls = m_local->filePath("pulls");
    writeFile(pulls + "/remote.txt", 1);
    writeFile(onPhone(m_phoneDir + "/remote.txt"), 2);
    m_model->enqueue({m_phoneDir + "/remote.txt"}, TransferJob::Kind::toMac, pulls, false);
    QCOMPARE(m_model->conflict()->id, question);
    QCOMPARE(m_model->conflict()->names, QStringList{"one.txt"});

    m_model->answerConflict(ConflictResolution::keepBoth);
    QVERIFY_TRANSFERS_FINISHED(*m_model, 1);
    QCOMPARE(jobNames(), QStringList{"one 2.txt"});
    QCOMPARE(QFileInfo(pulls + "/remote.txt").size(), 1);
}

void TransferEngineTest::closingThePromptCancelsOnce()
{
    const QString one = m_local->filePath("one.txt");
    const QString two = m_local->filePath("two.txt");
    writeFile(one, 3);
    writeFile(two, 3);
    writeFile(onPhone(m_phoneDir + "/two.txt"), 1);
    m_model->enqueue({one, two}, TransferJob::Kind::toAndroid, m_phoneDir, false);
    QTRY_VERIFY_WITH_TIMEOUT(m_model->conflict().has_value(), kPatienceMs);
    // The window closes the prompt without an answer: the batch is cancelled.
    m_model->setConflict(std::nullopt);
    // A stray answer afterwards has no waiter to resume.
    m_model->answerConflict(ConflictResolution::replace);

    // The next batch asks again (the first no longer holds the question) and is the only
    // one to queue anything.
    m_model->enqueue({one, two}, TransferJob::Kind::toAndroid, m_phoneDir, false);
    QTRY_VERIFY_WITH_TIMEOUT(m_model->conflict().has_value(), kPatienceMs);
    m_model->answerConflict(ConflictResolution::skip);
    QVERIFY_TRANSFERS_FINISHED(*m_model, 1);
    QCOMPARE(jobNames(), QStringList{"one.txt"});
    QCOMPARE(QFileInfo(onPhone(m_phoneDir + "/two.txt")).size(), 1);
}

void TransferEngineTest::refusalsWithoutPhone()
{
    const QString one = m_local->filePath("one.txt");
    writeFile(one, 3);
    m_model->enqueue({}, TransferJob::Kind::toAndroid, m_phoneDir, false);
    QVERIFY(!m_model->message().has_value());

    m_model->setSelectedSerial(QStringLiteral("127.0.0.1:1"));
    m_model->enqueue({one}, TransferJob::Kind::toAndroid, m_phoneDir, false);
    QCOMPARE(m_model->message(), std::optional<QString>("Connect and authorize an Android device first."));
    QVERIFY(m_model->transfers().isEmpty());
    QVERIFY(!m_model->workerRunning());
}

void TransferEngineTest::cancelQueuedAndRunning()
{
    usePhone(m_slow);
    const QString big = m_local->filePath("big.bin");
    const QString small = m_local->filePath("small.txt");
    writeFile(big, 200'000'000);
    writeFile(small, 10);
    m_model->enqueue({big, small}, TransferJob::Kind::toAndroid, m_phoneDir, false);
    QTRY_COMPARE_WITH_TIMEOUT(stateOf("big.bin"), Case::running, kPatienceMs);
    QTRY_VERIFY_WITH_TIMEOUT(job("big.bin")->progress > 0, kPatienceMs);

    // A queued job is cancelled at once and never starts.
    m_model->cancelTransfer(job("small.txt")->id);
    QCOMPARE(stateOf("small.txt"), Case::cancelled);
    QVERIFY(m_model->queue().isEmpty());

    // A running one ends when its adb child has been stopped, long before the whole file
    // could have crossed the throttled link.
    m_model->cancelTransfer(job("big.bin")->id);
    QTRY_COMPARE_WITH_TIMEOUT(stateOf("big.bin"), Case::cancelled, kPatienceMs);
    QVERIFY(QFileInfo(onPhone(m_phoneDir + "/big.bin")).size() < 200'000'000);
    QCOMPARE(job("big.bin")->detail, QString());
    QVERIFY(!job("big.bin")->indeterminate);
    QTRY_VERIFY_WITH_TIMEOUT(!m_model->workerRunning(), kPatienceMs);
    QVERIFY(!QFileInfo::exists(onPhone(m_phoneDir + "/small.txt")));
    QVERIFY(m_notifier->posted.isEmpty());

    // An id that is neither queued nor running changes nothing.
    const QList<TransferJob> before = m_model->transfers();
    m_model->cancelTransfer(job("big.bin")->id);
    m_model->cancelTransfer(QUuid::createUuid());
    QCOMPARE(m_model->transfers(), before);
}

void TransferEngineTest::cancelAllPostsNothing()
{
    usePhone(m_slow);
    QStringList sources;
    for (const char *name : {"c1.bin", "c2.bin", "c3.bin"}) {
        sources << m_local->filePath(name);
        writeFile(sources.last(), 100'000'000);
    }
    m_model->enqueue(sources, TransferJob::Kind::toAndroid, m_phoneDir, false);
    QTRY_COMPARE_WITH_TIMEOUT(stateOf("c1.bin"), Case::running, kPatienceMs);
    m_model->cancelAllTransfers();
    QCOMPARE(stateOf("c2.bin"), Case::cancelled);
    QCOMPARE(stateOf("c3.bin"), Case::cancelled);
    QTRY_COMPARE_WITH_TIMEOUT(stateOf("c1.bin"), Case::cancelled, kPatienceMs);
    QTRY_VERIFY_WITH_TIMEOUT(!m_model->workerRunning(), kPatienceMs);
    QVERIFY(!m_model->hasActiveTransfers());
    QVERIFY(m_notifier->posted.isEmpty());
    QCOMPARE(m_attention->requests, 0);
    m_model->clearFinishedTransfers();
    QVERIFY(m_model->transfers().isEmpty());
}

void TransferEngineTest::retry()
{
    // A push below a file fails with adb's reason.
    const QString file = m_local->filePath("r.txt");
    writeFile(file, 7);
    writeFile(onPhone(m_phoneDir + "/blocker"), 1);
    m_model->enqueue({file}, TransferJob::Kind::toAndroid, m_phoneDir + "/blocker", false);
    QVERIFY_TRANSFERS_FINISHED(*m_model, 1);
    QCOMPARE(stateOf("r.txt"), Case::failed);
    QVERIFY2(job("r.txt")->state.message().contains("Not a directory"),
             qPrintable(job("r.txt")->state.message()));
    QCOMPARE(m_notifier->bodies(), QStringList{"0 finished, 1 failed."});

    // With the obstacle gone, retrying the failed job delivers the file.
    QVERIFY(QFile::remove(onPhone(m_phoneDir + "/blocker")));
    QVERIFY(QDir().mkpath(onPhone(m_phoneDir + "/blocker")));
    m_model->retryTransfer(job("r.txt")->id);
    QVERIFY(job("r.txt")->state.isActive());
    QCOMPARE(job("r.txt")->progress, 0.0);
    QVERIFY_TRANSFERS_FINISHED(*m_model, 1);
    QCOMPARE(stateOf("r.txt"), Case::done);
    QCOMPARE(QFileInfo(onPhone(m_phoneDir + "/blocker/r.txt")).size(), 7);

    // A done job is not retried.
    m_model->retryTransfer(job("r.txt")->id);
    QCOMPARE(stateOf("r.txt"), Case::done);
    QVERIFY(!m_model->workerRunning());

    // Running and queued jobs are not retried either; a cancelled one is.
    usePhone(m_slow);
    const QString big = m_local->filePath("big.bin");
    const QString next = m_local->filePath("next.bin");
    writeFile(big, 100'000'000);
    writeFile(next, 1000);
    m_model->enqueue({big, next}, TransferJob::Kind::toAndroid, m_phoneDir, false);
    QTRY_COMPARE_WITH_TIMEOUT(stateOf("big.bin"), Case::running, kPatienceMs);
    m_model->retryTransfer(job("big.bin")->id);
    m_model->retryTransfer(job("next.bin")->id);
    QCOMPARE(m_model->queue().size(), 1);
    QCOMPARE(stateOf("big.bin"), Case::running);
    m_model->cancelTransfer(job("next.bin")->id);
    m_model->retryTransfer(job("next.bin")->id);
    QCOMPARE(stateOf("next.bin"), Case::queued);
    m_model->cancelTransfer(job("big.bin")->id);
    QTRY_VERIFY_WITH_TIMEOUT(!m_model->workerRunning(), kPatienceMs);
    QCOMPARE(stateOf("big.bin"), Case::cancelled);
    QCOMPARE(stateOf("next.bin"), Case::done);
}

void TransferEngineTest::movesRemoveSourceOnlyAfterCopy()
{
    usePhone(m_slow);
    // To the phone: the local file goes to the trash once the push is complete.
    const QString local = m_local->filePath("move-up.bin");
    writeFile(local, 6'000'000);
    bool goneEarly = false;
    auto watchSource = connect(m_model, &AppModel::transfersChanged, this, [&] {
        if (stateOf("move-up.bin") == Case::running && !QFileInfo::exists(local))
            goneEarly = true;
    });
    m_model->enqueue({local}, TransferJob::Kind::toAndroid, m_phoneDir, true);
    QVERIFY_TRANSFERS_FINISHED(*m_model, 1);
    disconnect(watchSource);
    QVERIFY(!goneEarly);
    QCOMPARE(stateOf("move-up.bin"), Case::done);
    QVERIFY(!QFileInfo::exists(local));
    QCOMPARE(QFileInfo(onPhone(m_phoneDir + "/move-up.bin")).size(), 6'000'000);

    // To the computer: the phone file is deleted once the pull is complete.
    const QString remote = m_phoneDir + "/move-down.bin";
    writeFile(onPhone(remote), 6'000'000);
    const QString back = m_local->filePath("back");
    QVERIFY(QDir().mkpath(back));
    watchSource = connect(m_model, &AppModel::transfersChanged, this, [&] {
        if (stateOf("move-down.bin") == Case::running && !QFileInfo::exists(onPhone(remote)))
            goneEarly = true;
    });
    m_model->enqueue({remote}, TransferJob::Kind::toMac, back, true);
    QVERIFY_TRANSFERS_FINISHED(*m_model, 2);
    disconnect(watchSource);
    QVERIFY(!goneEarly);
    QCOMPARE(stateOf("move-down.bin"), Case::done);
    QVERIFY(!QFileInfo::exists(onPhone(remote)));
    QCOMPARE(QFileInfo(back + "/move-down.bin").size(), 6'000'000);
}

void TransferEngineTest::failedCopiesKeepTheSource()
{
    usePhone(m_slow);
    // A phone folder that cannot be read: the pull fails, the phone file stays.
    const QString denied = QStringLiteral("/storage/emulated/0/Private/secret.txt");
    writeFile(onPhone(denied), 4);
    m_model->enqueue({denied}, TransferJob::Kind::toMac, m_local->path(), true);
    QVERIFY_TRANSFERS_FINISHED(*m_model, 1);
    QCOMPARE(stateOf("secret.txt"), Case::failed);
    QVERIFY(!job("secret.txt")->state.message().isEmpty());
    QVERIFY(QFileInfo::exists(onPhone(denied)));

    // A push below a file: the local file stays.
    const QString local = m_local->filePath("keep.txt");
    writeFile(local, 4);
    writeFile(onPhone(m_phoneDir + "/file"), 1);
    m_model->enqueue({local}, TransferJob::Kind::toAndroid, m_phoneDir + "/file", true);
    QVERIFY_TRANSFERS_FINISHED(*m_model, 2);
    QCOMPARE(stateOf("keep.txt"), Case::failed);
    QVERIFY(QFileInfo::exists(local));
}

void TransferEngineTest::phoneLostMidQueue()
{
    usePhone(m_slow);
    const QString big = m_local->filePath("lost.bin");
    const QString second = m_local->filePath("second.txt");
    const QString third = m_local->filePath("third.txt");
    writeFile(big, 100'000'000);
    writeFile(second, 10);
    writeFile(third, 10);
    m_model->enqueue({big, second, third}, TransferJob::Kind::toAndroid, m_phoneDir, true);
    QTRY_COMPARE_WITH_TIMEOUT(stateOf("lost.bin"), Case::running, kPatienceMs);
    QTRY_VERIFY_WITH_TIMEOUT(job("lost.bin")->progress > 0.02, kPatienceMs);
    m_fixture->stopPhone(m_slow);
    QTRY_VERIFY_WITH_TIMEOUT(!m_model->workerRunning(), 60000);

    // Every job failed with what adb said; no source of the move was removed.
    for (const QString name : {"lost.bin", "second.txt", "third.txt"}) {
        QCOMPARE(stateOf(name), Case::failed);
        QVERIFY2(!job(name)->state.message().isEmpty(), qPrintable(name));
        QCOMPARE(job(name)->detail, QString());
        QVERIFY(!job(name)->indeterminate);
    }
    QVERIFY(QFileInfo::exists(big));
    QVERIFY(QFileInfo::exists(second));
    QVERIFY(QFileInfo::exists(third));
    QCOMPARE(m_notifier->bodies(), QStringList{"0 finished, 3 failed."});
    QVERIFY(m_fixture->restartPhone(m_slow));
}

void TransferEngineTest::longPushMovesTheBarManyTimes()
{
    usePhone(m_slow);
    TransferListModel rows(m_model);
    QSignalSpy resets(&rows, &QAbstractItemModel::modelReset);
    QSignalSpy inserted(&rows, &QAbstractItemModel::rowsInserted);
    int wideChanges = 0;
    connect(&rows, &QAbstractItemModel::dataChanged, this,
            [&](const QModelIndex &from, const QModelIndex &to) { wideChanges += from != to; });

    // 40 MB over the phone's 4 MB/s link: at least ten seconds however fast the machine is.
    const QString big = m_local->filePath("long.bin");
    writeFile(big, 40'000'000);
    QList<double> seen;
    bool reachedOneEarly = false;
    bool detailSeen = false;
    connect(m_model, &AppModel::transfersChanged, this, [&] {
        const auto row = job("long.bin");
        if (!row || row->state.value() != Case::running)
            return;
        if (row->progress >= 1.0)
            reachedOneEarly = true;
        if (seen.isEmpty() || seen.last() != row->progress)
            seen.append(row->progress);
        detailSeen = detailSeen || row->detail.contains(" of ");
    });
    m_model->enqueue({big}, TransferJob::Kind::toAndroid, m_phoneDir, false);
    QVERIFY_TRANSFERS_FINISHED(*m_model, 1);

    QCOMPARE(stateOf("long.bin"), Case::done);
    QCOMPARE(job("long.bin")->progress, 1.0);
    QVERIFY(!reachedOneEarly);
    QVERIFY(detailSeen);
    QStringList steps;
    for (double value : std::as_const(seen))
        steps << QString::number(value);
    // adb's own percentage arrives between the size polls (every 1.5 s), so over ten seconds
    // the bar moves many more times than the polls alone could move it, and never back.
    QVERIFY2(seen.size() >= 10, qPrintable(steps.join(' ')));
    for (qsizetype i = 1; i < seen.size(); ++i)
        QVERIFY2(seen.at(i) > seen.at(i - 1), qPrintable(steps.join(' ')));
    QCOMPARE(job("long.bin")->detail, QString());
    QVERIFY(!job("long.bin")->indeterminate);

    // The list followed one row, row by row, without a reset.
    QCOMPARE(resets.size(), 0);
    QCOMPARE(inserted.size(), 1);
    QCOMPARE(wideChanges, 0);
    QCOMPARE(rows.rowCount(), 1);
    QCOMPARE(rows.data(rows.index(0), TransferListModel::ProgressRole).toDouble(), 1.0);
}

QTEST_GUILESS_MAIN(TransferEngineTest)
#include "tst_transferengine.moc"
