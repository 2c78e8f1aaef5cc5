#include "ModelTests.h"
#include "Patience.h"

#include "PhoneFixture.h"

#include "bridge/ADB.h"
#include "model/AppModel.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTest>

#include <QCoro/QCoroTask>

namespace {

const QString download = QStringLiteral("/storage/emulated/0/Download");

QStringList names(const QList<FileEntry> &rows)
{
    QStringList result;
    for (const FileEntry &row : rows)
        result.append(row.name);
    return result;
}

bool writeFile(const QString &path)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write("phone") == 5;
}

} // namespace

// The phone pane after the phone dropped off: it comes back by itself once the phone is
// ready again, and a folder that is truly unreadable is not listed on every poll.
class PhoneReturnTest : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void paneComesBackWithThePhone();
    void unreadableFolderIsNotListedOnEveryPoll();

private:
    std::unique_ptr<PhoneFixture> m_fixture;
    std::unique_ptr<AppModel> m_model;
};

void PhoneReturnTest::init()
{
    m_fixture = std::make_unique<PhoneFixture>();
    QVERIFY2(m_fixture->start(), qPrintable(m_fixture->errorString()));
    ADB::shared().setCandidatesForTesting({m_fixture->adbPath()});
}

void PhoneReturnTest::cleanup()
{
    m_model.reset();
    m_fixture.reset();
}

void PhoneReturnTest::paneComesBackWithThePhone()
{
    const QString serial = m_fixture->addPhone();
    QVERIFY2(!serial.isEmpty(), qPrintable(m_fixture->errorString()));
    QVERIFY(writeFile(m_fixture->hostPath(serial, download + QStringLiteral("/before.txt"))));
    m_model = std::make_unique<AppModel>();
    QTRY_COMPARE_WITH_TIMEOUT(m_model->readyDevice().has_value(), true, kPatienceMs);
    m_model->goAndroid(download);
    QTRY_VERIFY_WITH_TIMEOUT(names(m_model->androidItems()).contains("before.txt"), kPatienceMs);

    // The phone drops off. A listing that runs before the poll has seen it go fails with
    // adb's word for it ("error: device offline"); one after it leaves the pane empty.
    m_fixture->stopPhone(serial);
    QCoro::waitFor(m_model->reloadAndroid(false));
    QVERIFY(m_model->androidItems().isEmpty());
    QTRY_VERIFY_WITH_TIMEOUT(m_model->selectedDevice() && m_model->selectedDevice()->state != "device", kPatienceMs);
    QCOMPARE(m_model->selectedSerial(), serial);

    // While it is away its folder changes; once it is back the pane shows the folder again.
    QVERIFY(writeFile(m_fixture->hostPath(serial, download + QStringLiteral("/while away.txt"))));
    QVERIFY2(m_fixture->restartPhone(serial), qPrintable(m_fixture->errorString()));
    QTRY_VERIFY_WITH_TIMEOUT(names(m_model->androidItems()).contains("while away.txt"), kPatienceMs);
    QCOMPARE(m_model->androidError(), std::nullopt);
    QCOMPARE(m_model->androidPath(), download);
}

void PhoneReturnTest::unreadableFolderIsNotListedOnEveryPoll()
{
    PhoneOptions options;
    const QString secret = QStringLiteral("/storage/emulated/0/Secret");
    options.denyPaths = {secret};
    const QString serial = m_fixture->addPhone(options);
    QVERIFY2(!serial.isEmpty(), qPrintable(m_fixture->errorString()));
    QVERIFY(writeFile(m_fixture->hostPath(serial, secret + QStringLiteral("/hidden.txt"))));
    m_model = std::make_unique<AppModel>();
    QTRY_COMPARE_WITH_TIMEOUT(m_model->readyDevice().has_value(), true, kPatienceMs);
    QTRY_COMPARE_WITH_TIMEOUT(m_model->androidLoading(), false, kPatienceMs);

    QSignalSpy loading(m_model.get(), &AppModel::androidLoadingChanged);
    m_model->goAndroid(secret);
    QTRY_COMPARE_WITH_TIMEOUT(m_model->androidError(), QStringLiteral("Permission denied for ") + secret, kPatienceMs);
    for (int step = 0; step < 3; ++step)
        QCoro::waitFor(m_model->refreshDevices());
    // Opening the folder, and at most one more try: each listing raises and lowers the flag.
    QVERIFY2(loading.count() <= 4, qPrintable(QString::number(loading.count())));
    QCOMPARE(m_model->androidError(), QStringLiteral("Permission denied for ") + secret);
}

int runPhoneReturnTests(int argc, char **argv)
{
    PhoneReturnTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "PhoneReturnTest.moc"
