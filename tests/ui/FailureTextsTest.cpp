// What the window shows of a failure: the whole reason of a failed transfer, readable in
// its row's tooltip however long it is and in an alert the row opens, and alerts that warn
// when something went wrong.
#include "UiTests.h"
#include "Patience.h"

#include "PhoneFixture.h"
#include "ShownText.h"
#include "bridge/ADB.h"
#include "model/AppModel.h"
#include "model/WirelessOutcome.h"
#include "ui/MainWindow.h"
#include "ui/Prompts.h"
#include "ui/TransferRowDelegate.h"
#include "ui/TransfersView.h"

#include <QApplication>
#include <QDir>
#include <QHelpEvent>
#include <QListView>
#include <QMessageBox>
#include <QScreen>
#include <QStandardItemModel>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTest>
#include <QToolTip>

Q_DECLARE_METATYPE(QMessageBox::Icon)

namespace {

constexpr int kPhoneWaitMs = 60000;

// A loopback port that nothing listens on.
quint16 closedPort()
{
    QTcpServer server;
    server.listen(QHostAddress::LocalHost, 0);
    const quint16 port = server.serverPort();
    server.close();
    return port;
}

QWidget *shownToolTip()
{
    for (QWidget *widget : QApplication::topLevelWidgets())
        if (widget->objectName() == QLatin1String("qtooltip_label") && widget->isVisible())
            return widget;
    return nullptr;
}

} // namespace

class FailureTextsTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanup();
    void failedRowShowsTheWholeReason_data();
    void failedRowShowsTheWholeReason();
    void failedRowOpensItsReason_data();
    void failedRowOpensItsReason();
    void wirelessOutcome_data();
    void wirelessOutcome();
    void alertIconFollowsTheNotice_data();
    void alertIconFollowsTheNotice();

private:
    std::unique_ptr<QTemporaryDir> m_home;
    std::unique_ptr<PhoneFixture> m_fixture;
    std::unique_ptr<AppModel> m_model;
    std::unique_ptr<MainWindow> m_window;
    QByteArray m_previousHome;
};

void FailureTextsTest::initTestCase()
{
    m_previousHome = qgetenv("HOME");
}

void FailureTextsTest::cleanup()
{
    QToolTip::hideText();
    m_window.reset();
    m_model.reset();
    m_fixture.reset();
    qputenv("HOME", m_previousHome);
    m_home.reset();
}

void FailureTextsTest::failedRowShowsTheWholeReason_data()
{
    QTest::addColumn<QString>("reason");
    QTest::newRow("a full phone") << QStringLiteral(
        "adb: error: failed to copy '/home/me/Videos/Holiday 2024/the whole family at the lake, second day.mp4' "
        "to '/storage/emulated/0/Movies/Holiday 2024/the whole family at the lake, second day.mp4': "
        "remote couldn't create file: No space left on device");
    QTest::newRow("a name that looks like markup") << QStringLiteral(
        "adb: error: failed to copy '/home/me/<b>Invoice</b> & Co.pdf' to '/storage/emulated/0/Download/<b>Invoice</b> "
        "& Co.pdf': remote couldn't create file: Read-only file system");
}

void FailureTextsTest::failedRowShowsTheWholeReason()
{
    QFETCH(QString, reason);
    TransferJob job;
    job.name = QStringLiteral("the whole family at the lake, second day.mp4");
    job.state = TransferJob::State::failed(reason);
    QStandardItemModel rows(1, 1);
    QListView view;
    view.setModel(&rows);
    view.setItemDelegate(new TransferRowDelegate([&job](const QModelIndex &) { return job; }, &view));
    view.resize(700, 60);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));

    // Over the reason, which the row cuts off.
    const QRect row = view.visualRect(rows.index(0, 0));
    const QPoint at(row.left() + row.width() * 3 / 5, row.center().y());
    QHelpEvent help(QEvent::ToolTip, at, view.viewport()->mapToGlobal(at));
    QCoreApplication::sendEvent(view.viewport(), &help);
    QTRY_VERIFY_WITH_TIMEOUT(shownToolTip(), kPatienceMs);
    const QString shown = shownMarkup(QToolTip::text(), Qt::AutoText).simplified();
    QVERIFY2(shown.contains(reason.simplified()), qPrintable(shown));
    QVERIFY2(shown.contains(job.name), qPrintable(shown));
    // Wrapped to fit the screen, not one line running off it.
    const QRect screen = view.screen()->availableGeometry();
    QVERIFY2(shownToolTip()->width() <= screen.width(), qPrintable(QString::number(shownToolTip()->width())));
}

void FailureTextsTest::failedRowOpensItsReason_data()
{
    QTest::addColumn<bool>("failed");
    QTest::addColumn<bool>("byKey");
    QTest::newRow("a click on a failed row") << true << false;
    QTest::newRow("Return on a failed row") << true << true;
    QTest::newRow("a click on a running row") << false << false;
}

void FailureTextsTest::failedRowOpensItsReason()
{
    QFETCH(bool, failed);
    QFETCH(bool, byKey);
    const QString reason = QStringLiteral(
        "adb: error: failed to copy '/home/me/big.bin' to '/storage/emulated/0/big.bin': remote couldn't create file: "
        "No space left on device");
    TransferJob job;
    job.id = QUuid::createUuid();
    job.name = QStringLiteral("big.bin");
    job.kind = TransferKind::toAndroid;
    job.state = failed ? TransferJob::State::failed(reason) : TransferJob::State::running();
    QStandardItemModel rows(1, 1);
    TransfersView view(&rows, [&job](const QModelIndex &) { return job; });
    view.resize(700, 120);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    QListView *list = view.list();
    const QRect row = list->visualRect(rows.index(0, 0));
    if (byKey) {
        list->setFocus();
        list->setCurrentIndex(rows.index(0, 0));
        QTest::keyClick(list, Qt::Key_Return);
    } else {
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, QPoint(row.left() + row.width() / 2, row.center().y()));
    }
    if (!failed) {
        QCoreApplication::processEvents();
        QCOMPARE(view.failureAlert(), nullptr);
        return;
    }
    QTRY_VERIFY_WITH_TIMEOUT(view.failureAlert(), kPatienceMs);
    QMessageBox *alert = view.failureAlert();
    QCOMPARE(alert->icon(), QMessageBox::Warning);
    QCOMPARE(alert->text(), job.name);
    QCOMPARE(alert->informativeText(), reason);
    alert->close();
}

void FailureTextsTest::wirelessOutcome_data()
{
    QTest::addColumn<QString>("said");
    QTest::addColumn<bool>("succeeded");
    QTest::newRow("connected") << "connected to 192.168.1.5:5555" << true;
    QTest::newRow("already connected") << "already connected to 192.168.1.5:5555" << true;
    QTest::newRow("paired") << "Successfully paired to 192.168.1.5:37123 [guid=adb-R5CT-x]" << true;
    QTest::newRow("refused") << "failed to connect to '192.168.1.5:5555': Connection refused" << false;
    QTest::newRow("no answer") << "failed to connect to 192.168.1.5:5555" << false;
    QTest::newRow("empty address") << "empty address" << false;
    QTest::newRow("wrong code") << "Failed: Wrong password or connection was dropped." << false;
    QTest::newRow("no pairing in this adb") << "adb: unknown command pair" << false;
}

void FailureTextsTest::wirelessOutcome()
{
    QFETCH(QString, said);
    QFETCH(bool, succeeded);
    QCOMPARE(wirelessSucceeded(said), succeeded);
}

void FailureTextsTest::alertIconFollowsTheNotice_data()
{
    QTest::addColumn<QString>("action");
    QTest::addColumn<QMessageBox::Icon>("icon");
    QTest::newRow("screenshot without a phone") << "screenshot" << QMessageBox::Warning;
    QTest::newRow("connection refused") << "connect" << QMessageBox::Warning;
    QTest::newRow("backup with nothing to do") << "backup" << QMessageBox::Information;
}

void FailureTextsTest::alertIconFollowsTheNotice()
{
    QFETCH(QString, action);
    QFETCH(QMessageBox::Icon, icon);
    m_home = std::make_unique<QTemporaryDir>();
    QVERIFY(m_home->isValid());
    QVERIFY(QDir(m_home->path()).mkpath("Downloads"));
    qputenv("HOME", m_home->path().toUtf8());
    m_fixture = std::make_unique<PhoneFixture>();
    QVERIFY2(m_fixture->start(), qPrintable(m_fixture->errorString()));
    ADB::shared().setCandidatesForTesting({m_fixture->adbPath()});
    if (action == "backup")
        QVERIFY2(!m_fixture->addPhone().isEmpty(), qPrintable(m_fixture->errorString()));
    m_model = std::make_unique<AppModel>();
    m_window = std::make_unique<MainWindow>(m_model.get());
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));

    if (action == "screenshot") {
        m_model->takeScreenshot();
    } else if (action == "connect") {
        const QString address = "127.0.0.1:" + QString::number(closedPort());
        QCoro::waitFor(m_model->connectWireless(address));
    } else {
        QTRY_VERIFY_WITH_TIMEOUT(m_model->readyDevice().has_value(), kPhoneWaitMs);
        m_model->prepareBackup();
    }
    QTRY_VERIFY_WITH_TIMEOUT(m_window->prompts()->messageAlert(), kPhoneWaitMs);
    QMessageBox *alert = m_window->prompts()->messageAlert();
    QVERIFY2(alert->icon() == icon, qPrintable(alert->informativeText()));
}

int runFailureTextsTests(int argc, char **argv)
{
    FailureTextsTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "FailureTextsTest.moc"
