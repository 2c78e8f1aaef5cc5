#include "ModelTests.h"
#include "Patience.h"

#include "PhoneFixture.h"

#include "bridge/ADB.h"
#include "model/AppModel.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <QCoro/QCoroTask>

namespace {

QStringList names(const QList<FileEntry> &rows)
{
    QStringList result;
    for (const FileEntry &row : rows)
        result.append(row.name);
    return result;
}

void writeFile(const QString &path)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("phone");
}

PhoneOptions unauthorized()
{
    PhoneOptions options;
    options.rejectAuth = true;
    return options;
}

} // namespace

// The model against the real adb and emulated phones: the device poll and its selection
// rule, and the phone pane's operations.
class PhoneModelTest : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void noPhoneLeavesEverythingEmpty();
    void phoneAttachedLaterIsSelectedAndListed();
    void idlePollDoesNotRepublishDevices();
    void authorizedPhoneWinsOverUnauthorized();
    void onlyUnauthorizedPhoneIsSelectedWithEmptyPane();
    void selectedPhoneLeavingSwitchesAndResets();
    void selectingAnotherSerialResetsPath();
    void showHiddenReloadsBothPanes();
    void upStopsAtRoots_data();
    void upStopsAtRoots();
    void goAndroidNormalizesAliases();
    void latestNavigationWins();
    void listingErrorIsShownAndClearedByNextListing();
    void createRenameDelete();
    void failedCommandsReportAndReload_data();
    void failedCommandsReportAndReload();
    void openRowEntersFolderOrCopiesFile();

private:
    // Starts the model once the phones are in place, and waits for its first selection.
    AppModel &startModel();
    QString waitForSelection();

    std::unique_ptr<PhoneFixture> m_fixture;
    std::unique_ptr<AppModel> m_model;
    std::unique_ptr<QTemporaryDir> m_macFolder;
};

void PhoneModelTest::init()
{
    m_fixture = std::make_unique<PhoneFixture>();
    QVERIFY2(m_fixture->start(), qPrintable(m_fixture->errorString()));
    ADB::shared().setCandidatesForTesting({m_fixture->adbPath()});
    m_macFolder = std::make_unique<QTemporaryDir>();
}

void PhoneModelTest::cleanup()
{
    m_model.reset();
    m_fixture.reset();
    m_macFolder.reset();
}

AppModel &PhoneModelTest::startModel()
{
    m_model = std::make_unique<AppModel>();
    return *m_model;
}

QString PhoneModelTest::waitForSelection()
{
    [&] { QTRY_VERIFY_WITH_TIMEOUT(m_model->selectedSerial().has_value(), kPatienceMs); }();
    return m_model->selectedSerial().value_or(QString());
}

void PhoneModelTest::noPhoneLeavesEverythingEmpty()
{
    AppModel &model = startModel();
    QCoro::waitFor(model.refreshDevices());
    QVERIFY(!model.adbMissing());
    QVERIFY(model.devices().isEmpty());
    QCOMPARE(model.selectedSerial(), std::nullopt);
    QCOMPARE(model.androidPath(), QStringLiteral("/storage/emulated/0"));
    QVERIFY(model.androidItems().isEmpty());
    QVERIFY(model.storages().isEmpty());
    QCOMPARE(model.androidError(), std::nullopt);
    QCOMPARE(model.message(), std::nullopt);
}

void PhoneModelTest::phoneAttachedLaterIsSelectedAndListed()
{
    AppModel &model = startModel();
    QCoro::waitFor(model.refreshDevices());
    QVERIFY(model.devices().isEmpty());

    const QString serial = m_fixture->addPhone();
    QVERIFY2(!serial.isEmpty(), qPrintable(m_fixture->errorString()));
    writeFile(m_fixture->hostPath(serial, "/storage/emulated/0/hello.txt"));

    QTRY_COMPARE_WITH_TIMEOUT(model.selectedSerial(), serial, kPatienceMs);
    QTRY_VERIFY_WITH_TIMEOUT(names(model.androidItems()).contains("hello.txt"), kPatienceMs);
    QCOMPARE(model.androidPath(), QStringLiteral("/storage/emulated/0"));
    QVERIFY(names(model.androidItems()).contains("DCIM"));
    QVERIFY(!model.storages().isEmpty());
    QCOMPARE(model.storages().first().path, QStringLiteral("/storage/emulated/0"));
    QCOMPARE(model.activeStorage()->path, QStringLiteral("/storage/emulated/0"));
    QVERIFY(model.isAtStorageRoot());
    QCOMPARE(model.message(), std::nullopt);
}

void PhoneModelTest::idlePollDoesNotRepublishDevices()
{
    QVERIFY(!m_fixture->addPhone().isEmpty());
    AppModel &model = startModel();
    waitForSelection();
    QSignalSpy devices(&model, &AppModel::devicesChanged);
    QCoro::waitFor(model.refreshDevices());
    QCoro::waitFor(model.refreshDevices());
    QCOMPARE(devices.count(), 0);
}

void PhoneModelTest::authorizedPhoneWinsOverUnauthorized()
{
    const QString locked = m_fixture->addPhone(unauthorized());
    QVERIFY2(!locked.isEmpty(), qPrintable(m_fixture->errorString()));
    const QString ready = m_fixture->addPhone();
    QVERIFY2(!ready.isEmpty(), qPrintable(m_fixture->errorString()));

    AppModel &model = startModel();
    QCOMPARE(waitForSelection(), ready);
    QCOMPARE(model.devices().size(), 2);
    QTRY_VERIFY_WITH_TIMEOUT(!model.androidItems().isEmpty(), kPatienceMs);
}

void PhoneModelTest::onlyUnauthorizedPhoneIsSelectedWithEmptyPane()
{
    const QString locked = m_fixture->addPhone(unauthorized());
    QVERIFY2(!locked.isEmpty(), qPrintable(m_fixture->errorString()));
    AppModel &model = startModel();
    QCOMPARE(waitForSelection(), locked);
    QCOMPARE(model.selectedDevice()->state, QStringLiteral("unauthorized"));
    QCOMPARE(model.readyDevice(), std::nullopt);

    // Nothing is sent to a phone that is not ready: every operation returns quietly.
    model.newAndroidFolder("New");
    model.deleteAndroid({"/storage/emulated/0/DCIM"});
    model.renameAndroid("/storage/emulated/0/DCIM", "Camera");
    QCoro::waitFor(model.reloadAndroid(true));
    QVERIFY(model.androidItems().isEmpty());
    QVERIFY(model.storages().isEmpty());
    QCOMPARE(model.androidError(), std::nullopt);
    QCOMPARE(model.message(), std::nullopt);
    QVERIFY(QFileInfo(m_fixture->hostPath(locked, "/storage/emulated/0/DCIM")).isDir());
}

void PhoneModelTest::selectedPhoneLeavingSwitchesAndResets()
{
    const QString first = m_fixture->addPhone();
    const QString second = m_fixture->addPhone();
    QVERIFY2(!first.isEmpty() && !second.isEmpty(), qPrintable(m_fixture->errorString()));
    writeFile(m_fixture->hostPath(first, "/storage/emulated/0/DCIM/first.jpg"));
    writeFile(m_fixture->hostPath(second, "/storage/emulated/0/second-phone.txt"));

    AppModel &model = startModel();
    const QString selected = waitForSelection();
    const QString other = selected == first ? second : first;
    model.goAndroid("/storage/emulated/0/DCIM");
    QTRY_COMPARE_WITH_TIMEOUT(model.androidLoading(), false, kPatienceMs);

    QCOMPARE(m_fixture->adb({"disconnect", selected}).status, 0);
    QTRY_COMPARE_WITH_TIMEOUT(model.selectedSerial(), other, kPatienceMs);
    QCOMPARE(model.androidPath(), QStringLiteral("/storage/emulated/0"));
    QCOMPARE(model.phoneInfo(), std::nullopt);
    const QString expected = other == second ? "second-phone.txt" : "DCIM";
    QTRY_VERIFY_WITH_TIMEOUT(names(model.androidItems()).contains(expected), kPatienceMs);

    // The last phone leaving empties the pane.
    QCOMPARE(m_fixture->adb({"disconnect", other}).status, 0);
    QTRY_COMPARE_WITH_TIMEOUT(model.selectedSerial(), std::nullopt, kPatienceMs);
    QTRY_VERIFY_WITH_TIMEOUT(model.androidItems().isEmpty(), kPatienceMs);
    QVERIFY(model.storages().isEmpty());
    QCOMPARE(model.message(), std::nullopt);
}

void PhoneModelTest::selectingAnotherSerialResetsPath()
{
    const QString serial = m_fixture->addPhone();
    QVERIFY(!serial.isEmpty());
    AppModel &model = startModel();
    waitForSelection();
    model.goAndroid("/storage/emulated/0/DCIM");
    QSignalSpy paths(&model, &AppModel::androidPathChanged);
    model.setSelectedSerial(serial);
    QCOMPARE(paths.count(), 0);

    model.setSelectedSerial(QStringLiteral("no-such-phone"));
    QCOMPARE(model.androidPath(), QStringLiteral("/storage/emulated/0"));
    QVERIFY(model.storages().isEmpty());
    QTRY_VERIFY_WITH_TIMEOUT(model.androidItems().isEmpty(), kPatienceMs);
}

void PhoneModelTest::showHiddenReloadsBothPanes()
{
    const QString serial = m_fixture->addPhone();
    QVERIFY(!serial.isEmpty());
    writeFile(m_fixture->hostPath(serial, "/storage/emulated/0/.nomedia"));
    writeFile(m_macFolder->filePath(".hidden-here"));

    AppModel &model = startModel();
    model.setMacPath(m_macFolder->path());
    model.reloadMac();
    waitForSelection();
    QTRY_VERIFY_WITH_TIMEOUT(names(model.androidItems()).contains("DCIM"), kPatienceMs);
    QVERIFY(!names(model.androidItems()).contains(".nomedia"));
    QVERIFY(!names(model.macItems()).contains(".hidden-here"));

    model.setShowHidden(true);
    QVERIFY(names(model.macItems()).contains(".hidden-here"));
    QTRY_VERIFY_WITH_TIMEOUT(names(model.androidItems()).contains(".nomedia"), kPatienceMs);

    model.setShowHidden(false);
    QVERIFY(!names(model.macItems()).contains(".hidden-here"));
    QTRY_VERIFY_WITH_TIMEOUT(!names(model.androidItems()).contains(".nomedia"), kPatienceMs);
}

void PhoneModelTest::upStopsAtRoots_data()
{
    QTest::addColumn<QString>("start");
    QTest::addColumn<QString>("expected");
    QTest::newRow("internal storage") << "/storage/emulated/0" << "/storage/emulated/0";
    QTest::newRow("root") << "/" << "/";
    QTest::newRow("memory card") << "/storage/1A2B-3C4D" << "/storage/1A2B-3C4D";
    QTest::newRow("camera folder") << "/storage/emulated/0/DCIM" << "/storage/emulated/0";
    QTest::newRow("inside the card") << "/storage/1A2B-3C4D/Music" << "/storage/1A2B-3C4D";
}

void PhoneModelTest::upStopsAtRoots()
{
    QFETCH(QString, start);
    QFETCH(QString, expected);
    PhoneOptions options;
    options.cards = {"1A2B-3C4D"};
    const QString serial = m_fixture->addPhone(options);
    QVERIFY2(!serial.isEmpty(), qPrintable(m_fixture->errorString()));
    AppModel &model = startModel();
    waitForSelection();
    QTRY_COMPARE_WITH_TIMEOUT(model.storages().size(), 2, kPatienceMs);

    model.goAndroid(start);
    QCOMPARE(model.androidPath(), start);
    model.androidUp();
    QCOMPARE(model.androidPath(), expected);
}

void PhoneModelTest::goAndroidNormalizesAliases()
{
    const QString serial = m_fixture->addPhone();
    QVERIFY(!serial.isEmpty());
    writeFile(m_fixture->hostPath(serial, "/storage/emulated/0/alias.txt"));
    AppModel &model = startModel();
    waitForSelection();
    model.goAndroid("/storage/emulated/0/Download");
    model.goAndroid("/sdcard/");
    QCOMPARE(model.androidPath(), QStringLiteral("/storage/emulated/0"));
    QTRY_VERIFY_WITH_TIMEOUT(names(model.androidItems()).contains("alias.txt"), kPatienceMs);
    QTRY_COMPARE_WITH_TIMEOUT(model.androidLoading(), false, kPatienceMs);
}

void PhoneModelTest::latestNavigationWins()
{
    const QString serial = m_fixture->addPhone();
    QVERIFY(!serial.isEmpty());
    writeFile(m_fixture->hostPath(serial, "/storage/emulated/0/Music/song.mp3"));
    writeFile(m_fixture->hostPath(serial, "/storage/emulated/0/Movies/film.mkv"));
    AppModel &model = startModel();
    waitForSelection();
    QTRY_VERIFY_WITH_TIMEOUT(!model.androidItems().isEmpty(), kPatienceMs);

    for (int round = 0; round < 3; ++round) {
        model.goAndroid("/storage/emulated/0/Music");
        model.goAndroid("/storage/emulated/0/Movies");
        QTRY_COMPARE_WITH_TIMEOUT(model.androidLoading(), false, kPatienceMs);
        QCOMPARE(names(model.androidItems()), QStringList{"film.mkv"});
    }
}

void PhoneModelTest::listingErrorIsShownAndClearedByNextListing()
{
    const QString serial = m_fixture->addPhone();
    QVERIFY(!serial.isEmpty());
    AppModel &model = startModel();
    waitForSelection();
    model.goAndroid("/storage/emulated/0/Nowhere");
    QTRY_VERIFY_WITH_TIMEOUT(model.androidError().has_value(), kPatienceMs);
    QCOMPARE(*model.androidError(), QStringLiteral("Folder not found: /storage/emulated/0/Nowhere"));
    QVERIFY(model.androidItems().isEmpty());
    QCOMPARE(model.message(), std::nullopt);

    model.goAndroid("/storage/emulated/0");
    QTRY_VERIFY_WITH_TIMEOUT(!model.androidItems().isEmpty(), kPatienceMs);
    QCOMPARE(model.androidError(), std::nullopt);
}

void PhoneModelTest::createRenameDelete()
{
    const QString serial = m_fixture->addPhone();
    QVERIFY(!serial.isEmpty());
    writeFile(m_fixture->hostPath(serial, "/storage/emulated/0/old name.txt"));
    AppModel &model = startModel();
    waitForSelection();
    QTRY_VERIFY_WITH_TIMEOUT(names(model.androidItems()).contains("old name.txt"), kPatienceMs);

    model.newAndroidFolder("New Folder");
    QTRY_VERIFY_WITH_TIMEOUT(names(model.androidItems()).contains("New Folder"), kPatienceMs);
    QVERIFY(QFileInfo(m_fixture->hostPath(serial, "/storage/emulated/0/New Folder")).isDir());

    model.renameAndroid("/storage/emulated/0/old name.txt", "new name.txt");
    QTRY_VERIFY_WITH_TIMEOUT(names(model.androidItems()).contains("new name.txt"), kPatienceMs);
    QVERIFY(!names(model.androidItems()).contains("old name.txt"));
    QVERIFY(QFile::exists(m_fixture->hostPath(serial, "/storage/emulated/0/new name.txt")));

    model.deleteAndroid({"/storage/emulated/0/New Folder", "/storage/emulated/0/new name.txt"});
    QTRY_VERIFY_WITH_TIMEOUT(!names(model.androidItems()).contains("New Folder")
                                 && !names(model.androidItems()).contains("new name.txt"),
                             kPatienceMs);
    QVERIFY(!QFile::exists(m_fixture->hostPath(serial, "/storage/emulated/0/new name.txt")));
    QCOMPARE(model.message(), std::nullopt);

    // At "/" a new folder goes to "/" + name.
    model.goAndroid("/");
    model.newAndroidFolder("made-at-root");
    QTRY_VERIFY_WITH_TIMEOUT(model.androidPath() == "/" && names(model.androidItems()).contains("made-at-root"),
                             kPatienceMs);
    QCOMPARE(model.message(), std::nullopt);
}

void PhoneModelTest::failedCommandsReportAndReload_data()
{
    QTest::addColumn<QString>("operation");
    QTest::addColumn<QString>("phoneSays");
    QTest::newRow("create") << "create" << "File name too long";
    QTest::newRow("rename") << "rename" << "No such file or directory";
    QTest::newRow("delete") << "delete" << "rm: /proc/version: Read-only file system";
}

void PhoneModelTest::failedCommandsReportAndReload()
{
    QFETCH(QString, operation);
    QFETCH(QString, phoneSays);
    const QString serial = m_fixture->addPhone();
    QVERIFY(!serial.isEmpty());
    writeFile(m_fixture->hostPath(serial, "/storage/emulated/0/plain.txt"));
    AppModel &model = startModel();
    waitForSelection();
    QTRY_VERIFY_WITH_TIMEOUT(names(model.androidItems()).contains("plain.txt"), kPatienceMs);
    QTRY_COMPARE_WITH_TIMEOUT(model.androidLoading(), false, kPatienceMs);

    // The pane reloads after the failure: a file added meanwhile shows up.
    writeFile(m_fixture->hostPath(serial, "/storage/emulated/0/added.txt"));
    if (operation == "create")
        model.newAndroidFolder(QString(300, 'n'));
    else if (operation == "rename")
        model.renameAndroid("/storage/emulated/0/no-such-item", "other");
    else
        model.deleteAndroid({"/proc/version"});
    QTRY_VERIFY_WITH_TIMEOUT(model.message().has_value(), kPatienceMs);
    QVERIFY2(model.message()->contains(phoneSays), qPrintable(*model.message()));
    QTRY_VERIFY_WITH_TIMEOUT(names(model.androidItems()).contains("added.txt"), kPatienceMs);
    QCOMPARE(model.androidError(), std::nullopt);
}

void PhoneModelTest::openRowEntersFolderOrCopiesFile()
{
    const QString serial = m_fixture->addPhone();
    QVERIFY(!serial.isEmpty());
    writeFile(m_fixture->hostPath(serial, "/storage/emulated/0/DCIM/photo.jpg"));
    AppModel &model = startModel();
    model.setMacPath(m_macFolder->path());
    waitForSelection();
    QTRY_VERIFY_WITH_TIMEOUT(names(model.androidItems()).contains("DCIM"), kPatienceMs);

    model.openAndroid("/storage/emulated/0/NotARow");
    QCOMPARE(model.androidPath(), QStringLiteral("/storage/emulated/0"));
    model.openAndroid("/storage/emulated/0/DCIM");
    QCOMPARE(model.androidPath(), QStringLiteral("/storage/emulated/0/DCIM"));
    QVERIFY(!model.isAtStorageRoot());
    QCOMPARE(model.activeStorage()->path, QStringLiteral("/storage/emulated/0"));

    QTRY_VERIFY_WITH_TIMEOUT(names(model.androidItems()).contains("photo.jpg"), kPatienceMs);
    model.openAndroid("/storage/emulated/0/DCIM/photo.jpg");
    QTRY_COMPARE_WITH_TIMEOUT(model.transfers().size(), 1, kPatienceMs);
    QCOMPARE(model.transfers().first().kind, TransferJob::Kind::toMac);
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(m_macFolder->filePath("photo.jpg")), kPatienceMs);
    QCOMPARE(model.androidPath(), QStringLiteral("/storage/emulated/0/DCIM"));
}

int runPhoneModelTests(int argc, char **argv)
{
    PhoneModelTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "PhoneModelTest.moc"
