#include "DriveTests.h"

#include "common/ByteCount.h"

#include <QtTest>

#include <limits>

class ByteCountTest : public QObject
{
    Q_OBJECT
private slots:
    void formats_data();
    void formats();
};

void ByteCountTest::formats_data()
{
    QTest::addColumn<qint64>("bytes");
    QTest::addColumn<QString>("text");
    QTest::newRow("zero") << qint64(0) << "0 bytes";
    QTest::newRow("one") << qint64(1) << "1 byte";
    QTest::newRow("999") << qint64(999) << "999 bytes";
    QTest::newRow("1000") << qint64(1000) << "1 kB";
    QTest::newRow("1,500,000") << qint64(1'500'000) << "1.5 MB";
    QTest::newRow("2,000,000,000") << qint64(2'000'000'000) << "2 GB";
    QTest::newRow("one decimal rounded") << qint64(12'345'678'901) << "12.3 GB";
    QTest::newRow("rounds up into next unit") << qint64(999'960) << "1 MB";
    QTest::newRow("stays below next unit") << qint64(999'940) << "999.9 kB";
    QTest::newRow("64 GB card") << qint64(64'000'000'000) << "64 GB";
    QTest::newRow("terabytes") << qint64(4'000'787'030'016) << "4 TB";
    QTest::newRow("largest") << std::numeric_limits<qint64>::max() << "9.2 EB";
    QTest::newRow("negative") << qint64(-1500) << "-1.5 kB";
    QTest::newRow("most negative") << std::numeric_limits<qint64>::min() << "-9.2 EB";
}

void ByteCountTest::formats()
{
    QFETCH(qint64, bytes);
    QFETCH(QString, text);
    QCOMPARE(formatByteCount(bytes), text);
}

int runByteCountTests(int argc, char **argv)
{
    ByteCountTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "ByteCountTest.moc"
