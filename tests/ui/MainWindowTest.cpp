#include "UiTests.h"
#include "Patience.h"

#include "AlertButtons.h"
#include "PhoneFixture.h"
#include "bridge/ADB.h"
#include "common/ByteCount.h"
#include "model/AppModel.h"
#include "ui/FilePane.h"
#include "ui/FileTableView.h"
#include "ui/MainWindow.h"
#include "ui/Popover.h"
#include "ui/Prompts.h"
#include "ui/SetupGuideView.h"
#include "ui/TransfersView.h"
#include "ui/UnavailablePanel.h"

#include <QAction>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

namespace {


QStringList visibleActions(MainWindow &window)
{
    QStringList tips;
    for (QAction *action : window.toolbarActions())
        if (action->isVisible())
            tips << action->toolTip();
    return tips;
}

QList<bool> enabledStates(MainWindow &window)
{
    QList<bool> states;
    for (QToolButton *button : window.transferButtons())
        states << button->isEnabled();
    return states;
}

} // namespace

// The window over the real model, with the real adb and emulated phones behind it.
class MainWindowTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void noPhoneShowsSetupGuide();
    void rescanShortcutReloadsWithoutPhone();
    void windowHasItsSizes();
    void unauthorizedPhoneExplainsAndDisablesTransfers();
    void selectionEnablesOneDirection();
    void backupScanShowsSpinner();
    void transfersPanelFollowsTheList();
    void conflictTextsAndClearing();
    void moveAndBackupPromptTexts();
    void messageAlertClearsOnOK();
    void conflictPromptAnswersAndCloses_data();
    void conflictPromptAnswersAndCloses();

private:
    void makeWindow();
    QString addPhone(const PhoneOptions &options = {});

    std::unique_ptr<QTemporaryDir> m_home;
    std::unique_ptr<PhoneFixture> m_fixture;
    std::unique_ptr<AppModel> m_model;
    std::unique_ptr<MainWindow> m_window;
    QByteArray m_previousHome;
};

void MainWindowTest::initTestCase()
{
    m_previousHome = qgetenv("HOME");
}

void MainWindowTest::init()
{
    m_home = std::make_unique<QTemporaryDir>();
    QVERIFY(m_home->isValid());
    QVERIFY(QDir(m_home->path()).mkpath("Downloads"));
    qputenv("HOME", m_home->path().toUtf8());
    m_fixture = std::make_unique<PhoneFixture>();
    QVERIFY2(m_fixture->start(), qPrintable(m_fixture->errorString()));
    ADB::shared().setCandidatesForTesting({m_fixture->adbPath()});
}

void MainWindowTest::cleanup()
{
    m_window.reset();
    m_model.reset();
    m_fixture.reset();
    qputenv("HOME", m_previousHome);
    m_home.reset();
}

void MainWindowTest::makeWindow()
{
    m_model = std::make_unique<AppModel>();
    m_window = std::make_unique<MainWindow>(m_model.get());
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
}

QString MainWindowTest::addPhone(const PhoneOptions &options)
{
    const QString serial = m_fixture->addPhone(options);
    if (serial.isEmpty())
        qWarning("phone did not start: %s", qPrintable(m_fixture->errorString()));
    return serial;
}

void MainWindowTest::noPhoneShowsSetupGuide()
{
    makeWindow();
    QCOMPARE(m_model->adbMissing(), false);
    QCOMPARE(m_window->region(), MainWindow::Region::setupGuide);
    QVERIFY(m_window->setupGuide()->isVisible());
    QVERIFY(!m_window->devicePickerAction()->isVisible());
    QCOMPARE(visibleActions(*m_window), (QStringList{"Show hidden files", "Connect over Wi-Fi",
                                                     "Rescan devices and refresh both panes (⌘R)"}));
    QVERIFY(!m_window->transfersView()->isVisible());
    // The guide's Wi-Fi button opens the toolbar's Wi-Fi popover.
    m_window->setupGuide()->wirelessButton()->click();
    QTRY_VERIFY_WITH_TIMEOUT(m_window->wirelessPopover()->isVisible(), kPatienceMs);
    m_window->wirelessPopover()->hide();
}

void MainWindowTest::rescanShortcutReloadsWithoutPhone()
{
    makeWindow();
    const QString downloads = m_home->filePath("Downloads");
    QCOMPARE(m_model->macPath(), downloads);
    QTRY_VERIFY_WITH_TIMEOUT(m_model->macItems().isEmpty(), kPatienceMs);
    QFile fresh(downloads + "/fresh.txt");
    QVERIFY(fresh.open(QIODevice::WriteOnly));
    fresh.close();
    QVERIFY(m_model->macItems().isEmpty());
    m_window->activateWindow();
    QTest::keyClick(m_window.get(), Qt::Key_R, Qt::ControlModifier);
    QTRY_COMPARE_WITH_TIMEOUT(m_model->macItems().size(), 1, kPatienceMs);
    QCOMPARE(m_window->macPane()->shownNames(), QStringList{"fresh.txt"});
    QCOMPARE(m_window->region(), MainWindow::Region::setupGuide);
}

void MainWindowTest::windowHasItsSizes()
{
    makeWindow();
    QCOMPARE(m_window->windowTitle(), QString("Tessary"));
    QCOMPARE(m_window->minimumSize(), QSize(860, 520));
    QCOMPARE(m_window->size(), QSize(1000, 640));
    m_window->resize(500, 300);
    QCOMPARE(m_window->size(), QSize(860, 520));
}

void MainWindowTest::unauthorizedPhoneExplainsAndDisablesTransfers()
{
    PhoneOptions options;
    options.rejectAuth = true;
    const QString serial = addPhone(options);
    QVERIFY(!serial.isEmpty());
    makeWindow();
    QTRY_COMPARE_WITH_TIMEOUT(m_window->region(), MainWindow::Region::browser, kPatienceMs);
    QTRY_VERIFY_WITH_TIMEOUT(m_window->phonePane()->title().endsWith("(unauthorized)"), kPatienceMs);
    // adb lists no model for a phone that has not allowed this computer: the serial stands in.
    QCOMPARE(m_window->phonePane()->title(), serial + " (unauthorized)");
    QCOMPARE(m_window->phonePane()->overlayTitle(), std::optional<QString>("Can't open folder"));
    QVERIFY(m_window->phonePane()->overlay()->description().contains("tap “Allow”"));
    QVERIFY(m_window->devicePickerAction()->isVisible());
    QVERIFY(m_window->devicePicker()->minimumWidth() >= 180);
    QCOMPARE(m_window->devicePicker()->currentText(), serial + " (unauthorized)");

    // Even with rows selected on both sides nothing can move while the phone is not authorized.
    QFile file(m_model->macPath() + "/a.txt");
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.close();
    m_model->reloadMac();
    m_model->setMacSelection({m_model->macPath() + "/a.txt"});
    QCOMPARE(enabledStates(*m_window), (QList<bool>{false, false, false, false}));
    QCOMPARE(visibleActions(*m_window).size(), 7);
}

void MainWindowTest::selectionEnablesOneDirection()
{
    const QString serial = addPhone();
    QVERIFY(!serial.isEmpty());
    QVERIFY(QDir().mkpath(m_fixture->hostPath(serial, "/storage/emulated/0/DCIM")));
    QFile phoneFile(m_fixture->hostPath(serial, "/storage/emulated/0/photo.jpg"));
    QVERIFY(phoneFile.open(QIODevice::WriteOnly));
    phoneFile.write("jpeg");
    phoneFile.close();
    QFile macFile(m_home->filePath("Downloads/notes.txt"));
    QVERIFY(macFile.open(QIODevice::WriteOnly));
    macFile.close();

    makeWindow();
    QTRY_VERIFY_WITH_TIMEOUT(m_model->readyDevice().has_value(), kPatienceMs);
    QTRY_VERIFY_WITH_TIMEOUT(m_window->phonePane()->shownNames().contains("photo.jpg"), kPatienceMs);
    QCOMPARE(m_window->phonePane()->title(), QString("EmuPhone 1"));
    QCOMPARE(enabledStates(*m_window), (QList<bool>{false, false, false, false}));

    // Selecting a computer row in the table enables copy and move to the phone.
    FilePane *mac = m_window->macPane();
    QTRY_COMPARE_WITH_TIMEOUT(mac->shownNames(), QStringList{"notes.txt"}, kPatienceMs);
    mac->table()->selectRow(0);
    QCOMPARE(m_model->macSelection(), QSet<QString>{m_home->filePath("Downloads/notes.txt")});
    QCOMPARE(enabledStates(*m_window), (QList<bool>{true, true, false, false}));

    FilePane *phone = m_window->phonePane();
    const int row = phone->shownNames().indexOf("photo.jpg");
    phone->table()->selectRow(row);
    QCOMPARE(m_model->androidSelection(), QSet<QString>{"/storage/emulated/0/photo.jpg"});
    QCOMPARE(enabledStates(*m_window), (QList<bool>{true, true, true, true}));

    m_model->setMacSelection({});
    QCOMPARE(enabledStates(*m_window), (QList<bool>{false, false, true, true}));
    QVERIFY(m_window->macPane()->table()->selectionModel()->selectedRows().isEmpty());
    // The phone side offers no "Show in Finder".
    QCOMPARE(phone->revealButton(), nullptr);
    QVERIFY(mac->revealButton());
}

void MainWindowTest::backupScanShowsSpinner()
{
    const QString serial = addPhone();
    QVERIFY(!serial.isEmpty());
    makeWindow();
    QTRY_VERIFY_WITH_TIMEOUT(m_model->selectedDevice().has_value(), kPatienceMs);
    QAction *backup = m_window->toolbarActions().first();
    QTRY_VERIFY_WITH_TIMEOUT(backup->isVisible(), kPatienceMs);
    QVERIFY(backup->isEnabled());
    QVERIFY(!m_window->backupSpinnerAction()->isVisible());
    m_model->setScanningBackup(true);
    QVERIFY(m_window->backupSpinnerAction()->isVisible());
    QVERIFY(!backup->isVisible());
    QVERIFY(!backup->isEnabled());
    m_model->setScanningBackup(false);
    QVERIFY(backup->isVisible());
    QVERIFY(!m_window->backupSpinnerAction()->isVisible());
}

void MainWindowTest::transfersPanelFollowsTheList()
{
    makeWindow();
    QVERIFY(!m_window->transfersView()->isVisible());
    TransferJob running;
    running.id = QUuid::createUuid();
    running.name = "movie.mp4";
    running.kind = TransferKind::toMac;
    running.state = TransferJob::State::running();
    running.progress = 0.42;
    m_model->setTransfers({running});
    QVERIFY(m_window->transfersView()->isVisible());
    QVERIFY(m_window->transfersView()->cancelAllButton()->isVisible());
    running.state = TransferJob::State::done();
    m_model->setTransfers({running});
    QVERIFY(!m_window->transfersView()->cancelAllButton()->isVisible());
    m_window->transfersView()->clearFinishedButton()->click();
    QVERIFY(m_model->transfers().isEmpty());
    QVERIFY(!m_window->transfersView()->isVisible());
}

void MainWindowTest::conflictPromptAnswersAndCloses_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<int>("jobs");
    QTest::newRow("Replace") << "Replace" << 1;
    QTest::newRow("Keep Both") << "Keep Both" << 1;
    QTest::newRow("Skip") << "Skip" << 0;
    QTest::newRow("Cancel") << "Cancel" << 0;
    QTest::newRow("Escape") << "" << 0;
}

void MainWindowTest::conflictPromptAnswersAndCloses()
{
    QFETCH(QString, button);
    QFETCH(int, jobs);
    const QString serial = addPhone();
    QVERIFY(!serial.isEmpty());
    QFile onPhone(m_fixture->hostPath(serial, "/storage/emulated/0/report.pdf"));
    QVERIFY(onPhone.open(QIODevice::WriteOnly));
    onPhone.close();
    const QString local = m_home->filePath("Downloads/report.pdf");
    QFile onComputer(local);
    QVERIFY(onComputer.open(QIODevice::WriteOnly));
    onComputer.write("pdf");
    onComputer.close();
    makeWindow();
    QTRY_VERIFY_WITH_TIMEOUT(m_model->readyDevice().has_value(), kPatienceMs);

    m_model->enqueue({local}, TransferJob::Kind::toAndroid, "/storage/emulated/0", false);
    QTRY_VERIFY_WITH_TIMEOUT(m_window->prompts()->conflictAlert(), kPatienceMs);
    QMessageBox *box = m_window->prompts()->conflictAlert();
    QTRY_VERIFY_WITH_TIMEOUT(box->isVisible(), kPatienceMs);
    QCOMPARE(box->windowTitle(), QString("Already exists"));
    QCOMPARE(box->informativeText(), QString("report.pdf already exists on your phone. What should happen?"));
    QStringList labels;
    for (QAbstractButton *b : box->buttons())
        labels << b->text();
    QCOMPARE(QSet<QString>(labels.begin(), labels.end()), (QSet<QString>{"Replace", "Keep Both", "Skip", "Cancel"}));
    if (button.isEmpty()) {
        QTest::keyClick(box, Qt::Key_Escape);
    } else {
        QAbstractButton *answer = buttonLabelled(box, button);
        QVERIFY(answer);
        answer->click();
    }
    QTRY_COMPARE_WITH_TIMEOUT(m_model->conflict(), std::nullopt, kPatienceMs);
    QCOMPARE(m_window->prompts()->conflictAlert(), nullptr);
    // The answer reached the waiting batch: only an item that goes ahead becomes a job.
    if (jobs > 0) {
        QTRY_COMPARE_WITH_TIMEOUT(m_model->transfers().size(), jobs, kPatienceMs);
        QVERIFY(m_window->transfersView()->isVisible());
        // The model is not torn down under a running copy.
        QTRY_VERIFY_WITH_TIMEOUT(!m_model->hasActiveTransfers(), kPatienceMs);
    } else {
        // The batch resumes from the event loop; let it run, then nothing may have been queued.
        QCoreApplication::processEvents();
        QCoreApplication::processEvents();
        QCOMPARE(m_model->transfers().size(), 0);
    }
}

void MainWindowTest::conflictTextsAndClearing()
{
    makeWindow();
    m_model->setConflict(ConflictPrompt{QUuid::createUuid(), {"a", "b", "c", "d", "e", "f"}, true});
    QPointer<QMessageBox> box = m_window->prompts()->conflictAlert();
    QVERIFY(box);
    QCOMPARE(box->informativeText(), QString("a, b, c, d and 2 more already exist on your phone. What should happen?"));
    m_model->setConflict(ConflictPrompt{QUuid::createUuid(), {"a", "b", "c"}, false});
    QCOMPARE(m_window->prompts()->conflictAlert(), box.data());
    QCOMPARE(box->informativeText(), QString("a, b, c already exist in this Mac folder. What should happen?"));
    // Cleared elsewhere: the alert closes without answering.
    m_model->setConflict(std::nullopt);
    QTRY_VERIFY_WITH_TIMEOUT(!box || !box->isVisible(), kPatienceMs);
    QCOMPARE(m_window->prompts()->conflictAlert(), nullptr);
}

void MainWindowTest::moveAndBackupPromptTexts()
{
    makeWindow();
    m_model->setMoveRequest(MoveRequest{{"/home/u/a.txt"}, true, "/storage/emulated/0"});
    QMessageBox *move = m_window->prompts()->moveAlert();
    QVERIFY(move);
    QCOMPARE(move->windowTitle(), QString("Move files?"));
    QCOMPARE(move->informativeText(),
             QString("1 item(s) will be copied to your phone, then the originals on this Mac go to the Trash."));
    buttonLabelled(move, "Cancel")->click();
    QTRY_COMPARE_WITH_TIMEOUT(m_model->moveRequest(), std::nullopt, kPatienceMs);

    BackupPlan plan;
    plan.files = {BackupFile{"/storage/emulated/0/DCIM/empty.jpg", "DCIM/empty.jpg", 0}};
    plan.scanned = 1;
    plan.destination = m_home->filePath("Pictures/Tessary Backup/EmuPhone 1");
    m_model->setBackupPlan(plan);
    QMessageBox *backup = m_window->prompts()->backupAlert();
    QVERIFY(backup);
    QCOMPARE(backup->windowTitle(), QString("Back up photos?"));
    QVERIFY(backup->informativeText().startsWith("1 new photo/video file(s) (" + formatByteCount(0) + ") will be copied to:\n"));
    QVERIFY(buttonLabelled(backup, "Back Up"));
    buttonLabelled(backup, "Cancel")->click();
    QTRY_COMPARE_WITH_TIMEOUT(m_model->backupPlan(), std::nullopt, kPatienceMs);
}

void MainWindowTest::messageAlertClearsOnOK()
{
    makeWindow();
    m_model->setMessage(QString("Connect and authorize an Android device first."));
    QMessageBox *box = m_window->prompts()->messageAlert();
    QVERIFY(box);
    QCOMPARE(box->windowTitle(), QString("Tessary"));
    QCOMPARE(box->informativeText(), QString("Connect and authorize an Android device first."));
    // A newer notice replaces the unread one in the same alert.
    m_model->setMessage(QString("Second notice."));
    QCOMPARE(m_window->prompts()->messageAlert(), box);
    QCOMPARE(box->informativeText(), QString("Second notice."));
    buttonLabelled(box, "OK")->click();
    QTRY_COMPARE_WITH_TIMEOUT(m_model->message(), std::nullopt, kPatienceMs);
}

int runMainWindowTests(int argc, char **argv)
{
    MainWindowTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "MainWindowTest.moc"
