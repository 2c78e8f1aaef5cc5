#include "diagnostics/ResultLine.h"
#include "diagnostics/RoundTripNumber.h"
#include "diagnostics/TestDiskImage.h"

#include <QCoro/QCoroTask>
#include <QDir>
#include <QFile>
#include <QTest>

#include <unistd.h>

// Runs a coroutine to its end inside the test's event loop.
template<typename T>
T finish(QCoro::Task<T> task)
{
    return QCoro::waitFor(std::move(task));
}

static bool isMounted(const QString &mountPoint)
{
    QFile table(QStringLiteral("/proc/self/mountinfo"));
    if (!table.open(QIODevice::ReadOnly))
        return false;
    const QByteArray needle = ' ' + mountPoint.toUtf8() + ' ';
    return table.readAll().contains(needle);
}

class DiagnosticsTest : public QObject
{
    Q_OBJECT

private slots:
    void resultLine_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<QString>("detail");
        QTest::addColumn<QString>("line");
        QTest::newRow("pass without detail") << "fraction" << true << QString() << "PASS fraction";
        QTest::newRow("pass with detail") << "fraction" << true << "0.05" << QStringLiteral("PASS fraction  \u2014 0.05");
        QTest::newRow("fail without detail") << "screenshot (phone screen may be locked)" << false << QString()
                                             << "FAIL screenshot (phone screen may be locked)";
        QTest::newRow("fail with detail") << "scratch tests" << false << "adb: error: closed"
                                          << QStringLiteral("FAIL scratch tests  \u2014 adb: error: closed");
    }

    void resultLine()
    {
        QFETCH(QString, name);
        QFETCH(bool, ok);
        QFETCH(QString, detail);
        QFETCH(QString, line);
        QCOMPARE(::resultLine(name, ok, detail), line);
    }

    void roundTripNumber_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("text");
        QTest::newRow("fraction") << 0.05 << "0.05";
        QTest::newRow("whole number keeps .0") << 50000000.0 << "50000000.0";
        QTest::newRow("small whole number") << 38.0 << "38.0";
        QTest::newRow("negative") << -1.0 << "-1.0";
        QTest::newRow("zero") << 0.0 << "0.0";
        QTest::newRow("shortest, not all digits") << 0.1 + 0.2 << "0.30000000000000004";
        QTest::newRow("third") << 1.0 / 3.0 << "0.3333333333333333";
        QTest::newRow("largest plain") << 9007199254740991.0 << "9007199254740991.0";
        QTest::newRow("huge uses exponent") << 1e16 << "1e+16";
        QTest::newRow("tiny uses exponent") << 0.00001 << "1e-05";
        QTest::newRow("smallest plain") << 0.0001 << "0.0001";
    }

    void roundTripNumber()
    {
        QFETCH(double, value);
        QFETCH(QString, text);
        QCOMPARE(::roundTripNumber(value), text);
        QCOMPARE(text.toDouble(), value);
    }

    // A disk image is mounted at a fresh place each time and leaves nothing behind, even
    // when the test is interrupted before detaching.
    void diskImageCleansUpWhateverHappened_data()
    {
        QTest::addColumn<bool>("detachFirst");
        QTest::newRow("after a regular detach") << true;
        QTest::newRow("while still mounted") << false;
    }

    void diskImageCleansUpWhateverHappened()
    {
        if (geteuid() != 0)
            QSKIP("mounting a disk image needs root");
        QFETCH(bool, detachFirst);

        TestDiskImage first;
        TestDiskImage second;
        QVERIFY(first.folder() != second.folder());
        QVERIFY(first.volumeName().startsWith(QStringLiteral("TYTEST")));
        QCOMPARE(first.volumeName().size(), 9);

        QCOMPARE(finish(first.create()).code, 0);
        const ShellResult attached = finish(first.attach(false));
        QVERIFY2(attached.code == 0, qPrintable(attached.out));
        const QString mountPoint = first.mountPoint();
        QVERIFY(isMounted(mountPoint));

        QFile written(mountPoint + QStringLiteral("/probe.txt"));
        QVERIFY(written.open(QIODevice::WriteOnly));
        QCOMPARE(written.write("probe"), qint64(5));
        written.close();

        if (detachFirst) {
            QCOMPARE(finish(first.detach()).code, 0);
            QVERIFY(!isMounted(mountPoint));
        }
        finish(first.cleanUp());
        QVERIFY(!isMounted(mountPoint));
        QVERIFY(!QDir(first.folder()).exists());
        if (mountPoint.startsWith(QStringLiteral("/media/TYTEST")))
            QVERIFY(!QDir(mountPoint).exists());
    }

    void readOnlyAttachRefusesWrites()
    {
        if (geteuid() != 0)
            QSKIP("mounting a disk image needs root");
        TestDiskImage image;
        QCOMPARE(finish(image.create()).code, 0);
        const ShellResult attached = finish(image.attach(true));
        QVERIFY2(attached.code == 0, qPrintable(attached.out));
        QFile written(image.mountPoint() + QStringLiteral("/probe.txt"));
        QVERIFY(!written.open(QIODevice::WriteOnly));
        finish(image.cleanUp());
        QVERIFY(!isMounted(image.mountPoint()));
        QVERIFY(!QDir(image.folder()).exists());
    }
};

QTEST_GUILESS_MAIN(DiagnosticsTest)
#include "tst_diagnostics.moc"
