// How a running push or pull shows its progress, against the real adb and an emulated phone
// on a slow link: the bar moves many times before done, follows a folder as a whole, agrees
// with the row's byte count, says so when nothing moves, and cancel still ends the copy;
// with the adb child's I/O counters and with the terminal fallback.
#include "PhoneFixture.h"
#include "Patience.h"
#include "TransferWaits.h"

#include "bridge/ADB.h"
#include "model/AppModel.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

#include <cmath>
#include <memory>

using Case = TransferJob::State::Case;
using Kind = TransferJob::Kind;

namespace {

// The phone's link: a 40 MB copy takes about five seconds however fast the machine is.
constexpr double linkMBps = 8;
constexpr qint64 longCopy = 40'000'000;
// Long enough that a copy paused near its start still has data to move when it goes on.
constexpr qint64 longerCopy = 80'000'000;
const QString stalledPrefix = QStringLiteral("No data for ");
const QString stalledAdvice = QStringLiteral(" s \u00B7 check that the phone is unlocked and connected");

void writeFile(const QString &path, qint64 size)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    const QByteArray block(1 << 20, 'x');
    for (qint64 left = size; left > 0; left -= block.size())
        QVERIFY(file.write(block.constData(), std::min<qint64>(left, block.size())) > 0);
}

// "12.5 MB" → 12500000, as the byte formatter writes it.
double bytesOf(const QString &number, const QString &unit)
{
    static const QHash<QString, double> units{{"byte", 1}, {"bytes", 1}, {"kB", 1e3}, {"MB", 1e6}, {"GB", 1e9}};
    return number.toDouble() * units.value(unit, std::nan(""));
}

// The fraction a detail's "X of Y" names, or absent when it names none.
std::optional<double> fractionInDetail(const QString &detail)
{
    static const QRegularExpression pattern(
        QStringLiteral("^([\\d.]+) (bytes?|kB|MB|GB) of ([\\d.]+) (bytes?|kB|MB|GB)"));
    const QRegularExpressionMatch match = pattern.match(detail);
    if (!match.hasMatch())
        return std::nullopt;
    return bytesOf(match.captured(1), match.captured(2)) / bytesOf(match.captured(3), match.captured(4));
}

int completeFiles(const QString &folder, qint64 size)
{
    int complete = 0;
    for (const QFileInfo &file : QDir(folder).entryInfoList(QDir::Files))
        complete += file.size() == size;
    return complete;
}

// Where a copy of `destination` is being written while it runs: the hidden temporary name
// beside it, which takes the destination's name once the copy is whole.
QString copyUnderWay(const QString &destination)
{
    const QFileInfo final(destination);
    const QStringList temporary = final.dir().entryList({QLatin1Char('.') + final.fileName() + QStringLiteral(".tessary-*")},
                                                         QDir::Dirs | QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot);
    return temporary.isEmpty() ? destination : final.dir().filePath(temporary.first());
}

QString joined(const QList<double> &values)
{
    QStringList texts;
    for (double value : values)
        texts << QString::number(value);
    return texts.join(' ');
}

} // namespace

// Everything one running row shows, looked at on every change of the list.
struct RowWatch
{
    QList<double> bars;          // each new value of the bar while the job runs
    QStringList disagreements;   // details whose "X of Y" is not what the bar shows
    bool fullEarly = false;      // the bar reached 1 before the outcome
    bool bytesShown = false;     // a detail with "X of Y" was seen
};

class TransferProgressTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void cleanupTestCase();

    void longCopyMovesTheBarManyTimes_data();
    void longCopyMovesTheBarManyTimes();
    void folderBarRisesAcrossItsFiles_data();
    void folderBarRisesAcrossItsFiles();
    void stalledCopySaysSo_data();
    void stalledCopySaysSo();
    void cancelStopsTheCopy_data();
    void cancelStopsTheCopy();

private:
    QString onPhone(const QString &phonePath) const { return m_fixture->hostPath(m_serial, phonePath); }
    std::optional<TransferJob> job(const QString &name) const;
    // Starts watching the row `name`; `also` runs on every change of the row while it runs.
    void watchRow(const QString &name, RowWatch &watch, std::function<void(const TransferJob &)> also = {});
    // A file of `size` bytes named `name` where a copy of `kind` starts from, and the
    // destination folder (phone path for a push, local path for a pull) and its local view.
    QString source(Kind kind, const QString &name, qint64 size);
    QString destDir(Kind kind) const { return kind == Kind::toAndroid ? m_phoneDir : m_local->path(); }
    QString localDestination(Kind kind, const QString &name) const;
    void useOptions(bool counters, std::chrono::milliseconds stallAfter = std::chrono::seconds(15));

    std::unique_ptr<PhoneFixture> m_fixture;
    QTemporaryDir m_home;
    QString m_serial;
    QString m_phoneDir;
    std::unique_ptr<QTemporaryDir> m_local;
    AppModel *m_model = nullptr;
    int m_folderCount = 0;
};

void TransferProgressTest::initTestCase()
{
    qputenv("HOME", m_home.path().toUtf8());
    qputenv("XDG_DATA_HOME", (m_home.path() + "/.local/share").toUtf8());
    QDir(m_home.path()).mkpath(QStringLiteral("Downloads"));

    m_fixture = std::make_unique<PhoneFixture>();
    QVERIFY2(m_fixture->start(), qPrintable(m_fixture->errorString()));
    PhoneOptions slow;
    slow.throttleMBps = linkMBps;
    m_serial = m_fixture->addPhone(slow);
    QVERIFY2(!m_serial.isEmpty(), qPrintable(m_fixture->errorString()));
    ADB::shared().setCandidatesForTesting({m_fixture->adbPath()});
}

void TransferProgressTest::init()
{
    m_model = new AppModel;
    QTRY_VERIFY_WITH_TIMEOUT(m_model->readyDevice() && m_model->readyDevice()->serial == m_serial, kPatienceMs);
    m_model->setSelectedSerial(m_serial);
    m_phoneDir = QStringLiteral("/storage/emulated/0/Progress%1").arg(++m_folderCount);
    QVERIFY(QDir().mkpath(onPhone(m_phoneDir)));
    m_local = std::make_unique<QTemporaryDir>(m_home.path() + "/local-XXXXXX");
    QVERIFY(m_local->isValid());
}

void TransferProgressTest::cleanup()
{
    m_fixture->resumePhone(m_serial);
    m_model->cancelAllTransfers();
    QTRY_VERIFY_WITH_TIMEOUT(!m_model->workerRunning(), kPatienceMs);
    delete m_model;
    m_model = nullptr;
}

void TransferProgressTest::cleanupTestCase()
{
    m_fixture.reset();
}

std::optional<TransferJob> TransferProgressTest::job(const QString &name) const
{
    for (const TransferJob &row : m_model->transfers()) {
        if (row.name == name)
            return row;
    }
    return std::nullopt;
}

void TransferProgressTest::watchRow(const QString &name, RowWatch &watch, std::function<void(const TransferJob &)> also)
{
    connect(m_model, &AppModel::transfersChanged, this, [this, name, &watch, also] {
        const auto row = job(name);
        if (!row || row->state.value() != Case::running)
            return;
        if (row->progress >= 1.0)
            watch.fullEarly = true;
        if (watch.bars.isEmpty() || watch.bars.last() != row->progress)
            watch.bars.append(row->progress);
        // The formatter rounds to three digits; the bar stops at 0.99.
        if (const auto named = fractionInDetail(row->detail)) {
            watch.bytesShown = true;
            if (std::abs(std::min(*named, 0.99) - row->progress) > 0.01)
                watch.disagreements << QStringLiteral("%1 at %2").arg(row->detail).arg(row->progress);
        }
        if (also)
            also(*row);
    });
}

QString TransferProgressTest::source(Kind kind, const QString &name, qint64 size)
{
    const QString path = kind == Kind::toAndroid ? m_local->filePath(name) : m_phoneDir + '/' + name;
    writeFile(kind == Kind::toAndroid ? path : onPhone(path), size);
    return path;
}

QString TransferProgressTest::localDestination(Kind kind, const QString &name) const
{
    return kind == Kind::toAndroid ? onPhone(m_phoneDir + '/' + name) : m_local->filePath(name);
}

void TransferProgressTest::useOptions(bool counters, std::chrono::milliseconds stallAfter)
{
    CopyProgressOptions options;
    options.counters = counters;
    options.stallAfter = stallAfter;
    m_model->setCopyProgressOptions(options);
}

void TransferProgressTest::longCopyMovesTheBarManyTimes_data()
{
    QTest::addColumn<Kind>("kind");
    QTest::addColumn<bool>("counters");
    QTest::newRow("push, counters") << Kind::toAndroid << true;
    QTest::newRow("pull, counters") << Kind::toMac << true;
    QTest::newRow("push, terminal") << Kind::toAndroid << false;
    QTest::newRow("pull, terminal") << Kind::toMac << false;
}

void TransferProgressTest::longCopyMovesTheBarManyTimes()
{
    QFETCH(Kind, kind);
    QFETCH(bool, counters);
    useOptions(counters);
    const QString from = source(kind, "long.bin", longCopy);
    RowWatch watch;
    watchRow("long.bin", watch);
    m_model->enqueue({from}, kind, destDir(kind), false);
    QVERIFY_TRANSFERS_FINISHED(*m_model, 1);

    QCOMPARE(job("long.bin")->state.value(), Case::done);
    QCOMPARE(job("long.bin")->progress, 1.0);
    QCOMPARE(job("long.bin")->detail, QString());
    QCOMPARE(QFileInfo(localDestination(kind, "long.bin")).size(), longCopy);
    QVERIFY(!watch.fullEarly);
    // Between the size polls the counters (or adb's percentage) move the bar, many more
    // times than the polls alone could, and never back.
    QVERIFY2(watch.bars.size() >= 10, qPrintable(joined(watch.bars)));
    for (qsizetype i = 1; i < watch.bars.size(); ++i)
        QVERIFY2(watch.bars.at(i) > watch.bars.at(i - 1), qPrintable(joined(watch.bars)));
    QVERIFY(watch.bytesShown);
    QVERIFY2(watch.disagreements.isEmpty(), qPrintable(watch.disagreements.join('\n')));
}

void TransferProgressTest::folderBarRisesAcrossItsFiles_data()
{
    QTest::addColumn<Kind>("kind");
    QTest::newRow("push") << Kind::toAndroid;
    QTest::newRow("pull") << Kind::toMac;
}

void TransferProgressTest::folderBarRisesAcrossItsFiles()
{
    QFETCH(Kind, kind);
    useOptions(true);
    constexpr int files = 10;
    constexpr qint64 fileSize = longCopy / files;
    const QString folder = kind == Kind::toAndroid ? m_local->filePath("Album") : m_phoneDir + "/Album";
    for (int i = 0; i < files; ++i)
        source(kind, QStringLiteral("Album/%1.jpg").arg(i), fileSize);
    const QString landed = localDestination(kind, "Album");

    // When the bar first shows three quarters of the folder, several of its files have
    // landed and not all: one bar for the whole folder, not one per file.
    std::optional<int> landedAtThreeQuarters;
    RowWatch watch;
    watchRow("Album", watch, [&](const TransferJob &row) {
        if (!landedAtThreeQuarters && row.progress >= 0.75)
            landedAtThreeQuarters = completeFiles(copyUnderWay(landed), fileSize);
    });
    m_model->enqueue({folder}, kind, destDir(kind), false);
    QVERIFY_TRANSFERS_FINISHED(*m_model, 1);

    QCOMPARE(job("Album")->state.value(), Case::done);
    QCOMPARE(completeFiles(landed, fileSize), files);
    QVERIFY2(watch.bars.size() >= 10, qPrintable(joined(watch.bars)));
    for (qsizetype i = 1; i < watch.bars.size(); ++i)
        QVERIFY2(watch.bars.at(i) > watch.bars.at(i - 1), qPrintable(joined(watch.bars)));
    QVERIFY(landedAtThreeQuarters.has_value());
    QVERIFY2(*landedAtThreeQuarters >= 2 && *landedAtThreeQuarters < files,
             qPrintable(QString::number(*landedAtThreeQuarters)));
    QVERIFY2(watch.disagreements.isEmpty(), qPrintable(watch.disagreements.join('\n')));
}

void TransferProgressTest::stalledCopySaysSo_data()
{
    QTest::addColumn<Kind>("kind");
    QTest::newRow("push") << Kind::toAndroid;
    QTest::newRow("pull") << Kind::toMac;
}

void TransferProgressTest::stalledCopySaysSo()
{
    QFETCH(Kind, kind);
    useOptions(true, std::chrono::seconds(1));
    const QString from = source(kind, "stall.bin", longerCopy);
    m_model->enqueue({from}, kind, destDir(kind), false);
    QTRY_VERIFY_WITH_TIMEOUT(job("stall.bin") && job("stall.bin")->progress > 0, kPatienceMs);

    // With the phone frozen nothing moves: the row says so and stays cancellable.
    m_fixture->pausePhone(m_serial);
    QTRY_VERIFY_WITH_TIMEOUT(job("stall.bin")->detail.startsWith(stalledPrefix), kPatienceMs);
    QVERIFY2(job("stall.bin")->detail.endsWith(stalledAdvice), qPrintable(job("stall.bin")->detail));
    QCOMPARE(job("stall.bin")->state.value(), Case::running);
    QVERIFY(job("stall.bin")->progress < 0.99);

    // Once data moves again the row shows the bytes again, and the copy completes.
    m_fixture->resumePhone(m_serial);
    QTRY_VERIFY_WITH_TIMEOUT(fractionInDetail(job("stall.bin")->detail).has_value(), kPatienceMs);
    QVERIFY_TRANSFERS_FINISHED(*m_model, 1);
    QCOMPARE(job("stall.bin")->state.value(), Case::done);
    QCOMPARE(job("stall.bin")->detail, QString());
    QCOMPARE(QFileInfo(localDestination(kind, "stall.bin")).size(), longerCopy);
}

void TransferProgressTest::cancelStopsTheCopy_data()
{
    QTest::addColumn<Kind>("kind");
    QTest::addColumn<bool>("counters");
    QTest::addColumn<bool>("stalled");
    QTest::newRow("push, counters") << Kind::toAndroid << true << false;
    QTest::newRow("pull, counters") << Kind::toMac << true << false;
    QTest::newRow("push, terminal") << Kind::toAndroid << false << false;
    QTest::newRow("push, stalled") << Kind::toAndroid << true << true;
    QTest::newRow("pull, stalled") << Kind::toMac << true << true;
}

void TransferProgressTest::cancelStopsTheCopy()
{
    QFETCH(Kind, kind);
    QFETCH(bool, counters);
    QFETCH(bool, stalled);
    useOptions(counters, std::chrono::seconds(1));
    const QString from = source(kind, "cancel.bin", longerCopy);
    m_model->enqueue({from}, kind, destDir(kind), false);
    QTRY_VERIFY_WITH_TIMEOUT(job("cancel.bin") && job("cancel.bin")->progress > 0, kPatienceMs);
    if (stalled) {
        m_fixture->pausePhone(m_serial);
        QTRY_VERIFY_WITH_TIMEOUT(job("cancel.bin")->detail.startsWith(stalledPrefix), kPatienceMs);
    }

    m_model->cancelTransfer(job("cancel.bin")->id);
    QTRY_COMPARE_WITH_TIMEOUT(job("cancel.bin")->state.value(), Case::cancelled, kPatienceMs);
    QCOMPARE(job("cancel.bin")->detail, QString());
    // The adb child ended long before the whole file could cross the slow link.
    QVERIFY(QFileInfo(localDestination(kind, "cancel.bin")).size() < longerCopy);
    m_fixture->resumePhone(m_serial);
    QVERIFY_TRANSFERS_FINISHED(*m_model, 1);
    QCOMPARE(job("cancel.bin")->state.value(), Case::cancelled);
}

QTEST_GUILESS_MAIN(TransferProgressTest)
#include "tst_transferprogress.moc"
