// End-to-end runs of the built tessary in its self-test modes that need no phone: the
// progress self-test, the drive self-test (root), the window-reopen test, and the device
// self-test on a computer without adb. Each compares the printed lines with the expected
// report.

#include "TessaryRun.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <unistd.h>

namespace {

const QString dash = QStringLiteral("  \u2014 ");

QStringList leftovers(const QString &folder, const QString &pattern)
{
    return QDir(folder).entryList({pattern}, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
}

}

class SelfTestModesTest : public QObject
{
    Q_OBJECT

private slots:
    void progressMode()
    {
        QTemporaryDir temporary;
        QVERIFY(temporary.isValid());
        RunSetup setup;
        setup.arguments = {QStringLiteral("--selftest-progress")};
        setup.temporaryFolder = temporary.path();
        const RunOutcome run = runTessary(setup);

        const QStringList expected{
            QStringLiteral("PASS fraction") + dash + QStringLiteral("0.05"),
            QStringLiteral("PASS speed is about 50 MB/s") + dash + QStringLiteral("50000000.0"),
            QStringLiteral("PASS time left is about 38 s") + dash + QStringLiteral("38.0"),
            QStringLiteral("PASS never shows 100% before adb finishes"),
            QStringLiteral("PASS unknown total is indeterminate"),
            QStringLiteral("PASS no speed with a single sample"),
            QStringLiteral("PASS old samples fall out of the speed window"),
            QStringLiteral("PASS duration format"),
            QStringLiteral("PASS description shows bytes, speed, time left") + dash
                + QStringLiteral("100 MB of 2 GB \u00B7 50 MB/s \u00B7 38s left"),
            QStringLiteral("PASS parse stat output"),
            QStringLiteral("PASS parse du output"),
            QStringLiteral("PASS parse missing file"),
            QStringLiteral("PASS destination: folder target"),
            QStringLiteral("PASS destination: exact target"),
            QStringLiteral("PASS local size of a file"),
            QStringLiteral("PASS local size of a folder"),
            QStringLiteral("PASS local size of a missing path is 0"),
            QStringLiteral("LIVE"),
            QStringLiteral("PASS speed is measured while it grows"),
            QStringLiteral("ALL PROGRESS TESTS PASSED"),
        };
        QVERIFY2(run.finished && run.status == 0, describe(run));
        QCOMPARE(run.lines.size(), expected.size());
        for (int i = 0; i < expected.size(); ++i) {
            if (expected[i] == QStringLiteral("LIVE")) {
                static const QRegularExpression live(
                    QStringLiteral("^PASS watching a growing file gives rising progress  \u2014 first 0\\.\\d+, last 0\\.99$"));
                QVERIFY2(live.match(run.lines[i]).hasMatch(), qPrintable(run.lines[i]));
            } else {
                QCOMPARE(run.lines[i], expected[i]);
            }
        }
        QVERIFY(leftovers(temporary.path(), QStringLiteral("tessary-progress-*")).isEmpty());
    }

    // Two runs in a row: each uses its own image folder and volume name and cleans up.
    void drivesMode()
    {
        if (geteuid() != 0)
            QSKIP("the drive self-test mounts a disk image, which needs root");

        const QStringList names{
            QStringLiteral("third-party NTFS drivers"),
            QStringLiteral("exfat / fat32 / apfs / hfs"),
            QStringLiteral("unknown names stay readable"),
            QStringLiteral("NTFS drive is flagged"),
            QStringLiteral("capacity text"),
            QStringLiteral("finds the drive that holds a path"),
            QStringLiteral("startup disk is not listed"),
            QStringLiteral("startup disk is writable"),
            QStringLiteral("created a test exFAT image"),
            QStringLiteral("mount test image"),
            QStringLiteral("scan finds a newly mounted exFAT drive"),
            QStringLiteral("exFAT is recognised"),
            QStringLiteral("exFAT read-write is not flagged read-only"),
            QStringLiteral("capacity is read"),
            QStringLiteral("write guard allows a writable drive"),
            QStringLiteral("scan no longer lists it after eject"),
            QStringLiteral("mount test image read-only"),
            QStringLiteral("read-only mount is detected"),
            QStringLiteral("write guard blocks a read-only drive"),
            QStringLiteral("read-only message names the drive"),
        };
        QStringList expected;
        for (const QString &name : names)
            expected << QStringLiteral("PASS ") + name;
        expected << QStringLiteral("ALL DRIVE TESTS PASSED");

        for (int round = 1; round <= 2; ++round) {
            QTemporaryDir temporary;
            QVERIFY(temporary.isValid());
            const QStringList mediaBefore = leftovers(QStringLiteral("/media"), QStringLiteral("TYTEST*"));
            RunSetup setup;
            setup.arguments = {QStringLiteral("--selftest-drives")};
            setup.temporaryFolder = temporary.path();
            const RunOutcome run = runTessary(setup);
            QVERIFY2(run.finished && run.status == 0, describe(run));
            QCOMPARE(run.lines, expected);
            QVERIFY(leftovers(temporary.path(), QStringLiteral("tydrive-*")).isEmpty());
            QCOMPARE(leftovers(QStringLiteral("/media"), QStringLiteral("TYTEST*")), mediaBefore);
        }
    }

    void reopenMode()
    {
        QTemporaryDir temporary;
        QVERIFY(temporary.isValid());
        RunSetup setup;
        setup.environment.insert(QStringLiteral("REOPENTEST"), QStringLiteral("1"));
        setup.temporaryFolder = temporary.path();
        const RunOutcome run = runTessary(setup);
        QVERIFY2(run.finished && run.status == 0, describe(run));
        const QStringList expected{
            QStringLiteral("windows before close: 1"),
            QStringLiteral("windows after close: 0"),
            QStringLiteral("windows after reopen: 1"),
        };
        QCOMPARE(run.lines, expected);
    }

    // With no adb at any of the places it is looked for, the device self-test says so in
    // its only line and fails. The system adb is hidden in a private mount namespace.
    void deviceModeWithoutAdb()
    {
        if (geteuid() != 0 || QProcess::execute(QStringLiteral("unshare"), {QStringLiteral("--mount"), QStringLiteral("true")}) != 0)
            QSKIP("hiding the system adb needs root and mount namespaces");

        QTemporaryDir temporary;
        QVERIFY(temporary.isValid());
        const QString blank = temporary.filePath(QStringLiteral("not-adb"));
        QFile file(blank);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.close();
        const QString home = temporary.filePath(QStringLiteral("home"));
        QVERIFY(QDir().mkpath(home));

        const QString bundled = QFileInfo(tessaryExecutable()).absolutePath() + QStringLiteral("/../share/tessary/adb");
        const QString hide = QStringLiteral(
            "blank=$1; shift; "
            "for p in /usr/bin/adb /usr/local/bin/adb /opt/homebrew/bin/adb \"%1\"; do "
            "  if [ -e \"$p\" ]; then mount --bind \"$blank\" \"$p\" || exit 97; fi; "
            "done; exec \"$@\"").arg(bundled);

        RunSetup setup;
        setup.arguments = {QStringLiteral("--selftest")};
        setup.temporaryFolder = temporary.path();
        setup.workingDirectory = home;
        setup.environment.insert(QStringLiteral("HOME"), home);
        setup.wrapper = {QStringLiteral("unshare"), QStringLiteral("--mount"), QStringLiteral("--propagation"), QStringLiteral("private"),
                         QStringLiteral("sh"), QStringLiteral("-c"), hide, QStringLiteral("sh"), blank};
        const RunOutcome run = runTessary(setup);
        QVERIFY2(run.finished && run.status == 1, describe(run));
        QCOMPARE(run.lines, QStringList{QStringLiteral("FAIL adb not found")});
        QVERIFY(leftovers(temporary.path(), QStringLiteral("TessarySelfTest-*")).isEmpty());
    }
};

QTEST_GUILESS_MAIN(SelfTestModesTest)
#include "tst_selftestmodes.moc"
