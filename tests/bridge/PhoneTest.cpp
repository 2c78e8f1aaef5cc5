#include "PhoneTest.h"

#include "Await.h"
#include "PhoneFixture.h"
#include "bridge/ADB.h"
#include "common/NameOrder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QString home = QStringLiteral("/storage/emulated/0");

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

QStringList names(const QList<FileEntry> &entries)
{
    QStringList result;
    for (const FileEntry &entry : entries)
        result << entry.name;
    return result;
}

const QStringList awkwardNames{
    QStringLiteral("it's a test file é.txt"), QStringLiteral("$HOME"), QStringLiteral("semi;colon"),
    QStringLiteral("*"), QStringLiteral("-leading dash"), QStringLiteral("back`tick` \"quoted\""),
    QString(200, QLatin1Char('n'))};

}

PhoneTest::PhoneTest() = default;
PhoneTest::~PhoneTest() = default;

QString PhoneTest::host(const QString &phonePath) const
{
    return m_phones->hostPath(m_serial, phonePath);
}

void PhoneTest::initTestCase()
{
    QString reason;
    if (!PhoneFixture::isSupported(&reason))
        QSKIP(qPrintable(QStringLiteral("emulated phones cannot run here: ") + reason));
    m_phones = std::make_unique<PhoneFixture>();
    QVERIFY2(m_phones->start(), qPrintable(m_phones->errorString()));
    ADB::shared().setCandidatesForTesting({m_phones->adbPath()});
    PhoneOptions options;
    options.denyPaths = {home + QStringLiteral("/Secret")};
    m_serial = m_phones->addPhone(options);
    QVERIFY2(!m_serial.isEmpty(), qPrintable(m_phones->errorString()));
    QVERIFY(QDir().mkpath(host(home + QStringLiteral("/Secret"))));
    QVERIFY(writeFile(host(home + QStringLiteral("/Secret/hidden.txt")), "x"));
}

void PhoneTest::listsAwkwardNamesExactly()
{
    const QString folder = home + QStringLiteral("/Names");
    for (int i = 0; i < awkwardNames.size(); ++i)
        QVERIFY(writeFile(host(folder + QLatin1Char('/') + awkwardNames.at(i)), QByteArray(13 + i, 'x')));
    QVERIFY(QDir().mkpath(host(folder + QStringLiteral("/it's a folder"))));
    QVERIFY(writeFile(host(folder + QStringLiteral("/.hidden")), "h"));

    const QList<FileEntry> entries = await(ADB::shared().list(m_serial, folder, false));
    QCOMPARE(entries.size(), awkwardNames.size() + 1);
    QCOMPARE(entries.first().name, QStringLiteral("it's a folder"));
    QVERIFY(entries.first().isDirectory);
    for (int i = 0; i < awkwardNames.size(); ++i) {
        const auto found = std::find_if(entries.cbegin(), entries.cend(),
                                        [&](const FileEntry &e) { return e.name == awkwardNames.at(i); });
        QVERIFY2(found != entries.cend(), qPrintable(awkwardNames.at(i)));
        QCOMPARE(found->size, qint64(13 + i));
        QCOMPARE(found->path, folder + QLatin1Char('/') + awkwardNames.at(i));
        QVERIFY(!found->isDirectory);
        QVERIFY(QRegularExpression(QStringLiteral("^\\d{4}-\\d{2}-\\d{2} \\d{2}:\\d{2}$")).match(found->modified).hasMatch());
    }
    const QList<FileEntry> withHidden = await(ADB::shared().list(m_serial, folder + QLatin1Char('/'), true));
    QVERIFY(names(withHidden).contains(QStringLiteral(".hidden")));
    QCOMPARE(withHidden.size(), entries.size() + 1);
}

void PhoneTest::createRenameDelete_data()
{
    QTest::addColumn<QString>("name");
    for (const QString &name : awkwardNames)
        QTest::newRow(qPrintable(name.left(30))) << name;
}

void PhoneTest::createRenameDelete()
{
    QFETCH(QString, name);
    ADB &adb = ADB::shared();
    const QString base = home + QStringLiteral("/Ops");
    const QString folder = base + QLatin1Char('/') + name;
    await(adb.makeDirectory(m_serial, folder + QStringLiteral("/inner")));
    await(adb.makeDirectory(m_serial, folder)); // already there: still fine
    QVERIFY(QFileInfo(host(folder + QStringLiteral("/inner"))).isDir());
    QVERIFY(writeFile(host(folder + QStringLiteral("/inner/f.txt")), "content"));
    QVERIFY(await(adb.existingNames(m_serial, base)).contains(name));

    // Within the folder.
    const QString renamed = base + QStringLiteral("/renamed ") + name.left(100);
    await(adb.rename(m_serial, folder, renamed));
    QSet<QString> present = await(adb.existingNames(m_serial, base));
    QVERIFY(!present.contains(name));
    QVERIFY(present.contains(QStringLiteral("renamed ") + name.left(100)));

    // To another folder.
    await(adb.makeDirectory(m_serial, home + QStringLiteral("/Elsewhere")));
    const QString moved = home + QStringLiteral("/Elsewhere/") + name;
    await(adb.rename(m_serial, renamed, moved));
    QVERIFY(QFileInfo(host(moved + QStringLiteral("/inner/f.txt"))).isFile());
    QVERIFY(!QFileInfo::exists(host(renamed)));

    // A file, then the non-empty folder.
    const QString file = base + QLatin1Char('/') + name + QStringLiteral(".txt");
    QVERIFY(writeFile(host(file), "x"));
    await(adb.deletePaths(m_serial, {file}));
    QVERIFY(!QFileInfo::exists(host(file)));
    await(adb.deletePaths(m_serial, {moved}));
    QVERIFY(!QFileInfo::exists(host(moved)));
    QVERIFY(QFileInfo(host(home + QStringLiteral("/Elsewhere"))).isDir());
}

void PhoneTest::deleteRemovesSeveralPathsAtOnce()
{
    const QString base = home + QStringLiteral("/Many");
    QVERIFY(writeFile(host(base + QStringLiteral("/one it's")), "1"));
    QVERIFY(writeFile(host(base + QStringLiteral("/two/deep/file")), "2"));
    QVERIFY(writeFile(host(base + QStringLiteral("/keep")), "3"));
    await(ADB::shared().deletePaths(m_serial, {base + QStringLiteral("/one it's"), base + QStringLiteral("/two"),
                                               base + QStringLiteral("/never there")}));
    QCOMPARE(await(ADB::shared().existingNames(m_serial, base)), QSet<QString>{QStringLiteral("keep")});

    // A rename whose source is missing fails with the phone's words.
    const QString failure = failureOf(ADB::shared().rename(m_serial, base + QStringLiteral("/nope"),
                                                           base + QStringLiteral("/other")));
    QVERIFY2(failure.contains(QStringLiteral("mv:")), qPrintable(failure));
}

void PhoneTest::existingNamesOfMissingFolder()
{
    QCOMPARE(await(ADB::shared().existingNames(m_serial, home + QStringLiteral("/No Such Folder"))), QSet<QString>());
}

void PhoneTest::refusedListing()
{
    const QString secret = home + QStringLiteral("/Secret");
    QCOMPARE(failureOf(ADB::shared().list(m_serial, secret, true)), QStringLiteral("Permission denied for ") + secret);
}

void PhoneTest::missingFolder()
{
    const QString missing = home + QStringLiteral("/Gone it's");
    QCOMPARE(failureOf(ADB::shared().list(m_serial, missing, false)), QStringLiteral("Folder not found: ") + missing);
    QVERIFY(QDir().mkpath(host(home + QStringLiteral("/Empty"))));
    QCOMPARE(await(ADB::shared().list(m_serial, home + QStringLiteral("/Empty"), false)).size(), 0);
}

void PhoneTest::allFilesSkipsHiddenAndLinkCycles()
{
    const QString root = home + QStringLiteral("/Tree");
    QVERIFY(writeFile(host(root + QStringLiteral("/a.jpg")), "a"));
    QVERIFY(writeFile(host(root + QStringLiteral("/2024/b.jpg")), "bb"));
    QVERIFY(writeFile(host(root + QStringLiteral("/2024/May/c it's.jpg")), "ccc"));
    QVERIFY(writeFile(host(root + QStringLiteral("/.thumbnails/t.jpg")), "t"));
    QVERIFY(writeFile(host(root + QStringLiteral("/.nomedia")), ""));
    // A link from deep inside back up to the tree's root.
    QVERIFY(QFile::link(QStringLiteral("../.."), host(root + QStringLiteral("/2024/May/up"))));
    QVERIFY(QFile::link(QStringLiteral("2024"), host(root + QStringLiteral("/again"))));

    const QList<FileEntry> files = await(ADB::shared().allFiles(m_serial, root));
    QStringList realNames;
    for (const FileEntry &file : files) {
        QVERIFY(!file.isDirectory);
        realNames << file.name;
    }
    realNames.sort();
    QCOMPARE(realNames, (QStringList{"a.jpg", "b.jpg", "c it's.jpg"}));
}

void PhoneTest::remoteSizeAndKind()
{
    const QString folder = home + QStringLiteral("/Sized it's");
    QVERIFY(writeFile(host(folder + QStringLiteral("/f.bin")), QByteArray(5000, 'x')));
    QCOMPARE(await(ADB::shared().remoteSize(m_serial, folder + QStringLiteral("/f.bin"), false)), qint64(5000));
    QVERIFY(await(ADB::shared().remoteSize(m_serial, folder, true)) >= 5000);
    QCOMPARE(await(ADB::shared().remoteSize(m_serial, folder + QStringLiteral("/nope"), false)), qint64(0));
    QVERIFY(await(ADB::shared().remoteIsDirectory(m_serial, folder)));
    QVERIFY(!await(ADB::shared().remoteIsDirectory(m_serial, folder + QStringLiteral("/f.bin"))));
    QVERIFY(!await(ADB::shared().remoteIsDirectory(m_serial, folder + QStringLiteral("/nope"))));
}

void PhoneTest::storageVolumes_data()
{
    QTest::addColumn<QStringList>("cards");
    QTest::addColumn<QStringList>("names");
    QTest::newRow("internal only") << QStringList() << QStringList{"Internal storage"};
    QTest::newRow("one card") << QStringList{"1A2B-3C4D"} << QStringList{"Internal storage", "SD card"};
    QTest::newRow("two cards") << QStringList{"1A2B-3C4D", "5E6F-7A8B"}
                               << QStringList{"Internal storage", "SD card / USB 1", "SD card / USB 2"};
}

void PhoneTest::storageVolumes()
{
    QFETCH(QStringList, cards);
    QFETCH(QStringList, names);
    QString serial = m_serial;
    if (!cards.isEmpty()) {
        PhoneOptions options;
        options.cards = cards;
        serial = m_phones->addPhone(options);
        QVERIFY2(!serial.isEmpty(), qPrintable(m_phones->errorString()));
    }
    const QList<StorageVolume> volumes = await(ADB::shared().storageVolumes(serial));
    QStringList gotNames;
    for (const StorageVolume &volume : volumes) {
        gotNames << volume.name;
        QVERIFY2(volume.total > 0, qPrintable(volume.path));
        QVERIFY(volume.free >= 0 && volume.free <= volume.total);
    }
    QCOMPARE(gotNames, names);
    QCOMPARE(volumes.first().path, home);
    QVERIFY(volumes.first().isInternal);
    for (int i = 0; i < cards.size(); ++i) {
        QCOMPARE(volumes.at(i + 1).path, QStringLiteral("/storage/") + cards.at(i));
        QVERIFY(!volumes.at(i + 1).isInternal);
    }
    if (serial != m_serial)
        m_phones->stopPhone(serial);
}

void PhoneTest::phoneInfo()
{
    const PhoneInfo info = await(ADB::shared().phoneInfo(m_serial));
    QCOMPARE(info.manufacturer, QStringLiteral("Emu"));
    QCOMPARE(info.model, QStringLiteral("EmuPhone 1"));
    QCOMPARE(info.androidVersion, QStringLiteral("14"));
    QCOMPARE(info.batteryLevel, std::optional<int>(85));
    QVERIFY(info.charging);
    QVERIFY(info.temperatureC);
    QVERIFY(qAbs(*info.temperatureC - 29.1) < 1e-9);
    QCOMPARE(info.serial, m_serial);
}

void PhoneTest::screenshot()
{
    const QByteArray png = await(ADB::shared().screenshot(m_serial));
    QVERIFY(png.startsWith(QByteArray("\x89PNG\r\n\x1a\n", 8)));

    PhoneOptions options;
    options.locked = true;
    const QString locked = m_phones->addPhone(options);
    QVERIFY2(!locked.isEmpty(), qPrintable(m_phones->errorString()));
    QCOMPARE(failureOf(ADB::shared().screenshot(locked)), QStringLiteral("Could not capture the screen (is it locked?)."));
    m_phones->stopPhone(locked);
}

void PhoneTest::install_data()
{
    QTest::addColumn<QByteArray>("contents");
    QTest::addColumn<QString>("failure");
    QTest::newRow("package") << QByteArray("PK\x03\x04", 4) + QByteArray(100000, 'a') << QString();
    QTest::newRow("not a package") << QByteArray("not a package\n")
                                   << "Failure [INSTALL_PARSE_FAILED_NOT_APK: not a zip]";
}

void PhoneTest::install()
{
    QFETCH(QByteArray, contents);
    QFETCH(QString, failure);
    QTemporaryDir dir;
    const QString apk = dir.filePath(QStringLiteral("My App's.apk"));
    QVERIFY(writeFile(apk, contents));
    if (failure.isEmpty()) {
        QVERIFY(await(ADB::shared().install(m_serial, apk)).contains(QStringLiteral("Success")));
    } else {
        const QString message = failureOf(ADB::shared().install(m_serial, apk));
        QVERIFY2(message.endsWith(failure), qPrintable(message));
    }
}

void PhoneTest::largeFolderListsWhole()
{
    const QString folder = home + QStringLiteral("/Large");
    QVERIFY(QDir().mkpath(host(folder)));
    QStringList expected;
    for (int i = 0; i < 20000; ++i) {
        const QString name = QStringLiteral("file %1.txt").arg(19999 - i);
        QFile file(host(folder + QLatin1Char('/') + name));
        QVERIFY(file.open(QIODevice::WriteOnly));
        expected << name;
    }
    std::stable_sort(expected.begin(), expected.end(), nameLess);
    const QList<FileEntry> entries = await(ADB::shared().list(m_serial, folder, false));
    QCOMPARE(entries.size(), 20000);
    QCOMPARE(names(entries), expected);
    QCOMPARE(entries.first().name, QStringLiteral("file 0.txt"));
    QCOMPARE(entries.at(10).name, QStringLiteral("file 10.txt"));
}

void PhoneTest::cleanupTestCase()
{
    m_phones.reset();
}
