// End-to-end runs of the built tessary with "--selftest" against emulated phones reached
// through the real adb, found the way a user would arrange it: a working folder whose
// vendor/platform-tools/adb is the real tool, talking to a private adb server.

#include "PhoneFixture.h"
#include "TessaryRun.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QString dash = QStringLiteral("  \u2014 ");

QString literal(const QString &text)
{
    return QRegularExpression::escape(text);
}

bool writeFile(const QString &path, const QByteArray &content)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(content) == content.size();
}

// Each printed line must match its pattern in full.
void compareLines(const QStringList &lines, const QStringList &patterns)
{
    QCOMPARE(lines.size(), patterns.size());
    for (int i = 0; i < patterns.size(); ++i) {
        const QRegularExpression line(QRegularExpression::anchoredPattern(patterns[i]));
        QVERIFY2(line.match(lines[i]).hasMatch(), qPrintable(QStringLiteral("line %1: %2").arg(i + 1).arg(lines[i])));
    }
}

// The lines before the scratch tests, for the phone the tests start.
QStringList openingLines(const QString &screenshot, int rootItems)
{
    return {
        literal(QStringLiteral("Device: EmuPhone 1")),
        literal(QStringLiteral("PASS storage volumes found") + dash + QStringLiteral("Internal storage=/storage/emulated/0 "))
            + QStringLiteral("[0-9.]+ (kB|MB|GB|TB) free"),
        literal(QStringLiteral("PASS internal storage listed first")),
        literal(QStringLiteral("PASS phone info") + dash + QStringLiteral("Emu EmuPhone 1, Android 14, battery 85%")),
        screenshot,
        literal(QStringLiteral("PASS list internal storage root") + dash + QString::number(rootItems) + QStringLiteral(" items")),
        literal(QStringLiteral("INFO DCIM files found: 3")),
    };
}

bool addCameraFiles(const QString &internal)
{
    return writeFile(internal + QStringLiteral("/DCIM/Camera/IMG_1.jpg"), "one")
        && writeFile(internal + QStringLiteral("/DCIM/Camera/IMG_2.jpg"), "two")
        && writeFile(internal + QStringLiteral("/DCIM/Camera/VID_3.mp4"), "three")
        && writeFile(internal + QStringLiteral("/DCIM/.thumbnails/1.jpg"), "hidden");
}

int visibleItems(const QString &folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot).size();
}

bool noLocalFolderLeft(const QString &temporary)
{
    return QDir(temporary).entryList({QStringLiteral("TessarySelfTest-*")}, QDir::AllEntries | QDir::NoDotAndDotDot).isEmpty();
}

// A folder laid out like an unpacked download of the platform tools next to Tessary.
bool makeWorkingFolder(const QString &folder, const QString &adb)
{
    return QDir().mkpath(folder + QStringLiteral("/vendor/platform-tools"))
        && QFile::link(adb, folder + QStringLiteral("/vendor/platform-tools/adb"));
}

}

class DeviceSelfTest : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        QString reason;
        if (!PhoneFixture::isSupported(&reason))
            QSKIP(qPrintable(QStringLiteral("emulated phones cannot run here: ") + reason));
    }

    void readyPhone_data()
    {
        QTest::addColumn<bool>("locked");
        QTest::newRow("unlocked: every check passes") << false;
        QTest::newRow("locked screen: the screenshot check fails and is counted") << true;
    }

    void readyPhone()
    {
        QFETCH(bool, locked);
        PhoneFixture fixture;
        QVERIFY2(fixture.start(), qPrintable(fixture.errorString()));
        PhoneOptions options;
        options.locked = locked;
        // About the speed of a USB cable, so the 400 MiB push is still running when the
        // test cancels it.
        options.throttleMBps = 40;
        const QString serial = fixture.addPhone(options);
        QVERIFY2(!serial.isEmpty(), qPrintable(fixture.errorString()));

        const QString internal = fixture.hostPath(serial, QStringLiteral("/storage/emulated/0"));
        QVERIFY(addCameraFiles(internal));
        const int rootItems = visibleItems(internal);

        QTemporaryDir temporary;
        QVERIFY(temporary.isValid());
        const QString working = temporary.filePath(QStringLiteral("work"));
        QVERIFY(makeWorkingFolder(working, fixture.adbPath()));
        const QString scratchTemp = temporary.filePath(QStringLiteral("tmp"));
        QVERIFY(QDir().mkpath(scratchTemp));

        RunSetup setup;
        setup.arguments = {QStringLiteral("--selftest")};
        setup.environment = fixture.environment();
        setup.workingDirectory = working;
        setup.temporaryFolder = scratchTemp;
        const RunOutcome run = runTessary(setup);
        QVERIFY2(run.finished && run.status == (locked ? 1 : 0), describe(run));

        const QString screenshot = locked ? literal(QStringLiteral("FAIL screenshot (phone screen may be locked)"))
                                          : literal(QStringLiteral("PASS screenshot is PNG") + dash) + QStringLiteral("\\d+ bytes");
        const QStringList expected = openingLines(screenshot, rootItems) + QStringList{
            literal(QStringLiteral("PASS push file with apostrophe/spaces/unicode") + dash + QStringLiteral("it's a test file \u00E9.txt")),
            literal(QStringLiteral("PASS list parses odd filename")),
            literal(QStringLiteral("PASS androidSafeName")),
            literal(QStringLiteral("PASS push file whose Mac name Android forbids (auto-renamed)")),
            literal(QStringLiteral("PASS push nested folder")),
            literal(QStringLiteral("PASS keep-both exact names (file)")),
            literal(QStringLiteral("PASS keep-both exact names (folder contents not nested)")),
            literal(QStringLiteral("PASS unique name generator")),
            literal(QStringLiteral("PASS pull folder round-trip")),
            literal(QStringLiteral("PASS pull to exact local name")),
            literal(QStringLiteral("PASS rename on phone")),
            literal(QStringLiteral("PASS delete on phone")),
            literal(QStringLiteral("PASS cancel stops a running transfer") + dash + QStringLiteral("stopped after ")) + QStringLiteral("\\d+\\.\\ds"),
            literal(QStringLiteral("PASS cleanup scratch folder")),
            QString(),
            literal(locked ? QStringLiteral("1 TEST(S) FAILED") : QStringLiteral("ALL TESTS PASSED")),
        };
        compareLines(run.lines, expected);
        if (QTest::currentTestFailed())
            return;

        // Nothing is left behind, on the phone or on the computer.
        QVERIFY(!QFileInfo::exists(internal + QStringLiteral("/TessarySelfTest")));
        QVERIFY(noLocalFolderLeft(scratchTemp));
    }

    // A phone that cannot make the scratch folder (a file holds its name) ends the scratch
    // tests at their first step with one FAIL line; cleanup and the verdict still follow.
    void scratchFolderRefused()
    {
        PhoneFixture fixture;
        QVERIFY2(fixture.start(), qPrintable(fixture.errorString()));
        const QString serial = fixture.addPhone();
        QVERIFY2(!serial.isEmpty(), qPrintable(fixture.errorString()));
        const QString internal = fixture.hostPath(serial, QStringLiteral("/storage/emulated/0"));
        QVERIFY(addCameraFiles(internal));
        QVERIFY(writeFile(internal + QStringLiteral("/TessarySelfTest"), "in the way"));
        const int rootItems = visibleItems(internal);

        QTemporaryDir temporary;
        QVERIFY(temporary.isValid());
        QVERIFY(makeWorkingFolder(temporary.filePath(QStringLiteral("work")), fixture.adbPath()));

        RunSetup setup;
        setup.arguments = {QStringLiteral("--selftest")};
        setup.environment = fixture.environment();
        setup.workingDirectory = temporary.filePath(QStringLiteral("work"));
        setup.temporaryFolder = temporary.path();
        const RunOutcome run = runTessary(setup);
        QVERIFY2(run.finished && run.status == 1, describe(run));

        const QString screenshot = literal(QStringLiteral("PASS screenshot is PNG") + dash) + QStringLiteral("\\d+ bytes");
        compareLines(run.lines, openingLines(screenshot, rootItems) + QStringList{
            literal(QStringLiteral("FAIL scratch tests") + dash) + QStringLiteral("\\S.*File exists"),
            literal(QStringLiteral("PASS cleanup scratch folder")),
            QString(),
            literal(QStringLiteral("1 TEST(S) FAILED")),
        });
        if (QTest::currentTestFailed())
            return;
        QVERIFY(!QFileInfo::exists(internal + QStringLiteral("/TessarySelfTest")));
        QVERIFY(noLocalFolderLeft(temporary.path()));
    }

    void onlyUnauthorizedPhone()
    {
        PhoneFixture fixture;
        QVERIFY2(fixture.start(), qPrintable(fixture.errorString()));
        PhoneOptions options;
        options.rejectAuth = true;
        QVERIFY2(!fixture.addPhone(options).isEmpty(), qPrintable(fixture.errorString()));

        QTemporaryDir temporary;
        QVERIFY(temporary.isValid());
        QVERIFY(makeWorkingFolder(temporary.filePath(QStringLiteral("work")), fixture.adbPath()));

        RunSetup setup;
        setup.arguments = {QStringLiteral("--selftest")};
        setup.environment = fixture.environment();
        setup.workingDirectory = temporary.filePath(QStringLiteral("work"));
        setup.temporaryFolder = temporary.path();
        const RunOutcome run = runTessary(setup);
        QVERIFY2(run.finished && run.status == 1, describe(run));
        QCOMPARE(run.lines, QStringList{QStringLiteral("FAIL no ready device")});
    }
};

QTEST_GUILESS_MAIN(DeviceSelfTest)
#include "tst_deviceselftest.moc"
