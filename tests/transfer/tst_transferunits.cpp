// Pure pieces of the transfer engine: the meter's arithmetic, naming, adb's percentage,
// the counters' bytes and the gauge, the destination rules, the drag payload, and the rules
// of a copy through a temporary name (the failure line, the walks, the check, the settle).
#include "bridge/ADB.h"
#include "bridge/FileInventory.h"
#include "bridge/SettleCommand.h"
#include "common/ByteCount.h"
#include "model/LocalInventory.h"
#include "model/LocalSettle.h"
#include "model/SelectionOrder.h"
#include "model/transfer/AdbProgress.h"
#include "model/transfer/CopyCheck.h"
#include "model/transfer/CounterBytes.h"
#include "model/transfer/DroppedPaths.h"
#include "model/transfer/Naming.h"
#include "model/transfer/TemporaryName.h"
#include "model/transfer/TransferGauge.h"
#include "model/transfer/TransferListModel.h"
#include "model/transfer/TransferMeter.h"
#include "model/transfer/TransferPaths.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

namespace {

// "rel=size" texts, sorted, for comparing inventories in a table.
QStringList filesOf(const FileInventory &inventory)
{
    QStringList files;
    for (auto it = inventory.files.cbegin(); it != inventory.files.cend(); ++it)
        files << it.key() + QLatin1Char('=') + QString::number(it.value());
    files.sort();
    return files;
}

FileInventory inventoryOf(const QStringList &files)
{
    FileInventory inventory;
    inventory.complete = true;
    for (const QString &file : files) {
        const qsizetype at = file.lastIndexOf(QLatin1Char('='));
        inventory.files.insert(file.left(at), file.mid(at + 1).toLongLong());
    }
    return inventory;
}

// A folder described as "a/" (a folder) and "a/b=text" (a file and its content) entries.
void makeTree(const QString &root, const QStringList &entries)
{
    for (const QString &entry : entries) {
        if (entry.endsWith(QLatin1Char('/'))) {
            QVERIFY(QDir().mkpath(root + QLatin1Char('/') + entry));
            continue;
        }
        const qsizetype at = entry.indexOf(QLatin1Char('='));
        const QString path = root + QLatin1Char('/') + entry.left(at);
        QVERIFY(QDir().mkpath(QFileInfo(path).path()));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(entry.mid(at + 1).toUtf8());
    }
}

QStringList treeOf(const QString &root)
{
    QStringList entries;
    QDirIterator it(root, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        const QString relative = path.mid(root.size() + 1);
        if (it.fileInfo().isDir()) {
            entries << relative + QLatin1Char('/');
            continue;
        }
        QFile file(path);
        entries << relative + QLatin1Char('=') + QString::fromUtf8(file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray());
    }
    entries.sort();
    return entries;
}

QList<FileEntry> rowsOf(const QStringList &paths)
{
    QList<FileEntry> rows;
    for (const QString &path : paths) {
        FileEntry row;
        row.path = path;
        rows << row;
    }
    return rows;
}

} // namespace

using Sample = TransferMeter::Sample;

class TransferUnitsTest : public QObject
{
    Q_OBJECT

private slots:
    void speedOverTwoSeconds()
    {
        TransferMeter meter{2'000'000'000, 100'000'000, {{100, 0}, {102, 100'000'000}}};
        QVERIFY(meter.speed());
        QVERIFY(qAbs(*meter.speed() - 50'000'000.0) <= 1.0);
        QVERIFY(meter.secondsLeft());
        QVERIFY(qAbs(*meter.secondsLeft() - 38.0) <= 0.5);
        const QString text = meter.description();
        QVERIFY(text.contains(QStringLiteral(" of ")));
        QVERIFY(text.contains(QStringLiteral("/s")));
        QVERIFY(text.contains(QStringLiteral("left")));
        QCOMPARE(text, QStringLiteral("100 MB of 2 GB \u00B7 50 MB/s \u00B7 38s left"));
    }

    void noRate_data()
    {
        QTest::addColumn<QList<Sample>>("samples");
        QTest::addColumn<bool>("hasSpeed");
        QTest::addColumn<double>("speed");
        QTest::newRow("no samples") << QList<Sample>{} << false << 0.0;
        QTest::newRow("single sample") << QList<Sample>{{5, 1000}} << false << 0.0;
        QTest::newRow("span under 0.4 s") << QList<Sample>{{5, 0}, {5.39, 1000}} << false << 0.0;
        QTest::newRow("no growth is a present zero") << QList<Sample>{{5, 1000}, {7, 1000}} << true << 0.0;
        QTest::newRow("shrinking is a present zero") << QList<Sample>{{5, 1000}, {7, 10}} << true << 0.0;
    }

    void noRate()
    {
        QFETCH(QList<Sample>, samples);
        QFETCH(bool, hasSpeed);
        QFETCH(double, speed);
        const TransferMeter meter{1000, 500, samples};
        QCOMPARE(meter.speed().has_value(), hasSpeed);
        if (hasSpeed)
            QCOMPARE(*meter.speed(), speed);
        QVERIFY(!meter.secondsLeft());
        QVERIFY(!meter.description().contains(QStringLiteral("/s")));
        QVERIFY(!meter.description().contains(QStringLiteral("left")));
    }

    void secondsLeftNeedsTotalAndRate_data()
    {
        QTest::addColumn<qint64>("total");
        QTest::addColumn<qint64>("done");
        QTest::addColumn<QList<Sample>>("samples");
        QTest::addColumn<double>("expected"); // negative: absent
        QTest::newRow("unknown total") << qint64(0) << qint64(10) << QList<Sample>{{0, 0}, {1, 1000}} << -1.0;
        QTest::newRow("one byte per second is too slow")
            << qint64(100) << qint64(2) << QList<Sample>{{0, 0}, {2, 2}} << -1.0;
        QTest::newRow("past the total is zero") << qint64(100) << qint64(500) << QList<Sample>{{0, 0}, {1, 500}} << 0.0;
        QTest::newRow("half way") << qint64(2000) << qint64(1000) << QList<Sample>{{0, 0}, {1, 1000}} << 1.0;
    }

    void secondsLeftNeedsTotalAndRate()
    {
        QFETCH(qint64, total);
        QFETCH(qint64, done);
        QFETCH(QList<Sample>, samples);
        QFETCH(double, expected);
        const TransferMeter meter{total, done, samples};
        QCOMPARE(meter.secondsLeft().has_value(), expected >= 0);
        if (expected >= 0)
            QCOMPARE(*meter.secondsLeft(), expected);
    }

    void unknownTotalDescribesOnlyBytes()
    {
        const TransferMeter meter{0, 1500, {{0, 0}, {1, 1500}}};
        QCOMPARE(meter.description(), QStringLiteral("1.5 kB \u00B7 1.5 kB/s"));
        const TransferMeter noSamples{0, 1500, {}};
        QCOMPARE(noSamples.description(), QStringLiteral("1.5 kB"));
    }

    void duration_data()
    {
        QTest::addColumn<double>("seconds");
        QTest::addColumn<QString>("text");
        QTest::newRow("0") << 0.0 << "0s";
        QTest::newRow("5") << 5.0 << "5s";
        QTest::newRow("59.4 rounds down") << 59.4 << "59s";
        QTest::newRow("59.5 rounds up to a minute") << 59.5 << "1:00";
        QTest::newRow("75") << 75.0 << "1:15";
        QTest::newRow("3599") << 3599.0 << "59:59";
        QTest::newRow("3600") << 3600.0 << "1:00:00";
        QTest::newRow("3725") << 3725.0 << "1:02:05";
        QTest::newRow("2.5 rounds away from zero") << 2.5 << "3s";
    }

    void duration()
    {
        QFETCH(double, seconds);
        QFETCH(QString, text);
        QCOMPARE(TransferMeter::duration(seconds), text);
    }

    void recordKeepsSixSeconds()
    {
        QList<Sample> samples;
        TransferMeter::record(samples, 10.0, 100);
        TransferMeter::record(samples, 12.0, -5);
        QCOMPARE(samples.last().bytes, qint64(0));
        TransferMeter::record(samples, 16.0, 300); // the sample at 10 s is exactly 6 s old
        QCOMPARE(samples.size(), 3);
        TransferMeter::record(samples, 16.5, 400);
        QCOMPARE(samples.size(), 3);
        QCOMPARE(samples.first().t, 12.0);
        // The dropped sample no longer counts: speed is (400 - 0) / 4.5.
        const TransferMeter meter{0, 400, samples};
        QCOMPARE(*meter.speed(), 400.0 / 4.5);
        // A single sample far in the future leaves only itself.
        TransferMeter::record(samples, 100.0, 500);
        QCOMPARE(samples, (QList<Sample>{{100.0, 500}}));
    }

    void androidSafeName_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("safe");
        QTest::newRow("report") << "Report: final?.pdf" << "Report_ final_.pdf";
        QTest::newRow("all eight") << "a\"b*c:d<e>f?g\\h|i" << "a_b_c_d_e_f_g_h_i";
        QTest::newRow("unchanged") << "it's a test file \u00E9.txt" << "it's a test file \u00E9.txt";
        QTest::newRow("slash kept") << "a/b" << "a/b";
        QTest::newRow("emoji kept") << "\U0001F600?.jpg" << "\U0001F600_.jpg";
    }

    void androidSafeName()
    {
        QFETCH(QString, name);
        QFETCH(QString, safe);
        QCOMPARE(::androidSafeName(name), safe);
    }

    void uniqueName_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QStringList>("taken");
        QTest::addColumn<QString>("unique");
        QTest::newRow("folder") << "My Folder" << QStringList{"My Folder"} << "My Folder 2";
        QTest::newRow("never the plain name") << "a.txt" << QStringList{} << "a 2.txt";
        QTest::newRow("accents") << "it's a test file \u00E9.txt" << QStringList{}
                                 << "it's a test file \u00E9 2.txt";
        QTest::newRow("next free") << "photo.jpg" << QStringList{"photo.jpg", "photo 2.jpg"} << "photo 3.jpg";
        QTest::newRow("last dot") << "archive.tar.gz" << QStringList{} << "archive.tar 2.gz";
        QTest::newRow("hidden file") << ".profile" << QStringList{} << ".profile 2";
        QTest::newRow("trailing dot") << "notes." << QStringList{} << "notes. 2";
    }

    void uniqueName()
    {
        QFETCH(QString, name);
        QFETCH(QStringList, taken);
        QFETCH(QString, unique);
        QCOMPARE(::uniqueName(name, QSet<QString>(taken.begin(), taken.end())), unique);
    }

    void normalizedAndroid_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("normal");
        QTest::newRow("sdcard/") << "/sdcard/" << "/storage/emulated/0";
        QTest::newRow("sdcard") << "/sdcard" << "/storage/emulated/0";
        QTest::newRow("emulated") << "/storage/emulated" << "/storage/emulated/0";
        QTest::newRow("self primary") << "/storage/self/primary/" << "/storage/emulated/0";
        QTest::newRow("root") << "/" << "/";
        QTest::newRow("DCIM/") << "/storage/emulated/0/DCIM/" << "/storage/emulated/0/DCIM";
        QTest::newRow("one slash only") << "/storage/1234-ABCD//" << "/storage/1234-ABCD/";
        QTest::newRow("inside sdcard untouched") << "/sdcard/DCIM" << "/sdcard/DCIM";
    }

    void normalizedAndroid()
    {
        QFETCH(QString, path);
        QFETCH(QString, normal);
        QCOMPARE(::normalizedAndroid(path), normal);
    }

    void adbPercentage_data()
    {
        QTest::addColumn<QString>("chunk");
        QTest::addColumn<double>("progress"); // negative: no match
        QTest::newRow("one line") << "[ 42%] /sdcard/x" << 0.42;
        QTest::newRow("last of several") << "[  5%] /sdcard/x\n[ 17%] /sdcard/x\n" << 0.17;
        QTest::newRow("hundred") << "[100%] /sdcard/x" << 1.0;
        QTest::newRow("folder line") << "[ 32%] /sdcard/t/sub/b.bin: 32%" << 0.32;
        QTest::newRow("summary only") << "big.bin: 1 file pushed, 0 skipped. 310.0 MB/s" << -1.0;
        QTest::newRow("not a number") << "[ x%]" << -1.0;
        QTest::newRow("rewritten after carriage returns") << "\r[  3%] /sdcard/x\r[  9%] /sdcard/x" << 0.09;
        QTest::newRow("percentage inside a file name") << "\r[  3%] /sdcard/[ 99%] done.mp4" << 0.03;
        QTest::newRow("only inside a name") << "/sdcard/[ 99%] done.mp4: 1 file pushed" << -1.0;
        QTest::newRow("above a hundred") << "\r[ 42%] /sdcard/x\r[101%] /sdcard/x" << 0.42;
    }

    void adbPercentage()
    {
        QFETCH(QString, chunk);
        QFETCH(double, progress);
        const auto parsed = adbReportedProgress(chunk);
        QCOMPARE(parsed.has_value(), progress >= 0);
        if (parsed)
            QCOMPARE(*parsed, progress);
    }

    void countedBytes_data()
    {
        QTest::addColumn<qint64>("startRead");
        QTest::addColumn<qint64>("startWritten");
        QTest::addColumn<qint64>("read");
        QTest::addColumn<qint64>("written");
        QTest::addColumn<qint64>("moved");
        // A push reads the file and writes it, with the protocol's headers, to the server.
        QTest::newRow("push") << qint64(0) << qint64(0) << qint64(16'777'216) << qint64(16'779'264)
                              << qint64(16'777'216);
        // A pull reads the file, with headers, from the server and writes it.
        QTest::newRow("pull") << qint64(0) << qint64(0) << qint64(8'392'704) << qint64(8'388'608)
                              << qint64(8'388'608);
        QTest::newRow("from the start") << qint64(6976) << qint64(120) << qint64(1'006'976) << qint64(1'000'200)
                                        << qint64(1'000'000);
        QTest::newRow("only the start's reads") << qint64(6976) << qint64(0) << qint64(6976) << qint64(0)
                                                << qint64(0);
        QTest::newRow("counters lower than the start") << qint64(500) << qint64(500) << qint64(400) << qint64(900)
                                                       << qint64(0);
    }

    void countedBytes()
    {
        QFETCH(qint64, startRead);
        QFETCH(qint64, startWritten);
        QFETCH(qint64, read);
        QFETCH(qint64, written);
        QFETCH(qint64, moved);
        QCOMPARE(bytesMoved(ProcessIo{startRead, startWritten}, ProcessIo{read, written}), moved);
    }

    // Steps, one second apart: "poll N", "report F" (adb's fraction), "count N" (the counters).
    void gaugeSources_data()
    {
        QTest::addColumn<qint64>("total");
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<qint64>("bytes");
        QTest::addColumn<double>("progress");
        QTest::newRow("polls") << qint64(1000) << QStringList{"poll 100", "poll 300"} << qint64(300) << 0.3;
        QTest::newRow("a smaller poll does not go back") << qint64(1000) << QStringList{"poll 300", "poll 100"}
                                                         << qint64(300) << 0.3;
        QTest::newRow("adb's percentage of the total") << qint64(2000) << QStringList{"poll 100", "report 0.25"}
                                                       << qint64(500) << 0.25;
        QTest::newRow("a percentage behind a poll") << qint64(1000) << QStringList{"poll 400", "report 0.25"}
                                                    << qint64(400) << 0.4;
        QTest::newRow("percentage without a total") << qint64(0) << QStringList{"report 0.5"} << qint64(0) << 0.0;
        QTest::newRow("counters outrank later polls") << qint64(1000) << QStringList{"count 100", "poll 900", "count 200"}
                                                      << qint64(200) << 0.2;
        QTest::newRow("counters outrank later percentages") << qint64(1000) << QStringList{"count 100", "report 0.9"}
                                                            << qint64(100) << 0.1;
        QTest::newRow("never past 99 %") << qint64(1000) << QStringList{"count 999", "count 1200"} << qint64(1200)
                                         << 0.99;
        QTest::newRow("unknown total") << qint64(0) << QStringList{"count 5000"} << qint64(5000) << 0.0;
        QTest::newRow("negative poll") << qint64(1000) << QStringList{"poll -5"} << qint64(0) << 0.0;
    }

    void gaugeSources()
    {
        QFETCH(qint64, total);
        QFETCH(QStringList, steps);
        QFETCH(qint64, bytes);
        QFETCH(double, progress);
        TransferGauge gauge;
        gauge.setTotal(total);
        double now = 100.0;
        double lastProgress = 0.0;
        for (const QString &step : std::as_const(steps)) {
            now += 1.0;
            const QStringList parts = step.split(' ');
            if (parts.first() == "poll")
                gauge.polled(now, parts.last().toLongLong());
            else if (parts.first() == "report")
                gauge.reported(now, parts.last().toDouble());
            else
                gauge.counted(now, parts.last().toLongLong(), true);
            QVERIFY(gauge.progress() >= lastProgress);
            lastProgress = gauge.progress();
        }
        QCOMPARE(gauge.bytes(), bytes);
        QCOMPARE(gauge.progress(), progress);
    }

    // The bar and the text come from one count: what the bar shows of the total is what the
    // text says, at every reading.
    void gaugeBarAndTextAgree()
    {
        const qint64 total = 50'000'000;
        TransferGauge gauge;
        gauge.setTotal(total);
        double now = 10.0;
        for (qint64 bytes = 0; bytes <= total; bytes += 2'100'000) {
            gauge.counted(now, bytes, true);
            const QString detail = gauge.detail(now);
            QVERIFY2(detail.startsWith(formatByteCount(bytes) + " of 50 MB"), qPrintable(detail));
            QCOMPARE(gauge.progress(), std::min(0.99, double(bytes) / double(total)));
            now += 0.2;
        }
        QVERIFY(gauge.detail(now).contains("/s"));
    }

    void gaugeStall()
    {
        TransferGauge gauge(2.0);
        gauge.setTotal(1'000'000);
        gauge.counted(0.0, 0, true);
        gauge.counted(1.0, 200'000, true);
        gauge.counted(2.9, 200'000, false);
        QVERIFY(!gauge.isStalled(2.9));
        QVERIFY(gauge.detail(2.9).startsWith("200 kB of 1 MB"));
        gauge.counted(3.5, 200'000, false);
        QVERIFY(gauge.isStalled(3.5));
        QCOMPARE(gauge.detail(3.5), QStringLiteral("No data for 2 s · check that the phone is unlocked and connected"));
        QCOMPARE(gauge.detail(7.2), QStringLiteral("No data for 6 s · check that the phone is unlocked and connected"));
        // Reading or writing anything at all ends the stall, even before a whole byte of the file moves.
        gauge.counted(7.4, 200'000, true);
        QVERIFY(!gauge.isStalled(7.4));
        QVERIFY(gauge.detail(7.4).startsWith("200 kB of 1 MB"));
        QCOMPARE(gauge.progress(), 0.2);
    }

    void gaugeWithoutCountersNeverStalls()
    {
        TransferGauge gauge(1.0);
        gauge.setTotal(1000);
        gauge.polled(0.0, 100);
        QVERIFY(!gauge.isStalled(60.0));
        QCOMPARE(gauge.detail(60.0), QStringLiteral("100 bytes of 1 kB"));
    }

    void destinations_data()
    {
        QTest::addColumn<QString>("source");
        QTest::addColumn<QString>("destDir");
        QTest::addColumn<QString>("targetName"); // empty: absent
        QTest::addColumn<QString>("argument");
        QTest::addColumn<QString>("path");
        QTest::newRow("pull into a folder") << "/sdcard/a.zip" << "/home/me/Downloads/" << ""
                                            << "/home/me/Downloads/" << "/home/me/Downloads/a.zip";
        QTest::newRow("pull into a folder without slash") << "/sdcard/a.zip" << "/home/me/Downloads" << ""
                                                          << "/home/me/Downloads/" << "/home/me/Downloads/a.zip";
        QTest::newRow("pull to an exact target") << "/sdcard/a.zip" << "/home/me/Downloads" << "b.zip"
                                                 << "/home/me/Downloads/b.zip" << "/home/me/Downloads/b.zip";
        QTest::newRow("pull of a folder with slash") << "/sdcard/tree/" << "/tmp" << ""
                                                     << "/tmp/" << "/tmp/tree";
        QTest::newRow("push to the root") << "/home/me/x.txt" << "/" << "y.txt" << "/y.txt" << "/y.txt";
        QTest::newRow("push into a folder with slash") << "/home/me/x.txt" << "/sdcard/" << "y.txt"
                                                       << "/sdcard/y.txt" << "/sdcard/y.txt";
        QTest::newRow("push of a folder") << "/home/me/My Folder" << "/storage/emulated/0/Download" << ""
                                          << "/storage/emulated/0/Download/"
                                          << "/storage/emulated/0/Download/My Folder";
    }

    void destinations()
    {
        QFETCH(QString, source);
        QFETCH(QString, destDir);
        QFETCH(QString, targetName);
        QFETCH(QString, argument);
        QFETCH(QString, path);
        TransferSpec spec;
        spec.source = source;
        spec.destDir = destDir;
        if (!targetName.isEmpty())
            spec.targetName = targetName;
        QCOMPARE(destinationArgument(spec), argument);
        QCOMPARE(destinationPath(spec), path);
    }

    void droppedPathsJson()
    {
        const DroppedPaths both{DragSide::android, {"/sdcard/a", "/sdcard/b c"}};
        QCOMPARE(DroppedPaths::fromJson(both.toJson()), std::optional(both));
        const DroppedPaths noSide{std::nullopt, {"/home/me/x"}};
        QVERIFY(!noSide.toJson().contains("side"));
        QCOMPARE(DroppedPaths::fromJson(noSide.toJson()), std::optional(noSide));
        QCOMPARE(DroppedPaths::fromJson(R"({"side":"mac","paths":[]})")->side, std::optional(DragSide::mac));
    }

    void droppedPathsRejects_data()
    {
        QTest::addColumn<QByteArray>("json");
        QTest::newRow("no paths") << QByteArray(R"({"side":"mac"})");
        QTest::newRow("not json") << QByteArray("paths");
        QTest::newRow("paths not texts") << QByteArray(R"({"paths":[1]})");
        QTest::newRow("unknown side") << QByteArray(R"({"side":"tablet","paths":[]})");
        QTest::newRow("array") << QByteArray(R"(["a"])");
    }

    void droppedPathsRejects()
    {
        QFETCH(QByteArray, json);
        QVERIFY(!DroppedPaths::fromJson(json));
    }
    void jobStates()
    {
        QVERIFY(TransferJob::State::queued().isActive());
        QVERIFY(TransferJob::State::running().isActive());
        QVERIFY(TransferJob::State::done().isFinished());
        QVERIFY(TransferJob::State::cancelled().isFinished());
        QVERIFY(TransferJob::State::failed("x").isFinished());
        QCOMPARE(TransferJob::State::failed("No space").message(), QStringLiteral("No space"));
        QVERIFY(TransferJob::State::failed("a") != TransferJob::State::failed("b"));
    }

    // The list model turns each new list into removals, insertions and one-row changes.
    void listModelFollowsRowByRow()
    {
        auto makeJob = [](const QString &name) {
            TransferJob job;
            job.id = QUuid::createUuid();
            job.name = name;
            return job;
        };
        const TransferJob a = makeJob("a");
        const TransferJob b = makeJob("b");
        const TransferJob c = makeJob("c");

        TransferListModel rows;
        QSignalSpy resets(&rows, &QAbstractItemModel::modelReset);
        QSignalSpy inserted(&rows, &QAbstractItemModel::rowsInserted);
        QSignalSpy removed(&rows, &QAbstractItemModel::rowsRemoved);
        QSignalSpy changed(&rows, &QAbstractItemModel::dataChanged);

        rows.setJobs({a});
        rows.setJobs({c, b, a}); // a batch put on top: one insertion of its two rows
        QCOMPARE(inserted.size(), 2);
        QCOMPARE(inserted.last().at(1).toInt(), 0);
        QCOMPARE(inserted.last().at(2).toInt(), 1);
        QCOMPARE(rows.jobs(), (QList<TransferJob>{c, b, a}));

        TransferJob running = a;
        running.state = TransferJob::State::running();
        running.progress = 0.5;
        rows.setJobs({c, b, running});
        QCOMPARE(changed.size(), 1);
        QCOMPARE(changed.first().at(0).toModelIndex().row(), 2);
        QCOMPARE(changed.first().at(1).toModelIndex().row(), 2);
        QCOMPARE(rows.data(rows.index(2), TransferListModel::ProgressRole).toDouble(), 0.5);
        QCOMPARE(rows.data(rows.index(2), TransferListModel::StateRole).toInt(),
                 int(TransferJob::State::Case::running));

        rows.setJobs({c, b, running}); // unchanged: no signal
        QCOMPARE(changed.size(), 1);

        rows.setJobs({c, running}); // b cleared
        QCOMPARE(removed.size(), 1);
        QCOMPARE(removed.first().at(1).toInt(), 1);
        QCOMPARE(rows.rowOf(running.id), 1);
        QCOMPARE(resets.size(), 0);

        rows.setJobs({running, c}); // a reorder is the one case that resets
        QCOMPARE(resets.size(), 1);
        QCOMPARE(rows.jobs(), (QList<TransferJob>{running, c}));
    }

    void listModelRoles()
    {
        TransferJob failed;
        failed.id = QUuid::createUuid();
        failed.name = "f.txt";
        failed.state = TransferJob::State::failed("adb: error: boom");
        failed.spec = TransferSpec{"/a", "/b", std::nullopt, TransferJob::Kind::toAndroid, "s", false};
        TransferJob backup = failed;
        backup.id = QUuid::createUuid();
        backup.spec.reset();
        TransferListModel rows;
        rows.setJobs({failed, backup});
        QCOMPARE(rows.data(rows.index(0), Qt::DisplayRole).toString(), QStringLiteral("f.txt"));
        QCOMPARE(rows.data(rows.index(0), TransferListModel::FailureRole).toString(),
                 QStringLiteral("adb: error: boom"));
        QVERIFY(rows.data(rows.index(0), TransferListModel::RetryableRole).toBool());
        QVERIFY(!rows.data(rows.index(1), TransferListModel::RetryableRole).toBool());
        QCOMPARE(rows.data(rows.index(0), TransferListModel::JobRole).value<TransferJob>(), failed);
    }

    void failureLine_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("line");
        QTest::newRow("reason before the summary")
            << "adb: error: failed to copy '/home/me/big.bin' to '/storage/emulated/0/big.bin': couldn't read from device\n"
               "/home/me/big.bin: 0 files pushed, 0 skipped. 42.6 MB/s (23721136 bytes in 0.531s)\n"
            << "adb: error: failed to copy '/home/me/big.bin' to '/storage/emulated/0/big.bin': couldn't read from device";
        QTest::newRow("phone full")
            << "\r[ 99%] /sdcard/big.bin\radb: error: failed to copy 'big.bin' to '/sdcard/big.bin': remote write failed: No space left on device\n"
               "big.bin: 0 files pushed, 0 skipped. 840.2 MB/s (25555920 bytes in 0.029s)\n"
            << "adb: error: failed to copy 'big.bin' to '/sdcard/big.bin': remote write failed: No space left on device";
        QTest::newRow("the last of two error lines")
            << "error: first\n[ 10%] /sdcard/x\nadb: error: second\nx: 0 files pulled.\n" << "adb: error: second";
        QTest::newRow("adb's own error") << "error: device offline\n" << "error: device offline";
        QTest::newRow("failed to") << "failed to connect to '127.0.0.1:6099': Connection refused\n"
                                   << "failed to connect to '127.0.0.1:6099': Connection refused";
        QTest::newRow("adb: failed to") << "adb: failed to install bad.apk: Failure [INSTALL_PARSE_FAILED_NOT_APK: not a zip]\nx\n"
                                        << "adb: failed to install bad.apk: Failure [INSTALL_PARSE_FAILED_NOT_APK: not a zip]";
        QTest::newRow("blanks around an error line") << "  adb: error: boom \t\n  \n" << "adb: error: boom";
        QTest::newRow("no error line: the last meaningful line")
            << "protocol fault: failed to read stat response\n" << "protocol fault: failed to read stat response";
        QTest::newRow("error inside a name is no error line")
            << "/home/me/error: notes.txt: 0 files pushed, 0 skipped.\n" << "/home/me/error: notes.txt: 0 files pushed, 0 skipped.";
        QTest::newRow("progress only") << "[  5%] /sdcard/a\r[ 50%] /sdcard/a\r" << "Transfer failed";
        QTest::newRow("empty") << QString() << "Transfer failed";
    }

    void failureLine()
    {
        QFETCH(QString, text);
        QFETCH(QString, line);
        QCOMPARE(ADB::failureLine(text), line);
    }

    void errorLine_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("line"); // empty: none
        QTest::newRow("a push that could not read a folder, with status 0")
            << "adb: error: cannot open '/home/me/tree/locked/': Permission denied\n"
               "/home/me/tree/: 1 file pushed, 0 skipped. 0.0 MB/s (2 bytes in 0.005s)\n"
            << "adb: error: cannot open '/home/me/tree/locked/': Permission denied";
        QTest::newRow("a whole copy") << "\r[100%] /sdcard/x\nx: 1 file pulled, 0 skipped. 310.0 MB/s\n" << "";
        QTest::newRow("a warning is no error") << "adb: warning: skipping special file 'fifo'\nx: 1 file pushed.\n" << "";
        QTest::newRow("empty") << QString() << "";
    }

    void errorLine()
    {
        QFETCH(QString, text);
        QFETCH(QString, line);
        QCOMPARE(ADB::errorLine(text), line.isEmpty() ? std::nullopt : std::optional<QString>(line));
    }

    void temporaryName_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("temporary");
        const QString suffix = QStringLiteral(".tessary-1a2b3c4d");
        QTest::newRow("short") << "big.bin" << ".big.bin" + suffix;
        QTest::newRow("hidden") << ".profile" << "..profile" + suffix;
        // 255 bytes at most: one dot, the suffix's 17, 237 left for the name.
        QTest::newRow("long") << QString(300, 'a') << "." + QString(237, 'a') + suffix;
        QTest::newRow("two-byte characters are never cut")
            << QString(200, QChar(0xE9)) << "." + QString(118, QChar(0xE9)) + suffix;
        const QString grin = QStringLiteral("\U0001F600");
        QTest::newRow("surrogate pairs stay whole") << grin.repeated(100) << "." + grin.repeated(59) + suffix;
    }

    void temporaryName()
    {
        QFETCH(QString, name);
        QFETCH(QString, temporary);
        const QString made = ::temporaryName(name, QStringLiteral("1a2b3c4d"));
        QCOMPARE(made, temporary);
        QVERIFY(made.toUtf8().size() <= 255);
    }

    void temporaryPath_data()
    {
        QTest::addColumn<QString>("destination");
        QTest::addColumn<QString>("temporary");
        QTest::newRow("local file") << "/home/me/Downloads/a.zip" << "/home/me/Downloads/.a.zip.tessary-t";
        QTest::newRow("phone root") << "/y.txt" << "/.y.txt.tessary-t";
        QTest::newRow("folder with a slash") << "/sdcard/tree/" << "/sdcard/.tree.tessary-t";
        QTest::newRow("space in the name") << "/sdcard/My Folder" << "/sdcard/.My Folder.tessary-t";
    }

    void temporaryPath()
    {
        QFETCH(QString, destination);
        QFETCH(QString, temporary);
        QCOMPARE(::temporaryPath(destination, QStringLiteral("t")), temporary);
    }

    void parseInventory_data()
    {
        QTest::addColumn<QString>("output");
        QTest::addColumn<QString>("error");
        QTest::addColumn<QString>("root");
        QTest::addColumn<QStringList>("files");
        QTest::addColumn<QStringList>("unreadable");
        QTest::addColumn<bool>("complete");
        const QString end = QStringLiteral("tessary-walk-end 0\n");
        // One line as the phone's `ls -ldb` prints a file.
        auto file = [](qint64 size, const QString &printed) {
            return QStringLiteral("-rw-rw---- 1 u0_a1 media_rw %1 2026-01-01 10:00 %2\n").arg(size).arg(printed);
        };
        QTest::newRow("folder") << file(10, "/s/t/a.txt") + file(200000, "/s/t/sub/b\\ c.bin") + end << "" << "/s/t"
                                << QStringList{"/a.txt=10", "/sub/b c.bin=200000"} << QStringList{} << true;
        QTest::newRow("root with a slash") << file(10, "/s/t/a.txt") + end << "" << "/s/t/"
                                           << QStringList{"/a.txt=10"} << QStringList{} << true;
        QTest::newRow("root with a space") << file(1, "/s/my\\ t/a") + end << "" << "/s/my t"
                                           << QStringList{"/a=1"} << QStringList{} << true;
        QTest::newRow("file root") << file(7, "/s/x.txt") + end << "" << "/s/x.txt" << QStringList{"=7"}
                                   << QStringList{} << true;
        QTest::newRow("empty folder") << end << "" << "/s/t" << QStringList{} << QStringList{} << true;
        QTest::newRow("terminal line ends") << file(10, "/s/t/a").replace("\n", "\r\n") + "tessary-walk-end 0\r\n"
                                            << "" << "/s/t" << QStringList{"/a=10"} << QStringList{} << true;
        QTest::newRow("unreadable folder")
            << file(4, "/s/t/a") + "tessary-walk-end 1\n" << "find: /s/t/Locked: Permission denied\n" << "/s/t"
            << QStringList{"/a=4"} << QStringList{"/s/t/Locked"} << false;
        QTest::newRow("cut off before the end") << file(10, "/s/t/a") << "" << "/s/t" << QStringList{"/a=10"}
                                                << QStringList{} << false;
        QTest::newRow("find failed") << "tessary-walk-end 1\n" << "" << "/s/t" << QStringList{} << QStringList{} << false;
        QTest::newRow("adb failed") << "" << "error: device offline\n" << "/s/t" << QStringList{}
                                    << QStringList{} << false;
        // A name that holds a line break and what looks like another file stays one file.
        QTest::newRow("a name with a line feed") << file(3, "/s/t/a\\n9\\ /s/t/b") + end << "" << "/s/t"
                                                 << QStringList{"/a\n9 /s/t/b=3"} << QStringList{} << true;
        QTest::newRow("an unescaped line is not understood") << file(3, "/s/t/a") + "b\n" + end << "" << "/s/t"
                                                             << QStringList{"/a=3"} << QStringList{} << false;
        QTest::newRow("a sibling that starts like the root") << file(5, "/s/tree2/x") + end << "" << "/s/tree"
                                                             << QStringList{} << QStringList{} << false;
        QTest::newRow("not a regular file") << "drwxrwx--x 2 u0_a1 media_rw 4096 2026-01-01 10:00 /s/t/d\n" + end
                                            << "" << "/s/t" << QStringList{} << QStringList{} << false;
    }

    void parseInventory()
    {
        QFETCH(QString, output);
        QFETCH(QString, error);
        QFETCH(QString, root);
        QFETCH(QStringList, files);
        QFETCH(QStringList, unreadable);
        QFETCH(bool, complete);
        const FileInventory inventory = ::parseInventory(output, error, root);
        QCOMPARE(filesOf(inventory), files);
        QCOMPARE(inventory.unreadable, unreadable);
        QCOMPARE(inventory.complete, complete);
    }

    void inventoryCommandQuotesTheRoot()
    {
        QCOMPARE(inventoryCommand(QStringLiteral("/sdcard/it's/")),
                 QStringLiteral("find -H '/sdcard/it'\\''s' -type f -exec ls -ldb {} +; "
                                "echo \"tessary-walk-end $?\""));
        QCOMPARE(folderWalkOnlyCommand(QStringLiteral("/sdcard/it's/")),
                 QStringLiteral("find -H '/sdcard/it'\\''s' -type d >/dev/null; echo \"tessary-walk-end $?\""));
    }

    void localInventory()
    {
        QTemporaryDir dir;
        makeTree(dir.path(), {"t/a.txt=hello", "t/sub/b.bin=12345678", "t/.hidden=x", "t/empty/"});
        QVERIFY(QFile::link(dir.filePath("t/a.txt"), dir.filePath("t/link")));
        const FileInventory folder = ::localInventory(dir.filePath("t"));
        QCOMPARE(filesOf(folder), (QStringList{"/.hidden=1", "/a.txt=5", "/sub/b.bin=8"}));
        QVERIFY(folder.complete);
        QVERIFY(folder.unreadable.isEmpty());
        const FileInventory file = ::localInventory(dir.filePath("t/sub/b.bin"));
        QCOMPARE(filesOf(file), QStringList{"=8"});
        QVERIFY(file.complete);
        const FileInventory missing = ::localInventory(dir.filePath("nothing"));
        QVERIFY(missing.files.isEmpty());
        QVERIFY(!missing.complete);
    }

    void firstDifference_data()
    {
        QTest::addColumn<QStringList>("source");
        QTest::addColumn<QStringList>("copy");
        QTest::addColumn<bool>("whole");
        QTest::addColumn<QString>("difference");
        QTest::newRow("whole") << QStringList{"/a=1", "/sub/b=2"} << QStringList{"/sub/b=2", "/a=1"} << true << "";
        QTest::newRow("more in the copy") << QStringList{"/a=1"} << QStringList{"/a=1", "/old=9"} << true << "";
        QTest::newRow("empty source") << QStringList{} << QStringList{} << true << "";
        QTest::newRow("a file missing") << QStringList{"/a=1", "/sub/b=2"} << QStringList{"/a=1"} << false << "/sub/b";
        QTest::newRow("a file shorter") << QStringList{"/a=1", "/b=2000"} << QStringList{"/a=1", "/b=1999"} << false << "/b";
        QTest::newRow("the first in path order") << QStringList{"/z=1", "/m=1"} << QStringList{} << false << "/m";
        QTest::newRow("a file root shorter") << QStringList{"=20000000"} << QStringList{"=19000000"} << false << "";
        QTest::newRow("a folder instead of a file") << QStringList{"=5"} << QStringList{"/x=5"} << false << "";
    }

    void firstDifference()
    {
        QFETCH(QStringList, source);
        QFETCH(QStringList, copy);
        QFETCH(bool, whole);
        QFETCH(QString, difference);
        const std::optional<QString> found = ::firstDifference(inventoryOf(source), inventoryOf(copy));
        QCOMPARE(found, whole ? std::nullopt : std::optional<QString>(difference));
    }

    // The phone's settle command and the local settle follow one rule; both are run on the
    // same cases ("tmp" is the finished copy, "dest" its destination).
    void settleOnThePhoneShell_data()
    {
        QTest::addColumn<QStringList>("before");
        QTest::addColumn<QStringList>("after");
        QTest::addColumn<bool>("succeeds");
        QTest::newRow("file onto nothing") << QStringList{"tmp=new"} << QStringList{"dest=new"} << true;
        QTest::newRow("file over a file") << QStringList{"tmp=new", "dest=old"} << QStringList{"dest=new"} << true;
        QTest::newRow("folder onto nothing")
            << QStringList{"tmp/a=1", "tmp/sub/b=2"} << QStringList{"dest/", "dest/a=1", "dest/sub/", "dest/sub/b=2"} << true;
        QTest::newRow("folder merged file by file")
            << QStringList{"tmp/a=new", "tmp/.h=hidden", "tmp/sub/b=new", "dest/a=old", "dest/keep=k", "dest/sub/c=c"}
            << QStringList{"dest/", "dest/.h=hidden", "dest/a=new", "dest/keep=k", "dest/sub/", "dest/sub/b=new", "dest/sub/c=c"}
            << true;
        QTest::newRow("file never goes into a folder")
            << QStringList{"tmp=new", "dest/x=old"} << QStringList{"dest/", "dest/x=old", "tmp=new"} << false;
        QTest::newRow("folder never replaces a file")
            << QStringList{"tmp/a=1", "dest=old"} << QStringList{"dest=old", "tmp/", "tmp/a=1"} << false;
        QTest::newRow("a file where the destination has a folder")
            << QStringList{"tmp/a=new", "dest/a/x=old"}
            << QStringList{"dest/", "dest/a/", "dest/a/x=old", "tmp/", "tmp/a=new"} << false;
    }

    // Runs `command` in the phone's userland: mksh with toybox's applets.
    static QString runPhoneShell(const QString &command)
    {
        QTemporaryDir bin;
        for (const char *applet : {"mv", "rmdir", "mkdir"})
            QFile::link(QStringLiteral("/usr/bin/toybox"), bin.filePath(QString::fromLatin1(applet)));
        QProcess shell;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("PATH"), bin.path() + QStringLiteral(":/usr/bin:/bin"));
        shell.setProcessEnvironment(env);
        shell.start(QStringLiteral("/usr/bin/mksh"), {QStringLiteral("-c"), command});
        shell.waitForFinished(30000);
        return QString::fromUtf8(shell.readAllStandardOutput());
    }

    static bool hasPhoneShell()
    {
        return QFileInfo::exists(QStringLiteral("/usr/bin/mksh")) && QFileInfo::exists(QStringLiteral("/usr/bin/toybox"));
    }

    void settleOnThePhoneShell()
    {
        QFETCH(QStringList, before);
        QFETCH(QStringList, after);
        QFETCH(bool, succeeds);
        if (!hasPhoneShell())
            QSKIP("the phone's shell (mksh) and toybox are not installed");
        QTemporaryDir dir;
        makeTree(dir.path(), before);
        const QList<SettleStep> steps{{dir.filePath(QStringLiteral("tmp")), dir.filePath(QStringLiteral("dest")),
                                       QFileInfo(dir.filePath(QStringLiteral("tmp"))).isDir()}};
        const QString output = runPhoneShell(settleCommand(steps, QStringLiteral("end-1")));
        const QList<std::optional<QString>> outcomes = settleOutcomes(output, 1, QStringLiteral("end-1"));
        QCOMPARE(outcomes.size(), 1);
        QCOMPARE(!outcomes.first().has_value(), succeeds);
        // A failed step says why (the phone's mv or the script's own message).
        if (!succeeds)
            QVERIFY2(outcomes.first()->contains(QLatin1String("mv: ")), qPrintable(*outcomes.first()));
        QCOMPARE(treeOf(dir.path()), after);
    }

    // One shell run settles several copies in order; a step that fails says why and leaves
    // the others to succeed.
    void settleOfSeveralCopiesInOneRun()
    {
        if (!hasPhoneShell())
            QSKIP("the phone's shell (mksh) and toybox are not installed");
        QTemporaryDir dir;
        makeTree(dir.path(), {"t1=one", "t2=two", "blocked/inside=old", "t3=three"});
        const QList<SettleStep> steps{
            {dir.filePath("t1"), dir.filePath("one"), false},
            {dir.filePath("t2"), dir.filePath("blocked"), false},
            {dir.filePath("t3"), dir.filePath("three"), false},
        };
        const QString output = runPhoneShell(settleCommand(steps, QStringLiteral("end-7f3a")));
        const QList<std::optional<QString>> outcomes = settleOutcomes(output, steps.size(), QStringLiteral("end-7f3a"));
        QCOMPARE(outcomes.size(), 3);
        QCOMPARE(outcomes.at(0), std::nullopt);
        QVERIFY(outcomes.at(1).has_value());
        QVERIFY2(outcomes.at(1)->contains(QLatin1String("Is a directory")), qPrintable(*outcomes.at(1)));
        QCOMPARE(outcomes.at(2), std::nullopt);
        QCOMPARE(treeOf(dir.path()),
                 (QStringList{"blocked/", "blocked/inside=old", "one=one", "t2=two", "three=three"}));
    }

    // Copies with long names settle over several runs, each command short enough for adb
    // of any phone; every step of every run settles.
    void settleOfManyCopiesSplitIntoRuns()
    {
        if (!hasPhoneShell())
            QSKIP("the phone's shell (mksh) and toybox are not installed");
        QTemporaryDir dir;
        QList<SettleStep> steps;
        QStringList entries;
        QStringList expected;
        for (int i = 0; i < 40; ++i) {
            const QString name = QStringLiteral("IMG_20261211_%1_HDR_portrait_from_the_trip_to_the_coast.jpg").arg(i, 3, 10, QLatin1Char('0'));
            entries << QStringLiteral(".%1.tessary-0000%2=%3").arg(name).arg(i, 4, 10, QLatin1Char('0')).arg(i);
            expected << QStringLiteral("%1=%2").arg(name).arg(i);
            steps << SettleStep{dir.filePath(entries.last().section(QLatin1Char('='), 0, 0)), dir.filePath(name), false};
        }
        makeTree(dir.path(), entries);
        QCOMPARE(settleStepsPerRun({}), 0);
        QCOMPARE(settleStepsPerRun(steps.first(1)), 1);

        QList<std::optional<QString>> outcomes;
        int runs = 0;
        for (QList<SettleStep> left = steps; !left.isEmpty(); ++runs) {
            const QList<SettleStep> run = left.first(settleStepsPerRun(left));
            left.remove(0, run.size());
            const QString marker = newSettleMarker();
            const QString command = settleCommand(run, marker);
            QVERIFY2(command.toUtf8().size() <= 4000, qPrintable(QString::number(command.toUtf8().size())));
            outcomes << settleOutcomes(runPhoneShell(command), run.size(), marker);
        }
        QVERIFY(runs > 1);
        QCOMPARE(outcomes, QList<std::optional<QString>>(steps.size(), std::nullopt));
        expected.sort();
        QCOMPARE(treeOf(dir.path()), expected);

        // A single step longer than any run is still taken, alone.
        const SettleStep huge{dir.filePath(QString(3000, QLatin1Char('t'))), dir.filePath(QString(3000, QLatin1Char('d'))), false};
        QCOMPARE(settleStepsPerRun({huge, steps.first()}), 1);
    }

    void settleOnThisComputer_data() { settleOnThePhoneShell_data(); }

    void settleOnThisComputer()
    {
        QFETCH(QStringList, before);
        QFETCH(QStringList, after);
        QFETCH(bool, succeeds);
        QTemporaryDir dir;
        makeTree(dir.path(), before);
        const std::optional<QString> failure =
            settleLocal(dir.filePath(QStringLiteral("tmp")), dir.filePath(QStringLiteral("dest")));
        QCOMPARE(!failure.has_value(), succeeds);
        QCOMPARE(treeOf(dir.path()), after);
    }

    void settleOfAFolderPushThatCreatedNothing()
    {
        if (!hasPhoneShell())
            QSKIP("the phone's shell (mksh) and toybox are not installed");
        QTemporaryDir dir;
        const QList<SettleStep> steps{{dir.filePath(QStringLiteral("tmp")), dir.filePath(QStringLiteral("dest")), true}};
        const QString output = runPhoneShell(settleCommand(steps, QStringLiteral("end")));
        QCOMPARE(settleOutcomes(output, 1, QStringLiteral("end")), (QList<std::optional<QString>>{std::nullopt}));
        QCOMPARE(treeOf(dir.path()), QStringList{"dest/"});
    }

    // What each step printed before its end line is its failure; a step whose line never
    // came (the output was cut off) failed as well.
    void settleOutcomesReadTheEndLines_data()
    {
        QTest::addColumn<QString>("output");
        QTest::addColumn<int>("count");
        QTest::addColumn<QStringList>("outcomes"); // "ok" for a success, else the printed text
        QTest::newRow("success") << "end 0\n" << 1 << QStringList{"ok"};
        QTest::newRow("terminal line ends") << "end 0\r\nend 0\r\n" << 2 << QStringList{"ok", "ok"};
        QTest::newRow("failure with its message")
            << "mv: a: Permission denied\nend 1\nend 0\n" << 2 << QStringList{"mv: a: Permission denied", "ok"};
        QTest::newRow("cut off") << "end 0\nmv: b" << 3 << QStringList{"ok", "mv: b", ""};
        QTest::newRow("nothing at all") << "" << 1 << QStringList{""};
        QTest::newRow("a larger status") << "end 01\n" << 1 << QStringList{""};
        QTest::newRow("not a status") << "end 0x\nend 0\n" << 1 << QStringList{"ok"};
        QTest::newRow("another marker") << "other 0\n" << 1 << QStringList{"other 0\n"};
    }

    void settleOutcomesReadTheEndLines()
    {
        QFETCH(QString, output);
        QFETCH(int, count);
        QFETCH(QStringList, outcomes);
        QList<std::optional<QString>> expected;
        for (const QString &outcome : outcomes)
            expected << (outcome == QLatin1String("ok") ? std::nullopt : std::optional<QString>(outcome));
        QCOMPARE(settleOutcomes(output, count, QStringLiteral("end")), expected);
    }

    void discardLocalRemovesLinksNotTheirTargets()
    {
        QTemporaryDir dir;
        makeTree(dir.path(), {"kept/a=1", "tmp/b=2"});
        QVERIFY(QFile::link(dir.filePath("kept"), dir.filePath("tmp/link")));
        discardLocal(dir.filePath("tmp"));
        QCOMPARE(treeOf(dir.path()), (QStringList{"kept/", "kept/a=1"}));
    }

    void inRowOrder_data()
    {
        QTest::addColumn<QStringList>("selection");
        QTest::addColumn<QStringList>("rows");
        QTest::addColumn<QStringList>("ordered");
        QTest::newRow("the pane's order") << QStringList{"/p/a", "/p/b", "/p/c"}
                                          << QStringList{"/p/c", "/p/x", "/p/a", "/p/b"}
                                          << QStringList{"/p/c", "/p/a", "/p/b"};
        QTest::newRow("no row: name order after the rows")
            << QStringList{"/p/x10", "/p/a", "/p/x2"} << QStringList{"/p/a"} << QStringList{"/p/a", "/p/x2", "/p/x10"};
        QTest::newRow("nothing selected") << QStringList{} << QStringList{"/p/a"} << QStringList{};
    }

    void inRowOrder()
    {
        QFETCH(QStringList, selection);
        QFETCH(QStringList, rows);
        QFETCH(QStringList, ordered);
        QCOMPARE(::inRowOrder(QSet<QString>(selection.begin(), selection.end()), rowsOf(rows)), ordered);
    }

    void inRowOrderOfAList()
    {
        // Paths that are no row keep their given order.
        QCOMPARE(::inRowOrder(QStringList{"/q/z", "/p/b", "/q/y", "/p/c"}, rowsOf({"/p/c", "/p/b"})),
                 (QStringList{"/p/c", "/p/b", "/q/z", "/q/y"}));
    }
};

QTEST_GUILESS_MAIN(TransferUnitsTest)
#include "tst_transferunits.moc"
