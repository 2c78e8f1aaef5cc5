// Pure pieces of the transfer engine: the meter's arithmetic, naming, adb's percentage,
// the destination rules and the drag payload.
#include "model/transfer/AdbProgress.h"
#include "model/transfer/DroppedPaths.h"
#include "model/transfer/Naming.h"
#include "model/transfer/TransferListModel.h"
#include "model/transfer/TransferMeter.h"
#include "model/transfer/TransferPaths.h"

#include <QSignalSpy>
#include <QtTest>

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
        rows.setJobs({c, b, a}); // a batch put on top
        QCOMPARE(inserted.size(), 3);
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
};

QTEST_GUILESS_MAIN(TransferUnitsTest)
#include "tst_transferunits.moc"
